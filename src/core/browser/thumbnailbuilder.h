#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <set>
#include <utility>
#include <string>

#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"
#include "core/browser/browserhooks.h"
#include "core/browser/decodequeue.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/restorequeue.h"
#include "core/browser/thumbnailsheet.h"
#include "core/platform/clock.h"
#include "core/platform/eventpump.h"
#include "core/platform/pictureloader.h"
#include "core/viewer/pictureloads.h"

namespace vistrel::core {

// A build's duration as hours:minutes:seconds:milliseconds ("00:00:03:250").
std::string FormatBuildTime(double seconds);

// Builds and clears the thumbnail grid of the folder the browser shows.
//
// Pictures are decoded on worker threads, the visible cells first, and each cell shows as
// soon as its picture is done, so a slow file holds up only its own cell. The progress texts
// and the panel messages still come out in file order, as a one-by-one build would give them.
// An unreadable picture gets a cell with a broken mark and does not stop the build.
//
// The window takes input while the build runs: the build waits for results through the
// event pump. A folder change from there (another folder, Refresh, the file type) drops the
// running build and starts the new one; Cancel() ends it.
class ThumbnailBuilder : public GridRebuilder {
public:
    // decodeThreads 0 uses one thread per core; below 0, none (every file is decoded on the
    // calling thread, in order).
    ThumbnailBuilder(MainWindowModel& model, ThumbnailSheet& sheet, const FolderBrowser& browser,
                     const PictureLoader& loader, Clock& clock, EventPump& pump,
                     PictureLoads* current, double twipsPerPixel, int decodeThreads = 0);
    ~ThumbnailBuilder() override;
    ThumbnailBuilder(const ThumbnailBuilder&) = delete;
    ThumbnailBuilder& operator=(const ThumbnailBuilder&) = delete;

    double twipsPerPixel() const { return m_twipsPerPixel; }
    int decodeThreads() const { return m_queue.threads(); }
    // Finished thumbnails are small, so workers may run well ahead of the cells shown.
    int lookAhead() const { return m_lookAhead; }

    // Decoded thumbnails beyond this many bytes are let go, the shown ones last; they come back
    // (through the loader, from the thumbnail cache) when they show again.
    static constexpr std::size_t DefaultThumbnailBudget = std::size_t{128} << 20;
    void setThumbnailBudget(std::size_t bytes) { m_thumbnailBudget = bytes; }

    void ClearThumbnails();
    void BuildThumbnails();
    // Ends a running build where it is; the cells built so far stay.
    void Cancel();
    void clearThumbnails() override { ClearThumbnails(); }
    void buildThumbnails() override { BuildThumbnails(); }
    // From the build's first yield to the end of its final load. The progress value is 0
    // at both ends, so it cannot tell on its own.
    bool building() const override { return m_building; }
    // The next build ends on this file of the folder, when it lists it, instead of the first.
    void EndOn(std::string name) { m_endOn = std::move(name); }

    std::chrono::system_clock::time_point BuildStartTime() const { return m_buildStartTime; }
    // The last build's duration as shown in panel 3.
    const std::string& buildTimeText() const { return m_buildTimeText; }
    // "Error: " + the first failure of the last build; empty when every picture loaded.
    const std::string& firstError() const { return m_firstError; }

private:
    void BuildOnce();
    bool Interrupted() const { return m_restart || m_cancelled; }
    std::pair<int, int> VisibleCells() const;
    // Keeps the thumbnails within the budget and brings back the shown ones that were let go:
    // through the restore queue where the pump can post its results, else at once.
    void ShowVisibleThumbnails();
    // Gives a let-go cell its thumbnail again, or the broken mark when it no longer loads.
    void Restore(int index, LoadResult result);
    // A thumbnail brought back by the restore queue, on the window's thread.
    void Restored(std::uint64_t generation, int index, LoadResult result);

    MainWindowModel& m_model;
    ThumbnailSheet& m_sheet;
    const FolderBrowser& m_browser;
    const PictureLoader& m_loader;
    Clock& m_clock;
    EventPump& m_pump;
    PictureLoads* m_current; // told of the build's start and end; none in the benchmarks
    double m_twipsPerPixel;
    int m_lookAhead;
    std::size_t m_thumbnailBudget = DefaultThumbnailBudget;
    DecodeQueue m_queue;
    std::set<int> m_restoring; // cells asked of the restore queue, of m_restoringGeneration
    std::uint64_t m_restoringGeneration = 0;
    // Posted results check it: the builder may be gone before they run.
    std::shared_ptr<ThumbnailBuilder*> m_self = std::make_shared<ThumbnailBuilder*>(this);
    std::unique_ptr<RestoreQueue> m_restorer; // made when first needed
    std::chrono::system_clock::time_point m_buildStartTime{};
    std::string m_buildTimeText;
    std::string m_firstError;
    bool m_building = false;
    bool m_restart = false;
    bool m_cancelled = false;
    std::string m_endOn;
};

} // namespace vistrel::core
