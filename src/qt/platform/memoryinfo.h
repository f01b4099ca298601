#pragma once

#include <cstddef>
#include <cstdint>

namespace vistrel::qt {

// The machine's memory in bytes; 0 when the system does not say.
std::uint64_t PhysicalMemoryBytes();
// Memory that can be had now without swapping; 0 when the system does not say.
std::uint64_t AvailableMemoryBytes();

// Asks for 2 MB pages for a large buffer that is about to be written: a big picture in 4 KB
// pages costs a page fault every 1,024 pixels, which on some machines takes longer than
// decoding them. Does nothing where the system has no such request.
void AdviseLargePages(void* data, std::size_t bytes);

} // namespace vistrel::qt
