#pragma once

#include "core/app/settingsstore.h"
#include "core/browser/folderbrowser.h"
#include "core/platform/clock.h"
#include "core/platform/timer.h"
#include "core/viewer/currentimage.h"

namespace vistrel::core {

// Previous and next picture, and the timed show through the folder. Every step is a plain
// load. The order, repeat and delay are the in-memory settings as they stand when used:
// the order and repeat at each tick, the delay when the show starts.
class SlideShow {
public:
    SlideShow(CurrentImage& current, const FolderBrowser& browser, Timer& timer,
              const ViewSettings& settings, Clock& clock);

    // One picture back or forward in the file list; nothing at either end.
    void ShowPreviousImage();
    void ShowNextImage();
    // Stops a running show; otherwise starts it with the SlideDelay now in force.
    void StartStopSlideShow();
    bool Running() const { return m_timer.interval() >= 1; }
    // One timer tick: the next picture in the SlideOrder (1 ascending = index decreasing,
    // 2 descending = index increasing, 3 random).
    void Tick();

private:
    CurrentImage& m_current;
    const FolderBrowser& m_browser;
    Timer& m_timer;
    const ViewSettings& m_settings;
    Clock& m_clock;
};

} // namespace vistrel::core
