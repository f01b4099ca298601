#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>

#include <string>

#include "metafile/protocol.h"

namespace vistrel::metafile {

// A metafile turned into SVG by its library, with the part of the SVG that the file's frame
// covers (null: the whole SVG viewport, which is the drawing's bounds).
struct Svg {
    QByteArray text;
    QRectF frame;
};

// The file's SVG; empty text when the library refuses it.
Svg ToSvg(const std::string& file);

struct Rendered {
    Status status = Status::Ok;
    int naturalWidth = 0;
    int naturalHeight = 0;
    QImage image; // Format_RGB32, on white
};

// Draws the metafile at its natural size, or into a box (proportions kept, never enlarged)
// when boxWidth and boxHeight are positive.
Rendered Render(const std::string& file, int boxWidth, int boxHeight);

} // namespace vistrel::metafile
