#include "core/files/bmpfile.h"

#include <limits>

namespace vistrel::core {

namespace {

constexpr std::uint32_t kHeadersLength = 14 + 40;
constexpr std::int32_t kPixelsPerMetre = 3780; // 96 dots per inch

std::uint64_t RowLength(int width) {
    return (std::uint64_t{3} * static_cast<std::uint64_t>(width) + 3) / 4 * 4;
}

void Put16(std::uint8_t*& out, std::uint16_t value) {
    *out++ = static_cast<std::uint8_t>(value);
    *out++ = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t*& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) *out++ = static_cast<std::uint8_t>(value >> shift);
}

} // namespace

std::optional<std::uint64_t> BmpFileLength(int width, int height) {
    if (width <= 0 || height <= 0) return std::nullopt;
    // Both sides are below 2^31, so the product stays below 2^64.
    const std::uint64_t length =
        kHeadersLength + RowLength(width) * static_cast<std::uint64_t>(height);
    if (length > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return length;
}

std::optional<std::vector<std::uint8_t>> EncodeBmp(const Image& picture) {
    const auto length = BmpFileLength(picture.width(), picture.height());
    if (!length) return std::nullopt;
    const auto rowLength = static_cast<std::size_t>(RowLength(picture.width()));
    const auto fileLength = static_cast<std::uint32_t>(*length);

    std::vector<std::uint8_t> file(fileLength, 0); // the row padding stays 0
    std::uint8_t* out = file.data();
    *out++ = 'B';
    *out++ = 'M';
    Put32(out, fileLength);
    Put32(out, 0); // reserved
    Put32(out, kHeadersLength);

    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(picture.width()));
    Put32(out, static_cast<std::uint32_t>(picture.height())); // positive: bottom-up
    Put16(out, 1);                                             // planes
    Put16(out, 24);                                            // bits per pixel
    Put32(out, 0);                                             // uncompressed
    Put32(out, fileLength - kHeadersLength);
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, 0); // colours used
    Put32(out, 0); // colours important

    for (int y = picture.height() - 1; y >= 0; --y) {
        std::uint8_t* pixel = out;
        const Image::Pixel* row = picture.row(y);
        for (int x = 0; x < picture.width(); ++x) {
            *pixel++ = static_cast<std::uint8_t>(row[x]);       // blue
            *pixel++ = static_cast<std::uint8_t>(row[x] >> 8);  // green
            *pixel++ = static_cast<std::uint8_t>(row[x] >> 16); // red
        }
        out += rowLength;
    }
    return file;
}

} // namespace vistrel::core
