// Big-folder benchmark: opens a folder of 200,000 small JPEGs as the window does (listing,
// cells, the first picture, then the thumbnail build through the shared thumbnail cache) and
// reports when the first picture would be painted, how long the window ever waited between
// two turns of taking input, and the peak memory while scrolling from top to bottom.
//
//   bigfolder_bench [--dir DIR] [--files N] [--threads N] [--first-only]
//
// The files are hard links to the 10,000 pictures of thumbnails_bench's "many" folder, so
// run `thumbnails_bench --only many` once first. The thumbnail cache starts empty.

#if __has_include(<QImageReader>)

#include <QCoreApplication>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/app/mainwindowmodel.h"
#include "core/browser/cachingloader.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/selection.h"
#include "core/browser/thumbnailbuilder.h"
#include "core/browser/thumbnailcache.h"
#include "core/browser/thumbnailsheet.h"
#include "core/editing/selectionrect.h"
#include "core/platform/clock.h"
#include "core/platform/eventpump.h"
#include "core/platform/volumesource.h"
#include "core/platform/wakesignal.h"
#include "core/viewer/currentimage.h"
#include "qt/platform/heaplimit.h"
#include "qt/platform/qtpictureloader.h"
#include "qt/platform/qtthumbnailstore.h"
#include "bench/buildrig.h"

namespace fs = std::filesystem;
using namespace vistrel;
using bench::RootVolume;
using bench::SteadyClock;
using bench::WallSeconds;

namespace {

long PeakKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// Stands in for the event loop: every call is a turn in which a click would be answered.
struct TimingPump : core::EventPump {
    const core::CurrentImage* current = nullptr;
    double start = 0;
    double firstPicturePainted = -1;
    double lastTurn = 0;
    double longestGap = 0;
    std::function<void()> onFirstPicture;
    core::WakeSignal signal;
    void turn(bool paint) {
        const double now = WallSeconds();
        longestGap = std::max(longestGap, now - lastTurn);
        lastTurn = now;
        if (paint && firstPicturePainted < 0 && current && current->lastLoadShown()) {
            firstPicturePainted = now - start;
            if (onFirstPicture) onFirstPicture();
        }
    }
    void processPendingEvents() override { turn(false); }
    void repaint() override { turn(true); }
    void waitForEvents(int maxMilliseconds, bool repaintFirst) override {
        turn(repaintFirst);
        signal.Wait(maxMilliseconds);
        lastTurn = WallSeconds(); // waiting is answering
    }
    void wake() override { signal.Wake(); }
};

// Hard links to the "many" folder's pictures, made once.
bool EnsureFolder(const fs::path& folder, const fs::path& source, int files) {
    const fs::path done = folder.string() + ".complete";
    if (fs::exists(done)) return true;
    std::vector<fs::path> pictures;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(source, ec))
        if (entry.path().extension() == ".jpg") pictures.push_back(entry.path());
    if (pictures.empty()) return false;
    std::sort(pictures.begin(), pictures.end());
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    char name[32];
    for (int i = 0; i < files; ++i) {
        std::snprintf(name, sizeof name, "p%06d.jpg", i + 1);
        fs::create_hard_link(pictures[static_cast<std::size_t>(i) % pictures.size()],
                             folder / name, ec);
        if (ec) return false;
    }
    std::ofstream(done) << files << '\n';
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string dir = "/tmp/vistrel-bench";
    int files = 200000;
    int threads = 0;
    bool firstOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--first-only") firstOnly = true;
        if (i + 1 >= argc) continue;
        if (option == "--dir") dir = argv[i + 1];
        else if (option == "--files") files = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--threads") threads = std::atoi(argv[i + 1]);
        else continue;
        ++i;
    }
    const fs::path folder = fs::path(dir) / ("huge-" + std::to_string(files));
    if (!EnsureFolder(folder, fs::path(dir) / "many", files)) {
        std::fprintf(stderr, "No pictures in %s/many: run thumbnails_bench --only many first\n",
                     dir.c_str());
        return 1;
    }
    qt::UseOneHeap(); // as the program does
    const fs::path cache = fs::path(dir) / "bigfolder-cache";
    // The last run's entries (200,000 files after a whole build) are removed first, and the
    // disk given time to take it in, so that removing them does not land on the listing.
    if (fs::exists(cache)) {
        fs::remove_all(cache);
        ::sync();
        std::this_thread::sleep_for(std::chrono::seconds(2));
    }
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    QCoreApplication app(argc, argv);

    const long peakBefore = PeakKb();
    qt::QtPictureLoader pictures;
    qt::QtThumbnailStore store;
    core::ThumbnailCache thumbnailCache(store, qt::ThumbnailCacheRoot());
    core::CachingLoader loader(pictures, thumbnailCache);

    RootVolume volumes;
    SteadyClock clock;
    TimingPump pump;
    core::MainWindowModel model;
    // A maximized 1920 x 1080 window: ten cells a row, nine rows shown.
    bench::StartUpTemplates(model, 10);
    model.picPreview.height = 9 * 1575;
    core::ThumbnailSheet sheet(model);
    core::FullScreenModel fullScreen;
    core::Selection selection;
    core::SelectionRect rect;
    core::ViewSettings settings;

    // Opened from its parent, as a click in the folder list does: the folder list and the
    // file list are read, then the build starts.
    core::FolderBrowser browser(volumes, model.status, folder.parent_path().string(),
                                {nullptr, nullptr, nullptr, &pump});
    pump.start = pump.lastTurn = WallSeconds();
    if (auto failure = browser.setFolderPath(folder.string())) {
        std::fprintf(stderr, "%s\n", failure->c_str());
        return 1;
    }
    const double listed = WallSeconds() - pump.start;
    core::CurrentImage current(model, fullScreen, browser, selection, pictures, rect, settings);
    pump.current = &current;
    core::ThumbnailBuilder builder(model, sheet, browser, loader, clock, pump, &current, 15,
                                   threads);
    if (firstOnly) pump.onFirstPicture = [&] { builder.Cancel(); };
    builder.ClearThumbnails();
    builder.BuildThumbnails();
    const double built = WallSeconds() - pump.start;
    const double longestGap = pump.longestGap;

    // Top to bottom a page at a time, as a user paging through would.
    const double scrollStart = WallSeconds();
    const int pages = static_cast<int>(sheet.lastCellBottom() / model.picPreview.height) + 1;
    double slowestPage = 0;
    for (int page = 0; page <= pages; ++page) {
        const double t = WallSeconds();
        sheet.SetScrollValue(static_cast<int>(static_cast<long long>(model.vScrollState.maximum) *
                                              page / pages));
        slowestPage = std::max(slowestPage, WallSeconds() - t);
    }
    const double scrolled = WallSeconds() - scrollStart;

    std::printf("folder: %zu files (%s)\n", browser.files().size(), folder.c_str());
    std::printf("listing (on a worker):             %8.1f ms\n", listed * 1000);
    std::printf("first picture painted:             %8.1f ms   goal < 150 ms\n",
                pump.firstPicturePainted * 1000);
    std::printf("longest wait for input:            %8.1f ms   goal < 50 ms (listing and build)\n",
                longestGap * 1000);
    std::printf("whole build (cold cache):          %8.2f s   (%s in panel 3)\n", built,
                builder.buildTimeText().c_str());
    std::printf("scroll top to bottom, %d pages:   %8.2f s, slowest page %.1f ms\n", pages,
                scrolled, slowestPage * 1000);
    std::printf("thumbnails held at the end:        %8.1f MB\n",
                static_cast<double>(sheet.thumbnailBytes()) / (1 << 20));
    std::printf("peak resident memory:              %8.1f MB   goal < 300 MB (%.1f MB before)\n",
                PeakKb() / 1024.0, peakBefore / 1024.0);
    return 0;
}

#else
int main() { return 0; }
#endif
