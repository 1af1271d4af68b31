// The service order printout on a real database: the page an order prints
// (every text where the printed form has it, read back from the page
// record), the blank form after an order, the total's mask, the order's own
// client, values cut at the end of their room, and the preview it opens.

#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "orders/trelosform.h"
#include "orders/treloslayout.h"
#include "report/export/treppdffilter.h"
#include "report/export/treprtffilter.h"
#include "report/generate/trepelementprinter.h"
#include "report/generate/trepexportfilter.h"
#include "report/generate/trepexportfilterlibrary.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepreport.h"
#include "report/page/trepcanvas.h"
#include "report/preview/treppreview.h"
#include "report/preview/trepstandardpreview.h"
#include "report/print/trepprinter.h"
#include "tests/support/tfbtestdb.h"

#include <QFile>
#include <QLocale>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>
#include <optional>

namespace {

// Records the texts a page record writes, where and how.
class TextCanvas : public TRepCanvas
{
public:
    struct Text
    {
        QString text;
        int x, y;
        TRepAlignment align;
        TRepCanvasFont font;
    };
    double Dpi() const override { return 96; }
    void FillRect(int, int, int, int) override {}
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void RoundRect(int, int, int, int, int, int) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void TextOut(int x, int y, const QString &text, TRepAlignment align) override
    {
        texts.append({text, x, y, align, Font()});
    }
    QList<Text> texts;

    const Text *Find(const QString &text) const
    {
        for (const Text &t : texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
    QStringList All() const
    {
        QStringList out;
        for (const Text &t : texts)
            out << t.text;
        return out;
    }
};

// Millimetres from the paper's edge to page pixels at 96 pixels per inch.
double Px(double mm)
{
    return mm * 96.0 / 25.4;
}

struct Shop
{
    TFbTestDb db;
    std::unique_ptr<TDM> dm;
    int orderA = 0, orderB = 0;

    bool Open()
    {
        if (!db.IsValid())
            return false;
        dm = db.MakeDM();
        return dm != nullptr;
    }
    int AddClient(const QString &name, const QString &end1)
    {
        dm->ClientesQuery->Append();
        dm->ClientesQueryNOME->SetAsString(name);
        dm->ClientesQueryEND1->SetAsString(end1);
        dm->ClientesQueryCIDADE->SetAsString(QStringLiteral("Curitiba"));
        dm->ClientesQueryUF->SetAsString(QStringLiteral("PR"));
        dm->ClientesQueryFONECOM->SetAsString(QStringLiteral("(41)3333-4444"));
        dm->ClientesQueryCPF->SetAsString(QStringLiteral("123.456.789-00"));
        dm->ClientesQuery->ApplyChanges();
        return dm->ClientesQueryIDCLIENTE->AsInteger();
    }
    int AddOrder(int client, const QString &nordem, const QVariant &total)
    {
        dm->OrdensQuery->Append();
        dm->OrdensQueryNORDEM->SetAsString(nordem);
        dm->OrdensQueryDESCRICAO->SetAsString(QStringLiteral("Troca de tela"));
        dm->OrdensQuerySOLICITANTE->SetAsString(QStringLiteral("Marta"));
        dm->OrdensQueryDATACAD->SetAsDateTime(QDateTime(QDate(2026, 3, 5), QTime(0, 0)));
        if (total.isValid())
            dm->OrdensQueryVALORTOT->SetAsFloat(total.toDouble());
        dm->OrdensQueryIDCLIENTE->SetAsInteger(client);
        dm->OrdensQuery->ApplyChanges();
        return dm->OrdensQueryIDORDEM->AsInteger();
    }
    // The header lines, Ana Souza and her order 000123 of R$ 1.234,50;
    // returns the order's key.
    int AnasOrder()
    {
        Header();
        const int client = AddClient(QStringLiteral("Ana Souza"), QStringLiteral("Rua XV, 100"));
        return AddOrder(client, QStringLiteral("000123"), 1234.5);
    }
    void Header()
    {
        dm->ConfigQuery->First();
        dm->ConfigQuery->Edit();
        dm->ConfigQueryCAB1->SetAsString(QStringLiteral("Oficina do Zé"));
        dm->ConfigQueryCAB2->SetAsString(QStringLiteral("Rua das Flores, 10"));
        dm->ConfigQueryCAB3->SetAsString(QStringLiteral("Fone (41) 3222-1111"));
        dm->ConfigQueryCAB4->SetAsString(QStringLiteral("CNPJ 12.345.678/0001-99"));
        dm->ConfigQuery->ApplyChanges();
    }
};

// The page the printout's preview holds, played onto the text canvas.
TextCanvas PrintedPage(TRelOSForm &form)
{
    const auto factory = TRepGenerator::PreviewWindowFactory;
    TRepGenerator::PreviewWindowFactory = nullptr;
    TRepGenerator::Of(form.Report1)->ShowPreview();
    TRepGenerator::PreviewWindowFactory = factory;
    TextCanvas canvas;
    TRepPrinter *store = TRepGenerator::Of(form.Report1)->PreviewStore();
    if (store && store->PageCount() == 1)
        store->PageMetafile(1).Play(canvas);
    return canvas;
}

const QStringList OrderValues{"000123", "Ana Souza", "Curitiba", "PR", "(41)3333-4444", "123.456.789-00",
                              "Troca de tela", "Marta", "05/03/2026", "R$ 1.234,50", "R$ 0,00"};
const QStringList HeaderLines{"Oficina do Zé", "Rua das Flores, 10", "Fone (41) 3222-1111",
                              "CNPJ 12.345.678/0001-99"};

} // namespace

class TstTRelOSForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void containerAndQueries();
    void exportFiltersOfThePrintout();
    void printedOrder_data();
    void printedOrder();
    void blankAfterAnOrder();
    void totalMask_data();
    void totalMask();
    void orderPrintsItsOwnClient();
    void orderNotInTheDatabase();
    void headerChangeNotSavedDoesNotPrint();
    void longValueCutAtTheEndOfItsRoom();
    void previewWindowOfThePrintout();

private:
    std::optional<TextCanvas> m_orderPage;
};

void TstTRelOSForm::containerAndQueries()
{
    Shop shop;
    QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
    TRelOSForm form(shop.dm.get());
    QCOMPARE(RelOSForm, &form);
    QCOMPARE(form.Report1->Name(), QStringLiteral("Report1"));
    const QList<QPair<TFbQuery *, QString>> queries{{form.FbQuery1, "select * from CLIENTES"},
                                                    {form.FbQuery2, "select * from ORDEMSERV"},
                                                    {form.FbQuery3, "select * from CONFIG"}};
    for (const auto &[q, sql] : queries) {
        QCOMPARE(q->SQLText(), sql);
        QCOMPARE(q->Database(), shop.dm->Database);
        QCOMPARE(q->Transaction(), shop.dm->Transaction);
        QVERIFY(!q->CachedUpdates());
    }
    form.FillOrder(999);
    QCOMPARE(form.FbQuery2->SQLText(), QStringLiteral("select * from ordemserv where idordem=999"));
    QCOMPARE(form.FbQuery3->SQLText(), QStringLiteral("select * from config where idconfig = 1"));
}

// The save dialog offers the printout's two filters while it lives, PDF
// first; what they write is the printout itself.
void TstTRelOSForm::exportFiltersOfThePrintout()
{
    Shop shop;
    QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
    QTemporaryDir out;
    {
        TRelOSForm form(shop.dm.get());
        QVERIFY(!form.PDFFilter->CompressionOn);
        const QList<TRepExportFilterLibrary::Entry> filters = TRepExportFilterLibrary::Filters();
        QCOMPARE(filters.size(), 2);
        QCOMPARE(filters.at(0).Name, QStringLiteral("Documento PDF"));
        QCOMPARE(filters.at(0).Extension, QStringLiteral("PDF"));
        QCOMPARE(filters.at(1).Name, QStringLiteral("Formato Word"));
        QCOMPARE(filters.at(1).Extension, QStringLiteral("RTF"));

        form.FillBlank();
        for (const TRepExportFilterLibrary::Entry &entry : filters) {
            const QString file = out.filePath(QStringLiteral("os.") + entry.Extension.toLower());
            std::unique_ptr<TRepExportFilter> filter = entry.Create(file);
            TRepGenerator::Of(form.Report1)->ExportWithFilter(filter.get());
            QFile written(file);
            QVERIFY2(written.open(QIODevice::ReadOnly), qPrintable(file));
            const QByteArray head = written.read(5);
            QCOMPARE(head, entry.Extension == QLatin1String("PDF") ? QByteArray("%PDF-") : QByteArray("{\\rtf"));
        }
    }
    QVERIFY(TRepExportFilterLibrary::Filters().isEmpty());
}

void TstTRelOSForm::printedOrder_data()
{
    // Text, its anchor from the paper's left edge and the top of its line
    // from the paper's top, in mm; right-justified texts anchor at their
    // right edge. Title band from 10.00 mm, detail from 38.31 mm, footer
    // from 240.36 mm; everything 10 mm from the left (the margin).
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("align");
    QTest::addColumn<bool>("bold");
    QTest::newRow("CAB1") << "Oficina do Zé" << 11.59 << 10.00 << int(taLeftJustify) << true;
    QTest::newRow("CAB2") << "Rua das Flores, 10" << 11.59 << 19.53 << int(taLeftJustify) << false;
    QTest::newRow("OS:") << "OS:" << 139.12 << 19.53 << int(taLeftJustify) << false;
    QTest::newRow("order number ends at 172.51") << "000123" << 182.51 << 19.53 << int(taRightJustify) << false;
    QTest::newRow("CAB3") << "Fone (41) 3222-1111" << 11.59 << 25.61 << int(taLeftJustify) << false;
    QTest::newRow("CAB4") << "CNPJ 12.345.678/0001-99" << 11.59 << 31.70 << int(taLeftJustify) << false;
    QTest::newRow("Nome:") << "Nome:" << 36.46 << 40.69 << int(taLeftJustify) << true;
    QTest::newRow("name") << "Ana Souza" << 49.16 << 40.69 << int(taLeftJustify) << false;
    QTest::newRow("business phone") << "(41)3333-4444" << 49.16 << 46.25 << int(taLeftJustify) << false;
    QTest::newRow("Cidade:") << "Cidade:" << 137.79 << 51.80 << int(taLeftJustify) << true;
    QTest::newRow("city") << "Curitiba" << 152.61 << 51.80 << int(taLeftJustify) << false;
    QTest::newRow("Endereço:") << "Endereço:" << 30.37 << 57.36 << int(taLeftJustify) << true;
    QTest::newRow("state") << "PR" << 152.61 << 57.36 << int(taLeftJustify) << false;
    QTest::newRow("CPF") << "123.456.789-00" << 49.16 << 68.47 << int(taLeftJustify) << false;
    QTest::newRow("date") << "05/03/2026" << 49.16 << 89.37 << int(taLeftJustify) << false;
    QTest::newRow("requester") << "Marta" << 124.83 << 89.11 << int(taLeftJustify) << false;
    QTest::newRow("description") << "Troca de tela" << 49.16 << 94.93 << int(taLeftJustify) << false;
    QTest::newRow("Valor Total:") << "Valor Total:" << 27.73 << 101.02 << int(taLeftJustify) << true;
    QTest::newRow("total") << "R$ 1.234,50" << 49.16 << 101.02 << int(taLeftJustify) << false;
    QTest::newRow("Solução:") << "Solução:" << 19.26 << 243.27 << int(taLeftJustify) << true;
    QTest::newRow("client signature") << "Assinatura do Cliente" << 36.46 << 310.21 << int(taLeftJustify) << false;
    QTest::newRow("staff signature") << "Assinatura do Funcionário" << 132.77 << 310.21 << int(taLeftJustify)
                                     << false;
}

void TstTRelOSForm::printedOrder()
{
    QFETCH(QString, text);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, align);
    QFETCH(bool, bold);
    // The order is printed once for every row.
    if (!m_orderPage) {
        Shop shop;
        QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
        const int order = shop.AnasOrder();
        TRelOSForm form(shop.dm.get());
        form.FillOrder(order);
        m_orderPage = PrintedPage(form);
    }
    const TextCanvas &page = *m_orderPage;
    const TextCanvas::Text *t = page.Find(text);
    QVERIFY2(t, qPrintable(page.All().join(QLatin1Char('|'))));
    // Within one pixel (0.26 mm) of the printed form.
    QVERIFY2(std::abs(t->x - Px(x)) <= 1.0, qPrintable(QStringLiteral("x %1 px, expected %2").arg(t->x).arg(Px(x))));
    QVERIFY2(std::abs(t->y - Px(y)) <= 1.0, qPrintable(QStringLiteral("y %1 px, expected %2").arg(t->y).arg(Px(y))));
    QCOMPARE(int(t->align), align);
    QCOMPARE(t->font.Bold, bold);
}

void TstTRelOSForm::blankAfterAnOrder()
{
    Shop shop;
    QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
    const int order = shop.AnasOrder();
    TRelOSForm form(shop.dm.get());
    form.FillOrder(order);
    QVERIFY(PrintedPage(form).Find(QStringLiteral("Ana Souza")));
    // The document is titled after the order (preview, print queue, PDF).
    QCOMPARE(form.Report1->ReportTitle,
             QStringLiteral("Ordem de Serviço nº ") + form.FbQuery2->FieldByName(QStringLiteral("NORDEM"))->AsString());

    form.FillBlank();
    QCOMPARE(form.Report1->ReportTitle, QStringLiteral("Ordem de Serviço em branco"));
    const TextCanvas page = PrintedPage(form);
    const QStringList texts = page.All();
    for (const QString &v : OrderValues)
        QVERIFY2(!texts.contains(v), qPrintable(v));
    for (const QString &h : HeaderLines)
        QVERIFY2(texts.contains(h), qPrintable(h));
    for (const QString &label : QStringList{"Nome:", "OS:", "Valor Total:", "Solução:", "Assinatura do Cliente"})
        QVERIFY2(texts.contains(label), qPrintable(label));
    // The datasets keep the last order.
    QVERIFY(!form.FbQuery2->IsEmpty());

    // An order after the blank form prints its data again.
    form.FillOrder(order);
    QVERIFY(PrintedPage(form).Find(QStringLiteral("R$ 1.234,50")));
}

void TstTRelOSForm::totalMask_data()
{
    QTest::addColumn<QVariant>("total");
    QTest::addColumn<QString>("printed");
    QTest::newRow("thousands") << QVariant(1234.5) << "R$ 1.234,50";
    QTest::newRow("millions") << QVariant(1234567.891) << "R$ 1.234.567,89";
    QTest::newRow("cents") << QVariant(0.5) << "R$ 0,50";
    QTest::newRow("zero") << QVariant(0.0) << "R$ 0,00";
    QTest::newRow("empty") << QVariant() << "R$ 0,00";
}

void TstTRelOSForm::totalMask()
{
    QFETCH(QVariant, total);
    QFETCH(QString, printed);
    Shop shop;
    QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
    const int client = shop.AddClient(QStringLiteral("Ana Souza"), QString());
    const int order = shop.AddOrder(client, QStringLiteral("000001"), total);
    TRelOSForm form(shop.dm.get());
    form.FillOrder(order);
    const TextCanvas page = PrintedPage(form);
    QVERIFY2(page.Find(printed), qPrintable(page.All().join(QLatin1Char('|'))));
}

void TstTRelOSForm::orderPrintsItsOwnClient()
{
    Shop shop;
    QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
    const int ana = shop.AddClient(QStringLiteral("Ana Souza"), QString());
    const int order = shop.AddOrder(ana, QStringLiteral("000001"), 10.0);
    shop.AddClient(QStringLiteral("Bruno Lima"), QString());
    // The shared client dataset is on Bruno now.
    QCOMPARE(shop.dm->ClientesQueryNOME->AsString(), QStringLiteral("Bruno Lima"));
    TRelOSForm form(shop.dm.get());
    form.FillOrder(order);
    const QStringList texts = PrintedPage(form).All();
    QVERIFY(texts.contains(QStringLiteral("Ana Souza")));
    QVERIFY(!texts.contains(QStringLiteral("Bruno Lima")));
}

void TstTRelOSForm::orderNotInTheDatabase()
{
    // An order still being entered: nothing of the order or a client, the
    // total as the formatted zero.
    Shop shop;
    QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
    shop.Header();
    shop.AddClient(QStringLiteral("Ana Souza"), QString());
    TRelOSForm form(shop.dm.get());
    form.FillOrder(4242);
    QVERIFY(form.FbQuery2->IsEmpty());
    QVERIFY(form.FbQuery1->IsEmpty());
    const QStringList texts = PrintedPage(form).All();
    QVERIFY(texts.contains(QStringLiteral("R$ 0,00")));
    QVERIFY(!texts.contains(QStringLiteral("Ana Souza")));
    QVERIFY(texts.contains(QStringLiteral("Oficina do Zé")));
}

void TstTRelOSForm::headerChangeNotSavedDoesNotPrint()
{
    Shop shop;
    QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
    shop.Header();
    shop.dm->ConfigQuery->Edit();
    shop.dm->ConfigQueryCAB1->SetAsString(QStringLiteral("Nome não gravado"));
    TRelOSForm form(shop.dm.get());
    form.FillBlank();
    const QStringList texts = PrintedPage(form).All();
    QVERIFY(texts.contains(QStringLiteral("Oficina do Zé")));
    QVERIFY(!texts.contains(QStringLiteral("Nome não gravado")));
    shop.dm->ConfigQuery->Cancel();
}

void TstTRelOSForm::longValueCutAtTheEndOfItsRoom()
{
    Shop shop;
    QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
    const QString address = QStringLiteral("AVENIDA PRESIDENTE GETÚLIO VARGAS, 1234, BLOCO B2, APTO 1201");
    QCOMPARE(address.size(), 60);
    const int client = shop.AddClient(QStringLiteral("Ana Souza"), address);
    const int order = shop.AddOrder(client, QStringLiteral("000001"), 10.0);
    TRelOSForm form(shop.dm.get());
    form.FillOrder(order);
    const TextCanvas page = PrintedPage(form);
    // The address line: the value's start, ending before "UF:" (135.20 mm
    // into the band, 145.20 mm on the paper).
    const TextCanvas::Text *uf = page.Find(QStringLiteral("UF:"));
    QVERIFY(uf);
    const TextCanvas::Text *line = nullptr;
    for (const TextCanvas::Text &t : page.texts)
        if (t.y == uf->y && t.x < uf->x && t.text != QStringLiteral("Endereço:"))
            line = &t;
    QVERIFY(line);
    QVERIFY2(line->text.size() >= 20 && line->text.size() < address.size(), qPrintable(line->text));
    QVERIFY(address.startsWith(line->text));
    const double widthPx = TRepElementPrinter::DesignTextWidth(TRepFont(QStringLiteral("Arial"), 10), line->text);
    QVERIFY2(line->x + widthPx <= Px(145.20) + 0.5,
             qPrintable(QStringLiteral("ends at %1 px, room ends at %2").arg(line->x + widthPx).arg(Px(145.20))));
    // One more character would not have fitted.
    const QString longer = address.left(line->text.size() + 1);
    QVERIFY(line->x + TRepElementPrinter::DesignTextWidth(TRepFont(QStringLiteral("Arial"), 10), longer)
            > Px(145.20));
    // The database keeps the whole address.
    QCOMPARE(form.FbQuery1->FieldByName(QStringLiteral("END1"))->AsString(), address);
}

void TstTRelOSForm::previewWindowOfThePrintout()
{
    Shop shop;
    QVERIFY2(shop.Open(), qPrintable(shop.db.Error()));
    shop.Header();
    TRelOSForm form(shop.dm.get());
    TRepStandardPreview::Register();
    const auto standard = TRepGenerator::PreviewWindowFactory;
    QSize size;
    QString title;
    bool leftPanel = true, findButton = true;
    TRepZoomState zoom = rzZoomOther;
    int pages = 0;
    Qt::WindowModality modality = Qt::NonModal;
    TRepGenerator::PreviewWindowFactory = [&](TRepReport *report, TRepPrinter *store) {
        auto *w = static_cast<TRepStandardPreview *>(standard(report, store));
        QTimer::singleShot(0, w, [&, w] {
            size = w->size();
            title = w->windowTitle();
            leftPanel = w->Tabs->isVisible();
            findButton = w->FindButton->isVisible();
            zoom = w->Preview()->ZoomState();
            pages = w->Preview()->PageTotal();
            modality = w->windowModality();
            w->close();
        });
        return w;
    };
    form.PrintBlank();
    TRepGenerator::PreviewWindowFactory = nullptr;
    QCOMPARE(size, QSize(900, 720));
    // It carried the order screen's title ("Ordem de Serviço").
    QCOMPARE(title, QStringLiteral("Visualizar Impressão - Ordem de Serviço em branco"));
    QVERIFY(!leftPanel);
    QVERIFY(!findButton);
    QCOMPARE(zoom, rzZoomToWidth);
    QCOMPARE(pages, 1);
    QCOMPARE(modality, Qt::ApplicationModal);
    QVERIFY(!TRepGenerator::Of(form.Report1)->PreviewStore());
}

QTEST_MAIN(TstTRelOSForm)
#include "tst_trelosform.moc"
