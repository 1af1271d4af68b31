// The data module on a real database file: schema, update statements,
// new-record rule, saving through the shared datasets, unit of work.
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "data/tfbupdatesql.h"
#include "tests/data/tdmkeycases.h"
#include "tests/support/tfbtestdb.h"

#include <QLocale>
#include <QtTest>

class TstTDM : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void configUpdateStatementsAsStored()
    {
        const TDmTable *t = TDmSchema::Table(QStringLiteral("CONFIG"));
        QVERIFY(t);
        QCOMPARE(TDmSchema::RefreshSQL(*t).join(" / "),
                 QStringLiteral("Select  /   IDCONFIG, /   CAB1, /   CAB2, /   CAB3, /   CAB4, /   VERDE, /   AZUL, /   VERMELHO / from CONFIG  / where /   IDCONFIG = :IDCONFIG"));
        QCOMPARE(TDmSchema::ModifySQL(*t).join(" / "),
                 QStringLiteral("update CONFIG / set /   AZUL = :AZUL, /   CAB1 = :CAB1, /   CAB2 = :CAB2, /   CAB3 = :CAB3, /   CAB4 = :CAB4, /   IDCONFIG = :IDCONFIG, /   VERDE = :VERDE, /   VERMELHO = :VERMELHO / where /   IDCONFIG = :OLD_IDCONFIG"));
        QCOMPARE(TDmSchema::InsertSQL(*t).join(" / "),
                 QStringLiteral("insert into CONFIG /   (AZUL, CAB1, CAB2, CAB3, CAB4, IDCONFIG, VERDE, VERMELHO) / values /   (:AZUL, :CAB1, :CAB2, :CAB3, :CAB4, :IDCONFIG, :VERDE, :VERMELHO)"));
        QCOMPARE(TDmSchema::DeleteSQL(*t).join(" / "),
                 QStringLiteral("delete from CONFIG / where /   IDCONFIG = :OLD_IDCONFIG"));
    }

    void clientesModifySetsEveryColumnInNameOrder()
    {
        const TDmTable *t = TDmSchema::Table(QStringLiteral("clientes"));
        QStringList cols;
        const QStringList lines = TDmSchema::ModifySQL(*t);
        for (int i = 2; i < lines.size() - 2; ++i)
            cols << lines[i].trimmed().section(QLatin1Char(' '), 0, 0);
        QCOMPARE(cols.join(","), QStringLiteral("ANOTA,CEP,CIDADE,CNPJ,CPF,DATACADASTRO,EMAIL,END1,END2,FONECEL,FONECOM,FONERES,IDCLIENTE,IE,NOME,PESSOACONT,RG,TIPOANOT,TIPOPESSOA,UF"));
        QCOMPARE(lines.last(), QStringLiteral("  IDCLIENTE = :OLD_IDCLIENTE"));
    }

    void openAllGivesDatasetsFieldsAndConfigRow()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto dm = db.MakeDM();
        QCOMPARE(DM, dm.get());
        QCOMPARE(dm->Database->DatabaseSQLDialect(), 1);
        for (TFbQuery *q : {dm->ClientesQuery, dm->OrdensQuery, dm->ConfigQuery, dm->ForneQuery,
                            dm->ProdForneQuery, dm->ProdEntQuery})
            QVERIFY(q->Active());
        QCOMPARE(dm->ConfigQuery->RecordCount(), 1);
        QCOMPARE(dm->ConfigQueryIDCONFIG->AsInteger(), 1);
        QCOMPARE(dm->ClientesQueryNOME->Size(), 70);
        QCOMPARE(dm->ClientesQueryNOME->Origin(), QStringLiteral("CLIENTES.NOME"));
        QVERIFY(dm->OrdensQueryVALORTOT->Currency());
        QCOMPARE(dm->ClientesQuery->FieldByName("idcliente"), dm->ClientesQueryIDCLIENTE);
        QCOMPARE(dm->ClientesQuery->FieldCount(), 20);
    }

    // Keys: first is 1, date today; a new record given up leaves its key
    // unused; the scratch query stays open with its one row.
    void nextIdRule()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto dm = db.MakeDM();
        TFbQuery *q = dm->ClientesQuery;
        q->Append();
        QCOMPARE(dm->ClientesQueryIDCLIENTE->AsInteger(), 1);
        QCOMPARE(dm->ClientesQueryDATACADASTRO->AsDateTime(), QDateTime(QDate::currentDate(), QTime(0, 0)));
        q->Cancel();
        q->Append();
        QCOMPARE(dm->ClientesQueryIDCLIENTE->AsInteger(), 2);
        dm->ClientesQueryNOME->SetAsString(QStringLiteral("Ana"));
        q->ApplyChanges();
        q->Append();
        QCOMPARE(dm->ClientesQueryIDCLIENTE->AsInteger(), 3);
        q->Cancel();
        QVERIFY(dm->AuxQuery->Active());
        QCOMPARE(dm->AuxQuery->RecordCount(), 1);
    }

    // After the highest service order is deleted its number must not come
    // back: the paper order already printed with it still exists.
    void deletedHighestOrderNumberNotReused()
    {
        TFbTestDb db;
        QVERIFY2(db.IsValid(), qPrintable(db.Error()));
        auto dm = db.MakeDM();
        TFbQuery *q = dm->OrdensQuery;
        for (int i = 0; i < 2; ++i) {
            q->Append();
            dm->OrdensQueryDESCRICAO->SetAsString(QStringLiteral("TV"));
            q->ApplyChanges();
        }
        QCOMPARE(dm->OrdensQueryIDORDEM->AsInteger(), 2);
        q->Delete();
        q->ApplyChanges();
        q->Append();
        QCOMPARE(dm->OrdensQueryIDORDEM->AsInteger(), 3);
        q->ApplyChanges();
        // Nor after the program is started again.
        dm.reset();
        dm = db.MakeDM();
        dm->OrdensQuery->Last();
        dm->OrdensQuery->Delete();
        dm->OrdensQuery->ApplyChanges();
        dm->OrdensQuery->Append();
        QCOMPARE(dm->OrdensQueryIDORDEM->AsInteger(), 4);
    }

    // Two computers typing new clients and orders at the same time: each
    // gets keys of its own and every save succeeds.
    void twoAttachmentsRegisterAlternately()
    {
        TFbTestDb db;
        QVERIFY2(db.IsValid(), qPrintable(db.Error()));
        auto a = db.MakeDM();
        auto b = db.MakeDM();
        const QString failure = TDmKeyCases::RegisterAlternately(*a, *b);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    // A database made before keys came from generators gets them when it is
    // opened, each above the highest key of its table; opening it again
    // changes nothing.
    void olderDatabaseGetsGeneratorsAtOpen()
    {
        TFbTestDb db;
        QVERIFY2(db.IsValid(), qPrintable(db.Error()));
        {
            TFbDatabase fb;
            TFbTransaction tr;
            fb.SetDatabaseName(db.Path());
            fb.SetParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=%1").arg(TDmSchema::Password)});
            fb.SetDefaultTransaction(&tr);
            fb.Open();
            TFbQuery q;
            q.SetDatabase(&fb);
            int key = 7;
            for (const TDmTable &t : TDmSchema::Tables()) {
                if (!*t.generator)
                    continue;
                q.SetSQL(QStringLiteral("insert into %1 (%2) values (%3)").arg(QLatin1String(t.table), QLatin1String(t.key)).arg(key));
                q.Execute();
                q.SetSQL(QStringLiteral("drop generator %1").arg(QLatin1String(t.generator)));
                q.Execute();
                key += 10;
            }
            tr.Commit();
            q.SetSQL(QStringLiteral("select count(*) as n from rdb$generators where rdb$generator_name starting with 'GEN_ID'"));
            q.Open();
            QCOMPARE(q.FieldByName("n")->AsInteger(), 0);
            q.Close();
            fb.Close();
        }
        for (int run = 0; run < 2; ++run) {
            auto dm = db.MakeDM();
            int key = 7;
            for (const TDmTable &t : TDmSchema::Tables()) {
                if (!*t.generator)
                    continue;
                TFbQuery *q = dm->DatasetOf(QLatin1String(t.table));
                q->Append();
                QCOMPARE(q->FieldByName(QLatin1String(t.key))->AsInteger(), key + 1 + run);
                q->Cancel();
                key += 10;
            }
        }
    }

    void configRowWithoutKeyCannotBeSaved()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto dm = db.MakeDM();
        dm->ConfigQuery->Append();
        dm->ConfigQueryCAB1->SetAsString("x");
        try {
            dm->ConfigQuery->ApplyChanges();
            QFAIL("saved a row without key");
        } catch (const EFbError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Field 'IDCONFIG' must have a value"));
        }
        QCOMPARE(dm->ConfigQuery->State(), TFbQuery::dsInsert);
    }

    // Two data modules on one database (two computers on a server): each
    // sees what the other saved at its next Open.
    void secondAttachmentSeesSaves()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto a = db.MakeDM();
        auto b = db.MakeDM();
        a->ClientesQuery->Append();
        a->ClientesQueryNOME->SetAsString("Ana");
        a->ClientesQuery->ApplyChanges();
        b->ClientesQuery->Close();
        b->ClientesQuery->Open();
        QCOMPARE(b->ClientesQuery->RecordCount(), 1);
        QCOMPARE(b->ClientesQueryNOME->AsString(), QStringLiteral("Ana"));
    }

    void savedRowsSurviveReopen()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        {
            auto dm = db.MakeDM();
            dm->ClientesQuery->Append();
            dm->ClientesQueryNOME->SetAsString(QStringLiteral("José Ção"));
            dm->ClientesQueryTIPOANOT->SetAsInteger(4);
            dm->ClientesQuery->ApplyChanges();
            dm->ConfigQuery->Edit();
            dm->ConfigQueryCAB1->SetAsString(QStringLiteral("Oficina Ñandú €"));
            dm->ConfigQuery->ApplyChanges();
        }
        auto dm = db.MakeDM();
        QCOMPARE(dm->ClientesQuery->RecordCount(), 1);
        QCOMPARE(dm->ClientesQueryNOME->AsString(), QStringLiteral("José Ção"));
        QCOMPARE(dm->ClientesQueryTIPOANOT->AsInteger(), 4);
        QCOMPARE(dm->ConfigQueryCAB1->AsString(), QStringLiteral("Oficina Ñandú €"));
    }
    // An older database gets the index on the orders' client and the one on
    // the movements' date at open; one that has it (under any name) is left
    // alone; a failure is said and the data module opens all the same.
    // A screen's entry being typed (Append or Edit, not yet saved) was moved,
    // reopened or dropped by whatever else used the shared dataset. Each row:
    // the dataset holding the entry and an action taken elsewhere, on it or on
    // the dataset it depends on. The action is refused with the holder's
    // message, the entry stays as typed and the database is unchanged.
    void pendingEntryRedirectedByActionElsewhere_data()
    {
        QTest::addColumn<QString>("holder");   // "order" or "client"
        QTest::addColumn<QString>("action");
        const QStringList actions = {"close", "open-other-sql", "next", "first", "last", "prior",
                                     "recno", "locate", "delete", "append", "edit", "cancelupdates",
                                     "closealldatasets"};
        for (const QString &a : actions)
            QTest::newRow(qPrintable("order pending, orders " + a)) << "order" << ("orders:" + a);
        // An order is typed for a client: the client dataset may not move
        // (a client list clicked elsewhere showed another client above the
        // order), start a new client, be reloaded, filtered or lose the row
        // under it.
        for (const char *a : {"close", "open-other-sql", "delete", "cancelupdates", "next", "first", "last",
                              "prior", "recno", "locate", "append"})
            QTest::newRow(qPrintable(QStringLiteral("order pending, clients ") + a)) << "order" << ("clients:" + QString(a));
        for (const char *a : {"close", "next", "delete", "append", "edit", "closealldatasets"})
            QTest::newRow(qPrintable(QStringLiteral("client pending, clients ") + a)) << "client" << ("clients:" + QString(a));
    }

    void pendingEntryRedirectedByActionElsewhere()
    {
        QFETCH(QString, holder);
        QFETCH(QString, action);
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto dm = db.MakeDM();
        TFbQuery *clients = dm->ClientesQuery;
        TFbQuery *orders = dm->OrdensQuery;
        for (const char *name : {"Ana", "Bia", "Caio"}) {
            clients->Append();
            dm->ClientesQueryNOME->SetAsString(QString::fromLatin1(name));
            clients->ApplyChanges();
        }
        clients->SetRecNo(1);
        const qint32 client = dm->ClientesQueryIDCLIENTE->AsInteger();
        for (const char *what : {"TV", "Rádio"}) {
            orders->Append();
            dm->OrdensQueryDESCRICAO->SetAsString(QString::fromUtf8(what));
            dm->OrdensQueryIDCLIENTE->SetAsInteger(client);
            orders->ApplyChanges();
        }
        orders->SetRecNo(0);

        const QString message = QStringLiteral("Termine ou cancele a OS em edição na tela Ordem de Serviço.");
        TFbQuery *held = holder == QLatin1String("order") ? orders : clients;
        TFbField *typed = held == orders ? dm->OrdensQueryDESCRICAO : dm->ClientesQueryNOME;
        held->Edit();
        held->HoldPending(message);
        typed->SetAsString(QStringLiteral("meio digitado"));
        QCOMPARE(held->HeldBy(), message);
        const int heldRow = held->RecNo();
        const int clientRow = clients->RecNo();
        const QString clientsSql = clients->SQLText();
        auto snapshot = [&] {
            dm->AuxQuery5->Close();
            dm->AuxQuery5->SetSQL("select (select count(*) from ordemserv) || '|' || (select list(descricao) from ordemserv)"
                                  " || '|' || (select list(nome) from clientes) from rdb$database");
            dm->AuxQuery5->Open();
            return dm->AuxQuery5->Field(0)->AsString();
        };
        const QString before = snapshot();

        const QString target = action.section(':', 0, 0);
        const QString op = action.section(':', 1);
        TFbQuery *q = target == QLatin1String("orders") ? orders : clients;
        try {
            if (op == "close")
                q->Close();
            else if (op == "open-other-sql")
                q->SetSQL(q->SQLText() + QStringLiteral(" where 1 = 0"));
            else if (op == "next")
                q->Next();
            else if (op == "first")
                q->First();
            else if (op == "last")
                q->Last();
            else if (op == "prior")
                q->Prior();
            else if (op == "recno")
                q->SetRecNo(q->RecNo() == 0 ? 1 : 0);
            else if (op == "locate")
                q->Locate(q->Field(0)->FieldName(), 1);
            else if (op == "delete")
                q->Delete();
            else if (op == "append")
                q->Append();
            else if (op == "edit")
                q->Edit();
            else if (op == "cancelupdates")
                q->CancelUpdates();
            else if (op == "closealldatasets")
                dm->Database->CloseAllDatasets();
            else
                QFAIL(qPrintable("unknown action " + op));
            QFAIL("the action was not refused");
        } catch (const EFbError &e) {
            QCOMPARE(e.Message(), message);
        }
        QVERIFY(held->State() == TFbQuery::dsEdit);
        QCOMPARE(held->RecNo(), heldRow);
        QCOMPARE(clients->RecNo(), clientRow);
        QCOMPARE(clients->SQLText(), clientsSql);
        QCOMPARE(typed->AsString(), QStringLiteral("meio digitado"));
        QVERIFY(orders->Active() && clients->Active());
        QCOMPARE(snapshot(), before);

        // Once the holder saves, the same datasets move freely again.
        held->ApplyChanges();
        QVERIFY(held->HeldBy().isEmpty());
        clients->First();
        orders->Close();
        orders->Open();
    }

    // Closing with no one left to answer: the entry is given up (nothing
    // half-typed reaches the database) and what was dropped is logged.
    void pendingEntryDroppedAndLoggedWhenNoOneAnswers()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto dm = db.MakeDM();
        TFbQuery *clients = dm->ClientesQuery;
        clients->Append();
        clients->HoldPending(QStringLiteral("Termine ou cancele o cadastro em edição na tela Cadastrar Cliente."));
        dm->ClientesQueryNOME->SetAsString(QStringLiteral("Zé meio digitado"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("descartada.*clientes.*Zé meio digitado", QRegularExpression::CaseInsensitiveOption));
        const QStringList dropped = dm->Database->DropPendingEntries();
        QCOMPARE(dropped.size(), 1);
        QVERIFY(clients->State() == TFbQuery::dsBrowse);
        QVERIFY(clients->IsEmpty());
        dm->CloseAll();
        auto again = db.MakeDM();
        QVERIFY(again->ClientesQuery->IsEmpty());
        QVERIFY(again->Database->DropPendingEntries().isEmpty());
    }

    void indexesAtOpen_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QStringList>("before");     // statements on a fresh file
        QTest::addColumn<QStringList>("indexes");    // the table's indexes on the column afterwards
        QTest::addColumn<bool>("warned");
        const QString drop = QStringLiteral("drop index ORDEMSERV_IDCLIENTE");
        QTest::newRow("made with it") << "ORDEMSERV" << "IDCLIENTE" << QStringList()
                                      << QStringList{"ORDEMSERV_IDCLIENTE"} << false;
        QTest::newRow("older database") << "ORDEMSERV" << "IDCLIENTE" << QStringList{drop}
                                        << QStringList{"ORDEMSERV_IDCLIENTE"} << false;
        QTest::newRow("own index on the column")
            << "ORDEMSERV" << "IDCLIENTE"
            << QStringList{drop, QStringLiteral("create index ORD_CLI on ordemserv (idcliente, idordem)")}
            << QStringList{"ORD_CLI"} << false;
        QTest::newRow("name taken by another table")
            << "ORDEMSERV" << "IDCLIENTE"
            << QStringList{drop, QStringLiteral("create index ORDEMSERV_IDCLIENTE on clientes (idcliente)")}
            << QStringList() << true;
        const QString dropDate = QStringLiteral("drop index PRODENT_DATACAD");
        QTest::newRow("movement date, made with it") << "PRODENT" << "DATACAD" << QStringList()
                                                     << QStringList{"PRODENT_DATACAD"} << false;
        QTest::newRow("movement date, older database") << "PRODENT" << "DATACAD" << QStringList{dropDate}
                                                       << QStringList{"PRODENT_DATACAD"} << false;
        QTest::newRow("movement date, name taken by another table")
            << "PRODENT" << "DATACAD"
            << QStringList{dropDate, QStringLiteral("create index PRODENT_DATACAD on prodforne (datacad)")}
            << QStringList() << true;
        // The lists read their first rows through these: a database made
        // before them gets them at open.
        const struct
        {
            const char *table, *column, *index;
        } lists[] = {{"CLIENTES", "NOME", "CLIENTES_NOME"},
                     {"FORNECEDORES", "NOMEFANTASIA", "FORNECEDORES_NOMEFANTASIA"},
                     {"PRODFORNE", "DESCRICAO", "PRODFORNE_DESCRICAO"}};
        for (const auto &l : lists) {
            QTest::addRow("%s, made with it", l.index) << l.table << l.column << QStringList()
                                                       << QStringList{l.index} << false;
            QTest::addRow("%s, older database", l.index)
                << l.table << l.column << QStringList{QStringLiteral("drop index ") + QLatin1String(l.index)}
                << QStringList{l.index} << false;
        }
    }
    void indexesAtOpen()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QStringList, before);
        QFETCH(QStringList, indexes);
        QFETCH(bool, warned);
        TFbTestDb db;
        QVERIFY2(db.IsValid(), qPrintable(db.Error()));
        {
            auto dm = db.MakeDM(false);
            dm->Database->Open();
            for (const QString &sql : before) {
                dm->AuxQuery->SetSQL(sql);
                dm->AuxQuery->Execute();
                dm->Transaction->Commit();
            }
        }
        auto IndexesNow = [&](TDM *dm) {
            TFbQuery *q = dm->AuxQuery2;
            q->Close();
            q->SetSQL(QStringLiteral(
                "select trim(i.rdb$index_name) as name from rdb$indices i join rdb$index_segments s"
                " on s.rdb$index_name = i.rdb$index_name where i.rdb$relation_name = '%1'"
                " and s.rdb$field_name = '%2' and s.rdb$field_position = 0").arg(table, column));
            q->Open();
            QStringList names;
            for (q->First(); !q->Eof(); q->Next())
                names << q->FieldByName(QStringLiteral("name"))->AsString().trimmed();
            q->Close();
            return names;
        };
        for (int open = 0; open < 2; ++open) {   // and harmless the second time
            auto dm = db.MakeDM();
            QCOMPARE(IndexesNow(dm.get()), indexes);
            QCOMPARE(!dm->OpenWarnings().isEmpty(), warned);
            if (warned)
                QVERIFY(dm->OpenWarnings().first().contains(QStringLiteral("índice ") + table + QLatin1Char('_') + column));
            for (TFbQuery *q : {dm->ClientesQuery, dm->OrdensQuery, dm->ProdEntQuery})
                QVERIFY(q->Active());
            // Saving still works after the step, failed or not.
            dm->OrdensQuery->Append();
            dm->OrdensQueryIDCLIENTE->SetAsInteger(7);
            dm->OrdensQuery->ApplyChanges();
        }
        auto dm = db.MakeDM();
        QCOMPARE(dm->OrdensQuery->RecordCount(), 2);
    }

    // --database naming a file of another program: refused before the key
    // generators (or anything else) are created in it, whether it has none
    // of the six tables or only some.
    void foreignDatabaseRefusedBeforeAnythingIsCreated_data()
    {
        QTest::addColumn<int>("ourTables");   // how many of the six it has
        QTest::addColumn<QString>("missing");
        QTest::newRow("tables of another program") << 0 << "CLIENTES, ORDEMSERV, CONFIG, FORNECEDORES, PRODFORNE, PRODENT";
        QTest::newRow("five of the six") << 5 << "PRODENT";
    }
    void foreignDatabaseRefusedBeforeAnythingIsCreated()
    {
        QFETCH(int, ourTables);
        QFETCH(QString, missing);
        TFbTestDb probe;   // the engine, or the skip without it
        OS_REQUIRE_TEST_DB(probe);
        const QString path = probe.Dir() + QStringLiteral("/OUTRO.FDB");
        TFbDatabase::CreateDatabase(path, QLatin1String(TDmSchema::UserName), QLatin1String(TDmSchema::Password));
        auto generators = [&] {
            qint64 n = -1;
            TFbDatabase db;
            db.SetDatabaseName(path);
            db.SetParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=quillmoss")});
            db.Open();
            TFbTransaction::RunAlone(&db, [&](TFbQuery &q) {
                q.SetSQL(QStringLiteral("select count(*) from rdb$generators where coalesce(rdb$system_flag, 0) = 0"));
                q.Open();
                n = q.Field(0)->AsLargeInt();
            });
            db.Close();
            return n;
        };
        {
            TFbDatabase db;
            db.SetDatabaseName(path);
            db.SetParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=quillmoss")});
            db.Open();
            TFbTransaction::RunAlone(&db, [&](TFbQuery &q) {
                q.SetSQL(QStringLiteral("create table PECAS (ID integer, NOME varchar(20))"));
                q.Execute();
                const QStringList ours = TDmSchema::CreateTableStatements();
                for (int i = 0; i < ourTables; ++i) {
                    q.SetSQL(ours.at(i));
                    q.Execute();
                }
            });
            db.Close();
        }
        QCOMPARE(generators(), 0);
        TDM dm;
        dm.Database->SetDatabaseName(path);
        try {
            dm.OpenAll();
            QFAIL("a database without the six tables was opened");
        } catch (const EFbError &e) {
            QVERIFY2(e.Message().contains(QStringLiteral("não é um banco de dados deste sistema")), qPrintable(e.Message()));
            QVERIFY2(e.Message().contains(QStringLiteral("faltam as tabelas ") + missing), qPrintable(e.Message()));
        }
        dm.CloseAll();
        QCOMPARE(generators(), 0);
    }

    // A database refused as another program's stayed attached: the client
    // list then read it ("Table unknown CLIENTES"). It is closed at once and
    // stays closed until the database is named again.
    void refusedForeignDatabaseIsClosedAtOnce()
    {
        TFbTestDb probe;
        OS_REQUIRE_TEST_DB(probe);
        const QString path = probe.Dir() + QStringLiteral("/OUTRO.FDB");
        TFbDatabase::CreateDatabase(path, QLatin1String(TDmSchema::UserName), QLatin1String(TDmSchema::Password));
        TDM dm;
        dm.Database->SetDatabaseName(path);
        QVERIFY_THROWS_EXCEPTION(EFbError, dm.OpenAll());
        QVERIFY(!dm.Database->Connected());
        try {
            dm.ClientesQuery->Open();
            QFAIL("a screen read the refused database");
        } catch (const EFbError &e) {
            QVERIFY2(e.Message().contains(QStringLiteral("não é um banco de dados deste sistema")), qPrintable(e.Message()));
        }
        QVERIFY(!dm.Database->Connected());
        // Named again (the right file put in its place), it opens.
        QVERIFY(QFile::remove(path));
        TDmSchema::CreateDatabaseFile(path);
        dm.Database->SetDatabaseName(path);
        dm.OpenAll();
        QVERIFY(dm.Database->Connected());
        dm.CloseAll();
    }
};

QTEST_MAIN(TstTDM)
#include "tst_tdm.moc"
