// Camera-folder benchmark: the grid's thumbnails of 200 camera JPEGs (12 MP, each with the
// 160 x 120 EXIF thumbnail cameras write) built through the shared thumbnail cache, first
// into an empty cache and then again with the cache warm; and the mixed folder of
// thumbnails_bench, which has no EXIF thumbnails, built as before.
//
//   camerafolder_bench [--dir DIR] [--runs N] [--threads N] [--regenerate]
//
// See bench/README.md (and compare-camerafolder.sh, which sets vipsthumbnail beside it).

#if __has_include(<QImageReader>)

#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/buildrig.h"
#include "bench/photos.h"
#include "core/app/mainwindowmodel.h"
#include "core/browser/cachingloader.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/thumbnailbuilder.h"
#include "core/browser/thumbnailcache.h"
#include "core/browser/thumbnailsheet.h"
#include "qt/platform/exifthumbnailreader.h"
#include "qt/platform/qtpictureloader.h"
#include "qt/platform/qtthumbnailstore.h"

namespace fs = std::filesystem;
using namespace vistrel;
using namespace vistrel::bench;

namespace {

constexpr const char* kPlan = "camera-folder 1: 200 x 4000x3000 q90 grain 12, EXIF thumbnail "
                              "160x120 by convert -thumbnail, Orientation 6 on every fifth";
constexpr int kFiles = 200;
constexpr double kTwipsPerPixel = 15;

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string CameraName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "DSC%05d.JPG", i + 1);
    return name;
}

// The photo by Qt at quality 90, its thumbnail by ImageMagick as a camera makes it (the whole
// frame shrunk to 160 x 120), then the EXIF block with the thumbnail by exiftool, once for the
// whole folder. The marker is written last, so an interrupted generation is redone.
bool EnsureCameraFolder(const fs::path& root, bool regenerate, bool& generated) {
    const fs::path folder = root / "camera";
    const fs::path marker = root / "camera.complete";
    if (!regenerate && fs::exists(marker)) {
        std::ifstream in(marker);
        std::stringstream text;
        text << in.rdbuf();
        if (text.str() == kPlan) return true;
    }
    for (const char* tool : {"convert", "exiftool"})
        if (!Run(std::string("command -v ") + tool + " >/dev/null 2>&1")) {
            std::fprintf(stderr, "%s is not installed (compare-camerafolder.sh installs it)\n", tool);
            return false;
        }
    std::printf("Generating the camera folder (%d files) in %s ...\n", kFiles, folder.c_str());
    std::fflush(stdout);
    const double start = WallSeconds();
    fs::remove(marker);
    fs::remove_all(folder);
    const fs::path thumbs = root / "camera.thumbs";
    fs::remove_all(thumbs);
    fs::create_directories(folder);
    fs::create_directories(thumbs);

    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        for (int i; (i = next++) < kFiles && !failed;) {
            const std::string name = CameraName(i);
            const fs::path photo = folder / name;
            QImageWriter writer(QString::fromStdString(photo.string()), "jpeg");
            writer.setQuality(90);
            const bool ok =
                writer.write(MakePhoto(4000, 3000, 900000ull + static_cast<std::uint64_t>(i), 12)) &&
                Run("convert -define jpeg:size=320x240 " + Quoted(photo.string()) +
                    " -thumbnail 160x120 -quality 90 " + Quoted((thumbs / name).string()));
            if (!ok) {
                std::fprintf(stderr, "could not write %s\n", name.c_str());
                failed = true;
            }
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t)
        workers.emplace_back(work);
    for (auto& worker : workers) worker.join();
    if (failed) return false;

    std::string turned;
    for (int i = 4; i < kFiles; i += 5) turned.append(" ").append(Quoted((folder / CameraName(i)).string()));
    const std::string exiftool = "exiftool -q -q -n -overwrite_original ";
    if (!Run(exiftool + "-Make=Vistrel -Model=Bench -Orientation=1 " +
             "-DateTimeOriginal='2024:06:01 12:00:00' " +
             Quoted("-ThumbnailImage<=" + thumbs.string() + "/%f.%e") + " " +
             Quoted(folder.string())) ||
        !Run(exiftool + "-Orientation=6" + turned))
        return false;
    fs::remove_all(thumbs);
    std::ofstream(marker) << kPlan;
    std::printf("  generated in %.1f s\n", WallSeconds() - start);
    generated = true;
    return true;
}

// Every byte read once, so that no measurement pays for the disk and every program finds the
// same files in memory.
void ReadThrough(const fs::path& folder) {
    std::vector<char> buffer(1 << 20);
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {}
    }
}

struct Build {
    double wall = 0;
    double cpu = 0;
    double othersShare = 0;
    int cells = 0;
    int broken = 0;
    std::string firstError;
    std::vector<core::Image> thumbnails;
};

Build RunBuild(const fs::path& folder, const core::PictureLoader& loader, int threads) {
    RootVolume volumes;
    SteadyClock clock;
    CountingPump pump;
    core::MainWindowModel model;
    StartUpTemplates(model, 2);
    core::ThumbnailSheet sheet(model);
    core::FolderBrowser browser(volumes, model.status, folder.string());
    browser.RefreshLists();
    core::ThumbnailBuilder builder(model, sheet, browser, loader, clock, pump, nullptr,
                                   kTwipsPerPixel, threads);
    // Every thumbnail kept, so each can be checked and the figures compare with earlier runs.
    builder.setThumbnailBudget(SIZE_MAX);
    builder.ClearThumbnails();

    Build run;
    const double busyStart = MachineBusySeconds();
    const double cpuStart = CpuSeconds();
    const double wallStart = WallSeconds();
    builder.BuildThumbnails();
    run.wall = WallSeconds() - wallStart;
    run.cpu = CpuSeconds() - cpuStart;
    const double others = MachineBusySeconds() - busyStart - run.cpu;
    run.othersShare =
        std::max(0.0, others) / (run.wall * std::max(1u, std::thread::hardware_concurrency()));
    run.cells = sheet.cellCount();
    for (int i = 0; i < sheet.cellCount(); ++i) {
        run.broken += sheet.cell(i).broken;
        run.thumbnails.push_back(sheet.cell(i).thumbnail);
    }
    run.firstError = builder.firstError();
    return run;
}

void PrintBuild(const char* what, int r, const Build& build) {
    std::printf("  run %d, %s: %d pictures (%d broken), wall %.3f s, CPU %.3f s = %.2f ms/picture; "
                "other processes used %.0f%% of the cores meanwhile%s%s\n",
                r, what, build.cells, build.broken, build.wall, build.cpu,
                build.cpu / std::max(1, build.cells) * 1000, build.othersShare * 100,
                build.firstError.empty() ? "" : "; ", build.firstError.c_str());
}

int CountFiles(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) return 0;
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

struct Options {
    fs::path dir = "/tmp/vistrel-bench";
    int runs = 3;
    int threads = 0;
    bool regenerate = false;
};

[[noreturn]] void Usage() {
    std::fprintf(stderr, "usage: camerafolder_bench [--dir DIR] [--runs N] [--threads N] [--regenerate]\n");
    std::exit(2);
}

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) Usage();
            return argv[++i];
        };
        if (arg == "--dir") options.dir = value();
        else if (arg == "--runs") options.runs = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--threads") options.threads = std::max(0, std::atoi(value().c_str()));
        else if (arg == "--regenerate") options.regenerate = true;
        else Usage();
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0);
    QCoreApplication app(argc, argv);
    const Options options = Parse(argc, argv);
    fs::create_directories(options.dir);
    bool generated = false;
    if (!EnsureCameraFolder(options.dir, options.regenerate, generated)) return 1;
    if (generated) {
        // Measured in a fresh process, without the generator's heap and threads.
        std::fflush(stdout);
        execv("/proc/self/exe", argv);
        std::perror("execv");
        return 1;
    }
    const fs::path camera = options.dir / "camera";
    const fs::path mixed = options.dir / "mixed";
    const fs::path cacheHome = options.dir / "camera.cache";
    const std::string cacheRoot = (cacheHome / "thumbnails").string();
    std::printf("camerafolder_bench: %s, %u cores, decode threads %d (0 = one per core)\n",
                camera.c_str(), std::thread::hardware_concurrency(), options.threads);

    const qt::QtPictureLoader loader;
    qt::QtThumbnailStore store;
    ReadThrough(camera);

    // How many of the files the EXIF path serves for the cache's normal size.
    int served = 0;
    for (const auto& entry : fs::directory_iterator(camera))
        served += qt::ReadExifThumbnail(entry.path().string(), QSize(128, 128)).has_value();
    std::printf("  %d of %d files have an EXIF thumbnail that serves the 128-pixel size\n", served,
                CountFiles(camera));

    std::vector<double> firstWalls, firstCpus, secondWalls, secondCpus;
    double othersMax = 0;
    bool wrong = false;
    for (int r = 1; r <= options.runs; ++r) {
        fs::remove_all(cacheHome);
        fs::create_directories(cacheHome);
        core::ThumbnailCache cache(store, cacheRoot);
        const core::CachingLoader caching(loader, cache, 1.0);
        const Build first = RunBuild(camera, caching, options.threads);
        PrintBuild("first visit, empty cache", r, first);
        const int entries = CountFiles(fs::path(cacheRoot) / "normal");
        const Build second = RunBuild(camera, caching, options.threads);
        PrintBuild("second visit, cache warm", r, second);
        // The cache's PNGs are lossless: the second visit must show what the first did.
        const bool same = second.thumbnails == first.thumbnails;
        std::printf("         %d cache entries written; second visit %s the first's thumbnails\n",
                    entries, same ? "shows" : "DOES NOT show");
        wrong |= !same || first.broken != 0 || entries != first.cells;
        firstWalls.push_back(first.wall);
        firstCpus.push_back(first.cpu);
        secondWalls.push_back(second.wall);
        secondCpus.push_back(second.cpu);
        othersMax = std::max({othersMax, first.othersShare, second.othersShare});
    }
    std::printf("= camera.first_wall_median_s %.4f\n= camera.first_wall_first_s %.4f\n"
                "= camera.first_cpu_median_s %.4f\n= camera.second_wall_median_s %.4f\n"
                "= camera.second_cpu_median_s %.4f\n= camera.exif_served %d\n",
                Median(firstWalls), firstWalls.front(), Median(firstCpus), Median(secondWalls),
                Median(secondCpus), served);

    // The folder without EXIF thumbnails, straight through the loader as thumbnails_bench
    // builds it; every JPEG there now first has its head looked at.
    if (CountFiles(mixed) > 0) {
        ReadThrough(mixed);
        std::printf("\n  mixed folder %s (%d files, no EXIF thumbnails), no cache:\n", mixed.c_str(),
                    CountFiles(mixed));
        std::vector<double> walls, cpus;
        for (int r = 1; r <= options.runs; ++r) {
            const Build build = RunBuild(mixed, loader, options.threads);
            PrintBuild("mixed", r, build);
            walls.push_back(build.wall);
            cpus.push_back(build.cpu);
            othersMax = std::max(othersMax, build.othersShare);
        }
        // What looking for an EXIF thumbnail costs on files that have none, one thread.
        std::vector<double> looks;
        for (int r = 0; r < 5; ++r) {
            const double start = ThreadCpuSeconds();
            for (const auto& entry : fs::directory_iterator(mixed))
                qt::ReadExifThumbnail(entry.path().string(), QSize(87, 75));
            looks.push_back(ThreadCpuSeconds() - start);
        }
        std::printf("  looking for EXIF thumbnails in every mixed file: %.2f ms CPU in all\n",
                    Median(looks) * 1000);
        std::printf("= mixed.wall_median_s %.4f\n= mixed.cpu_median_s %.4f\n= mixed.exif_look_ms %.3f\n",
                    Median(walls), Median(cpus), Median(looks) * 1000);
    } else {
        std::printf("\n  no mixed folder in %s: run thumbnails_bench --only mixed first\n",
                    options.dir.c_str());
    }
    std::printf("= others_cpu_share_max %.2f\n", othersMax);
    fs::remove_all(cacheHome);
    if (wrong) std::printf("WARNING: a build was wrong; the figures above are not valid.\n");
    return wrong ? 3 : 0;
}

#else

#include <cstdio>

int main() {
    std::fprintf(stderr, "camerafolder_bench needs the Qt build (VISTREL_GUI=ON)\n");
    return 1;
}

#endif
