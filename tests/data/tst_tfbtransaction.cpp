// How a transaction ends when it is destroyed while running: committed
// normally, rolled back when a failure is unwinding the stack, and a commit
// that fails there reported instead of lost.
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "tests/support/tfbtestdb.h"

#include <QtTest>
#include <stdexcept>

class TstTFbTransaction : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFbTestDb> m_file;
    QStringList m_reports;
    TFbTransaction::FailureReporter m_oldReporter;

    void Attach(TFbDatabase &db, TFbTransaction &tr)
    {
        db.SetDatabaseName(m_file->Path());
        db.SetParams({QStringLiteral("user_name=%1").arg(TDmSchema::UserName),
                      QStringLiteral("password=%1").arg(TDmSchema::Password)});
        db.SetDefaultTransaction(&tr);
        db.Open();
    }
    static void Exec(TFbDatabase &db, const QString &sql)
    {
        TFbQuery q;
        q.SetDatabase(&db);
        q.SetSQL(sql);
        q.Execute();
    }
    int Clients()
    {
        TFbDatabase db;
        TFbTransaction tr;
        Attach(db, tr);
        TFbQuery q;
        q.SetDatabase(&db);
        q.SetSQL(QStringLiteral("select count(*) as n from clientes"));
        q.Open();
        return q.FieldByName(QStringLiteral("n"))->AsInteger();
    }

private slots:
    void init()
    {
        m_file = std::make_unique<TFbTestDb>();
        QVERIFY2(m_file->IsValid(), qPrintable(m_file->Error()));
        m_reports.clear();
        m_oldReporter = TFbTransaction::SetFailureReporter([this](const QString &m) { m_reports << m; });
        // A commit that the database refuses when the transaction asks for it.
        TFbDatabase db;
        TFbTransaction tr;
        Attach(db, tr);
        Exec(db, QStringLiteral("create exception E_RECUSADO 'commit recusado'"));
        tr.Commit();
        Exec(db, QStringLiteral("create trigger T_RECUSA on transaction commit as begin "
                                "if (rdb$get_context('USER_TRANSACTION', 'RECUSAR') = '1') then "
                                "exception E_RECUSADO; end"));
        tr.Commit();
    }
    void cleanup()
    {
        TFbTransaction::SetFailureReporter(m_oldReporter);
        m_file.reset();
    }

    void endAtDestruction_data()
    {
        QTest::addColumn<bool>("failureUnwinding");
        QTest::addColumn<bool>("commitRefused");
        QTest::addColumn<int>("rowsKept");
        QTest::addColumn<int>("reports");
        QTest::newRow("normal end commits") << false << false << 1 << 0;
        QTest::newRow("failure unwinding rolls back") << true << false << 0 << 0;
        QTest::newRow("failed commit reported") << false << true << 0 << 1;
        QTest::newRow("failure unwinding, no commit tried") << true << true << 0 << 0;
    }
    void endAtDestruction()
    {
        QFETCH(bool, failureUnwinding);
        QFETCH(bool, commitRefused);
        QFETCH(int, rowsKept);
        QFETCH(int, reports);
        TFbDatabase db;
        TFbTransaction main;
        Attach(db, main);
        try {
            TFbTransaction tr;
            tr.SetDefaultDatabase(&db);
            TFbQuery q;
            q.SetDatabase(&db);
            q.SetTransaction(&tr);
            q.SetSQL(QStringLiteral("insert into clientes (idcliente, nome) values (1, 'Ana')"));
            q.Execute();
            if (commitRefused) {
                q.SetSQL(QStringLiteral("select rdb$set_context('USER_TRANSACTION', 'RECUSAR', '1') as x from rdb$database"));
                q.Open();
                q.Close();
            }
            if (failureUnwinding)
                throw std::runtime_error("falhou");
        } catch (const std::runtime_error &) {
            QVERIFY(failureUnwinding);
        }
        db.Close();
        QCOMPARE(m_reports.size(), reports);
        if (reports)
            QVERIFY2(m_reports.first().contains(QStringLiteral("commit recusado")), qPrintable(m_reports.first()));
        QCOMPARE(Clients(), rowsKept);
    }

    // A statement run alone is committed at once, apart from the session's
    // transaction, which stays as it was; a failure in it, or a commit the
    // database refuses, undoes it and reaches the caller.
    void runAlone_data()
    {
        QTest::addColumn<bool>("workThrows");
        QTest::addColumn<bool>("commitRefused");
        QTest::addColumn<int>("rowsKept");
        QTest::newRow("committed at once") << false << false << 1;
        QTest::newRow("failure rolls back") << true << false << 0;
        QTest::newRow("refused commit rolls back") << false << true << 0;
    }
    void runAlone()
    {
        QFETCH(bool, workThrows);
        QFETCH(bool, commitRefused);
        QFETCH(int, rowsKept);
        TFbDatabase db;
        TFbTransaction session;
        Attach(db, session);
        Exec(db, QStringLiteral("insert into clientes (idcliente, nome) values (7, 'Sessao')"));
        bool failed = false;
        try {
            TFbTransaction::RunAlone(&db, [&](TFbQuery &q) {
                QVERIFY(q.Transaction() != &session);
                q.SetSQL(QStringLiteral("insert into clientes (idcliente, nome) values (1, 'Ana')"));
                q.Execute();
                if (commitRefused) {
                    q.SetSQL(QStringLiteral("select rdb$set_context('USER_TRANSACTION', 'RECUSAR', '1') as x "
                                            "from rdb$database"));
                    q.Open();
                }
                if (workThrows)
                    throw std::runtime_error("falhou");
            });
        } catch (const std::exception &e) {
            failed = true;
            QVERIFY2(QString::fromUtf8(e.what()).contains(workThrows ? u"falhou" : u"commit recusado"), e.what());
        }
        QCOMPARE(failed, workThrows || commitRefused);
        // Seen from another connection before the session commits.
        QCOMPARE(Clients(), rowsKept);
        QVERIFY(session.InTransaction());
        session.Rollback();
        db.Close();
        QCOMPARE(Clients(), rowsKept);
    }

    // The data module closes its connection when it is destroyed (the end
    // of the run): a closing commit that fails there is reported.
    void dataModuleReportsAFailedClosingCommit()
    {
        {
            auto dm = m_file->MakeDM();
            dm->AuxQuery->SetSQL(QStringLiteral("select rdb$set_context('USER_TRANSACTION', 'RECUSAR', '1') as x "
                                                "from rdb$database"));
            dm->AuxQuery->Open();
            QVERIFY(m_reports.isEmpty());
        }
        QCOMPARE(m_reports.size(), 1);
        QVERIFY2(m_reports.first().contains(QStringLiteral("commit recusado")), qPrintable(m_reports.first()));
    }

    // A connection destroyed by a failure on its way up commits nothing of
    // what its transactions were doing.
    void connectionDestroyedByFailureRollsBack()
    {
        TFbTransaction tr;
        try {
            TFbDatabase db;
            Attach(db, tr);
            Exec(db, QStringLiteral("insert into clientes (idcliente, nome) values (1, 'Ana')"));
            throw std::runtime_error("falhou");
        } catch (const std::runtime_error &) {
        }
        QVERIFY(!tr.InTransaction());
        QCOMPARE(Clients(), 0);
        QVERIFY(m_reports.isEmpty());
    }
};

QTEST_MAIN(TstTFbTransaction)
#include "tst_tfbtransaction.moc"
