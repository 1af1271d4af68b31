// The preview window on a 10,000-page report.
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_preview [pages]
//
// 1. Time until the first page shows in the preview while the pass runs,
//    against generating a report of that one page (goal within 1.5x).
// 2. A saved file of all pages loaded into a preview: showing page 10,000
//    against page 2 (goal within 2x), and the time of the load itself.
// 3. Resident memory while stepping through every page with the thumbnail
//    list following (goal: flat), and how many thumbnails were painted.

#include "bench/report/benchmemory.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepband.h"
#include "report/model/trepdbtext.h"
#include "report/model/treplabel.h"
#include "report/model/trepreport.h"
#include "report/preview/treppreview.h"
#include "report/preview/treppreviewimage.h"
#include "report/preview/trepstandardpreview.h"
#include "report/preview/trepthumbgrid.h"
#include "report/print/trepprinter.h"
#include "tests/support/trepmemorydataset.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

namespace {

// One page per record: a title line, the record's fields and a few labels.
struct Report
{
    TRepReport report;
    TRepMemoryDataSet ds;

    explicit Report(int pages)
    {
        ds.AddField("CODIGO", TRepFieldKind::String);
        ds.AddField("NOME", TRepFieldKind::String);
        for (int i = 0; i < pages; ++i)
            ds.AppendRow({QStringLiteral("%1").arg(i + 1, 6, 10, QChar('0')),
                          QStringLiteral("Cliente número %1 da Silva").arg(i + 1)});
        report.Page().SetPaperSize(TRepPaperSize::A4Plus);
        report.Page().SetValues({100, 3300, 100, 2100, 100, 100, 0});
        report.ReportTitle = QStringLiteral("Ordem de Serviço");
        report.ShowProgress = false;
        report.DataSet = &ds;
        TRepBand *detail = report.AddBand(rbDetail);
        detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 2500);
        for (int k = 0; k < 20; ++k) {
            auto *l = new TRepLabel;
            detail->InsertElement(l);
            l->Size().SetValues({45, 60.0 + k * 100, 10, 600});
            l->SetCaption(QStringLiteral("Linha de texto fixo número %1 da página").arg(k + 1));
        }
        int f = 0;
        for (const char *field : {"CODIGO", "NOME"}) {
            auto *t = new TRepDBText;
            detail->InsertElement(t);
            t->Size().SetValues({45, 2200.0 + 60 * f++, 10, 900});
            t->DataSet = &ds;
            t->SetDataField(QString::fromLatin1(field));
        }
    }
    TRepGenerator *Gen() { return TRepGenerator::Of(&report); }
};

double Ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int pages = argc > 1 ? std::max(3, atoi(argv[1])) : 10000;
    TRepStandardPreview::Register();
    const auto standard = TRepGenerator::PreviewWindowFactory;
    constexpr int Runs = 15;

    // 1. First page shown while the pass runs, against the same report cut
    //    to its first page: shown in the preview the same way, and generated
    //    without a window.
    std::vector<double> firstShown, onePageShown, onePage, windowMs;
    auto timeToFirstPage = [&](Report &report, std::vector<double> &shown) {
        QElapsedTimer t;
        double shownMs = 0;
        TRepGenerator::PreviewWindowFactory = [&](TRepReport *r, TRepPrinter *store) {
            auto *w = static_cast<TRepStandardPreview *>(standard(r, store));
            windowMs.push_back(Ms(t));
            QObject::connect(w->Preview(), &TRepPreview::PageAvailable, w, [&, w] {
                if (shownMs == 0 && w->Preview()->Image()->Loaded()) {
                    w->Preview()->Image()->repaint();
                    shownMs = Ms(t);
                    w->close();     // cancels a pass still running
                }
            });
            return w;
        };
        t.start();
        report.Gen()->ShowPreview();
        shown.push_back(shownMs);
    };
    for (int run = 0; run < Runs; ++run) {
        Report big(pages);
        timeToFirstPage(big, firstShown);
        Report one(1);
        timeToFirstPage(one, onePageShown);
        Report bare(1);
        TRepGenerator::PreviewWindowFactory = nullptr;
        QElapsedTimer t1;
        t1.start();
        bare.Gen()->ShowPreview();
        onePage.push_back(Ms(t1));
    }

    // 2. The whole report saved, then loaded into a preview.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.RPF"));
    double generateMs = 0;
    {
        Report big(pages);
        TRepGenerator::PreviewWindowFactory = nullptr;
        QElapsedTimer t;
        t.start();
        big.Gen()->ShowPreview();
        generateMs = Ms(t);
        big.Gen()->PreviewStore()->SaveToFile(file);
    }
    TRepPrinter store;
    TRepStandardPreview window(nullptr, &store);
    window.resize(900, 720);
    window.show();
    QApplication::processEvents();
    QElapsedTimer tl;
    tl.start();
    store.LoadFromFile(file);
    window.Preview()->Reload();
    window.ThumbGrid->SetPageCount(window.Preview()->PageTotal(), true);
    const double loadMs = Ms(tl);
    std::vector<double> lastMs, secondMs;
    auto show = [&](int n) {
        QElapsedTimer t;
        t.start();
        window.GotoPage(n);
        window.Preview()->Image()->repaint();
        return Ms(t);
    };
    for (int run = 0; run < 50; ++run) {
        show(1);
        secondMs.push_back(show(2));
        show(1);
        lastMs.push_back(show(pages));
    }

    // 3. Every page in turn, the thumbnails following.
    window.Tabs->show();
    std::vector<long> rss;
    const long rssBefore = RssKb();
    QElapsedTimer ts;
    ts.start();
    for (int n = 1; n <= pages; ++n) {
        window.GotoPage(n);
        window.repaint();
        if (n % 500 == 0)
            rss.push_back(RssKb());
    }
    const double stepMs = Ms(ts);
    const long minRss = rss.empty() ? 0 : *std::min_element(rss.begin(), rss.end());
    const long maxRss = rss.empty() ? 0 : *std::max_element(rss.begin(), rss.end());

    const double first = Median(firstShown), single = Median(onePageShown), bare = Median(onePage);
    const double last = Median(lastMs), second = Median(secondMs);
    std::printf("pages                       %d (saved file %lld bytes)\n", pages, (long long)QFile(file).size());
    std::printf("first page shown            %.2f ms (median of %d)\n", first, Runs);
    std::printf("one-page report shown       %.2f ms (median of %d)\n", single, Runs);
    std::printf("ratio                       %.2f (goal <= 1.50)\n", first / single);
    std::printf("  window opening (median)   %.2f ms of each\n", Median(windowMs));
    std::printf("  one page, no window       %.2f ms\n", bare);
    std::printf("whole report generated      %.1f ms\n", generateMs);
    std::printf("saved file loaded           %.1f ms\n", loadMs);
    std::printf("page %d shown             %.3f ms (median of 50)\n", pages, last);
    std::printf("page 2 shown                %.3f ms (median of 50)\n", second);
    std::printf("ratio                       %.2f (goal <= 2.00)\n", last / second);
    std::printf("stepping through all pages  %.1f ms, %.3f ms per page\n", stepMs, stepMs / pages);
    std::printf("resident memory             before %ld kB; while stepping %ld..%ld kB (every 500 pages, %d samples)\n",
                rssBefore, minRss, maxRss, int(rss.size()));
    std::printf("thumbnails                  %d painted, %d held (cache of %d)\n",
                window.ThumbGrid->PaintedThumbnails(), window.ThumbGrid->CachedThumbnails(),
                TRepThumbGrid::CacheSize);
    return 0;
}
