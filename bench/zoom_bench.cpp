// Zoomed picture surface benchmark: paints a 1920 x 1080 PictureSurface offscreen for a
// 1500 x 1500 and a 6000 x 4000 picture at zoom levels from 5 % to 1405 %, and compares each
// paint with one plain QPainter::drawImage of the visible source rectangle.
//
//   first  (a) the first paint after a zoom step (from the neighbouring level), including the
//          rebuild of the reduced picture below 100 %
//   drag   (b) a steady paint after the picture moved by 7 px
//   ref    (c) one drawImage of just the visible source rectangle (default hints, so nearest
//          neighbour) into a 1920 x 1080 image
//   floor  ref plus filling the background around the picture, which a full repaint of the
//          window cannot skip
//   cache  bytes the surface holds besides the picture
//
// Every paint is a full 1920 x 1080 repaint through QWidget::render. After Google Benchmark's
// own table a summary gives the ratios and checks the goals: each paint within twice the
// reference and under 8 ms, and the cache within one window-sized buffer. Times are wall
// clock (the reduction uses a second thread when there is enough work), medians of five runs.
//
//   zoom_bench [Google Benchmark flags, e.g. --benchmark_filter=6000]

#if __has_include(<QApplication>)

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/mediancollector.h"
#include "core/editing/image.h"
#include "qt/platform/imageconvert.h"
#include "qt/widgets/picturesurface.h"

using namespace vistrel;

namespace {

constexpr int WindowWidth = 1920;
constexpr int WindowHeight = 1080;
constexpr std::int64_t WindowBytes = std::int64_t{WindowWidth} * WindowHeight * 4;
constexpr double GoalRatio = 2.0;
constexpr double GoalMs = 8.0;
const std::vector<int> Levels = {5, 10, 25, 50, 75, 100, 150, 200, 300, 500, 700, 1005, 1405};

struct Size {
    int width;
    int height;
};
const std::vector<Size> Pictures = {{1500, 1500}, {6000, 4000}};

std::string pictureName(Size s) {
    return std::to_string(s.width) + "x" + std::to_string(s.height);
}

// Photo-like content: smooth gradients with some noise, so nothing is uniform.
const core::Image& picture(Size s) {
    static std::map<std::pair<int, int>, std::unique_ptr<core::Image>> made;
    auto& slot = made[{s.width, s.height}];
    if (!slot) {
        slot = std::make_unique<core::Image>(s.width, s.height);
        std::uint32_t state = 7;
        for (int y = 0; y < s.height; ++y) {
            core::Image::Pixel* row = slot->row(y);
            for (int x = 0; x < s.width; ++x) {
                state = state * 1664525u + 1013904223u;
                const int noise = static_cast<int>(state >> 28);
                const int r = (x * 255 / s.width + noise) & 0xFF;
                const int g = (y * 255 / s.height + noise) & 0xFF;
                const int b = ((x + y) / 8 + noise) & 0xFF;
                row[x] = 0xFF000000u | r << 16 | g << 8 | b;
            }
        }
    }
    return *slot;
}

// The zoomed picture centred in the window, as after centring and zooming about the centre.
QRectF zoomedRect(Size s, int percent) {
    const double w = std::nearbyint(s.width * percent / 100.0);
    const double h = std::nearbyint(s.height * percent / 100.0);
    return QRectF((WindowWidth - w) / 2, (WindowHeight - h) / 2, w, h);
}

// The level one Zoom In or Zoom Out step away.
int neighbour(int percent) {
    if (percent <= 5) return 10;
    if (percent <= 100) return percent - 5;
    if (percent <= 1005) return percent - 25;
    return percent - 100;
}

struct Fixture {
    qt::PictureSurface surface;
    QImage canvas{WindowWidth, WindowHeight, QImage::Format_RGB32};

    explicit Fixture(const core::Image& image) {
        surface.resize(WindowWidth, WindowHeight);
        surface.setBackground(Qt::darkGray);
        surface.setPicture(&image);
    }
    void paint() {
        surface.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
        benchmark::DoNotOptimize(canvas.constBits());
    }
};

std::map<std::string, std::int64_t> cacheBytes; // "picture/level" -> bytes after first paint

void firstPaint(benchmark::State& state, Size s, int percent) {
    Fixture f(picture(s));
    const QRectF from = zoomedRect(s, neighbour(percent));
    const QRectF to = zoomedRect(s, percent);
    for (auto _ : state) {
        state.PauseTiming();
        f.surface.setPictureRect(from);
        f.paint();
        state.ResumeTiming();
        f.surface.setPictureRect(to);
        f.paint();
    }
    cacheBytes[pictureName(s) + "/" + std::to_string(percent)] = f.surface.cacheBytes();
    state.counters["cache_bytes"] = static_cast<double>(f.surface.cacheBytes());
}

void dragPaint(benchmark::State& state, Size s, int percent) {
    Fixture f(picture(s));
    const QRectF at = zoomedRect(s, percent);
    f.surface.setPictureRect(at);
    f.paint();
    int step = 0;
    for (auto _ : state) {
        // Back and forth, so the picture stays where the other paints see it.
        f.surface.setPictureRect(at.translated(step++ % 2 ? 0 : 7, 0));
        f.paint();
    }
    state.counters["cache_bytes"] = static_cast<double>(f.surface.cacheBytes());
}

void referencePaint(benchmark::State& state, Size s, int percent) {
    const core::Image& image = picture(s);
    const QImage source = qt::wrapImage(image);
    QImage canvas(WindowWidth, WindowHeight, QImage::Format_RGB32);
    const QRectF placed = zoomedRect(s, percent);
    const QRectF shown = placed & QRectF(0, 0, WindowWidth, WindowHeight);
    const double sx = image.width() / placed.width();
    const double sy = image.height() / placed.height();
    const QRectF from((shown.left() - placed.left()) * sx, (shown.top() - placed.top()) * sy,
                      shown.width() * sx, shown.height() * sy);
    const bool floor = state.range(0) != 0;
    const QRect hole = shown.toAlignedRect();
    for (auto _ : state) {
        QPainter painter(&canvas);
        if (floor) { // what any full repaint adds: the background around the picture
            QRegion around(0, 0, WindowWidth, WindowHeight);
            around -= hole;
            for (const QRect& band : around)
                painter.fillRect(band, Qt::darkGray);
        }
        painter.drawImage(shown, source, from);
        painter.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
    state.counters["cache_bytes"] = 0;
}


std::string runName(const char* kind, Size s, int percent) {
    return std::string(kind) + "/" + pictureName(s) + "/" + std::to_string(percent) + "%";
}

void summarise(const MedianCollector& c) {
    std::printf("\nZoomed surface in a %d x %d window. Goals: each paint <= %.0f x ref and "
                "<= %.0f ms; cache <= %lld bytes.\n"
                "ref: one drawImage of the visible source rectangle; floor: ref plus the "
                "background around the picture,\nwhich any full repaint also has to fill. "
                "A ratio goal missed against ref but met against floor is marked (bg).\n\n",
                WindowWidth, WindowHeight, GoalRatio, GoalMs, static_cast<long long>(WindowBytes));
    std::printf("%-9s %5s %8s %8s %8s %8s %6s %6s %6s %6s %11s %5s  %s\n", "picture", "zoom",
                "first", "drag", "ref", "floor", "a/c", "b/c", "a/fl", "b/fl", "cache bytes",
                "cache", "goals");
    std::printf("%-9s %5s %8s %8s %8s %8s\n", "", "", "(a) ms", "(b) ms", "(c) ms", "ms");
    int missed = 0;
    for (Size s : Pictures)
        for (int percent : Levels) {
            auto find = [&](const char* kind) {
                return c.get(runName(kind, s, percent));
            };
            const double a = find("first"), b = find("drag"), ref = find("ref"),
                         floor = find("floor");
            if (a < 0 || b < 0 || ref < 0 || floor < 0) continue; // filtered out
            const auto bytes = cacheBytes[pictureName(s) + "/" + std::to_string(percent)];
            std::string verdict;
            auto ratio = [&](double paint, const char* name) {
                if (paint <= GoalRatio * ref) return;
                verdict += std::string(" ") + name + ">2x";
                if (paint <= GoalRatio * floor) verdict += "(bg)";
            };
            ratio(a, "first");
            ratio(b, "drag");
            if (a > GoalMs) verdict += " first>8ms";
            if (b > GoalMs) verdict += " drag>8ms";
            if (bytes > WindowBytes) verdict += " cache>window";
            if (verdict.empty())
                verdict = " ok";
            else
                ++missed;
            std::printf("%-9s %4d%% %8.3f %8.3f %8.3f %8.3f %6.2f %6.2f %6.2f %6.2f %11lld %4.0f%% "
                        "%s\n",
                        pictureName(s).c_str(), percent, a, b, ref, floor, a / ref, b / ref,
                        a / floor, b / floor, static_cast<long long>(bytes),
                        100.0 * bytes / WindowBytes, verdict.c_str());
        }
    std::printf("\n%d level(s) miss a goal against ref\n", missed);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // Wall time, as the reduction may use a second thread; medians of a few runs.
    const auto configure = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(0.2)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    };
    for (Size s : Pictures)
        for (int percent : Levels) {
            benchmark::RegisterBenchmark(runName("first", s, percent).c_str(), firstPaint, s,
                                         percent)
                ->Apply(configure);
            benchmark::RegisterBenchmark(runName("drag", s, percent).c_str(), dragPaint, s, percent)
                ->Apply(configure);
            benchmark::RegisterBenchmark(runName("ref", s, percent).c_str(), referencePaint, s,
                                         percent)
                ->Arg(0)
                ->Apply(configure);
            benchmark::RegisterBenchmark(runName("floor", s, percent).c_str(), referencePaint, s,
                                         percent)
                ->Arg(1)
                ->Apply(configure);
        }
    MedianCollector collector(isatty(STDOUT_FILENO) != 0);
    benchmark::RunSpecifiedBenchmarks(&collector);
    summarise(collector);
    benchmark::Shutdown();
    return 0;
}

#else

#include <cstdio>

int main() {
    std::puts("zoom_bench needs the Qt front end (configure with VISTREL_GUI=ON)");
    return 0;
}

#endif
