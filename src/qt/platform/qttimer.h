#pragma once

#include <functional>

#include <QTimer>

#include "core/platform/timer.h"

namespace vistrel::qt {

// The slide-show timer: an interval of 0 stops it.
class QtTimer : public core::Timer {
public:
    explicit QtTimer(std::function<void()> tick);
    void setInterval(int ms) override;
    int interval() const override { return m_interval; }

private:
    QTimer m_timer;
    int m_interval = 0;
};

} // namespace vistrel::qt
