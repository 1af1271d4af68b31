#include "tests/support/recordingfilter.h"

#include "report/generate/trepfileexportfilter.h"
#include "report/generate/trepgenerator.h"
#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/trepchildband.h"
#include "report/model/trepdbtext.h"
#include "report/model/treplabel.h"
#include "report/model/trepreport.h"
#include "report/print/trepnotifyevent.h"
#include "report/print/trepprinter.h"
#include "tests/support/trepmemorydataset.h"

#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

namespace {

// A report on A4 Plus with 10 mm margins and the three bands of the service
// order printout: title 28.31 mm, detail 91.81 mm, page footer 79.64 mm.
struct OrderReport
{
    TRepReport report;
    TRepBand *title, *detail, *footer;
    TRepLabel *caption;

    OrderReport()
    {
        report.Page().SetPaperSize(TRepPaperSize::A4Plus);
        report.Page().SetValues({100, 3300, 100, 2100, 100, 100, 0});
        title = report.AddBand(rbTitle, "RepBand1");
        detail = report.AddBand(rbDetail, "RepBand2");
        footer = report.AddBand(rbPageFooter, "RepBand3");
        title->Size().SetNativeValue(TRepBandSize::HeightIndex, 283.1041666666667);
        detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 918.1041666666666);
        footer->Size().SetNativeValue(TRepBandSize::HeightIndex, 796.3958333333334);
        caption = Label(detail, "Nome:", 23.8);
        Label(title, "OS:", 95.3);
        Label(footer, "Solução:", 29.1);
    }
    TRepLabel *Label(TRepCustomBand *band, const QString &text, double top)
    {
        auto *l = new TRepLabel;
        band->InsertElement(l);
        l->Size().SetValues({45, 100, top, 300});
        l->SetCaption(text);
        return l;
    }
    // The detail loop over `n` records of one field.
    void Records(TRepMemoryDataSet &ds, int n)
    {
        ds.AddField("N", TRepFieldKind::Integer);
        for (int i = 1; i <= n; ++i)
            ds.AppendRow({i});
        report.DataSet = &ds;
    }
    TRepGenerator *Gen() { return TRepGenerator::Of(&report); }
};

// A file filter that writes each page's texts as lines while the pass runs,
// so that a pass given up half way has written part of its document.
class TextLinesFilter : public TRepFileExportFilter
{
public:
    using TRepFileExportFilter::TRepFileExportFilter;
    QString FilterName() const override { return QStringLiteral("Texto"); }
    QString Extension() const override { return QStringLiteral("TXT"); }
    QString Description() const override { return QStringLiteral("Texto"); }
    void NewPage() override { Output().write("pagina\n"); }
    void EndPage() override {}
    void TextOut(const TRepFont &, const QString &text, TRepAlignment, double, double) override
    {
        Output().write(text.toUtf8() + '\n');
    }
    void AcceptGraphic(const TRepExportGraphic &) override {}

protected:
    void StartFile(double, double, const TRepFont &) override { Output().write("inicio\n"); }
    void FinishFile() override { Output().write("fim\n"); }
};

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(sem arquivo)");
}

// An export of 100 records of 50 mm into `filter` that stops at the start
// of page 3, by a cancel or by a failure; the report is left without data
// and handlers.
void ExportStoppedAtPageThree(OrderReport &o, TRepExportFilter &filter, bool fail)
{
    o.report.ShowProgress = false;
    o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 500);
    TRepMemoryDataSet many;
    o.Records(many, 100);
    TRepGenerator *gen = o.Gen();
    o.report.OnStartPage = [gen, fail](TRepReport *) {
        if (gen->PagesGenerated() != 3)
            return;
        if (fail)
            throw std::runtime_error("conexão perdida");
        gen->Cancel();
    };
    bool threw = false;
    try {
        gen->ExportWithFilter(&filter);
    } catch (const std::runtime_error &) {
        threw = true;
    }
    o.report.OnStartPage = nullptr;
    o.report.DataSet = nullptr;
    QCOMPARE(threw, fail);
    QVERIFY(gen->Available());
}

QList<double> Starts(const QList<RecordingFilter::Band> &bands)
{
    QList<double> out;
    for (const auto &b : bands)
        out << b.startY;
    return out;
}

QList<int> Pages(const QList<RecordingFilter::Band> &bands)
{
    QList<int> out;
    for (const auto &b : bands)
        out << b.page;
    return out;
}

} // namespace

class TstTRepGenerator : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void serviceOrderOnOnePage()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(rec.started, 1);
        QCOMPARE(rec.finished, 1);
        QCOMPARE(rec.pages, 1);
        // Title at the top margin, detail right below it, footer on the
        // bottom margin: 330 - 10 - 79.64 = 240.36 mm. The pass keeps its
        // cursor in whole tenths of a millimetre, so 2403.6 becomes 2404.
        const double footerTop = 3300 - 100 - o.footer->HeightNative();
        QVERIFY(qAbs(footerTop - 2403.6) < 0.01);
        QCOMPARE(Starts(rec.BandsNamed("RepBand1")), QList<double>({100}));
        QCOMPARE(Starts(rec.BandsNamed("RepBand2")), QList<double>({383}));
        QCOMPARE(Starts(rec.BandsNamed("RepBand3")), QList<double>({2404}));
        QCOMPARE(rec.TextsOn(1), QStringList({"OS:", "Nome:", "Solução:"}));

        // The preview pass records the same single page.
        o.Gen()->ShowPreview();
        TRepPrinter *store = o.Gen()->PreviewStore();
        QVERIFY(store);
        QCOMPARE(store->StoreState(), TRepPrinter::Ready);
        QVERIFY(store->PagesFinal());
        QCOMPARE(store->PageCount(), 1);
        QCOMPARE(store->PageMetafile(1).TextRecords(), QStringList({"OS:", "Nome:", "Solução:"}));
        QCOMPARE(store->PageMetafile(1).Height(), 1247);     // 330 mm
        QVERIFY(o.Gen()->Available());
    }

    void pageBands_data()
    {
        QTest::addColumn<bool>("firstPageHeader");
        QTest::addColumn<bool>("lastPageFooter");
        QTest::addColumn<QList<int>>("headerPages");
        QTest::addColumn<QList<int>>("footerPages");
        // Ten records of 50 mm: three pages.
        QTest::newRow("both options") << true << true << QList<int>{1, 2, 3} << QList<int>{1, 2, 3};
        QTest::newRow("no header on page 1") << false << true << QList<int>{2, 3} << QList<int>{1, 2, 3};
        QTest::newRow("no footer on the last page") << true << false << QList<int>{1, 2, 3} << QList<int>{1, 2};
    }
    void pageBands()
    {
        QFETCH(bool, firstPageHeader);
        QFETCH(bool, lastPageFooter);
        QFETCH(QList<int>, headerPages);
        QFETCH(QList<int>, footerPages);
        OrderReport o;
        o.report.ShowProgress = false;
        auto *header = o.report.AddBand(rbPageHeader, "Header");
        header->Size().SetNativeValue(TRepBandSize::HeightIndex, 100);
        o.report.Options = {};
        if (firstPageHeader)
            o.report.Options |= TRepReportOption::FirstPageHeader;
        if (lastPageFooter)
            o.report.Options |= TRepReportOption::LastPageFooter;
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 500);
        TRepMemoryDataSet ds;
        o.Records(ds, 10);
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(rec.pages, 3);
        QCOMPARE(Pages(rec.BandsNamed("Header")), headerPages);
        QCOMPARE(Pages(rec.BandsNamed("RepBand3")), footerPages);
        for (const auto &b : rec.BandsNamed("Header"))
            QCOMPARE(b.startY, 100.0);
        QCOMPARE(rec.BandsNamed("RepBand2").size(), 10);
    }

    void detailBreaks_data()
    {
        QTest::addColumn<double>("height");
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<QList<double>>("starts");
        // Below the 28.31 mm title, 202.06 mm remain above the footer area.
        QTest::newRow("two fit") << 900.0 << QList<int>{1, 1} << QList<double>{383, 1283};
        QTest::newRow("second taller than the space left") << 1500.0 << QList<int>{1, 2}
                                                           << QList<double>{383, 100};
        // Taller than the page's printable 310 mm: printed anyway, from the
        // top of a column that holds nothing yet.
        QTest::newRow("taller than a page") << 3150.0 << QList<int>{1, 2} << QList<double>{383, 100};
    }
    void detailBreaks()
    {
        QFETCH(double, height);
        QFETCH(QList<int>, pages);
        QFETCH(QList<double>, starts);
        OrderReport o;
        o.report.ShowProgress = false;
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, height);
        TRepMemoryDataSet ds;
        o.Records(ds, 2);
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(Pages(rec.BandsNamed("RepBand2")), pages);
        QCOMPARE(Starts(rec.BandsNamed("RepBand2")), starts);
    }

    void skippedBandStillPrintsItsChild()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        TRepChildBand *child = o.report.AddChildBand(o.detail, "Child");
        child->Size().SetNativeValue(TRepBandSize::HeightIndex, 50);
        o.Label(child, "Filho", 0);
        QList<bool> printed;
        o.detail->BeforePrint = [](TRepCustomBand *, bool &print) { print = false; };
        o.detail->AfterPrint = [&](TRepCustomBand *, bool p) { printed << p; };
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QVERIFY(rec.BandsNamed("RepBand2").isEmpty());
        QCOMPARE(Starts(rec.BandsNamed("Child")), QList<double>({383}));
        QCOMPARE(printed, QList<bool>({false}));
        QVERIFY(!rec.TextsOn(1).contains("Nome:"));
        QVERIFY(rec.TextsOn(1).contains("Filho"));
    }

    void summaryAlignedToBottom_data()
    {
        QTest::addColumn<bool>("lastPageFooter");
        QTest::addColumn<double>("start");
        // Directly above the footer area, or on the bottom margin.
        QTest::newRow("above the footer") << true << 3300 - 200 - (100 + 796.3958333333334);
        QTest::newRow("on the bottom margin") << false << 3300.0 - 200 - 100;
    }
    void summaryAlignedToBottom()
    {
        QFETCH(bool, lastPageFooter);
        QFETCH(double, start);
        OrderReport o;
        o.report.ShowProgress = false;
        if (!lastPageFooter)
            o.report.Options.setFlag(TRepReportOption::LastPageFooter, false);
        auto *summary = o.report.AddBand(rbSummary, "Summary");
        summary->Size().SetNativeValue(TRepBandSize::HeightIndex, 200);
        summary->AlignToBottom = true;
        TRepMemoryDataSet ds;
        o.Records(ds, 1);
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(Starts(rec.BandsNamed("Summary")), QList<double>({double(std::lround(start))}));
        QCOMPARE(rec.BandsNamed("RepBand3").size(), lastPageFooter ? 1 : 0);
    }

    void forcedPageAfterTitleIsSwallowedOnce()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 100);
        o.detail->ForceNewPage = true;
        TRepMemoryDataSet ds;
        o.Records(ds, 3);
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(Pages(rec.BandsNamed("RepBand2")), QList<int>({1, 2, 3}));
        QCOMPARE(Starts(rec.BandsNamed("RepBand2")), QList<double>({383, 100, 100}));
    }

    // Regression: without a title the first forced page break must not be
    // swallowed, or the first two records share a page.
    void forcedPageWithoutTitle()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.report.RemoveBand(o.title);
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 100);
        o.detail->ForceNewPage = true;
        TRepMemoryDataSet ds;
        o.Records(ds, 3);
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(Pages(rec.BandsNamed("RepBand2")), QList<int>({1, 2, 3}));
    }

    void columnsFillOneAfterAnother()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.report.Page().SetColumns(2);
        o.report.Page().SetValues({100, 3300, 100, 2100, 100, 100, 100});
        o.report.LayoutBands();
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 1000);
        TRepMemoryDataSet ds;
        o.Records(ds, 5);
        QList<QPair<int, int>> at;
        o.detail->AfterPrint = [&](TRepCustomBand *, bool) {
            at << qMakePair(o.Gen()->PagesGenerated(), o.Gen()->CursorX());
        };
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        const int second = int(std::lround(100 + 100 + o.detail->WidthNative()));
        // Two details in column 1 under the title, two in column 2 from the
        // same top (below the title), then page 2.
        QCOMPARE(at, (QList<QPair<int, int>>{{1, 100}, {1, 100}, {1, second}, {1, second}, {2, 100}}));
        QCOMPARE(Starts(rec.BandsNamed("RepBand2")), (QList<double>{383, 1383, 383, 1383, 100}));
    }

    void stretchedTextContinuesOnTheNextPage()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 100);
        o.caption->AutoSize = false;
        o.caption->AutoStretch = true;
        o.caption->Size().SetValues({45, 100, 0, 300});
        QStringList words;
        for (int i = 1; i <= 150; ++i)
            words << QStringLiteral("linha%1").arg(i, 3, 10, QChar('0'));
        o.caption->SetCaption(words.join(' '));
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        // About 75 lines of 4.2 mm: two pages, every word printed once, in
        // order.
        QCOMPARE(rec.pages, 2);
        QStringList all;
        for (const auto &t : rec.texts)
            if (t.text.startsWith("linha"))
                all << t.text.trimmed().split(' ');
        QCOMPARE(all, words);
        QVERIFY(!rec.TextsOn(2).isEmpty());
        QVERIFY(o.caption->AllLinesPrinted);
    }

    void cancellingAbortsTheDocument()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 500);
        TRepMemoryDataSet ds;
        o.Records(ds, 100);
        o.report.OnStartPage = [&](TRepReport *) {
            if (o.Gen()->PagesGenerated() == 3)
                o.Gen()->Cancel();
        };
        o.Gen()->ShowPreview();
        // The pass stopped at its next record: no fourth page, and the
        // cancelled preview's store is gone.
        QVERIFY(o.Gen()->Cancelled());
        QCOMPARE(o.Gen()->PagesGenerated(), 3);
        QVERIFY(!o.Gen()->PreviewStore());
        QVERIFY(o.Gen()->Available());

        TRepPrinter store(&o.report);
        o.Gen()->SetPrinter(&store);
        o.Gen()->GenerateReport();
        o.Gen()->SetPrinter(nullptr);
        QCOMPARE(store.StoreState(), TRepPrinter::Ready);
        QCOMPARE(store.PageCount(), 3);
        QVERIFY(store.Cancelled());
    }

    // A cancelled or failed export gives its document up: the filter is no
    // longer started, and the next export with the same filter object is a
    // document of its own that holds only that pass's pages.
    void cancelledExportLeavesNoStalePagesInItsFilter_data()
    {
        QTest::addColumn<bool>("fail");
        QTest::newRow("cancelled") << false;
        QTest::newRow("failed") << true;
    }
    void cancelledExportLeavesNoStalePagesInItsFilter()
    {
        QFETCH(bool, fail);
        OrderReport o;
        RecordingFilter rec;
        ExportStoppedAtPageThree(o, rec, fail);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(rec.started, 1);
        QCOMPARE(rec.finished, 0);
        QCOMPARE(rec.discarded, 1);
        QVERIFY(!rec.Started());
        QVERIFY(rec.pages >= 2);

        // Two records of 50 mm: one page.
        TRepMemoryDataSet two;
        o.Records(two, 2);
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(rec.started, 2);
        QCOMPARE(rec.finished, 1);
        QCOMPARE(rec.discarded, 1);
        QCOMPARE(rec.pages, 1);
        QCOMPARE(rec.endedPages, 1);
        QCOMPARE(rec.TextsOn(1), QStringList({"OS:", "Nome:", "Nome:", "Solução:"}));
        QCOMPARE(rec.texts.size(), 4);
    }

    // A file filter writes into a temporary file that takes the target's
    // place only when the export completes.
    void cancelledExportLeavesTheTargetFileAsItWas_data()
    {
        QTest::addColumn<bool>("fail");
        QTest::addColumn<QByteArray>("before");     // empty: no file yet
        QTest::newRow("cancelled, file there") << false << QByteArray("versão anterior\n");
        QTest::newRow("cancelled, no file") << false << QByteArray();
        QTest::newRow("failed, file there") << true << QByteArray("versão anterior\n");
        QTest::newRow("failed, no file") << true << QByteArray();
    }
    void cancelledExportLeavesTheTargetFileAsItWas()
    {
        QFETCH(bool, fail);
        QFETCH(QByteArray, before);
        QTemporaryDir dir;
        const QString target = dir.filePath("ordem.txt");
        if (!before.isEmpty()) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
        }
        OrderReport o;
        TextLinesFilter filter(target);
        ExportStoppedAtPageThree(o, filter, fail);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(FileBytes(target), before.isEmpty() ? QByteArray("(sem arquivo)") : before);
        // No temporary file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), before.isEmpty() ? 0 : 1);

        // The next, complete export with the same filter writes the file.
        TRepMemoryDataSet two;
        o.Records(two, 2);
        o.Gen()->ExportWithFilter(&filter);
        QCOMPARE(FileBytes(target), QByteArray("inicio\npagina\nOS:\nNome:\nNome:\nSolução:\nfim\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ordem.txt"});
    }

    void exportIntoAMissingFolderIsRefused()
    {
        QTemporaryDir dir;
        OrderReport o;
        o.report.ShowProgress = false;
        TextLinesFilter filter(dir.filePath("nao/existe/ordem.txt"));
        try {
            o.Gen()->ExportWithFilter(&filter);
            QFAIL("export into a missing folder accepted");
        } catch (const ERepError &e) {
            QVERIFY2(e.Message().contains("ordem.txt"), qPrintable(e.Message()));
        }
        QVERIFY(o.Gen()->Available());
        QVERIFY(!filter.Started());
    }

    void secondPassWhileOneRunsDoesNothing()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        RecordingFilter inner;
        int passes = 0;
        o.report.BeforePrint = [&](TRepReport *, bool &) { ++passes; };
        o.detail->BeforePrint = [&](TRepCustomBand *, bool &) {
            o.Gen()->ExportWithFilter(&inner);
            o.Gen()->ShowPreview();
            o.Gen()->GenerateReport();
            o.Gen()->PrintToPrinter();
        };
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(passes, 1);
        QCOMPARE(inner.started, 0);
        QCOMPARE(rec.finished, 1);
    }

    void beforePrintCanCancelTheReport()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.report.BeforePrint = [](TRepReport *, bool &print) { print = false; };
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(rec.started, 0);
        QVERIFY(o.Gen()->Available());
    }

    void errorInThePassLeavesTheReportUsable()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.report.SetUnits(TRepUnit::Inches);
        int calls = 0;
        o.report.OnNeedData = [&](TRepReport *, bool &more) {
            if (++calls == 3)
                throw std::runtime_error("conexão perdida");
            more = true;
        };
        RecordingFilter rec;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, o.Gen()->ExportWithFilter(&rec));
        QVERIFY(o.Gen()->Available());
        QVERIFY(!o.Gen()->ExportActive());
        QCOMPARE(o.report.Units(), TRepUnit::Inches);
        for (TRepPrintable *e : o.report.AllElements())
            QVERIFY(!e->IsPrinting());
        QCOMPARE(o.report.Functions().GetConstant("PAGENUMBER").toString(), QString("0"));

        // The next pass runs.
        o.report.OnNeedData = nullptr;
        RecordingFilter again;
        o.Gen()->ExportWithFilter(&again);
        QCOMPARE(again.finished, 1);
        QCOMPARE(again.pages, 1);
    }

    void failingRecordCountCountsAsOne()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 100);
        TRepMemoryDataSet ds;
        o.Records(ds, 4);
        ds.SetCountFails(true);
        TRepPrinter store(&o.report);
        o.Gen()->SetPrinter(&store);
        o.Gen()->GenerateReport();
        o.Gen()->SetPrinter(nullptr);
        QCOMPARE(store.PageCount(), 1);
        QCOMPARE(store.PageMetafile(1).TextRecords().count("Nome:"), 4);
    }

    void printerSetupCancelledChangesNothing()
    {
        OrderReport o;
        o.report.PrinterSettings.Copies = 2;
        TRepGenerator::ExecPrintDialog = [](QPrintDialog &) { return false; };
        o.Gen()->RunPrinterSetup();
        TRepGenerator::ExecPrintDialog = nullptr;
        QCOMPARE(o.report.Tag, 1);
        QCOMPARE(o.report.PrinterSettings.Copies, 2);
        QCOMPARE(o.report.PrinterSettings.FirstPage, 0);
    }

    void printerSetupTakesTheChoices()
    {
        if (QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("no printer installed");
        OrderReport o;
        o.report.Tag = 1;
        TRepGenerator::ExecPrintDialog = [](QPrintDialog &dialog) {
            QPrinter *p = dialog.printer();
            p->setCopyCount(3);
            p->setPrintRange(QPrinter::PageRange);
            p->setFromTo(2, 4);
            p->setPageOrientation(QPageLayout::Landscape);
            return true;
        };
        o.Gen()->RunPrinterSetup();
        TRepGenerator::ExecPrintDialog = nullptr;
        QCOMPARE(o.report.Tag, 0);
        QCOMPARE(o.report.PrinterSettings.Copies, 3);
        QCOMPARE(o.report.PrinterSettings.FirstPage, 2);
        QCOMPARE(o.report.PrinterSettings.LastPage, 4);
        QCOMPARE(o.report.PrinterSetupSettings.FirstPage, 2);
        QCOMPARE(o.report.Page().Orientation(), poLandscape);
        // Landscape re-applies the paper: A4 Plus lies on its side.
        QCOMPARE(o.report.Page().NativeValue(TRepPage::WidthIndex), 3300.0);
        QVERIFY(o.report.PrinterSettings.PrinterIndex >= 0);
        // Printing all pages again clears the range.
        TRepGenerator::ExecPrintDialog = [](QPrintDialog &dialog) {
            dialog.printer()->setPrintRange(QPrinter::AllPages);
            return true;
        };
        o.Gen()->RunPrinterSetup();
        TRepGenerator::ExecPrintDialog = nullptr;
        QCOMPARE(o.report.PrinterSettings.FirstPage, 0);
        QCOMPARE(o.report.PrinterSettings.LastPage, 0);
    }

    void keepOnOnePageMovesAStretchedBand()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 100);
        TRepMemoryDataSet ds;
        ds.AddField("OBS", TRepFieldKind::Memo);
        QStringList lines;
        for (int i = 0; i < 50; ++i)
            lines << QStringLiteral("linha %1").arg(i);
        ds.AppendRow({QStringLiteral("curta")});
        ds.AppendRow({lines.join('\n')});
        o.report.DataSet = &ds;
        auto *memo = new TRepDBText;
        o.detail->InsertElement(memo);
        memo->Size().SetValues({45, 500, 0, 800});
        memo->DataSet = &ds;
        memo->SetDataField("OBS");
        memo->AutoStretch = true;
        o.detail->KeepOnOnePage = true;
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        // Fifty lines (about 210 mm) do not fit below the first record but
        // do on a page of their own: the band starts on page 2 whole.
        QCOMPARE(Pages(rec.BandsNamed("RepBand2")), QList<int>({1, 2}));
        int onPage2 = 0;
        for (const auto &t : rec.texts)
            if (t.text.startsWith("linha"))
                onPage2 += t.page == 2;
        QCOMPARE(onPage2, 50);
    }

    void reportElementsAndFrameOnEveryPage()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        auto *stamp = new TRepLabel;
        o.report.InsertElement(stamp);
        stamp->Size().SetValues({45, 1500, 50, 300});
        stamp->SetCaption("Carimbo");
        o.report.Frame.DrawTop = o.report.Frame.DrawBottom = o.report.Frame.DrawLeft = o.report.Frame.DrawRight = true;
        TRepMemoryDataSet ds;
        o.Records(ds, 5);
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(rec.pages, 3);
        for (int p = 1; p <= 3; ++p)
            QCOMPARE(rec.TextsOn(p).count("Carimbo"), 1);
        int frames = 0;
        for (const TRepExportGraphic &g : rec.graphics)
            if (g.kind == TRepExportGraphic::Rectangle && !g.Filled() && g.X == 38 && g.Y == 38)
                ++frames;
        QCOMPARE(frames, 3);
    }

    void onPrintChangesTheTextOfOnePrint()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        TRepMemoryDataSet ds;
        o.Records(ds, 2);
        int n = 0;
        o.caption->OnPrint = [&](TRepCustomLabel *, QString &value) { value += QString::number(++n); };
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(rec.TextsOn(1).filter("Nome:"), QStringList({"Nome:1", "Nome:2"}));
        QCOMPARE(o.caption->Caption(), QString("Nome:"));
    }

    void closingThePreviewCancelsThePass()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        o.detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 500);
        TRepMemoryDataSet ds;
        o.Records(ds, 40);
        o.report.OnStartPage = [&](TRepReport *) {
            if (o.Gen()->PagesGenerated() == 2)
                QCoreApplication::postEvent(o.Gen(), new TRepNotifyEvent(TRepNotifyEvent::PreviewClosed, 0));
        };
        o.Gen()->ShowPreview();
        QVERIFY(o.Gen()->Cancelled());
        QCOMPARE(o.Gen()->PagesGenerated(), 2);
        QVERIFY(!o.Gen()->PreviewStore());
    }

    void previewWindowHoldsShowPreviewUntilClosed()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        QPointer<QWidget> window;
        TRepPrinter *shown = nullptr;
        int pagesWhenClosed = -1;
        TRepGenerator::PreviewWindowFactory = [&](TRepReport *, TRepPrinter *store) {
            shown = store;
            window = new QWidget;
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->show();
            // The user closes the window once the page is there. No check
            // here: a failed one would leave the window open and the test
            // waiting for its time-out; the pages are checked afterwards.
            QTimer::singleShot(50, window, [&] {
                pagesWhenClosed = shown->PageCount();
                window->close();
            });
            return window.data();
        };
        o.Gen()->ShowPreview();
        TRepGenerator::PreviewWindowFactory = nullptr;
        QVERIFY(shown);
        QCOMPARE(pagesWhenClosed, 1);
        QVERIFY(!o.Gen()->PreviewStore());    // freed with the window
        QVERIFY(o.Gen()->Available());
    }

    void pageNumberFunction()
    {
        OrderReport o;
        o.report.ShowProgress = false;
        TRepMemoryDataSet ds;
        o.Records(ds, 7);
        QList<int> seen;
        o.report.OnEndPage = [&](TRepReport *r) { seen << r->Functions().GetConstant("PAGENUMBER").toInt(); };
        RecordingFilter rec;
        o.Gen()->ExportWithFilter(&rec);
        QCOMPARE(seen, QList<int>({1, 2, 3, 4}));   // two records a page
    }
};

QTEST_MAIN(TstTRepGenerator)
#include "tst_trepgenerator.moc"
