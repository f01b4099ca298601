#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vistrel::core {

// Reads up to size bytes at offset of a file; fewer at its end, none past it.
using ReadAt = std::function<std::string(std::uint64_t offset, std::size_t size)>;

// The orientation (1 to 8, numbered as EXIF does) stored in a PNG's eXIf chunk or a WebP's
// EXIF chunk; 1 when the file is neither, has no such block or the block is damaged. JPEG and
// TIFF are left to their decoders, which read it themselves.
int ContainerExifOrientation(const ReadAt& read);

// The orientation tag of an EXIF block (a TIFF header, optionally behind "Exif\0\0"); 1 when
// it is missing or not 1 to 8.
int ExifOrientation(std::string_view exif);

// Orientations 5 to 8 stand the picture on its side: width and height trade places.
constexpr bool OrientationTurns(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

} // namespace vistrel::core
