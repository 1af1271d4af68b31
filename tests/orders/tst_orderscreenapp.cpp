// The real program under a virtual X server: the order screen opened from
// the main window's O.S. picture for the current client, an order typed in
// with accented text and amounts the Brazilian way, saved with F5 while the
// focus is still in a money editor, and found in the database file with its
// client, number and exact total. Every wait is for a condition.
#include "tdm.h"
#include "tfbdatabase.h"
#include "tfbfield.h"
#include "tfbquery.h"
#include "tfbtestdb.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>
#include <functional>

namespace {

QString ProgramPath()
{
    return qEnvironmentVariable("OS_TEST_BINARY_DIR") + QStringLiteral("/bin/ordemservico");
}

// True as soon as `condition` holds, false when `ms` pass first.
bool WaitUntil(const std::function<bool()> &condition, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

} // namespace

class TstOrderScreenApp : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase();
    void registersAnOrderEndToEnd();

private:
    QStringList XDo(const QStringList &args) const;
    QStringList Windows(const QString &name) const;
    bool StartXvfb();
    void BindAccentedKeys();

    QProcess m_xvfb;
    QString m_display;
};

QStringList TstOrderScreenApp::XDo(const QStringList &args) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList TstOrderScreenApp::Windows(const QString &name) const
{
    return XDo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                QStringLiteral("^") + name + QStringLiteral("$")});
}

bool TstOrderScreenApp::StartXvfb()
{
    for (int n = 150 + int(QCoreApplication::applicationPid() % 50); n < 260; ++n) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        if (QFileInfo::exists(socket) || QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        m_display = QStringLiteral(":%1").arg(n);
        m_xvfb.start(QStringLiteral("Xvfb"), {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                                              QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                              QStringLiteral("tcp"),
                                              // keeps its keymap when the last program leaves
                                              QStringLiteral("-noreset")});
        if (!m_xvfb.waitForStarted(5000))
            return false;
        // Ready once its socket is there.
        if (WaitUntil([&] { return QFileInfo::exists(socket) || m_xvfb.state() != QProcess::Running; }, 5000)
            && m_xvfb.state() == QProcess::Running)
            return true;
        m_xvfb.kill();
        m_xvfb.waitForFinished(2000);
    }
    return false;
}

// Keys of their own for the accented letters typed below, so that typing
// them never rebinds a key for the moment (which the program may read after
// the binding is gone, and so lose the letter). Without xkbcomp the typing
// binds keys as it goes.
void TstOrderScreenApp::BindAccentedKeys()
{
    QProcess dump;
    dump.start(QStringLiteral("xkbcomp"), {QStringLiteral("-xkb"), m_display, QStringLiteral("-")});
    if (!dump.waitForFinished(10000) || dump.exitCode() != 0)
        return;
    QString keymap = QString::fromLatin1(dump.readAllStandardOutput());
    const int symbols = keymap.indexOf(QStringLiteral("xkb_symbols"));
    if (symbols < 0)
        return;
    static const QRegularExpression spare(QStringLiteral("\\n\\s*key <FK1[345]>[^\\n]*"));
    keymap.remove(spare);
    const int end = keymap.indexOf(QStringLiteral("\n};"), keymap.indexOf(QStringLiteral("xkb_symbols")));
    if (end < 0)
        return;
    keymap.insert(end, QStringLiteral("\n    key <FK13> { [ atilde, Atilde ] };"
                                      "\n    key <FK14> { [ ccedilla, Ccedilla ] };"
                                      "\n    key <FK15> { [ acircumflex, Acircumflex ] };"));
    QProcess load;
    load.start(QStringLiteral("xkbcomp"), {QStringLiteral("-w"), QStringLiteral("0"), QStringLiteral("-"), m_display});
    load.write(keymap.toLatin1());
    load.closeWriteChannel();
    load.waitForFinished(10000);
}

void TstOrderScreenApp::cleanupTestCase()
{
    if (m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.terminate();
        m_xvfb.waitForFinished(5000);
    }
}

void TstOrderScreenApp::registersAnOrderEndToEnd()
{
    if (!QFileInfo(ProgramPath()).isExecutable())
        QSKIP("build/bin/ordemservico has not been built");
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("Xvfb and xdotool are needed (packages xvfb, xdotool)");
    TFbTestDb db;
    QVERIFY2(db.IsValid(), qPrintable(db.Error()));
    {
        // One client: the current one when the program opens its clients.
        auto dm = db.MakeDM();
        dm->ClientesQuery->Append();
        dm->ClientesQueryNOME->SetAsString(QStringLiteral("JOSÉ CONCEIÇÃO"));
        dm->ClientesQuery->ApplyChanges();
        QCOMPARE(dm->ClientesQueryIDCLIENTE->AsInteger(), 1);
    }
    QVERIFY2(StartXvfb(), "the virtual X server does not start");
    BindAccentedKeys();

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), db.Dir());
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(ProgramPath(), {});
    QVERIFY(app.waitForStarted(10000));
    auto running = [&] { return app.state() == QProcess::Running; };

    QStringList main;
    QVERIFY2(WaitUntil([&] {
                 main = Windows(QStringLiteral("Ordem de Serviço 1.5  - Tarvo Vodevuru"));
                 return !main.isEmpty() || !running();
             }, 60000) && !main.isEmpty(),
             "the main window did not appear");

    // The O.S. picture (the third, 135 pixels from the left); a click that
    // lands while the picture swaps under the cursor is tried again.
    QStringList orders;
    for (int attempt = 0; attempt < 5 && orders.isEmpty() && running(); ++attempt) {
        XDo({QStringLiteral("windowfocus"), main.first(), QStringLiteral("mousemove"), QStringLiteral("--window"),
             main.first(), QStringLiteral("168"), QStringLiteral("50"), QStringLiteral("click"), QStringLiteral("1")});
        WaitUntil([&] { orders = Windows(QStringLiteral("Ordem de Serviço")); return !orders.isEmpty(); }, 3000);
    }
    QVERIFY2(orders.size() == 1, "the order screen did not open");

    // F1 registers (the focus goes to the description); the keys are queued
    // in order, each handled before the next.
    XDo({QStringLiteral("windowfocus"), orders.first()});
    XDo({QStringLiteral("key"), QStringLiteral("F1")});
    XDo({QStringLiteral("type"), QStringLiteral("Televisão Câmera")});
    XDo({QStringLiteral("key"), QStringLiteral("Tab")});
    XDo({QStringLiteral("type"), QStringLiteral("Açucena")});
    // Requester, date, delivery, notes, status, client name, repairs,
    // technician: the service value is eight stops further.
    XDo({QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
         QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
         QStringLiteral("Tab")});
    XDo({QStringLiteral("key"), QStringLiteral("ctrl+a")});
    XDo({QStringLiteral("type"), QStringLiteral("1.234,50")});
    // Then the discount (the closing half's own order), saved at once.
    XDo({QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("ctrl+a")});
    XDo({QStringLiteral("type"), QStringLiteral("34,5")});
    XDo({QStringLiteral("key"), QStringLiteral("F5")});
    // Esc closes the screen (nothing is pending any more: no question).
    XDo({QStringLiteral("key"), QStringLiteral("Escape")});
    QVERIFY2(WaitUntil([&] { return Windows(QStringLiteral("Ordem de Serviço")).isEmpty() || !running(); }, 10000),
             "the order screen did not close: the order was not saved");
    QVERIFY(running());
    QVERIFY(Windows(QStringLiteral("OS - Tarvo Vodevuru")).isEmpty());   // no error box

    // "Arquivo" > "Sair".
    XDo({QStringLiteral("windowfocus"), main.first(), QStringLiteral("mousemove"), QStringLiteral("--window"),
         main.first(), QStringLiteral("22"), QStringLiteral("10"), QStringLiteral("click"), QStringLiteral("1")});
    XDo({QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
    if (!app.waitForFinished(20000)) {
        app.kill();
        app.waitForFinished(5000);
    }

    TDM dm;
    dm.Database->SetDatabaseName(db.Path());
    dm.OpenAll();
    TFbQuery *q = dm.AuxQuery;
    q->SetSQL(QStringLiteral("select * from ordemserv"));
    q->Open();
    QCOMPARE(q->RecordCount(), 1);
    QCOMPARE(q->FieldByName(QStringLiteral("DESCRICAO"))->AsString(), QStringLiteral("Televisão Câmera"));
    QCOMPARE(q->FieldByName(QStringLiteral("SOLICITANTE"))->AsString(), QStringLiteral("Açucena"));
    QCOMPARE(q->FieldByName(QStringLiteral("IDCLIENTE"))->AsInteger(), 1);
    QCOMPARE(q->FieldByName(QStringLiteral("NORDEM"))->AsString(), QStringLiteral("000001"));
    QCOMPARE(q->FieldByName(QStringLiteral("VALOR"))->AsFloat(), 1234.5);
    QCOMPARE(q->FieldByName(QStringLiteral("DESCONTO"))->AsFloat(), 34.5);
    QCOMPARE(q->FieldByName(QStringLiteral("VALORTOT"))->AsFloat(), 1200.0);
    q->Close();
    dm.CloseAll();
}

QTEST_MAIN(TstOrderScreenApp)
#include "tst_orderscreenapp.moc"
