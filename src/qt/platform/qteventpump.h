#pragma once

#include <atomic>
#include <functional>

#include <QObject>

#include "core/platform/eventpump.h"

class QAbstractEventDispatcher;

namespace vistrel::qt {

// Lets Qt run pending events from inside a long core loop.
class QtEventPump : public core::EventPump {
public:
    // render: brings the widgets up to date with core's state before they paint.
    QtEventPump() = default;
    void setRender(std::function<void()> render) { m_render = std::move(render); }
    void processPendingEvents() override;
    void repaint() override;
    void waitForEvents(int maxMilliseconds, bool repaintFirst) override;
    void wake() override;
    bool posts() const override { return true; }
    void post(std::function<void()> task) override;

private:
    std::function<void()> m_render;
    // The UI thread's, once it has waited; workers only wake it.
    std::atomic<QAbstractEventDispatcher*> m_dispatcher{nullptr};
    // Posted tasks are delivered to it, so those left when the pump goes are dropped with it.
    QObject m_context;
};

} // namespace vistrel::qt
