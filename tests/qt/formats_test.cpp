// Today's picture formats through the loader: PNG, WebP, TIFF, SVG, HEIC and AVIF.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/viewer/pictureloadrules.h"
#include "fakes/tempfolder.h"
#include "qt/encodedpictures.h"
#include "qt/platform/qtpictureloader.h"

namespace {

using namespace vistrel::test;
using vistrel::core::LoadError;
using vistrel::core::LoadResult;

Bytes svgQuadrants(int width, int height) {
    const auto rect = [](int x, int y, const char* fill) {
        return "<rect x='" + std::to_string(x) + "' y='" + std::to_string(y) +
               "' width='32' height='16' fill='" + fill + "'/>";
    };
    return "<?xml version='1.0'?>\n<svg xmlns='http://www.w3.org/2000/svg' width='" +
           std::to_string(width) + "' height='" + std::to_string(height) +
           "' viewBox='0 0 64 32'>" + rect(0, 0, "#f00") + rect(32, 0, "#0f0") +
           rect(0, 16, "#00f") + rect(32, 16, "#ff0") + "</svg>\n";
}

Bytes testData(const char* name) {
    return ReadBytes(std::string(VISTREL_TEST_DATA_DIR) + "/" + name);
}

// A TIFF-style EXIF block whose only entry is the orientation.
Bytes exifBlock(int orientation) {
    return Bytes("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 19) + char(orientation) +
           Bytes(6, '\0');
}

std::uint32_t crc32(const Bytes& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// An eXIf chunk right behind the header chunk.
Bytes pngWithOrientation(const Bytes& png, int orientation) {
    const Bytes data = exifBlock(orientation), typed = "eXIf" + data;
    return png.substr(0, 33) + BigEndian(data.size(), 4) + typed + BigEndian(crc32(typed), 4) +
           png.substr(33);
}

// The simple layout rewritten as the extended one, with an EXIF chunk after the pixels.
Bytes webpWithOrientation(const Bytes& webp, int width, int height, int orientation) {
    const Bytes exif = exifBlock(orientation);
    const Bytes chunks = "VP8X" + LittleEndian(10, 4) + Bytes("\x08\0\0\0", 4) +
                         LittleEndian(width - 1, 3) + LittleEndian(height - 1, 3) +
                         webp.substr(12) + "EXIF" + LittleEndian(exif.size(), 4) + exif;
    return "RIFF" + LittleEndian(4 + chunks.size(), 4) + "WEBP" + chunks;
}

std::string describe(const Quadrants& q) {
    char text[64];
    std::snprintf(text, sizeof text, "%08x %08x %08x %08x", q[0], q[1], q[2], q[3]);
    return text;
}

struct Format {
    const char* name; // file name; its extension is the format's own
    Bytes bytes;
    int tolerance; // per channel: the lossy formats blur the quadrants' edges
};

class FormatsTest : public ::testing::Test {
protected:
    std::string put(const std::string& name, const Bytes& bytes) { return dir.file(name, bytes); }

    // Loaded whole and as a thumbnail, the picture must be 64 x 32 and upright.
    void expectUpright(const std::string& name, const Bytes& bytes, int tolerance,
                       const Quadrants& colours = Upright) {
        const std::string path = put(name, bytes);
        const LoadResult full = loader.load(path), thumb = loader.loadScaled(path, 16, 16);
        for (const LoadResult* result : {&full, &thumb}) {
            ASSERT_TRUE(result->ok()) << name << ": " << result->errorText;
            EXPECT_EQ(std::pair(result->naturalWidth, result->naturalHeight), std::pair(64, 32))
                << name;
            EXPECT_TRUE(Near(QuadrantColours(result->image), colours, tolerance))
                << name << ": " << describe(QuadrantColours(result->image));
        }
        EXPECT_EQ(std::pair(full.image.width(), full.image.height()), std::pair(64, 32)) << name;
        EXPECT_EQ(std::pair(thumb.image.width(), thumb.image.height()), std::pair(16, 8)) << name;
    }

    TempFolder dir;
    vistrel::qt::QtPictureLoader loader;
};

TEST_F(FormatsTest, EachFormatLoadsByContentAndFailsClearlyWhenCutShort) {
    const QImage picture = QuadrantPicture(64, 32);
    const std::vector<Format> formats{
        {"picture.png", Encode(picture, "png"), 0},
        {"picture.webp", Encode(picture, "webp", 90), 24},
        {"lossless.webp", Encode(picture, "webp", 100), 0},
        {"animated.webp", testData("quadrants-animated.webp"), 24}, // the first frame
        {"picture.tif", Encode(picture, "tiff"), 0},
        {"picture.svg", svgQuadrants(64, 32), 0},
#ifdef VISTREL_HAVE_LIBHEIF
        {"picture.heic", testData("quadrants-exif6.heic"), 24},
        {"picture.avif", testData("quadrants-mirrored-alpha.avif"), 24},
#endif
    };
    for (const Format& format : formats) {
        SCOPED_TRACE(format.name);
        const bool alpha = std::string(format.name).ends_with(".avif");
        const Quadrants colours{Red, Green, Blue, alpha ? White : Yellow};
        expectUpright(format.name, format.bytes, format.tolerance, colours);
        // A name that lies about the format.
        expectUpright(std::string(format.name) + ".jpg", format.bytes, format.tolerance, colours);

        const std::string cut = std::string("cut ") + format.name;
        const std::string path = put(cut, format.bytes.substr(0, format.bytes.size() / 2));
        for (const LoadResult& result : {loader.load(path), loader.loadScaled(path, 16, 16)}) {
            EXPECT_EQ(result.error, LoadError::Damaged) << result.errorText;
            EXPECT_TRUE(result.image.isNull());
            EXPECT_NE(result.errorText.find(cut), std::string::npos) << result.errorText;
        }
    }
}

TEST_F(FormatsTest, OrientationIsAppliedOnceWhereverItIsStored) {
    const QImage picture = QuadrantPicture(64, 32);
    // Stored on its side (orientation 6 turns it back a quarter clockwise).
    const QImage turned = picture.transformed(QTransform().rotate(270));
    const Bytes png = Encode(turned, "png"), webp = Encode(turned, "webp", 100);
    const std::vector<Format> cases{
        {"exif.png", pngWithOrientation(png, 6), 0},
        {"exif.webp", webpWithOrientation(webp, 32, 64, 6), 0},
        // Qt's TIFF reader applies the tag itself; it must not be applied a second time.
        {"tag.tif", Encode(turned, "tiff", -1, QImageIOHandler::TransformationRotate90), 0},
#ifdef VISTREL_HAVE_LIBHEIF
        // HEIC and AVIF: the file's rotation and mirror boxes count, its EXIF does not.
        {"boxes.heic", testData("quadrants-rotated.heic"), 24},
        {"exif only.heic", testData("quadrants-exif6.heic"), 24},
#endif
    };
    for (const Format& c : cases)
        expectUpright(c.name, c.bytes, c.tolerance);
    // Damaged orientation blocks leave the picture as stored.
    Bytes unreadable = pngWithOrientation(Encode(picture, "png"), 6);
    unreadable.replace(unreadable.find("eXIf") + 4, 2, "XX"); // no byte-order mark
    expectUpright("bad exif.png", unreadable, 0);
}

TEST_F(FormatsTest, PicturesDeclaringTooManyPixelsAreRefusedBeforeDecoding) {
#ifndef VISTREL_HAVE_LIBHEIF
    GTEST_SKIP() << "built without libheif";
#endif
    Bytes heic = testData("quadrants-exif6.heic");
    // Every image spatial extent box claims 30000 x 30000 (3.6 GB decoded).
    for (std::size_t at = heic.find("ispe"); at != Bytes::npos; at = heic.find("ispe", at + 1))
        heic.replace(at + 8, 8, BigEndian(30000, 4) + BigEndian(30000, 4));
    // The least limit any machine gets, so the bombs are above it everywhere.
    const vistrel::qt::QtPictureLoader loader(vistrel::core::MinDecodeBytes, nullptr);
    const std::string svg = put("bomb.svg", svgQuadrants(30000, 30000));
    const std::string heif = put("bomb.heic", heic);
    for (const LoadResult& result :
         {loader.load(svg), loader.load(heif), loader.loadScaled(heif, 16, 16)}) {
        EXPECT_EQ(result.error, LoadError::TooLarge) << result.errorText;
        EXPECT_NE(result.errorText.find("30000 x 30000"), std::string::npos) << result.errorText;
    }
    // A drawing's thumbnail is drawn straight at the box's size, whatever it claims.
    const LoadResult thumbnail = loader.loadScaled(svg, 16, 16);
    ASSERT_TRUE(thumbnail.ok()) << thumbnail.errorText;
    EXPECT_EQ(thumbnail.image.width(), 16);
}

} // namespace
