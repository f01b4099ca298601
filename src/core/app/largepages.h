#pragma once

#include <cstddef>

namespace vistrel::core {

// Asks for 2 MB pages for a large buffer that is about to be written: a big picture or a big
// folder's list in 4 KB pages costs a page fault every 4 KB, which on some machines takes
// longer than filling them. Does nothing where the system has no such request.
void AdviseLargePages(void* data, std::size_t bytes);

} // namespace vistrel::core
