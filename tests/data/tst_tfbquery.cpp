// The dataset layer on a real database file: change cache, states, the
// order in which changes reach the database, errors and signals.
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tfbclient.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbrowwriter.h"
#include "data/tfbtransaction.h"
#include "data/tfbupdatesql.h"
#include "tests/support/tfbtestdb.h"

#include <QLocale>
#include <QSignalSpy>
#include <QtTest>

#define EXPECT_ERROR(stmt, message)                                                      \
    do {                                                                                 \
        try {                                                                            \
            stmt;                                                                        \
            QFAIL("no error from: " #stmt);                                              \
        } catch (const EFbError &e_) {                                                   \
            QCOMPARE(e_.Message(), QString(message));                                    \
        }                                                                                \
    } while (0)

class TstTFbQuery : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFbTestDb> m_db;
    std::unique_ptr<TDM> m_dm;

    // Rows in the database as another statement of the run sees them.
    int Count(const QString &where = QString())
    {
        TFbQuery q;
        q.SetDatabase(m_dm->Database);
        q.SetSQL("select count(*) as n from clientes" + (where.isEmpty() ? QString() : " where " + where));
        q.Open();
        return q.FieldByName("n")->AsInteger();
    }
    void Exec(const QString &sql)
    {
        m_dm->AuxQuery->Close();
        m_dm->AuxQuery->SetSQL(sql);
        m_dm->AuxQuery->Execute();
    }
    void AddClient(const QString &nome)
    {
        m_dm->ClientesQuery->Append();
        m_dm->ClientesQueryNOME->SetAsString(nome);
        m_dm->ClientesQuery->ApplyChanges();
    }

    // A second attachment to the same file, as another computer has it,
    // reading the client names.
    struct OtherAttachment
    {
        TFbDatabase db;
        TFbTransaction tr;
        TFbQuery names;
        OtherAttachment(const QString &path, const QStringList &params)
        {
            db.SetDatabaseName(path);
            db.SetParams(params);
            db.SetDefaultTransaction(&tr);
            names.SetDatabase(&db);
            names.SetSQL("select nome from clientes");
        }
    };

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init()
    {
        m_db = std::make_unique<TFbTestDb>();
        OS_REQUIRE_TEST_DB(*m_db);
        m_dm = m_db->MakeDM();
        m_dm->ClientesQuery->Close();
        m_dm->ClientesQuery->SetSQL("select * from clientes order by idcliente");
        m_dm->ClientesQuery->Open();
    }
    void cleanup()
    {
        m_dm.reset();
        m_db.reset();
    }

    void openOnOpenDatasetKeepsRowAndCache()
    {
        AddClient("A");
        AddClient("B");
        TFbQuery *q = m_dm->ClientesQuery;
        q->Last();
        q->Edit();
        m_dm->ClientesQueryNOME->SetAsString("B2");
        q->Post();
        q->Open();
        QCOMPARE(q->RecNo(), 1);
        QCOMPARE(q->UpdateStatus(), TFbQuery::usModified);
        QCOMPARE(m_dm->ClientesQueryNOME->AsString(), QStringLiteral("B2"));
    }

    void editOnEmptyDatasetStartsNewRow()
    {
        TFbQuery *q = m_dm->ClientesQuery;
        QVERIFY(q->IsEmpty());
        q->Edit();
        QCOMPARE(q->State(), TFbQuery::dsInsert);
        QCOMPARE(m_dm->ClientesQueryIDCLIENTE->AsInteger(), 1);   // OnNewRecord ran
    }

    // A failing new-record hook drops the new row and returns to the row
    // that was current.
    void failingOnNewRecordDropsTheRow()
    {
        AddClient("A");
        AddClient("B");
        TFbQuery *q = m_dm->ClientesQuery;
        q->First();
        q->OnNewRecord = [](TFbQuery *) { throw EFbError("sem chave"); };
        EXPECT_ERROR(q->Append(), "sem chave");
        QCOMPARE(q->State(), TFbQuery::dsBrowse);
        QCOMPARE(q->RecordCount(), 2);
        QCOMPARE(q->RecNo(), 0);
        QVERIFY(!q->UpdatesPending());
    }

    void appendCancelChangesNothing()
    {
        AddClient("A");
        TFbQuery *q = m_dm->ClientesQuery;
        QSignalSpy removed(q, &TFbQuery::rowRemoved);
        q->Append();
        QCOMPARE(q->RecordCount(), 2);
        q->Cancel();
        QCOMPARE(q->RecordCount(), 1);
        QCOMPARE(q->State(), TFbQuery::dsBrowse);
        QCOMPARE(q->RecNo(), 0);
        QCOMPARE(removed.count(), 1);
        QVERIFY(!q->UpdatesPending());
        q->ApplyChanges();
        QCOMPARE(Count(), 1);
    }

    // The row being typed has one owner whichever way it ends: a refused
    // write keeps it with what was typed, then cancelling, posting again or
    // closing the dataset lets it go once.
    void newRowHasOneOwner_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("cancel") << "cancel";
        QTest::newRow("post again") << "post";
        QTest::newRow("close") << "close";
    }
    void newRowHasOneOwner()
    {
        QFETCH(QString, end);
        AddClient("A");
        TFbQuery *q = m_dm->ClientesQuery;
        q->Close();
        q->SetCachedUpdates(false);   // Post writes at once
        q->Open();
        q->Append();
        m_dm->ClientesQueryIDCLIENTE->SetAsInteger(m_dm->ClientesQueryIDCLIENTE->AsInteger() - 1);   // taken
        m_dm->ClientesQueryNOME->SetAsString("B");
        try {
            q->Post();
            QFAIL("a taken key was written");
        } catch (const EFbError &) {
        }
        QCOMPARE(q->State(), TFbQuery::dsInsert);
        QCOMPARE(q->RecordCount(), 2);
        QCOMPARE(m_dm->ClientesQueryNOME->AsString(), QStringLiteral("B"));
        if (end == "cancel") {
            q->Cancel();
            QCOMPARE(q->RecordCount(), 1);
            QCOMPARE(m_dm->ClientesQueryNOME->AsString(), QStringLiteral("A"));
        } else if (end == "post") {
            m_dm->ClientesQueryIDCLIENTE->SetAsInteger(50);
            q->Post();
            QCOMPARE(q->State(), TFbQuery::dsBrowse);
            QCOMPARE(Count("nome = 'B'"), 1);
            q->Append();   // a second new row after the first was handed over
            q->Cancel();
            QCOMPARE(q->RecordCount(), 2);
        } else {
            q->Close();
            q->Open();
            QCOMPARE(q->RecordCount(), 1);
        }
        QCOMPARE(Count(), q->RecordCount());
    }

    // An insert statement that cannot run proves that nothing is sent.
    void insertedThenDeletedRowIsNeverWritten()
    {
        m_dm->ClientesUpdate->SetInsertSQL({"insert into NO_SUCH_TABLE (X) values (:IDCLIENTE)"});
        TFbQuery *q = m_dm->ClientesQuery;
        q->Append();
        m_dm->ClientesQueryNOME->SetAsString("fantasma");
        q->Post();
        QCOMPARE(q->UpdateStatus(), TFbQuery::usInserted);
        q->Delete();
        QVERIFY(q->IsEmpty());
        QVERIFY(!q->UpdatesPending());
        q->ApplyChanges();
        QCOMPARE(Count(), 0);
    }

    void deleteOfRowGoneElsewhereFailsAndStaysMarked()
    {
        AddClient("A");
        AddClient("B");
        Exec("delete from clientes where idcliente = 1");
        TFbQuery *q = m_dm->ClientesQuery;
        q->First();
        q->Delete();
        EXPECT_ERROR(q->ApplyChanges(), TFbRowWriter::DeletedBeforeMessage());
        QVERIFY(q->UpdatesPending());
        QCOMPARE(q->RecordCount(), 1);
        QCOMPARE(m_dm->ClientesQueryNOME->AsString(), QStringLiteral("B"));
        EXPECT_ERROR(q->ApplyChanges(), TFbRowWriter::DeletedBeforeMessage());   // tried again
    }

    void applyWithNothingPendingDoesNothing()
    {
        AddClient("A");
        m_dm->ClientesUpdate->SetModifySQL({"update NO_SUCH_TABLE set X = 1"});
        m_dm->ClientesQuery->ApplyChanges();
        QCOMPARE(m_dm->ClientesQuery->State(), TFbQuery::dsBrowse);
    }

    // Every column is written, found by the key the row had when read.
    void modifiedRowWrittenWholeByOldKey()
    {
        // The statement set alone: the clients' writer for several
        // computers writes only the changed columns (tst_shareddatabase).
        m_dm->ClientesUpdate->SetRowWriter(nullptr);
        AddClient("A");
        TFbQuery *q = m_dm->ClientesQuery;
        q->Edit();
        m_dm->ClientesQueryCIDADE->SetAsString("Recife");
        q->ApplyChanges();
        // Another statement changes a column the dataset does not know of.
        Exec("update clientes set cidade = 'Natal', uf = 'RN' where idcliente = 1");
        q->Edit();
        m_dm->ClientesQueryIDCLIENTE->SetAsInteger(7);
        m_dm->ClientesQueryNOME->SetAsString("A2");
        QCOMPARE(m_dm->ClientesQueryIDCLIENTE->OldValue().toInt(), 1);
        q->ApplyChanges();
        QCOMPARE(Count("idcliente = 1"), 0);
        QCOMPARE(Count("idcliente = 7 and nome = 'A2' and cidade = 'Recife' and uf is null"), 1);
        // Applied: the new key is now the old key.
        q->Edit();
        m_dm->ClientesQueryNOME->SetAsString("A3");
        q->ApplyChanges();
        QCOMPARE(Count("idcliente = 7 and nome = 'A3'"), 1);
    }

    void replacingSqlDropsCachedChanges()
    {
        TFbQuery *q = m_dm->ClientesQuery;
        q->Append();
        m_dm->ClientesQueryNOME->SetAsString("X");
        q->Post();
        QVERIFY(q->UpdatesPending());
        q->SetSQL("select * from clientes");
        QVERIFY(!q->Active());
        q->Open();
        QVERIFY(q->IsEmpty());
        QVERIFY(!q->UpdatesPending());
        QCOMPARE(Count(), 0);
    }

    // The third row conflicts with a row written behind the dataset's back:
    // the first two stay written, the third and fourth stay cached.
    void failureInMiddleOfApplyKeepsTheRest()
    {
        TFbQuery *q = m_dm->ClientesQuery;
        for (int i = 1; i <= 4; ++i) {
            q->Append();
            // Cached rows do not count for the new-record rule: keys by hand.
            m_dm->ClientesQueryIDCLIENTE->SetAsInteger(i);
            m_dm->ClientesQueryNOME->SetAsString(QString("N%1").arg(i));
            q->Post();
        }
        Exec("insert into clientes (idcliente, nome) values (3, 'intruso')");
        q->SetRecNo(1);
        try {
            q->ApplyChanges();
            QFAIL("key violation not reported");
        } catch (const EFbError &e) {
            QVERIFY2(e.Message().contains("PRIMARY or UNIQUE KEY"), qPrintable(e.Message()));
            QVERIFY(!e.Message().endsWith('.'));
        }
        QCOMPARE(q->RecNo(), 1);   // the remembered row
        QCOMPARE(q->UpdateStatusAt(0), TFbQuery::usUnmodified);
        QCOMPARE(q->UpdateStatusAt(1), TFbQuery::usUnmodified);
        QCOMPARE(q->UpdateStatusAt(2), TFbQuery::usInserted);
        QCOMPARE(q->UpdateStatusAt(3), TFbQuery::usInserted);
        QCOMPARE(Count(), 3);
        Exec("delete from clientes where nome = 'intruso'");
        q->ApplyChanges();
        QCOMPARE(Count(), 4);
        QVERIFY(!q->UpdatesPending());
    }

    void nullReads()
    {
        m_dm->ClientesQuery->Append();
        QCOMPARE(m_dm->ClientesQueryTIPOANOT->AsInteger(), 0);
        QCOMPARE(m_dm->ClientesQueryNOME->AsString(), QString());
        QVERIFY(m_dm->ClientesQueryNOME->IsNull());
        QVERIFY(!m_dm->OrdensQueryVALOR->Bound() || m_dm->OrdensQueryVALOR->AsFloat() == 0);
        m_dm->ClientesQueryDATACADASTRO->Clear();
        QVERIFY(!m_dm->ClientesQueryDATACADASTRO->AsDateTime().isValid());
        QCOMPARE(m_dm->ClientesQueryDATACADASTRO->AsString(), QString());
        m_dm->ClientesQuery->Close();
        QCOMPARE(m_dm->ClientesQueryNOME->AsString(), QString());   // closed: no row, no error
        QCOMPARE(m_dm->ClientesQueryIDCLIENTE->AsInteger(), 0);
    }

    void textIsCutToColumnSize_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("longer") << "ABCDEFGHIJKLMNOPQ" << "ABCDEFGHIJKLM";
        QTest::newRow("accents count one") << "Ação São João 12" << "Ação São João";
        QTest::newRow("outside code page") << "telefone \u260e" << "telefone ?";
        QTest::newRow("exact") << "1234567890123" << "1234567890123";
    }
    void textIsCutToColumnSize()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        m_dm->ClientesQuery->Append();
        m_dm->ClientesQueryFONERES->SetAsString(typed);
        QCOMPARE(m_dm->ClientesQueryFONERES->AsString(), stored);
        m_dm->ClientesQuery->ApplyChanges();
        m_dm->ClientesQuery->Close();
        m_dm->ClientesQuery->Open();
        QCOMPARE(m_dm->ClientesQueryFONERES->AsString(), stored);
    }

    void conversionsOfTypedText()
    {
        TFbQuery *q = m_dm->OrdensQuery;
        q->Append();
        EXPECT_ERROR(m_dm->OrdensQueryDATACAD->SetAsString("31/02/2024"), "'31/02/2024' não é uma data válida");
        EXPECT_ERROR(m_dm->OrdensQueryIDCLIENTE->SetAsString("12a"), "'12a' não é um número inteiro válido");
        EXPECT_ERROR(m_dm->OrdensQueryVALOR->SetAsString("1.234,50"), "'1.234,50' não é um número válido");
        m_dm->OrdensQueryVALOR->SetAsString("134,50");
        m_dm->OrdensQueryDATASAIDA->SetAsString("05/03/2024 14:30");
        m_dm->OrdensQueryDATACAD->SetAsString("");
        q->ApplyChanges();
        q->Close();
        q->Open();
        QCOMPARE(m_dm->OrdensQueryVALOR->AsString(), QStringLiteral("134,5"));
        QCOMPARE(m_dm->OrdensQueryVALOR->DisplayText(), QStringLiteral("R$\u00a0134,50"));
        QCOMPARE(m_dm->OrdensQueryDATASAIDA->AsString(), QStringLiteral("05/03/2024 14:30:00"));
        m_dm->OrdensQueryDATASAIDA->SetDisplayFormat("dd/mm/yyyy");
        QCOMPARE(m_dm->OrdensQueryDATASAIDA->DisplayText(), QStringLiteral("05/03/2024"));
        QCOMPARE(m_dm->OrdensQueryDATASAIDA->AsString(), QStringLiteral("05/03/2024 14:30:00"));
        QVERIFY(m_dm->OrdensQueryDATACAD->IsNull());
    }

    void layerErrorMessages()
    {
        EXPECT_ERROR(m_dm->ClientesQuery->FieldByName("NADA"), "Field 'NADA' not found");
        m_dm->AuxQuery->Close();
        m_dm->AuxQuery->SetSQL(QStringList());
        EXPECT_ERROR(m_dm->AuxQuery->Execute(), "Empty SQL Statement");
        m_dm->AuxQuery->SetSQL("select * from config");
        m_dm->AuxQuery->Open();
        EXPECT_ERROR(m_dm->AuxQuery->ApplyChanges(), "CachedUpdates not enabled");
        EXPECT_ERROR(m_dm->ClientesQuery->Delete(), "Cannot perform this operation on an empty dataset");
        EXPECT_ERROR(m_dm->ClientesQueryNOME->SetAsString("x"), "Dataset not in edit or insert mode");
        // A declared field the result lacks fails the open.
        m_dm->ClientesQuery->SetSQL("select idcliente from clientes");
        EXPECT_ERROR(m_dm->ClientesQuery->Open(), "Field 'NOME' not found");
        QVERIFY(!m_dm->ClientesQuery->Active());
        // Extra columns are ignored.
        m_dm->ClientesQuery->SetSQL("select c.*, 1 as extra from clientes c");
        m_dm->ClientesQuery->Open();
        QCOMPARE(m_dm->ClientesQuery->FieldCount(), 20);
    }

    void serverErrorsHaveNoPositionsAndNoFinalStop()
    {
        m_dm->AuxQuery->Close();
        // A search text with a double quote, as a user may type it.
        m_dm->AuxQuery->SetSQL("select * from clientes where upper(nome) like \"%JO\"AO%\"");
        try {
            m_dm->AuxQuery->Open();
            QFAIL("syntax error not reported");
        } catch (const EFbError &e) {
            QVERIFY(!e.Message().contains("line"));
            QVERIFY(!e.Message().contains("column"));
            QVERIFY(!e.Message().endsWith('.'));
            QVERIFY(e.Message().contains('\n'));
            QVERIFY(e.SqlCode() < 0);
        }
        QVERIFY(!m_dm->AuxQuery->Active());
    }

    void doubleQuotedTextIsALiteralInDialect1()
    {
        AddClient("João da Silva");
        AddClient("Maria");
        TFbQuery *q = m_dm->ClientesQuery;
        q->Close();
        q->SetSQL("select * from clientes where upper(nome) like \"%SILVA%\" order by nome");
        q->Open();
        QCOMPARE(q->RecordCount(), 1);
        QCOMPARE(m_dm->ClientesQueryNOME->AsString(), QStringLiteral("João da Silva"));
    }

    void missingLibraryMessage()
    {
        try {
            TFbClient::Load("libfbclient-not-installed.so.2");
            QFAIL("loaded a library that does not exist");
        } catch (const EFbError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Firebird client library libfbclient.so.2 not found in the path. Please install Firebird to use this functionality"));
        }
    }

    void missingFileMessage()
    {
        m_dm.reset();
        TDM dm;
        const QString path = m_db->Dir() + "/nada/DADOS.GDB";
        dm.Database->SetDatabaseName(path);
        try {
            dm.OpenAll();
            QFAIL("opened a missing file");
        } catch (const EFbError &e) {
            QVERIFY2(e.Message().contains(path), qPrintable(e.Message()));
            QVERIFY(!e.Message().endsWith('.'));
        }
        QVERIFY(!dm.ClientesQuery->Active());
        QVERIFY(!dm.Database->Connected());
    }

    // Applied rows are committed at once (commit retaining): a second
    // attachment sees them while the first keeps its transaction and cursors.
    void applyCommitsRetaining()
    {
        AddClient("Durável");
        QVERIFY(m_dm->Transaction->InTransaction());
        OtherAttachment other(m_db->Path(), m_dm->Database->Params());
        TFbQuery &q = other.names;
        q.Open();
        QCOMPARE(q.RecordCount(), 1);
        QCOMPARE(q.FieldByName("NOME")->AsString(), QStringLiteral("Durável"));
    }

    void layerWithoutCommitAfterWriteKeepsChangesUncommitted()
    {
        m_dm->Transaction->SetCommitAfterWrite(false);
        AddClient("Pendente");
        OtherAttachment other(m_db->Path(), m_dm->Database->Params());
        TFbQuery &q = other.names;
        q.Open();
        QCOMPARE(q.RecordCount(), 0);
        q.Close();
        other.tr.Commit();
        m_dm->CloseAll();   // closing the connection commits
        q.Open();
        QCOMPARE(q.RecordCount(), 1);
    }

    void unitOfWorkCommitsBothWrites()
    {
        AddClient("Cliente");
        m_dm->RunUnitOfWork([&] {
            m_dm->OrdensQuery->Append();
            m_dm->OrdensQueryDESCRICAO->SetAsString("TV");
            m_dm->OrdensQueryIDCLIENTE->SetAsInteger(1);
            m_dm->OrdensQuery->ApplyChanges();
            m_dm->ClientesQuery->Edit();
            m_dm->ClientesQueryANOTA->SetAsString("tem OS");
            m_dm->ClientesQuery->ApplyChanges();
        });
        QVERIFY(!m_dm->OrdensQuery->UpdatesPending());
        QCOMPARE(Count("anota = 'tem OS'"), 1);
        m_dm->Transaction->Rollback();   // nothing left uncommitted to lose
        QCOMPARE(Count("anota = 'tem OS'"), 1);
    }

    // The second write fails: the first is undone in the database and its
    // row is pending again in its dataset's cache.
    void unitOfWorkFailureUndoesEverything()
    {
        AddClient("Cliente");
        TFbQuery *ordens = m_dm->OrdensQuery;
        try {
            m_dm->RunUnitOfWork([&] {
                ordens->Append();
                m_dm->OrdensQueryDESCRICAO->SetAsString("TV");
                ordens->ApplyChanges();
                Exec("delete from clientes");   // the client goes too
                m_dm->ClientesQuery->Delete();
                m_dm->ClientesQuery->ApplyChanges();   // deleted before
            });
            QFAIL("unit of work did not fail");
        } catch (const EFbError &e) {
            QCOMPARE(e.Message(), TFbRowWriter::DeletedBeforeMessage());
        }
        QCOMPARE(Count(), 1);   // the delete statement was undone as well
        m_dm->AuxQuery->Close();
        m_dm->AuxQuery->SetSQL("select count(*) as n from ordemserv");
        m_dm->AuxQuery->Open();
        QCOMPARE(m_dm->AuxQuery->FieldByName("n")->AsInteger(), 0);
        QCOMPARE(ordens->UpdateStatusAt(0), TFbQuery::usInserted);
        QVERIFY(m_dm->ClientesQuery->UpdatesPending());
        // Putting things right and saving again writes the order once.
        m_dm->ClientesQuery->CancelUpdates();
        ordens->ApplyChanges();
        m_dm->AuxQuery->Close();
        m_dm->AuxQuery->Open();
        QCOMPARE(m_dm->AuxQuery->FieldByName("n")->AsInteger(), 1);
    }

    // An inner unit that fails is undone alone; the outer one goes on and
    // commits its own work and that of an inner unit that succeeded.
    void nestedUnitOfWorkFailsAlone()
    {
        TFbQuery *q = m_dm->ClientesQuery;
        auto add = [&](int id, const char *nome) {
            q->Append();
            m_dm->ClientesQueryIDCLIENTE->SetAsInteger(id);
            m_dm->ClientesQueryNOME->SetAsString(nome);
            q->ApplyChanges();
        };
        m_dm->RunUnitOfWork([&] {
            add(1, "externo");
            m_dm->RunUnitOfWork([&] { add(2, "interno ok"); });
            try {
                m_dm->RunUnitOfWork([&] {
                    add(3, "interno falho");
                    throw EFbError("falhou");
                });
            } catch (const EFbError &) {
            }
            m_dm->OrdensQuery->Append();   // another dataset, so the failed row stays pending
            m_dm->OrdensQueryDESCRICAO->SetAsString("depois");
            m_dm->OrdensQuery->ApplyChanges();
        });
        QCOMPARE(Count(), 2);
        QCOMPARE(Count("idcliente = 3"), 0);
        QCOMPARE(q->UpdateStatusAt(2), TFbQuery::usInserted);   // the failed one is pending again
        QCOMPARE(q->UpdateStatusAt(1), TFbQuery::usUnmodified);
        QVERIFY(!m_dm->OrdensQuery->UpdatesPending());
        m_dm->Transaction->Rollback();   // all of it was committed already
        QCOMPARE(Count(), 2);
        m_dm->AuxQuery->Close();
        m_dm->AuxQuery->SetSQL("select count(*) from ordemserv");
        m_dm->AuxQuery->Open();
        QCOMPARE(m_dm->AuxQuery->Field(0)->AsInteger(), 1);
    }

    void signalsFollowRowsAndState()
    {
        AddClient("A");
        AddClient("B");
        TFbQuery *q = m_dm->ClientesQuery;
        q->First();
        QSignalSpy inserted(q, &TFbQuery::rowInserted), removed(q, &TFbQuery::rowRemoved),
            current(q, &TFbQuery::currentRowChanged), state(q, &TFbQuery::stateChanged),
            field(q, &TFbQuery::fieldChanged), changed(q, &TFbQuery::rowChanged);
        q->Append();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(0).toInt(), 2);
        QCOMPARE(current.last().at(0).toInt(), 2);
        QCOMPARE(state.last().at(0).value<TFbQuery::TDataSetState>(), TFbQuery::dsInsert);
        QVERIFY(field.count() >= 2);   // key and date from the new-record rule
        q->Cancel();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(current.last().at(0).toInt(), 0);
        q->SetRecNo(1);
        q->Edit();
        changed.clear();
        m_dm->ClientesQueryNOME->SetAsString("B2");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 1);
        q->Cancel();
        QCOMPARE(m_dm->ClientesQueryNOME->AsString(), QStringLiteral("B"));
        q->Delete();
        QCOMPARE(removed.last().at(0).toInt(), 1);
        QCOMPARE(q->RecNo(), 0);
        QSignalSpy reset(q, &TFbQuery::dataReset);
        q->Close();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(state.last().at(0).value<TFbQuery::TDataSetState>(), TFbQuery::dsInactive);
    }

    void readingRowsWithoutMoving()
    {
        AddClient("A");
        AddClient("B");
        AddClient("C");
        TFbQuery *q = m_dm->ClientesQuery;
        q->First();
        const int nome = m_dm->ClientesQueryNOME->Index();
        QCOMPARE(q->TextAt(2, nome), QStringLiteral("C"));
        QCOMPARE(m_dm->ClientesQueryIDCLIENTE->ValueAt(1).toInt(), 2);
        QCOMPARE(q->RecNo(), 0);
        QVERIFY(q->Locate("nome", QStringLiteral("b")));
        QCOMPARE(q->RecNo(), 1);
        QVERIFY(!q->Locate("nome", QStringLiteral("Z")));
        QCOMPARE(q->RecNo(), 1);
        int n = 0;
        for (q->First(); !q->Eof(); q->Next())
            ++n;
        QCOMPARE(n, 3);
    }

    void executeNeedsAClosedDataset()
    {
        EXPECT_ERROR(m_dm->ClientesQuery->Execute(), "Cannot perform this operation on an open dataset");
    }
};

QTEST_MAIN(TstTFbQuery)
#include "tst_tfbquery.moc"
