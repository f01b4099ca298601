#pragma once

#include <QImage>

#include "core/editing/image.h"

namespace vistrel::qt {

// The one place where pictures cross between core and Qt.

// A copy of any QImage as a core image. Transparent parts are composed over white, since
// core pictures are opaque. Throws std::bad_alloc when the copy does not fit into memory.
core::Image toCoreImage(const QImage& image);

// A read-only QImage over the core image's pixels, without copying. It stays valid while the
// core image lives and keeps its size; drawing onto it makes Qt copy the pixels first.
QImage wrapImage(const core::Image& image);

// An independent Format_RGB32 copy, for holders that outlive the core image
// (clipboard, saving).
QImage toQImage(const core::Image& image);

} // namespace vistrel::qt
