// The client picker on a real database file: choosing reloads the orders,
// the close box leaves them, the empty list is refused, the paint rule.
#include "clients/tclientesform2.h"
#include "tests/clients/tclienttestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/trowcolors.h"

#include <QLocale>
#include <QtTest>

using namespace TClientTestData;

class TstTClientesForm2 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void okReloadsOrdersOfChosenClient();
    void doubleClickChooses();
    void closeBoxLeavesOrders();
    void escDoesNotClose();
    void clientWithoutOrdersLeavesOrdersOpenAndEmpty();
    void emptyClientListIsRefused();
    void showsWhateverTheClientDatasetHolds();
    void clientDeletedElsewhereIsNotListed();

private:
    int Row(int idCliente) const;

    TScreenTestData::TScreenDb m_screen;
};

void TstTClientesForm2::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTClientesForm2::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    AddClient({1, QStringLiteral("ANA")});
    AddClient({2, QStringLiteral("BRUNO")});
    AddClient({3, QStringLiteral("CARLA")});
    AddOrder(1, 1);
    AddOrder(2, 1);
    AddOrder(3, 2);
    ListAllClients();
    // The service order screen shows the first client's orders.
    DM->OrdensQuery->Close();
    DM->OrdensQuery->SetSQL(QStringLiteral("select * from ordemserv where idcliente=1"));
    DM->OrdensQuery->Open();
}

void TstTClientesForm2::cleanup()
{
    m_screen.Close();
}

int TstTClientesForm2::Row(int idCliente) const
{
    TFbField *f = DM->ClientesQuery->FieldByName(QStringLiteral("IDCLIENTE"));
    for (int row = 0; row < DM->ClientesQuery->RecordCount(); ++row) {
        if (f->ValueAt(row).toInt() == idCliente)
            return row;
    }
    return -1;
}

void TstTClientesForm2::okReloadsOrdersOfChosenClient()
{
    OnModal([&](QDialog *d) {
        auto *picker = qobject_cast<TClientesForm2 *>(d);
        QVERIFY(picker);
        QCOMPARE(picker->windowTitle(), QStringLiteral("Clientes"));
        QCOMPARE(picker->DBGrid1->columnWidth(1), 354);
        QCOMPARE(picker->DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Cod. Cliente"));
        // Every row in the menu-highlight colour; the selected one on sky blue.
        const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(picker->DBGrid1->RowTextColor(row), highlight);
        picker->DBGrid1->setCurrentIndex(picker->DBGrid1->model()->index(Row(2), 0));
        QCOMPARE(DM->ClientesQuery->FieldByName("NOME")->AsString(), QStringLiteral("BRUNO"));
        QCOMPARE(picker->DBGrid1->RowBackground(Row(2)), TRowColors::SkyBlue());
        picker->BitBtn1->click();
        QVERIFY(!picker->isVisible());
    });
    QVERIFY(TClientesForm2::Pick());
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("select * from ordemserv where idcliente=2"));
    QVERIFY(DM->OrdensQuery->Active());
    QCOMPARE(DM->OrdensQuery->RecordCount(), 1);
    QCOMPARE(DM->OrdensQuery->FieldByName("IDORDEM")->AsInteger(), 3);
}

void TstTClientesForm2::doubleClickChooses()
{
    OnModal([&](QDialog *d) {
        auto *picker = qobject_cast<TClientesForm2 *>(d);
        TDBGrid *grid = picker->DBGrid1;
        const QRect cell = grid->visualRect(grid->model()->index(Row(2), 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    });
    QVERIFY(TClientesForm2::Pick());
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("select * from ordemserv where idcliente=2"));
    QCOMPARE(DM->OrdensQuery->RecordCount(), 1);
}

void TstTClientesForm2::closeBoxLeavesOrders()
{
    OnModal([&](QDialog *d) {
        auto *picker = qobject_cast<TClientesForm2 *>(d);
        picker->DBGrid1->setCurrentIndex(picker->DBGrid1->model()->index(Row(2), 0));
        picker->close();
    });
    QVERIFY(TClientesForm2::Pick());
    // The client moved at once; the orders are still the first client's.
    QCOMPARE(DM->ClientesQuery->FieldByName("IDCLIENTE")->AsInteger(), 2);
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("select * from ordemserv where idcliente=1"));
    QCOMPARE(DM->OrdensQuery->RecordCount(), 2);
}

void TstTClientesForm2::escDoesNotClose()
{
    bool openAfterEsc = false;
    OnModal([&](QDialog *d) {
        auto *picker = qobject_cast<TClientesForm2 *>(d);
        picker->DBGrid1->setCurrentIndex(picker->DBGrid1->model()->index(Row(2), 0));
        picker->DBGrid1->setFocus();
        QTest::keyClick(picker->DBGrid1, Qt::Key_Escape);
        QTest::keyClick(picker->BitBtn1, Qt::Key_Escape);
        openAfterEsc = picker->isVisible();
        picker->close();
    });
    QVERIFY(TClientesForm2::Pick());
    QVERIFY(openAfterEsc);
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("select * from ordemserv where idcliente=1"));
}

void TstTClientesForm2::clientWithoutOrdersLeavesOrdersOpenAndEmpty()
{
    OnModal([&](QDialog *d) {
        auto *picker = qobject_cast<TClientesForm2 *>(d);
        picker->DBGrid1->setCurrentIndex(picker->DBGrid1->model()->index(Row(3), 0));
        picker->BitBtn1->click();
    });
    QVERIFY(TClientesForm2::Pick());
    QVERIFY(DM->OrdensQuery->Active());
    QCOMPARE(DM->OrdensQuery->RecordCount(), 0);
}

void TstTClientesForm2::emptyClientListIsRefused()
{
    DM->ClientesQuery->Close();
    DM->ClientesQuery->SetSQL(QStringLiteral("select * from clientes where idcliente < 0"));
    DM->ClientesQuery->Open();
    bool opened = false;
    OnModal([&](QDialog *) { opened = true; }, 3);
    QVERIFY(!TClientesForm2::Pick());
    QTest::qWait(100);
    QVERIFY(!opened);
    QCOMPARE(m_screen.messages->Count(), 1);
    QCOMPARE(m_screen.messages->Last().text, QStringLiteral("Não existe cliente cadastrado!"));
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("select * from ordemserv where idcliente=1"));
}

void TstTClientesForm2::showsWhateverTheClientDatasetHolds()
{
    // The last search's rows, not a query of the picker's own.
    DM->ClientesQuery->Close();
    DM->ClientesQuery->SetSQL(QStringLiteral("select * from clientes where idcliente >= 2 order by nome desc"));
    DM->ClientesQuery->Open();
    int rows = -1;
    QString first;
    OnModal([&](QDialog *d) {
        auto *picker = qobject_cast<TClientesForm2 *>(d);
        rows = picker->DBGrid1->model()->rowCount();
        first = picker->DBGrid1->model()->index(0, 1).data().toString();
    });
    QVERIFY(TClientesForm2::Pick());
    QCOMPARE(rows, 2);
    QCOMPARE(first, QStringLiteral("CARLA"));
    QCOMPARE(DM->ClientesQuery->SQLText(),
             QStringLiteral("select * from clientes where idcliente >= 2 order by nome desc"));
}

// The list was read, then another computer deleted BRUNO and added DORA:
// the picker lists the clients as they are now, on the same search, with
// the current client still current. It used to offer BRUNO.
void TstTClientesForm2::clientDeletedElsewhereIsNotListed()
{
    DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 3);
    Exec(QStringLiteral("delete from clientes where idcliente = 2"));
    AddClient({4, QStringLiteral("DORA")});
    QStringList names;
    int current = -1;
    OnModal([&](QDialog *d) {
        auto *picker = qobject_cast<TClientesForm2 *>(d);
        for (int row = 0; row < picker->DBGrid1->model()->rowCount(); ++row)
            names << picker->DBGrid1->model()->index(row, 1).data().toString();
        current = DM->ClientesQuery->FieldByName(QStringLiteral("IDCLIENTE"))->AsInteger();
        picker->close();
    });
    QVERIFY(TClientesForm2::Pick());
    QCOMPARE(names, (QStringList{QStringLiteral("ANA"), QStringLiteral("CARLA"), QStringLiteral("DORA")}));
    QCOMPARE(current, 3);
}

QTEST_MAIN(TstTClientesForm2)
#include "tst_tclientesform2.moc"
