// A supplier, product or movement being typed in its modal form was moved,
// reloaded or dropped by what another screen did with the shared supplier,
// product and movement datasets: another list's search, new, edit or
// delete, the supplier picker of a product form, the stock report's filter,
// the main window's menus. Each row: the form with the pending entry and the
// action taken elsewhere. The action is refused with the message naming the
// form, the entry stays as typed on its row, nothing else opens, and the
// database is unchanged.
#include "app/tprincipalform.h"
#include "stock/tcadforneform.h"
#include "stock/tcadprodform.h"
#include "stock/tforneform.h"
#include "stock/tprodentform.h"
#include "stock/tprodform.h"
#include "stock/trelform.h"
#include "tests/stock/tstocktestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tlistscreen.h"
#include "widgets/tsearchedit.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace TStockTestData;

namespace {

struct Holder
{
    TFbQuery *dataSet;
    TFbField *typed;
    QString message;
};

// Every row of the three tables and the movements, as text: what a refused
// action must leave as it was.
QString Database()
{
    return Text(QStringLiteral(
        "select (select list(idfornece || ':' || coalesce(nomefantasia, '-')) from fornecedores) || '|' ||"
        " (select list(idprod || ':' || coalesce(descricao, '-') || ':' || coalesce(qtdedisp, -1)) from prodforne)"
        " || '|' || (select count(*) from prodent) from rdb$database"));
}

} // namespace

class TstStockPendingEntries : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TScreenTestData::InitApplication(); }
    void init();
    void cleanup();

    void pendingEntryRedirectedByAnotherScreen_data();
    void pendingEntryRedirectedByAnotherScreen();

private:
    TScreenTestData::TScreenDb m_screen;
};

void TstStockPendingEntries::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    AddSupplier({1, QStringLiteral("Ferragens Silva")});
    AddSupplier({2, QStringLiteral("Elétrica Souza")});
    AddProduct({1, QStringLiteral("Parafuso"), 5, 2, 1, QStringLiteral("Ferragens Silva")});
    AddProduct({2, QStringLiteral("Porca"), 8, 0, 2, QStringLiteral("Elétrica Souza")});
    ListAllSuppliers();
    ListAllProducts();
    DM->ProdEntQuery->Open();
}

void TstStockPendingEntries::cleanup()
{
    m_screen.Close();
}

void TstStockPendingEntries::pendingEntryRedirectedByAnotherScreen_data()
{
    QTest::addColumn<QString>("holder");
    QTest::addColumn<QString>("action");
    const auto rows = [](const char *holder, std::initializer_list<const char *> actions) {
        for (const char *a : actions)
            QTest::newRow(qPrintable(QStringLiteral("%1; %2").arg(QLatin1String(holder), QString::fromUtf8(a))))
                << QString::fromLatin1(holder) << QString::fromUtf8(a);
    };
    const std::initializer_list<const char *> onSuppliers = {
        "supplier list: search", "supplier list: new", "supplier list: edit", "supplier list: delete",
        "product form: supplier picker", "menu: Fornecedores"};
    rows("supplier new", onSuppliers);
    rows("supplier edit", onSuppliers);
    const std::initializer_list<const char *> onProducts = {
        "product list: search", "product list: new", "product list: edit", "product list: delete",
        "product list: entry", "supplier list: edit (reloads the products)", "menu: Estoque"};
    rows("product new", onProducts);
    rows("product edit", onProducts);
    rows("movement", {"stock report: filter", "menu: Relatório de Estoque", "menu: Estoque", "product list: new",
                      "supplier list: edit (reloads the products)"});
}

void TstStockPendingEntries::pendingEntryRedirectedByAnotherScreen()
{
    QFETCH(QString, holder);
    QFETCH(QString, action);
    TPrincipalForm principal;
    principal.SetScreenFactory(TPrincipalForm::Screen::Suppliers, [](QWidget *owner) { return new TForneForm(owner); });
    principal.SetScreenFactory(TPrincipalForm::Screen::Products, [](QWidget *owner) { return new TProdForm(owner); });
    principal.SetScreenFactory(TPrincipalForm::Screen::StockReport, [](QWidget *owner) { return new TRelForm(owner); });
    // The screen that opens the form with the pending entry, and the other
    // screens the action is taken on.
    TForneForm supplierList, otherSupplierList;
    TProdForm productList, otherProductList;
    TRelForm report;
    TCadProdForm productForm;
    QVERIFY(DM->ForneQuery->Locate(QStringLiteral("IDFORNECE"), 1));
    QVERIFY(DM->ProdForneQuery->Locate(QStringLiteral("IDPROD"), 1));
    const QString before = Database();

    Holder held;
    std::function<void()> open;
    if (holder.startsWith(QLatin1String("supplier"))) {
        const bool isNew = holder.endsWith(QLatin1String("new"));
        held = {DM->ForneQuery, DM->ForneQuery->FieldByName(QStringLiteral("NOMEFANTASIA")),
                QStringLiteral("Termine ou cancele o cadastro em edição na tela %1 de Fornecedor.")
                    .arg(isNew ? QStringLiteral("Cadastro") : QStringLiteral("Alteração"))};
        open = [&supplierList, isNew] { (isNew ? supplierList.BitBtn2 : supplierList.BitBtn3)->click(); };
    } else if (holder.startsWith(QLatin1String("product"))) {
        const bool isNew = holder.endsWith(QLatin1String("new"));
        held = {DM->ProdForneQuery, DM->ProdForneQuery->FieldByName(QStringLiteral("DESCRICAO")),
                QStringLiteral("Termine ou cancele o cadastro em edição na tela %1 de Produtos.")
                    .arg(isNew ? QStringLiteral("Cadastro") : QStringLiteral("Alteração"))};
        open = [&productList, isNew] { (isNew ? productList.BitBtn2 : productList.BitBtn3)->click(); };
    } else {
        held = {DM->ProdEntQuery, DM->ProdEntQuery->FieldByName(QStringLiteral("QTDEENT")),
                QStringLiteral("Termine ou cancele a movimentação em edição na tela Entrada de Produto.")};
        open = [&productList] { productList.BitBtn7->click(); };
    }
    const QString typedText = holder == QLatin1String("movement") ? QStringLiteral("3") : QStringLiteral("meio digitado");

    QStringList texts, otherDialogs;
    int stateBefore = -1, stateAfter = -1, rowBefore = -1, rowAfter = -1;
    QString typedAfter, sqlBefore, sqlAfter;
    int screensAfter = -1;
    const auto act = [&](QDialog *form) {
        held.typed->SetAsString(typedText);
        stateBefore = held.dataSet->State();
        rowBefore = held.dataSet->RecNo();
        sqlBefore = held.dataSet->SQLText();
        m_screen.messages->Clear();
        m_screen.messages->QueueAnswer(TMessages::Yes);   // a delete's question, if it came
        // Any other dialog the action opens is noted and closed, so that a
        // failing row ends instead of waiting on it.
        QTimer others;
        QObject::connect(&others, &QTimer::timeout, [&] {
            auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (d && d != form && d->isVisible()) {
                otherDialogs << d->windowTitle();
                d->reject();
            }
        });
        others.start(20);

        if (action == QLatin1String("supplier list: search")) {
            otherSupplierList.Edit1->setText(QStringLiteral("Souza"));
            otherSupplierList.BitBtn1->click();
        } else if (action == QLatin1String("supplier list: new")) {
            otherSupplierList.BitBtn2->click();
        } else if (action.startsWith(QLatin1String("supplier list: edit"))) {
            otherSupplierList.BitBtn3->click();
        } else if (action == QLatin1String("supplier list: delete")) {
            otherSupplierList.BitBtn4->click();
        } else if (action == QLatin1String("product form: supplier picker")) {
            productForm.SpeedButton1->click();
        } else if (action == QLatin1String("product list: search")) {
            otherProductList.Edit1->setText(QStringLiteral("Porca"));
            otherProductList.BitBtn1->click();
        } else if (action == QLatin1String("product list: new")) {
            otherProductList.BitBtn2->click();
        } else if (action == QLatin1String("product list: edit")) {
            otherProductList.BitBtn3->click();
        } else if (action == QLatin1String("product list: delete")) {
            otherProductList.BitBtn4->click();
        } else if (action == QLatin1String("product list: entry")) {
            otherProductList.BitBtn7->click();
        } else if (action == QLatin1String("stock report: filter")) {
            report.BitBtn1->click();
        } else if (action == QLatin1String("menu: Fornecedores")) {
            principal.Fornecedores1->trigger();
        } else if (action == QLatin1String("menu: Estoque")) {
            principal.Estoque1->trigger();
        } else if (action == QStringLiteral("menu: Relatório de Estoque")) {
            principal.RelatriodeEstoque1->trigger();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown action ") + action));
        }
        others.stop();
        texts = m_screen.messages->Texts();
        stateAfter = held.dataSet->State();
        rowAfter = held.dataSet->RecNo();
        sqlAfter = held.dataSet->SQLText();
        typedAfter = held.typed->AsString();
        screensAfter = principal.findChildren<TListScreen *>().size();
        form->reject();   // gives the entry up
    };
    OnModal(act);
    open();

    QVERIFY2(texts.contains(held.message), qPrintable(texts.join(QStringLiteral(" / "))));
    QVERIFY2(otherDialogs.isEmpty(), qPrintable(otherDialogs.join(QStringLiteral(" / "))));
    QVERIFY(stateBefore == TFbQuery::dsInsert || stateBefore == TFbQuery::dsEdit);
    QCOMPARE(stateAfter, stateBefore);
    QCOMPARE(rowAfter, rowBefore);
    QCOMPARE(sqlAfter, sqlBefore);
    QCOMPARE(typedAfter, typedText);
    QCOMPARE(screensAfter, 0);
    QCOMPARE(Database(), before);
    // The form gave its entry up: the datasets are free again.
    for (TFbQuery *q : {DM->ForneQuery, DM->ProdForneQuery, DM->ProdEntQuery}) {
        QCOMPARE(q->State(), TFbQuery::dsBrowse);
        QVERIFY(q->HeldBy().isEmpty());
    }
}

QTEST_MAIN(TstStockPendingEntries)
#include "tst_stockpendingentries.moc"
