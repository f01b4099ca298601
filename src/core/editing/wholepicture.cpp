#include "core/editing/wholepicture.h"

#include <algorithm>

namespace vistrel::core {

void FlipHorizontal(Image& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        Image::Pixel* row = picture.row(y);
        std::reverse(row, row + picture.width());
    }
}

void FlipVertical(Image& picture) {
    for (int top = 0, bottom = picture.height() - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(picture.row(top), picture.row(top) + picture.width(),
                         picture.row(bottom));
}

Image GrowCanvas(const Image& picture, int width, int height, Image::Pixel background) {
    Image canvas(std::max(width, picture.width()), std::max(height, picture.height()),
                 background);
    PasteTopLeft(canvas, picture);
    return canvas;
}

void PasteTopLeft(Image& picture, const Image& pasted) {
    const int width = std::min(picture.width(), pasted.width());
    const int height = std::min(picture.height(), pasted.height());
    for (int y = 0; y < height; ++y)
        std::copy_n(pasted.row(y), width, picture.row(y));
}

} // namespace vistrel::core
