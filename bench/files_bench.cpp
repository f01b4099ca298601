// File copy benchmark: FileSystem against cp on the same files, in the same run.
//
//   folder/vistrel      CopyFolder of a tree of 2,000 files (mixed sizes, about 1 GB in 24
//                       folders) into an empty destination
//   folder/cp           cp -r of the same tree
//   files500/vistrel    CopyFile of 500 picture-sized files (about 200 MB) into an empty folder,
//                       one call per file with a progress callback, as Copy To does
//   files500/cp         one cp of the same 500 files
//   overwrite/vistrel   the same 500 files copied again onto their earlier copies: each goes
//                       through a temporary file that is flushed (fsync) and renamed over
//   overwrite/cp        cp onto the earlier copies, which truncates and rewrites them in place
//
// Goals: folder and files500 within 1.25 x cp. The overwrite case has no goal; it shows what
// keeping the old file safe costs. Before every timed copy the destination is emptied (or
// refilled) and sync() writes back what earlier runs left dirty, so each run starts alike;
// caches are warm. Repetitions are interleaved at random, so that other programs on the machine
// slow both sides alike; the summary gives medians, the best runs and the CPU time of the
// copies (for cp, of the child). Single runs go to --benchmark_out.
//
//   files_bench [--dir DIR] [--megabytes N] [Google Benchmark flags]
//
// DIR (default /tmp/vistrel-bench/files) holds the generated files, made once from fixed seeds
// and reused while their plan is unchanged, and the copies. N (default 1024) is the tree's size;
// the 500 files are scaled with it. Needs about 3.6 x N MB free.

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/files/filesystem.h"
#include "core/platform/trash.h"

using namespace vistrel;
namespace fs = std::filesystem;

namespace {

struct NoTrash : core::Trash {
    bool HasTrash(const std::string&) override { return false; }
    std::optional<std::string> MoveToTrash(const std::string&) override { return std::nullopt; }
};

struct Plan {
    std::string name;
    int files;
    int folders; // 0: all in one folder
    double smallest, largest; // bytes before scaling; sizes are log-uniform in between
    double totalBytes;
};

fs::path g_dir = "/tmp/vistrel-bench/files";
double g_megabytes = 1024;
int g_repetitions = 0; // from --benchmark_repetitions; otherwise each case has its own

std::uint64_t Next(std::uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

std::string Describe(const Plan& plan) {
    return plan.name + " " + std::to_string(plan.files) + " " + std::to_string(plan.folders) +
           " " + std::to_string(plan.smallest) + " " + std::to_string(plan.largest) + " " +
           std::to_string(plan.totalBytes);
}

// Makes plan's files under g_dir/plan.name unless a complete set with this plan is there.
// Returns the relative paths of the files.
std::vector<fs::path> Generate(const Plan& plan, std::uint64_t& bytes) {
    std::uint64_t state = 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(plan.files);
    std::vector<double> raw(static_cast<std::size_t>(plan.files));
    double sum = 0;
    for (double& size : raw) {
        const double unit = static_cast<double>(Next(state) >> 11) * 0x1p-53;
        size = plan.smallest * std::pow(plan.largest / plan.smallest, unit);
        sum += size;
    }
    std::vector<fs::path> names;
    std::vector<std::uint64_t> sizes;
    bytes = 0;
    for (int i = 0; i < plan.files; ++i) {
        fs::path name = "IMG_" + std::to_string(1000 + i) + ".jpg";
        if (plan.folders > 0) {
            const int folder = i % plan.folders;
            fs::path sub = "set" + std::to_string(folder);
            if (folder % 4 == 3) sub /= "raw"; // some nesting
            name = sub / name;
        }
        names.push_back(name);
        sizes.push_back(static_cast<std::uint64_t>(raw[static_cast<std::size_t>(i)] * plan.totalBytes / sum));
        bytes += sizes.back();
    }

    const fs::path root = g_dir / plan.name;
    const fs::path marker = g_dir / (plan.name + ".complete");
    std::ifstream markerIn(marker);
    std::string written;
    std::getline(markerIn, written);
    if (written == Describe(plan)) return names;

    std::printf("generating %s: %d files, %.0f MB\n", plan.name.c_str(), plan.files, bytes / 1048576.0);
    fs::remove(marker);
    fs::remove_all(root);
    std::vector<std::uint64_t> block(1 << 17);
    for (std::size_t i = 0; i < names.size(); ++i) {
        fs::create_directories((root / names[i]).parent_path());
        std::ofstream out(root / names[i], std::ios::binary);
        for (std::uint64_t left = sizes[i]; left > 0;) {
            for (std::uint64_t& word : block) word = Next(state); // incompressible, like JPEG data
            const std::uint64_t n = std::min<std::uint64_t>(left, block.size() * 8);
            out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
            left -= n;
        }
    }
    ::sync();
    std::ofstream(marker) << Describe(plan) << '\n';
    return names;
}

struct Sets {
    std::vector<fs::path> tree, flat;
    std::uint64_t treeBytes = 0, flatBytes = 0;
};
Sets g_sets;

std::string Quote(const fs::path& path) {
    std::string quoted = "'";
    for (const char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Empties (or makes) a destination folder and writes back dirty pages, outside the timing.
void Fresh(benchmark::State& state, const fs::path& folder) {
    state.PauseTiming();
    fs::remove_all(folder);
    fs::create_directories(folder);
    ::sync();
    state.ResumeTiming();
}

// CPU seconds, user and system, of this process (RUSAGE_SELF) or of its ended children.
double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU time of the timed copies alone, per copy: less disturbed by a busy machine than wall
// time, and for cp the only way to see it (it runs as a child).
class CpuMeter {
public:
    explicit CpuMeter(int who) : m_who(who) {}
    void Start() { m_started = CpuSeconds(m_who); }
    void Stop() { m_total += CpuSeconds(m_who) - m_started; }
    void Report(benchmark::State& state) const {
        state.counters["cpu_ms"] = m_total * 1000.0 / static_cast<double>(state.iterations());
    }

private:
    int m_who;
    double m_started = 0, m_total = 0;
};

void Run(benchmark::State& state, const std::string& command) {
    if (std::system(command.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
}

void FolderVistrel(benchmark::State& state) {
    NoTrash trash;
    core::FileSystem files(trash);
    const fs::path out = g_dir / "out-vistrel";
    std::uint64_t reports = 0;
    CpuMeter cpu(RUSAGE_SELF);
    for (auto _ : state) {
        Fresh(state, out);
        cpu.Start();
        const auto failure = files.CopyFolder((g_dir / "tree").string(), out.string(),
                                              [&](std::uint64_t, std::uint64_t) { ++reports; });
        cpu.Stop();
        if (failure) state.SkipWithError(failure->c_str());
    }
    cpu.Report(state);
    state.counters["reports"] = static_cast<double>(reports) / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(g_sets.treeBytes * state.iterations()));
}

void FolderCp(benchmark::State& state) {
    const fs::path out = g_dir / "out-cp";
    CpuMeter cpu(RUSAGE_CHILDREN);
    for (auto _ : state) {
        Fresh(state, out);
        cpu.Start();
        Run(state, "cp -r " + Quote(g_dir / "tree") + " " + Quote(out) + "/");
        cpu.Stop();
    }
    cpu.Report(state);
    state.SetBytesProcessed(static_cast<std::int64_t>(g_sets.treeBytes * state.iterations()));
}

void CopyFlatVistrel(benchmark::State& state, bool overwrite) {
    NoTrash trash;
    core::FileSystem files(trash);
    const fs::path out = g_dir / (overwrite ? "over-vistrel" : "out-vistrel");
    CpuMeter cpu(RUSAGE_SELF);
    for (auto _ : state) {
        if (overwrite) {
            state.PauseTiming();
            if (!fs::exists(out / g_sets.flat.back())) {
                fs::create_directories(out);
                for (const fs::path& name : g_sets.flat)
                    fs::copy_file(g_dir / "flat" / name, out / name, fs::copy_options::overwrite_existing);
            }
            ::sync();
            state.ResumeTiming();
        } else {
            Fresh(state, out);
        }
        cpu.Start();
        for (const fs::path& name : g_sets.flat) {
            const auto failure = files.CopyFile((g_dir / "flat" / name).string(),
                                                (out / name).string(), true,
                                                [](std::uint64_t, std::uint64_t) {});
            if (failure) {
                state.SkipWithError(failure->c_str());
                break;
            }
        }
        cpu.Stop();
    }
    cpu.Report(state);
    state.SetBytesProcessed(static_cast<std::int64_t>(g_sets.flatBytes * state.iterations()));
}

void CopyFlatCp(benchmark::State& state, bool overwrite) {
    const fs::path out = g_dir / (overwrite ? "over-cp" : "out-cp");
    std::string command = "cd " + Quote(g_dir / "flat") + " && cp";
    for (const fs::path& name : g_sets.flat) command.append(" ").append(name.string());
    command.append(" ").append(Quote(out)).append("/");
    CpuMeter cpu(RUSAGE_CHILDREN);
    for (auto _ : state) {
        if (overwrite) {
            state.PauseTiming();
            if (!fs::exists(out / g_sets.flat.back())) {
                fs::create_directories(out);
                Run(state, command);
            }
            ::sync();
            state.ResumeTiming();
        } else {
            Fresh(state, out);
        }
        cpu.Start();
        Run(state, command);
        cpu.Stop();
    }
    cpu.Report(state);
    state.SetBytesProcessed(static_cast<std::int64_t>(g_sets.flatBytes * state.iterations()));
}

// Medians and bests of the repetitions by case name. Other programs only ever add time, so
// the best run is the steadier figure on a busy machine; the goals are judged on the median.
struct Collector : benchmark::ConsoleReporter {
    std::map<std::string, double> median, best, cpu;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Aggregate) continue;
            const double ms = run.GetAdjustedRealTime() * 1000.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.aggregate_name == "median") {
                median[run.run_name.function_name] = ms;
                const auto counter = run.counters.find("cpu_ms");
                if (counter != run.counters.end()) cpu[run.run_name.function_name] = counter->second;
            }
            if (run.aggregate_name == "best") best[run.run_name.function_name] = ms;
        }
    }
};

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

void Summarise(const Collector& c, const std::string& loadBefore) {
    const auto find = [](const std::map<std::string, double>& in, const std::string& name) {
        const auto it = in.find(name);
        return it == in.end() ? -1.0 : it->second;
    };
    std::printf("\nTree: %zu files, %.0f MB. Flat: %zu files, %.0f MB. In %s.\n", g_sets.tree.size(),
                g_sets.treeBytes / 1048576.0, g_sets.flat.size(), g_sets.flatBytes / 1048576.0,
                g_dir.c_str());
    std::printf("Load average before: %s, after: %s (2 cores: above 1 the figures are noisy)\n\n",
                loadBefore.c_str(), LoadAverage().c_str());
    std::printf("%-10s %11s %11s %8s %6s %9s %13s %10s\n", "case", "vistrel ms", "cp ms", "x cp",
                "goal", "best x cp", "CPU ms v/cp", "CPU x cp");
    int missed = 0;
    for (const auto& [name, goal] : {std::pair<const char*, double>{"folder", 1.25},
                                     {"files500", 1.25}, {"overwrite", 0}}) {
        const double ours = find(c.median, std::string(name) + "/vistrel");
        const double theirs = find(c.median, std::string(name) + "/cp");
        if (ours < 0 || theirs <= 0) continue; // filtered out
        const double ratio = ours / theirs;
        const double bestRatio = find(c.best, std::string(name) + "/vistrel") /
                                 find(c.best, std::string(name) + "/cp");
        const char* verdict = goal == 0 ? "(no goal: fsync per file)" : ratio <= goal ? "ok" : "MISSED";
        if (goal > 0 && ratio > goal) ++missed;
        const double ourCpu = find(c.cpu, std::string(name) + "/vistrel");
        const double theirCpu = find(c.cpu, std::string(name) + "/cp");
        std::printf("%-10s %11.1f %11.1f %8.2f %6s %9.2f %6.0f/%-6.0f %10.2f  %s\n", name, ours,
                    theirs, ratio, goal == 0 ? "-" : "1.25", bestRatio, ourCpu, theirCpu,
                    ourCpu / theirCpu, verdict);
    }
    std::printf("\n%d case(s) miss a goal\n", missed);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    bool interleaving = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc)
            g_dir = argv[++i];
        else if (arg == "--megabytes" && i + 1 < argc)
            g_megabytes = std::atof(argv[++i]);
        else
            args.push_back(argv[i]);
        interleaving = interleaving || arg.rfind("--benchmark_enable_random_interleaving", 0) == 0;
        if (arg.rfind("--benchmark_repetitions=", 0) == 0) g_repetitions = std::atoi(arg.c_str() + 24);
    }
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (!interleaving) args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    const double scale = g_megabytes / 1024.0;
    g_sets.tree = Generate({"tree", 2000, 24, 16e3, 12e6, 1024.0 * 1048576 * scale}, g_sets.treeBytes);
    g_sets.flat = Generate({"flat", 500, 0, 20e3, 2e6, 200.0 * 1048576 * scale}, g_sets.flatBytes);

    // One copy per repetition; the short cases get more of them.
    const auto runs = [](benchmark::internal::Benchmark* b, int repetitions) {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)
            ->Repetitions(g_repetitions > 0 ? g_repetitions : repetitions)
            ->ComputeStatistics("best", [](const std::vector<double>& v) {
                return *std::min_element(v.begin(), v.end());
            })
            ->DisplayAggregatesOnly(true);
    };
    runs(benchmark::RegisterBenchmark("folder/vistrel", FolderVistrel), 11);
    runs(benchmark::RegisterBenchmark("folder/cp", FolderCp), 11);
    runs(benchmark::RegisterBenchmark("files500/vistrel", CopyFlatVistrel, false), 21);
    runs(benchmark::RegisterBenchmark("files500/cp", CopyFlatCp, false), 21);
    runs(benchmark::RegisterBenchmark("overwrite/vistrel", CopyFlatVistrel, true), 9);
    runs(benchmark::RegisterBenchmark("overwrite/cp", CopyFlatCp, true), 9);

    const std::string loadBefore = LoadAverage();
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    Summarise(collector, loadBefore);
    for (const char* out : {"out-vistrel", "out-cp", "over-vistrel", "over-cp"}) fs::remove_all(g_dir / out);
    benchmark::Shutdown();
    return 0;
}
