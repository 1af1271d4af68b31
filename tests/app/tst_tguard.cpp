// The one guard every handler runs through: an escaping error reaches the
// standard error box and the application keeps running.
#include "app/tapplication.h"
#include "app/tguard.h"
#include "data/efberror.h"
#include "tests/support/tmessagerecorder.h"

#include <QPushButton>
#include <QtTest>
#include <stdexcept>

class TstTGuard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }
    void errorReachesTheErrorBox();
    void normalEndShowsNothing();
    void unknownErrorIsShownToo();
    void lostConnectionIsToldInPortuguese();
    void guardedSlotKeepsTheApplicationRunning();
    void errorEscapingAnEventHandlerIsShown();
};

void TstTGuard::errorReachesTheErrorBox()
{
    TMessageRecorder recorder;
    bool after = false;
    const bool ok = Guard([&] {
        throw std::runtime_error("Field 'NOME' not found");
        after = true;
    });
    QVERIFY(!ok);
    QVERIFY(!after);
    QCOMPARE(recorder.Count(), 1);
    QCOMPARE(recorder.Last().text, QStringLiteral("Field 'NOME' not found."));
    QCOMPARE(recorder.Last().icon, TMessages::Error);
    QCOMPARE(recorder.Last().caption, QStringLiteral("OS - Tarvo Vodevuru"));
}

void TstTGuard::normalEndShowsNothing()
{
    TMessageRecorder recorder;
    int runs = 0;
    QVERIFY(Guard([&] { ++runs; }));
    QCOMPARE(runs, 1);
    QCOMPARE(recorder.Count(), 0);
}

void TstTGuard::unknownErrorIsShownToo()
{
    TMessageRecorder recorder;
    QVERIFY(!Guard([] { throw 42; }));
    QCOMPARE(recorder.Count(), 1);
    QCOMPARE(recorder.Last().icon, TMessages::Error);
    QVERIFY(!recorder.Last().text.isEmpty());
}

// The server stopped under a save: "Error reading data from the
// connection." alone told the clerk nothing.
void TstTGuard::lostConnectionIsToldInPortuguese()
{
    TMessageRecorder recorder;
    QVERIFY(!Guard([] { throw EFbError(QStringLiteral("Error reading data from the connection."), -902, 335544726); }));
    QCOMPARE(recorder.Count(), 1);
    QCOMPARE(recorder.Last().icon, TMessages::Error);
    QVERIFY2(recorder.Last().text.startsWith(QStringLiteral("A conexão com o banco de dados foi perdida")),
             qPrintable(recorder.Last().text));
    QVERIFY2(recorder.Last().text.contains(QStringLiteral("Error reading data from the connection")),
             qPrintable(recorder.Last().text));
    // Any other database error is shown as it is.
    QVERIFY(!Guard([] { throw EFbError(QStringLiteral("Update Failed"), 0, 0); }));
    QCOMPARE(recorder.Last().text, QStringLiteral("Update Failed."));
}

void TstTGuard::guardedSlotKeepsTheApplicationRunning()
{
    TMessageRecorder recorder;
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, Guarded([&] {
        ++clicks;
        throw std::runtime_error("Não é válido: ação");
    }));
    button.click();
    button.click();
    QCOMPARE(clicks, 2);
    QCOMPARE(recorder.Texts(), QStringList({QStringLiteral("Não é válido: ação."), QStringLiteral("Não é válido: ação.")}));
}

class Thrower : public QObject
{
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("I/O error");
        return QObject::event(e);
    }
};

void TstTGuard::errorEscapingAnEventHandlerIsShown()
{
    // The application object itself guards every event it delivers.
    int argc = 0;
    Q_UNUSED(argc);
    TMessageRecorder recorder;
    Thrower thrower;
    auto *app = qobject_cast<TApplication *>(QCoreApplication::instance());
    QVERIFY2(app, "the test runs under TApplication (see main)");
    QEvent event(QEvent::User);
    QCOMPARE(app->notify(&thrower, &event), false);
    QCOMPARE(recorder.Texts(), QStringList{QStringLiteral("I/O error.")});
}

// The test runs under the application class of the executable.
int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    TApplication::Configure();
    TstTGuard test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_tguard.moc"
