// The real program, started under a virtual X server on a fresh database:
// its main window appears with no error, and "Arquivo" > "Sair" ends it
// cleanly, leaving the database closed.
#include "tdm.h"
#include "tfbdatabase.h"
#include "tfbfield.h"
#include "tfbquery.h"
#include "tfbtestdb.h"
#include "txsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString MainWindow = QStringLiteral("^Ordem de Serviço 1\\.5  - Tarvo Vodevuru$");
const QString ErrorBox = QStringLiteral("^OS - Tarvo Vodevuru$");
const QString ClientList = QStringLiteral("^Lista de Clientes$");

// Points of the main window, from its layout: the menu bar at the top (at
// least 12 and at most 53 pixels high, whatever the font), its first title
// "Arquivo" at the left; under it the panel with the pictures, each 65x65,
// the clients' one 1 pixel from the left and 2 below the menu bar. (33, 55)
// lies in that picture for any menu bar height in that range.
constexpr int ArquivoX = 22, ArquivoY = 6;
constexpr int ClientsPictureX = 33, ClientsPictureY = 55;

} // namespace

class TstOrdemServico : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startsAndEndsCleanly_data();
    void startsAndEndsCleanly();
    void withoutTheClientLibraryItDoesNotStart();

private:
    // "Arquivo" > "Sair" on the main window.
    bool ChooseSair(TXSession &x, const QString &window);
};

void TstOrdemServico::initTestCase()
{
    QVERIFY2(QFileInfo(TXSession::ProgramPath(QStringLiteral("ordemservico"))).isExecutable(),
             "the program has not been built");
    if (const QString missing = TXSession::Missing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
}

bool TstOrdemServico::ChooseSair(TXSession &x, const QString &window)
{
    // The menu opens as a window of its own: wait for it, then go down to
    // "Sair" (below "Configurações").
    const QStringList before = x.AppWindows();
    if (!x.XDo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window})
        || !x.Click(window, ArquivoX, ArquivoY))
        return false;
    QString menu;
    TXSession::WaitFor([&] {
        for (const QString &w : x.AppWindows())
            if (!before.contains(w))
                menu = w;
        return !menu.isEmpty();
    });
    return !menu.isEmpty()
           && x.Keys(menu, {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
}

void TstOrdemServico::withoutTheClientLibraryItDoesNotStart()
{
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    TXSession x;
    QVERIFY2(x.Start(), qPrintable(x.Error()));
    // A library by that name that cannot be loaded is found first.
    QTemporaryDir libs;
    QFile broken(libs.filePath(QStringLiteral("libfbclient.so.2")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.close();
    QProcessEnvironment env;
    env.insert(QStringLiteral("LD_LIBRARY_PATH"), libs.path());
    QVERIFY2(x.Launch(TXSession::ProgramPath(QStringLiteral("ordemservico")), db.Dir(), {}, env),
             qPrintable(x.Error()));

    // The failure in the standard error box, and no main window.
    const QString box = x.WaitForWindow(ErrorBox);
    QVERIFY2(!box.isEmpty(), "no error box");
    QVERIFY(x.Windows(MainWindow).isEmpty());
    QVERIFY(x.Keys(box, {QStringLiteral("Return")}));
    QVERIFY2(x.WaitForExit(), "the program did not end");
    QCOMPARE(x.App().exitStatus(), QProcess::NormalExit);
    QCOMPARE(x.App().exitCode(), 1);
}

void TstOrdemServico::startsAndEndsCleanly_data()
{
    QTest::addColumn<bool>("withDatabase");
    QTest::newRow("fresh database") << true;
    QTest::newRow("no database file") << false;
}

void TstOrdemServico::startsAndEndsCleanly()
{
    QFETCH(bool, withDatabase);
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    QTemporaryDir emptyHome;
    TXSession x;
    QVERIFY2(x.Start(), qPrintable(x.Error()));
    QVERIFY2(x.Launch(TXSession::ProgramPath(QStringLiteral("ordemservico")),
                      withDatabase ? db.Dir() : emptyHome.path()),
             qPrintable(x.Error()));

    const QString window = x.WaitForWindow(MainWindow);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    if (withDatabase) {
        // Regression: under a real X server, swapping a picture under the
        // cursor made the toolkit send enter and leave events that swapped it
        // back, over and over, until the program died. Move over the
        // pictures and away, then click the clients' one: the client list
        // opens, which also shows that the database is open (else the error
        // box would come instead).
        for (int px : {200, ClientsPictureX, 100, ClientsPictureX + 5, 300, ClientsPictureX})
            QVERIFY(x.MoveMouse(window, px, ClientsPictureY));
        QVERIFY(x.AppRunning());
        QVERIFY(x.Click(window, ClientsPictureX, ClientsPictureY + 3));
        QVERIFY2(!x.WaitForWindow(ClientList).isEmpty(), "the client list did not open");
        QVERIFY(x.Windows(ErrorBox).isEmpty());
        for (int px : {100, ClientsPictureX, 300, 100})
            QVERIFY(x.MoveMouse(window, px, ClientsPictureY));
    } else {
        // The failure is shown once, in the standard error box; once it is
        // closed the window is there to be used.
        const QString box = x.WaitForWindow(ErrorBox);
        QVERIFY2(!box.isEmpty(), "no error box");
        QCOMPARE(x.Windows(ErrorBox).size(), 1);
        QVERIFY(x.Keys(box, {QStringLiteral("Return")}));
        QVERIFY2(x.WaitForNoWindow(ErrorBox), "the error box did not close");
    }
    QVERIFY(x.AppRunning());

    QVERIFY(ChooseSair(x, window));
    QVERIFY2(x.WaitForExit(), "the program did not end after Sair");
    QCOMPARE(x.App().exitStatus(), QProcess::NormalExit);
    QCOMPARE(x.App().exitCode(), 0);

    if (!withDatabase) {
        // The program never creates the database file.
        QVERIFY(!QFileInfo::exists(emptyHome.filePath(QStringLiteral("OS - Tarvo Vodevuru/DADOS.GDB"))));
        return;
    }
    // The database was closed properly: this process can open it, and it is
    // not left under a backup lock.
    TDM dm;
    dm.Database->SetDatabaseName(db.Path());
    dm.OpenAll();
    QCOMPARE(dm.ConfigQueryIDCONFIG->AsInteger(), 1);
    dm.CloseAll();
    QVERIFY(!QFileInfo::exists(db.Path() + QStringLiteral(".delta")));
}

QTEST_MAIN(TstOrdemServico)
#include "tst_ordemservico.moc"
