// The screens on a shop's database with years of data, against the bare
// client API in the same run.
//
// Opening: the client list, the supplier list, the product list and the
// stock report opened as the main window's menu opens them, up to the grid
// painted. Against each, a bare isc_dsql_fetch loop over the statement the
// screen's dataset then holds, fetching only the rows the grid shows
// (prepare, execute, fetch those rows) on an attachment of its own, made
// for it (its prepare reads the table's metadata). Goal: within 1.5x.
// Beside it, what the dataset holds once painted (rows read, its own count
// of bytes), the resident memory the opening added (first opening), and the
// database part alone on an attachment that stays open: the screen's
// dataset opened and the rows shown read, against the bare query run a
// second time on its attachment.
//
// Scrolling: the client list from top to bottom, as a user dragging the
// scroll bar's thumb to the bottom again and again (the grid reading more
// rows each time): the steps, the longest one, the whole time, and the
// memory at the bottom against the same screen reading every row when it
// opens (as the list did before rows were read as shown) and against a
// dataset alone reading every row. Each reading runs in a process of its
// own (--reading NAME, started by this run). --page scrolls a page at a
// time instead (one step per page: long at a million rows).
//
// The order screen: opened for a client as the main window opens it, up to
// its grid painted with the client's orders, for clients at a quarter, half
// and three quarters of the keys. Goal: within 100 ms, whatever the number
// of orders in the database (compare --clients 100000, about 300,000
// orders).
//
//   build/bin/bench_scalescreens [--cpu] [--runs R] [--page] [--lists] [--clients N]
// --lists measures the openings only (for a profiler).
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
#include <QFileInfo>
#include <QProcess>
#include <QScrollBar>
#include <malloc.h>
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

// The dataset layer alone on the program's attachment: the statement
// opened and the rows shown read, as the screen's dataset does it.
qint64 DataSetOpen(const QString &statement, int rows)
{
    TFbQuery q;
    q.SetDatabase(DM->Database);
    q.SetSQL(statement);
    const qint64 start = Sup::Now();
    q.Open();
    if (q.FetchedCount() < rows)
        q.FetchMore(rows - q.FetchedCount());
    const qint64 ns = Sup::Now() - start;
    q.Close();
    return ns;
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
        qint64 screen = INT64_MAX, bare = INT64_MAX, warm = INT64_MAX, dataSet = INT64_MAX;
        Opened first;
        long long rowsBare = 0, rowsWarm = 0;
        for (int run = 0; run < runs; ++run) {
            const Opened o = Open(principal, c.click);
            if (run == 0)
                first = o;
            screen = std::min(screen, o.ns);
            const QByteArray sql = o.statement.toLatin1();
            bare = std::min(bare, Sup::BareSelect(path, sql, rowsBare, o.shown));
            warm = std::min(warm, Sup::BareSelect(path, sql, rowsWarm, o.shown, Sup::Attachment::Warm));
            dataSet = std::min(dataSet, DataSetOpen(o.statement, o.shown));
        }
        const double ratio = double(screen) / double(bare);
        allWithin = allWithin && ratio <= 1.5;
        std::printf("%-14s screen %8.1f ms  bare (%3lld rows shown) %7.1f ms  ratio %6.2f %s\n", c.name,
                    screen / 1e6, rowsBare, bare / 1e6, ratio, ratio <= 1.5 ? "(within 1.5x)" : "(OVER 1.5x)");
        std::printf("               grid holds %d rows, dataset %.1f MB; first opening added %.1f MB RSS\n"
                    "               on an open attachment: the dataset %.2f ms, the bare query %.2f ms "
                    "(ratio %.2f)\n"
                    "               %s\n",
                    first.held, first.bytes / 1048576.0, first.rssAdded / 1024.0, dataSet / 1e6, warm / 1e6,
                    double(dataSet) / double(warm), qPrintable(first.statement));
        std::fflush(stdout);
    }
}

// How the client list's rows are read for the memory comparison.
enum class Reading {
    AsShown,          // the grid reads them as the user scrolls to the bottom
    ScreenAllAtOnce,  // the screen as it was: every row read when it opened
    DataSetAllAtOnce, // a dataset alone, every row read (no grid)
};

struct Reached
{
    long rssOpen = 0, rssEnd = 0;   // kB
    long heldOpen = 0, heldEnd = 0; // kB the allocator has handed out and not had back
    size_t bytes = 0;               // the dataset's own count
    int rows = 0, lastShown = 0;
    long long steps = 0;
    qint64 longest = 0, total = 0;
};

// What the process holds through malloc: RSS also counts memory given back
// to the allocator and kept by it for the next request.
long HeldKb()
{
    const struct mallinfo2 m = mallinfo2();
    return long((m.uordblks + m.hblkhd) / 1024);
}

// The client list (or its dataset) from opened to every row read, in this
// process.
Reached ReadToTheEnd(TPrincipalForm &principal, Reading reading, bool byPage)
{
    Reached r;
    if (reading == Reading::DataSetAllAtOnce) {
        TFbQuery all;
        all.SetDatabase(DM->Database);
        all.SetSQL(QStringLiteral("select * from clientes order by nome"));
        r.rssOpen = RssKb();
        r.heldOpen = HeldKb();
        const qint64 start = Sup::Now();
        all.Open();
        all.Last();
        r.total = r.longest = Sup::Now() - start;
        r.steps = 1;
        r.rssEnd = RssKb();
        r.heldEnd = HeldKb();
        r.rows = all.RecordCount();
        r.bytes = all.MemoryUsage();
        return r;
    }
    const QList<QWidget *> before = Screens(principal);
    r.rssOpen = RssKb();
    r.heldOpen = HeldKb();
    principal.ListadeClientes1Click();
    QWidget *screen = NewScreen(principal, before);
    TDBGrid *grid = screen ? screen->findChild<TDBGrid *>() : nullptr;
    if (!grid)
        throw std::runtime_error("the client list did not open");
    grid->viewport()->grab();
    QAbstractItemModel *model = grid->model();
    QScrollBar *bar = grid->verticalScrollBar();
    int stuck = 0;
    for (;;) {
        const int rows = model->rowCount();
        const qint64 start = Sup::Now();
        if (reading == Reading::ScreenAllAtOnce)
            grid->DataSet()->Last();
        else if (byPage)
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        else
            bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        grid->viewport()->grab();
        const qint64 ns = Sup::Now() - start;
        r.total += ns;
        r.longest = std::max(r.longest, ns);
        ++r.steps;
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
    r.rssEnd = RssKb();
    r.heldEnd = HeldKb();
    r.rows = model->rowCount();
    r.lastShown = grid->rowAt(grid->viewport()->height() - 1) + 1;
    r.bytes = grid->DataSet()->MemoryUsage();
    delete screen;
    return r;
}

const char *const kReadings[] = {"as-shown", "screen-all", "dataset-all"};

// One reading in this process, written on one line for the run that asked.
int ReadOnly(TPrincipalForm &principal, const QString &which, bool byPage)
{
    for (int i = 0; i < 3; ++i) {
        if (which != QLatin1String(kReadings[i]))
            continue;
        const Reached r = ReadToTheEnd(principal, Reading(i), byPage);
        std::printf("reached %ld %ld %ld %ld %zu %d %d %lld %lld %lld\n", r.rssOpen, r.rssEnd, r.heldOpen,
                    r.heldEnd, r.bytes, r.rows, r.lastShown, r.steps, qint64(r.longest), qint64(r.total));
        return 0;
    }
    throw std::runtime_error("--reading takes as-shown, screen-all or dataset-all");
}

// Each reading in a process of its own, so that memory one of them let go
// is not taken again by the next and counted as nothing.
void Scroll(const QString &path, const QStringList &passOn, bool byPage)
{
    std::printf("\nthe client list read to its last row, each reading in a process of its own:\n");
    std::fflush(stdout);
    // The embedded engine lets one process at a time have the file.
    DM->Database->CloseAllDatasets();
    DM->Database->Close();
    Reached reached[3];
    for (int i = 0; i < 3; ++i) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // The database this run found or made: the child finds it there.
        env.insert(QStringLiteral("OS_BENCH_DATA"), QFileInfo(path).absolutePath());
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    QStringList(passOn) << QStringLiteral("--reading") << QLatin1String(kReadings[i]));
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            throw std::runtime_error(std::string("the reading ") + kReadings[i] + " failed");
        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        Reached &r = reached[i];
        bool found = false;
        for (const QByteArray &line : lines) {
            long long longest = 0, total = 0;
            if (std::sscanf(line.constData(), "reached %ld %ld %ld %ld %zu %d %d %lld %lld %lld", &r.rssOpen,
                            &r.rssEnd, &r.heldOpen, &r.heldEnd, &r.bytes, &r.rows, &r.lastShown, &r.steps,
                            &longest, &total) == 10) {
                r.longest = longest;
                r.total = total;
                found = true;
            }
        }
        if (!found)
            throw std::runtime_error(std::string("the reading ") + kReadings[i] + " said nothing");
    }
    const char *names[] = {byPage ? "scrolled a page at a time" : "the thumb dragged to the bottom",
                           "the screen reading every row when opened", "the dataset alone, every row read"};
    for (int i = 0; i < 3; ++i) {
        const Reached &r = reached[i];
        std::printf("  %-40s %7d rows, %6lld steps, longest %7.1f ms, in all %6.1f s; dataset %.1f MB, "
                    "RSS %.1f -> %.1f MB (added %.1f MB), held through malloc %.1f MB more\n",
                    names[i], r.rows, r.steps, r.longest / 1e6, r.total / 1e9, r.bytes / 1048576.0,
                    r.rssOpen / 1024.0, r.rssEnd / 1024.0, (r.rssEnd - r.rssOpen) / 1024.0,
                    (r.heldEnd - r.heldOpen) / 1024.0);
    }
    const long asShown = reached[0].rssEnd - reached[0].rssOpen;
    const long allAtOnce = reached[1].rssEnd - reached[1].rssOpen;
    std::printf("  read as shown against read at once: RSS %+.1f MB (%s), held %+.1f MB\n",
                (asShown - allAtOnce) / 1024.0, asShown <= allAtOnce ? "no higher" : "HIGHER",
                ((reached[0].heldEnd - reached[0].heldOpen) - (reached[1].heldEnd - reached[1].heldOpen)) / 1024.0);
    std::fflush(stdout);
    DM->Database->Open();
    DM->OpenAll();
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
        const bool listsOnly = args.removeAll(QStringLiteral("--lists")) > 0;
        const qsizetype reading = args.indexOf(QStringLiteral("--reading"));
        if (reading >= 0 && reading + 1 >= args.size())
            throw std::runtime_error("--reading needs the reading's name");
        const QString readingName = reading >= 0 ? args[reading + 1] : QString();
        // What a reading in a process of its own is started with.
        QStringList passOn = args;
        if (byPage)
            passOn << QStringLiteral("--page");
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
        if (reading >= 0)
            return ReadOnly(principal, readingName, byPage);
        Lists(principal, path, runs, listsWithin);
        if (listsOnly)
            return listsWithin ? 0 : 2;
        Scroll(path, passOn, byPage);
        const bool ordersWithin = Orders(principal, path, big.Counts().clients);
        std::printf("\n%s\n", listsWithin && ordersWithin ? "goals met: lists within 1.5x, order screen within 100 ms"
                                                          : "goal missed (see above)");
        return listsWithin && ordersWithin ? 0 : 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
