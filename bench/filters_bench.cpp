// Pixel filter benchmark: each of the seven filters and the Properties dialog's three colour
// edits on a 1500 x 1500 picture, on one thread, beside a plain copy of the same buffer into a
// picture of the same size, in the same run.
//
//   copy          std::copy of the picture's pixels (9 MB) into the target
//   <filter>      the filter alone: snapshot in, output surface out
//   edit/<filter> the whole edit as a menu command or the dialog's Ok runs it: BeginPixelEdit
//                 (checks, one yield, snapshot), the filter, EndPixelEdit (copy-back, timing
//                 text), with fake platform services that do nothing
//
// After Google Benchmark's own table a summary gives each filter's ratio to the copy and checks
// the goals: point operations (Invert, Grey Scaling, Solarize, Brightness, RGB Balance, Replace
// Colour) within 12 x the copy, the 3 x 3 ones (Smooth, Sharpen, Emboss) within 50 x, Diffuse
// within 40 x, and every edit under 100 ms. Times are wall clock, medians of five repetitions; the load average before and
// after the run says whether the machine was busy.
//
//   filters_bench [Google Benchmark flags, e.g. --benchmark_filter=Smooth]

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/quietdialogs.h"
#include "core/app/mainwindowmodel.h"
#include "core/editing/colouredits.h"
#include "core/editing/filters.h"
#include "core/editing/pixeledit.h"
#include "core/platform/clock.h"
#include "core/platform/eventpump.h"

using namespace vistrel;
using core::Filter;

namespace {

constexpr int Side = 1500;

// One edit's loop: reads the snapshot, writes the output surface, reports its rows.
using Loop =
    std::function<void(const core::Image&, core::Image&, core::Clock&, const core::RowDone&)>;

Loop FilterLoop(Filter filter) {
    return [filter](const core::Image& source, core::Image& target, core::Clock& clock,
                    const core::RowDone& rowDone) {
        core::ApplyFilter(filter, source, target, clock, rowDone);
    };
}

struct Goal {
    Loop loop;
    const char* name;
    double ratio;
    core::PixelRect copyBack{0, 0, Side, Side};
};

Goal FilterGoal(Filter filter, const char* name, double ratio) {
    return {FilterLoop(filter), name, ratio, core::CopyBackRect(filter, Side, Side)};
}

// The colour edits with values the dialog could hold; the replacement's band takes in a good
// share of the picture.
const std::vector<Goal> Goals = {
    FilterGoal(Filter::Invert, "Invert", 12),
    FilterGoal(Filter::GreyScaling, "GreyScaling", 12),
    FilterGoal(Filter::Solarize, "Solarize", 12),
    FilterGoal(Filter::Smooth, "Smooth", 50),
    FilterGoal(Filter::Sharpen, "Sharpen", 50),
    FilterGoal(Filter::Emboss, "Emboss", 50),
    FilterGoal(Filter::Diffuse, "Diffuse", 40),
    {[](const core::Image& s, core::Image& t, core::Clock&, const core::RowDone& r) {
         core::Brightness(s, t, 40, r);
     },
     "Brightness", 12},
    {[](const core::Image& s, core::Image& t, core::Clock&, const core::RowDone& r) {
         core::RgbBalance(s, t, -30, 10, 60, r);
     },
     "RgbBalance", 12},
    {[](const core::Image& s, core::Image& t, core::Clock&, const core::RowDone& r) {
         core::ReplaceColour(s, t, 0x808080, 0xFFFFFF, 60, r);
     },
     "ReplaceColour", 12}};
constexpr double GoalEditMs = 100;

// Photo-like content: gradients with some noise, so no branch or table entry is favoured.
const core::Image& picture() {
    static const core::Image made = [] {
        core::Image image(Side, Side);
        std::uint32_t state = 7;
        for (int y = 0; y < Side; ++y) {
            core::Image::Pixel* row = image.row(y);
            for (int x = 0; x < Side; ++x) {
                state = state * 1664525u + 1013904223u;
                const int noise = static_cast<int>(state >> 26);
                const int r = (x * 255 / Side + noise) & 0xFF;
                const int g = (y * 255 / Side + noise) & 0xFF;
                const int b = ((x + y) / 8 + noise) & 0xFF;
                row[x] = 0xFF000000u | static_cast<std::uint32_t>(r << 16 | g << 8 | b);
            }
        }
        return image;
    }();
    return made;
}

using QuietDialogs = bench::QuietDialogs;
struct QuietPump : core::EventPump {
    void processPendingEvents() override {}
    void repaint() override {}
    void waitForEvents(int, bool) override {}
};
struct SteadyClock : core::Clock {
    std::uint64_t state = 1;
    std::chrono::system_clock::time_point now() const override { return std::chrono::system_clock::now(); }
    double elapsedSeconds() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    double random() override {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) * 0x1p-53;
    }
};

void copyBuffer(benchmark::State& state) {
    const core::Image& source = picture();
    core::Image target(Side, Side, 0);
    for (auto _ : state) {
        std::copy(source.data(), source.data() + source.pixelCount(), target.data());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}

void filterOnly(benchmark::State& state, const Loop& loop) {
    const core::Image& source = picture();
    core::Image target(Side, Side, 0);
    SteadyClock clock;
    for (auto _ : state) {
        loop(source, target, clock, {});
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}

void wholeEdit(benchmark::State& state, const Goal& goal) {
    core::MainWindowModel model;
    QuietDialogs dialogs;
    SteadyClock clock;
    QuietPump pump;
    core::PixelEdit edit(model, dialogs, clock, pump, '.');
    core::Image working = picture();
    for (auto _ : state) {
        if (!edit.BeginPixelEdit(working, true)) {
            state.SkipWithError("edit refused");
            break;
        }
        goal.loop(edit.ImagePixels(), edit.OutputSurface(), clock, edit.progress());
        edit.EndPixelEdit(goal.copyBack);
        benchmark::DoNotOptimize(working.data());
    }
}

struct Collector : benchmark::ConsoleReporter {
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // The median of the repetitions: other programs on the machine only ever add time.
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
                continue;
            const double toMs = 1000.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            ms[run.run_name.function_name] = run.GetAdjustedRealTime() * toMs;
        }
    }
};

std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

void summarise(const Collector& c, const std::string& loadBefore) {
    auto find = [&](const std::string& name) {
        const auto it = c.ms.find(name);
        return it == c.ms.end() ? -1.0 : it->second;
    };
    const double copy = find("copy");
    std::printf("\n%d x %d pixels, one thread. Load average before: %s, after: %s\n", Side, Side,
                loadBefore.c_str(), loadAverage().c_str());
    std::printf("copy %.3f ms\n\n%-12s %9s %7s %6s %9s  %s\n", copy, "filter", "ms", "x copy",
                "goal", "edit ms", "goals");
    int missed = 0;
    for (const Goal& g : Goals) {
        const double ms = find(g.name);
        std::string editName = "edit/";
        editName += g.name;
        const double edit = find(editName);
        if (ms < 0 || edit < 0 || copy <= 0) continue; // filtered out
        std::string verdict;
        if (ms / copy > g.ratio) verdict += " ratio";
        if (edit > GoalEditMs) verdict += " >100ms";
        if (verdict.empty())
            verdict = " ok";
        else
            ++missed;
        std::printf("%-12s %9.3f %7.2f %6.0f %9.3f %s\n", g.name, ms, ms / copy, g.ratio, edit,
                    verdict.c_str());
    }
    std::printf("\n%d filter(s) miss a goal\n", missed);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const auto configure = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.2)->Repetitions(5)->ReportAggregatesOnly(true);
    };
    picture(); // made before anything is timed
    const std::string loadBefore = loadAverage();
    benchmark::RegisterBenchmark("copy", copyBuffer)->Apply(configure);
    for (const Goal& g : Goals) {
        benchmark::RegisterBenchmark(g.name, filterOnly, g.loop)->Apply(configure);
        std::string editName = "edit/";
        editName += g.name;
        benchmark::RegisterBenchmark(editName.c_str(), wholeEdit, g)->Apply(configure);
    }
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    summarise(collector, loadBefore);
    benchmark::Shutdown();
    return 0;
}
