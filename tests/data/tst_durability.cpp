// A save survives the process being killed right after it.
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "tests/support/tfbtestdb.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProcess>
#include <QtTest>

class TstDurability : public QObject
{
    Q_OBJECT

    // Runs the child, waits for its save, kills it with SIGKILL.
    void SaveAndKill(const QString &path, const QString &nome, const QStringList &extra = {})
    {
        QProcess child;
        child.setProgram(QCoreApplication::applicationDirPath() + "/os-durability-child");
        child.setArguments(QStringList{path, nome} + extra);
        child.start();
        QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));
        QByteArray out;
        while (!out.contains("SAVED") && child.state() == QProcess::Running)
            if (child.waitForReadyRead(20000))
                out += child.readAllStandardOutput();
            else
                break;
        QVERIFY2(out.contains("SAVED"), child.readAllStandardError().constData());
        child.kill();   // SIGKILL: no clean-up of any kind
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    }

    int CountNamed(const QString &nome, TFbTestDb &db)
    {
        auto dm = db.MakeDM();
        dm->AuxQuery->SetSQL("select count(*) as n from clientes where nome = '" + nome + "'");
        dm->AuxQuery->Open();
        return dm->AuxQuery->FieldByName("n")->AsInteger();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void savedRowSurvivesSigkill()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        SaveAndKill(db.Path(), "Sobrevivente");
        QCOMPARE(CountNamed("Sobrevivente", db), 1);
    }

    // The check above can see a loss: without the commit after each save
    // the killed run's work is gone.
    void withoutCommitAfterWriteTheRowIsLost()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        SaveAndKill(db.Path(), "Perdido", {"--no-commit-after-write"});
        QCOMPARE(CountNamed("Perdido", db), 0);
    }
};

QTEST_MAIN(TstDurability)
#include "tst_durability.moc"
