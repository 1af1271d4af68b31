#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Console reporter that also keeps each benchmark's real time per iteration
// by name, for the comparisons a benchmark program prints at its end.
class BenchTimes : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // Time of a over time of b, or a negative number when either did not run.
    double Ratio(const std::string &a, const std::string &b) const
    {
        const auto ta = times.find(a), tb = times.find(b);
        if (ta == times.end() || tb == times.end() || tb->second <= 0)
            return -1;
        return ta->second / tb->second;
    }

    std::map<std::string, double> times;
};
