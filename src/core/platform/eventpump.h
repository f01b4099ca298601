#pragma once

namespace vistrel::core {

// Lets the window system run its pending events once, from inside a long loop.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processPendingEvents() = 0;
    // Repaints what changed without taking user input.
    virtual void repaint() = 0;
};

} // namespace vistrel::core
