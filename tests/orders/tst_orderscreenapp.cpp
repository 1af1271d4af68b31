// The real program under a virtual X server: the order screen opened from
// the main window's O.S. picture for the current client, an order typed in
// with accented text and amounts the Brazilian way, saved with F5 while the
// focus is still in a money editor, and found in the database file with its
// client, number and exact total. Every wait is for a condition.
#include "app/tquitsignals.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/tmainwindowsteps.h"
#include "tests/support/txsession.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

using Steps = TMainWindowSteps;
const QString OrderScreen = QStringLiteral("^Ordem de Serviço$");

} // namespace

class TstOrderScreenApp : public QObject
{
    Q_OBJECT
private slots:
    void registersAnOrderEndToEnd();
    void signalWithOrderPendingSavedHalfTyped_data();
    void signalWithOrderPendingSavedHalfTyped();
};

void TstOrderScreenApp::registersAnOrderEndToEnd()
{
    const QString program = TXSession::ProgramPath(QStringLiteral("ordemservico"));
    if (!QFileInfo(program).isExecutable())
        QSKIP("build/bin/ordemservico has not been built");
    if (const QString missing = TXSession::Missing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    {
        // One client: the current one when the program opens its clients.
        auto dm = db.MakeDM();
        dm->ClientesQuery->Append();
        dm->ClientesQueryNOME->SetAsString(QStringLiteral("JOSÉ CONCEIÇÃO"));
        dm->ClientesQuery->ApplyChanges();
        QCOMPARE(dm->ClientesQueryIDCLIENTE->AsInteger(), 1);
    }
    TXSession x;
    // Keys of their own for the accented letters typed below.
    const QString main = Steps::Launch(x, db, QStringLiteral("ãçâ"));
    QVERIFY2(!main.isEmpty(), qPrintable(QStringLiteral("the main window did not appear: ") + x.Error()));

    const QString orders = Steps::OpenFromPicture(x, main, Steps::OrdersX, OrderScreen);
    QVERIFY2(!orders.isEmpty(), "the order screen did not open");
    QCOMPARE(x.Windows(OrderScreen).size(), 1);

    // F1 registers (the focus goes to the description); the keys are queued
    // in order, each handled before the next.
    QVERIFY(x.Keys(orders, {QStringLiteral("F1")}));
    QVERIFY(x.TypeText(orders, QStringLiteral("Televisão Câmera")));
    QVERIFY(x.Keys(orders, {QStringLiteral("Tab")}));
    QVERIFY(x.TypeText(orders, QStringLiteral("Açucena")));
    // Requester, date, delivery, notes, status, client name, repairs,
    // technician: the service value is eight stops further.
    QVERIFY(x.Keys(orders, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                            QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                            QStringLiteral("ctrl+a")}));
    QVERIFY(x.TypeText(orders, QStringLiteral("1.234,50")));
    // Then the discount (the closing half's own order), saved at once
    // while the focus is still in its editor.
    QVERIFY(x.Keys(orders, {QStringLiteral("Tab"), QStringLiteral("ctrl+a")}));
    QVERIFY(x.TypeText(orders, QStringLiteral("34,5")));
    QVERIFY(x.Keys(orders, {QStringLiteral("F5")}));
    // Esc closes the screen (nothing is pending any more: no question).
    QVERIFY(x.Keys(orders, {QStringLiteral("Escape")}));
    QVERIFY2(x.WaitFor([&] { return x.Windows(OrderScreen).isEmpty() || !x.AppRunning(); }, 10000),
             "the order screen did not close: the order was not saved");
    QVERIFY(x.AppRunning());
    QVERIFY(x.Windows(Steps::MessageBox()).isEmpty());   // no error box

    QVERIFY2(Steps::ChooseSair(x, main), "Sair could not be chosen");
    QVERIFY2(x.WaitForExit(), "Sair did not end the program");

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

void TstOrderScreenApp::signalWithOrderPendingSavedHalfTyped_data()
{
    QTest::addColumn<bool>("pending");
    QTest::newRow("order being typed") << true;
    QTest::newRow("nothing pending") << false;
}

// A logout's SIGTERM while an order is being typed on the real program: the
// question comes as on "Sair", no one answers it, and the program ends by
// itself without saving the half-typed order, saying on its standard error
// what it dropped. With nothing pending it simply ends. Either way the
// database file is left closed with the client it had.
void TstOrderScreenApp::signalWithOrderPendingSavedHalfTyped()
{
    QFETCH(bool, pending);
    const QString program = TXSession::ProgramPath(QStringLiteral("ordemservico"));
    if (!QFileInfo(program).isExecutable())
        QSKIP("build/bin/ordemservico has not been built");
    if (const QString missing = TXSession::Missing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    {
        auto dm = db.MakeDM();
        dm->ClientesQuery->Append();
        dm->ClientesQueryNOME->SetAsString(QStringLiteral("ANA"));
        dm->ClientesQuery->ApplyChanges();
    }
    QTemporaryDir logs;
    const QString errors = logs.filePath(QStringLiteral("stderr.txt"));
    TXSession x;
    x.SetErrorFile(errors);
    const QString main = Steps::Launch(x, db);
    QVERIFY2(!main.isEmpty(), qPrintable(QStringLiteral("the main window did not appear: ") + x.Error()));
    const QString orders = Steps::OpenFromPicture(x, main, Steps::OrdersX, OrderScreen);
    QVERIFY2(!orders.isEmpty(), "the order screen did not open");
    if (pending) {
        QVERIFY(x.Keys(orders, {QStringLiteral("F1")}));
        QVERIFY(x.TypeText(orders, QStringLiteral("Meio Digitado")));
        QVERIFY(x.Keys(orders, {QStringLiteral("Tab")}));
        QVERIFY(x.TypeText(orders, QStringLiteral("Bia")));
    }
    const QStringList before = x.AppWindows();

    ::kill(pid_t(x.App().processId()), SIGTERM);
    if (pending)
        QVERIFY2(!x.WaitForNewAppWindow(before).isEmpty(), "no question came");
    QVERIFY2(x.WaitForExit(TQuitSignals::AnswerWait + TXSession::DefaultTimeout), "the program did not end on SIGTERM");
    QCOMPARE(x.App().exitStatus(), QProcess::NormalExit);
    QCOMPARE(x.App().exitCode(), 0);

    QFile log(errors);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString said = QString::fromUtf8(log.readAll());
    if (pending) {
        QVERIFY2(said.contains(QStringLiteral("descartada")) && said.contains(QStringLiteral("DESCRICAO=Meio Digitado"))
                     && said.contains(QStringLiteral("SOLICITANTE=Bia")),
                 qPrintable(said));
    } else {
        QVERIFY2(!said.contains(QStringLiteral("descartada")), qPrintable(said));
    }

    QVERIFY(!QFileInfo::exists(db.Path() + QStringLiteral(".delta")));
    TDM dm;
    dm.Database->SetDatabaseName(db.Path());
    dm.OpenAll();
    TFbQuery *q = dm.AuxQuery;
    q->SetSQL(QStringLiteral("select (select count(*) from ordemserv), (select count(*) from clientes),"
                             " (select max(nome) from clientes) from rdb$database"));
    q->Open();
    QCOMPARE(q->Field(0)->AsInteger(), 0);
    QCOMPARE(q->Field(1)->AsInteger(), 1);
    QCOMPARE(q->Field(2)->AsString(), QStringLiteral("ANA"));
    q->Close();
    dm.CloseAll();
}

QTEST_MAIN(TstOrderScreenApp)
#include "tst_orderscreenapp.moc"
