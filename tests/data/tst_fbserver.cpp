// The same layer against a Firebird server ("host:/path/DADOS.GDB"), as a
// shop with several computers uses it. Needs the server that
// scripts/test-setup.d/10-firebird-server.sh starts (OS_FB_SERVER).
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "tests/data/tdmkeycases.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

class TstFbServer : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_name;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        const QString host = qEnvironmentVariable("OS_FB_SERVER");
        const QString dir = qEnvironmentVariable("OS_FB_SERVER_DIR", QStringLiteral("/tmp"));
        if (host.isEmpty())
            QSKIP("OS_FB_SERVER is not set: no Firebird server was started for the tests "
                  "(see scripts/test-setup.d/10-firebird-server.sh)");
        m_dir = std::make_unique<QTemporaryDir>(dir + "/os-test-XXXXXX");
        QVERIFY(m_dir->isValid());
        // The server process writes here.
        QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(0x7777));
        m_name = host + ":" + m_dir->path() + "/DADOS.GDB";
        TDmSchema::CreateDatabaseFile(m_name);
    }

    void mainPathsThroughTheServer()
    {
        {
            TDM dm;
            dm.Database->SetDatabaseName(m_name);
            dm.OpenAll();
            QCOMPARE(dm.ConfigQueryIDCONFIG->AsInteger(), 1);
            for (const char *nome : {"Ana Ção", "Bruno"}) {
                dm.ClientesQuery->Append();
                dm.ClientesQueryNOME->SetAsString(QString::fromUtf8(nome));
                dm.ClientesQuery->ApplyChanges();
            }
            QCOMPARE(dm.ClientesQueryIDCLIENTE->AsInteger(), 2);
            dm.ClientesQuery->First();
            dm.ClientesQuery->Edit();
            dm.ClientesQueryCIDADE->SetAsString("Olinda");
            dm.ClientesQuery->ApplyChanges();
            dm.ClientesQuery->Last();
            dm.ClientesQuery->Delete();
            dm.ClientesQuery->ApplyChanges();
            // A failed unit of work leaves nothing behind.
            try {
                dm.RunUnitOfWork([&] {
                    dm.OrdensQuery->Append();
                    dm.OrdensQueryDESCRICAO->SetAsString("Rádio");
                    dm.OrdensQuery->ApplyChanges();
                    throw EFbError("falhou");
                });
                QFAIL("no failure");
            } catch (const EFbError &) {
            }
            QCOMPARE(dm.OrdensQuery->UpdateStatus(), TFbQuery::usInserted);
            dm.OrdensQuery->CancelUpdates();
        }
        TDM dm;
        dm.Database->SetDatabaseName(m_name);
        dm.OpenAll();
        QCOMPARE(dm.ClientesQuery->RecordCount(), 1);
        QCOMPARE(dm.ClientesQueryNOME->AsString(), QStringLiteral("Ana Ção"));
        QCOMPARE(dm.ClientesQueryCIDADE->AsString(), QStringLiteral("Olinda"));
        QVERIFY(dm.OrdensQuery->IsEmpty());
    }

    // Another computer of the shop sees a save as soon as it is done.
    void saveIsSeenByAnotherAttachment()
    {
        TDM a, b;
        a.Database->SetDatabaseName(m_name);
        b.Database->SetDatabaseName(m_name);
        a.OpenAll();
        b.OpenAll();   // both running, as two computers of the shop
        a.ProdForneQuery->Append();
        a.ProdForneQueryDESCRICAO->SetAsString("Parafuso");
        a.ProdForneQuery->ApplyChanges();
        b.ProdForneQuery->Close();
        b.ProdForneQuery->Open();
        QVERIFY(b.ProdForneQuery->Locate("DESCRICAO", QStringLiteral("Parafuso")));
        b.ProdForneQuery->Append();
        QCOMPARE(b.ProdForneQueryIDPROD->AsInteger(), a.ProdForneQueryIDPROD->AsInteger() + 1);
        b.ProdForneQuery->Cancel();
    }

    // Two computers typing new clients and orders at the same time through
    // the server: each gets keys of its own and every save succeeds.
    void twoComputersRegisterAlternately()
    {
        const QString name = m_name.section(QLatin1Char('/'), 0, -2) + QStringLiteral("/CHAVES.GDB");
        TDmSchema::CreateDatabaseFile(name);
        TDM a, b;
        a.Database->SetDatabaseName(name);
        b.Database->SetDatabaseName(name);
        a.OpenAll();
        b.OpenAll();
        const QString failure = TDmKeyCases::RegisterAlternately(a, b);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void wrongPasswordIsRefused()
    {
        TDM dm;
        dm.Database->SetDatabaseName(m_name);
        dm.Database->SetParams({"user_name=SYSDBA", "password=errada"});
        try {
            dm.Database->Open();
            QFAIL("attached with a wrong password");
        } catch (const EFbError &e) {
            QVERIFY2(e.Message().contains("password", Qt::CaseInsensitive), qPrintable(e.Message()));
        }
    }

    void existingServerFileIsNotRecreated()
    {
        try {
            TDmSchema::CreateDatabaseFile(m_name);
            QFAIL("created over an existing file");
        } catch (const EFbError &) {
        }
        TDM dm;
        dm.Database->SetDatabaseName(m_name);
        dm.OpenAll();
        QCOMPARE(dm.ClientesQuery->RecordCount(), 1);
    }
};

QTEST_MAIN(TstFbServer)
#include "tst_fbserver.moc"
