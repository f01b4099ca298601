// Halved levels of a 12000 x 9000 photo-like picture (108 MP, 432 MB):
//
//   paint  (a) every 1920 x 1080 PictureSurface paint once the levels are built, at the Zoom
//          menu's levels (10 % to 700 %), the fit-to-window scale (12 %) and a few between:
//          "first" is the first paint after a zoom step from the neighbouring scale, "drag" a
//          paint after the picture moved by 7 px. "no levels" is the first paint reducing from
//          the picture itself, for comparison, at the strong reductions only.
//   build  (b) all stripes of the levels on two threads, against one plain read of the
//          picture's pixels (summing every pixel once on one thread): "fresh" into newly
//          allocated levels, as for the first picture of a size, including the first touch of
//          their pages (2 MB pages where the system has them); "reused" into the levels of a
//          picture of the same size before, as the viewer does for the next photo from the
//          same camera. The allocation is timed on its own.
//   memory (c) the levels' bytes against the picture's.
//
// Goals: each paint within 8 ms, the stripes within 1.5 x the plain read, the levels within a
// third of the picture. Times are wall clock, medians of five runs; the share of the cores
// that other processes took during the run says whether the machine was busy.
//
//   pyramid_bench [Google Benchmark flags]

#if __has_include(<QApplication>)

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "bench/mediancollector.h"
#include "core/editing/image.h"
#include "core/viewer/picturepyramid.h"
#include "qt/platform/memoryinfo.h"
#include "core/viewer/zoomlevels.h"
#include "qt/widgets/picturelevels.h"
#include "qt/widgets/picturesurface.h"

using namespace vistrel;

namespace {

constexpr int PictureWidth = 12000;
constexpr int PictureHeight = 9000;
constexpr int WindowWidth = 1920;
constexpr int WindowHeight = 1080;
constexpr double GoalPaintMs = 8.0;
constexpr double GoalBuildRatio = 1.5;
constexpr double GoalMemory = 1.0 / 3.0;
// 12 % is the fit-to-window scale: 1440 x 1080.
constexpr int FitPercent = 12;

std::vector<int> percents() {
    std::vector<int> list = {FitPercent, 15, 20, 33, 40, 60, 90};
    for (const core::ZoomLevel& level : core::ZoomLevels)
        list.push_back(std::stoi(level.percent));
    std::sort(list.begin(), list.end());
    return list;
}

// Photo-like content: slow gradients, soft diagonal bands and grain.
const core::Image& picture() {
    static const core::Image image = [] {
        core::Image made(PictureWidth, PictureHeight);
        std::uint32_t state = 7;
        for (int y = 0; y < PictureHeight; ++y) {
            core::Image::Pixel* row = made.row(y);
            for (int x = 0; x < PictureWidth; ++x) {
                state = state * 1664525u + 1013904223u;
                const int grain = static_cast<int>(state >> 29);
                const int r = (x * 200 / PictureWidth + grain) & 0xFF;
                const int g = (y * 200 / PictureHeight + grain) & 0xFF;
                const int b = ((x + y) / 64 % 128 + 64 + grain) & 0xFF;
                row[x] = 0xFF000000u | r << 16 | g << 8 | b;
            }
        }
        return made;
    }();
    return image;
}

QRectF zoomedRect(int percent) {
    const double w = std::nearbyint(PictureWidth * percent / 100.0);
    const double h = std::nearbyint(PictureHeight * percent / 100.0);
    return QRectF((WindowWidth - w) / 2, (WindowHeight - h) / 2, w, h);
}

// The scale one zoom step away.
int neighbour(int percent) {
    if (percent <= 10) return 15;
    return percent <= 100 ? percent - 5 : percent - 25;
}

// Built once, as the program does, and shared by every surface; made and freed while the
// application object lives.
std::unique_ptr<qt::PictureLevels> sharedLevels;
qt::PictureLevels& levels() {
    if (!sharedLevels) {
        sharedLevels =
            std::make_unique<qt::PictureLevels>(picture(), [] { return std::uint64_t{1}; });
        sharedLevels->finish();
    }
    return *sharedLevels;
}

struct Fixture {
    qt::PictureSurface surface;
    QImage canvas{WindowWidth, WindowHeight, QImage::Format_RGB32};

    explicit Fixture(bool withLevels) {
        surface.resize(WindowWidth, WindowHeight);
        surface.setBackground(Qt::darkGray);
        surface.setPicture(&picture());
        if (withLevels) surface.setLevels(&levels());
    }
    void paint() {
        surface.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
        benchmark::DoNotOptimize(canvas.constBits());
    }
};

void firstPaint(benchmark::State& state, int percent, bool withLevels) {
    Fixture f(withLevels);
    for (auto _ : state) {
        state.PauseTiming();
        f.surface.setPictureRect(zoomedRect(neighbour(percent)));
        f.paint();
        state.ResumeTiming();
        f.surface.setPictureRect(zoomedRect(percent));
        f.paint();
    }
}

void dragPaint(benchmark::State& state, int percent) {
    Fixture f(true);
    const QRectF at = zoomedRect(percent);
    f.surface.setPictureRect(at);
    f.paint();
    int step = 0;
    for (auto _ : state) {
        f.surface.setPictureRect(at.translated(step++ % 2 ? 0 : 7, 0));
        f.paint();
    }
}

std::size_t levelBytes = 0;

void buildStripes(benchmark::State& state, bool reuse) {
    std::vector<core::Image> spare;
    if (reuse) {
        core::PicturePyramid earlier(picture());
        spare = earlier.ReleaseLevels();
        for (core::Image& level : spare) // touched, as a build before would have
            std::fill_n(level.data(), level.pixelCount(), 0xFF000000u);
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto pyramid = std::make_unique<core::PicturePyramid>(picture(), std::move(spare));
        // As the surfaces' levels do: fresh levels' pages are first touched by the stripes.
        for (int i = 0; i < pyramid->LevelCount(); ++i)
            qt::AdviseLargePages(const_cast<core::Image::Pixel*>(pyramid->Level(i).data()),
                                 pyramid->Level(i).pixelCount() * sizeof(core::Image::Pixel));
        state.ResumeTiming();
        std::atomic<int> next{0};
        const auto work = [&] {
            for (int i = next++; i < pyramid->StripeCount(); i = next++)
                pyramid->BuildStripe(i);
        };
        std::thread other(work);
        work();
        other.join();
        state.PauseTiming();
        levelBytes = pyramid->Bytes();
        if (reuse) spare = pyramid->ReleaseLevels();
        pyramid.reset();
        state.ResumeTiming();
    }
}

void allocateLevels(benchmark::State& state) {
    for (auto _ : state) {
        core::PicturePyramid pyramid(picture());
        benchmark::DoNotOptimize(pyramid.Level(0).data());
    }
}

void plainRead(benchmark::State& state) {
    const core::Image& image = picture();
    for (auto _ : state) {
        std::uint64_t sum = 0;
        const core::Image::Pixel* p = image.data();
        for (std::size_t i = 0; i < image.pixelCount(); ++i)
            sum += p[i];
        benchmark::DoNotOptimize(sum);
    }
}


// Busy seconds of all cores (from /proc/stat), this process's CPU seconds and the wall clock,
// so the share of the cores other processes took between two samples can be told.
struct Usage {
    double busy = 0, own = 0, wall = 0;
    static Usage now() {
        Usage u;
        if (std::FILE* stat = std::fopen("/proc/stat", "r")) {
            unsigned long long v[8] = {};
            if (std::fscanf(stat, "cpu %llu %llu %llu %llu %llu %llu %llu %llu", &v[0], &v[1],
                            &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]) == 8) {
                const long ticks = sysconf(_SC_CLK_TCK);
                u.busy = double(v[0] + v[1] + v[2] + v[5] + v[6] + v[7]) /
                         double(ticks > 0 ? ticks : 100);
            }
            std::fclose(stat);
        }
        rusage r{};
        getrusage(RUSAGE_SELF, &r);
        u.own = r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6 + r.ru_stime.tv_sec +
                r.ru_stime.tv_usec / 1e6;
        u.wall = std::chrono::duration<double>(
                     std::chrono::steady_clock::now().time_since_epoch())
                     .count();
        return u;
    }
    // Percent of all cores used by other processes from `before` to this sample.
    double othersPercent(const Usage& before) const {
        const double cores = std::max(1L, sysconf(_SC_NPROCESSORS_ONLN));
        const double wallTime = wall - before.wall;
        if (wallTime <= 0 || busy == 0) return -1;
        return std::max(0.0, (busy - before.busy) - (own - before.own)) * 100 /
               (wallTime * cores);
    }
};

std::string paintName(const char* kind, int percent) {
    return std::string(kind) + "/" + std::to_string(percent) + "%";
}

const std::vector<int> WithoutLevels = {10, FitPercent, 15, 25};

void summarise(const MedianCollector& c) {
    std::printf("\n%d x %d picture in a %d x %d surface. Goals: paint <= %.0f ms, stripes <= "
                "%.1f x plain read, levels <= 1/3 of the picture.\n\n",
                PictureWidth, PictureHeight, WindowWidth, WindowHeight, GoalPaintMs,
                GoalBuildRatio);
    std::printf("%6s %10s %10s %12s  %s\n", "zoom", "first ms", "drag ms", "no levels ms",
                "goal");
    int missed = 0;
    for (int percent : percents()) {
        const double first = c.get(paintName("first", percent));
        const double drag = c.get(paintName("drag", percent));
        if (first < 0 || drag < 0) continue;
        const double without = c.get(paintName("nolevels", percent));
        const bool ok = first <= GoalPaintMs && drag <= GoalPaintMs;
        missed += !ok;
        char plain[32] = "-";
        if (without >= 0) std::snprintf(plain, sizeof plain, "%.3f", without);
        std::printf("%5d%% %10.3f %10.3f %12s  %s\n", percent, first, drag, plain,
                    ok ? "ok" : "MISSED");
    }
    std::printf("%d scale(s) miss the paint goal\n\n", missed);

    const double fresh = c.get("build/stripes/fresh");
    const double reused = c.get("build/stripes/reused");
    const double read = c.get("build/plainread");
    const double alloc = c.get("build/allocate");
    if (read > 0) {
        std::printf("build: plain read %.1f ms; stripes on 2 threads:\n", read);
        if (reused > 0)
            std::printf("  into reused levels %.1f ms: %.2f x (%s)\n", reused, reused / read,
                        reused <= GoalBuildRatio * read ? "ok" : "MISSED");
        if (fresh > 0)
            std::printf("  into fresh levels %.1f ms: %.2f x (%s); allocation %.1f ms besides, "
                        "%.2f x with it\n",
                        fresh, fresh / read, fresh <= GoalBuildRatio * read ? "ok" : "MISSED",
                        alloc, (fresh + alloc) / read);
    }
    const double pictureBytes = 4.0 * PictureWidth * PictureHeight;
    if (levelBytes > 0)
        std::printf("memory: levels %.1f MB, picture %.1f MB: %.4f of it (%s)\n",
                    levelBytes / 1e6, pictureBytes / 1e6, levelBytes / pictureBytes,
                    levelBytes <= GoalMemory * pictureBytes ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    picture(); // made before anything is timed
    const auto configure = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(0.2)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    };
    const auto once = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    };
    benchmark::RegisterBenchmark("build/plainread", plainRead)->Apply(once);
    benchmark::RegisterBenchmark("build/stripes/reused", buildStripes, true)->Apply(once);
    benchmark::RegisterBenchmark("build/stripes/fresh", buildStripes, false)->Apply(once);
    benchmark::RegisterBenchmark("build/allocate", allocateLevels)->Apply(once);
    for (int percent : percents()) {
        benchmark::RegisterBenchmark(paintName("first", percent).c_str(), firstPaint, percent,
                                     true)
            ->Apply(configure);
        benchmark::RegisterBenchmark(paintName("drag", percent).c_str(), dragPaint, percent)
            ->Apply(configure);
    }
    for (int percent : WithoutLevels)
        benchmark::RegisterBenchmark(paintName("nolevels", percent).c_str(), firstPaint, percent,
                                     false)
            ->Apply(once);
    MedianCollector collector(isatty(STDOUT_FILENO) != 0);
    const Usage before = Usage::now();
    benchmark::RunSpecifiedBenchmarks(&collector);
    const double others = Usage::now().othersPercent(before);
    summarise(collector);
    if (others >= 0)
        std::printf("other processes used %.0f %% of the cores during the run%s\n", others,
                    others > 10 ? ": the times are pessimistic" : "");
    sharedLevels.reset();
    benchmark::Shutdown();
    return 0;
}

#else

#include <cstdio>

int main() {
    std::puts("pyramid_bench needs the Qt front end (configure with VISTREL_GUI=ON)");
    return 0;
}

#endif
