#include "core/browser/thumbnailbuilder.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/app/fitinside.h"
#include "core/app/numbers.h"
#include "core/files/pathutil.h"
#include "core/viewer/pictureloadrules.h"

namespace vistrel::core {

namespace {

constexpr double kRepaintInterval = 0.04; // about 25 frames a second while building
// With no result ready the build sleeps in the event loop; a result or an event wakes it.
constexpr int kWaitMilliseconds = 40;

LoadResult Failed(LoadError error, std::string text = {}) {
    LoadResult result;
    result.error = error;
    result.errorText = std::move(text);
    return result;
}

// Leaves the window idle (progress 0) if the build is left by an exception, so the busy
// flag cannot block every later refresh.
class BusyScope {
public:
    explicit BusyScope(MainWindowModel& model) : m_model(model) {}
    ~BusyScope() {
        if (m_active) m_model.status.progress = 0;
    }
    void finish() { m_active = false; }

private:
    MainWindowModel& m_model;
    bool m_active = true;
};

int PixelsFor(Twips twips, double twipsPerPixel) {
    return std::max(1, static_cast<int>(std::ceil(twips / twipsPerPixel)));
}

// Runs on the decoder's workers: whatever the loader throws is a failed file.
LoadResult DecodeThumbnail(const PictureLoader& loader, const std::string& path, int maxWidth,
                           int maxHeight) {
    try {
        return loader.loadScaled(path, maxWidth, maxHeight);
    } catch (const std::bad_alloc&) {
        return Failed(LoadError::OutOfMemory);
    } catch (const std::exception& e) {
        return Failed(LoadError::Unreadable,
                      std::filesystem::path(path).filename().string() + ": " + e.what());
    }
}

// Before each file: its share of the build in panel 3 and the bar, or "Done" and an empty
// bar for the last.
void ShowProgress(StatusBarState& status, int index, int count, int last) {
    if (index != last) {
        // Kept in single precision, and read back as such, as the bar holds it.
        const float progress = static_cast<float>(static_cast<double>(index) / count * 100);
        status.progress = progress;
        status.setText(StatusBarState::Status,
                       std::to_string(RoundHalfEven(static_cast<double>(progress) + 1)) + " %");
    } else {
        status.setText(StatusBarState::Status, "Done");
        status.progress = 0;
    }
}

// "Error: " and the failure, as panel 3 tells it.
std::string FailureText(const std::string& path, const LoadResult& result) {
    std::string message = "Error: ";
    if (result.errorText.empty()) // the description could not be made on the worker
        message += DescribeLoadError(path, result.error);
    else
        message += result.errorText;
    return message;
}

} // namespace

std::string FormatBuildTime(double seconds) {
    if (!(seconds > 0)) seconds = 0; // also NaN
    const auto ms = static_cast<long long>(RoundHalfEven(seconds * 1000));
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%03lld", ms / 3600000,
                  ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return text;
}

namespace {

int ThreadsFor(int decodeThreads) {
    if (decodeThreads < 0) return 0;
    if (decodeThreads > 0) return decodeThreads;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

} // namespace

ThumbnailBuilder::ThumbnailBuilder(MainWindowModel& model, ThumbnailSheet& sheet,
                                   const FolderBrowser& browser, const PictureLoader& loader,
                                   Clock& clock, EventPump& pump, PictureLoads* current,
                                   double twipsPerPixel, int decodeThreads)
    : m_model(model), m_sheet(sheet), m_browser(browser), m_loader(loader), m_clock(clock),
      m_pump(pump), m_current(current), m_twipsPerPixel(twipsPerPixel),
      m_lookAhead(16 * std::max(ThreadsFor(decodeThreads), 1)),
      m_queue(ThreadsFor(decodeThreads), m_lookAhead, [&pump] { pump.wake(); }) {
    m_sheet.setViewChanged([this] { ShowVisibleThumbnails(); });
}

ThumbnailBuilder::~ThumbnailBuilder() { m_sheet.setViewChanged({}); }

void ThumbnailBuilder::ClearThumbnails() {
    // From inside a running build: the folder changed under it, and it starts over.
    if (m_building) {
        m_restart = true;
        m_queue.Cancel();
    }
    m_sheet.Clear();
    if (m_current) m_current->clearPictureSurfaces();
}

void ThumbnailBuilder::Cancel() {
    if (!m_building) return;
    m_cancelled = true;
    m_queue.Cancel();
}

void ThumbnailBuilder::BuildThumbnails() {
    if (m_building) {
        m_restart = true; // the running build notices when the pump returns
        return;
    }
    m_building = true;
    m_cancelled = false;
    const struct Ended {
        ThumbnailBuilder& builder;
        ~Ended() {
            builder.m_building = false;
            builder.m_queue.Cancel();
        }
    } ended{*this};
    do {
        m_restart = false;
        BuildOnce();
    } while (m_restart && !m_cancelled);
}

std::pair<int, int> ThumbnailBuilder::VisibleCells() const {
    const Twips top = -m_model.picBack.top;
    return m_sheet.CellsBetween(top, top + m_model.picPreview.innerHeight());
}

void ThumbnailBuilder::ShowVisibleThumbnails() {
    const auto [first, last] = VisibleCells();
    const double tpp = m_twipsPerPixel > 0 ? m_twipsPerPixel : 15.0;
    const std::string folder = AppendPathSeparator(m_browser.fileListPath());
    const int maxWidth = PixelsFor(m_model.imgTemp.width, tpp);
    const int maxHeight = PixelsFor(m_model.imgTemp.height, tpp);
    if (m_pump.posts()) {
        const std::uint64_t generation = m_sheet.generation();
        if (generation != m_restoringGeneration) {
            m_restoring.clear();
            m_restoringGeneration = generation;
        }
        std::vector<RestoreQueue::Job> jobs;
        for (int i = first; i < last; ++i)
            if (m_sheet.dropped(i) && m_restoring.insert(i).second)
                jobs.push_back({generation, i, folder + m_sheet.cell(i).name, maxWidth, maxHeight});
        if (!m_restorer) {
            const PictureLoader& loader = m_loader;
            EventPump& pump = m_pump;
            m_restorer = std::make_unique<RestoreQueue>(
                [&loader](const RestoreQueue::Job& job) {
                    return DecodeThumbnail(loader, job.path, job.maxWidth, job.maxHeight);
                },
                [self = std::weak_ptr(m_self), &pump](const RestoreQueue::Job& job,
                                                      LoadResult result) {
                    auto shared = std::make_shared<LoadResult>(std::move(result));
                    pump.post([self, generation = job.generation, index = job.index, shared] {
                        if (const auto alive = self.lock())
                            (*alive)->Restored(generation, index, std::move(*shared));
                    });
                });
        }
        for (const int gone : m_restorer->Request(generation, first, last, std::move(jobs)))
            m_restoring.erase(gone);
    } else {
        for (int i = first; i < last; ++i)
            if (m_sheet.dropped(i))
                Restore(i, DecodeThumbnail(m_loader, folder + m_sheet.cell(i).name, maxWidth,
                                           maxHeight));
    }
    m_sheet.DropThumbnailsBeyond(m_thumbnailBudget, first, last);
}

void ThumbnailBuilder::Restore(int index, LoadResult result) {
    if (result.ok()) m_sheet.RestoreThumbnail(index, std::move(result.image));
    else m_sheet.FillCell(index, m_sheet.cell(index).name, Image(), std::nullopt); // gone or spoilt
}

void ThumbnailBuilder::Restored(std::uint64_t generation, int index, LoadResult result) {
    if (generation != m_restoringGeneration) return;
    m_restoring.erase(index);
    if (generation != m_sheet.generation() || !m_sheet.dropped(index)) return;
    Restore(index, std::move(result));
    const auto [first, last] = VisibleCells();
    m_sheet.DropThumbnailsBeyond(m_thumbnailBudget, first, last);
}

void ThumbnailBuilder::BuildOnce() {
    MainWindowModel& m = m_model;
    StatusBarState& status = m.status;

    // Lets the event that started the build finish (a click's release) before it starts.
    m_pump.processPendingEvents();
    if (Interrupted()) return;

    m_buildStartTime = m_clock.now();
    const double start = m_clock.elapsedSeconds();
    m_firstError.clear();

    // The workers hold on to this listing of the names: a dropped build's last decodes may
    // still read it after the next listing. Each worker makes its own paths: for 200,000
    // files that is time the window would otherwise wait.
    const auto names = m_browser.sharedFiles();
    // As many as panel 1 counts, never more than are listed.
    const int count = std::clamp(m_browser.LastImageIndex() + 1, 0,
                                 static_cast<int>(std::min<std::size_t>(names->size(), INT_MAX)));
    const int last = count - 1;
    m_sheet.StartCells(count, names);
    m_sheet.BackToScrollBar();
    BusyScope busy(m);

    const std::string folder = AppendPathSeparator(m_browser.fileListPath());
    const double tpp = m_twipsPerPixel > 0 ? m_twipsPerPixel : 15.0;
    const int boxPixelsWide = PixelsFor(m.imgTemp.width, tpp);
    const int boxPixelsHigh = PixelsFor(m.imgTemp.height, tpp);
    const PictureLoader& loader = m_loader;
    m_queue.Start(count, [names, folder, &loader, boxPixelsWide, boxPixelsHigh](int i) {
        return DecodeThumbnail(loader, folder + (*names)[static_cast<std::size_t>(i)], boxPixelsWide,
                               boxPixelsHigh);
    });

    // The picture the build ends on is shown first, while the workers start on the cells.
    int endOn = 0;
    const std::vector<std::string>& files = *names;
    const auto named = std::find(files.begin(), files.end(), std::exchange(m_endOn, {}));
    if (named != files.end() && named - files.begin() < count)
        endOn = static_cast<int>(named - files.begin());
    std::uint64_t loadsBefore = 0;
    bool shownEarly = false;
    if (m_current) {
        m_current->setCurrentFileIndex(endOn);
        if (count > 0) {
            m_current->setImageCount(count); // Previous and Next work from the listing meanwhile
            m_current->loadSelectedImage();
            shownEarly = m_current->lastLoadShown();
        }
        loadsBefore = m_current->loadSerial();
    }
    // On screen now, not a frame later: a big folder is what the user waits on.
    m_pump.waitForEvents(0, true);
    if (Interrupted()) return;

    // Every cell has its place from the start, so the whole sheet scrolls while it fills.
    // A folder of 200,000 takes a while to place: the window keeps taking input meanwhile.
    for (int i = 1; i < count; ++i) {
        m_sheet.AddCell();
        if (i % 16384 == 0) {
            m_pump.waitForEvents(0, false);
            if (Interrupted()) return;
        }
    }
    if (count > 1) m_sheet.UpdateScrollRange();

    std::vector<bool> filled(static_cast<std::size_t>(count), false);
    std::map<int, std::string> failures; // filled, but not yet told in panel 3
    int told = 0;                        // files panel 3 is through with
    bool announced = false;              // panel 3 shows the progress before file `told`
    double lastPaint = start;
    while (count > 0) {
        // Each file's progress shows before it is waited for, its failure once it is done.
        if (told < count && !announced) ShowProgress(status, told, count, last);
        announced = true;
        const auto [firstShown, lastShown] = VisibleCells();
        m_queue.Prefer(firstShown, lastShown);
        std::vector<DecodeQueue::Done> ready = m_queue.TakeReady();
        for (DecodeQueue::Done& done : ready) {
            const int i = done.index;
            LoadResult& result = done.result;
            std::optional<Extent> pictureSize;
            if (result.ok())
                pictureSize = Extent{result.naturalWidth * tpp, result.naturalHeight * tpp};
            else
                failures[i] = FailureText(folder + (*names)[static_cast<std::size_t>(i)], result);
            // A file that would not load keeps its place in the grid, marked, and the build
            // goes on.
            m_sheet.FillCell(i, (*names)[static_cast<std::size_t>(i)],
                             std::move(result.image), pictureSize);
            filled[static_cast<std::size_t>(i)] = true;
        }
        if (!ready.empty()) ShowVisibleThumbnails();
        while (told < count && filled[static_cast<std::size_t>(told)]) {
            if (!announced) ShowProgress(status, told, count, last);
            if (auto failure = failures.find(told); failure != failures.end()) {
                if (m_firstError.empty()) m_firstError = failure->second;
                status.setText(StatusBarState::Status, std::move(failure->second));
                failures.erase(failure);
            }
            ++told;
            announced = false;
        }

        const bool allTold = told >= count;
        const bool idle = ready.empty() && !allTold;
        const double now = m_clock.elapsedSeconds();
        const bool paint = now - lastPaint >= kRepaintInterval;
        if (idle || paint) {
            m_pump.waitForEvents(idle ? kWaitMilliseconds : 0, paint);
            if (paint) lastPaint = now;
            if (Interrupted()) return;
        }
        if (allTold) break;
    }

    m_sheet.UpdateScrollRange();
    busy.finish();

    m_buildTimeText = FormatBuildTime(m_clock.elapsedSeconds() - start);
    status.setText(StatusBarState::Status, m_buildTimeText);
    m_pump.repaint();
    // The build time has been shown; a failure must not be lost behind it.
    if (!m_firstError.empty()) status.setText(StatusBarState::Status, m_firstError);

    if (m_current) {
        m_current->setImageCount(count);
        // The picture shown first stays, and so does one the user chose meanwhile; a first
        // load that failed is tried again, so its message is the last word.
        const bool userChose = m_current->loadSerial() != loadsBefore;
        if (!userChose && !shownEarly) {
            if (count > 0) m_current->setCurrentFileIndex(endOn);
            m_current->loadSelectedImage();
        }
    }
}

} // namespace vistrel::core
