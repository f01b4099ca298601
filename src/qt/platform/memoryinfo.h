#pragma once

#include "core/app/largepages.h"

#include <cstddef>
#include <cstdint>

namespace vistrel::qt {

// The machine's memory in bytes; 0 when the system does not say.
std::uint64_t PhysicalMemoryBytes();
// Memory that can be had now without swapping; 0 when the system does not say.
std::uint64_t AvailableMemoryBytes();

using core::AdviseLargePages;

} // namespace vistrel::qt
