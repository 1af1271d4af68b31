// The screens on a shop's database with years of data, against the bare
// client API in the same run.
//
// Opening: the client list, the supplier list, the product list and the
// stock report opened as the main window's menu opens them, up to the grid
// painted. Against each, a bare isc_dsql_fetch loop over the statement the
// screen's dataset then holds, fetching only the rows the grid shows
// (prepare, execute, fetch those rows). Goal: within 1.5x. Beside it, what
// the dataset holds once painted (rows read, its own count of bytes) and
// the resident memory the opening added (first opening).
//
// Scrolling: the client list from top to bottom, as a user dragging the
// scroll bar's thumb to the bottom again and again (the grid reading more
// rows each time when it reads them as they are shown): the steps, the
// longest one, the whole time, and the memory at the bottom against a
// dataset that reads every row at once (opened and moved to its last row).
// --page scrolls a page at a time instead (one step per page: long at a
// million rows).
//
// The order screen: opened for a client as the main window opens it, up to
// its grid painted with the client's orders, for clients at a quarter, half
// and three quarters of the keys. Goal: within 100 ms, whatever the number
// of orders in the database (compare --clients 100000, about 300,000
// orders).
//
//   build/bin/bench_scalescreens [--cpu] [--runs R] [--page] [--clients N]
// Best of R (default 3; 7 for the order screen). The big database: see
// bench/scale/tbenchbigdatabase.h (OS_BENCH_DATA keeps it between runs).
// Offscreen unless QT_QPA_PLATFORM says otherwise.
#include "app/tprincipalform.h"
#include "bench/report/benchmemory.h"
#include "bench/scale/tbenchbigdatabase.h"
#include "bench/tbenchsupport.h"
#include "clients/tlistaclientesform.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "orders/tordemservform.h"
#include "stock/tforneform.h"
#include "stock/tprodform.h"
#include "stock/trelform.h"
#include "widgets/tdbgrid.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QLocale>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
using Sup = TBenchSupport;

// The window the main window opened last.
QWidget *NewScreen(TPrincipalForm &principal, const QList<QWidget *> &before)
{
    for (QWidget *w : principal.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (w->isWindow() && w->isVisible() && !before.contains(w))
            return w;
    return nullptr;
}

QList<QWidget *> Screens(TPrincipalForm &principal)
{
    return principal.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
}

// The rows the grid shows whole or in part.
int RowsShown(TDBGrid *grid)
{
    const int last = grid->rowAt(grid->viewport()->height() - 1);
    return last >= 0 ? last + 1 : grid->model()->rowCount();
}

struct Opened
{
    qint64 ns = 0;
    int shown = 0;
    int held = 0;          // rows the grid holds
    size_t bytes = 0;      // the dataset's own count
    long rssAdded = 0;     // kB
    QString statement;
};

// One opening through `click`, up to the grid painted; the screen goes
// afterwards.
Opened Open(TPrincipalForm &principal, void (TPrincipalForm::*click)())
{
    const QList<QWidget *> before = Screens(principal);
    const long rss = RssKb();
    Opened o;
    const qint64 start = Sup::Now();
    (principal.*click)();
    QWidget *screen = NewScreen(principal, before);
    TDBGrid *grid = screen ? screen->findChild<TDBGrid *>() : nullptr;
    if (!grid)
        throw std::runtime_error("the screen did not open");
    const QImage painted = grid->viewport()->grab().toImage();
    o.ns = Sup::Now() - start;
    o.rssAdded = RssKb() - rss;
    o.shown = RowsShown(grid);
    // The grid's rows, not the dataset's count: a count may read every row.
    TFbQuery *q = grid->DataSet();
    o.bytes = q->MemoryUsage();
    o.held = grid->model()->rowCount();
    o.statement = q->SQLText();
    if (painted.isNull())
        std::puts("no picture");
    delete screen;
    return o;
}

void Lists(TPrincipalForm &principal, const QString &path, int runs, bool &allWithin)
{
    struct Case
    {
        const char *name;
        void (TPrincipalForm::*click)();
    };
    const Case cases[] = {
        {"client list", &TPrincipalForm::ListadeClientes1Click},
        {"supplier list", &TPrincipalForm::Fornecedores1Click},
        {"product list", &TPrincipalForm::Estoque1Click},
        {"stock report", &TPrincipalForm::RelatriodeEstoque1Click},
    };
    std::printf("\nopening, up to the grid painted (best of %d):\n", runs);
    for (const Case &c : cases) {
        qint64 screen = INT64_MAX, bare = INT64_MAX;
        Opened first;
        long long rowsBare = 0;
        for (int run = 0; run < runs; ++run) {
            const Opened o = Open(principal, c.click);
            if (run == 0)
                first = o;
            screen = std::min(screen, o.ns);
            bare = std::min(bare, Sup::BareSelect(path, o.statement.toLatin1(), rowsBare, o.shown));
        }
        const double ratio = double(screen) / double(bare);
        allWithin = allWithin && ratio <= 1.5;
        std::printf("%-14s screen %8.1f ms  bare (%3lld rows shown) %7.1f ms  ratio %6.2f %s\n", c.name,
                    screen / 1e6, rowsBare, bare / 1e6, ratio, ratio <= 1.5 ? "(within 1.5x)" : "(OVER 1.5x)");
        std::printf("               grid holds %d rows, dataset %.1f MB; first opening added %.1f MB RSS\n"
                    "               %s\n",
                    first.held, first.bytes / 1048576.0, first.rssAdded / 1024.0, qPrintable(first.statement));
        std::fflush(stdout);
    }
}

void Scroll(TPrincipalForm &principal, bool byPage)
{
    std::printf("\nscrolling the client list from top to bottom (%s):\n",
                byPage ? "a page at a time" : "the thumb dragged to the bottom");
    const QList<QWidget *> before = Screens(principal);
    const long rssStart = RssKb();
    principal.ListadeClientes1Click();
    QWidget *screen = NewScreen(principal, before);
    TDBGrid *grid = screen ? screen->findChild<TDBGrid *>() : nullptr;
    if (!grid)
        throw std::runtime_error("the client list did not open");
    grid->viewport()->grab();
    const long rssOpen = RssKb();
    QAbstractItemModel *model = grid->model();
    QScrollBar *bar = grid->verticalScrollBar();
    qint64 longest = 0, total = 0;
    long long steps = 0;
    int stuck = 0;
    for (;;) {
        const int rows = model->rowCount();
        const qint64 start = Sup::Now();
        if (byPage)
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        else
            bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        grid->viewport()->grab();
        const qint64 ns = Sup::Now() - start;
        total += ns;
        longest = std::max(longest, ns);
        ++steps;
        const bool bottom = bar->value() == bar->maximum() && !model->canFetchMore(QModelIndex());
        if (bottom)
            break;
        // A grid that says it has more yet shows no more would loop for ever.
        stuck = model->rowCount() == rows && bar->value() == bar->maximum() ? stuck + 1 : 0;
        if (stuck > 3) {
            std::puts("  the grid stopped reading rows before the end");
            break;
        }
    }
    TFbQuery *q = grid->DataSet();
    const long rssEnd = RssKb();
    std::printf("  %lld steps, longest %.1f ms, in all %.1f s; %d rows in the grid, last shown %d\n", steps,
                longest / 1e6, total / 1e9, model->rowCount(), grid->rowAt(grid->viewport()->height() - 1) + 1);
    std::printf("  RSS %.1f MB before opening, %.1f MB opened, %.1f MB at the bottom; dataset %.1f MB\n",
                rssStart / 1024.0, rssOpen / 1024.0, rssEnd / 1024.0, q->MemoryUsage() / 1048576.0);
    const QString statement = q->SQLText();
    delete screen;

    // Against it, every row read at once by a dataset of the same kind.
    TFbQuery all;
    all.SetDatabase(DM->Database);
    all.SetSQL(statement);
    const long rssBefore = RssKb();
    const qint64 start = Sup::Now();
    all.Open();
    all.Last();
    const qint64 ns = Sup::Now() - start;
    std::printf("  fetch-all (opened, moved to the last row): %d rows in %.1f s, dataset %.1f MB, "
                "%.1f MB RSS added\n",
                all.RecordCount(), ns / 1e9, all.MemoryUsage() / 1048576.0, (RssKb() - rssBefore) / 1024.0);
    all.Close();
    std::fflush(stdout);
}

bool Orders(TPrincipalForm &principal, const QString &path, int clients)
{
    std::printf("\nthe order screen for one client, up to its grid painted (best of 7):\n");
    bool within = true;
    for (const int client : {std::max(1, clients / 4), std::max(1, clients / 2), std::max(1, clients * 3 / 4)}) {
        DM->ClientesQuery->Close();
        DM->ClientesQuery->SetSQL(QStringLiteral("select * from clientes where idcliente=") +
                                  QString::number(client));
        DM->ClientesQuery->Open();
        qint64 best = INT64_MAX, worst = 0, bare = INT64_MAX;
        long long rows = 0, rowsBare = 0;
        for (int run = 0; run < 7; ++run) {
            const QList<QWidget *> before = Screens(principal);
            const qint64 start = Sup::Now();
            principal.OrdemdeServio1Click();
            auto *screen = qobject_cast<TOrdemservForm *>(NewScreen(principal, before));
            if (!screen)
                throw std::runtime_error("the order screen did not open");
            const QImage painted = screen->DBGrid1->viewport()->grab().toImage();
            const qint64 ns = Sup::Now() - start;
            rows = screen->DBGrid1->model()->rowCount();
            delete screen;
            if (painted.isNull())
                std::puts("no picture");
            best = std::min(best, ns);
            worst = std::max(worst, ns);
            bare = std::min(bare, Sup::BareSelect(
                                      path, QByteArray("select * from ordemserv where idcliente=") +
                                                QByteArray::number(client), rowsBare));
        }
        within = within && best <= 100 * 1000000LL;
        std::printf("client %7d: %lld orders; screen %7.1f ms (slowest %7.1f ms), bare %6.2f ms %s\n", client,
                    rows, best / 1e6, worst / 1e6, bare / 1e6, best <= 100 * 1000000LL ? "(within 100 ms)"
                                                                                       : "(OVER 100 ms)");
        if (rows != rowsBare)
            std::printf("  row counts differ: %lld on the screen, %lld bare\n", rows, rowsBare);
    }
    std::fflush(stdout);
    return within;
}
} // namespace

int main(int argc, char *argv[])
{
    TBenchSupport::OffscreenUnlessSet();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    try {
        QStringList args = app.arguments().mid(1);
        Sup::CpuTime() = args.removeAll(QStringLiteral("--cpu")) > 0;
        const bool byPage = args.removeAll(QStringLiteral("--page")) > 0;
        int runs = 3;
        if (const qsizetype i = args.indexOf(QStringLiteral("--runs")); i >= 0 && i + 1 < args.size())
            runs = std::max(1, args[i + 1].toInt());
        const TBenchBigDatabase big(TBenchBigDatabase::FromArguments(args));
        const QString path = big.Path();

        TDM dm;
        dm.Database->SetDatabaseName(path);
        const long rss = RssKb();
        const qint64 start = Sup::Now();
        dm.OpenAll();
        std::printf("data module opened in %.1f s, %.1f MB RSS added\n", (Sup::Now() - start) / 1e9,
                    (RssKb() - rss) / 1024.0);

        TPrincipalForm principal;
        principal.SetScreenFactory(TPrincipalForm::Screen::ClientList,
                                   [](QWidget *owner) { return new TListaClientesForm(owner); });
        principal.SetScreenFactory(TPrincipalForm::Screen::Suppliers,
                                   [](QWidget *owner) { return new TForneForm(owner); });
        principal.SetScreenFactory(TPrincipalForm::Screen::Products,
                                   [](QWidget *owner) { return new TProdForm(owner); });
        principal.SetScreenFactory(TPrincipalForm::Screen::StockReport,
                                   [](QWidget *owner) { return new TRelForm(owner); });
        principal.SetScreenFactory(TPrincipalForm::Screen::Orders,
                                   [](QWidget *owner) { return new TOrdemservForm(owner); });

        bool listsWithin = true;
        Lists(principal, path, runs, listsWithin);
        Scroll(principal, byPage);
        const bool ordersWithin = Orders(principal, path, big.Counts().clients);
        std::printf("\n%s\n", listsWithin && ordersWithin ? "goals met: lists within 1.5x, order screen within 100 ms"
                                                          : "goal missed (see above)");
        return listsWithin && ordersWithin ? 0 : 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
