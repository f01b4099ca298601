#pragma once

#include <chrono>

namespace vistrel::core {

// Time and randomness, behind one interface so tests can fix them.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::system_clock::time_point now() const = 0;
    // Monotonic seconds, for measuring how long something took.
    virtual double elapsedSeconds() const = 0;
    // Uniform fraction in [0, 1).
    virtual double random() = 0;
};

} // namespace vistrel::core
