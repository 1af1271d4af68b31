// The real program, started under a virtual X server on a fresh database:
// its main window appears with no error, and "Arquivo" > "Sair" ends it
// cleanly, leaving the database closed.
#include "tdm.h"
#include "tdmschema.h"
#include "tfbdatabase.h"
#include "tfbfield.h"
#include "tfbquery.h"
#include "tfbtestdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Runs xdotool and returns its output lines.
QStringList XDo(const QString &display, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

QString ProgramPath()
{
    return qEnvironmentVariable("OS_TEST_BINARY_DIR") + QStringLiteral("/bin/ordemservico");
}

QStringList WindowsNamed(const QString &display, const QString &pattern)
{
    return XDo(display, {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern});
}

const QString MainCaption = QStringLiteral("^Ordem de Serviço 1\\.5  - Tarvo Vodevuru$");
// The caption of every message box: the question, the error box.
const QString BoxCaption = QStringLiteral("^OS - Tarvo Vodevuru$");

// Polls `done` every 100 ms until it holds or `ms` have passed.
bool WaitFor(const std::function<bool()> &done, int ms)
{
    for (int waited = 0; !done(); waited += 100) {
        if (waited >= ms)
            return false;
        QThread::msleep(100);
    }
    return true;
}

} // namespace

class TstOrdemServico : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase();
    void startsAndEndsCleanly();
    void withoutTheClientLibraryItDoesNotStart();
    void firstStartAndChosenDatabase_data();
    void firstStartAndChosenDatabase();
    void commandLineAnswers_data();
    void commandLineAnswers();

private:
    QProcess m_xvfb;
    QString m_display;
    bool StartXvfb();
    void QuitBySair(QProcess &app, const QString &window);
    void Start(QProcess &app, const QString &home, const QStringList &args = {},
               const QString &libraryPath = {});
    QString Unavailable(const TFbTestDb &db);
};

void TstOrdemServico::cleanupTestCase()
{
    if (m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.terminate();
        m_xvfb.waitForFinished(5000);
    }
}

void TstOrdemServico::withoutTheClientLibraryItDoesNotStart()
{
    TFbTestDb db;
    if (const QString missing = Unavailable(db); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    // A library by that name that cannot be loaded is found first.
    QTemporaryDir libs;
    QFile broken(libs.filePath(QStringLiteral("libfbclient.so.2")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.close();

    QProcess app;
    Start(app, db.Dir(), {}, libs.path());
    QVERIFY(app.waitForStarted(10000));

    // The failure in the standard error box, and no main window.
    const QString errorBox = QStringLiteral("^OS - Tarvo Vodevuru$");
    QStringList boxes;
    for (int i = 0; i < 100 && boxes.isEmpty() && app.state() == QProcess::Running; ++i) {
        QThread::msleep(100);
        boxes = WindowsNamed(m_display, errorBox);
    }
    QCOMPARE(boxes.size(), 1);
    QVERIFY(WindowsNamed(m_display, QStringLiteral("Ordem de Servi")).isEmpty());
    XDo(m_display, {QStringLiteral("windowfocus"), boxes.first()});
    QThread::msleep(300);
    XDo(m_display, {QStringLiteral("key"), QStringLiteral("Return")});
    QVERIFY2(app.waitForFinished(20000), "the program did not end");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 1);
}

// Why the program cannot be run here, or an empty text when it can (the
// virtual X server is then running).
QString TstOrdemServico::Unavailable(const TFbTestDb &db)
{
    if (!QFileInfo(ProgramPath()).isExecutable())
        return QStringLiteral("build/bin/ordemservico has not been built");
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return QStringLiteral("Xvfb and xdotool are needed (packages xvfb, xdotool)");
    if (!db.IsValid())
        return db.Error();
    if (!StartXvfb())
        return QStringLiteral("the virtual X server does not start");
    return {};
}

bool TstOrdemServico::StartXvfb()
{
    if (m_xvfb.state() == QProcess::Running)
        return true;
    // A display number nobody uses; the server says it is ready by creating
    // its socket.
    for (int n = 90 + int(QCoreApplication::applicationPid() % 50); n < 200; ++n) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        if (QFileInfo::exists(socket) || QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        m_display = QStringLiteral(":%1").arg(n);
        m_xvfb.start(QStringLiteral("Xvfb"), {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                                              QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                              QStringLiteral("tcp")});
        if (!m_xvfb.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100 && m_xvfb.state() == QProcess::Running; ++i) {
            if (QFileInfo::exists(socket))
                return true;
            QThread::msleep(50);
        }
        m_xvfb.kill();
        m_xvfb.waitForFinished(2000);
    }
    return false;
}

void TstOrdemServico::startsAndEndsCleanly()
{
    TFbTestDb db;
    if (const QString missing = Unavailable(db); !missing.isEmpty())
        QSKIP(qPrintable(missing));

    QProcess app;
    Start(app, db.Dir());
    QVERIFY(app.waitForStarted(10000));

    QStringList windows;
    WaitFor([&] { return app.state() != QProcess::Running || !(windows = WindowsNamed(m_display, MainCaption)).isEmpty(); },
            20000);
    QVERIFY2(!windows.isEmpty(), "the main window did not appear");
    // The database opened: no error box over the window.
    QThread::msleep(700);
    QVERIFY(WindowsNamed(m_display, BoxCaption).isEmpty());
    QCOMPARE(app.state(), QProcess::Running);

    // Regression: under a real X server, swapping a picture under the
    // cursor made the toolkit send enter and leave events that swapped it
    // back, over and over, until the program died. Hover over the
    // "CLIENTES" picture and click it: the client list opens.
    const QString window = windows.first();
    XDo(m_display, {QStringLiteral("windowfocus"), window});
    QThread::msleep(300);
    XDo(m_display, {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("200"),
                    QStringLiteral("300")});
    QThread::msleep(300);
    XDo(m_display, {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("33"),
                    QStringLiteral("50")});
    QThread::msleep(500);
    XDo(m_display, {QStringLiteral("click"), QStringLiteral("1")});
    QStringList lists;
    WaitFor([&] { return app.state() != QProcess::Running
                         || !(lists = WindowsNamed(m_display, QStringLiteral("^Lista de Clientes$"))).isEmpty(); },
            5000);
    QCOMPARE(app.state(), QProcess::Running);
    QCOMPARE(lists.size(), 1);
    // Back onto the background and over the pictures once more.
    for (const char *x : {"100", "33", "300", "100"}) {
        XDo(m_display, {QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                        QString::fromLatin1(x), QStringLiteral("50")});
        QThread::msleep(150);
    }
    QCOMPARE(app.state(), QProcess::Running);

    QuitBySair(app, window);

    // The database was closed properly: this process can open it, and it is
    // not left under a backup lock.
    TDM dm;
    dm.Database->SetDatabaseName(db.Path());
    dm.OpenAll();
    QCOMPARE(dm.ConfigQueryIDCONFIG->AsInteger(), 1);
    dm.CloseAll();
    QVERIFY(!QFileInfo::exists(db.Path() + QStringLiteral(".delta")));
}

// The real program on the virtual X server, with HOME (and so the default
// database and the settings file) in `home`.
void TstOrdemServico::Start(QProcess &app, const QString &home, const QStringList &args, const QString &libraryPath)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (!libraryPath.isEmpty())
        env.insert(QStringLiteral("LD_LIBRARY_PATH"), libraryPath);
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(ProgramPath(), args);
}

// "Arquivo" (first menu, at the window's top left), then "Sair": the second
// item below the separator-free top. The program must then end normally.
void TstOrdemServico::QuitBySair(QProcess &app, const QString &window)
{
    XDo(m_display, {QStringLiteral("windowfocus"), window});
    QThread::msleep(300);
    XDo(m_display, {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("22"),
                    QStringLiteral("10"), QStringLiteral("click"), QStringLiteral("1")});
    QThread::msleep(500);
    XDo(m_display, {QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
    QVERIFY2(app.waitForFinished(20000), "the program did not end after Sair");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
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
    if (const QString missing = Unavailable(db); !missing.isEmpty())
        QSKIP(qPrintable(missing));

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
        QFile::setPermissions(serverDir->path(), QFileDevice::Permissions(0x7777));
        chosen = host + QLatin1Char(':') + serverDir->path() + QStringLiteral("/DADOS.GDB");
        TDmSchema::CreateDatabaseFile(chosen);
        args << QStringLiteral("--database") << chosen;
    }

    QProcess app;
    Start(app, home.path(), args);
    QVERIFY(app.waitForStarted(10000));

    QStringList windows, boxes;
    if (!answer.isEmpty()) {
        // The question comes before the main window.
        QVERIFY2(WaitFor([&] { return app.state() != QProcess::Running
                                      || !(boxes = WindowsNamed(m_display, BoxCaption)).isEmpty(); },
                         20000),
                 "the first-start question did not appear");
        QCOMPARE(boxes.size(), 1);
        QVERIFY(WindowsNamed(m_display, MainCaption).isEmpty());
        QVERIFY(!QFileInfo::exists(defaultFolder));
        XDo(m_display, {QStringLiteral("windowfocus"), boxes.first()});
        QThread::msleep(300);
        XDo(m_display, {QStringLiteral("key"), answer});
    }
    WaitFor([&] { return app.state() != QProcess::Running || !(windows = WindowsNamed(m_display, MainCaption)).isEmpty(); },
            20000);
    QVERIFY2(!windows.isEmpty(), "the main window did not appear");
    if (openFails) {
        // The failure is shown once, in the standard error box; once it is
        // closed the window is there to be used.
        QVERIFY2(WaitFor([&] { return !(boxes = WindowsNamed(m_display, BoxCaption)).isEmpty(); }, 10000),
                 "no error box");
        QCOMPARE(boxes.size(), 1);
        XDo(m_display, {QStringLiteral("windowfocus"), boxes.first()});
        QThread::msleep(300);
        XDo(m_display, {QStringLiteral("key"), QStringLiteral("Return")});
        QVERIFY2(WaitFor([&] { return WindowsNamed(m_display, BoxCaption).isEmpty(); }, 5000),
                 "the error box did not close");
    }
    // No (further) box over the window.
    QThread::msleep(700);
    QVERIFY(WindowsNamed(m_display, BoxCaption).isEmpty());
    QCOMPARE(app.state(), QProcess::Running);
    QuitBySair(app, windows.first());

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
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "ordemservico 1.5\n" << "";
    QTest::newRow("unknown option") << QStringList{"--banco"} << 2 << "" << "ordemservico: Unknown option 'banco'";
    QTest::newRow("missing value") << QStringList{"--database"} << 2 << "" << "--database";
}

void TstOrdemServico::commandLineAnswers()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    if (!QFileInfo(ProgramPath()).isExecutable())
        QSKIP("build/bin/ordemservico has not been built");
    QTemporaryDir home;
    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // No screen at all for the answers; the refusal comes after Qt's own
    // options are read, which needs a platform.
    if (exitCode == 0)
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    else
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    app.setProcessEnvironment(env);
    app.start(ProgramPath(), args);
    QVERIFY(app.waitForFinished(20000));
    const QString stdOut = QString::fromLocal8Bit(app.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(app.readAllStandardError());
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), exitCode);
    QVERIFY2(stdOut.contains(out), qPrintable(stdOut));
    QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
    if (exitCode != 0)
        QVERIFY(stdOut.isEmpty());
    // Nothing was made in the home folder.
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("OS - Tarvo Vodevuru"))));
}

QTEST_MAIN(TstOrdemServico)
#include "tst_ordemservico.moc"
