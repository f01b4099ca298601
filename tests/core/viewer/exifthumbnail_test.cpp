#include <gtest/gtest.h>

#include <string>

#include "core/viewer/exifthumbnail.h"

using namespace vistrel::core;
using Bytes = std::string;

namespace {

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

} // namespace

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
    struct Case {
        PixelSize thumbnail, picture, box;
        bool serves;
    };
    const Case cases[] = {
        {{160, 120}, {4000, 3000}, {128, 128}, true}, // the cache's normal size
        {{160, 120}, {4000, 3000}, {87, 75}, true},   // the grid's box
        {{120, 160}, {3000, 4000}, {128, 128}, true}, // upright portrait
        {{160, 120}, {4000, 3000}, {200, 50}, true},  // covers the fitted 67 x 50
        {{160, 107}, {6000, 4000}, {128, 128}, true}, // 3:2 is 160 x 106.7
        {{160, 90}, {4000, 2250}, {128, 128}, true},
        {{160, 120}, {4000, 2250}, {128, 128}, false}, // letterboxed 16:9
        {{160, 120}, {6000, 4000}, {128, 128}, false}, // letterboxed 3:2
        {{160, 108}, {6000, 4000}, {128, 128}, false}, // 1.3 pixels off
        {{160, 120}, {3000, 4000}, {128, 128}, false}, // not turned with the picture
        {{160, 120}, {4000, 3000}, {256, 256}, false}, // too small for the large size
        {{160, 119}, {4000, 3000}, {160, 160}, false}, // would stretch a row
        {{120, 90}, {120, 90}, {128, 128}, false},     // the picture fits whole
        {{160, 120}, {150, 112}, {100, 100}, false},   // larger than the picture
        {{4000, 3000}, {8000, 6000}, {128, 128}, false}, // above the decode bound
        {{0, 0}, {4000, 3000}, {128, 128}, false},
        {{160, 120}, {4000, 3000}, {0, 0}, false}};
    for (const Case& c : cases)
        EXPECT_EQ(EmbeddedThumbnailServes(c.thumbnail, c.picture, c.box), c.serves)
            << c.thumbnail.width << "x" << c.thumbnail.height << " for " << c.picture.width << "x"
            << c.picture.height << " in " << c.box.width << "x" << c.box.height;
}
