#include "core/viewer/picturepyramid.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vistrel::core {

namespace {

using Pixel = Image::Pixel;

int half(int n) { return n / 2 + n % 2; }

// Red and blue, then green, each summed in its own 16-bit lane of a 32-bit word. A pixel that
// is missing at an odd edge is passed twice in place of its absent neighbour: twice the sum
// of two over four rounds exactly as their own average would.
Pixel average4(Pixel p, Pixel q, Pixel r, Pixel s) {
    constexpr std::uint32_t Lanes = 0x00FF00FF;
    const std::uint32_t rb = (p & Lanes) + (q & Lanes) + (r & Lanes) + (s & Lanes) + 0x00020002u;
    const std::uint32_t g = ((p >> 8) & 0xFF) + ((q >> 8) & 0xFF) + ((r >> 8) & 0xFF) +
                            ((s >> 8) & 0xFF) + 2u;
    return 0xFF000000u | ((rb >> 2) & Lanes) | (g >> 2) << 8;
}

// One row of the next level from rows `a` and `b` (the same row at an odd last row) of
// `width` pixels.
void halveRow(Pixel* out, const Pixel* a, const Pixel* b, int width) {
    const int pairs = width / 2;
    int x = 0;
#if defined(__SSE2__)
    // Four results from eight pixels of each row: the channels widened to 16 bits, the rows
    // added, then each pixel added to its right-hand neighbour.
    const __m128i zero = _mm_setzero_si128();
    const __m128i two = _mm_set1_epi16(2);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const auto sums = [&](const Pixel* pa, const Pixel* pb) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pa));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pb));
        const __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(va, zero), _mm_unpacklo_epi8(vb, zero));
        const __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero));
        const __m128i pairSums =
            _mm_add_epi16(_mm_unpacklo_epi64(lo, hi), _mm_unpackhi_epi64(lo, hi));
        return _mm_srli_epi16(_mm_add_epi16(pairSums, two), 2);
    };
    for (; x + 4 <= pairs; x += 4) {
        const __m128i first = sums(a + 2 * x, b + 2 * x);
        const __m128i second = sums(a + 2 * x + 4, b + 2 * x + 4);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_or_si128(_mm_packus_epi16(first, second), opaque));
    }
#endif
    for (; x < pairs; ++x)
        out[x] = average4(a[2 * x], a[2 * x + 1], b[2 * x], b[2 * x + 1]);
    if (width % 2) out[pairs] = average4(a[width - 1], a[width - 1], b[width - 1], b[width - 1]);
}

} // namespace

PicturePyramid::PicturePyramid(const Image& picture) : m_picture(picture) {
    // A third of the picture is the memory budget; only pictures a few pixels high or wide,
    // whose levels shrink in one direction only, reach it before MinimumSide.
    const std::int64_t budget = static_cast<std::int64_t>(picture.pixelCount()) / 3;
    std::int64_t used = 0;
    int width = picture.width();
    int height = picture.height();
    std::vector<std::pair<int, int>> sizes;
    while (!picture.isNull()) {
        width = half(width);
        height = half(height);
        used += std::int64_t{width} * height;
        if (std::max(width, height) < MinimumSide || used > budget) break;
        sizes.emplace_back(width, height);
    }
    m_levels.reserve(sizes.size());
    // Unfilled: the stripes write every pixel, and the threads that build them touch the pages.
    for (const auto& [w, h] : sizes)
        m_levels.emplace_back(w, h, Image::Unfilled{});
    if (m_levels.empty()) return;
    m_stripeRows = 1 << LevelCount();
    m_stripeCount = picture.height() / m_stripeRows + (picture.height() % m_stripeRows != 0);
}

std::size_t PicturePyramid::Bytes() const {
    std::size_t bytes = 0;
    for (const Image& level : m_levels)
        bytes += level.pixelCount() * sizeof(Pixel);
    return bytes;
}

void PicturePyramid::BuildStripe(int index) {
    // Level by level, so each reads the rows the one before has just written, still in cache.
    const Image* source = &m_picture;
    for (int k = 0; k < LevelCount(); ++k) {
        Image& level = m_levels[static_cast<std::size_t>(k)];
        const int rows = m_stripeRows >> (k + 1);
        const int end = std::min(level.height(), (index + 1) * rows);
        for (int y = index * rows; y < end; ++y) {
            const Pixel* a = source->row(2 * y);
            const Pixel* b = 2 * y + 1 < source->height() ? source->row(2 * y + 1) : a;
            halveRow(level.row(y), a, b, source->width());
        }
        source = &level;
    }
}

const Image& PicturePyramid::LevelFor(int scaledWidth, int scaledHeight) const {
    for (auto level = m_levels.rbegin(); level != m_levels.rend(); ++level)
        if (level->width() >= scaledWidth && level->height() >= scaledHeight) return *level;
    return m_picture;
}

} // namespace vistrel::core
