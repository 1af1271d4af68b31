// "Ordens de Serviço por Período" over many rows (default: 17000 demo
// clients, about 51000 orders, all in the period) against the bare client
// API select of the same statement, in the same run.
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_periodreport [--cpu] [N] [DATABASE]
//
// Prints: the bare select; the report's rows read (its query opened); the
// moment the first page of the preview is complete, counted from the start
// (the report prints "Página n de m", so the pages are counted in a pass
// of their own first); the whole pass; the resident memory sampled every 25
// pages while the pages are drawn (it must stay flat: the page store moves
// to its temporary file past its memory limit) and whether the store
// spilled.
#include "bench/report/benchmemory.h"
#include "bench/tbenchsupport.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbquery.h"
#include "orders/tperiodreport.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepreport.h"
#include "report/print/trepprinter.h"
#include "report/store/treppagelist.h"
#include "report/store/trepstream.h"

#include <QApplication>
#include <QLocale>
#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    TBenchSupport::OffscreenUnlessSet();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    using Sup = TBenchSupport;
    try {
        QStringList args = app.arguments().mid(1);
        if (args.isEmpty() || args.first() == QLatin1String("--cpu"))
            args.insert(args.isEmpty() ? 0 : 1, QStringLiteral("17000"));
        const Sup::Database demo = Sup::Setup(args);
        TDM dm;
        dm.Database->SetDatabaseName(demo.path);
        dm.OpenAll();
        const QDate start(1900, 1, 1), end(2099, 12, 31);
        const QString sql = TPeriodReport::Statement(start, end, QString(), TPeriodReport::Registered);

        long long rows = 0;
        qint64 bare = INT64_MAX;
        for (int run = 0; run < 3; ++run)
            bare = std::min(bare, Sup::BareSelect(demo.path, sql.toUtf8(), rows));

        TPeriodReport report(&dm);
        report.Report1->ShowProgress = false;
        TRepGenerator *gen = TRepGenerator::Of(report.Report1);
        QList<long> rss;
        qint64 firstPage = 0, counted = 0;
        int drawn = 0;
        const qint64 t0 = Sup::Now();
        report.Report1->OnEndPage = [&](TRepReport *) {
            if (gen->CountingPass()) {
                counted = Sup::Now() - t0;
                return;
            }
            if (++drawn == 1)
                firstPage = Sup::Now() - t0;
            if (drawn % 25 == 0)
                rss << RssKb();
        };
        const long rssBefore = RssKb();
        report.Fill(start, end, QString(), TPeriodReport::Registered);
        const qint64 filled = Sup::Now() - t0;
        TRepPrinter store(report.Report1);
        gen->SetPrinter(&store);
        gen->GenerateReport();
        gen->SetPrinter(nullptr);
        const qint64 total = Sup::Now() - t0;
        const bool spilled = store.PageList() && store.PageList()->Stream().InTemporaryFile();

        std::printf("rows %lld (report %d), pages %d\n", rows, report.Orders->RecordCount(), store.PageCount());
        std::printf("bare select        %9.1f ms\n", bare / 1e6);
        std::printf("rows read          %9.1f ms (%.2fx the bare select)\n", filled / 1e6, double(filled) / double(bare));
        std::printf("pages counted at   %9.1f ms\n", counted / 1e6);
        std::printf("first page at      %9.1f ms\n", firstPage / 1e6);
        std::printf("whole pass         %9.1f ms\n", total / 1e6);
        if (!rss.isEmpty())
            std::printf("memory before %ld kB, while drawing %ld..%ld kB, store spilled: %s\n", rssBefore,
                        *std::min_element(rss.begin(), rss.end()), *std::max_element(rss.begin(), rss.end()),
                        spilled ? "yes" : "no");
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
