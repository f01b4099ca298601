#pragma once

// What the build benchmarks share: CPU and wall clocks, and the platform fakes a thumbnail
// build needs without a window.

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include "core/app/mainwindowmodel.h"
#include "core/platform/clock.h"
#include "core/platform/eventpump.h"
#include "core/platform/wakesignal.h"
#include "core/platform/volumesource.h"

namespace vistrel::bench {

inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Seconds all CPUs spent busy (steal included), from /proc/stat, so the share taken by other
// processes during a measurement can be reported next to it.
inline double MachineBusySeconds() {
    std::ifstream in("/proc/stat");
    std::string cpu;
    double user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
    in >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
    if (cpu != "cpu") return 0;
    const long ticks = sysconf(_SC_CLK_TCK);
    return (user + nice + system + irq + softirq + steal) / static_cast<double>(ticks > 0 ? ticks : 100);
}

inline double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

inline double WallSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double Mb(double kb) { return kb / 1024.0; }
inline double MbBytes(double bytes) { return bytes / (1024.0 * 1024.0); }

// Fakes for the platform interfaces the build needs

class SteadyClock : public core::Clock {
public:
    std::chrono::system_clock::time_point now() const override {
        return std::chrono::system_clock::now();
    }
    double elapsedSeconds() const override { return WallSeconds(); }
    double random() override { return m_uniform(m_engine); }

private:
    std::mt19937_64 m_engine{1};
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
};

// No window: counts what a real pump would have done.
struct CountingPump : core::EventPump {
    int pending = 0;
    int repaints = 0;
    core::WakeSignal signal;
    void processPendingEvents() override { ++pending; }
    void repaint() override { ++repaints; }
    void waitForEvents(int maxMilliseconds, bool repaintFirst) override {
        repaints += repaintFirst;
        signal.Wait(maxMilliseconds);
    }
    void wake() override { signal.Wake(); }
};

struct RootVolume : core::VolumeSource {
    std::vector<core::Volume> volumes() const override { return {{"/", "/", true}}; }
};

// The caption template as start-up leaves it, and a sheet just wide enough for cellsPerRow
// cells a row.
inline void StartUpTemplates(core::MainWindowModel& model, int cellsPerRow) {
    model.lblFileName0.top = 1320;
    model.lblFileName0.width = 1295;
    model.vScroll.left = cellsPerRow * 1575 + 1;
}

} // namespace vistrel::bench
