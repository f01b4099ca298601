#include "qt/platform/memoryinfo.h"

#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__APPLE__)
#include <sys/sysctl.h>
#include <unistd.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vistrel::qt {

std::uint64_t PhysicalMemoryBytes() {
#if defined(_WIN32)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
#elif defined(__APPLE__)
    std::uint64_t bytes = 0;
    std::size_t size = sizeof(bytes);
    return sysctlbyname("hw.memsize", &bytes, &size, nullptr, 0) == 0 ? bytes : 0;
#else
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
#endif
}

std::uint64_t AvailableMemoryBytes() {
#if defined(_WIN32)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    return GlobalMemoryStatusEx(&status) ? status.ullAvailPhys : 0;
#elif defined(__APPLE__)
    return 0;
#else
    // The kernel's own estimate, which counts reclaimable caches; free pages alone would
    // refuse pictures on any machine that has been up for a while.
    std::FILE* meminfo = std::fopen("/proc/meminfo", "r");
    if (!meminfo) return 0;
    char line[256];
    std::uint64_t kilobytes = 0;
    while (std::fgets(line, sizeof(line), meminfo)) {
        unsigned long long value = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &value) == 1) {
            kilobytes = value;
            break;
        }
    }
    std::fclose(meminfo);
    return kilobytes > (~std::uint64_t{0} >> 10) ? 0 : kilobytes << 10;
#endif
}

} // namespace vistrel::qt
