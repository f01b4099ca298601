#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vistrel::core {

// A rectangle of whole pixels. A width or height of 0 or less holds nothing.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A picture in memory: 0xFFRRGGBB pixels in contiguous rows, top row first, stride = width.
// The layout is that of QImage::Format_RGB32, so the qt layer can show it without copying.
class Image {
public:
    using Pixel = std::uint32_t;

    Image() = default;
    // A width x height picture filled with one colour; a size of 0 or less gives a null image.
    // Throws std::bad_alloc when the pixels do not fit into memory.
    Image(int width, int height, Pixel fill = 0xFFFFFFFF);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isNull() const { return m_pixels.empty(); }
    std::size_t pixelCount() const { return m_pixels.size(); }

    Pixel at(int x, int y) const { return m_pixels[index(x, y)]; }
    Pixel& at(int x, int y) { return m_pixels[index(x, y)]; }
    const Pixel* row(int y) const { return m_pixels.data() + index(0, y); }
    Pixel* row(int y) { return m_pixels.data() + index(0, y); }
    const Pixel* data() const { return m_pixels.data(); }
    Pixel* data() { return m_pixels.data(); }

    friend bool operator==(const Image&, const Image&) = default;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(x);
    }

    int m_width = 0;
    int m_height = 0;
    std::vector<Pixel> m_pixels;
};

} // namespace vistrel::core
