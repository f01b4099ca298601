#include "qt/platform/qteventpump.h"

#include <QCoreApplication>

namespace vistrel::qt {

void QtEventPump::processPendingEvents() { QCoreApplication::processEvents(); }

void QtEventPump::repaint() {
    if (m_render) m_render();
    // Paint what changed, but leave the user's clicks and keys queued until the work is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace vistrel::qt
