// The real program under a virtual X server and a window manager: Ctrl+L
// in the main window asks for an order, a number typed with its zeros opens
// the order screen on that order's client with that order current, and a
// piece of text lists the matches in the picker, whose Enter brings the
// chosen order to the screen already open. Which order is current is
// proved by editing it there (F2, a new description, F5) and reading the
// database file afterwards. Every wait is for a condition.
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/tmainwindowsteps.h"
#include "tests/support/tscreentestdata.h"
#include "tests/support/txsession.h"

#include <QFileInfo>
#include <QtTest>

namespace {

using Steps = TMainWindowSteps;
const QString OrderScreen = QStringLiteral("^Ordem de Serviço$");
const QString FindBox = QStringLiteral("^Localizar OS$");

} // namespace

class TstOrderFindApp : public QObject
{
    Q_OBJECT
private slots:
    void localizarOSOpensTheRightOrder();
};

void TstOrderFindApp::localizarOSOpensTheRightOrder()
{
    const QString program = TXSession::ProgramPath(QStringLiteral("ordemservico"));
    if (!QFileInfo(program).isExecutable())
        QSKIP("build/bin/ordemservico has not been built");
    if (const QString missing = TXSession::Missing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    {
        auto dm = db.MakeDM();
        using TScreenTestData::Exec;
        Exec(QStringLiteral("insert into clientes (idcliente, nome) values (1, 'ANA SOUZA')"));
        Exec(QStringLiteral("insert into clientes (idcliente, nome) values (2, 'BRUNO LIMA')"));
        Exec(QStringLiteral("insert into ordemserv (idordem, idcliente, descricao, nordem, situacao, datacad)"
                            " values (1, 1, 'Radio antigo', '000001', 'Não Atendido', '2024-01-02')"));
        Exec(QStringLiteral("insert into ordemserv (idordem, idcliente, descricao, nordem, situacao, datacad)"
                            " values (2, 2, 'Televisor', '000002', 'Não Atendido', '2024-01-03')"));
        Exec(QStringLiteral("insert into ordemserv (idordem, idcliente, descricao, nordem, situacao, datacad)"
                            " values (3, 2, 'Notebook', '000003', 'Em Andamento', '2024-01-04')"));
        dm->Transaction->Commit();
        dm->CloseAll();
    }
    TXSession x;
    const QString main = Steps::Launch(x, db);
    QVERIFY2(!main.isEmpty(), qPrintable(QStringLiteral("the main window did not appear: ") + x.Error()));

    // A number with its zeros: the order screen opens on order 3.
    QVERIFY(x.Keys(main, {QStringLiteral("ctrl+l")}));
    const QString ask = x.WaitForWindow(FindBox);
    QVERIFY2(!ask.isEmpty(), "Ctrl+L did not ask for the order");
    QVERIFY(x.TypeText(ask, QStringLiteral("000003")));
    QVERIFY(x.Keys(ask, {QStringLiteral("Return")}));
    const QString orders = x.WaitForWindow(OrderScreen);
    QVERIFY2(!orders.isEmpty(), "the order screen did not open");
    QVERIFY(x.Windows(Steps::MessageBox()).isEmpty());
    QVERIFY(x.Keys(orders, {QStringLiteral("F2"), QStringLiteral("ctrl+a")}));
    QVERIFY(x.TypeText(orders, QStringLiteral("Notebook achado")));
    QVERIFY(x.Keys(orders, {QStringLiteral("F5")}));

    // A piece of text: the picker lists order 1 alone; Enter brings it to
    // the screen already open.
    QVERIFY(x.Keys(main, {QStringLiteral("ctrl+l")}));
    const QString ask2 = x.WaitForWindow(FindBox);
    QVERIFY2(!ask2.isEmpty(), "Ctrl+L did not ask for the order the second time");
    QVERIFY(x.TypeText(ask2, QStringLiteral("radio")));
    QVERIFY(x.Keys(ask2, {QStringLiteral("Return")}));
    QVERIFY2(x.WaitFor([&] { return x.Windows(FindBox).size() == 1 && x.Windows(FindBox).first() != ask2; }),
             "the picker did not show");
    const QString picker = x.Windows(FindBox).first();
    QVERIFY(x.Keys(picker, {QStringLiteral("Return")}));
    QVERIFY2(x.WaitForNoWindow(FindBox), "the picker did not close");
    QCOMPARE(x.Windows(OrderScreen).size(), 1);
    QVERIFY(x.Keys(orders, {QStringLiteral("F2"), QStringLiteral("ctrl+a")}));
    QVERIFY(x.TypeText(orders, QStringLiteral("Radio achado")));
    QVERIFY(x.Keys(orders, {QStringLiteral("F5"), QStringLiteral("Escape")}));
    QVERIFY2(x.WaitFor([&] { return x.Windows(OrderScreen).isEmpty() || !x.AppRunning(); }, 10000),
             "the order screen did not close: an order was left pending");
    QVERIFY(x.Windows(Steps::MessageBox()).isEmpty());

    QVERIFY2(Steps::ChooseSair(x, main), "Sair could not be chosen");
    QVERIFY2(x.WaitForExit(), "Sair did not end the program");

    TDM dm;
    dm.Database->SetDatabaseName(db.Path());
    dm.OpenAll();
    TFbQuery *q = dm.AuxQuery;
    q->SetSQL(QStringLiteral("select idordem, idcliente, descricao from ordemserv order by idordem"));
    q->Open();
    QStringList rows;
    for (q->First(); !q->Eof(); q->Next())
        rows << QStringLiteral("%1 %2 %3").arg(q->FieldByName(QStringLiteral("IDORDEM"))->AsInteger())
                    .arg(q->FieldByName(QStringLiteral("IDCLIENTE"))->AsInteger())
                    .arg(q->FieldByName(QStringLiteral("DESCRICAO"))->AsString());
    q->Close();
    dm.CloseAll();
    QCOMPARE(rows, QStringList({"1 1 Radio achado", "2 2 Televisor", "3 2 Notebook achado"}));
}

QTEST_MAIN(TstOrderFindApp)
#include "tst_orderfindapp.moc"
