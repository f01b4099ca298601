#pragma once

#include "core/editing/image.h"

namespace vistrel::core {

// Mirrors the picture left-right, in place.
void FlipHorizontal(Image& picture);
// Mirrors the picture top-bottom, in place.
void FlipVertical(Image& picture);

// The picture on a canvas of at least width x height: a side that is already long enough
// keeps its length, and the new area is `background`. Throws std::bad_alloc when the canvas
// does not fit into memory.
Image GrowCanvas(const Image& picture, int width, int height, Image::Pixel background);

// Copies `pasted` into the top-left corner of `picture`, unscaled; what falls outside is cut
// off.
void PasteTopLeft(Image& picture, const Image& pasted);

} // namespace vistrel::core
