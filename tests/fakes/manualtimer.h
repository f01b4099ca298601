#pragma once

#include "core/platform/timer.h"

namespace vistrel::test {

// Holds the interval; the test calls the tick itself.
struct ManualTimer : core::Timer {
    int ms = 0;
    void setInterval(int value) override { ms = value; }
    int interval() const override { return ms; }
};

} // namespace vistrel::test
