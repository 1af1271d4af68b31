// Start-up to idle, and the memory held at idle, on an empty database
// against a shop's database with years of data, in the same run.
//
// Each start is a process of its own (this program again, with --child):
// the program's own start-up path (the application set up, the main window,
// the data module and the service order printout made, the main window
// shown, which opens the database and the datasets the start opens) until
// the event loop first has nothing left to do after the database is open. Measured from just before the process is started, so the loading of
// the libraries counts as it does for the user:
//   painted  the main window's first paint done;
//   idle     the database open, the event loop about to wait;
//   RSS      resident memory at idle (VmRSS), and its peak (VmHWM);
//   CPU      the processor time the start took (all its threads), steadier
//            than the wall time on a machine busy with other work.
// Goal: the big database within 1.2x of the empty one's processor time and
// memory (the wall time is shown beside it).
//
//   build/bin/bench_startup [--runs R] [--clients N]
// R starts of each database (default 3, after one start of each not
// counted), the median reported. The big database: see
// bench/scale/tbenchbigdatabase.h (OS_BENCH_DATA keeps it between runs).
// Offscreen unless QT_QPA_PLATFORM says otherwise; under Xvfb as on a
// desktop: QT_QPA_PLATFORM=xcb xvfb-run -a build/bin/bench_startup
#include "app/tapplication.h"
#include "app/tprincipalform.h"
#include "bench/scale/tbenchbigdatabase.h"
#include "bench/tbenchsupport.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbquery.h"
#include "orders/trelosform.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {
// The wall clock every process of the machine shares.
qint64 Monotonic()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

long StatusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').first().toLong();
    return 0;
}

// Notes the first paint of a widget of the main window.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *window) : m_window(window) {}
    bool painted = false;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->isWidgetType() && static_cast<QWidget *>(o)->window() == m_window)
            painted = true;
        return false;
    }

private:
    QWidget *m_window;
};

// One start, as main.cpp makes it, on the database at `path`. Prints
// "painted <ns> idle <ns> rss <kB> peak <kB> cpu <ns>" (monotonic clock) and
// ends.
int Child(int argc, char **argv, const QString &path)
{
    TApplication app(argc, argv);
    TApplication::Configure();
    auto principal = std::make_unique<TPrincipalForm>();
    auto dm = std::make_unique<TDM>();
    dm->Database->SetDatabaseName(path);
    auto relOS = std::make_unique<TRelOSForm>(dm.get());

    PaintWatch watch(principal.get());
    app.installEventFilter(&watch);
    qint64 paintedAt = 0, idleAt = 0;
    TDM *data = dm.get();
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &app, [&] {
        const qint64 now = Monotonic();
        if (QApplication::activeModalWidget()) {
            // A message over the start (the database could not be opened):
            // no one is there to answer it.
            std::fprintf(stderr, "a message stopped the start: %s\n",
                         qPrintable(QApplication::activeModalWidget()->windowTitle()));
            QCoreApplication::exit(3);
            return;
        }
        if (watch.painted && !paintedAt)
            paintedAt = now;
        // The main window's first show opens the database, then whatever
        // datasets the start opens, in one go: connected and nothing left
        // to do is the end of the start, however few datasets it opens.
        if (paintedAt && !idleAt && data->Database->Connected()) {
            idleAt = now;
            QCoreApplication::quit();
        }
    });
    principal->show();
    if (const int code = app.exec())
        return code;
    timespec cpu;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::printf("painted %lld idle %lld rss %ld peak %ld cpu %lld\n", paintedAt, idleAt, StatusKb("VmRSS:"),
                StatusKb("VmHWM:"), qint64(cpu.tv_sec) * 1000000000 + cpu.tv_nsec);
    std::fflush(stdout);
    principal.reset();
    relOS.reset();
    dm.reset();
    return 0;
}

struct Start
{
    double painted = 0, idle = 0;   // ms from the process's start
    double cpu = 0;                  // ms
    long rss = 0, peak = 0;          // kB
};

Start Run(const QString &self, const QString &path, const QString &home)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The user's settings stay out of it.
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 start = Monotonic();
    child.start(self, {QStringLiteral("--child"), path});
    if (!child.waitForFinished(30 * 60 * 1000) || child.exitCode() != 0)
        throw std::runtime_error(("a start did not end well: " + child.errorString()).toStdString());
    const QList<QByteArray> words = child.readAllStandardOutput().simplified().split(' ');
    const qsizetype at = words.indexOf("painted");
    if (at < 0 || words.size() < at + 10)
        throw std::runtime_error("a start said nothing");
    Start s;
    s.painted = (words[at + 1].toLongLong() - start) / 1e6;
    s.idle = (words[at + 3].toLongLong() - start) / 1e6;
    s.rss = words[at + 5].toLong();
    s.peak = words[at + 7].toLong();
    s.cpu = words[at + 9].toLongLong() / 1e6;
    return s;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "--child") == 0)
            return Child(argc, argv, QString::fromLocal8Bit(argv[i + 1]));

    TBenchSupport::OffscreenUnlessSet();   // the children inherit it
    QCoreApplication app(argc, argv);
    try {
        QStringList args = app.arguments().mid(1);
        const TBenchBigDatabase big(TBenchBigDatabase::FromArguments(args));
        int runs = 3;
        if (const qsizetype i = args.indexOf(QStringLiteral("--runs")); i >= 0 && i + 1 < args.size())
            runs = std::max(1, args[i + 1].toInt());
        QTemporaryDir work;
        const QString empty = work.filePath(QStringLiteral("EMPTY.GDB"));
        TDmSchema::CreateDatabaseFile(empty);
        const QString home = work.filePath(QStringLiteral("home"));
        QDir().mkpath(home);

        struct Series
        {
            const char *name;
            QString path;
            std::vector<double> painted, idle, rss, peak, cpu;
        } series[] = {{"empty database", empty, {}, {}, {}, {}, {}},
                      {"big database", big.Path(), {}, {}, {}, {}, {}}};
        std::printf("platform: %s\n", qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM")));
        for (int run = -1; run < runs; ++run) {   // run -1 warms the file cache
            for (Series &s : series) {
                const Start r = Run(app.applicationFilePath(), s.path, home);
                std::printf("  %s%-15s painted %8.0f ms  idle %8.0f ms  CPU %8.0f ms  RSS %7.1f MB  peak %7.1f MB\n",
                            run < 0 ? "(not counted) " : "", s.name, r.painted, r.idle, r.cpu, r.rss / 1024.0,
                            r.peak / 1024.0);
                std::fflush(stdout);
                if (run < 0)
                    continue;
                s.painted.push_back(r.painted);
                s.idle.push_back(r.idle);
                s.rss.push_back(r.rss / 1024.0);
                s.peak.push_back(r.peak / 1024.0);
                s.cpu.push_back(r.cpu);
            }
        }
        const Series &e = series[0], &b = series[1];
        const double timeRatio = Median(b.idle) / Median(e.idle);
        const double memoryRatio = Median(b.rss) / Median(e.rss);
        std::printf("median of %d:\n", runs);
        for (const Series &s : series)
            std::printf("%-15s painted %8.0f ms  idle %8.0f ms  CPU %8.0f ms  RSS %7.1f MB  peak %7.1f MB\n",
                        s.name, Median(s.painted), Median(s.idle), Median(s.cpu), Median(s.rss), Median(s.peak));
        std::printf("big / empty: time to idle %.2fx (CPU %.2fx), RSS at idle %.2fx\n", timeRatio,
                    Median(b.cpu) / Median(e.cpu), memoryRatio);
        // Judged on processor time: the wall time also counts whatever
        // else the machine was doing, and is shown beside it.
        const double cpuRatio = Median(b.cpu) / Median(e.cpu);
        const bool goal = cpuRatio <= 1.2 && memoryRatio <= 1.2;
        std::printf("%s\n", goal ? "goal met: within 1.2x in processor time and memory"
                                 : "goal missed (1.2x in processor time and memory)");
        if (goal && timeRatio > 1.2)
            std::printf("  (the wall time was over 1.2x: the machine was busy, or the start waited on the disk)\n");
        return goal ? 0 : 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
