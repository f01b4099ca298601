#include "core/viewer/picturepyramid.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// AVX2 is chosen at run time, so the program still runs on processors without it.
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define VISTREL_PYRAMID_AVX2 1
#endif

namespace vistrel::core {

namespace {

using Pixel = Image::Pixel;

int half(int n) { return n / 2 + n % 2; }

std::vector<std::pair<int, int>> levelSizes(int width, int height) {
    // A third of the picture is the memory budget; only pictures a few pixels high or wide,
    // whose levels shrink in one direction only, reach it before MinimumSide.
    std::vector<std::pair<int, int>> sizes;
    if (width <= 0 || height <= 0) return sizes;
    const std::int64_t budget = std::int64_t{width} * height / 3;
    std::int64_t used = 0;
    for (;;) {
        width = half(width);
        height = half(height);
        used += std::int64_t{width} * height;
        if (std::max(width, height) < PicturePyramid::MinimumSide || used > budget) break;
        sizes.emplace_back(width, height);
    }
    return sizes;
}

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

#if VISTREL_PYRAMID_AVX2
#define VISTREL_AVX2_FUNCTION __attribute__((target("avx2")))

VISTREL_AVX2_FUNCTION inline __m256i load8(const Pixel* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

VISTREL_AVX2_FUNCTION inline void store8(Pixel* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// The rounded averages of the 2 x 2 blocks of eight pixels of row a over eight of row b, in
// 16-bit channels: the instructions work within 128-bit halves, so the results come as 0 1 in
// the low half and 2 3 in the high one.
VISTREL_AVX2_FUNCTION inline __m256i blockAverages(__m256i a, __m256i b) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo =
        _mm256_add_epi16(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero));
    const __m256i hi =
        _mm256_add_epi16(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero));
    const __m256i sums =
        _mm256_add_epi16(_mm256_unpacklo_epi64(lo, hi), _mm256_unpackhi_epi64(lo, hi));
    return _mm256_srli_epi16(_mm256_add_epi16(sums, _mm256_set1_epi16(2)), 2);
}

// Eight pixels of the next level from sixteen of row a (a0, a1) and sixteen of row b.
VISTREL_AVX2_FUNCTION inline __m256i halve16(__m256i a0, __m256i a1, __m256i b0, __m256i b1) {
    // Packing interleaves the halves (0 1 4 5 | 2 3 6 7); the permute puts them in order.
    const __m256i packed = _mm256_packus_epi16(blockAverages(a0, b0), blockAverages(a1, b1));
    return _mm256_or_si256(_mm256_permute4x64_epi64(packed, 0xD8),
                           _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
}

// The first pixels of a row of the next level, eight at a time; returns how many it made.
VISTREL_AVX2_FUNCTION int halveRowAvx2(Pixel* out, const Pixel* a, const Pixel* b, int pairs) {
    int x = 0;
    for (; x + 8 <= pairs; x += 8)
        store8(out + x, halve16(load8(a + 2 * x), load8(a + 2 * x + 8), load8(b + 2 * x),
                                load8(b + 2 * x + 8)));
    return x;
}

// Past the cache: the first level of a pair is the larger one and only later paints read it
// back, so its rows need not be fetched before they are overwritten nor evict the rows still
// in use. Needs 16-byte alignment.
VISTREL_AVX2_FUNCTION inline void stream8(Pixel* p, __m256i v) {
    _mm_stream_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
    _mm_stream_si128(reinterpret_cast<__m128i*>(p + 4), _mm256_extracti128_si256(v, 1));
}

// See halveTwice: the columns in whole blocks of 32, each making 16 pixels of each row of the
// next level and 8 of the level after from what is still in registers. Returns the columns
// done.
template <bool Stream>
VISTREL_AVX2_FUNCTION int halveTwiceAvx2(Pixel* out0, Pixel* out1, Pixel* next, const Pixel* a,
                                         const Pixel* b, const Pixel* c, const Pixel* d,
                                         int width) {
    const auto put = Stream ? stream8 : store8;
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m256i p0 = halve16(load8(a + x), load8(a + x + 8), load8(b + x), load8(b + x + 8));
        const __m256i p1 =
            halve16(load8(a + x + 16), load8(a + x + 24), load8(b + x + 16), load8(b + x + 24));
        const __m256i q0 = halve16(load8(c + x), load8(c + x + 8), load8(d + x), load8(d + x + 8));
        const __m256i q1 =
            halve16(load8(c + x + 16), load8(c + x + 24), load8(d + x + 16), load8(d + x + 24));
        put(out0 + x / 2, p0);
        put(out0 + x / 2 + 8, p1);
        if (out1) {
            put(out1 + x / 2, q0);
            put(out1 + x / 2 + 8, q1);
        }
        store8(next + x / 4, halve16(p0, p1, q0, q1));
    }
    // Streamed stores are weakly ordered: done before whoever waits for the stripe reads.
    if (Stream) _mm_sfence();
    return x;
}

bool hasAvx2() {
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return has;
}
#endif

// One row of the next level from rows `a` and `b` (the same row at an odd last row) of
// `width` pixels.
void halveRow(Pixel* out, const Pixel* a, const Pixel* b, int width) {
    const int pairs = width / 2;
    int x = 0;
#if VISTREL_PYRAMID_AVX2
    if (hasAvx2()) x = halveRowAvx2(out, a, b, pairs);
#endif
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

// Two rows of the next level (out0 from rows a and b, out1 from c and d) and the row of the
// level after that they make, in one pass over the four rows of `width` pixels: the pixels of
// the next level are averaged again before they leave the processor, instead of being read
// back. A last row of the next level that has no partner comes with out1 null, c = a, d = b.
void halveTwice(Pixel* out0, Pixel* out1, Pixel* next, const Pixel* a, const Pixel* b,
                const Pixel* c, const Pixel* d, int width) {
    int x = 0;
#if VISTREL_PYRAMID_AVX2
    if (hasAvx2()) {
        const auto aligned = [](const Pixel* p) {
            return reinterpret_cast<std::uintptr_t>(p) % 16 == 0;
        };
        x = aligned(out0) && (!out1 || aligned(out1))
                ? halveTwiceAvx2<true>(out0, out1, next, a, b, c, d, width)
                : halveTwiceAvx2<false>(out0, out1, next, a, b, c, d, width);
    }
#endif
    halveRow(out0 + x / 2, a + x, b + x, width - x);
    if (out1) halveRow(out1 + x / 2, c + x, d + x, width - x);
    halveRow(next + x / 4, out0 + x / 2, (out1 ? out1 : out0) + x / 2, half(width) - x / 2);
}

bool haveSizes(const std::vector<Image>& levels, const std::vector<std::pair<int, int>>& sizes) {
    return !sizes.empty() &&
           std::equal(sizes.begin(), sizes.end(), levels.begin(), levels.end(),
                      [](const std::pair<int, int>& size, const Image& level) {
                          return size == std::pair(level.width(), level.height());
                      });
}

} // namespace

PicturePyramid::PicturePyramid(const Image& picture, std::vector<Image> reuse)
    : m_picture(picture) {
    const std::vector<std::pair<int, int>> sizes = levelSizes(picture.width(), picture.height());
    if (haveSizes(reuse, sizes)) {
        m_levels = std::move(reuse);
    } else {
        reuse.clear(); // freed before the new ones are allocated
        m_levels.reserve(sizes.size());
        // Unfilled: the stripes write every pixel, and the threads that build them touch the
        // pages.
        for (const auto& [w, h] : sizes)
            m_levels.emplace_back(w, h, Image::Unfilled{});
    }
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

std::vector<Image> PicturePyramid::ReleaseLevels() {
    m_stripeCount = 0;
    return std::exchange(m_levels, {});
}

bool PicturePyramid::Fits(const std::vector<Image>& levels, int width, int height) {
    return haveSizes(levels, levelSizes(width, height));
}

void PicturePyramid::BuildStripe(int index) {
    // Two levels at a time, and level by level within a stripe, so each pass reads rows the
    // one before has just written, still in cache.
    const Image* source = &m_picture;
    for (int k = 0; k < LevelCount(); k += 2) {
        Image& level = m_levels[static_cast<std::size_t>(k)];
        const int rows = m_stripeRows >> (k + 1);
        const int end = std::min(level.height(), (index + 1) * rows);
        // The row below `above` in the source, or `above` again below its last row.
        const auto below = [&](int y, const Pixel* above) {
            return y < source->height() ? source->row(y) : above;
        };
        if (k + 1 == LevelCount()) {
            for (int y = index * rows; y < end; ++y) {
                const Pixel* a = source->row(2 * y);
                halveRow(level.row(y), a, below(2 * y + 1, a), source->width());
            }
            break;
        }
        Image& next = m_levels[static_cast<std::size_t>(k + 1)];
        // `rows` is even here, so the pairs of rows never straddle two stripes.
        for (int y = index * rows; y < end; y += 2) {
            const Pixel* a = source->row(2 * y);
            const Pixel* b = below(2 * y + 1, a);
            const bool pair = y + 1 < end;
            const Pixel* c = pair ? source->row(2 * y + 2) : a;
            const Pixel* d = pair ? below(2 * y + 3, c) : b;
            halveTwice(level.row(y), pair ? level.row(y + 1) : nullptr, next.row(y / 2), a, b, c,
                       d, source->width());
        }
        source = &next;
    }
}

const Image& PicturePyramid::LevelFor(int scaledWidth, int scaledHeight) const {
    for (auto level = m_levels.rbegin(); level != m_levels.rend(); ++level)
        if (level->width() >= scaledWidth && level->height() >= scaledHeight) return *level;
    return m_picture;
}

} // namespace vistrel::core
