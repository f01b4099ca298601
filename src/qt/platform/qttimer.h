#pragma once

#include <functional>

#include <QTimer>

#include "core/platform/timer.h"

namespace vistrel::qt {

// The slide-show timer: an interval of 0 stops it.
class QtTimer : public core::Timer {
public:
    QtTimer();
    // What each tick runs.
    void setTick(std::function<void()> tick) { m_tick = std::move(tick); }
    // Runs one tick now, as the timer does when the interval has passed.
    void tick() {
        if (m_tick) m_tick();
    }
    void setInterval(int ms) override;
    int interval() const override { return m_interval; }

private:
    QTimer m_timer;
    std::function<void()> m_tick;
    int m_interval = 0;
};

} // namespace vistrel::qt
