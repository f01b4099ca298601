#pragma once

namespace vistrel::core {

// The slide-show timer. Its owner delivers each tick to Application::SlideTimerTick().
class Timer {
public:
    virtual ~Timer() = default;
    // Milliseconds between ticks; 0 stops the timer.
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
};

} // namespace vistrel::core
