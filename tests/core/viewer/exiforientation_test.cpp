#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/viewer/exiforientation.h"

using namespace vistrel::core;
using Bytes = std::string;

namespace {

Bytes be(std::uint32_t v, int n) {
    Bytes out;
    for (int i = n - 1; i >= 0; --i) out += char((v >> (8 * i)) & 0xFF);
    return out;
}

Bytes le(std::uint32_t v, int n) {
    const Bytes out = be(v, n);
    return {out.rbegin(), out.rend()};
}

// One IFD holding the given (tag, type, value) entries.
Bytes exif(bool little, std::vector<std::array<std::uint32_t, 3>> entries) {
    const auto n = [&](std::uint32_t v, int width) { return little ? le(v, width) : be(v, width); };
    Bytes out = (little ? "II" : "MM") + n(42, 2) + n(8, 4) + n(entries.size(), 2);
    for (const auto& [tag, type, value] : entries)
        out += n(tag, 2) + n(type, 2) + n(1, 4) + n(value, 2) + Bytes(2, '\0');
    return out + Bytes(4, '\0');
}

int orientationOf(const Bytes& file) {
    return ContainerExifOrientation([&](std::uint64_t offset, std::size_t size) {
        return offset < file.size() ? file.substr(offset, size) : Bytes();
    });
}

Bytes pngChunk(const Bytes& type, const Bytes& data) {
    return be(data.size(), 4) + type + data + Bytes(4, '\0'); // the CRC is the decoder's business
}

Bytes webp(bool flagged, const std::vector<std::pair<Bytes, Bytes>>& chunks) {
    Bytes body = "VP8X" + le(10, 4) + char(flagged ? 0x08 : 0) + Bytes(9, '\0');
    for (const auto& [type, data] : chunks)
        body += type + le(data.size(), 4) + data + (data.size() % 2 ? Bytes(1, '\0') : "");
    return "RIFF" + le(4 + body.size(), 4) + "WEBP" + body;
}

} // namespace

TEST(ExifOrientation, ReadsTheTagInEitherByteOrderAndRefusesWhatDoesNotFit) {
    const Bytes six = exif(false, {{0x0112, 3, 6}}), other = exif(false, {{0x010F, 2, 0}});
    struct Case {
        const char* what;
        Bytes block;
        int expected;
    };
    const Case cases[] = {
        {"big-endian", six, 6},
        {"little-endian, after another tag", exif(true, {{0x0110, 2, 0}, {0x0112, 3, 8}}), 8},
        {"behind the Exif marker", Bytes("Exif\0\0", 6) + six, 6},
        {"no orientation tag", other, 1},
        {"value out of range", exif(false, {{0x0112, 3, 9}}), 1},
        {"not a SHORT", exif(false, {{0x0112, 4, 6}}), 1},
        {"wrong magic", Bytes("MM\0\x2B", 4) + six.substr(4), 1},
        {"entry cut off", six.substr(0, 18), 1},
        {"IFD past the end", six.substr(0, 4) + be(0xFFFFFFF0, 4) + six.substr(8), 1},
        {"entry count past the end", other.substr(0, 8) + be(0xFFFF, 2) + other.substr(10), 1},
        {"empty", Bytes(), 1}};
    for (const Case& c : cases)
        EXPECT_EQ(ExifOrientation(c.block), c.expected) << c.what;
}

TEST(ExifOrientation, PngAndWebpCarryItInTheirOwnChunks) {
    const Bytes block = exif(true, {{0x0112, 3, 6}});
    const Bytes png = "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", Bytes(13, '\0'));
    struct Case {
        const char* what;
        Bytes file;
        int expected;
    };
    const Case cases[] = {
        {"png before the pixels", png + pngChunk("eXIf", block) + pngChunk("IDAT", "x"), 6},
        {"png after the pixels", png + pngChunk("IDAT", "x") + pngChunk("eXIf", block), 1},
        {"png chunk longer than the file", png + be(0xFFFFFFFF, 4) + "tEXt", 1},
        {"png cut in a chunk header", png + "\0\0", 1},
        {"webp after odd-sized chunks", webp(true, {{"VP8L", "abc"}, {"EXIF", block}}), 6},
        {"webp without the EXIF flag", webp(false, {{"VP8L", "abc"}, {"EXIF", block}}), 1},
        {"webp chunk longer than the file",
         webp(true, {{"VP8L", "abc"}}).substr(0, 30) + "VP8L" + le(0xFFFFFFF0, 4) + "EXIF" +
             le(block.size(), 4) + block,
         1},
        {"jpeg", Bytes("\xFF\xD8\xFF\xE1", 4) + block, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(orientationOf(c.file), c.expected) << c.what;
}
