#include "core/viewer/filesize.h"

#include "core/app/numbers.h"

namespace vistrel::core {

std::string FormatFileSize(std::uint64_t length, char decimalSeparator) {
    constexpr std::uint64_t KB = 1024;
    constexpr std::uint64_t MB = 1024 * 1024;
    if (length < KB) return std::to_string(length) + " Bytes";
    const auto scaled = [&](std::uint64_t unit) {
        return FormatNumber(
            RoundHalfEven(static_cast<double>(length) / static_cast<double>(unit), 2),
            decimalSeparator);
    };
    if (length < MB) return scaled(KB) + " KB";
    return scaled(MB) + " MB";
}

} // namespace vistrel::core
