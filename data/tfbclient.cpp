#include "data/tfbclient.h"
#include "data/efberror.h"
#include "data/tfbconflictmessage.h"
#include "data/tfbconnectmessage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <dlfcn.h>
#include <mutex>

QString FbClientMissingMessage()
{
    return QStringLiteral("Firebird client library libfbclient.so.2 not found in the path. "
                          "Please install Firebird to use this functionality");
}

std::unique_ptr<TFbClient> TFbClient::Load(const char *fileName)
{
    std::unique_ptr<TFbClient> c(new TFbClient);
    c->m_handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!c->m_handle || !c->Resolve())
        throw EFbError(FbClientMissingMessage());
    return c;
}

// The embedded engine keeps its lock files in /tmp/firebird. When another
// user made that folder, a normal user cannot write there and every attach
// fails: give the engine a folder of the user's own, before it is loaded.
static void EnsureLockFolder()
{
    if (!qEnvironmentVariableIsEmpty("FIREBIRD_LOCK"))
        return;
    const QString standard = QStringLiteral("/tmp/firebird");
    QDir().mkpath(standard);
    const QFileInfo fi(standard);
    if (fi.isDir() && fi.isWritable())
        return;
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QFileInfo(base).isWritable())
        base = QDir::homePath() + QStringLiteral("/.cache");
    const QString own = base + QStringLiteral("/ordemservico-firebird");
    if (QDir().mkpath(own))
        qputenv("FIREBIRD_LOCK", QFile::encodeName(own));
}

TFbClient &TFbClient::Instance()
{
    // Loaded once; a failed load is retried on the next call so that the
    // message is given every time something needs the library.
    static std::unique_ptr<TFbClient> instance;
    static std::mutex lock;
    std::lock_guard<std::mutex> g(lock);
    if (!instance) {
        EnsureLockFolder();
        instance = Load(LibraryName);
    }
    return *instance;
}

TFbClient::~TFbClient()
{
    // The library stays loaded: the engine keeps threads of its own that
    // must not lose their code under them while the process ends.
}

bool TFbClient::Resolve()
{
    bool ok = true;
#define OS_FB_RESOLVE(name)                                                   \
    name = reinterpret_cast<decltype(name)>(dlsym(m_handle, #name));          \
    ok = ok && name != nullptr;
    OS_FB_RESOLVE(isc_attach_database)
    OS_FB_RESOLVE(isc_detach_database)
    OS_FB_RESOLVE(isc_database_info)
    OS_FB_RESOLVE(isc_start_multiple)
    OS_FB_RESOLVE(isc_commit_transaction)
    OS_FB_RESOLVE(isc_commit_retaining)
    OS_FB_RESOLVE(isc_rollback_transaction)
    OS_FB_RESOLVE(isc_dsql_alloc_statement2)
    OS_FB_RESOLVE(isc_dsql_prepare)
    OS_FB_RESOLVE(isc_dsql_describe)
    OS_FB_RESOLVE(isc_dsql_describe_bind)
    OS_FB_RESOLVE(isc_dsql_execute)
    OS_FB_RESOLVE(isc_dsql_execute2)
    OS_FB_RESOLVE(isc_dsql_execute_immediate)
    OS_FB_RESOLVE(isc_dsql_fetch)
    OS_FB_RESOLVE(isc_dsql_free_statement)
    OS_FB_RESOLVE(isc_dsql_sql_info)
    OS_FB_RESOLVE(isc_sqlcode)
    OS_FB_RESOLVE(isc_sql_interprete)
    OS_FB_RESOLVE(isc_vax_integer)
    OS_FB_RESOLVE(isc_encode_timestamp)
    OS_FB_RESOLVE(isc_decode_timestamp)
    OS_FB_RESOLVE(isc_drop_database)
    OS_FB_RESOLVE(isc_service_attach)
    OS_FB_RESOLVE(isc_service_detach)
    OS_FB_RESOLVE(isc_service_start)
    OS_FB_RESOLVE(isc_service_query)
#undef OS_FB_RESOLVE
    // Optional: older clients only have isc_interprete.
    fb_interpret = reinterpret_cast<decltype(fb_interpret)>(dlsym(m_handle, "fb_interpret"));
    return ok && fb_interpret != nullptr;
}

static QString DecodeMessage(const QByteArray &bytes)
{
    // Engine texts are ASCII, but they quote file names (UTF-8) and values of
    // ours (Windows-1252). Take UTF-8 when it is valid, else Windows-1252.
    QString s = QString::fromUtf8(bytes);
    if (!s.contains(QChar::ReplacementCharacter))
        return s;
    QString out;
    static const char16_t hi[32] = {0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F,
                                    0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178};
    for (unsigned char c : bytes)
        out += (c >= 0x80 && c < 0xA0) ? QChar(hi[c - 0x80]) : QChar(c);
    return out;
}

QString TFbClient::ErrorText(const ISC_STATUS *status) const
{
    QStringList lines;
    const ISC_STATUS *p = status;
    char buf[1024];
    while (fb_interpret(buf, sizeof buf, &p) > 0) {
        QString line = DecodeMessage(QByteArray(buf)).trimmed();
        // The embedded engine reports nonsense positions for syntax errors;
        // a position is of no use to the user in any case.
        static const QRegularExpression atLine(QStringLiteral("^At line -?\\d+, column -?\\d+$"));
        static const QRegularExpression tail(QStringLiteral(" - line -?\\d+, column -?\\d+$"));
        if (atLine.match(line).hasMatch())
            continue;
        line.remove(tail);
        if (!line.isEmpty())
            lines << line;
    }
    QString msg = lines.join(QLatin1Char('\n'));
    while (msg.endsWith(QLatin1Char('.')))
        msg.chop(1);
    if (msg.isEmpty())
        msg = QStringLiteral("Unknown database error");
    return msg;
}

void TFbClient::Raise(const ISC_STATUS *status) const
{
    long sqlcode = isc_sqlcode(status);
    const long gdsCode = long(status[1]);
    // A row held by another computer is a moment of a shop's day, not a
    // fault: said in the clerk's words whatever statement met it.
    if (TFbConflictMessage::IsConflict(gdsCode))
        throw EFbError(TFbConflictMessage::For(ErrorText(status)), sqlcode, gdsCode);
    // A damaged or read-only file: met at any statement, said as such.
    const QString text = ErrorText(status);
    if (const QString told = TFbConnectMessage::ForFileState(text); !told.isEmpty())
        throw EFbError(told, sqlcode, gdsCode);
    throw EFbError(text, sqlcode, gdsCode);
}
