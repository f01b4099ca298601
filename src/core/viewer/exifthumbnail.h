#pragma once

#include <cstddef>

#include "core/viewer/pictureloadrules.h"

namespace vistrel::core {

// A JPEG's embedded EXIF thumbnail stands in for the picture only when it is found in the
// file's first bytes: reads start with this many and never go past the cap.
inline constexpr std::size_t JpegHeadFirstRead = 16 * 1024;
inline constexpr std::size_t JpegHeadMaxBytes = 256 * 1024;
// Larger embedded thumbnails are not decoded: this bounds what a damaged or hostile EXIF
// block can make a thumbnail decode allocate.
inline constexpr int MaxEmbeddedThumbnailSide = 2048;

// What the segments in front of a JPEG's compressed data tell.
struct JpegHead {
    enum class Status {
        Complete,  // the frame header was reached
        Truncated, // the bytes ended before it: more of the file is needed
        Unusable,  // not a JPEG, damaged, or a kind the thumbnail path leaves to the decoder
    };
    Status status = Status::Unusable;
    // The first APP1 segment holding EXIF: its payload from "Exif\0\0" on; size 0 for none.
    std::size_t exifOffset = 0;
    std::size_t exifSize = 0;
    // The picture as stored, from the frame header (before any EXIF orientation).
    PixelSize stored;
};

// Walks the segments from the start marker to the frame header (SOF): application segments,
// comments and tables are stepped over; anything else ends the walk. Only 8-bit baseline,
// extended, progressive and arithmetic frames are Complete.
JpegHead ReadJpegHead(const unsigned char* data, std::size_t size);

// Whether a thumbnail has the picture's proportions: scaled to the picture's long side, its
// short side is within one pixel of the picture's. Letterboxed thumbnails (160 x 120 for a
// 16:9 picture) are not. Both sizes in the same orientation.
bool SameProportions(PixelSize thumbnail, PixelSize picture);

// Whether an embedded thumbnail can be shrunk into what loadScaled gives the picture for the
// box (FitInsidePixels) instead of decoding the picture: same proportions, no larger than the
// picture or MaxEmbeddedThumbnailSide, and covering the fitted size, so nothing is enlarged.
// A picture that fits the box whole is not served. All sizes upright.
bool EmbeddedThumbnailServes(PixelSize thumbnail, PixelSize picture, PixelSize box);

} // namespace vistrel::core
