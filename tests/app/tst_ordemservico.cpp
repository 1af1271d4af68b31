// The real program, started under a virtual X server: its main window on a
// fresh database, the first-start question and the database chosen on the
// command line or in the settings, the answers of --help and --version, and
// the blank order previewed and printed, and a logout or Ctrl+C ending it
// as "Sair" does.
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "tests/support/tfbservercontrol.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/tmainwindowsteps.h"
#include "tests/support/txsession.h"

#include <QDir>
#include <QProcess>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/types.h>

namespace {

const QString MainWindow = TMainWindowSteps::MainWindow();
// The caption of every message box: the first-start question, the error box.
const QString ErrorBox = TMainWindowSteps::MessageBox();
// The blank order's preview: said to be a preview, not the order screen's
// "Ordem de Serviço" it used to carry.
const QString Preview = QStringLiteral("^Visualizar Impressão - Ordem de Serviço em branco$");
const QString ClientList = QStringLiteral("^Lista de Clientes$");

// Points of the main window, from its layout: the menu bar at the top (at
// least 12 and at most 53 pixels high, whatever the font), its first title
// "Arquivo" at the left; under it the panel with the pictures, each 65x65,
// the clients' one 1 pixel from the left and 2 below the menu bar. (33, 55)
// lies in that picture for any menu bar height in that range.
constexpr int ArquivoX = 22, ArquivoY = 6;
constexpr int ClientsPictureX = 33, ClientsPictureY = 55;
const QString ClientForm = QStringLiteral("^Cadastro de Cliente");

// The WM_TRANSIENT_FOR hint of a window on `display` (0 when it has none).
qulonglong TransientFor(const QString &display, const QString &window)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("WM_TRANSIENT_FOR")});
    p.waitForFinished(10000);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    const int hash = out.indexOf(QLatin1Char('#'));
    return hash < 0 ? 0 : out.mid(hash + 1).trimmed().toULongLong(nullptr, 16);
}

// The client windows on `display` as the window manager stacks them, from
// the bottom up (its _NET_CLIENT_LIST_STACKING).
QList<qulonglong> Stacking(const QString &display)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    p.waitForFinished(10000);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    QList<qulonglong> ids;
    for (const QString &id : out.section(u'#', 1).split(u',', Qt::SkipEmptyParts))
        ids << id.trimmed().toULongLong(nullptr, 16);
    return ids;
}

} // namespace

class TstOrdemServico : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startsAndEndsCleanly();
    void withoutTheClientLibraryItDoesNotStart();
    void firstStartAndChosenDatabase_data();
    void firstStartAndChosenDatabase();
    void commandLineAnswers_data();
    void commandLineAnswers();
    void badOptionWithoutADisplayAborted_data();
    void badOptionWithoutADisplayAborted();
    void blankOrderPreviewedAndPrinted();
    void signalEndsItLikeSair_data();
    void signalEndsItLikeSair();
    void minimisingOneScreenMinimisedTheFamily();
    void serverStoppedUnderTheProgram();
    void serverLoginBoxAtStart();

private:
    // The program with HOME (and so the default database and the settings
    // file) in `home`.
    // Runs `program` with `args`, no display and the Qt platform given (none
    // when empty) under a HOME of its own, and compares its exit code and
    // what its outputs contain; nothing may be made in that HOME.
    static void CompareAnswer(const QString &program, const QStringList &args, const QString &platform,
                              int exitCode, const QString &out, const QString &err, QString *stdOut);
    static bool Launch(TXSession &x, const QString &home, const QStringList &args = {},
                       QProcessEnvironment env = {});
    // Clicks the clients' picture: the client list opens, and no error box
    // (which would come instead, were the database not open).
    void OpenClientList(TXSession &x, const QString &window);
};

void TstOrdemServico::initTestCase()
{
    QVERIFY2(QFileInfo(TXSession::ProgramPath(QStringLiteral("ordemservico"))).isExecutable(),
             "the program has not been built");
    if (const QString missing = TXSession::Missing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
}

bool TstOrdemServico::Launch(TXSession &x, const QString &home, const QStringList &args, QProcessEnvironment env)
{
    // The settings file under this HOME, whatever the caller's environment.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    return x.Launch(TXSession::ProgramPath(QStringLiteral("ordemservico")), home, args, env);
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
    QVERIFY2(Launch(x, db.Dir(), {}, env), qPrintable(x.Error()));

    // The failure in the standard error box, and no main window.
    const QString box = x.WaitForWindow(ErrorBox);
    QVERIFY2(!box.isEmpty(), "no error box");
    QVERIFY(x.Windows(MainWindow).isEmpty());
    QVERIFY(x.Keys(box, {QStringLiteral("Return")}));
    QVERIFY2(x.WaitForExit(), "the program did not end");
    QCOMPARE(x.App().exitStatus(), QProcess::NormalExit);
    QCOMPARE(x.App().exitCode(), 1);
}

void TstOrdemServico::OpenClientList(TXSession &x, const QString &window)
{
    QVERIFY(x.Click(window, ClientsPictureX, ClientsPictureY + 3));
    QVERIFY2(!x.WaitForWindow(ClientList).isEmpty(), "the client list did not open");
    QVERIFY(x.Windows(ErrorBox).isEmpty());
}

void TstOrdemServico::startsAndEndsCleanly()
{
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    TXSession x;
    QVERIFY2(x.Start(), qPrintable(x.Error()));
    QVERIFY2(Launch(x, db.Dir()), qPrintable(x.Error()));

    const QString window = x.WaitForWindow(MainWindow);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    // Regression: under a real X server, swapping a picture under the
    // cursor made the toolkit send enter and leave events that swapped it
    // back, over and over, until the program died. Move over the pictures
    // and away, then click the clients' one.
    for (int px : {200, ClientsPictureX, 100, ClientsPictureX + 5, 300, ClientsPictureX})
        QVERIFY(x.MoveMouse(window, px, ClientsPictureY));
    QVERIFY(x.AppRunning());
    OpenClientList(x, window);
    // An owned window, but the window manager is not told: it would minimise
    // the main window and every list screen as one family.
    const QString list = x.WaitForWindow(ClientList);
    QTest::qWait(300);
    QCOMPARE(TransientFor(x.Display(), list), qulonglong(0));
    for (int px : {100, ClientsPictureX, 300, 100})
        QVERIFY(x.MoveMouse(window, px, ClientsPictureY));
    QVERIFY(x.AppRunning());

    QVERIFY(TMainWindowSteps::ChooseSair(x, window));
    QVERIFY2(x.WaitForExit(), "the program did not end after Sair");
    QCOMPARE(x.App().exitStatus(), QProcess::NormalExit);
    QCOMPARE(x.App().exitCode(), 0);

    // The database was closed properly: this process can open it, and it is
    // not left under a backup lock.
    TDM dm;
    dm.Database->SetDatabaseName(db.Path());
    dm.OpenAll();
    QCOMPARE(dm.ConfigQueryIDCONFIG->AsInteger(), 1);
    dm.CloseAll();
    QVERIFY(!QFileInfo::exists(db.Path() + QStringLiteral(".delta")));
}

void TstOrdemServico::firstStartAndChosenDatabase_data()
{
    QTest::addColumn<QString>("database");   // default, path, missing path, setting, server
    QTest::addColumn<QString>("answer");     // key pressed on the first-start question; "" when none is asked
    QTest::addColumn<bool>("openFails");     // the error box after the main window shows

    QTest::newRow("first start, create") << "default" << "Return" << false;
    QTest::newRow("first start, do not create") << "default" << "Escape" << true;
    QTest::newRow("--database with a path") << "path" << "" << false;
    QTest::newRow("--database with a missing path") << "missing path" << "" << true;
    QTest::newRow("database from the setting") << "setting" << "" << false;
    QTest::newRow("--database on the server") << "server" << "" << false;
}

// Always an empty HOME: the default place has no file. Only there is the
// user asked whether to create one; a chosen database is opened or reported.
void TstOrdemServico::firstStartAndChosenDatabase()
{
    QFETCH(QString, database);
    QFETCH(QString, answer);
    QFETCH(bool, openFails);
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);

    QTemporaryDir home;
    const QString defaultFolder = home.filePath(QStringLiteral("OS - Tarvo Vodevuru"));
    QString chosen;   // the database the program is to open, "" for the default place
    QStringList args;
    std::unique_ptr<QTemporaryDir> serverDir;
    if (database == QLatin1String("path")) {
        chosen = db.Path();
        args << QStringLiteral("--database") << chosen;
    } else if (database == QLatin1String("missing path")) {
        chosen = home.filePath(QStringLiteral("loja/DADOS.GDB"));
        args << QStringLiteral("--database") << chosen;
    } else if (database == QLatin1String("setting")) {
        chosen = db.Path();
        const QString conf = home.filePath(QStringLiteral(".config/ordemservico/ordemservico.conf"));
        {
            QSettings settings(conf, QSettings::IniFormat);
            settings.setValue(QStringLiteral("database"), chosen);
        }
        QVERIFY(QFileInfo::exists(conf));
    } else if (database == QLatin1String("server")) {
        // The server of the test set-up (scripts/test-setup.d/10-firebird-server.sh).
        const QString host = qEnvironmentVariable("OS_FB_SERVER");
        if (host.isEmpty())
            QSKIP("OS_FB_SERVER is not set: no Firebird server was started for the tests");
        serverDir = std::make_unique<QTemporaryDir>(qEnvironmentVariable("OS_FB_SERVER_DIR", QStringLiteral("/tmp"))
                                                    + QStringLiteral("/os-test-XXXXXX"));
        QVERIFY(serverDir->isValid());
        // The server process writes there.
        QFile::setPermissions(serverDir->path(), QFileDevice::Permissions(0x7777));
        chosen = host + QLatin1Char(':') + serverDir->path() + QStringLiteral("/DADOS.GDB");
        TDmSchema::CreateDatabaseFile(chosen);
        args << QStringLiteral("--database") << chosen;
        // The server's user and password, remembered on this computer: no
        // login box at start.
        QSettings settings(home.filePath(QStringLiteral(".config/ordemservico/ordemservico.conf")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("user"), QStringLiteral("SYSDBA"));
        settings.setValue(QStringLiteral("password"), QStringLiteral("quillmoss"));
    }

    TXSession x;
    QVERIFY2(x.Start(), qPrintable(x.Error()));
    QVERIFY2(Launch(x, home.path(), args), qPrintable(x.Error()));

    if (!answer.isEmpty()) {
        // The question comes before the main window, and nothing is made
        // before the answer.
        const QString question = x.WaitForWindow(ErrorBox);
        QVERIFY2(!question.isEmpty(), "the first-start question did not appear");
        QCOMPARE(x.Windows(ErrorBox).size(), 1);
        QVERIFY(x.Windows(MainWindow).isEmpty());
        QVERIFY(!QFileInfo::exists(defaultFolder));
        QVERIFY(x.Keys(question, {answer}));
        // The error box that may follow has the same caption.
        QVERIFY2(TXSession::WaitFor([&] { return !x.Windows(ErrorBox).contains(question); }),
                 "the first-start question did not close");
    }
    const QString window = x.WaitForWindow(MainWindow);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    if (openFails) {
        // The failure is shown once, in the standard error box; once it is
        // closed the window is there to be used.
        const QString box = x.WaitForWindow(ErrorBox);
        QVERIFY2(!box.isEmpty(), "no error box");
        QCOMPARE(x.Windows(ErrorBox).size(), 1);
        QVERIFY(x.Keys(box, {QStringLiteral("Return")}));
        QVERIFY2(x.WaitForNoWindow(ErrorBox), "the error box did not close");
    } else {
        // The database is open: the client list comes, no error box.
        OpenClientList(x, window);
    }
    QVERIFY(x.Windows(ErrorBox).isEmpty());
    QVERIFY(x.AppRunning());
    QVERIFY(TMainWindowSteps::ChooseSair(x, window));
    QVERIFY2(x.WaitForExit(), "the program did not end after Sair");
    QCOMPARE(x.App().exitStatus(), QProcess::NormalExit);
    QCOMPARE(x.App().exitCode(), 0);

    // The default place is made only when the user said yes; a missing
    // chosen database is never made.
    const QString created = defaultFolder + QStringLiteral("/DADOS.GDB");
    QCOMPARE(QFileInfo::exists(defaultFolder), database == QLatin1String("default") && !openFails);
    if (database == QLatin1String("missing path"))
        QVERIFY(!QFileInfo::exists(QFileInfo(chosen).absolutePath()));
    if (openFails)
        return;
    // The database the program used opens, with the six tables and the
    // CONFIG row: the new one as os-createdb makes it, or the chosen one.
    TDM dm;
    dm.Database->SetDatabaseName(chosen.isEmpty() ? created : chosen);
    dm.OpenAll();
    QCOMPARE(dm.ConfigQueryIDCONFIG->AsInteger(), 1);
    dm.CloseAll();
}

// --help and --version answer on the standard output without a screen; a
// bad command line is refused on the standard error before any window.
void TstOrdemServico::commandLineAnswers_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "--database <CAMINHO>" << "";
    QTest::newRow("-h") << QStringList{"-h"} << 0 << "--version" << "";
    // The release's own number: it moves with each release (the package test
    // checks that it does).
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "ordemservico " OS_PROJECT_VERSION "\n" << "";
    QTest::newRow("unknown option") << QStringList{"--banco"} << 2 << "" << QString::fromUtf8("ordemservico: Opção desconhecida 'banco'");
    QTest::newRow("missing value") << QStringList{"--database"} << 2 << "" << "--database";
}

void TstOrdemServico::commandLineAnswers()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    // No screen at all for the answers; the refusal comes after Qt's own
    // options are read, which needs a platform.
    QString stdOut;
    CompareAnswer(QStringLiteral("ordemservico"), args, exitCode == 0 ? QString() : QStringLiteral("offscreen"),
                  exitCode, out, err, &stdOut);
    if (QTest::currentTestFailed())
        return;
    if (exitCode != 0)
        QVERIFY(stdOut.isEmpty());
}

void TstOrdemServico::CompareAnswer(const QString &program, const QStringList &args, const QString &platform,
                                    int exitCode, const QString &out, const QString &err, QString *stdOut)
{
    QTemporaryDir home;
    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    if (!platform.isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    app.setProcessEnvironment(env);
    app.start(TXSession::ProgramPath(program), args);
    QVERIFY(app.waitForFinished(20000));
    *stdOut = QString::fromLocal8Bit(app.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(app.readAllStandardError());
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), exitCode);
    QVERIFY2(stdOut->contains(out), qPrintable(*stdOut));
    QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
    // Nothing was made in the home folder.
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("OS - Tarvo Vodevuru"))));
}

// The application object was made before the options were read: without a
// display a bad option aborted in Qt's platform set-up instead of being
// refused. It is refused with no platform at all, and the help's headings
// are Portuguese. os-demodata --help printed its help as an error (exit 2).
void TstOrdemServico::badOptionWithoutADisplayAborted_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString os = QStringLiteral("ordemservico");
    QTest::newRow("--bogus") << os << QStringList{"--bogus"} << 2 << "" << QString::fromUtf8("ordemservico: Opção desconhecida 'bogus'");
    QTest::newRow("missing value") << os << QStringList{"--database"} << 2 << "" << "--database";
    QTest::newRow("stray argument") << os << QStringList{"-reverse", "DADOS.GDB"} << 2 << ""
                                    << "Argumento inesperado: DADOS.GDB";
    QTest::newRow("help") << os << QStringList{"--help"} << 0 << QString::fromUtf8("Uso: ") << "";
    QTest::newRow("os-demodata --help") << "os-demodata" << QStringList{"--help"} << 0
                                        << "uso: os-demodata" << "";
    QTest::newRow("os-demodata wrong") << "os-demodata" << QStringList{"x"} << 2 << "" << "uso: os-demodata";
}

void TstOrdemServico::badOptionWithoutADisplayAborted()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QString stdOut;
    CompareAnswer(program, args, QString(), exitCode, out, err, &stdOut);
    if (QTest::currentTestFailed())
        return;
    for (const char *english : {"Usage:", "Options:", "[options]"})
        QVERIFY2(!stdOut.contains(QLatin1String(english)), qPrintable(stdOut));
}

// "OS" > "OS em Branco": the preview window of the blank order opens with
// its own caption; Ctrl+P prints it to the PDF queue of the test
// set-up, whose PDF holds the header lines read from the database and the
// whole foot of the page, on one page; Esc closes the preview.
void TstOrdemServico::blankOrderPreviewedAndPrinted()
{
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    const QStringList header{QStringLiteral("Oficina Teste Ltda"), QStringLiteral("Rua das Acácias, 42"),
                             QStringLiteral("Fone 3333-0000"), QStringLiteral("CNPJ 11.222.333/0001-44")};
    {
        auto dm = db.MakeDM();
        QVERIFY(dm);
        dm->ConfigQuery->First();
        dm->ConfigQuery->Edit();
        dm->ConfigQueryCAB1->SetAsString(header.at(0));
        dm->ConfigQueryCAB2->SetAsString(header.at(1));
        dm->ConfigQueryCAB3->SetAsString(header.at(2));
        dm->ConfigQueryCAB4->SetAsString(header.at(3));
        dm->ConfigQuery->ApplyChanges();
        dm->CloseAll();
    }
    const QString queue = qEnvironmentVariable("OS_CUPS_PDF_QUEUE");
    const QString folder = qEnvironmentVariable("OS_CUPS_PDF_DIR");
    const bool canPrint = !queue.isEmpty() && !folder.isEmpty()
                          && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();

    TXSession x;
    QVERIFY2(x.Start(), qPrintable(x.Error()));
    QProcessEnvironment env;
    if (!queue.isEmpty()) {
        // The queue is the program's default printer.
        env.insert(QStringLiteral("PRINTER"), queue);
        env.insert(QStringLiteral("LPDEST"), queue);
    }
    QVERIFY2(Launch(x, db.Dir(), {}, env), qPrintable(x.Error()));
    const QString window = x.WaitForWindow(MainWindow);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");

    // "Arquivo" opens with a click; two steps right is "OS", a menu of three
    // items of one height, "OS em Branco" the middle one: click it wherever
    // the style puts the active item.
    QStringList before = x.AppWindows();
    QVERIFY(x.XDo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}));
    QVERIFY(x.Click(window, ArquivoX, ArquivoY));
    const QString arquivo = x.WaitForNewAppWindow(before);
    QVERIFY2(!arquivo.isEmpty(), "the Arquivo menu did not open");
    before << arquivo;
    QVERIFY(x.Keys(arquivo, {QStringLiteral("Right"), QStringLiteral("Right")}));
    const QString osMenu = x.WaitForNewAppWindow(before);
    QVERIFY2(!osMenu.isEmpty(), "the OS menu did not open");
    QSize size;
    QVERIFY(TXSession::WaitFor([&] { return (size = x.WindowSize(osMenu)).height() > 0; }));
    QVERIFY(x.Click(osMenu, size.width() / 2, size.height() / 2));
    const QString preview = x.WaitForWindow(Preview);
    QVERIFY2(!preview.isEmpty(), "the preview did not open");
    QCOMPARE(x.Windows(Preview).size(), 1);

    if (canPrint) {
        const QDir out(folder);
        const QStringList pdfsBefore = out.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        QVERIFY(x.Keys(preview, {QStringLiteral("ctrl+p")}));
        // The queue writes each job under another name and renames it once
        // it is complete.
        QString pdf;
        QVERIFY2(TXSession::WaitFor(
                     [&] {
                         for (const QString &f : out.entryList({QStringLiteral("*.pdf")}, QDir::Files))
                             if (!pdfsBefore.contains(f))
                                 pdf = out.filePath(f);
                         return !pdf.isEmpty();
                     },
                     60000),
                 "no PDF came out of the queue");
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QFile::remove(pdf);
        for (const QString &line : header)
            QVERIFY2(printed.contains(line), qPrintable(line + QStringLiteral(" not in ") + printed));
        QVERIFY(printed.contains(QStringLiteral("Assinatura do Funcionário")));
        QCOMPARE(printed.count(QLatin1Char('\f')), 1);
    }

    // Esc closes the preview; the main window is usable again.
    QVERIFY(x.Keys(preview, {QStringLiteral("Escape")}));
    QVERIFY2(x.WaitForNoWindow(Preview), "the preview did not close");
    QVERIFY(x.AppRunning());
    QVERIFY(TMainWindowSteps::ChooseSair(x, window));
    QVERIFY2(x.WaitForExit(), "the program did not end after Sair");
    QCOMPARE(x.App().exitCode(), 0);
    if (!canPrint)
        QSKIP("previewed; not printed: no PDF queue (OS_CUPS_PDF_QUEUE, OS_CUPS_PDF_DIR) or no pdftotext");
}

// Under the window manager, list screens were transient windows of the main
// window, and minimising one minimised them all with the main window. Now a
// list screen minimises alone into the window bar, another stays in sight,
// a click on the main window leaves the screen above it, and the main window
// minimises on its own.
void TstOrdemServico::minimisingOneScreenMinimisedTheFamily()
{
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    TXSession x;
    QVERIFY2(x.Start(), qPrintable(x.Error()));
    QVERIFY2(Launch(x, db.Dir()), qPrintable(x.Error()));
    const QString main = x.WaitForWindow(MainWindow);
    QVERIFY2(!main.isEmpty(), "the main window did not appear");
    const QString clients = TMainWindowSteps::OpenFromPicture(x, main, TMainWindowSteps::ClientsX, ClientList);
    QVERIFY2(!clients.isEmpty(), "the client list did not open");
    const QString suppliersCaption = QStringLiteral("^Lista de Fornecedores$");
    const QString suppliers =
        TMainWindowSteps::OpenFromPicture(x, main, TMainWindowSteps::SuppliersX, suppliersCaption);
    QVERIFY2(!suppliers.isEmpty(), "the supplier list did not open");

    // A click on the main window raises its screens above it, the one used
    // last on top, whichever was opened first.
    const auto onTop = [&](const QString &upper, const QString &lower) {
        return TXSession::WaitFor([&] {
            const QList<qulonglong> stack = Stacking(x.Display());
            const qsizetype below = stack.indexOf(lower.toULongLong());
            return below >= 0 && stack.indexOf(main.toULongLong()) < below
                && stack.indexOf(upper.toULongLong()) > below;
        });
    };
    // Beside the screens, which open in the middle.
    const QPoint free(x.WindowSize(main).width() - 20, x.WindowSize(main).height() / 2);
    for (const QString &used : {suppliers, clients}) {
        QVERIFY(x.XDo({QStringLiteral("windowactivate"), QStringLiteral("--sync"), used}));
        QVERIFY(x.Click(main, free.x(), free.y()));
        QVERIFY2(onTop(used, used == clients ? suppliers : clients), qPrintable(used));
    }

    QVERIFY(x.XDo({QStringLiteral("windowminimize"), clients}));
    QVERIFY2(x.WaitForNoWindow(ClientList), "the client list did not go to the window bar");
    QTest::qWait(500);
    QCOMPARE(x.Windows(suppliersCaption), QStringList{suppliers});
    QCOMPARE(x.Windows(MainWindow), QStringList{main});

    // A click on the main window leaves the supplier list above it.
    QVERIFY(x.Click(main, free.x(), free.y()));
    QTest::qWait(500);
    QVERIFY(TXSession::WaitFor([&] {
        const QList<qulonglong> stack = Stacking(x.Display());
        const qsizetype below = stack.indexOf(main.toULongLong());
        return below >= 0 && stack.indexOf(suppliers.toULongLong()) > below;
    }));

    QVERIFY(x.XDo({QStringLiteral("windowminimize"), main}));
    QVERIFY2(x.WaitForNoWindow(MainWindow), "the main window could not be minimised");
    QVERIFY(x.AppRunning());

    ::kill(pid_t(x.App().processId()), SIGTERM);
    QVERIFY2(x.WaitForExit(), "the program did not end on SIGTERM");
    QCOMPARE(x.App().exitCode(), 0);
}

void TstOrdemServico::signalEndsItLikeSair_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM (logout, shutdown)") << int(SIGTERM);
    QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT);
}

// A desktop logout or Ctrl+C ends the program as "Sair" does: exit code 0,
// the database closed cleanly with what was saved in it.
void TstOrdemServico::signalEndsItLikeSair()
{
    QFETCH(int, signal);
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    TXSession x;
    QVERIFY2(x.Start(), qPrintable(x.Error()));
    QVERIFY2(Launch(x, db.Dir()), qPrintable(x.Error()));
    const QString window = x.WaitForWindow(MainWindow);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");

    // Save a client: the CLIENTES picture, F1 in the list, a name, "Gravar".
    OpenClientList(x, window);
    const QString list = x.WaitForWindow(ClientList);
    QVERIFY(x.Click(list, 150, 150));
    QVERIFY(x.Keys(list, {QStringLiteral("F1")}));
    const QString form = x.WaitForWindow(ClientForm);
    QVERIFY2(!form.isEmpty(), "the client form did not open");
    // Focus starts on the person type; Tab goes to the name. From the name,
    // twelve Tabs pass the open editors and reach "Gravar".
    QVERIFY(x.Keys(form, {QStringLiteral("Tab")}));
    QVERIFY(x.TypeText(form, QStringLiteral("Cliente do Sinal")));
    QStringList toSave(12, QStringLiteral("Tab"));
    toSave << QStringLiteral("space");
    QVERIFY(x.Keys(form, toSave));
    QVERIFY2(x.WaitForNoWindow(ClientForm), "the client form did not save and close");

    QVERIFY(x.AppRunning());
    ::kill(pid_t(x.App().processId()), signal);
    QVERIFY2(x.WaitForExit(), "the program did not end on the signal");
    QCOMPARE(x.App().exitStatus(), QProcess::NormalExit);
    QCOMPARE(x.App().exitCode(), 0);

    TDM dm;
    dm.Database->SetDatabaseName(db.Path());
    dm.OpenAll();
    QVERIFY(dm.ClientesQuery->Locate(QStringLiteral("NOME"), QStringLiteral("Cliente do Sinal")));
    dm.CloseAll();
    QVERIFY(!QFileInfo::exists(db.Path() + QStringLiteral(".delta")));
}

// The server stops under the running program (a power cut on the server
// computer): the next action says so in a box and the program goes on; once
// the server is back the same action works without a restart; and with the
// server gone again, a shutdown's SIGTERM ends the program (it stopped on
// the failed final commit's error box and stayed open).
void TstOrdemServico::serverStoppedUnderTheProgram()
{
    if (const QString missing = TFbServerControl::Missing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    // A copy of the empty database, reached through the server: this
    // process never attaches to the server itself.
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    QFile::setPermissions(db.Dir(), QFileDevice::Permissions(0x7777));
    QFile::setPermissions(QFileInfo(db.Path()).absolutePath(), QFileDevice::Permissions(0x7777));
    const QString name = qEnvironmentVariable("OS_FB_SERVER") + QLatin1Char(':') + db.Path();
    QTemporaryDir home;
    QVERIFY(home.isValid());
    {
        // The server's user and password, remembered on this computer.
        QSettings settings(home.filePath(QStringLiteral(".config/ordemservico/ordemservico.conf")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("user"), QStringLiteral("SYSDBA"));
        settings.setValue(QStringLiteral("password"), QStringLiteral("quillmoss"));
    }
    // Whatever happens below, the run's other tests find the server up.
    struct Restart
    {
        QString database;
        bool stopped = false;
        ~Restart()
        {
            if (stopped && TFbServerControl::Start())
                TFbServerControl::WaitUntilAnswering(database);
        }
    } restart{name};

    TXSession x;
    QVERIFY2(x.Start(), qPrintable(x.Error()));
    QVERIFY2(Launch(x, home.path(), {QStringLiteral("--database"), name}), qPrintable(x.Error()));
    const QString window = x.WaitForWindow(MainWindow);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    OpenClientList(x, window);
    const QString list = x.WaitForWindow(ClientList);

    restart.stopped = TFbServerControl::Stop();
    QVERIFY(restart.stopped);
    // F1: a new client takes its number from the server.
    QVERIFY(x.Click(list, 150, 150));
    QVERIFY(x.Keys(list, {QStringLiteral("F1")}));
    const QString box = x.WaitForWindow(ErrorBox);
    QVERIFY2(!box.isEmpty(), "no message when the server was gone");
    QVERIFY(x.Windows(ClientForm).isEmpty());
    QVERIFY(x.Keys(box, {QStringLiteral("Return")}));
    QVERIFY2(x.WaitForNoWindow(ErrorBox), "the message did not close");

    QVERIFY(TFbServerControl::Start());
    restart.stopped = false;
    QVERIFY(TFbServerControl::WaitUntilAnswering(name));
    QVERIFY(x.Click(list, 150, 150));
    QVERIFY(x.Keys(list, {QStringLiteral("F1")}));
    const QString form = x.WaitForWindow(ClientForm);
    QVERIFY2(!form.isEmpty(), "the client form did not open once the server was back");
    QVERIFY(x.Windows(ErrorBox).isEmpty());
    QVERIFY(x.Keys(form, {QStringLiteral("Escape")}));
    QVERIFY2(x.WaitForNoWindow(ClientForm), "the client form did not close");

    restart.stopped = TFbServerControl::Stop();
    QVERIFY(restart.stopped);
    ::kill(pid_t(x.App().processId()), SIGTERM);
    QVERIFY2(x.WaitForExit(), "the program did not end on SIGTERM with the server gone");
    QCOMPARE(x.App().exitCode(), 0);
}

// A server database with no user or password in the settings: the login box
// comes before the main window; a wrong password brings it back; the right
// one, remembered, opens the database and lands in the settings file,
// readable by its owner only.
void TstOrdemServico::serverLoginBoxAtStart()
{
    const QString host = qEnvironmentVariable("OS_FB_SERVER");
    if (host.isEmpty())
        QSKIP("OS_FB_SERVER is not set: no Firebird server was started for the tests");
    QTemporaryDir serverDir(qEnvironmentVariable("OS_FB_SERVER_DIR", QStringLiteral("/tmp")) + QStringLiteral("/os-login-XXXXXX"));
    QVERIFY(serverDir.isValid());
    QFile::setPermissions(serverDir.path(), QFileDevice::Permissions(0x7777));
    const QString name = host + QLatin1Char(':') + serverDir.path() + QStringLiteral("/DADOS.GDB");
    TDmSchema::CreateDatabaseFile(name);
    QTemporaryDir home;
    const QString conf = home.filePath(QStringLiteral(".config/ordemservico/ordemservico.conf"));

    TXSession x;
    QVERIFY2(x.Start(), qPrintable(x.Error()));
    QVERIFY2(Launch(x, home.path(), {QStringLiteral("--database"), name}), qPrintable(x.Error()));
    const QString login = QStringLiteral("Entrar no servidor");
    const QString first = x.WaitForWindow(login);
    QVERIFY2(!first.isEmpty(), "the login box did not appear");
    QVERIFY(x.Windows(MainWindow).isEmpty());
    // The user field first, then the password.
    QVERIFY(x.TypeText(first, QStringLiteral("SYSDBA")));
    QVERIFY(x.Keys(first, {QStringLiteral("Tab")}));
    QVERIFY(x.TypeText(first, QStringLiteral("errada")));
    QVERIFY(x.Keys(first, {QStringLiteral("Return")}));
    // Refused: a new box, the user kept, the cursor in the password.
    QString second;
    QVERIFY2(TXSession::WaitFor([&] {
                 const QStringList boxes = x.Windows(login);
                 second = boxes.isEmpty() || boxes.contains(first) ? QString() : boxes.first();
                 return !second.isEmpty();
             }),
             "the login box was not shown again after a wrong password");
    QVERIFY(x.Windows(MainWindow).isEmpty());
    QVERIFY(x.TypeText(second, QStringLiteral("quillmoss")));
    // "Lembrar neste computador", then Enter.
    QVERIFY(x.Keys(second, {QStringLiteral("Tab"), QStringLiteral("space"), QStringLiteral("Return")}));
    const QString window = x.WaitForWindow(MainWindow);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    OpenClientList(x, window);
    QVERIFY(x.Windows(ErrorBox).isEmpty());
    QVERIFY(TMainWindowSteps::ChooseSair(x, window));
    QVERIFY2(x.WaitForExit(), "the program did not end after Sair");
    QCOMPARE(x.App().exitCode(), 0);
    QSettings settings(conf, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("user")).toString(), QStringLiteral("SYSDBA"));
    QCOMPARE(settings.value(QStringLiteral("password")).toString(), QStringLiteral("quillmoss"));
    QCOMPARE(int(QFileInfo(conf).permissions() & 0x0777), 0x0600);
}

QTEST_MAIN(TstOrdemServico)
#include "tst_ordemservico.moc"
