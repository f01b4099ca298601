#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Keeps each run's median time in milliseconds for a summary, besides printing as usual.
// The median of the repetitions: other programs on the machine only ever add time.
class MedianCollector : public benchmark::ConsoleReporter {
public:
    explicit MedianCollector(bool colour)
        : ConsoleReporter(colour ? OO_ColorTabular : OO_Tabular) {}
    std::map<std::string, double> ms;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Aggregate ||
                run.aggregate_name != "median")
                continue;
            const double toMs = 1000.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            ms[run.run_name.function_name] = run.GetAdjustedRealTime() * toMs;
        }
    }
    // The run's milliseconds, or -1 when it did not run.
    double get(const std::string& name) const {
        const auto it = ms.find(name);
        return it == ms.end() ? -1 : it->second;
    }
};
