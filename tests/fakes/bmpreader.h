#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/editing/image.h"

namespace vistrel::test {

// Reads back an uncompressed 24-bit bottom-up Windows bitmap, checking every header field a
// reader relies on; nothing when one is off or the file is not exactly as long as declared.
inline std::optional<core::Image> ReadBmp24(const std::vector<std::uint8_t>& file) {
    const auto u16 = [&](std::size_t at) { return std::uint32_t(file[at] | file[at + 1] << 8); };
    const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    const std::uint32_t width = u32(18), height = u32(22);
    const std::size_t stride = (3 * std::size_t{width} + 3) / 4 * 4;
    if (u32(2) != file.size() || u32(10) != 54 || u32(14) != 40 || u16(26) != 1 ||
        u16(28) != 24 || u32(30) != 0 || u32(34) != stride * height ||
        file.size() != 54 + stride * height || width == 0 || height == 0 || width > 1 << 16 ||
        height > 1 << 16)
        return std::nullopt;
    core::Image image{int(width), int(height)};
    for (int y = 0; y < image.height(); ++y) {
        const std::size_t row = 54 + stride * std::size_t(image.height() - 1 - y);
        for (int x = 0; x < image.width(); ++x) {
            const std::uint8_t* p = &file[row + 3 * std::size_t(x)];
            image.at(x, y) = 0xFF000000u | std::uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
        }
        for (std::size_t pad = 3 * std::size_t{width}; pad < stride; ++pad)
            if (file[row + pad] != 0) return std::nullopt;
    }
    return image;
}

} // namespace vistrel::test
