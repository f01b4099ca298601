#pragma once

#include <functional>

namespace vistrel::core {

// Lets the window system run its pending events from inside a long loop.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processPendingEvents() = 0;
    // Repaints what changed without taking user input.
    virtual void repaint() = 0;
    // Runs every pending event, user input included, after repainting what changed when
    // asked to; with none pending, waits up to maxMilliseconds for one, or for wake().
    virtual void waitForEvents(int maxMilliseconds, bool repaintFirst) = 0;
    // Ends a waitForEvents() early; safe to call from any thread.
    virtual void wake() {}
    // Whether post() works; without it, work meant for the window is done where it arises.
    virtual bool posts() const { return false; }
    // Runs task later on the window's thread from its event loop, then repaints what changed.
    // Safe to call from any thread; a task still waiting when the pump goes is dropped.
    virtual void post(std::function<void()> task) { (void)task; }
};

} // namespace vistrel::core
