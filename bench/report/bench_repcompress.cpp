// Splay-tree page coder against zlib level 6 (qCompress/qUncompress) on the
// same recorded pages, in the same run; prints the speeds (MB/s of page
// bytes, from processor time) and the time ratios at the end.

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

// Also keeps each benchmark's processor time per iteration, in seconds.
class Collector : public BenchTimes
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                cpu[r.benchmark_name()] = r.cpu_accumulated_time / double(r.iterations);
        BenchTimes::ReportRuns(runs);
    }

    std::map<std::string, double> cpu;
};

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
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto ratio = [&](const char *a, const char *b) {
        const double r = collector.Ratio(a, b);
        const auto ca = collector.cpu.find(a), cb = collector.cpu.find(b);
        if (r < 0 || ca == collector.cpu.end() || cb == collector.cpu.end())
            return;
        // Processor time is what the coders cost; wall time also holds
        // whatever else the machine was doing.
        std::printf("%s %.1f MB/s, %s %.1f MB/s (processor time): %s / %s time %.2f processor, %.2f wall\n", a,
                    double(TotalBytes()) / ca->second / 1e6, b, double(TotalBytes()) / cb->second / 1e6, a, b,
                    ca->second / cb->second, r);
    };
    ratio("BM_SplayEncode", "BM_ZlibEncode");
    ratio("BM_SplayDecode", "BM_ZlibDecode");
    benchmark::Shutdown();
    return 0;
}
