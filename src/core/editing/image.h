#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
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

// Leaves new elements uninitialised (value-initialisation would fill them), for buffers that
// are written in full right after they are made.
template <typename T>
struct DefaultInitAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    using std::allocator<T>::allocator;
    template <typename U>
    void construct(U* place) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
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
    // A width x height picture whose pixels the caller writes, every one, before any is read:
    // a large picture then costs no fill, and its pages are first touched by whoever writes.
    struct Unfilled {};
    Image(int width, int height, Unfilled);

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
    std::vector<Pixel, DefaultInitAllocator<Pixel>> m_pixels;
};

} // namespace vistrel::core
