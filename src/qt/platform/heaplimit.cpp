#include "qt/platform/heaplimit.h"

#include <cstdlib> // defines __GLIBC__ where it is the C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vistrel::qt {

void UseOneHeap() {
#if defined(M_ARENA_MAX)
    mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace vistrel::qt
