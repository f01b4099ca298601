#pragma once

#include <chrono>
#include <cstdint>
#include <random>

#include "core/platform/clock.h"

namespace vistrel::test {

// A clock whose random() walks a seeded Mersenne Twister, the same sequence on every run
// and every standard library.
struct SeededClock : core::Clock {
    explicit SeededClock(std::uint32_t seed) : engine(seed) {}
    std::mt19937 engine;
    std::chrono::system_clock::time_point now() const override { return {}; }
    double elapsedSeconds() const override { return 0; }
    double random() override { return engine() / 4294967296.0; } // [0, 1)
};

} // namespace vistrel::test
