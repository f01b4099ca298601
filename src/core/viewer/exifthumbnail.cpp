#include "core/viewer/exifthumbnail.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vistrel::core {

namespace {

constexpr unsigned char Marker = 0xFF, StartOfImage = 0xD8, App1 = 0xE1, Comment = 0xFE;

bool isApplication(unsigned code) { return code >= 0xE0 && code <= 0xEF; }

// Quantisation and Huffman tables, restart interval and arithmetic conditioning: the segments
// that may sit between the application segments and the frame header.
bool isTable(unsigned code) { return code == 0xDB || code == 0xC4 || code == 0xDD || code == 0xCC; }

// Every start-of-frame code; DHT (C4), JPG (C8) and DAC (CC) share the range.
bool isFrame(unsigned code) {
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// Baseline, extended and progressive, Huffman or arithmetic: what the decoders read. Lossless
// and hierarchical frames are left to them to refuse.
bool isDecodedFrame(unsigned code) {
    return code == 0xC0 || code == 0xC1 || code == 0xC2 || code == 0xC9 || code == 0xCA;
}

} // namespace

JpegHead ReadJpegHead(const unsigned char* data, std::size_t size) {
    JpegHead head;
    const auto ends = [&](JpegHead::Status status) {
        head.status = status;
        return head;
    };
    if (size < 2) return ends(size == 1 && data[0] != Marker ? JpegHead::Status::Unusable
                                                             : JpegHead::Status::Truncated);
    if (data[0] != Marker || data[1] != StartOfImage) return ends(JpegHead::Status::Unusable);

    // Every segment moves on by at least four bytes, so the walk ends within size / 4 steps.
    std::size_t at = 2;
    for (;;) {
        if (at >= size) return ends(JpegHead::Status::Truncated);
        if (data[at] != Marker) return ends(JpegHead::Status::Unusable);
        while (at < size && data[at] == Marker) ++at; // fill bytes may precede a marker
        if (at >= size) return ends(JpegHead::Status::Truncated);
        const unsigned code = data[at++];
        if (!isApplication(code) && code != Comment && !isTable(code) && !isFrame(code))
            return ends(JpegHead::Status::Unusable); // scan data, or a marker out of place
        if (at + 2 > size) return ends(JpegHead::Status::Truncated);
        const std::size_t length = std::size_t{data[at]} << 8 | data[at + 1];
        if (length < 2) return ends(JpegHead::Status::Unusable);
        const std::size_t start = at + 2, end = at + length;

        if (isFrame(code)) {
            if (end > size) return ends(JpegHead::Status::Truncated);
            if (length < 8 || !isDecodedFrame(code) || data[start] != 8)
                return ends(JpegHead::Status::Unusable);
            head.stored.height = data[start + 1] << 8 | data[start + 2];
            head.stored.width = data[start + 3] << 8 | data[start + 4];
            // A height of 0 is given later in the scan (DNL); nothing to go by here.
            if (head.stored.width == 0 || head.stored.height == 0)
                return ends(JpegHead::Status::Unusable);
            return ends(JpegHead::Status::Complete);
        }
        if (code == App1 && head.exifSize == 0) {
            if (std::min(end, start + 6) > size) return ends(JpegHead::Status::Truncated);
            if (length >= 2 + 6 && std::memcmp(data + start, "Exif\0\0", 6) == 0) {
                if (end > size) return ends(JpegHead::Status::Truncated);
                head.exifOffset = start;
                head.exifSize = length - 2;
            }
        }
        at = end;
    }
}

bool SameProportions(PixelSize thumbnail, PixelSize picture) {
    if (thumbnail.width <= 0 || thumbnail.height <= 0 || picture.width <= 0 || picture.height <= 0)
        return false;
    const bool wide = picture.width >= picture.height;
    const std::int64_t thumbLong = wide ? thumbnail.width : thumbnail.height;
    const std::int64_t thumbShort = wide ? thumbnail.height : thumbnail.width;
    const std::int64_t pictureLong = wide ? picture.width : picture.height;
    const std::int64_t pictureShort = wide ? picture.height : picture.width;
    // |thumbShort - thumbLong * pictureShort / pictureLong| <= 1, in whole numbers.
    const std::int64_t off = thumbShort * pictureLong - thumbLong * pictureShort;
    return (off < 0 ? -off : off) <= pictureLong;
}

bool EmbeddedThumbnailServes(PixelSize thumbnail, PixelSize picture, PixelSize box) {
    if (!SameProportions(thumbnail, picture) || box.width <= 0 || box.height <= 0) return false;
    if (std::max(thumbnail.width, thumbnail.height) > MaxEmbeddedThumbnailSide ||
        thumbnail.width > picture.width || thumbnail.height > picture.height)
        return false;
    const PixelSize fit = FitInsidePixels(picture.width, picture.height, box.width, box.height);
    if (fit == picture) return false;
    return thumbnail.width >= fit.width && thumbnail.height >= fit.height;
}

} // namespace vistrel::core
