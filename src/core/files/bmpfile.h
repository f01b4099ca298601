#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/editing/image.h"

namespace vistrel::core {

// The length of a 24-bit Windows bitmap file of width x height pixels; nothing when the
// size is not a picture or the file would not fit the 32-bit fields of its headers.
std::optional<std::uint64_t> BmpFileLength(int width, int height);

// The picture as a 24-bit Windows bitmap file (BITMAPFILEHEADER, BITMAPINFOHEADER, rows
// bottom-up, each padded to 4 bytes). Nothing when BmpFileLength refuses its size.
std::optional<std::vector<std::uint8_t>> EncodeBmp(const Image& picture);

} // namespace vistrel::core
