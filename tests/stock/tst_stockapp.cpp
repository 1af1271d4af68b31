// The real program under a virtual X server: a supplier registered from
// the FORNECEDOR picture, a product from the ESTOQUE picture with that
// supplier picked through "...", an entry of 10 and an exit of 4 recorded
// with the numeric keypad's + and -, an exit larger than the stock refused,
// then the movements found in the stock report screen (exits red, entries
// blue, by kind and by today's period) and, after "Sair", in the database
// file. Every wait is for a condition.
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/tmainwindowsteps.h"
#include "tests/support/txsession.h"

#include <QDate>
#include <QFileInfo>
#include <QtTest>

namespace {

const QString SupplierList = QStringLiteral("^Lista de Fornecedores$");
const QString SupplierForm = QStringLiteral("^Cadastro de Fornecedor$");
const QString ProductList = QStringLiteral("^Controle de Estoque / Produtos$");
const QString ProductForm = QStringLiteral("^Cadastro de Produtos$");
const QString Picker = QStringLiteral("^Fornecedores$");
const QString EntryForm = QStringLiteral("^Entrada de Produto$");
const QString ExitForm = QStringLiteral("^Saída de Produto$");
const QString Report = QStringLiteral("^Relatório de Estoque - Entrada / Saida$");
using Steps = TMainWindowSteps;

// Text pixels of the report's grid: entries are painted blue, exits red.
struct TextColours
{
    int red = 0;
    int blue = 0;
};

TextColours CountTextColours(const QImage &image, int top)
{
    TextColours n;
    for (int y = top; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 80 && c.blue() < 80)
                ++n.red;
            else if (c.blue() > 180 && c.red() < 80 && c.green() < 80)
                ++n.blue;
        }
    }
    return n;
}

} // namespace

class TstStockApp : public QObject
{
    Q_OBJECT
private slots:
    void recordsStockMovementsEndToEnd();

private:
    // The report's grid once it shows what `wanted` says, or the last look.
    TextColours WaitForReportColours(TXSession &x, const QString &report,
                                     const std::function<bool(const TextColours &)> &wanted);
};

TextColours TstStockApp::WaitForReportColours(TXSession &x, const QString &report,
                                              const std::function<bool(const TextColours &)> &wanted)
{
    // Below the filter panel and the grid's titles.
    constexpr int GridRowsTop = 125;
    TextColours seen;
    TXSession::WaitFor([&] {
        const QImage shown = x.Grab(report);
        if (shown.isNull())
            return false;
        seen = CountTextColours(shown, GridRowsTop);
        return wanted(seen);
    }, 10000);
    return seen;
}

void TstStockApp::recordsStockMovementsEndToEnd()
{
    const QString program = TXSession::ProgramPath(QStringLiteral("ordemservico"));
    if (!QFileInfo(program).isExecutable())
        QSKIP("build/bin/ordemservico has not been built");
    if (const QString missing = TXSession::Missing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);

    TXSession x;
    const QString main = Steps::Launch(x, db, QStringLiteral("çá"));
    QVERIFY2(!main.isEmpty(), qPrintable(QStringLiteral("the main window did not appear: ") + x.Error()));

    // A supplier: F1 in the supplier list, its two names, "Gravar".
    const QString suppliers = Steps::OpenFromPicture(x, main, Steps::SuppliersX, SupplierList);
    QVERIFY2(!suppliers.isEmpty(), "the supplier list did not open");
    QVERIFY(x.Keys(suppliers, {QStringLiteral("F1")}));
    const QString supplierForm = x.WaitForWindow(SupplierForm);
    QVERIFY2(!supplierForm.isEmpty(), "the supplier form did not open");
    QVERIFY(x.TypeText(supplierForm, QStringLiteral("Peças Ltda")));
    QVERIFY(x.Keys(supplierForm, {QStringLiteral("Tab")}));
    QVERIFY(x.TypeText(supplierForm, QStringLiteral("Peças")));
    QVERIFY(x.Click(supplierForm, 50, 414));   // "Gravar"
    QVERIFY2(x.WaitForNoWindow(SupplierForm), "the supplier was not saved");
    // Closed, the list leaves the new supplier current for the picker.
    QVERIFY(x.Keys(suppliers, {QStringLiteral("Escape")}));
    QVERIFY(x.WaitForNoWindow(SupplierList));

    // A product with 5 in stock, its supplier picked with "...".
    const QString products = Steps::OpenFromPicture(x, main, Steps::StockX, ProductList);
    QVERIFY2(!products.isEmpty(), "the product list did not open");
    QVERIFY(x.Keys(products, {QStringLiteral("F1")}));
    const QString productForm = x.WaitForWindow(ProductForm);
    QVERIFY2(!productForm.isEmpty(), "the product form did not open");
    // Description, brand, the two costs, in stock, minimum.
    QVERIFY(x.TypeText(productForm, QStringLiteral("Válvula")));
    const QStringList fields{QStringLiteral("Acme"), QStringLiteral("1,50"), QStringLiteral("2,75"),
                             QStringLiteral("5"), QStringLiteral("2")};
    for (const QString &text : fields) {
        QVERIFY(x.Keys(productForm, {QStringLiteral("Tab")}));
        QVERIFY(x.TypeText(productForm, text));
    }
    QVERIFY(x.Keys(productForm, {QStringLiteral("Tab")}));
    QVERIFY(x.Click(productForm, 450, 338));   // "..."
    const QString picker = x.WaitForWindow(Picker);
    QVERIFY2(!picker.isEmpty(), "the supplier picker did not open");
    QVERIFY(x.Click(picker, 212, 252));   // "OK"
    QVERIFY(x.WaitForNoWindow(Picker));
    QVERIFY(x.Click(productForm, 72, 300));   // "Gravar"
    QVERIFY2(x.WaitForNoWindow(ProductForm), "the product was not saved");

    // An entry of 10 from the keypad's +; the focus starts on "Gravar", the
    // quantity is two stops further, the notes two more.
    QVERIFY(x.Keys(products, {QStringLiteral("KP_Add")}));
    const QString entry = x.WaitForWindow(EntryForm);
    QVERIFY2(!entry.isEmpty(), "the entry form did not open");
    QVERIFY(x.Keys(entry, {QStringLiteral("Tab"), QStringLiteral("Tab")}));
    QVERIFY(x.TypeText(entry, QStringLiteral("10")));
    QVERIFY(x.Keys(entry, {QStringLiteral("Tab"), QStringLiteral("Tab")}));
    QVERIFY(x.TypeText(entry, QStringLiteral("Compra NF 12")));
    QVERIFY(x.Click(entry, 50, 272));   // "Gravar"
    QVERIFY2(x.WaitForNoWindow(EntryForm), "the entry was not recorded");

    // An exit of 4 from the keypad's -.
    QVERIFY(x.Keys(products, {QStringLiteral("KP_Subtract")}));
    QString exit = x.WaitForWindow(ExitForm);
    QVERIFY2(!exit.isEmpty(), "the exit form did not open");
    QVERIFY(x.Keys(exit, {QStringLiteral("Tab"), QStringLiteral("Tab")}));
    QVERIFY(x.TypeText(exit, QStringLiteral("4")));
    QVERIFY(x.Click(exit, 50, 272));
    QVERIFY2(x.WaitForNoWindow(ExitForm), "the exit was not recorded");

    // An exit of 50 out of 11 is refused; Esc then gives it up.
    QVERIFY(x.Keys(products, {QStringLiteral("KP_Subtract")}));
    exit = x.WaitForWindow(ExitForm);
    QVERIFY2(!exit.isEmpty(), "the exit form did not open again");
    QVERIFY(x.Keys(exit, {QStringLiteral("Tab"), QStringLiteral("Tab")}));
    QVERIFY(x.TypeText(exit, QStringLiteral("50")));
    QVERIFY(x.Click(exit, 50, 272));
    const QString refusal = x.WaitForWindow(Steps::MessageBox());
    QVERIFY2(!refusal.isEmpty(), "an exit larger than the stock was not refused");
    QVERIFY(x.Keys(refusal, {QStringLiteral("Return")}));
    QVERIFY(x.WaitForNoWindow(Steps::MessageBox()));
    QCOMPARE(x.Windows(ExitForm).size(), 1);
    QVERIFY(x.Keys(exit, {QStringLiteral("Escape")}));
    QVERIFY2(x.WaitForNoWindow(ExitForm), "Esc did not close the refused exit");

    // The report: exits of today's period are red, entries blue.
    const QString report = Steps::OpenFromPicture(x, main, Steps::ReportX, Report);
    QVERIFY2(!report.isEmpty(), "the stock report did not open");
    const TextColours all = WaitForReportColours(x, report, [](const TextColours &n) { return n.red > 0 && n.blue > 0; });
    QVERIFY2(all.red > 0 && all.blue > 0, "the report does not show both movements");

    const QString today = QDate::currentDate().toString(QStringLiteral("ddMMyyyy"));
    // "Saída de Produto", then the two date boxes and "Filtrar [Estoque]"
    // in the order Tab takes.
    QVERIFY(x.Click(report, 24, 82));
    for (int box = 0; box < 2; ++box) {
        QVERIFY(x.Keys(report, {QStringLiteral("Tab"), QStringLiteral("Home")}));
        QVERIFY(x.TypeText(report, today));
    }
    QVERIFY(x.Keys(report, {QStringLiteral("Tab"), QStringLiteral("space")}));
    const TextColours exits = WaitForReportColours(x, report, [](const TextColours &n) { return n.red > 0 && n.blue == 0; });
    QVERIFY2(exits.red > 0 && exits.blue == 0, "the exit filter does not show the exit alone");
    QVERIFY(x.Windows(Steps::MessageBox()).isEmpty());   // the dates were taken

    QVERIFY(x.Click(report, 24, 59));   // "Entrada de Produto"
    QVERIFY(x.Keys(report, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space")}));
    const TextColours entries = WaitForReportColours(x, report, [](const TextColours &n) { return n.blue > 0 && n.red == 0; });
    QVERIFY2(entries.blue > 0 && entries.red == 0, "the entry filter does not show the entry alone");

    // "Arquivo" > "Sair" commits and ends the run.
    QVERIFY2(Steps::ChooseSair(x, main), "Sair could not be chosen");
    QVERIFY2(x.WaitForExit(), "Sair did not end the program");

    TDM dm;
    dm.Database->SetDatabaseName(db.Path());
    dm.OpenAll();
    TFbQuery *q = dm.AuxQuery;
    q->SetSQL(QStringLiteral("select * from prodforne"));
    q->Open();
    QCOMPARE(q->RecordCount(), 1);
    QCOMPARE(q->FieldByName(QStringLiteral("DESCRICAO"))->AsString(), QStringLiteral("Válvula"));
    QCOMPARE(q->FieldByName(QStringLiteral("QTDEDISP"))->AsInteger(), 11);
    QCOMPARE(q->FieldByName(QStringLiteral("QTDEMIN"))->AsInteger(), 2);
    QCOMPARE(q->FieldByName(QStringLiteral("CUSTOCOMPRA"))->AsFloat(), 1.5);
    QCOMPARE(q->FieldByName(QStringLiteral("CUSTOVENDA"))->AsFloat(), 2.75);
    QCOMPARE(q->FieldByName(QStringLiteral("IDFORNECE"))->AsInteger(), 1);
    QCOMPARE(q->FieldByName(QStringLiteral("NOMEFORNE"))->AsString(), QStringLiteral("Peças"));
    q->Close();

    q->SetSQL(QStringLiteral("select * from prodent order by idprodent"));
    q->Open();
    QCOMPARE(q->RecordCount(), 2);
    const QDate day = QDate::currentDate();
    struct Movement { const char *kind; int quantity; const char *notes; };
    for (const Movement &m : {Movement{"entrada", 10, "Compra NF 12"}, Movement{"saida", 4, ""}}) {
        QCOMPARE(q->FieldByName(QStringLiteral("TIPO"))->AsString(), QString::fromLatin1(m.kind));
        QCOMPARE(q->FieldByName(QStringLiteral("QTDEENT"))->AsInteger(), m.quantity);
        QCOMPARE(q->FieldByName(QStringLiteral("OBS"))->AsString(), QString::fromLatin1(m.notes));
        QCOMPARE(q->FieldByName(QStringLiteral("IDPROD"))->AsInteger(), 1);
        QCOMPARE(q->FieldByName(QStringLiteral("DESCRICAO"))->AsString(), QStringLiteral("Válvula"));
        QCOMPARE(q->FieldByName(QStringLiteral("NOMEFORNE"))->AsString(), QStringLiteral("Peças"));
        QCOMPARE(q->FieldByName(QStringLiteral("DATACAD"))->AsDateTime().date(), day);
        q->Next();
    }
    q->Close();
    dm.CloseAll();
}

QTEST_MAIN(TstStockApp)
#include "tst_stockapp.moc"
