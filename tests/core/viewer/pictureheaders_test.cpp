#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/viewer/exiforientation.h"
#include "core/viewer/exifthumbnail.h"
#include "core/viewer/metafileheader.h"

// What the loaders read from a file's first bytes: EXIF orientation, the JPEG's head and
// embedded thumbnail, the metafiles' frames.
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

Bytes segment(unsigned char code, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    return Bytes{'\xFF', char(code), char(length >> 8), char(length & 0xFF)} + payload;
}

// A frame header: precision, height, width, one component.
Bytes frame(unsigned char code, int width, int height, int precision = 8) {
    return segment(code, Bytes{char(precision), char(height >> 8), char(height & 0xFF),
                               char(width >> 8), char(width & 0xFF), 1, 1, 0x11, 0});
}

JpegHead headOf(const Bytes& bytes) {
    return ReadJpegHead(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// An EMF header record with the given frame (0.01 mm) and the bounds of a 96 dpi device.
Bytes emf(int left, int top, int right, int bottom) {
    return le(1, 4) + le(108, 4) + Bytes(16, '\0') + le(left, 4) + le(top, 4) + le(right, 4) +
           le(bottom, 4) + " EMF" + le(0x10000, 4) + Bytes(28, '\0') + le(960, 4) + le(960, 4) +
           le(254, 4) + le(254, 4);
}

Bytes plainWmfHeader(int type = 1, int words = 9, int version = 0x300) {
    return le(type, 2) + le(words, 2) + le(version, 2) + le(100, 4) + le(0, 2) + le(10, 4) +
           le(0, 2);
}

Bytes placeable(int left, int top, int right, int bottom, int inch) {
    return le(0x9AC6CDD7, 4) + le(0, 2) + le(left, 2) + le(top, 2) + le(right, 2) +
           le(bottom, 2) + le(inch, 2) + le(0, 4) + le(0, 2) + plainWmfHeader();
}

std::optional<PixelSize> frame(const Bytes& head) {
    return MetafileFrameSize(reinterpret_cast<const unsigned char*>(head.data()), head.size());
}

MetafileKind kind(const Bytes& head) {
    return MetafileKindOf(reinterpret_cast<const unsigned char*>(head.data()), head.size());
}

} // namespace

TEST(ExifOrientation, ReadsTheTagInEitherByteOrderAndRefusesWhatDoesNotFit) {
    const Bytes six = exif(false, {{0x0112, 3, 6}}), other = exif(false, {{0x010F, 2, 0}});
    const std::tuple<const char*, Bytes, int> cases[] = {
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
    for (const auto& [what, block, expected] : cases)
        EXPECT_EQ(ExifOrientation(block), expected) << what;
}

TEST(ExifOrientation, PngAndWebpCarryItInTheirOwnChunks) {
    const Bytes block = exif(true, {{0x0112, 3, 6}});
    const Bytes png = "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", Bytes(13, '\0'));
    const std::tuple<const char*, Bytes, int> cases[] = {
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
    for (const auto& [what, file, expected] : cases)
        EXPECT_EQ(orientationOf(file), expected) << what;
}

TEST(JpegHead, FindsTheExifBlockAndTheStoredSizeOrSaysWhyNot) {
    const Bytes soi = "\xFF\xD8", exif = Bytes("Exif\0\0MM\0*", 10);
    const Bytes jfif = segment(0xE0, Bytes("JFIF\0", 5) + Bytes(9, '\0'));
    const Bytes tables = segment(0xDB, Bytes(65, '\x01')) + segment(0xC4, Bytes(20, '\x02'));
    const Bytes camera = soi + segment(0xE1, exif) + tables + frame(0xC0, 4000, 3000);
    using S = JpegHead::Status;
    struct Case {
        const char* what;
        Bytes bytes;
        S status;
        int width, height;
        std::size_t exifOffset; // 0: none
    };
    const Case cases[] = {
        {"camera layout", camera, S::Complete, 4000, 3000, 6},
        {"after JFIF, XMP and a comment, fill bytes, progressive",
         soi + jfif + segment(0xE1, "http://ns.adobe.com/xap/1.0/") + segment(0xFE, "hi") +
             segment(0xE1, exif) + "\xFF" + tables + frame(0xC2, 640, 480),
         S::Complete, 640, 480, 2 + jfif.size() + 32 + 6 + 4},
        {"only the first EXIF block counts",
         soi + segment(0xE1, exif) + segment(0xE1, exif + "xx") + frame(0xC0, 8, 8), S::Complete,
         8, 8, 6},
        {"no EXIF", soi + jfif + tables + frame(0xC1, 1, 65535), S::Complete, 1, 65535, 0},
        {"cut inside the EXIF block", camera.substr(0, 12), S::Truncated, 0, 0, 0},
        {"cut inside the frame header", camera.substr(0, camera.size() - 3), S::Truncated, 0, 0, 6},
        {"cut before the frame header", soi + jfif, S::Truncated, 0, 0, 0},
        {"a PNG", "\x89PNG\r\n\x1a\n", S::Unusable, 0, 0, 0},
        {"scan before a frame", soi + tables + segment(0xDA, "x") + frame(0xC0, 8, 8), S::Unusable,
         0, 0, 0},
        {"garbage between segments", soi + jfif + "x" + frame(0xC0, 8, 8), S::Unusable, 0, 0, 0},
        {"length below 2", soi + Bytes("\xFF\xE1\x00\x01", 4) + frame(0xC0, 8, 8), S::Unusable, 0,
         0, 0},
        {"12-bit", soi + frame(0xC0, 8, 8, 12), S::Unusable, 0, 0, 0},
        {"lossless", soi + frame(0xC3, 8, 8), S::Unusable, 0, 0, 0},
        {"height from DNL", soi + frame(0xC0, 8, 0), S::Unusable, 0, 0, 0}};
    for (const Case& c : cases) {
        const JpegHead head = headOf(c.bytes);
        EXPECT_EQ(head.status, c.status) << c.what;
        if (c.status == S::Complete) {
            EXPECT_EQ(head.stored, (PixelSize{c.width, c.height})) << c.what;
        }
        EXPECT_EQ(head.exifOffset, c.exifOffset) << c.what;
        if (c.exifOffset) {
            EXPECT_EQ(c.bytes.substr(head.exifOffset, 6), exif.substr(0, 6)) << c.what;
        }
    }
}

TEST(EmbeddedThumbnail, ServesOnlyAtThePicturesProportionsAndWithoutEnlarging) {
    const std::tuple<PixelSize, PixelSize, PixelSize, bool> cases[] = { // thumbnail, picture, box
        {{160, 120}, {4000, 3000}, {128, 128}, true}, // the cache's normal size
        {{120, 160}, {3000, 4000}, {128, 128}, true}, // upright portrait
        {{160, 120}, {4000, 3000}, {200, 50}, true},  // covers the fitted 67 x 50
        {{160, 107}, {6000, 4000}, {128, 128}, true}, // 3:2 is 160 x 106.7
        {{160, 120}, {4000, 2250}, {128, 128}, false}, // letterboxed 16:9
        {{160, 108}, {6000, 4000}, {128, 128}, false}, // 1.3 pixels off
        {{160, 120}, {3000, 4000}, {128, 128}, false}, // not turned with the picture
        {{160, 120}, {4000, 3000}, {256, 256}, false}, // too small for the large size
        {{160, 119}, {4000, 3000}, {160, 160}, false}, // would stretch a row
        {{120, 90}, {120, 90}, {128, 128}, false},     // the picture fits whole
        {{160, 120}, {150, 112}, {100, 100}, false},   // larger than the picture
        {{4000, 3000}, {8000, 6000}, {128, 128}, false}, // above the decode bound
        {{0, 0}, {4000, 3000}, {128, 128}, false},
        {{160, 120}, {4000, 3000}, {0, 0}, false}};
    for (const auto& [thumbnail, picture, box, serves] : cases)
        EXPECT_EQ(EmbeddedThumbnailServes(thumbnail, picture, box), serves)
            << thumbnail.width << "x" << thumbnail.height << " for " << picture.width << "x"
            << picture.height << " in " << box.width << "x" << box.height;
}

TEST(MetafileHeader, KindIsJudgedByContent) {
    Bytes wrongSignature = emf(0, 0, 100, 100);
    wrongSignature[41] = 'X';
    const std::tuple<const char*, Bytes, MetafileKind> cases[] = {
        {"emf", emf(0, 0, 2540, 2540), MetafileKind::Emf},
        {"emf cut before its signature", emf(0, 0, 2540, 2540).substr(0, 43), MetafileKind::None},
        {"emf signature wrong", wrongSignature, MetafileKind::None},
        {"placeable wmf", placeable(0, 0, 1440, 720, 1440), MetafileKind::Wmf},
        {"plain wmf on disk", plainWmfHeader(2), MetafileKind::Wmf},
        {"plain wmf version 1", plainWmfHeader(1, 9, 0x100), MetafileKind::Wmf},
        {"plain wmf, wrong header size", plainWmfHeader(1, 8), MetafileKind::None},
        {"plain wmf, wrong version", plainWmfHeader(1, 9, 0x200), MetafileKind::None},
        {"bitmap", Bytes("BM") + Bytes(60, '\0'), MetafileKind::None},
        {"empty", Bytes(), MetafileKind::None}};
    for (const auto& [name, head, expected] : cases)
        EXPECT_EQ(kind(head), expected) << name;
}

TEST(MetafileHeader, FrameGivesTheSizeAt96Dpi) {
    const std::tuple<const char*, Bytes, std::optional<PixelSize>> cases[] = {
        {"emf 127 x 95.25 mm", emf(0, 0, 12700, 9525), PixelSize{480, 360}},
        {"emf frame off the origin", emf(-1000, 500, 1540, 3040), PixelSize{96, 96}},
        {"emf rounds to nearest", emf(0, 0, 66, 2554), PixelSize{2, 97}}, // 2.49, 96.53
        {"emf smaller than a pixel", emf(0, 0, 1, 1), PixelSize{1, 1}},
        {"emf empty frame", emf(0, 0, 0, 2540), std::nullopt},
        {"emf inverted frame", emf(2540, 0, 0, 2540), std::nullopt},
        {"emf frame of extreme numbers", emf(-2147483647 - 1, 0, 2147483647, 2540), std::nullopt},
        {"wmf 1440 per inch", placeable(0, 0, 1440, 720, 1440), PixelSize{96, 48}},
        {"wmf halves to even", placeable(0, 0, 5, 7, 192), PixelSize{2, 4}}, // 2.5, 3.5
        {"wmf negative bounds", placeable(-1821, -2387, 64, -365, 1000), PixelSize{181, 194}},
        {"wmf without units per inch", placeable(0, 0, 1440, 720, 0), std::nullopt},
        {"wmf inverted bounds", placeable(100, 0, 0, 100, 96), std::nullopt},
        {"plain wmf", plainWmfHeader(), std::nullopt},
        {"placeable cut short", placeable(0, 0, 1440, 720, 1440).substr(0, 12), std::nullopt}};
    for (const auto& [name, head, expected] : cases)
        EXPECT_EQ(frame(head), expected) << name;
}

TEST(MetafileHeader, OversizedDrawingsShrinkToTheLargestPictureAllowed) {
    const std::tuple<PixelSize, PixelSize> cases[] = {
        {{2048, 2048}, {2048, 2048}},   // exactly 16 MB
        {{2049, 2048}, {2048, 2047}},   // one column more
        {{12047, 15591}, {1800, 2329}}, // proportions kept: scale 0.1494
        {{1000000, 1}, {1000000, 1}},   // long and thin fits as it is
        {{1048576, 1048576}, {2048, 2048}}};
    for (const auto& [size, expected] : cases) {
        const PixelSize capped = CapMetafileSize(size);
        EXPECT_EQ(capped, expected) << size.width << " x " << size.height;
        EXPECT_LE(std::int64_t{capped.width} * capped.height * 4, MaxMetafileBytes);
    }
}

TEST(MetafileHeader, FailuresNameTheFileAndTheReason) {
    const std::tuple<MetafileFailure, LoadError, const char*> cases[] = {
        {MetafileFailure::TimedOut, LoadError::Damaged, "longer than 2 seconds"},
        {MetafileFailure::ReaderFailed, LoadError::Damaged, "cannot be read"},
        {MetafileFailure::ReaderMissing, LoadError::NotAPicture, "not installed"}};
    for (const auto& [failure, error, reason] : cases) {
        const LoadResult result = MetafileLoadFailure("/pictures/chart.wmf", failure);
        EXPECT_EQ(result.error, error);
        EXPECT_TRUE(result.errorText.starts_with("chart.wmf: ")) << result.errorText;
        EXPECT_NE(result.errorText.find(reason), std::string::npos) << result.errorText;
        EXPECT_TRUE(result.image.isNull());
    }
}
