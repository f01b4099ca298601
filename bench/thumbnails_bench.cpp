// Thumbnail-build benchmark: builds the grid of generated folders through core's
// ThumbnailBuilder with the Qt picture loader, and reports time, CPU and memory.
//
// A plain program rather than Google Benchmark fixtures: one build is the unit of work, and
// its peak memory has to be read around exactly that build.
//
//   thumbnails_bench [--dir DIR] [--only mixed|many|loader|png|heic] [--runs N] [--many-runs N]
//                    [--threads N] [--repeat N] [--regenerate]
//
// See bench/README.md for what each figure means.

#if __has_include(<QImageReader>)

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "bench/buildrig.h"
#include "bench/photos.h"
#include "core/app/mainwindowmodel.h"
#include "core/browser/browserhooks.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/thumbnailbuilder.h"
#include "core/browser/thumbnailsheet.h"
#include "qt/platform/qtpictureloader.h"

namespace fs = std::filesystem;
using namespace vistrel;
using namespace vistrel::bench;

namespace {

// Bumped whenever the generated content changes, so cached folders are made again.
constexpr const char* kGeneratorVersion = "thumbnails-bench-folders 3";
constexpr int kJpegQuality = 90;
constexpr double kTwipsPerPixel = 15;

// ---------------------------------------------------------------------------------------
// Measuring

struct MemoryStatus {
    long hwmKb = 0; // VmHWM: peak resident set since start or the last reset
    long rssKb = 0; // VmRSS
};

MemoryStatus ReadMemory() {
    MemoryStatus status;
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmHWM:", 0) == 0) status.hwmKb = std::atol(line.c_str() + 6);
        else if (line.rfind("VmRSS:", 0) == 0) status.rssKb = std::atol(line.c_str() + 6);
    }
    return status;
}

// The process's peak over its whole life, kept across the peak resets below.
long g_processPeakKb = 0;
bool g_generated = false; // this process made a folder

long ProcessPeakKb() {
    g_processPeakKb = std::max(g_processPeakKb, ReadMemory().hwmKb);
    return g_processPeakKb;
}

// Sets VmHWM back to the current VmRSS, so the next reading is the peak of what follows.
bool ResetPeak() {
    ProcessPeakKb();
    std::ofstream out("/proc/self/clear_refs");
    if (!out) return false;
    out << "5";
    out.flush();
    return static_cast<bool>(out);
}

// ---------------------------------------------------------------------------------------
// The folders

enum class Kind { Jpeg, Bmp, Gif, Png, Heic };

struct PlannedFile {
    std::string name;
    int width = 0;
    int height = 0;
    Kind kind = Kind::Jpeg;
    std::uint64_t seed = 0;
    double grain = 0;
};

bool HaveConvert() {
    return std::system("command -v convert >/dev/null 2>&1") == 0;
}

bool HaveHeifEnc() {
    return std::system("command -v heif-enc >/dev/null 2>&1") == 0;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Writes one file; GIFs go through ImageMagick and HEICs through heif-enc (x265, quality 90,
// no thumbnail), since Qt writes neither.
bool WriteFile(const PlannedFile& file, const fs::path& folder, const fs::path& scratch) {
    const QImage image = MakePhoto(file.width, file.height, file.seed, file.grain);
    const fs::path target = folder / file.name;
    if (file.kind == Kind::Gif || file.kind == Kind::Heic) {
        const fs::path png = scratch / (file.name + ".png");
        if (!QImageWriter(QString::fromStdString(png.string()), "png").write(image)) return false;
        const std::string command =
            (file.kind == Kind::Gif ? "convert " + Quoted(png.string()) + " "
                                    : "heif-enc -q 90 " + Quoted(png.string()) + " -o ") +
            Quoted(target.string()) + " >/dev/null 2>&1";
        const bool ok = std::system(command.c_str()) == 0 && fs::exists(target);
        fs::remove(png);
        return ok;
    }
    QImageWriter writer(QString::fromStdString(target.string()),
                        file.kind == Kind::Jpeg  ? "jpeg"
                        : file.kind == Kind::Png ? "png"
                                                 : "bmp");
    if (file.kind == Kind::Jpeg) writer.setQuality(kJpegQuality);
    return writer.write(image);
}

// 12 large and 24 full-HD JPEGs, 6 BMPs and 6 GIFs, in an order fixed by a seed, so the
// big files are spread through the list as they would be in a camera folder mixed with others.
std::vector<PlannedFile> PlanMixed(bool withGifs) {
    std::vector<PlannedFile> files;
    const auto add = [&](int count, int w, int h, Kind kind, double grain) {
        for (int i = 0; i < count; ++i) files.push_back({"", w, h, kind, 0, grain});
    };
    add(12, 4000, 3000, Kind::Jpeg, 12);
    add(24, 1920, 1080, Kind::Jpeg, 12);
    add(6, 1024, 768, Kind::Bmp, 6);
    if (withGifs) add(6, 640, 480, Kind::Gif, 3);
    Rng order(20240601);
    for (std::size_t i = files.size(); i > 1; --i)
        std::swap(files[i - 1], files[static_cast<std::size_t>(order.below(static_cast<int>(i)))]);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const char* extension = files[i].kind == Kind::Jpeg  ? "jpg"
                                : files[i].kind == Kind::Bmp ? "bmp"
                                                             : "gif";
        char name[32];
        std::snprintf(name, sizeof name, "img%02zu.%s", i + 1, extension);
        files[i].name = name;
        files[i].seed = 1000 + i;
    }
    return files;
}

std::vector<PlannedFile> PlanMany() {
    std::vector<PlannedFile> files;
    for (int i = 0; i < 10000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "small%05d.jpg", i + 1);
        files.push_back({name, 320, 240, Kind::Jpeg, 500000ull + static_cast<std::uint64_t>(i), 1});
    }
    return files;
}

// 40 photos 2000 x 1500 as PNG, as an editor exports them.
std::vector<PlannedFile> PlanPng() {
    std::vector<PlannedFile> files;
    for (int i = 0; i < 40; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "photo%02d.png", i + 1);
        files.push_back({name, 2000, 1500, Kind::Png, 700000ull + static_cast<std::uint64_t>(i), 6});
    }
    return files;
}

// 20 phone-sized HEIC pictures (4032 x 3024) without embedded thumbnails.
std::vector<PlannedFile> PlanHeic() {
    std::vector<PlannedFile> files;
    for (int i = 0; i < 20; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "phone%02d.heic", i + 1);
        files.push_back({name, 4032, 3024, Kind::Heic, 800000ull + static_cast<std::uint64_t>(i), 10});
    }
    return files;
}

std::string Describe(const std::vector<PlannedFile>& files) {
    std::ostringstream text;
    text << kGeneratorVersion << "\nquality " << kJpegQuality << "\n";
    for (const auto& f : files) text << f.name << " " << f.width << "x" << f.height << " " << f.seed << " " << f.grain << "\n";
    return text.str();
}

// Makes the folder unless a complete one with the same plan is cached; the marker is
// written last, so an interrupted generation is redone.
bool EnsureFolder(const fs::path& root, const std::string& label,
                  const std::vector<PlannedFile>& files, bool regenerate) {
    const fs::path folder = root / label;
    const fs::path marker = root / (label + ".complete");
    const std::string plan = Describe(files);
    if (!regenerate && fs::exists(marker)) {
        std::ifstream in(marker);
        std::stringstream text;
        text << in.rdbuf();
        if (text.str() == plan) return true;
    }
    std::printf("Generating %s folder (%zu files) in %s ...\n", label.c_str(), files.size(),
                folder.c_str());
    std::fflush(stdout);
    fs::remove(marker);
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path scratch = root / (label + ".scratch");
    fs::create_directories(scratch);

    const double start = WallSeconds();
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < files.size() && !failed;) {
            if (!WriteFile(files[i], folder, scratch)) {
                std::fprintf(stderr, "could not write %s\n", files[i].name.c_str());
                failed = true;
            }
        }
    };
    std::vector<std::thread> workers;
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back(work);
    for (auto& worker : workers) worker.join();
    fs::remove_all(scratch);
    if (failed) return false;
    std::ofstream(marker) << plan;
    std::printf("  generated in %.1f s\n", WallSeconds() - start);
    g_generated = true;
    return true;
}

void PrintFolderSummary(const fs::path& folder) {
    struct Tally { int count = 0; std::uintmax_t bytes = 0; };
    std::vector<std::pair<std::string, Tally>> tallies;
    std::uintmax_t total = 0;
    int files = 0;
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) paths.push_back(entry.path());
    for (const auto& path : paths) {
        QImageReader reader(QString::fromStdString(path.string()));
        const QSize size = reader.size(); // none for HEIC, which Qt cannot read
        const std::string key = path.extension().string().substr(1) +
                                (size.isValid() ? " " + std::to_string(size.width()) + "x" +
                                                      std::to_string(size.height())
                                                : std::string());
        auto it = std::find_if(tallies.begin(), tallies.end(), [&](auto& t) { return t.first == key; });
        if (it == tallies.end()) it = tallies.insert(tallies.end(), {key, {}});
        const auto bytes = fs::file_size(path);
        it->second.count++;
        it->second.bytes += bytes;
        total += bytes;
        ++files;
    }
    std::sort(tallies.begin(), tallies.end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::printf("  %d files, %.1f MB on disk:", files, MbBytes(static_cast<double>(total)));
    for (const auto& [key, tally] : tallies)
        std::printf("  %d x %s (avg %.0f KB)", tally.count, key.c_str(),
                    tally.bytes / 1024.0 / tally.count);
    std::printf("\n");
}

// ---------------------------------------------------------------------------------------
// The build

struct BuildRun {
    int pictures = 0;
    int broken = 0;
    std::string firstError;
    std::string buildTimeText;
    int repaints = 0;
    double listSeconds = 0;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    long rssBeforeKb = 0;
    long hwmBeforeKb = 0; // the process's peak up to the build
    long peakKb = 0;      // VmHWM at the end: the build's own peak when the reset worked
    long rssAfterKb = 0;
    bool peakWasReset = false;
    std::size_t thumbnailBytes = 0;
    std::size_t bookkeepingBytes = 0; // cells and their names, for the record
    double othersShare = 0;           // of all cores, taken by other processes during the build
    int verified = -1;                // cells equal to a one-by-one decode; -1: not checked
    std::string mismatch;             // the first cell that was not
    std::vector<std::string> names;   // the files in the builder's order
};

BuildRun RunBuild(const fs::path& folder, const core::PictureLoader& loader, int threads,
                  bool verify) {
    BuildRun run;
    // Freed memory of the previous run is handed back first, so "before" is a clean baseline.
    malloc_trim(0);

    RootVolume volumes;
    SteadyClock clock;
    CountingPump pump;
    core::MainWindowModel model;
    StartUpTemplates(model, 2);
    core::ThumbnailSheet sheet(model);

    const double listStart = WallSeconds();
    core::FolderBrowser browser(volumes, model.status, folder.string());
    browser.RefreshLists();
    run.listSeconds = WallSeconds() - listStart;

    core::ThumbnailBuilder builder(model, sheet, browser, loader, clock, pump, nullptr,
                                   kTwipsPerPixel, threads);
    // Every thumbnail kept, so each can be checked and the figures compare with earlier runs.
    builder.setThumbnailBudget(SIZE_MAX);
    builder.ClearThumbnails();

    const MemoryStatus before = ReadMemory();
    run.rssBeforeKb = before.rssKb;
    run.hwmBeforeKb = ProcessPeakKb();
    run.peakWasReset = ResetPeak();
    const double busyStart = MachineBusySeconds();
    const double cpuStart = CpuSeconds();
    const double wallStart = WallSeconds();
    builder.BuildThumbnails();
    run.wallSeconds = WallSeconds() - wallStart;
    run.cpuSeconds = CpuSeconds() - cpuStart;
    const double others = MachineBusySeconds() - busyStart - run.cpuSeconds;
    run.othersShare = std::max(0.0, others) / (run.wallSeconds * std::thread::hardware_concurrency());
    const MemoryStatus after = ReadMemory();
    ProcessPeakKb();
    run.peakKb = after.hwmKb;
    run.rssAfterKb = after.rssKb;

    run.pictures = sheet.cellCount();
    for (int i = 0; i < sheet.cellCount(); ++i) {
        const core::ThumbnailCell& cell = sheet.cell(i);
        run.thumbnailBytes += cell.thumbnail.pixelCount() * sizeof(core::Image::Pixel);
        run.bookkeepingBytes += sizeof(core::ThumbnailCell) + cell.name.capacity();
        if (cell.broken) ++run.broken;
        run.names.push_back(cell.name);
    }
    if (verify) {
        // Outside the measurement: each cell must hold its own file's thumbnail, exactly as a
        // one-by-one decode gives it, or the figures would be for a wrong build.
        const int boxW = static_cast<int>(std::ceil(model.imgTemp.width / kTwipsPerPixel));
        const int boxH = static_cast<int>(std::ceil(model.imgTemp.height / kTwipsPerPixel));
        run.verified = 0;
        for (int i = 0; i < sheet.cellCount(); ++i) {
            const core::ThumbnailCell& cell = sheet.cell(i);
            const core::LoadResult alone = loader.loadScaled((folder / cell.name).string(), boxW, boxH);
            if (alone.ok() && !cell.broken && alone.image == cell.thumbnail) ++run.verified;
            else if (run.mismatch.empty()) run.mismatch = cell.name;
        }
    }
    run.firstError = builder.firstError();
    run.buildTimeText = builder.buildTimeText();
    run.repaints = pump.repaints;
    return run;
}

// The same loads of the same files, in the same order, on the same number of threads, kept
// the same way, but taken in whatever order they finish: what the builder's ordering, sheet
// and progress cost shows as the difference.
double UnorderedLoads(const fs::path& folder, const core::PictureLoader& loader, int threads,
                      const std::vector<std::string>& names) {
    std::vector<core::LoadResult> results(names.size());
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::atomic<std::size_t> next{0};
    const double start = WallSeconds();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            for (std::size_t i; (i = next++) < names.size();)
                results[i] = loader.loadScaled((folder / names[i]).string(), 87, 75);
        });
    for (auto& worker : workers) worker.join();
    return WallSeconds() - start;
}

struct FolderResult {
    double medianWall = 0;
    double firstWall = 0;
    double cpuPerPicture = 0;
    double peakAboveThumbnailsMb = 0; // worst run
    double processPeakMb = 0;
    double othersShareMax = 0;
    bool wrong = false; // the check found a cell that does not hold its file's thumbnail
};

FolderResult BenchFolder(const std::string& label, const fs::path& folder,
                         const core::PictureLoader& loader, int threads, int runs) {
    std::printf("\n== Folder \"%s\": %s\n", label.c_str(), folder.c_str());
    PrintFolderSummary(folder);
    std::printf("  decode threads: %d (0 = one per core, %u cores)\n", threads,
                std::thread::hardware_concurrency());

    std::vector<double> walls, cpus;
    std::vector<std::string> names;
    FolderResult result;
    int pictures = 0;
    bool resetOk = true;
    for (int r = 1; r <= runs; ++r) {
        const BuildRun run = RunBuild(folder, loader, threads, r == 1);
        resetOk = resetOk && run.peakWasReset;
        const double perSecond = run.pictures / run.wallSeconds;
        const double cpuPerPicture = run.cpuSeconds / run.pictures;
        // The build's own peak when the reset worked; otherwise the process's peak, which can
        // only overstate it.
        const double peakAbove = Mb(static_cast<double>(run.peakKb - run.rssBeforeKb));
        const double aboveThumbs = peakAbove - MbBytes(static_cast<double>(run.thumbnailBytes));
        std::printf("  run %d: %d pictures (%d broken), wall %.3f s (panel: %s), %.1f pictures/s, "
                    "CPU %.3f s = %.2f ms/picture, %d repaints; listing %.1f ms; other processes used "
                    "%.0f%% of the cores meanwhile\n",
                    r, run.pictures, run.broken, run.wallSeconds, run.buildTimeText.c_str(),
                    perSecond, run.cpuSeconds, cpuPerPicture * 1000, run.repaints,
                    run.listSeconds * 1000, run.othersShare * 100);
        std::printf("         RSS before %.1f MB (process peak so far %.1f MB); build peak %.1f MB "
                    "(%s); RSS after %.1f MB\n",
                    Mb(run.rssBeforeKb), Mb(run.hwmBeforeKb), Mb(run.peakKb),
                    run.peakWasReset ? "VmHWM reset at start" : "NOT reset: process peak",
                    Mb(run.rssAfterKb));
        std::printf("         thumbnails %.2f MB (+ %.2f MB cells); peak above before %.1f MB, "
                    "minus thumbnails %.1f MB; still held after minus thumbnails %.1f MB\n",
                    MbBytes(static_cast<double>(run.thumbnailBytes)),
                    MbBytes(static_cast<double>(run.bookkeepingBytes)), peakAbove, aboveThumbs,
                    Mb(static_cast<double>(run.rssAfterKb - run.rssBeforeKb)) -
                        MbBytes(static_cast<double>(run.thumbnailBytes)));
        if (!run.firstError.empty()) std::printf("         first error: %s\n", run.firstError.c_str());
        if (run.verified >= 0) {
            std::printf("         check: %d of %d thumbnails equal a one-by-one decode of their file%s%s\n",
                        run.verified, run.pictures, run.mismatch.empty() ? "" : "; first wrong: ",
                        run.mismatch.c_str());
            if (run.verified != run.pictures) result.wrong = true;
        }
        pictures = run.pictures;
        names = run.names;
        result.othersShareMax = std::max(result.othersShareMax, run.othersShare);
        walls.push_back(run.wallSeconds);
        cpus.push_back(cpuPerPicture);
        if (r == 1) result.firstWall = run.wallSeconds;
        result.peakAboveThumbnailsMb = r == 1 ? aboveThumbs : std::max(result.peakAboveThumbnailsMb, aboveThumbs);
    }
    std::vector<double> floors;
    std::vector<double> floorCpus;
    for (int r = 1; r <= runs; ++r) {
        malloc_trim(0);
        const double cpuStart = CpuSeconds();
        floors.push_back(UnorderedLoads(folder, loader, threads, names));
        floorCpus.push_back(CpuSeconds() - cpuStart);
    }
    std::printf("  same loads, same order and threads, results kept, taken as they finish (no builder): "
                "median wall %.3f s, CPU %.3f s\n", Median(floors), Median(floorCpus));
    result.medianWall = Median(walls);
    result.cpuPerPicture = Median(cpus);
    result.processPeakMb = Mb(ProcessPeakKb());
    std::printf("  median of %d: wall %.3f s, %.1f pictures/s, CPU %.2f ms/picture; worst peak "
                "above thumbnails %.1f MB; process peak RSS %.1f MB\n",
                runs, result.medianWall, pictures / result.medianWall, result.cpuPerPicture * 1000,
                result.peakAboveThumbnailsMb, result.processPeakMb);
    if (!resetOk)
        std::printf("  note: /proc/self/clear_refs refused the reset; build peaks are the process's "
                    "peak so far, so they can only overstate the build's own.\n");
    std::printf("= %s.wall_median_s %.4f\n= %s.wall_first_s %.4f\n= %s.cpu_per_picture_ms %.3f\n"
                "= %s.peak_above_thumbnails_mb %.1f\n= %s.process_peak_rss_mb %.1f\n"
                "= %s.others_cpu_share_max %.2f\n= %s.unordered_wall_median_s %.4f\n",
                label.c_str(), result.medianWall, label.c_str(), result.firstWall, label.c_str(),
                result.cpuPerPicture * 1000, label.c_str(), result.peakAboveThumbnailsMb,
                label.c_str(), result.processPeakMb, label.c_str(), result.othersShareMax, label.c_str(), Median(floors));
    return result;
}

// ---------------------------------------------------------------------------------------
// The loader alone

// One file of each kind in the mixed folder, so the build's CPU can be split by kind.
void BenchKinds(const fs::path& folder, const std::vector<PlannedFile>& files,
                const core::PictureLoader& loader, int repeat) {
    std::printf("\n== Loader by kind (mixed folder), box 87x75 as the builder asks, one thread, "
                "median of %d\n", repeat);
    double total = 0;
    std::vector<std::string> seen;
    for (const PlannedFile& file : files) {
        const std::string key = file.name.substr(file.name.size() - 3) + " " +
                                std::to_string(file.width) + "x" + std::to_string(file.height);
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        const std::string path = (folder / file.name).string();
        loader.loadScaled(path, 87, 75); // warm-up
        std::vector<double> cpu;
        for (int i = 0; i < repeat; ++i) {
            const double c0 = ThreadCpuSeconds();
            loader.loadScaled(path, 87, 75);
            cpu.push_back(ThreadCpuSeconds() - c0);
        }
        const auto count = std::count_if(files.begin(), files.end(), [&](const PlannedFile& f) {
            return f.kind == file.kind && f.width == file.width;
        });
        const double share = Median(cpu) * static_cast<double>(count);
        total += share;
        std::printf("  %-16s %7.2f ms each x %2ld files = %6.1f ms\n", key.c_str(),
                    Median(cpu) * 1000, static_cast<long>(count), share * 1000);
    }
    std::printf("  sum %.1f ms of decoding for the whole folder on one core\n", total * 1000);
    std::printf("= kinds.sum_cpu_ms %.1f\n", total * 1000);
}

void BenchLoader(const fs::path& file, const core::PictureLoader& loader, int repeat) {
    // The largest thumbnail, 1295 x 1120 twips, in pixels at 15 twips a pixel (the builder
    // rounds up and asks for 87 x 75; one pixel of output width changes nothing measurable).
    const int boxW = 86;
    const int boxHigh = 75;
    std::printf("\n== Loader alone: %s (%.0f KB), scaled into %dx%d, one thread, %d times "
                "after one warm-up\n",
                file.c_str(), fs::file_size(file) / 1024.0, boxW, boxHigh, repeat);

    const auto measure = [&](const std::function<void()>& once, std::vector<double>& cpu,
                             std::vector<double>& wall) {
        once(); // warm-up: plugin loading and first-touch allocations are not per-file costs
        for (int i = 0; i < repeat; ++i) {
            const double c0 = ThreadCpuSeconds(), w0 = WallSeconds();
            once();
            cpu.push_back(ThreadCpuSeconds() - c0);
            wall.push_back(WallSeconds() - w0);
        }
    };

    std::vector<double> cpu, wall;
    int outW = 0, outH = 0;
    measure([&] {
        const core::LoadResult result = loader.loadScaled(file.string(), boxW, boxHigh);
        if (!result.ok()) {
            std::fprintf(stderr, "load failed: %s\n", result.errorText.c_str());
            std::exit(1);
        }
        outW = result.image.width();
        outH = result.image.height();
    }, cpu, wall);
    const double mean = std::accumulate(cpu.begin(), cpu.end(), 0.0) / cpu.size();
    std::printf("  QtPictureLoader::loadScaled -> %dx%d: CPU mean %.2f ms, median %.2f ms, "
                "min %.2f ms; wall median %.2f ms\n",
                outW, outH, mean * 1000, Median(cpu) * 1000,
                *std::min_element(cpu.begin(), cpu.end()) * 1000, Median(wall) * 1000);

    // Qt's reader on its own with the same request, to show what the loader adds around it.
    std::vector<double> rcpu, rwall;
    measure([&] {
        QImageReader reader(QString::fromStdString(file.string()));
        reader.setScaledSize(QSize(outW, outH));
        reader.setQuality(100);
        const QImage image = reader.read();
        if (image.isNull()) std::exit(1);
    }, rcpu, rwall);
    std::printf("  QImageReader alone, same scaled size:  CPU mean %.2f ms, median %.2f ms\n",
                std::accumulate(rcpu.begin(), rcpu.end(), 0.0) / rcpu.size() * 1000,
                Median(rcpu) * 1000);
    std::printf("= loader.file %s\n= loader.cpu_mean_ms %.3f\n= loader.cpu_median_ms %.3f\n"
                "= loader.qtreader_cpu_mean_ms %.3f\n",
                file.c_str(), mean * 1000, Median(cpu) * 1000,
                std::accumulate(rcpu.begin(), rcpu.end(), 0.0) / rcpu.size() * 1000);
}

// ---------------------------------------------------------------------------------------

struct Options {
    fs::path dir = "/tmp/vistrel-bench";
    std::vector<std::string> only;
    int runs = 3;
    int manyRuns = 1;
    int threads = 0;
    int repeat = 20;
    bool regenerate = false;
};

[[noreturn]] void Usage() {
    std::fprintf(stderr,
                 "usage: thumbnails_bench [--dir DIR] [--only mixed|many|loader|png|heic]...\n"
                 "                        [--runs N]\n"
                 "                        [--many-runs N] [--threads N] [--repeat N] [--regenerate]\n");
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
        else if (arg == "--only") options.only.push_back(value());
        else if (arg == "--runs") options.runs = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--many-runs") options.manyRuns = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--threads") options.threads = std::max(0, std::atoi(value().c_str()));
        else if (arg == "--repeat") options.repeat = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--regenerate") options.regenerate = true;
        else if (arg == "-h" || arg == "--help") Usage();
        else if (!arg.empty() && arg[0] != '-') options.dir = arg;
        else Usage();
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0); // progress shows up when piped into a log
    QCoreApplication app(argc, argv);
    const Options options = Parse(argc, argv);
    const auto wanted = [&](const std::string& part) {
        return options.only.empty() ||
               std::find(options.only.begin(), options.only.end(), part) != options.only.end();
    };

    std::printf("thumbnails_bench: cache %s, %u cores, start RSS %.1f MB\n", options.dir.c_str(),
                std::thread::hardware_concurrency(), Mb(ReadMemory().rssKb));
    fs::create_directories(options.dir);

    const bool withGifs = HaveConvert();
    if (!withGifs)
        std::printf("note: ImageMagick's convert is not installed, so the mixed folder has no GIFs "
                    "(Qt cannot write GIF).\n");
    const std::vector<PlannedFile> mixed = PlanMixed(withGifs);
    if ((wanted("mixed") || wanted("loader")) &&
        !EnsureFolder(options.dir, "mixed", mixed, options.regenerate))
        return 1;
    if (wanted("many") && !EnsureFolder(options.dir, "many", PlanMany(), options.regenerate))
        return 1;
    if (wanted("png") && !EnsureFolder(options.dir, "png", PlanPng(), options.regenerate))
        return 1;
    if (wanted("heic")) {
        if (!HaveHeifEnc()) {
            std::fprintf(stderr, "heif-enc is not installed (apt-get install libheif-examples)\n");
            return 1;
        }
        if (!EnsureFolder(options.dir, "heic", PlanHeic(), options.regenerate)) return 1;
    }

    if (g_generated) {
        // Generating loaded the image plugins and left memory in the heap: measure in a fresh
        // process instead, which now finds the folders cached.
        std::printf("note: generating took the process to %.1f MB; starting again in a fresh "
                    "process to measure.\n\n",
                    Mb(ProcessPeakKb()));
        std::fflush(stdout);
        execv("/proc/self/exe", argv);
        std::perror("execv");
        return 1;
    }

    // Constructed before any worker starts, as the loader asks.
    const qt::QtPictureLoader loader;

    bool wrong = false;
    if (wanted("mixed"))
        wrong |= BenchFolder("mixed", options.dir / "mixed", loader, options.threads, options.runs).wrong;
    if (wanted("many"))
        wrong |= BenchFolder("many", options.dir / "many", loader, options.threads, options.manyRuns).wrong;
    for (const char* label : {"png", "heic"})
        if (wanted(label))
            wrong |= BenchFolder(label, options.dir / label, loader, options.threads, options.runs).wrong;
    if (wanted("loader")) {
        const auto large = std::find_if(mixed.begin(), mixed.end(),
                                        [](const PlannedFile& f) { return f.width == 4000; });
        BenchLoader(options.dir / "mixed" / large->name, loader, options.repeat);
        BenchKinds(options.dir / "mixed", mixed, loader, std::max(3, options.repeat / 4));
    }
    std::printf("\n= process_peak_rss_mb %.1f\n", Mb(ProcessPeakKb()));
    if (wrong) std::printf("WARNING: some thumbnails were wrong; the figures above are not valid.\n");
    return wrong ? 3 : 0;
}

#else

#include <cstdio>

// Configured without the GUI: the loader under test is the Qt one.
int main() {
    std::fprintf(stderr, "thumbnails_bench needs the Qt build (VISTREL_GUI=ON)\n");
    return 1;
}

#endif
