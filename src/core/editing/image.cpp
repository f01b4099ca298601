#include "core/editing/image.h"

namespace vistrel::core {

Image::Image(int width, int height, Pixel fill) {
    if (width <= 0 || height <= 0) return;
    m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
    m_width = width;
    m_height = height;
}

Image::Image(int width, int height, Unfilled) {
    if (width <= 0 || height <= 0) return;
    m_pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    m_width = width;
    m_height = height;
}

} // namespace vistrel::core
