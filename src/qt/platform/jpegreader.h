#pragma once

#include <cstdio>

#include "core/editing/image.h"
#include "core/platform/pictureloader.h"

namespace vistrel::qt {

struct ReducedJpeg {
    core::Image image; // null on failure
    core::LoadError error = core::LoadError::None;
};

// Decodes the JPEG at the start of `file` at 1/reduction of its stored size (1, 2, 4 or 8;
// each side rounded up) straight into core's pixel layout, as stored (no EXIF orientation).
// Faster than Qt's reader and without its second copy of the pixels; for a picture too large
// to decode whole, Qt's reader would also first decode at a larger scale and then shrink.
// CMYK pictures are left to Qt's reader (NotAPicture); a build without libjpeg-turbo answers
// TooLarge for every picture.
ReducedJpeg ReadJpegReduced(std::FILE* file, int reduction);

} // namespace vistrel::qt
