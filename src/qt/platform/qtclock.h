#pragma once

#include <chrono>
#include <random>

#include "core/platform/clock.h"

namespace vistrel::qt {

// The system clock, and a uniform source seeded from it once.
class QtClock : public core::Clock {
public:
    QtClock();
    std::chrono::system_clock::time_point now() const override;
    double elapsedSeconds() const override;
    double random() override;

private:
    std::chrono::steady_clock::time_point m_start;
    std::mt19937_64 m_engine;
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
};

} // namespace vistrel::qt
