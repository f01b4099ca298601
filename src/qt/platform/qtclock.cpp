#include "qt/platform/qtclock.h"

namespace vistrel::qt {

QtClock::QtClock()
    : m_start(std::chrono::steady_clock::now()),
      m_engine(static_cast<std::uint64_t>(
          std::chrono::system_clock::now().time_since_epoch().count())) {}

std::chrono::system_clock::time_point QtClock::now() const {
    return std::chrono::system_clock::now();
}

double QtClock::elapsedSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

double QtClock::random() { return m_uniform(m_engine); }

} // namespace vistrel::qt
