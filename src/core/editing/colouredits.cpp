#include "core/editing/colouredits.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

// The saturating byte arithmetic of SSE2 does brightness and balance at the speed of a copy;
// elsewhere the same arithmetic runs on whole pixels in ordinary registers.
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VISTREL_SSE2 1
#endif

namespace vistrel::core {

namespace {

using Pixel = Image::Pixel;
constexpr Pixel kOpaque = 0xFF000000u;

// Brightness and balance add a signed amount to each channel and stop at 0 and 255: a
// saturating add of the positive parts, then a saturating subtract of the negative parts, done
// on the three channel bytes of a pixel at once.
struct ChannelShift {
    Pixel up = 0;   // per channel byte: max(amount, 0)
    Pixel down = 0; // per channel byte: max(-amount, 0)
};

ChannelShift Shift(int red, int green, int blue) {
    ChannelShift shift;
    int place = 16;
    for (int amount : {red, green, blue}) {
        // Beyond +-255 every value ends at the same limit.
        amount = std::clamp(amount, -255, 255);
        shift.up |= static_cast<Pixel>(std::max(amount, 0)) << place;
        shift.down |= static_cast<Pixel>(std::max(-amount, 0)) << place;
        place -= 8;
    }
    return shift;
}

// Bytewise min(x + y, 255): the low seven bits add without crossing into the next byte, the top
// bits are added apart, and a byte that carried out is filled with ones.
inline Pixel SaturatingAdd(Pixel x, Pixel y) {
    Pixel sum = (x & 0x7F7F7F7Fu) + (y & 0x7F7F7F7Fu);
    sum ^= (x ^ y) & 0x80808080u;
    const Pixel carried = ((x & y) | ((x | y) & ~sum)) & 0x80808080u;
    return sum | ((carried >> 7) * 0xFFu);
}

// Bytewise max(x - y, 0).
inline Pixel SaturatingSubtract(Pixel x, Pixel y) {
    return ~SaturatingAdd(~x, y);
}

void ShiftRow(const Pixel* in, Pixel* out, int width, ChannelShift shift) {
    int x = 0;
#ifdef VISTREL_SSE2
    const __m128i up = _mm_set1_epi32(static_cast<int>(shift.up));
    const __m128i down = _mm_set1_epi32(static_cast<int>(shift.down));
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    for (; x + 4 <= width; x += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i shifted = _mm_subs_epu8(_mm_adds_epu8(p, up), down);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_or_si128(shifted, opaque));
    }
#endif
    for (; x < width; ++x)
        out[x] = SaturatingSubtract(SaturatingAdd(in[x], shift.up), shift.down) | kOpaque;
}

void ApplyShift(const Image& source, Image& target, ChannelShift shift, const RowDone& rowDone) {
    assert(source.width() == target.width() && source.height() == target.height());
    for (int y = 0; y < source.height(); ++y) {
        ShiftRow(source.row(y), target.row(y), source.width(), shift);
        if (rowDone) rowDone(y);
    }
}

// The values of one channel that match: the band is one interval, kept as its low end and
// width so the test is a single unsigned comparison.
struct Band {
    std::uint32_t low = 0;
    std::uint32_t span = 0;
    bool empty = true;
};

Band MatchingBand(int target, int tolerance) {
    Band band;
    int first = -1, last = -1;
    for (int v = 0; v < 256; ++v) {
        if (!ChannelMatches(target, v, tolerance)) continue;
        if (first < 0) first = v;
        last = v;
    }
    if (first < 0) return band;
    band.low = static_cast<std::uint32_t>(first);
    band.span = static_cast<std::uint32_t>(last - first);
    band.empty = false;
    return band;
}

} // namespace

Pixel ColourToPixel(Colour colour) {
    return kOpaque | static_cast<Pixel>(RedOf(colour)) << 16 |
           static_cast<Pixel>(GreenOf(colour)) << 8 | static_cast<Pixel>(BlueOf(colour));
}

bool ChannelMatches(int target, int value, int tolerance) {
    const double band = tolerance / 100.0 * target;
    return target - band <= value && value <= target + band;
}

void Brightness(const Image& source, Image& target, int amount, const RowDone& rowDone) {
    ApplyShift(source, target, Shift(amount, amount, amount), rowDone);
}

void RgbBalance(const Image& source, Image& target, int red, int green, int blue,
                const RowDone& rowDone) {
    ApplyShift(source, target, Shift(red, green, blue), rowDone);
}

void ReplaceColour(const Image& source, Image& target, Colour from, Colour to, int tolerance,
                   const RowDone& rowDone) {
    assert(source.width() == target.width() && source.height() == target.height());
    const Band r = MatchingBand(RedOf(from), tolerance);
    const Band g = MatchingBand(GreenOf(from), tolerance);
    const Band b = MatchingBand(BlueOf(from), tolerance);
    const bool none = r.empty || g.empty || b.empty;
    const Pixel replacement = ColourToPixel(to);
    const int w = source.width();
    for (int y = 0; y < source.height(); ++y) {
        const Pixel* in = source.row(y);
        Pixel* out = target.row(y);
        if (none) {
            std::copy(in, in + w, out);
        } else {
            for (int x = 0; x < w; ++x) {
                const Pixel p = in[x];
                // Unsigned: a value below the band wraps round to a large one.
                const bool match = ((p >> 16 & 0xFF) - r.low <= r.span) &
                                   ((p >> 8 & 0xFF) - g.low <= g.span) &
                                   ((p & 0xFF) - b.low <= b.span);
                out[x] = match ? replacement : p;
            }
        }
        if (rowDone) rowDone(y);
    }
}

} // namespace vistrel::core
