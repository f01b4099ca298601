#include "qt/platform/qttimer.h"

namespace vistrel::qt {

QtTimer::QtTimer() {
    m_timer.setObjectName("timSlideshow");
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
}

void QtTimer::setInterval(int ms) {
    m_interval = ms > 0 ? ms : 0;
    if (m_interval == 0) {
        m_timer.stop();
    } else {
        m_timer.start(m_interval);
    }
}

} // namespace vistrel::qt
