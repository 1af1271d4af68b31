// Reading page 10000 of a 10000-page stream against reading page 2, while
// the stream is being generated (temporary file) and from a saved file.

#include "bench/report/benchtimes.h"
#include "report/store/treppagelist.h"
#include "report/store/trepstream.h"
#include "tests/support/samplepages.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int PageTotal = 10000;

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<TRepPageList> generated[2]; // [compressed]
    QString saved[2];
};

Fixture &Streams()
{
    static Fixture f;
    static bool built = false;
    if (!built) {
        built = true;
        const QList<QByteArray> pages = SampleOrderPages(20);
        for (int c = 0; c < 2; ++c) {
            auto list = std::make_unique<TRepPageList>();
            list->SetCompression(c == 1);
            for (int i = 0; i < PageTotal; ++i)
                list->AddPage(pages[i % pages.size()]);
            list->Finish();
            f.saved[c] = f.dir.filePath(QStringLiteral("pages%1.rpf").arg(c));
            list->SaveToFile(f.saved[c]);
            f.generated[c] = std::move(list);
        }
    }
    return f;
}

void BM_ReadGenerated(benchmark::State &state)
{
    TRepPageList &list = *Streams().generated[state.range(1)];
    const int page = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(list.ReadPage(page));
}

void BM_ReadLoaded(benchmark::State &state)
{
    TRepPageList list;
    list.LoadFromFile(Streams().saved[state.range(1)]);
    const int page = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(list.ReadPage(page));
}

void BM_LoadFile(benchmark::State &state)
{
    const QString file = Streams().saved[state.range(0)];
    for (auto _ : state) {
        TRepPageList list;
        list.LoadFromFile(file);
        benchmark::DoNotOptimize(list.PageCount());
    }
}

BENCHMARK(BM_ReadGenerated)->ArgNames({"page", "compressed"})->Args({2, 0})->Args({PageTotal, 0})->Args({2, 1})->Args({PageTotal, 1});
BENCHMARK(BM_ReadLoaded)->ArgNames({"page", "compressed"})->Args({2, 0})->Args({PageTotal, 0})->Args({2, 1})->Args({PageTotal, 1});
BENCHMARK(BM_LoadFile)->ArgNames({"compressed"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Streams();
    BenchTimes collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    for (const char *kind : {"BM_ReadGenerated", "BM_ReadLoaded"}) {
        for (int c = 0; c < 2; ++c) {
            const std::string last = std::string(kind) + "/page:" + std::to_string(PageTotal) + "/compressed:" + std::to_string(c);
            const std::string second = std::string(kind) + "/page:2/compressed:" + std::to_string(c);
            const double r = collector.Ratio(last, second);
            if (r >= 0)
                std::printf("%s compressed=%d: page %d / page 2 time: %.2f\n", kind, c, PageTotal, r);
        }
    }
    benchmark::Shutdown();
    return 0;
}
