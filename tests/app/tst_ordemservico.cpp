// The real program, started under a virtual X server on a fresh database:
// its main window appears with no error, and "Arquivo" > "Sair" ends it
// cleanly, leaving the database closed.
#include "tdm.h"
#include "tfbdatabase.h"
#include "tfbfield.h"
#include "tfbquery.h"
#include "tfbtestdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

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

// The WM_TRANSIENT_FOR hint of a window (0 when it has none).
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

QStringList WindowsNamed(const QString &display, const QString &pattern)
{
    return XDo(display, {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern});
}

} // namespace

class TstOrdemServico : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase();
    void startsAndEndsCleanly_data();
    void startsAndEndsCleanly();
    void withoutTheClientLibraryItDoesNotStart();
    void signalEndsItLikeSair_data();
    void signalEndsItLikeSair();

private:
    QProcess m_xvfb;
    QString m_display;
    bool StartXvfb();
    QString Unavailable(const TFbTestDb &db);
    // Starts the program on the virtual display with HOME set to `home`.
    bool Start(QProcess &app, const QString &home);
    // The main window once it is shown (empty when it never is).
    QString MainWindow(QProcess &app);
    // Hovers over the CLIENTES picture and clicks it: the client lists shown.
    QStringList OpenClientList(const QString &window, QProcess &app);
};

bool TstOrdemServico::Start(QProcess &app, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(ProgramPath(), {});
    return app.waitForStarted(10000);
}

QString TstOrdemServico::MainWindow(QProcess &app)
{
    const QString caption = QStringLiteral("^Ordem de Serviço 1.5  - Tarvo Vodevuru$");
    QStringList windows;
    for (int i = 0; i < 200 && windows.isEmpty() && app.state() == QProcess::Running; ++i) {
        QThread::msleep(100);
        windows = WindowsNamed(m_display, caption);
    }
    return windows.value(0);
}

QStringList TstOrdemServico::OpenClientList(const QString &window, QProcess &app)
{
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
    for (int i = 0; i < 50 && lists.isEmpty() && app.state() == QProcess::Running; ++i) {
        QThread::msleep(100);
        lists = WindowsNamed(m_display, QStringLiteral("^Lista de Clientes$"));
    }
    return lists;
}

void TstOrdemServico::cleanupTestCase()
{
    if (m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.terminate();
        m_xvfb.waitForFinished(5000);
    }
}

void TstOrdemServico::withoutTheClientLibraryItDoesNotStart()
{
    const QString bin = ProgramPath();
    TFbTestDb db;
    if (const QString missing = Unavailable(db); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    // A library by that name that cannot be loaded is found first.
    QTemporaryDir libs;
    QFile broken(libs.filePath(QStringLiteral("libfbclient.so.2")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.close();

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), db.Dir());
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("LD_LIBRARY_PATH"), libs.path());
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(bin, {});
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

void TstOrdemServico::startsAndEndsCleanly_data()
{
    QTest::addColumn<bool>("withDatabase");
    QTest::newRow("fresh database") << true;
    QTest::newRow("no database file") << false;
}

// Why the program cannot be run here, or an empty text when it can (the
// virtual X server is then running).
QString TstOrdemServico::Unavailable(const TFbTestDb &db)
{
    if (!QFileInfo(ProgramPath()).isExecutable())
        return QStringLiteral("build/bin/ordemservico has not been built");
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty())
        return QStringLiteral("Xvfb, xdotool and xprop are needed (packages xvfb, xdotool, x11-utils)");
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
    QFETCH(bool, withDatabase);
    TFbTestDb db;
    if (const QString missing = Unavailable(db); !missing.isEmpty())
        QSKIP(qPrintable(missing));

    QTemporaryDir emptyHome;
    QProcess app;
    QVERIFY(Start(app, withDatabase ? db.Dir() : emptyHome.path()));
    const QString window = MainWindow(app);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    const QString errorBox = QStringLiteral("^OS - Tarvo Vodevuru$");
    if (withDatabase) {
        // The database opened: no error box over the window.
        QThread::msleep(700);
        QVERIFY(WindowsNamed(m_display, errorBox).isEmpty());
    } else {
        // The failure is shown once, in the standard error box; once it is
        // closed the window is there to be used.
        QStringList boxes;
        for (int i = 0; i < 100 && boxes.isEmpty(); ++i) {
            QThread::msleep(100);
            boxes = WindowsNamed(m_display, errorBox);
        }
        QCOMPARE(boxes.size(), 1);
        XDo(m_display, {QStringLiteral("windowfocus"), boxes.first()});
        QThread::msleep(300);
        XDo(m_display, {QStringLiteral("key"), QStringLiteral("Return")});
        for (int i = 0; i < 50 && !boxes.isEmpty(); ++i) {
            QThread::msleep(100);
            boxes = WindowsNamed(m_display, errorBox);
        }
        QVERIFY2(boxes.isEmpty(), "the error box did not close");
        QThread::msleep(300);
        QVERIFY(WindowsNamed(m_display, errorBox).isEmpty());
    }
    QCOMPARE(app.state(), QProcess::Running);

    if (withDatabase) {
        // Regression: under a real X server, swapping a picture under the
        // cursor made the toolkit send enter and leave events that swapped it
        // back, over and over, until the program died. Hover over the
        // "CLIENTES" picture and click it: the client list opens.
        const QStringList lists = OpenClientList(window, app);
        QCOMPARE(app.state(), QProcess::Running);
        QCOMPARE(lists.size(), 1);
        // An owned window: the window manager is told its owner, so that it
        // stays above the main window.
        QTRY_COMPARE(TransientFor(m_display, lists.first()), window.toULongLong());
        // Back onto the background and over the pictures once more.
        for (const char *x : {"100", "33", "300", "100"}) {
            XDo(m_display, {QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                            QString::fromLatin1(x), QStringLiteral("50")});
            QThread::msleep(150);
        }
        QCOMPARE(app.state(), QProcess::Running);
    }

    // "Arquivo" (first menu, at the window's top left), then "Sair": the
    // second item below the separator-free top.
    XDo(m_display, {QStringLiteral("windowfocus"), window});
    QThread::msleep(300);
    XDo(m_display, {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("22"),
                    QStringLiteral("10"), QStringLiteral("click"), QStringLiteral("1")});
    QThread::msleep(500);
    XDo(m_display, {QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});

    QVERIFY2(app.waitForFinished(20000), "the program did not end after Sair");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);

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
    if (const QString missing = Unavailable(db); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    QProcess app;
    QVERIFY(Start(app, db.Dir()));
    const QString window = MainWindow(app);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    QThread::msleep(700);

    // Save a client: the CLIENTES picture, F1, a name, "Gravar".
    const QStringList lists = OpenClientList(window, app);
    QCOMPARE(lists.size(), 1);
    QThread::msleep(500);
    XDo(m_display, {QStringLiteral("mousemove"), QStringLiteral("--window"), lists.first(), QStringLiteral("150"),
                    QStringLiteral("150"), QStringLiteral("click"), QStringLiteral("1")});
    QThread::msleep(300);
    XDo(m_display, {QStringLiteral("key"), QStringLiteral("F1")});
    QStringList forms;
    for (int i = 0; i < 50 && forms.isEmpty(); ++i) {
        QThread::msleep(100);
        forms = WindowsNamed(m_display, QStringLiteral("^Cadastro de Cliente"));
    }
    QCOMPARE(forms.size(), 1);
    XDo(m_display, {QStringLiteral("windowfocus"), forms.first()});
    QThread::msleep(300);
    // Focus starts on the person type; Tab goes to the name. From the name,
    // twelve Tabs pass the open editors and reach "Gravar".
    XDo(m_display, {QStringLiteral("key"), QStringLiteral("Tab")});
    XDo(m_display, {QStringLiteral("type"), QStringLiteral("Cliente do Sinal")});
    for (int i = 0; i < 12; ++i)
        XDo(m_display, {QStringLiteral("key"), QStringLiteral("Tab")});
    XDo(m_display, {QStringLiteral("key"), QStringLiteral("space")});
    for (int i = 0; i < 50 && !forms.isEmpty(); ++i) {
        QThread::msleep(100);
        forms = WindowsNamed(m_display, QStringLiteral("^Cadastro de Cliente"));
    }
    QVERIFY2(forms.isEmpty(), "the client form did not save and close");

    QCOMPARE(app.state(), QProcess::Running);
    ::kill(pid_t(app.processId()), signal);
    QVERIFY2(app.waitForFinished(20000), "the program did not end on the signal");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);

    TDM dm;
    dm.Database->SetDatabaseName(db.Path());
    dm.OpenAll();
    QVERIFY(dm.ClientesQuery->Locate(QStringLiteral("NOME"), QStringLiteral("Cliente do Sinal")));
    dm.CloseAll();
    QVERIFY(!QFileInfo::exists(db.Path() + QStringLiteral(".delta")));
}

QTEST_MAIN(TstOrdemServico)
#include "tst_ordemservico.moc"
