#include "core/editing/colouredits.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>

namespace vistrel::core {

namespace {

using Pixel = Image::Pixel;
constexpr Pixel kOpaque = 0xFF000000u;

// One channel's result for every value, already shifted to its place in the pixel, so a
// pixel costs three loads and two ORs.
using ChannelTable = std::array<Pixel, 256>;

ChannelTable ShiftTable(int amount, int shift) {
    // Beyond +-255 every value ends at the same limit; this also keeps the sum in range.
    amount = std::clamp(amount, -255, 255);
    ChannelTable table{};
    for (int v = 0; v < 256; ++v)
        table[static_cast<std::size_t>(v)] = static_cast<Pixel>(std::clamp(v + amount, 0, 255))
                                             << shift;
    return table;
}

void ApplyTables(const Image& source, Image& target, const ChannelTable& red,
                 const ChannelTable& green, const ChannelTable& blue, const RowDone& rowDone) {
    assert(source.width() == target.width() && source.height() == target.height());
    const int w = source.width();
    for (int y = 0; y < source.height(); ++y) {
        const Pixel* in = source.row(y);
        Pixel* out = target.row(y);
        for (int x = 0; x < w; ++x) {
            const Pixel p = in[x];
            out[x] = kOpaque | red[p >> 16 & 0xFF] | green[p >> 8 & 0xFF] | blue[p & 0xFF];
        }
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
    RgbBalance(source, target, amount, amount, amount, rowDone);
}

void RgbBalance(const Image& source, Image& target, int red, int green, int blue,
                const RowDone& rowDone) {
    ApplyTables(source, target, ShiftTable(red, 16), ShiftTable(green, 8), ShiftTable(blue, 0),
                rowDone);
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
