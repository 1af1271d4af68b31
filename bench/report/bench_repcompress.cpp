// Splay-tree page coder against zlib level 6 (qCompress/qUncompress) on the
// same recorded pages, in the same run; prints the time ratios at the end.

#include "bench/report/benchtimes.h"
#include "report/store/trepcompress.h"
#include "tests/support/samplepages.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

const QList<QByteArray> &Pages()
{
    static const QList<QByteArray> pages = SampleOrderPages(20);
    return pages;
}

qint64 TotalBytes()
{
    qint64 n = 0;
    for (const QByteArray &p : Pages())
        n += p.size();
    return n;
}

void BM_SplayEncode(benchmark::State &state)
{
    qint64 out = 0;
    for (auto _ : state) {
        out = 0;
        for (const QByteArray &p : Pages())
            out += TRepCompress::Compress(p).size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes());
    state.counters["ratio%"] = 100.0 * double(out) / double(TotalBytes());
}

void BM_SplayDecode(benchmark::State &state)
{
    QList<QByteArray> packed;
    for (const QByteArray &p : Pages())
        packed.append(TRepCompress::Compress(p));
    for (auto _ : state) {
        for (int i = 0; i < packed.size(); ++i)
            benchmark::DoNotOptimize(TRepCompress::Decompress(packed[i], Pages()[i].size()));
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes());
}

void BM_ZlibEncode(benchmark::State &state)
{
    qint64 out = 0;
    for (auto _ : state) {
        out = 0;
        for (const QByteArray &p : Pages())
            out += qCompress(p, 6).size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes());
    state.counters["ratio%"] = 100.0 * double(out) / double(TotalBytes());
}

void BM_ZlibDecode(benchmark::State &state)
{
    QList<QByteArray> packed;
    for (const QByteArray &p : Pages())
        packed.append(qCompress(p, 6));
    for (auto _ : state) {
        for (const QByteArray &p : packed)
            benchmark::DoNotOptimize(qUncompress(p));
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes());
}

BENCHMARK(BM_SplayEncode);
BENCHMARK(BM_ZlibEncode);
BENCHMARK(BM_SplayDecode);
BENCHMARK(BM_ZlibDecode);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("%lld bytes in %lld recorded pages\n", static_cast<long long>(TotalBytes()),
                static_cast<long long>(Pages().size()));
    BenchTimes collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto ratio = [&](const char *a, const char *b) {
        const double r = collector.Ratio(a, b);
        if (r >= 0)
            std::printf("%s / %s time: %.2f\n", a, b, r);
    };
    ratio("BM_SplayEncode", "BM_ZlibEncode");
    ratio("BM_SplayDecode", "BM_ZlibDecode");
    benchmark::Shutdown();
    return 0;
}
