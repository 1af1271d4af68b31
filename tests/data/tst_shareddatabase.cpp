// Two computers of a shop on one database: two attachments in one process,
// each with a data module of its own, as two copies of the program have.
// Through the private server when the run started one (OS_FB_SERVER), on a
// local file through the embedded engine otherwise; the server stopped and
// started again needs the private server.
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tdmsharedaccess.h"
#include "data/tfbdatabase.h"
#include "data/tfbconflictmessage.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbreconnect.h"
#include "data/tfbrowwriter.h"
#include "data/tfbtransaction.h"
#include "tests/support/tfbservercontrol.h"
#include "tests/support/tfbtestdb.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A new row of `table` saved through `dm`, with `column` set to `value`
// (an order gets client `client`); returns its key.
int AddRow(TDM &dm, const QString &table, int client = 0)
{
    TFbQuery *q = dm.DatasetOf(table);
    q->Append();
    const TDmTable *t = TDmSchema::Table(table);
    for (const TDmColumn &c : t->columns)
        if (c.kind == TFbFieldKind::String && q->FieldByName(QLatin1String(c.name))->IsNull())
            q->FieldByName(QLatin1String(c.name))->SetAsString(QStringLiteral("inicial"));
    if (client)
        q->FieldByName(QStringLiteral("IDCLIENTE"))->SetAsInteger(client);
    q->ApplyChanges();
    return q->FieldByName(QLatin1String(t->key))->AsInteger();
}

// `dm`'s dataset of `table` read again and placed on row `key`.
TFbQuery *Reread(TDM &dm, const QString &table, int key)
{
    TFbQuery *q = dm.DatasetOf(table);
    q->Close();
    q->Open();
    if (!q->Locate(QLatin1String(TDmSchema::Table(table)->key), key))
        return nullptr;
    return q;
}

// The stored text of one column, read past both data modules.
QString Stored(TDM &dm, const QString &table, const QString &column, int key)
{
    QString value = QStringLiteral("<sem registro>");
    TFbTransaction::RunAlone(dm.Database, [&](TFbQuery &q) {
        q.SetSQL(QStringLiteral("select %1 from %2 where %3 = %4")
                     .arg(column, table, QLatin1String(TDmSchema::Table(table)->key))
                     .arg(key));
        q.Open();
        if (!q.IsEmpty())
            value = q.Field(0)->AsString();
    });
    return value;
}

qint64 Count(TDM &dm, const QString &sql)
{
    qint64 n = -1;
    TFbTransaction::RunAlone(dm.Database, [&](TFbQuery &q) {
        q.SetSQL(sql);
        q.Open();
        n = q.Field(0)->AsLargeInt();
    });
    return n;
}

// `q` with `sql` on a transaction of its own, started, as the program's
// but waiting for a row another one holds or not (`wait`: "wait", "nowait").
void OnOwnTransaction(TFbQuery &q, TFbTransaction &tr, TFbDatabase *db, const QString &wait, const QString &sql)
{
    tr.SetDefaultDatabase(db);
    tr.SetParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), wait, QStringLiteral("write")});
    tr.StartTransaction();
    q.SetDatabase(db);
    q.SetTransaction(&tr);
    q.SetSQL(sql);
}

QString ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EFbError &e) {
        return e.Message();
    }
    return QString();
}

} // namespace

class TstSharedDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_serverDir;
    std::unique_ptr<TFbTestDb> m_local;
    QString m_name;
    std::unique_ptr<TDM> m_a, m_b;

    int m_files = 0;

    bool OnServer() const { return m_serverDir != nullptr; }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        const QString host = qEnvironmentVariable("OS_FB_SERVER");
        if (!host.isEmpty()) {
            m_serverDir = std::make_unique<QTemporaryDir>(
                qEnvironmentVariable("OS_FB_SERVER_DIR", QStringLiteral("/tmp")) + "/os-test-XXXXXX");
            QVERIFY(m_serverDir->isValid());
            // The server process writes here.
            QFile::setPermissions(m_serverDir->path(), QFileDevice::Permissions(0x7777));
        }
    }

    void init()
    {
        if (OnServer()) {
            m_name = qEnvironmentVariable("OS_FB_SERVER") + ":" + m_serverDir->path() + "/"
                     + QTest::currentTestFunction() + "-" + QString::number(m_files++) + ".GDB";
            TDmSchema::CreateDatabaseFile(m_name);
        } else {
            m_local = std::make_unique<TFbTestDb>();
            OS_REQUIRE_TEST_DB(*m_local);
            m_name = m_local->Path();
        }
        m_a = std::make_unique<TDM>();
        m_b = std::make_unique<TDM>();
        m_a->Database->SetDatabaseName(m_name);
        m_b->Database->SetDatabaseName(m_name);
        m_a->OpenAll();
        m_b->OpenAll();
    }

    void cleanup()
    {
        m_b.reset();
        m_a.reset();
        m_local.reset();
    }

    // Computers A and B open the same record; A saves one column and B
    // another: both changes stay (B used to write back the whole row it
    // had read, undoing A's).
    void savesOfDifferentColumnsBothStay_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columnA");
        QTest::addColumn<QString>("valueA");
        QTest::addColumn<QString>("columnB");
        QTest::addColumn<QString>("valueB");
        QTest::newRow("client: phone and city") << "CLIENTES" << "FONERES" << "3333-4444" << "CIDADE" << "Olinda";
        QTest::newRow("order: status and value") << "ORDEMSERV" << "SITUACAO" << "Em Andamento" << "VALOR" << "150";
        QTest::newRow("supplier: phone and city") << "FORNECEDORES" << "FONE" << "3222-1111" << "CIDADE" << "Recife";
        QTest::newRow("product: quantity and description")
            << "PRODFORNE" << "QTDEDISP" << "7" << "DESCRICAO" << "Capacitor 10uF";
    }
    void savesOfDifferentColumnsBothStay()
    {
        QFETCH(QString, table);
        QFETCH(QString, columnA);
        QFETCH(QString, valueA);
        QFETCH(QString, columnB);
        QFETCH(QString, valueB);
        const int client = table == "ORDEMSERV" ? AddRow(*m_a, "CLIENTES") : 0;
        const int key = AddRow(*m_a, table, client);
        TFbQuery *a = Reread(*m_a, table, key);
        TFbQuery *b = Reread(*m_b, table, key);
        QVERIFY(a && b);
        a->Edit();
        b->Edit();
        a->FieldByName(columnA)->SetAsString(valueA);
        a->ApplyChanges();
        b->FieldByName(columnB)->SetAsString(valueB);
        b->ApplyChanges();
        QCOMPARE(b->State(), TFbQuery::dsBrowse);
        QCOMPARE(Stored(*m_a, table, columnA, key), valueA);
        QCOMPARE(Stored(*m_a, table, columnB, key), valueB);
    }

    // Both change the same column: the second save is refused, says what is
    // stored now, writes nothing, and keeps what was typed in the entry.
    // Making the very same change on both is no conflict.
    void sameColumnChangedElsewhereIsRefused_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("valueA");
        QTest::addColumn<QString>("valueB");
        QTest::addColumn<QString>("shown");   // empty: B's save goes through
        QTest::newRow("client name") << "CLIENTES" << "NOME" << "Ana Souza" << "Ana de Souza" << "NOME: \"Ana Souza\"";
        QTest::newRow("client name emptied elsewhere") << "CLIENTES" << "END1" << "" << "Rua B" << "END1: (vazio)";
        QTest::newRow("order value") << "ORDEMSERV" << "VALOR" << "99,9" << "120" << "VALOR: 99,9";
        QTest::newRow("order exit date") << "ORDEMSERV" << "DATASAIDA" << "10/12/2026" << "11/12/2026"
                                         << "DATASAIDA: 10/12/2026";
        QTest::newRow("supplier name") << "FORNECEDORES" << "RAZAOSOCIAL" << "Peças Ltda" << "Peças SA"
                                       << "RAZAOSOCIAL: \"Peças Ltda\"";
        QTest::newRow("product minimum") << "PRODFORNE" << "QTDEMIN" << "3" << "5" << "QTDEMIN: 3";
        QTest::newRow("same change on both") << "CLIENTES" << "CIDADE" << "Olinda" << "Olinda" << "";
    }
    void sameColumnChangedElsewhereIsRefused()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, valueA);
        QFETCH(QString, valueB);
        QFETCH(QString, shown);
        const int client = table == "ORDEMSERV" ? AddRow(*m_a, "CLIENTES") : 0;
        const int key = AddRow(*m_a, table, client);
        TFbQuery *a = Reread(*m_a, table, key);
        TFbQuery *b = Reread(*m_b, table, key);
        QVERIFY(a && b);
        a->Edit();
        a->FieldByName(column)->SetAsString(valueA);
        a->ApplyChanges();
        const QString storedByA = Stored(*m_a, table, column, key);
        b->Edit();
        b->FieldByName(column)->SetAsString(valueB);
        const QString error = ErrorOf([&] { b->ApplyChanges(); });
        if (shown.isEmpty()) {
            QCOMPARE(error, QString());
            QCOMPARE(Stored(*m_a, table, column, key), valueB);
            return;
        }
        QVERIFY2(error.startsWith("Este registro foi alterado em outro computador"), qPrintable(error));
        QVERIFY2(error.contains(shown), qPrintable(error));
        QCOMPARE(Stored(*m_a, table, column, key), storedByA);
        // Nothing typed is lost: the entry goes on, and a cancel ends it.
        QCOMPARE(b->State(), TFbQuery::dsEdit);
        QCOMPARE(b->FieldByName(column)->AsString(), valueB);
        QVERIFY(b->UpdatesPending());
        b->Cancel();
        b->CancelUpdates();
        QVERIFY(!b->UpdatesPending());
        // Read again, B saves over what A stored.
        b = Reread(*m_b, table, key);
        b->Edit();
        b->FieldByName(column)->SetAsString(valueB);
        b->ApplyChanges();
        QCOMPARE(Stored(*m_a, table, column, key), b->FieldByName(column)->AsString());
    }

    // A deletes the record B is editing: B's save says so, in words of its
    // own (it was "Update Failed"), and the entry stays.
    void rowDeletedElsewhereHasItsOwnMessage()
    {
        const int key = AddRow(*m_a, "CLIENTES");
        TFbQuery *b = Reread(*m_b, "CLIENTES", key);
        QVERIFY(b);
        TFbQuery *a = Reread(*m_a, "CLIENTES", key);
        a->Delete();
        a->ApplyChanges();
        b->Edit();
        m_b->ClientesQueryCIDADE->SetAsString("Olinda");
        QCOMPARE(ErrorOf([&] { b->ApplyChanges(); }), TFbRowWriter::DeletedElsewhereMessage());
        QCOMPARE(b->State(), TFbQuery::dsEdit);
        QCOMPARE(m_b->ClientesQueryCIDADE->AsString(), QStringLiteral("Olinda"));
        QCOMPARE(Count(*m_a, "select count(*) from clientes"), 0);
    }

    // B holds a client's row (its change not yet committed) while A's
    // statement on the same row does not wait: A's error says so in
    // Portuguese, with the engine's text under it, and keeps the engine's
    // code for whoever has words of its own (a record's save). It used to
    // reach the clerk as "lock conflict on no wait transaction".
    void rowHeldElsewhereIsSaidInPortuguese()
    {
        const int key = AddRow(*m_a, "CLIENTES");
        TFbTransaction holder, noWait;
        TFbQuery hold, change;
        OnOwnTransaction(hold, holder, m_b->Database, QStringLiteral("wait"),
                         QStringLiteral("update clientes set cidade = 'Olinda' where idcliente = %1").arg(key));
        hold.Execute();
        OnOwnTransaction(change, noWait, m_a->Database, QStringLiteral("nowait"),
                         QStringLiteral("delete from clientes where idcliente = %1").arg(key));
        long code = 0;
        QString message;
        try {
            change.Execute();
        } catch (const EFbError &e) {
            code = e.GdsCode();
            message = e.Message();
        }
        noWait.Rollback();
        QVERIFY2(TFbConflictMessage::IsConflict(code), qPrintable(QString::number(code)));
        QVERIFY2(message.startsWith(QStringLiteral("O registro está sendo alterado em outro computador neste momento")),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Detalhe técnico: ")) && message.contains(QStringLiteral("conflict")),
                 qPrintable(message));

        // Once B is done, A's statement goes through.
        holder.Commit();
        QCOMPARE(Stored(*m_a, "CLIENTES", "CIDADE", key), QStringLiteral("Olinda"));
        noWait.StartTransaction();
        change.Execute();
        noWait.Commit();
        QCOMPARE(Count(*m_a, "select count(*) from clientes"), 0);
    }

    // B holds a client's row in work it has not finished; A saves a change
    // of the same client with the program's own transaction. A used to
    // wait for as long as B held the row; it now gives up after a few
    // seconds with the words for a row being changed elsewhere, and keeps
    // the entry. Once B is done, A's save goes through.
    void saveGivesUpOnRowHeldElsewhere()
    {
        const int key = AddRow(*m_a, "CLIENTES");
        TFbQuery *a = Reread(*m_a, "CLIENTES", key);
        QVERIFY(a);
        TFbTransaction holder;
        TFbQuery hold;
        OnOwnTransaction(hold, holder, m_b->Database, QStringLiteral("wait"),
                         QStringLiteral("update clientes set fonecel = '9999-0000' where idcliente = %1").arg(key));
        hold.Execute();
        a->Edit();
        m_a->ClientesQueryCIDADE->SetAsString("Olinda");
        QElapsedTimer waited;
        waited.start();
        const QString error = ErrorOf([&] { a->ApplyChanges(); });
        QVERIFY2(error.startsWith(QStringLiteral("Este registro está sendo alterado em outro computador")),
                 qPrintable(error));
        // Not at once: a row held for a moment is waited for.
        QVERIFY2(waited.elapsed() >= (TDM::LockWaitSeconds - 1) * 1000, qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(a->State(), TFbQuery::dsEdit);
        QCOMPARE(m_a->ClientesQueryCIDADE->AsString(), QStringLiteral("Olinda"));
        holder.Commit();
        a->ApplyChanges();
        QCOMPARE(Stored(*m_a, "CLIENTES", "CIDADE", key), QStringLiteral("Olinda"));
        QCOMPARE(Stored(*m_a, "CLIENTES", "FONECEL", key), QStringLiteral("9999-0000"));
    }

    // An entry starts from the row as stored now: A read the list, B
    // changed the client since; the refreshed row shows B's change (and
    // saving a change of another column keeps it). A row deleted elsewhere
    // says so, and a row with a change of its own is left as typed.
    void entryStartsFromTheRowAsStoredNow()
    {
        const int key = AddRow(*m_a, "CLIENTES");
        TFbQuery *a = Reread(*m_a, "CLIENTES", key);
        TFbQuery *b = Reread(*m_b, "CLIENTES", key);
        QVERIFY(a && b);
        b->Edit();
        m_b->ClientesQueryCIDADE->SetAsString("Olinda");
        b->ApplyChanges();
        QCOMPARE(m_a->ClientesQueryCIDADE->AsString(), QStringLiteral("inicial"));
        QVERIFY(a->RefreshCurrent());
        QCOMPARE(m_a->ClientesQueryCIDADE->AsString(), QStringLiteral("Olinda"));
        QVERIFY(!a->UpdatesPending());
        a->Edit();
        m_a->ClientesQueryFONERES->SetAsString("3333-4444");
        a->ApplyChanges();
        QCOMPARE(Stored(*m_a, "CLIENTES", "CIDADE", key), QStringLiteral("Olinda"));
        QCOMPARE(Stored(*m_a, "CLIENTES", "FONERES", key), QStringLiteral("3333-4444"));

        b = Reread(*m_b, "CLIENTES", key);
        b->Edit();
        m_b->ClientesQueryCIDADE->SetAsString("Recife");
        b->Post();
        a->Delete();
        a->ApplyChanges();
        QVERIFY(b->RefreshCurrent());   // its own change stays
        QCOMPARE(m_b->ClientesQueryCIDADE->AsString(), QStringLiteral("Recife"));
        b->CancelUpdates();
        QVERIFY(!b->RefreshCurrent());
    }

    // Both computers delete the same client: the second delete is refused
    // in Portuguese (it was "Update Failed") and stays marked until the
    // clerk's screen gives it up.
    void deleteOfRowDeletedElsewhereIsSaid()
    {
        const int key = AddRow(*m_a, "CLIENTES");
        TFbQuery *a = Reread(*m_a, "CLIENTES", key);
        TFbQuery *b = Reread(*m_b, "CLIENTES", key);
        QVERIFY(a && b);
        a->Delete();
        a->ApplyChanges();
        b->Delete();
        QCOMPARE(ErrorOf([&] { b->ApplyChanges(); }), TFbRowWriter::DeletedBeforeMessage());
        QVERIFY(b->UpdatesPending());
        QCOMPARE(Count(*m_a, "select count(*) from clientes"), 0);
    }

    // B types an order for a client that A deletes meanwhile (with its
    // orders): the order is refused instead of being stored for a client
    // no screen can reach, and it stays typed.
    void orderForClientDeletedElsewhereIsRefused()
    {
        const int client = AddRow(*m_a, "CLIENTES");
        TFbQuery *b = m_b->OrdensQuery;
        b->Append();
        m_b->OrdensQueryIDCLIENTE->SetAsInteger(client);
        m_b->OrdensQueryDESCRICAO->SetAsString("Rádio");
        TFbQuery *a = Reread(*m_a, "CLIENTES", client);
        a->Delete();
        a->ApplyChanges();
        QCOMPARE(ErrorOf([&] { TDmSharedAccess::ApplyOrder(*m_b); }), TDmSharedAccess::OrderClientGoneMessage());
        QCOMPARE(Count(*m_a, "select count(*) from ordemserv"), 0);
        QCOMPARE(b->State(), TFbQuery::dsInsert);
        QCOMPARE(m_b->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Rádio"));
        // For a client that is there, the same entry is saved.
        const int other = AddRow(*m_a, "CLIENTES");
        m_b->OrdensQueryIDCLIENTE->SetAsInteger(other);
        TDmSharedAccess::ApplyOrder(*m_b);
        QCOMPARE(Count(*m_a, QStringLiteral("select count(*) from ordemserv where idcliente = %1").arg(other)), 1);
    }

    // The server stops while B types, and comes back. The save while it is
    // down fails with a message in Portuguese and keeps the entry; once it
    // answers again, the same entry is saved and searches work, without
    // restarting the program.
    void serverStoppedAndStartedAgain()
    {
        if (const QString missing = TFbServerControl::Missing(); !OnServer() || !missing.isEmpty())
            QSKIP(qPrintable(OnServer() ? missing : QStringLiteral("needs the private Firebird server (OS_FB_SERVER)")));
        const int key = AddRow(*m_a, "CLIENTES");
        m_a.reset();
        TFbQuery *b = Reread(*m_b, "CLIENTES", key);
        QVERIFY(b);
        b->Edit();
        m_b->ClientesQueryCIDADE->SetAsString("Olinda");

        QVERIFY(TFbServerControl::Stop());
        QString error;
        try {
            b->ApplyChanges();
        } catch (const EFbError &e) {
            QVERIFY2(TFbReconnect::IsConnectionLost(e.GdsCode()), qPrintable(e.Message()));
            error = TFbReconnect::LostMessage(e.Message());
            TFbReconnect::NoteLost(*m_b->Database);
        }
        QVERIFY2(error.startsWith("A conexão com o banco de dados foi perdida"), qPrintable(error));
        QCOMPARE(b->State(), TFbQuery::dsEdit);
        QCOMPARE(m_b->ClientesQueryCIDADE->AsString(), QStringLiteral("Olinda"));
        // Still down: trying again says so and loses nothing.
        QVERIFY(!TFbReconnect::ReconnectIfLost());
        QVERIFY(TFbReconnect::IsLost());
        QCOMPARE(b->State(), TFbQuery::dsEdit);

        QVERIFY(TFbServerControl::Start());
        QVERIFY(TFbServerControl::WaitUntilAnswering(m_name));
        QVERIFY(TFbReconnect::ReconnectIfLost());
        QVERIFY(!TFbReconnect::IsLost());
        // The header lines go through their statements as they are, which
        // start no transaction of their own.
        m_b->ConfigQuery->Edit();
        m_b->ConfigQueryCAB1->SetAsString("Oficina do Zé");
        m_b->ConfigQuery->ApplyChanges();
        QCOMPARE(Stored(*m_b, "CONFIG", "CAB1", 1), QStringLiteral("Oficina do Zé"));
        b->ApplyChanges();
        QCOMPARE(b->State(), TFbQuery::dsBrowse);
        QCOMPARE(Stored(*m_b, "CLIENTES", "CIDADE", key), QStringLiteral("Olinda"));
        // Searches read again.
        m_b->ClientesQuery->Close();
        m_b->ClientesQuery->Open();
        QCOMPARE(m_b->ClientesQuery->RecordCount(), 1);
        m_b->Database->Close();
    }

    // Closing the program after the server went away (Sair, or a SIGTERM
    // from a shutdown) must not stop on the failed final commit.
    void closeAfterServerStoppedEndsQuietly()
    {
        if (const QString missing = TFbServerControl::Missing(); !OnServer() || !missing.isEmpty())
            QSKIP(qPrintable(OnServer() ? missing : QStringLiteral("needs the private Firebird server (OS_FB_SERVER)")));
        m_a.reset();
        QVERIFY(TFbServerControl::Stop());
        QCOMPARE(ErrorOf([&] { m_b->CloseAll(); }), QString());
        QVERIFY(!m_b->Database->Connected());
        QVERIFY(TFbServerControl::Start());
        QVERIFY(TFbServerControl::WaitUntilAnswering(m_name));
    }

};

QTEST_MAIN(TstSharedDatabase)
#include "tst_shareddatabase.moc"
