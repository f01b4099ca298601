// Metafile thumbnails: the 88 EMF files of the emf-libemf2svg corpus, drawn into the
// thumbnail box (87 x 75) one after another on one core, as the builder would on a one-core
// machine. Each round starts a fresh loader, so the helper processes' start-up is counted;
// the round ends when the loader has ended its helpers. Also measured: one fresh helper per
// file, which shows what keeping helpers saves.
//
//   metafile_bench [--rounds N] [--corpora DIR]

#if __has_include(<QImage>)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "qt/platform/metafileloader.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using vistrel::qt::MetafileLoader;

namespace {

double cpuSeconds() {
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

struct Round {
    double wallMs;
    double cpuMs;
    int failed;
};

Round run(const std::vector<fs::path>& files, int filesPerHelper) {
    const double cpuBefore = cpuSeconds();
    const auto start = Clock::now();
    int failed = 0;
    {
        MetafileLoader::Options options;
        options.filesPerHelper = filesPerHelper;
        MetafileLoader loader(options);
        for (const fs::path& file : files)
            failed += !loader.load(file.string(), vistrel::core::PixelSize{87, 75}).ok();
    } // ends and reaps the helpers, so their CPU time is counted
    const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return {wall / files.size(), (cpuSeconds() - cpuBefore) * 1000 / files.size(), failed};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    fs::path corpora = fs::path(VISTREL_BENCH_SOURCE_DIR) / ".." / "shared" / "corpora";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--corpora") == 0) corpora = argv[i + 1];
    }
    const fs::path folder = corpora / "emf-libemf2svg" / "emf";
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".emf") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "no EMF files in %s\n", folder.c_str());
        return 2;
    }
    // One core for this process and the helpers it starts.
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    sched_getaffinity(0, sizeof allowed, &allowed);
    int core = 0;
    while (core < CPU_SETSIZE && !CPU_ISSET(core, &allowed))
        ++core;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(core, &one);
    sched_setaffinity(0, sizeof one, &one);
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("%zu files from %s, box 87x75, on core %d; load average %.2f\n", files.size(),
                folder.c_str(), core, load[0]);
    std::printf("helper: %s\n\n", MetafileLoader::DefaultHelperPath().c_str());

    for (const auto& [name, perHelper] :
         {std::pair("kept helpers (64 files each)", 64), std::pair("a fresh helper per file", 1)}) {
        std::vector<double> wall, cpu;
        int failed = 0;
        for (int r = 0; r < rounds; ++r) {
            const Round round = run(files, perHelper);
            wall.push_back(round.wallMs);
            cpu.push_back(round.cpuMs);
            failed = std::max(failed, round.failed);
            std::printf("  %-30s round %d: %6.2f ms/file wall, %6.2f ms/file CPU\n", name, r + 1,
                        round.wallMs, round.cpuMs);
        }
        std::printf("= %s: median %.2f ms/file wall, %.2f ms/file CPU, %d failed%s\n\n", name,
                    median(wall), median(cpu), failed,
                    perHelper > 1 ? (median(wall) < 25 ? "  (goal < 25 ms: met)"
                                                       : "  (goal < 25 ms: missed)")
                                  : "");
    }
    getloadavg(load, 3);
    std::printf("load average after: %.2f\n", load[0]);
    return 0;
}

#else
#include <cstdio>
int main() {
    std::puts("metafile_bench needs the Qt front end (VISTREL_GUI)");
    return 0;
}
#endif
