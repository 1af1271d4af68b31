// The stock screens against the bare client API, in the same run.
//
// For each action, the time from the user's action to a painted grid:
//   - the product list screen opened as the main window opens it (all
//     products by description) and searched by description;
//   - the movement report filtered to one month, through the report
//     screen's own filter (statement, dataset, grid).
// Against each, a bare isc_dsql_fetch loop over the same statement fetching
// the same rows as the screen read (prepare, execute, fetch), on an
// attachment already open as the program's is: the physical limit. Goal:
// within 1.5x. Rows read differently by the two end the run with exit code 3.
//
//   build/bin/bench_stock [--cpu] [--products P] [--movements M] [DATABASE]
// Without DATABASE a temporary one is made and filled with P products
// (default 100000) and M stock movements (default 1000000), about a minute;
// a DATABASE named is copied first and used as it is. Best of 5 runs each.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "bench/tbenchsupport.h"
#include "data/tdm.h"
#include "data/tfbquery.h"
#include "stock/tprodform.h"
#include "stock/trelform.h"
#include "tools/tdemodata.h"
#include "widgets/tdbgrid.h"
#include "widgets/tmaskdateedit.h"
#include "widgets/tradiogroup.h"
#include "widgets/tsearchedit.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QLocale>
#include <cstdio>
#include <functional>

namespace {
using Sup = TBenchSupport;

struct Case
{
    const char *name;
    QString statement;
    TDBGrid *grid;
    std::function<void()> action;
};

// "--name value" taken out of the arguments.
int TakeCount(QStringList &args, const QString &name, int fallback)
{
    const qsizetype i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size())
        return fallback;
    const int value = args[i + 1].toInt();
    args.remove(i, 2);
    return value;
}
} // namespace

int main(int argc, char *argv[])
{
    TBenchSupport::OffscreenUnlessSet();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    try {
        QStringList args = app.arguments().mid(1);
        const int products = TakeCount(args, QStringLiteral("--products"), 100000);
        const int movements = TakeCount(args, QStringLiteral("--movements"), 1000000);
        const bool cpu = args.removeAll(QStringLiteral("--cpu")) > 0;
        const QString named = args.value(0);
        // No clients: a named database is copied, a temporary one gets only
        // the few suppliers the demo data always makes, then the stock.
        QStringList setupArgs{QStringLiteral("0")};
        if (cpu)
            setupArgs << QStringLiteral("--cpu");
        if (!named.isEmpty())
            setupArgs << named;
        const TBenchSupport::Database demo = TBenchSupport::Setup(setupArgs);
        const QString &path = demo.path;
        if (named.isEmpty()) {
            std::printf("filling %d products and %d stock movements ...\n", products, movements);
            std::fflush(stdout);
            QElapsedTimer t;
            t.start();
            TDemoData::Fill(path, 0, 2, {}, {products, movements});
            std::printf("  done in %.1f s\n", t.elapsed() / 1000.0);
        }

        TDM dm;
        dm.Database->SetDatabaseName(path);
        dm.OpenAll();

        // The product list, opened on the product dataset as the main
        // window leaves it.
        TProdForm productList;
        productList.resize(676, 422);
        productList.show();
        TDBGrid *productGrid = productList.DBGrid1;
        auto openProducts = [&dm](const QString &sql) {
            // What the main window does before showing a new list.
            dm.ProdForneQuery->Close();
            dm.ProdForneQuery->SetSQL(sql);
            dm.ProdForneQuery->Open();
        };
        auto searchProducts = [&productList](const QString &typed) {
            productList.Edit1->setText(typed);
            productList.RadioGroup1->SetItemIndex(0);
            productList.BitBtn1Click();
        };

        TRelForm report;
        report.show();
        // A whole month two months back: the demo movements cover the last
        // year.
        const QDate today = QDate::currentDate();
        const QDate first = QDate(today.year(), today.month(), 1).addMonths(-2);
        const QDate last = first.addMonths(1).addDays(-1);
        const QString from = first.toString(QStringLiteral("dd/MM/yyyy"));
        const QString to = last.toString(QStringLiteral("dd/MM/yyyy"));
        auto filter = [&report, from, to](int kind) {
            report.RadioGroup1->SetItemIndex(kind);
            report.MaskEdit1->SetText(from);
            report.MaskEdit2->SetText(to);
            report.BitBtn1Click();
        };

        const QString allProducts = QStringLiteral("select * from prodforne order by descricao");
        const QString typed = QStringLiteral("capacitor");
        const Case cases[] = {
            {"products: open, all by description", allProducts, productGrid, [&] { openProducts(allProducts); }},
            {"products: search \"capacitor\"", productList.SearchStatement(typed, 0), productGrid,
             [&] { searchProducts(typed); }},
            {"report: one month, Todos",
             TRelForm::FilterStatement(TRelForm::All, from, to), report.DBGrid1,
             [&] { filter(TRelForm::All); }},
            {"report: one month, Saída",
             TRelForm::FilterStatement(TRelForm::Exits, from, to), report.DBGrid1,
             [&] { filter(TRelForm::Exits); }},
        };
        std::printf("month: %s to %s\n", qPrintable(from), qPrintable(to));
        bool allWithin = true;
        bool sameWork = true;   // the screen and the bare query read the same rows
        for (const Case &c : cases) {
            qint64 bare = INT64_MAX, screen = INT64_MAX;
            long long rowsBare = 0, rowsScreen = 0;
            const QByteArray sql = c.statement.toLatin1();
            // The same rows as the screen read (it reads what it shows), on
            // an attachment that is open, as the program's is.
            for (int run = 0; run < 5; ++run) {
                screen = std::min(screen, Sup::TimePainted(c.grid, c.action, rowsScreen));
                bare = std::min(bare, Sup::BareSelect(path, sql, rowsBare, rowsScreen, Sup::Attachment::Warm));
            }
            const double ratio = double(screen) / double(bare);
            allWithin = allWithin && ratio <= 1.5;
            std::printf("%-36s rows %7lld / %7lld   bare %8.1f ms   screen %8.1f ms   ratio %.2f %s\n", c.name,
                        rowsBare, rowsScreen, bare / 1e6, screen / 1e6, ratio,
                        ratio <= 1.5 ? "(within 1.5x)" : "(OVER 1.5x)");
            if (rowsBare != rowsScreen)
                sameWork = false;
            std::printf("  %s\n", sql.constData());
        }
        if (!sameWork) {
            std::printf("FAILED: the screen and the bare query read different rows: no figure above counts\n");
            return 3;
        }
        std::printf("%s\n", allWithin ? "goal met: every case within 1.5x" : "goal missed");
        return allWithin ? 0 : 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
