#pragma once

#include <functional>

#include "core/platform/eventpump.h"

namespace vistrel::qt {

// Lets Qt run pending events from inside a long core loop.
class QtEventPump : public core::EventPump {
public:
    // render: brings the widgets up to date with core's state before they paint.
    QtEventPump() = default;
    void setRender(std::function<void()> render) { m_render = std::move(render); }
    void processPendingEvents() override;
    void repaint() override;

private:
    std::function<void()> m_render;
};

} // namespace vistrel::qt
