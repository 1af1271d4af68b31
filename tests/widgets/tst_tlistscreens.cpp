// What every list screen has from the shared bases, checked once over a
// table of the screens: minimising goes to the main window's window bar,
// the grid is display-only with whole rows, Ctrl+Delete in the grid deletes
// nothing, and a search list without a current row opens no form and asks
// nothing on edit and delete.
#include "clients/tlistaclientesform.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "orders/tordemservform.h"
#include "stock/tforneform.h"
#include "stock/tprodform.h"
#include "stock/trelform.h"
#include "tests/support/tscreentestdata.h"
#include "widgets/tdbgrid.h"
#include "widgets/tlistscreen.h"
#include "widgets/tsearchlistscreen.h"

#include <QPointer>
#include <QtTest>

using namespace TScreenTestData;

namespace {

using Factory = std::function<TListScreen *()>;
using GridOf = std::function<TDBGrid *(TListScreen *)>;

struct TScreenRow
{
    Factory make;
    GridOf grid;
    std::function<TFbQuery *()> dataSet;
    QString table;
};

TDBGrid *SearchGrid(TListScreen *s) { return static_cast<TSearchListScreen *>(s)->DBGrid1; }

} // namespace

Q_DECLARE_METATYPE(TScreenRow)

class TstTListScreens : public QObject
{
    Q_OBJECT

    TScreenDb m_screen;
    QPointer<TListScreen> m_list;

    TListScreen *Open()
    {
        QFETCH(TScreenRow, screen);
        m_list = screen.make();
        // Every row of the table, as a search for everything shows them.
        TFbQuery *q = screen.dataSet();
        q->Close();
        q->SetSQL(QStringLiteral("select * from ") + screen.table);
        q->Open();
        return m_list;
    }

    static void AddScreens(bool searchListsOnly);

private slots:
    void initTestCase() { InitApplication(); }
    void init()
    {
        m_screen.Open();
        OS_REQUIRE_TEST_DB(*m_screen.db);
        Exec(QStringLiteral("insert into clientes (idcliente, nome, tipoanot) values (1, 'ANA', 1)"));
        Exec(QStringLiteral("insert into clientes (idcliente, nome, tipoanot) values (2, 'BRUNO', 2)"));
        Exec(QStringLiteral("insert into ordemserv (idordem, idcliente, nordem, descricao) values (1, 1, '000001', 'TV')"));
        Exec(QStringLiteral("insert into fornecedores (idfornece, nomefantasia) values (1, 'Pecas')"));
        Exec(QStringLiteral("insert into prodforne (idprod, descricao, qtdedisp, qtdemin) values (1, 'Cabo', 5, 1)"));
        Exec(QStringLiteral("insert into prodent (idprodent, idprod, datacad, qtdeent, tipo) "
                            "values (1, 1, '2026-12-01', 5, 'entrada')"));
        DM->ClientesQuery->Close();
        DM->ClientesQuery->SetSQL(QStringLiteral("select * from clientes where idcliente=1"));
        DM->ClientesQuery->Open();
    }
    void cleanup()
    {
        delete m_list;
        m_screen.Close();
    }

    void screens_data();
    void minimiseGoesToWindowBar_data() { screens_data(); }
    void minimiseGoesToWindowBar();
    void gridIsDisplayOnly_data() { screens_data(); }
    void gridIsDisplayOnly();
    void ctrlDeleteInGridDoesNothing_data() { screens_data(); }
    void ctrlDeleteInGridDoesNothing();
    void searchListWithoutRowOpensNothing_data();
    void searchListWithoutRowOpensNothing();
    void secondScreenOfAKindOpensOffTheFirst_data() { screens_data(); }
    void secondScreenOfAKindOpensOffTheFirst();
    void newRecordOnFreshLongListGetsItsKey_data();
    void newRecordOnFreshLongListGetsItsKey();
    void movementWithFreshLongMovementListGetsItsKey();
};

void TstTListScreens::screens_data()
{
    AddScreens(false);
}

// The list screens; with searchListsOnly, only those on the search-list base.
void TstTListScreens::AddScreens(bool searchListsOnly)
{
    QTest::addColumn<TScreenRow>("screen");
    QTest::newRow("Lista de Clientes")
        << TScreenRow{[] { return new TListaClientesForm; }, SearchGrid, [] { return DM->ClientesQuery; },
                      QStringLiteral("clientes")};
    QTest::newRow("Lista de Fornecedores")
        << TScreenRow{[] { return new TForneForm; }, SearchGrid, [] { return DM->ForneQuery; },
                      QStringLiteral("fornecedores")};
    QTest::newRow("Produtos")
        << TScreenRow{[] { return new TProdForm; }, SearchGrid, [] { return DM->ProdForneQuery; },
                      QStringLiteral("prodforne")};
    if (searchListsOnly)
        return;
    QTest::newRow("Relatório de Estoque")
        << TScreenRow{[] { return new TRelForm; },
                      [](TListScreen *s) { return static_cast<TRelForm *>(s)->DBGrid1; },
                      [] { return DM->ProdEntQuery; }, QStringLiteral("prodent")};
    QTest::newRow("Ordem de Serviço")
        << TScreenRow{[] { return new TOrdemservForm; },
                      [](TListScreen *s) { return static_cast<TOrdemservForm *>(s)->DBGrid1; },
                      [] { return DM->OrdensQuery; }, QStringLiteral("ordemserv")};
}

void TstTListScreens::minimiseGoesToWindowBar()
{
    CompareMinimiseGoesToWindowBar(Open());
    delete m_list;   // went with the main window
}

void TstTListScreens::gridIsDisplayOnly()
{
    QFETCH(TScreenRow, screen);
    CompareListGridLook(screen.grid(Open()));
}

void TstTListScreens::ctrlDeleteInGridDoesNothing()
{
    QFETCH(TScreenRow, screen);
    TListScreen *list = Open();
    QVERIFY(screen.dataSet()->RecordCount() > 0);
    CompareCtrlDeleteDoesNothing(list, screen.grid(list), screen.dataSet(), screen.table, *m_screen.messages);
}

void TstTListScreens::searchListWithoutRowOpensNothing_data()
{
    AddScreens(true);
}

void TstTListScreens::searchListWithoutRowOpensNothing()
{
    auto *list = qobject_cast<TSearchListScreen *>(Open());
    QVERIFY(list);
    CompareNothingToEditOrDelete(list, *m_screen.messages);
}

// A second order screen opened exactly over the first, as if it were the
// first one.
void TstTListScreens::secondScreenOfAKindOpensOffTheFirst()
{
    QFETCH(TScreenRow, screen);
    m_list = screen.make();
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    std::unique_ptr<TListScreen> second(screen.make());
    second->setAttribute(Qt::WA_DeleteOnClose, false);
    second->show();
    QVERIFY(QTest::qWaitForWindowExposed(second.get()));
    const auto apart = [](const QWidget *a, const QWidget *b) {
        return a->x() - b->x() >= 15 && a->y() - b->y() >= 15;
    };
    QVERIFY2(apart(second.get(), m_list), qPrintable(QStringLiteral("%1,%2 over %3,%4")
                                                         .arg(second->x()).arg(second->y())
                                                         .arg(m_list->x()).arg(m_list->y())));
    // A third steps on past both.
    std::unique_ptr<TListScreen> third(screen.make());
    third->setAttribute(Qt::WA_DeleteOnClose, false);
    third->show();
    QVERIFY(QTest::qWaitForWindowExposed(third.get()));
    QVERIFY(apart(third.get(), second.get()));
}

void TstTListScreens::newRecordOnFreshLongListGetsItsKey_data()
{
    QTest::addColumn<TScreenRow>("screen");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("fill");   // inserts rows 10 to 209
    const QString loop = QStringLiteral("execute block as declare i integer = 10; begin while (i < 210) do begin "
                                        "%1; i = i + 1; end end");
    QTest::newRow("Lista de Clientes")
        << TScreenRow{[] { return new TListaClientesForm; }, SearchGrid, [] { return DM->ClientesQuery; },
                      QStringLiteral("clientes")}
        << "IDCLIENTE"
        << loop.arg(QStringLiteral("insert into clientes (idcliente, nome, tipopessoa) values (:i, 'CLIENTE ' || :i, 1)"));
    QTest::newRow("Lista de Fornecedores")
        << TScreenRow{[] { return new TForneForm; }, SearchGrid, [] { return DM->ForneQuery; },
                      QStringLiteral("fornecedores")}
        << "IDFORNECE"
        << loop.arg(QStringLiteral("insert into fornecedores (idfornece, nomefantasia) values (:i, 'FORNECEDOR ' || :i)"));
    QTest::newRow("Produtos")
        << TScreenRow{[] { return new TProdForm; }, SearchGrid, [] { return DM->ProdForneQuery; },
                      QStringLiteral("prodforne")}
        << "IDPROD"
        << loop.arg(QStringLiteral("insert into prodforne (idprod, descricao, qtdedisp, qtdemin) values (:i, 'PRODUTO ' || :i, 1, 0)"));
}

// A list of a few hundred rows, freshly opened on screen (only its first
// screenful read), and F1: the new record showed "Field 'IDCLIENTE' must
// have a value." and the grid jumped to an empty last row, the form opening
// only after the box. The form opens at once on a record with its key.
void TstTListScreens::newRecordOnFreshLongListGetsItsKey()
{
    QFETCH(TScreenRow, screen);
    QFETCH(QString, key);
    QFETCH(QString, fill);
    Exec(fill);
    TDmSchema::BringUpToDate(*DM->Database);
    auto *list = qobject_cast<TSearchListScreen *>(screen.make());
    m_list = list;
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list));
    TFbQuery *q = screen.dataSet();
    // As the screen's own search for everything opens it.
    list->Edit1->clear();
    QTest::mouseClick(list->BitBtn1, Qt::LeftButton);
    QVERIFY2(q->FetchedCount() < 200, qPrintable(QString::number(q->FetchedCount())));

    bool opened = false;
    QVariant keyInForm;
    OnModal([&](QDialog *) {
        opened = true;
        QVERIFY2(m_screen.messages->Texts().isEmpty(), qPrintable(m_screen.messages->Texts().join('|')));
        QCOMPARE(q->State(), TFbQuery::dsInsert);
        keyInForm = q->FieldByName(key)->IsNull() ? QVariant() : QVariant(q->FieldByName(key)->AsInteger());
        QCOMPARE(list->DBGrid1->currentIndex().row(), q->RecNo());
    });
    QTest::mouseClick(list->BitBtn2, Qt::LeftButton);
    QVERIFY2(opened, qPrintable(m_screen.messages->Texts().join('|')));
    QVERIFY2(m_screen.messages->Texts().isEmpty(), qPrintable(m_screen.messages->Texts().join('|')));
    QVERIFY2(keyInForm.isValid() && keyInForm.toInt() >= 210, qPrintable(keyInForm.toString()));
    // The form was left with Esc: nothing was written.
    QCOMPARE(q->State(), TFbQuery::dsBrowse);
    QCOMPARE(Count(QStringLiteral("select count(*) from ") + screen.table), screen.table == QLatin1String("clientes") ? 202 : 201);
}

// The same for the movements: the stock report screen lists a few hundred
// of them, freshly filtered, and the product list's entry button starts a
// new movement on the same dataset.
void TstTListScreens::movementWithFreshLongMovementListGetsItsKey()
{
    Exec(QStringLiteral("execute block as declare i integer = 10; begin while (i < 210) do begin "
                        "insert into prodent (idprodent, idprod, datacad, qtdeent, tipo) "
                        "values (:i, 1, '2026-12-02', 1, 'entrada'); i = i + 1; end end"));
    TDmSchema::BringUpToDate(*DM->Database);
    auto *report = new TRelForm;
    m_list = report;
    report->show();
    QVERIFY(QTest::qWaitForWindowExposed(report));
    QTest::mouseClick(report->BitBtn1, Qt::LeftButton);
    TFbQuery *q = DM->ProdEntQuery;
    QVERIFY2(q->Active() && q->FetchedCount() < 200, qPrintable(QString::number(q->FetchedCount())));
    std::unique_ptr<TProdForm> products(new TProdForm);
    products->setAttribute(Qt::WA_DeleteOnClose, false);
    DM->ProdForneQuery->Reopen(QStringLiteral("select * from prodforne order by descricao"));
    products->show();
    QVERIFY(QTest::qWaitForWindowExposed(products.get()));

    bool opened = false;
    QVariant key;
    OnModal([&](QDialog *) {
        opened = true;
        QVERIFY2(m_screen.messages->Texts().isEmpty(), qPrintable(m_screen.messages->Texts().join('|')));
        QCOMPARE(q->State(), TFbQuery::dsInsert);
        const TFbField *f = q->FieldByName(QStringLiteral("IDPRODENT"));
        key = f->IsNull() ? QVariant() : QVariant(f->AsInteger());
    });
    QTest::mouseClick(products->BitBtn7, Qt::LeftButton);
    QVERIFY2(opened, qPrintable(m_screen.messages->Texts().join('|')));
    QVERIFY2(m_screen.messages->Texts().isEmpty(), qPrintable(m_screen.messages->Texts().join('|')));
    QVERIFY2(key.isValid() && key.toInt() >= 210, qPrintable(key.toString()));
    QCOMPARE(q->State(), TFbQuery::dsBrowse);
    QCOMPARE(Count(QStringLiteral("select count(*) from prodent")), 201);
}

QTEST_MAIN(TstTListScreens)
#include "tst_tlistscreens.moc"
