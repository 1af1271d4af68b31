#pragma once
// The transaction. The system runs one for the whole session; every
// user-level write is made durable at once with commit retaining (the
// transaction keeps its context and open cursors), and units of work group
// several writes under a savepoint. Destroyed while running, it ends with its
// default action, except on the way out of a failure (an exception unwinding
// the stack), when it rolls back; a commit that fails there is reported
// (SetFailureReporter), never thrown, and the transaction is rolled back.
#include <ibase.h>
#include <QObject>
#include <QStringList>
#include <functional>
#include <vector>

class TFbDatabase;
class TFbQuery;

class TFbTransaction : public QObject
{
    Q_OBJECT
public:
    enum TDefaultAction { TACommit, TARollback };

    explicit TFbTransaction(QObject *parent = nullptr);
    ~TFbTransaction() override;

    TFbDatabase *DefaultDatabase() const { return m_db; }
    void SetDefaultDatabase(TFbDatabase *db);
    // Transaction parameter names (e.g. "read_committed", "nowait"); empty
    // gives the client library's default (snapshot, wait, read and write).
    QStringList Params() const { return m_params; }
    void SetParams(const QStringList &p) { m_params = p; }
    TDefaultAction DefaultAction() const { return m_defaultAction; }
    void SetDefaultAction(TDefaultAction a) { m_defaultAction = a; }
    bool AllowAutoStart() const { return m_autoStart; }
    void SetAllowAutoStart(bool on) { m_autoStart = on; }

    // When on, every user-level write (ApplyChanges, Execute) that succeeds
    // outside a unit of work is followed by CommitRetaining.
    bool CommitAfterWrite() const { return m_commitAfterWrite; }
    void SetCommitAfterWrite(bool on) { m_commitAfterWrite = on; }

    bool InTransaction() const { return m_handle != 0; }
    void StartTransaction();
    void StartIfNeeded();   // starts when not running (AllowAutoStart), else throws
    void Commit();
    void CommitRetaining();
    void Rollback();
    // Ends a running transaction with DefaultAction (the connection closing).
    void EndWithDefaultAction();

    // Unit of work: runs work under a savepoint. On success the savepoint is
    // released and (with CommitAfterWrite) the work is committed retaining;
    // on failure the database goes back to the savepoint, every dataset's
    // change cache gets back the rows that work had applied, and the error
    // propagates. A nested unit has a savepoint of its own: when it fails,
    // only its own work is undone (and the outer unit may go on); the
    // commit happens when the outermost unit ends.
    void RunUnitOfWork(const std::function<void()> &work);
    bool InUnitOfWork() const { return m_uowDepth > 0; }

    // Runs work on a query of its own in a short transaction of its own on
    // db: committed when work returns, rolled back when it throws (and the
    // error propagates). For statements that must neither wait for the
    // session's transaction nor leave anything in it.
    static void RunAlone(TFbDatabase *db, const std::function<void(TFbQuery &query)> &work);
    int UnitOfWorkDepth() const { return m_uowDepth; }

    // Called by the layer after a user-level write succeeded.
    void AfterWrite();
    // Datasets that applied rows in the running unit of work register here
    // so that a failed unit can put their caches back.
    void JournalDataset(TFbQuery *q);
    void ForgetDataset(TFbQuery *q);

    isc_tr_handle *Handle() { return &m_handle; }

    // Where a failure that cannot be thrown goes: a commit that fails while
    // a transaction (or a connection) is being destroyed. The application
    // routes it to its standard error box; without a reporter it goes to
    // the log (qWarning). Returns the reporter that was installed.
    using FailureReporter = std::function<void(const QString &message)>;
    static FailureReporter SetFailureReporter(FailureReporter reporter);
    static void ReportFailure(const QString &message);

signals:
    void started();
    // A hard Commit or Rollback is about to end the transaction and close
    // every cursor it has open (commit retaining keeps them).
    void aboutToEnd();
    void committed();     // Commit, CommitRetaining
    void rolledBack();

private:
    void ExecSql(const char *sql);
    QByteArray BuildTpb() const;

    TFbDatabase *m_db = nullptr;
    QStringList m_params;
    TDefaultAction m_defaultAction = TACommit;
    bool m_autoStart = true;
    bool m_commitAfterWrite = false;
    isc_tr_handle m_handle = 0;
    int m_uowDepth = 0;
    std::vector<TFbQuery *> m_journaled;
    // Exceptions in flight when this object was made: more of them at
    // destruction means it is destroyed by a failure unwinding the stack.
    int m_uncaughtAtStart = 0;
};
