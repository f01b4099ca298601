#include "core/app/largepages.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace vistrel::core {

void AdviseLargePages(void* data, std::size_t bytes) {
#ifdef __linux__
    constexpr std::uintptr_t Large = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + Large - 1) & ~(Large - 1);
    const std::uintptr_t last = (begin + bytes) & ~(Large - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace vistrel::core
