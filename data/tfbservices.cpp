#include "data/tfbservices.h"
#include "data/efberror.h"
#include "data/tfbclient.h"
#include "data/tfbconnectmessage.h"
#include "data/tfbdatabase.h"

#include <QIODevice>
#include <QtEndian>
#include <vector>

namespace {

// Room for one answer of the server; a chunk of restore data sent to it
// must fit in the two-byte length of a parameter.
constexpr int AnswerBytes = 64 * 1024 - 1;
constexpr quint32 ChunkBytes = 60000;

void AddShort(QByteArray &buffer, char tag, const QByteArray &value)
{
    buffer.append(tag);
    buffer.append(char(value.size() & 0xFF));
    buffer.append(char((value.size() >> 8) & 0xFF));
    buffer.append(value);
}

void AddLong(QByteArray &buffer, char tag, quint32 value)
{
    buffer.append(tag);
    for (int i = 0; i < 4; ++i)
        buffer.append(char((value >> (8 * i)) & 0xFF));
}

quint16 ReadShort(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

} // namespace

QString TFbServices::ServerOf(const QString &databaseName)
{
    if (!TFbDatabase::IsRemoteName(databaseName))
        return {};
    // "host:path" or "host/port:path"; a drive letter after the colon
    // ("host:C:\\...") belongs to the file.
    return databaseName.left(databaseName.indexOf(QLatin1Char(':')));
}

QString TFbServices::FileOf(const QString &databaseName)
{
    if (!TFbDatabase::IsRemoteName(databaseName))
        return databaseName;
    return databaseName.mid(databaseName.indexOf(QLatin1Char(':')) + 1);
}

TFbServices::TFbServices(const QString &server, const QString &user, const QString &password)
    : m_api(TFbClient::Instance()), m_server(server)
{
    QByteArray spb;
    spb.append(char(isc_spb_version));
    spb.append(char(isc_spb_current_version));
    for (const auto &[tag, value] : {std::pair{char(isc_spb_user_name), user.toUtf8().left(255)},
                                     std::pair{char(isc_spb_password), password.toUtf8().left(255)}}) {
        if (value.isEmpty())
            continue;
        spb.append(tag);
        spb.append(char(value.size()));
        spb.append(value);
    }
    const QByteArray name = (server.isEmpty() ? QString() : server + QLatin1Char(':')).toUtf8() + "service_mgr";
    ISC_STATUS_ARRAY st;
    if (m_api.isc_service_attach(st, 0, name.constData(), &m_handle, short(spb.size()), spb.constData())) {
        m_handle = 0;
        try {
            m_api.Raise(st);
        } catch (const EFbError &e) {
            throw EFbError(TFbConnectMessage::For(e.GdsCode(), e.Message(), server), e.SqlCode(), e.GdsCode());
        }
    }
}

TFbServices::~TFbServices()
{
    if (m_handle) {
        ISC_STATUS_ARRAY st;
        m_api.isc_service_detach(st, &m_handle);
    }
}

void TFbServices::Start(const QByteArray &request)
{
    ISC_STATUS_ARRAY st;
    if (m_api.isc_service_start(st, &m_handle, nullptr, ushort(request.size()), request.constData()))
        m_api.Raise(st);
}

void TFbServices::Backup(const QString &databaseFile, QIODevice &out)
{
    QByteArray request;
    request.append(char(isc_action_svc_backup));
    AddShort(request, isc_spb_dbname, databaseFile.toUtf8());
    // "stdout": the backup comes back through the service's answers
    // instead of being written to a file on the server.
    AddShort(request, isc_spb_bkp_file, QByteArrayLiteral("stdout"));
    Start(request);

    std::vector<char> answer(AnswerBytes);
    const char items[] = {char(isc_info_svc_to_eof)};
    for (;;) {
        ISC_STATUS_ARRAY st;
        if (m_api.isc_service_query(st, &m_handle, nullptr, 0, nullptr, sizeof items, items, ushort(answer.size()),
                                    answer.data()))
            m_api.Raise(st);
        bool received = false, more = false;
        const char *p = answer.data();
        const char *end = p + answer.size();
        while (p < end && *p != char(isc_info_end)) {
            const char tag = *p++;
            if (tag == char(isc_info_svc_to_eof)) {
                const quint16 length = ReadShort(p);
                p += 2;
                if (length > 0) {
                    received = true;
                    if (out.write(p, length) != length)
                        throw EFbError(QStringLiteral("Não foi possível gravar o backup: %1").arg(out.errorString()));
                }
                p += length;
            } else if (tag == char(isc_info_truncated) || tag == char(isc_info_data_not_ready)) {
                more = true;
            } else {
                throw EFbError(QStringLiteral("Resposta inesperada do servidor durante o backup (item %1)")
                                   .arg(int(uchar(tag))));
            }
        }
        if (!received && !more)
            return;
    }
}

void TFbServices::Restore(QIODevice &in, const QString &databaseFile)
{
    QByteArray request;
    request.append(char(isc_action_svc_restore));
    // "stdin": the server asks for the backup piece by piece.
    AddShort(request, isc_spb_bkp_file, QByteArrayLiteral("stdin"));
    AddShort(request, isc_spb_dbname, databaseFile.toUtf8());
    AddLong(request, isc_spb_options, isc_spb_res_create);
    Start(request);

    std::vector<char> answer(AnswerBytes);
    const char items[] = {char(isc_info_svc_stdin), char(isc_info_svc_line)};
    quint32 wanted = 0;
    for (;;) {
        QByteArray send;
        if (wanted > 0) {
            const QByteArray chunk = in.read(qMin(wanted, ChunkBytes));
            if (chunk.isEmpty() && !in.atEnd())
                throw EFbError(QStringLiteral("Não foi possível ler o backup: %1").arg(in.errorString()));
            // An empty piece tells the server the backup has ended.
            AddShort(send, isc_info_svc_line, chunk);
        }
        ISC_STATUS_ARRAY st;
        if (m_api.isc_service_query(st, &m_handle, nullptr, ushort(send.size()), send.constData(), sizeof items,
                                    items, ushort(answer.size()), answer.data()))
            m_api.Raise(st);
        bool output = false, more = false;
        wanted = 0;
        const char *p = answer.data();
        const char *end = p + answer.size();
        while (p < end && *p != char(isc_info_end)) {
            const char tag = *p++;
            if (tag == char(isc_info_svc_stdin)) {
                wanted = qFromLittleEndian<quint32>(p);
                p += 4;
            } else if (tag == char(isc_info_svc_line)) {
                const quint16 length = ReadShort(p);
                p += 2 + length;
                output = output || length > 0;
            } else if (tag == char(isc_info_truncated) || tag == char(isc_info_data_not_ready)) {
                more = true;
            } else {
                throw EFbError(QStringLiteral("Resposta inesperada do servidor durante a restauração (item %1)")
                                   .arg(int(uchar(tag))));
            }
        }
        if (!output && !more && wanted == 0)
            return;
    }
}

void TFbServices::DropDatabase(const QString &name, const QString &user, const QString &password)
{
    TFbDatabase db;
    db.SetDatabaseName(name);
    db.SetParams({QStringLiteral("user_name=") + user, QStringLiteral("password=") + password});
    db.Open();
    const TFbClient &api = db.Api();
    ISC_STATUS_ARRAY st;
    if (api.isc_drop_database(st, db.Handle()))
        api.Raise(st);
}
