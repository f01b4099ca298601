#pragma once

#include <QImage>
#include <QSize>

#include <optional>
#include <string>

namespace vistrel::qt {

// A JPEG's embedded EXIF thumbnail, found fit to stand for the picture.
struct ExifThumbnail {
    QImage image;        // as stored, not yet turned upright
    int orientation = 1; // the picture's EXIF orientation, 1 to 8, which the thumbnail shares
    QSize natural;       // the picture's own upright size, from its frame header
};

// The thumbnail that cameras embed in a JPEG's EXIF block, when it can be shrunk into what
// the picture would give for box (core::EmbeddedThumbnailServes). Nothing when the file is not
// a JPEG, has no such thumbnail or anything fails: the caller then decodes the picture. Reads
// only the segments in front of the picture's data, at most core::JpegHeadMaxBytes. Without
// libexif at build time there is never one. Safe on several threads.
std::optional<ExifThumbnail> ReadExifThumbnail(const std::string& path, QSize box);

} // namespace vistrel::qt
