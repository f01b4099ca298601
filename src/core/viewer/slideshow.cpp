#include "core/viewer/slideshow.h"

#include <algorithm>
#include <cmath>

namespace vistrel::core {

SlideShow::SlideShow(CurrentImage& current, const FolderBrowser& browser, Timer& timer,
                     const ViewSettings& settings, Clock& clock)
    : m_current(current), m_browser(browser), m_timer(timer), m_settings(settings), m_clock(clock) {
}

void SlideShow::ShowPreviousImage() {
    if (m_current.CurrentFileIndex > 0) {
        --m_current.CurrentFileIndex;
        m_current.LoadSelectedImage();
    }
}

void SlideShow::ShowNextImage() {
    if (m_current.CurrentFileIndex < m_current.ImageCount - 1) {
        ++m_current.CurrentFileIndex;
        m_current.LoadSelectedImage();
    }
}

void SlideShow::StartStopSlideShow() {
    if (Running())
        m_timer.setInterval(0);
    else
        // A delay below 0 cannot run a timer; it leaves the show stopped like 0 does.
        m_timer.setInterval(std::max(0, m_settings.SlideDelay));
}

void SlideShow::Tick() {
    const bool repeat = m_settings.SlideRepeat == 1;
    // The wrap goes by the file list, the steps by the pictures counted.
    const int listCount = static_cast<int>(m_browser.files().size());
    int& index = m_current.CurrentFileIndex;

    switch (m_settings.SlideOrder) {
    case 1:
        if (repeat && index == 0) index = listCount;
        ShowPreviousImage();
        break;
    case 2:
        if (repeat && index == listCount - 1) index = -1;
        ShowNextImage();
        break;
    case 3:
        // An empty folder gives index 0, and the load says there is nothing to show.
        index = static_cast<int>(std::floor(m_clock.random() * m_current.ImageCount));
        m_current.LoadSelectedImage();
        break;
    default:
        break;
    }
}

} // namespace vistrel::core
