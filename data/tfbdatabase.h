#pragma once
// The connection: one attachment to a database file. A plain path attaches
// through the embedded engine; "host:/path/DADOS.GDB" attaches to a server.
#include <ibase.h>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <vector>

class TFbTransaction;
class TFbQuery;
class TFbStatement;
class TFbClient;

class TFbDatabase : public QObject
{
    Q_OBJECT
public:
    // Loads the client library: throws EFbError ("... libfbclient.so.2 not
    // found ...") when it is missing.
    explicit TFbDatabase(QObject *parent = nullptr);
    ~TFbDatabase() override;

    QString DatabaseName() const { return m_name; }
    void SetDatabaseName(const QString &name);
    // Lines "name=value"; "user_name" and "password" are sent when attaching.
    QStringList Params() const { return m_params; }
    void SetParams(const QStringList &params) { m_params = params; }
    QString Param(const QString &name) const;
    bool LoginPrompt() const { return m_loginPrompt; }
    void SetLoginPrompt(bool on) { m_loginPrompt = on; }
    int SQLDialect() const { return m_dialect; }
    void SetSQLDialect(int d) { m_dialect = d; }
    // The dialect the database file itself declares (read on Open).
    int DatabaseSQLDialect() const { return m_dbDialect; }
    TFbTransaction *DefaultTransaction() const;
    void SetDefaultTransaction(TFbTransaction *tr);

    void Open();
    // Closes every bound dataset, ends each running transaction with its
    // default action (commit) and detaches.
    void Close();
    bool Connected() const { return m_handle != 0; }
    // Closes the connection and makes every later Open throw EFbError(why)
    // until SetDatabaseName is called again: a file found not to be this
    // system's is not attached again behind the refusal by the next
    // screen's query.
    void Refuse(const QString &why);
    // Refused (EFbError naming the screen) while a screen holds an entry on
    // one of the datasets (TFbQuery::HoldPending): nothing is closed then.
    void CloseAllDatasets();
    // The attachment died under us (its handle already dropped): every
    // statement handle went with it, and so did every open cursor.
    void ConnectionLost();
    // Attached again: datasets cut short by the loss are read again.
    void ReadAgainAfterReconnect();
    // Gives up every entry being typed on the bound datasets, writing what
    // was dropped to the log (stderr); returns those accounts. For a program
    // ending with no one left to ask.
    QStringList DropPendingEntries();

    isc_db_handle *Handle() { return &m_handle; }
    const TFbClient &Api() const { return *m_api; }

    // Creates a new database file (dialect 1, character set NONE) and leaves
    // it detached. Refuses an existing local file.
    // "host:/path" or "host/port:/path" names a server; a plain path is local.
    static bool IsRemoteName(const QString &name);
    static void CreateDatabase(const QString &name, const QString &user, const QString &password,
                               int pageSize = 8192);

    // Binding of datasets, transactions and statements (done by them).
    void BindDataset(TFbQuery *q);
    void UnbindDataset(TFbQuery *q);
    void BindTransaction(TFbTransaction *t);
    void UnbindTransaction(TFbTransaction *t);
    void RegisterStatement(TFbStatement *s);
    void UnregisterStatement(TFbStatement *s);

signals:
    void connected();
    void disconnected();

private:
    void Detach();

    const TFbClient *m_api;
    QString m_name;
    QString m_refused;   // why Open refuses this database ("" when it does not)
    QStringList m_params;
    bool m_loginPrompt = false;
    int m_dialect = 1;
    int m_dbDialect = 1;
    isc_db_handle m_handle = 0;
    QPointer<TFbTransaction> m_defaultTr;
    std::vector<TFbQuery *> m_datasets;
    std::vector<TFbTransaction *> m_transactions;
    std::vector<TFbStatement *> m_statements;
    int m_uncaughtAtStart = 0;   // see TFbTransaction
};
