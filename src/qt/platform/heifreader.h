#pragma once

#include <QByteArray>
#include <QImage>

#include "core/platform/pictureloader.h"

class QFile;

namespace vistrel::qt {

// HEIC and AVIF through libheif: Qt has no reader for them. Without libheif at build time
// IsHeif is always false, and such files fail as not a picture.

struct HeifPicture {
    QImage image; // upright: the file's own rotation, mirror and crop boxes are applied
    core::LoadError error = core::LoadError::None;
    int width = 0; // the upright picture's size, also for a TooLarge failure
    int height = 0;
};

// Readies libheif's decoders; call once before worker threads decode.
void InitHeif();

// True when the file's first bytes (an ISO media "ftyp" box) name an image brand that libheif
// decodes.
bool IsHeif(const QByteArray& head);

// Decodes the primary image of the open file at full size. Files whose picture would take
// more than limitBytes are refused before decoding. Of an image sequence the
// primary (still) image is taken.
HeifPicture ReadHeif(QFile& file, std::int64_t limitBytes);

} // namespace vistrel::qt
