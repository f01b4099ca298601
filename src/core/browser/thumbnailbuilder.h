#pragma once

#include <chrono>
#include <string>

#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"
#include "core/browser/browserhooks.h"
#include "core/browser/folderbrowser.h"
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
// Pictures are decoded on worker threads, at most lookAhead() files ahead of the cell being
// built, and taken up strictly in file order on the calling thread, so the sheet, the
// progress texts and the panel messages come out as a one-by-one build would give them.
// An unreadable picture gets a cell with a broken mark and does not stop the build.
class ThumbnailBuilder : public GridRebuilder {
public:
    // decodeThreads 0 uses one thread per core.
    ThumbnailBuilder(MainWindowModel& model, ThumbnailSheet& sheet, const FolderBrowser& browser,
                     const PictureLoader& loader, Clock& clock, EventPump& pump,
                     PictureLoads* current, double twipsPerPixel, int decodeThreads = 0);

    double twipsPerPixel() const { return m_twipsPerPixel; }
    int decodeThreads() const { return m_threads; }
    // Finished thumbnails are small, so workers may run well ahead: a slow picture then
    // holds up the hand-over, not the decoders.
    int lookAhead() const { return 16 * m_threads; }

    void ClearThumbnails();
    void BuildThumbnails();
    void clearThumbnails() override { ClearThumbnails(); }
    void buildThumbnails() override { BuildThumbnails(); }
    // From the build's first yield to the end of its final load. The progress value is 0
    // at both ends, so it cannot tell on its own.
    bool Building() const { return m_building; }
    // The next build ends on this file of the folder, when it lists it, instead of the first.
    void EndOn(std::string name) { m_endOn = std::move(name); }

    std::chrono::system_clock::time_point BuildStartTime() const { return m_buildStartTime; }
    // The last build's duration as shown in panel 3.
    const std::string& buildTimeText() const { return m_buildTimeText; }
    // "Error: " + the first failure of the last build; empty when every picture loaded.
    const std::string& firstError() const { return m_firstError; }

private:
    MainWindowModel& m_model;
    ThumbnailSheet& m_sheet;
    const FolderBrowser& m_browser;
    const PictureLoader& m_loader;
    Clock& m_clock;
    EventPump& m_pump;
    PictureLoads* m_current; // told of the build's start and end; none in the benchmarks
    double m_twipsPerPixel;
    int m_threads;
    std::chrono::system_clock::time_point m_buildStartTime{};
    std::string m_buildTimeText;
    std::string m_firstError;
    bool m_building = false;
    std::string m_endOn;
};

} // namespace vistrel::core
