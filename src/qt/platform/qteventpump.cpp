#include "qt/platform/qteventpump.h"

#include <algorithm>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>

namespace vistrel::qt {

void QtEventPump::processPendingEvents() { QCoreApplication::processEvents(); }

void QtEventPump::repaint() {
    if (m_render) m_render();
    // Paint what changed, but leave the user's clicks and keys queued until the work is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtEventPump::waitForEvents(int maxMilliseconds, bool repaintFirst) {
    if (repaintFirst && m_render) m_render();
    m_dispatcher.store(QAbstractEventDispatcher::instance());
    if (maxMilliseconds <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    // The timer bounds the wait; a worker's wake() or any event ends it sooner. A wake that
    // came before the wait began is kept by the dispatcher, so it is not lost.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(std::min(maxMilliseconds, 1000));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtEventPump::post(std::function<void()> task) {
    QMetaObject::invokeMethod(
        &m_context,
        [this, task = std::move(task)] {
            task();
            if (m_render) m_render();
        },
        Qt::QueuedConnection);
}

void QtEventPump::wake() {
    if (QAbstractEventDispatcher* dispatcher = m_dispatcher.load()) dispatcher->wakeUp();
}

} // namespace vistrel::qt
