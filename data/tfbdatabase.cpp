#include "data/tfbdatabase.h"
#include "data/efberror.h"
#include "data/tfbclient.h"
#include "data/tfbconnectmessage.h"
#include "data/tfbquery.h"
#include "data/tfbreconnect.h"
#include "data/tfbstatement.h"
#include "data/tfbtransaction.h"

#include <QDebug>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <exception>

bool TFbDatabase::IsRemoteName(const QString &name)
{
    int colon = name.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    int slash = name.indexOf(QLatin1Char('/'));
    if (slash < 0 || colon < slash || name.startsWith(QLatin1String("inet")))
        return true;
    // "host/port:path": a server listening on a port of its own.
    static const QRegularExpression withPort(QStringLiteral("^[^/\\\\\\s:]+/[A-Za-z0-9_-]+:"));
    return withPort.match(name).hasMatch();
}

namespace {

void AddDpbString(QByteArray &dpb, char tag, const QByteArray &value)
{
    QByteArray v = value.left(255);
    dpb.append(tag);
    dpb.append(char(v.size()));
    dpb.append(v);
}

QByteArray FileNameBytes(const QString &name)
{
    // File names reach the engine as the file system spells them (UTF-8).
    return name.toUtf8();
}
} // namespace

TFbDatabase::TFbDatabase(QObject *parent)
    : QObject(parent), m_api(&TFbClient::Instance()), m_uncaughtAtStart(std::uncaught_exceptions())
{
}

TFbDatabase::~TFbDatabase()
{
    if (std::uncaught_exceptions() > m_uncaughtAtStart) {
        // Destroyed by a failure on its way up: nothing of the failed
        // operation is committed.
        for (TFbTransaction *t : std::vector<TFbTransaction *>(m_transactions)) {
            try {
                t->Rollback();
            } catch (...) {
            }
        }
    }
    try {
        Close();
    } catch (const std::exception &e) {
        // A failed commit cannot be thrown from here: it is reported.
        TFbTransaction::ReportFailure(QString::fromUtf8(e.what()));
        try {
            Detach();
        } catch (...) {
        }
    } catch (...) {
        try {
            Detach();
        } catch (...) {
        }
    }
    for (TFbQuery *q : std::vector<TFbQuery *>(m_datasets))
        q->DatabaseDestroyed();
    for (TFbStatement *s : std::vector<TFbStatement *>(m_statements))
        s->DatabaseDestroyed();
    for (TFbTransaction *t : std::vector<TFbTransaction *>(m_transactions))
        if (t->DefaultDatabase() == this)
            t->SetDefaultDatabase(nullptr);
}

void TFbDatabase::SetDatabaseName(const QString &name)
{
    // Named again (a restore puts another file under the same name): the
    // file is looked at anew.
    m_refused.clear();
    if (name == m_name)
        return;
    if (Connected())
        Close();
    m_name = name;
}

QString TFbDatabase::Param(const QString &name) const
{
    for (const QString &line : m_params) {
        int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return QString();
}

TFbTransaction *TFbDatabase::DefaultTransaction() const
{
    return m_defaultTr.data();
}

void TFbDatabase::SetDefaultTransaction(TFbTransaction *tr)
{
    m_defaultTr = tr;
    if (tr && !tr->DefaultDatabase())
        tr->SetDefaultDatabase(this);
}

void TFbDatabase::Refuse(const QString &why)
{
    m_refused = why;
    try {
        Close();
    } catch (...) {
        // Closing ended a transaction that failed: the handle is dropped all
        // the same, so nothing stays attached to the refused file.
        try {
            Detach();
        } catch (...) {
        }
    }
}

void TFbDatabase::Open()
{
    if (!m_refused.isEmpty())
        throw EFbError(m_refused);
    if (Connected())
        return;
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    const QString user = Param(QStringLiteral("user_name"));
    const QString pass = Param(QStringLiteral("password"));
    if (!user.isEmpty())
        AddDpbString(dpb, isc_dpb_user_name, user.toUtf8());
    if (!pass.isEmpty())
        AddDpbString(dpb, isc_dpb_password, pass.toUtf8());
    AddDpbString(dpb, isc_dpb_lc_ctype, QByteArrayLiteral("NONE"));
    dpb.append(char(isc_dpb_sql_dialect));
    dpb.append(char(1));
    dpb.append(char(m_dialect));

    const QByteArray file = FileNameBytes(m_name);
    ISC_STATUS_ARRAY st;
    m_handle = 0;
    if (m_api->isc_attach_database(st, short(file.size()), file.constData(), &m_handle, short(dpb.size()),
                                   dpb.constData())) {
        m_handle = 0;
        try {
            m_api->Raise(st);
        } catch (const EFbError &e) {
            // The clerk reads what to do first; the engine's text follows.
            throw EFbError(TFbConnectMessage::For(e.GdsCode(), e.Message(), m_name), e.SqlCode(), e.GdsCode());
        }
    }

    // The database's own dialect.
    char item[] = {char(isc_info_db_sql_dialect), char(isc_info_end)};
    char res[32] = {};
    m_dbDialect = 1;
    if (m_api->isc_database_info(st, &m_handle, sizeof item, item, sizeof res, res) == 0
        && res[0] == char(isc_info_db_sql_dialect)) {
        short l = short(m_api->isc_vax_integer(res + 1, 2));
        m_dbDialect = int(m_api->isc_vax_integer(res + 3, l));
    }
    emit connected();
}

void TFbDatabase::Close()
{
    if (!Connected())
        return;
    CloseAllDatasets();
    std::exception_ptr failure;
    for (TFbTransaction *t : std::vector<TFbTransaction *>(m_transactions)) {
        if (t->InTransaction()) {
            try {
                t->EndWithDefaultAction();
            } catch (...) {
                // With the server gone there is nothing left to end (it
                // rolled back on its side; every save was committed when
                // made): closing goes on, so that quitting always quits.
                if (TFbReconnect::IsConnectionLost(std::current_exception())) {
                    qWarning("Conexão com o banco de dados perdida ao fechar (%s): nada mais a encerrar",
                             qPrintable(m_name));
                    *t->Handle() = 0;
                    continue;
                }
                if (!failure)
                    failure = std::current_exception();
                try {
                    t->Rollback();
                } catch (...) {
                }
            }
        }
    }
    try {
        Detach();
    } catch (...) {
        if (!TFbReconnect::IsConnectionLost(std::current_exception()))
            throw;
    }
    emit disconnected();
    if (failure)
        std::rethrow_exception(failure);
}

void TFbDatabase::Detach()
{
    for (TFbStatement *s : std::vector<TFbStatement *>(m_statements))
        s->Unprepare();
    if (!m_handle)
        return;
    ISC_STATUS_ARRAY st;
    if (m_api->isc_detach_database(st, &m_handle)) {
        // A transaction we could not end keeps the attachment busy: drop
        // the handle anyway; the server rolls back on its side.
        m_handle = 0;
        try {
            m_api->Raise(st);
        } catch (const EFbError &e) {
            // The clerk reads what to do first; the engine's text follows.
            throw EFbError(TFbConnectMessage::For(e.GdsCode(), e.Message(), m_name), e.SqlCode(), e.GdsCode());
        }
    }
    m_handle = 0;
}

void TFbDatabase::ConnectionLost()
{
    // Not connected any more: unpreparing only forgets the handles.
    for (TFbStatement *s : std::vector<TFbStatement *>(m_statements))
        s->Unprepare();
    for (TFbQuery *q : std::vector<TFbQuery *>(m_datasets))
        q->ConnectionLost();
}

void TFbDatabase::ReadAgainAfterReconnect()
{
    for (TFbQuery *q : std::vector<TFbQuery *>(m_datasets))
        q->ReadAgainAfterReconnect();
}

void TFbDatabase::CloseAllDatasets()
{
    // All or nothing: closing the first datasets and then meeting another
    // screen's entry would leave the program half closed.
    for (TFbQuery *q : m_datasets) {
        const QString held = q->HeldBy();
        if (!held.isEmpty())
            throw EFbError(held);
    }
    for (TFbQuery *q : std::vector<TFbQuery *>(m_datasets))
        q->Close();
}

void TFbDatabase::CreateDatabase(const QString &name, const QString &user, const QString &password,
                                 int pageSize)
{
    const TFbClient &api = TFbClient::Instance();
    if (!IsRemoteName(name) && QFileInfo::exists(name))
        throw EFbError(QStringLiteral("O arquivo \"%1\" já existe e não foi alterado").arg(name));
    auto quote = [](QByteArray s) { return "'" + s.replace("'", "''") + "'"; };
    QByteArray sql = "CREATE DATABASE " + quote(FileNameBytes(name)) + " USER " + quote(user.toUtf8())
                     + " PASSWORD " + quote(password.toUtf8()) + " PAGE_SIZE "
                     + QByteArray::number(pageSize) + " DEFAULT CHARACTER SET NONE";
    ISC_STATUS_ARRAY st;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (api.isc_dsql_execute_immediate(st, &db, &tr, 0, sql.constData(), 1, nullptr))
        api.Raise(st);
    if (db && api.isc_detach_database(st, &db))
        api.Raise(st);
}

void TFbDatabase::BindDataset(TFbQuery *q)
{
    if (std::find(m_datasets.begin(), m_datasets.end(), q) == m_datasets.end())
        m_datasets.push_back(q);
}

void TFbDatabase::UnbindDataset(TFbQuery *q)
{
    m_datasets.erase(std::remove(m_datasets.begin(), m_datasets.end(), q), m_datasets.end());
}

void TFbDatabase::BindTransaction(TFbTransaction *t)
{
    if (std::find(m_transactions.begin(), m_transactions.end(), t) == m_transactions.end())
        m_transactions.push_back(t);
}

void TFbDatabase::UnbindTransaction(TFbTransaction *t)
{
    m_transactions.erase(std::remove(m_transactions.begin(), m_transactions.end(), t),
                         m_transactions.end());
}

void TFbDatabase::RegisterStatement(TFbStatement *s)
{
    m_statements.push_back(s);
}

void TFbDatabase::UnregisterStatement(TFbStatement *s)
{
    m_statements.erase(std::remove(m_statements.begin(), m_statements.end(), s), m_statements.end());
}

QStringList TFbDatabase::DropPendingEntries()
{
    QStringList dropped;
    for (TFbQuery *q : std::vector<TFbQuery *>(m_datasets)) {
        const QString what = q->DropPending();
        if (what.isEmpty())
            continue;
        qWarning().noquote() << QStringLiteral("Entrada não gravada, descartada ao fechar:") << what;
        dropped << what;
    }
    return dropped;
}
