#include "data/tfbtransaction.h"
#include "data/efberror.h"
#include "data/tfbclient.h"
#include "data/tfbdatabase.h"
#include "data/tfbquery.h"

#include <algorithm>
#include <exception>

namespace {
// The teb of isc_start_multiple, as the client library lays it out.
struct TFbTeb
{
    isc_db_handle *database;
    int tpbLength;
    const char *tpb;
};
} // namespace

namespace {
TFbTransaction::FailureReporter &Reporter()
{
    static TFbTransaction::FailureReporter reporter;
    return reporter;
}
} // namespace

TFbTransaction::TFbTransaction(QObject *parent)
    : QObject(parent), m_uncaughtAtStart(std::uncaught_exceptions())
{
    TFbClient::Instance();   // fails here, with the layer's message, without the library
}

TFbTransaction::~TFbTransaction()
{
    if (InTransaction()) {
        if (std::uncaught_exceptions() > m_uncaughtAtStart || m_defaultAction == TARollback) {
            // Half-done work of a failed operation must not become permanent.
            try {
                Rollback();
            } catch (...) {
                // Detaching ends it on the server's side as well.
            }
        } else {
            try {
                Commit();
            } catch (const std::exception &e) {
                ReportFailure(QString::fromUtf8(e.what()));
                try {
                    Rollback();
                } catch (...) {
                }
            } catch (...) {
                ReportFailure(QStringLiteral("Commit failed"));
            }
        }
    }
    if (m_db)
        m_db->UnbindTransaction(this);
}

TFbTransaction::FailureReporter TFbTransaction::SetFailureReporter(FailureReporter reporter)
{
    FailureReporter old = std::move(Reporter());
    Reporter() = std::move(reporter);
    return old;
}

void TFbTransaction::ReportFailure(const QString &message)
{
    if (Reporter())
        Reporter()(message);
    else
        qWarning("%s", qPrintable(message));
}

void TFbTransaction::SetDefaultDatabase(TFbDatabase *db)
{
    if (db == m_db)
        return;
    if (m_db)
        m_db->UnbindTransaction(this);
    m_db = db;
    if (m_db)
        m_db->BindTransaction(this);
}

QByteArray TFbTransaction::BuildTpb() const
{
    if (m_params.isEmpty())
        return QByteArray();
    static const struct { const char *name; char code; } names[] = {
        {"consistency", isc_tpb_consistency}, {"concurrency", isc_tpb_concurrency},
        {"shared", isc_tpb_shared}, {"protected", isc_tpb_protected},
        {"exclusive", isc_tpb_exclusive}, {"wait", isc_tpb_wait}, {"nowait", isc_tpb_nowait},
        {"read", isc_tpb_read}, {"write", isc_tpb_write},
        {"read_committed", isc_tpb_read_committed}, {"rec_version", isc_tpb_rec_version},
        {"no_rec_version", isc_tpb_no_rec_version},
    };
    QByteArray tpb;
    tpb.append(char(isc_tpb_version3));
    for (const QString &p : m_params) {
        const QByteArray n = p.trimmed().toLower().toLatin1();
        if (n.isEmpty())
            continue;
        static const QByteArray lockTimeout("lock_timeout=");
        if (n.startsWith(lockTimeout)) {
            // How long a statement waits for a row another transaction
            // holds before it fails with a lock time-out, in seconds.
            bool ok = false;
            const int seconds = n.mid(lockTimeout.size()).toInt(&ok);
            if (!ok || seconds <= 0)
                throw EFbError(QStringLiteral("Invalid transaction parameter '%1'").arg(p));
            tpb.append(char(isc_tpb_lock_timeout));
            tpb.append(char(4));
            for (int i = 0; i < 4; ++i)
                tpb.append(char((quint32(seconds) >> (8 * i)) & 0xff));
            continue;
        }
        bool found = false;
        for (const auto &e : names)
            if (n == e.name) {
                tpb.append(e.code);
                found = true;
            }
        if (!found)
            throw EFbError(QStringLiteral("Invalid transaction parameter '%1'").arg(p));
    }
    return tpb;
}

void TFbTransaction::StartTransaction()
{
    if (!m_db)
        throw EFbError(QStringLiteral("Transaction has no database"));
    if (InTransaction())
        throw EFbError(QStringLiteral("Transaction is active"));
    if (!m_db->Connected())
        throw EFbError(QStringLiteral("Database not open"));
    const QByteArray tpb = BuildTpb();
    TFbTeb teb{m_db->Handle(), int(tpb.size()), tpb.isEmpty() ? nullptr : tpb.constData()};
    ISC_STATUS_ARRAY st;
    m_handle = 0;
    const TFbClient &api = m_db->Api();
    if (api.isc_start_multiple(st, &m_handle, 1, &teb)) {
        m_handle = 0;
        api.Raise(st);
    }
    emit started();
}

void TFbTransaction::StartIfNeeded()
{
    if (InTransaction())
        return;
    if (!m_autoStart)
        throw EFbError(QStringLiteral("Transaction not active"));
    StartTransaction();
}

void TFbTransaction::Commit()
{
    if (!InTransaction())
        return;
    emit aboutToEnd();
    ISC_STATUS_ARRAY st;
    if (m_db->Api().isc_commit_transaction(st, &m_handle))
        m_db->Api().Raise(st);
    m_handle = 0;
    m_uowDepth = 0;
    emit committed();
}

void TFbTransaction::CommitRetaining()
{
    if (!InTransaction())
        return;
    ISC_STATUS_ARRAY st;
    if (m_db->Api().isc_commit_retaining(st, &m_handle))
        m_db->Api().Raise(st);
    emit committed();
}

void TFbTransaction::Rollback()
{
    if (!InTransaction())
        return;
    emit aboutToEnd();
    ISC_STATUS_ARRAY st;
    if (m_db->Api().isc_rollback_transaction(st, &m_handle))
        m_db->Api().Raise(st);
    m_handle = 0;
    m_uowDepth = 0;
    emit rolledBack();
}

void TFbTransaction::EndWithDefaultAction()
{
    if (m_defaultAction == TACommit)
        Commit();
    else
        Rollback();
}

void TFbTransaction::ExecSql(const char *sql)
{
    ISC_STATUS_ARRAY st;
    const TFbClient &api = m_db->Api();
    if (api.isc_dsql_execute_immediate(st, m_db->Handle(), &m_handle, 0, sql,
                                       static_cast<unsigned short>(m_db->SQLDialect()), nullptr))
        api.Raise(st);
}

void TFbTransaction::RunAlone(TFbDatabase *db, const std::function<void(TFbQuery &)> &work)
{
    TFbTransaction tr;
    tr.SetDefaultDatabase(db);
    TFbQuery q;
    q.SetDatabase(db);
    q.SetTransaction(&tr);
    try {
        work(q);
        q.Close();
        if (tr.InTransaction())
            tr.Commit();
    } catch (...) {
        q.Close();
        // The first failure is the one to tell; a rollback that fails too
        // (the connection is gone) adds nothing.
        try {
            if (tr.InTransaction())
                tr.Rollback();
        } catch (...) {
        }
        throw;
    }
}

void TFbTransaction::RunUnitOfWork(const std::function<void()> &work)
{
    if (!m_db)
        throw EFbError(QStringLiteral("Transaction has no database"));
    if (m_uowDepth == 0) {
        m_db->Open();
        StartIfNeeded();
    }
    // Each level has a savepoint of its own: a failed inner unit that the
    // outer one catches goes back to where the inner one began.
    const int depth = m_uowDepth + 1;
    const QByteArray name = "OS_UNIT_OF_WORK_" + QByteArray::number(depth);
    ExecSql(("SAVEPOINT " + name).constData());
    m_uowDepth = depth;
    try {
        work();
    } catch (...) {
        m_uowDepth = depth - 1;
        if (InTransaction()) {
            try {
                ExecSql(("ROLLBACK TO SAVEPOINT " + name).constData());
                ExecSql(("RELEASE SAVEPOINT " + name + " ONLY").constData());
            } catch (...) {
                // The original failure is the one the user must see.
            }
        }
        const std::vector<TFbQuery *> qs = m_journaled;
        for (auto it = qs.rbegin(); it != qs.rend(); ++it)
            (*it)->UndoJournal(depth);
        if (m_uowDepth == 0)
            m_journaled.clear();
        throw;
    }
    m_uowDepth = depth - 1;
    if (InTransaction())
        ExecSql(("RELEASE SAVEPOINT " + name + " ONLY").constData());
    if (m_uowDepth > 0) {
        // The outer unit decides: what this one applied is now its.
        for (TFbQuery *q : m_journaled)
            q->MergeJournal(depth);
        return;
    }
    std::vector<TFbQuery *> qs;
    qs.swap(m_journaled);
    for (TFbQuery *q : qs)
        q->CommitJournal();
    if (InTransaction() && m_commitAfterWrite)
        CommitRetaining();
}

void TFbTransaction::AfterWrite()
{
    if (m_commitAfterWrite && m_uowDepth == 0 && InTransaction())
        CommitRetaining();
}

void TFbTransaction::JournalDataset(TFbQuery *q)
{
    if (std::find(m_journaled.begin(), m_journaled.end(), q) == m_journaled.end())
        m_journaled.push_back(q);
}

void TFbTransaction::ForgetDataset(TFbQuery *q)
{
    m_journaled.erase(std::remove(m_journaled.begin(), m_journaled.end(), q), m_journaled.end());
}
