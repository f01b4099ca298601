#include "core/viewer/exiforientation.h"

#include <algorithm>

namespace vistrel::core {

namespace {

// No orientation tag sits further in than this; bigger blocks are read only this far.
constexpr std::size_t MaxExifBytes = 64 * 1024;
// Bounds the walk through a file made of nothing but tiny chunks.
constexpr int MaxChunks = 100000;

std::uint32_t bigEndian(std::string_view b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

std::uint32_t littleEndian(std::string_view b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

int pngOrientation(const ReadAt& read) {
    std::uint64_t at = 8;
    for (int i = 0; i < MaxChunks; ++i) {
        const std::string header = read(at, 8);
        if (header.size() < 8) return 1;
        const std::uint32_t length = bigEndian(header, 0, 4);
        const std::string_view type = std::string_view(header).substr(4, 4);
        if (type == "eXIf")
            return ExifOrientation(read(at + 8, std::min<std::size_t>(length, MaxExifBytes)));
        // Decoders go by the block in front of the pixels.
        if (type == "IDAT" || type == "IEND") return 1;
        at += std::uint64_t{12} + length;
    }
    return 1;
}

int webpOrientation(const ReadAt& read) {
    const std::string head = read(0, 21);
    // Only the extended layout can carry EXIF, and it says so in its flags.
    if (head.size() < 21 || head.compare(12, 4, "VP8X") != 0 ||
        !(static_cast<unsigned char>(head[20]) & 0x08))
        return 1;
    const std::uint64_t end = std::uint64_t{8} + littleEndian(head, 4, 4);
    std::uint64_t at = 12;
    for (int i = 0; i < MaxChunks && at + 8 <= end; ++i) {
        const std::string header = read(at, 8);
        if (header.size() < 8) return 1;
        const std::uint32_t size = littleEndian(header, 4, 4);
        if (header.compare(0, 4, "EXIF") == 0)
            return ExifOrientation(read(at + 8, std::min<std::size_t>(size, MaxExifBytes)));
        at += std::uint64_t{8} + size + (size & 1);
    }
    return 1;
}

} // namespace

int ExifOrientation(std::string_view exif) {
    if (exif.starts_with(std::string_view("Exif\0\0", 6))) exif.remove_prefix(6);
    if (exif.size() < 8) return 1;
    const bool little = exif.starts_with("II");
    if (!little && !exif.starts_with("MM")) return 1;
    const auto number = [&](std::size_t at, int n) {
        return little ? littleEndian(exif, at, n) : bigEndian(exif, at, n);
    };
    if (number(2, 2) != 42) return 1;
    const std::uint64_t ifd = number(4, 4);
    if (ifd + 2 > exif.size()) return 1;
    const std::uint32_t count = number(static_cast<std::size_t>(ifd), 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = ifd + 2 + std::uint64_t{12} * i;
        if (entry + 12 > exif.size()) return 1;
        const auto e = static_cast<std::size_t>(entry);
        if (number(e, 2) != 0x0112) continue;
        const std::uint32_t value = number(e + 2, 2) == 3 ? number(e + 8, 2) : 0; // SHORT
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

int ContainerExifOrientation(const ReadAt& read) {
    const std::string head = read(0, 12);
    if (head.starts_with("\x89PNG\r\n\x1a\n")) return pngOrientation(read);
    if (head.size() == 12 && head.starts_with("RIFF") && head.compare(8, 4, "WEBP") == 0)
        return webpOrientation(read);
    return 1;
}

} // namespace vistrel::core
