#include "core/editing/filters.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstdlib>

#include "core/app/numbers.h"
#include "core/platform/clock.h"

namespace vistrel::core {

namespace {

using Pixel = Image::Pixel;
constexpr Pixel kOpaque = 0xFF000000u;

int Red(Pixel p) { return static_cast<int>(p >> 16 & 0xFF); }
int Green(Pixel p) { return static_cast<int>(p >> 8 & 0xFF); }
int Blue(Pixel p) { return static_cast<int>(p & 0xFF); }
Pixel Compose(int r, int g, int b) {
    return kOpaque | static_cast<Pixel>(r) << 16 | static_cast<Pixel>(g) << 8 |
           static_cast<Pixel>(b);
}
int Clamp(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, 255)); }

// The channels in three 16-bit lanes, so one addition sums all three (nine samples of 255
// stay far below 65536).
std::uint64_t Spread(Pixel p) {
    return static_cast<std::uint64_t>(p >> 16 & 0xFF) << 32 |
           static_cast<std::uint64_t>(p >> 8 & 0xFF) << 16 | (p & 0xFF);
}
template <std::size_t N>
Pixel ComposeLanes(std::uint64_t lanes, const std::array<std::uint8_t, N>& table) {
    return Compose(table[lanes >> 32 & 0xFFFF], table[lanes >> 16 & 0xFFFF], table[lanes & 0xFFFF]);
}

// Every rounded division the filters need, worked out once through the one rounding helper.
struct Tables {
    std::array<Pixel, 3 * 255 + 1> grey{};         // sum of three channels -> grey pixel
    std::array<std::uint8_t, 4 * 255 + 1> mean4{}; // 2 x 2 sum -> mean
    std::array<std::uint8_t, 9 * 255 + 1> mean9{}; // 3 x 3 sum -> mean
    std::array<std::uint8_t, 4 * 255 + 1> sharp{}; // 3p - q + 255 -> p + (p - q) / 2

    Tables() {
        for (std::size_t s = 0; s < grey.size(); ++s) {
            const int g = Clamp(RoundHalfEven(static_cast<double>(s) / 3));
            grey[s] = Compose(g, g, g);
        }
        for (std::size_t s = 0; s < mean4.size(); ++s)
            mean4[s] = static_cast<std::uint8_t>(Clamp(RoundHalfEven(static_cast<double>(s) / 4)));
        for (std::size_t s = 0; s < mean9.size(); ++s)
            mean9[s] = static_cast<std::uint8_t>(Clamp(RoundHalfEven(static_cast<double>(s) / 9)));
        for (std::size_t i = 0; i < sharp.size(); ++i) {
            const double twice = static_cast<double>(i) - 255; // 3p - q: halves are exact
            sharp[i] = static_cast<std::uint8_t>(Clamp(RoundHalfEven(twice / 2)));
        }
    }
};

const Tables& tables() {
    static const Tables made;
    return made;
}

void Report(const RowDone& rowDone, int y) {
    if (rowDone) rowDone(y);
}

[[maybe_unused]] bool SameSize(const Image& source, const Image& target) {
    return source.width() == target.width() && source.height() == target.height() &&
           &source != &target;
}

template <typename Rule>
void PointFilter(const Image& source, Image& target, const RowDone& rowDone, Rule rule) {
    assert(SameSize(source, target));
    const int w = source.width();
    for (int y = 0; y < source.height(); ++y) {
        const Pixel* in = source.row(y);
        Pixel* out = target.row(y);
        for (int x = 0; x < w; ++x) out[x] = rule(in[x]);
        Report(rowDone, y);
    }
}

// splitmix64: tiny, fast and good enough to scatter pixels.
class DiffuseRandom {
public:
    explicit DiffuseRandom(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t m_state;
};

// Diffuse's offset for a 32-bit draw taken as the fraction u / 2^32. Between two multiples of
// 1/8 the rounding cannot change, so each eighth is looked up; the exact multiples, where
// the halves lie, go through the rounding itself.
class OffsetTable {
public:
    OffsetTable() {
        for (std::uint32_t k = 0; k < 8; ++k) m_eighths[k] = DiffuseOffset(((k << 29) + 1) * 0x1p-32);
    }
    int operator()(std::uint32_t u) const {
        if ((u & 0x1FFFFFFFu) == 0) return DiffuseOffset(u * 0x1p-32);
        return m_eighths[u >> 29];
    }

private:
    std::array<int, 8> m_eighths{};
};

} // namespace

PixelRect CopyBackRect(Filter filter, int width, int height) {
    switch (filter) {
    case Filter::Emboss:
    case Filter::Sharpen: return {1, 1, width - 2, height - 2};
    case Filter::Diffuse: return {2, 2, width - 4, height - 4};
    default: return {0, 0, width, height};
    }
}

void GreyScaling(const Image& source, Image& target, const RowDone& rowDone) {
    const auto& grey = tables().grey;
    PointFilter(source, target, rowDone, [&grey](Pixel p) {
        return grey[static_cast<std::size_t>(Red(p) + Green(p) + Blue(p))];
    });
}

void Invert(const Image& source, Image& target, const RowDone& rowDone) {
    PointFilter(source, target, rowDone, [](Pixel p) { return (p ^ 0x00FFFFFFu) | kOpaque; });
}

void Solarize(const Image& source, Image& target, const RowDone& rowDone) {
    PointFilter(source, target, rowDone, [](Pixel p) {
        // A channel below 128 (top bit clear) is flipped: 255 - p is p with all bits flipped.
        const Pixel low = (~p & 0x00808080u) >> 7;
        return (p ^ low * 0xFFu) | kOpaque;
    });
}

void Smooth(const Image& source, Image& target, const RowDone& rowDone) {
    assert(SameSize(source, target));
    const int w = source.width();
    const int h = source.height();
    if (w <= 0 || h <= 0) return;
    const Tables& t = tables();
    auto cx = [w](int x) { return std::clamp(x, 0, w - 1); };
    auto cy = [h](int y) { return std::clamp(y, 0, h - 1); };
    auto block4 = [&](int x0, int x1, int y0, int y1) {
        const std::uint64_t sum = Spread(source.at(cx(x0), cy(y0))) + Spread(source.at(cx(x1), cy(y0))) +
                                  Spread(source.at(cx(x0), cy(y1))) + Spread(source.at(cx(x1), cy(y1)));
        return ComposeLanes(sum, t.mean4);
    };

    for (int x = 0; x < w; ++x) target.at(x, 0) = block4(x, x + 1, 0, 1);
    for (int y = 0; y < h; ++y) target.at(0, y) = block4(0, 1, y, y + 1);

    // Column sums of three rows, then three neighbouring columns: six additions a pixel.
    std::vector<std::uint64_t> columns(static_cast<std::size_t>(w));
    for (int y = 1; y <= h - 2; ++y) {
        const Pixel* above = source.row(y - 1);
        const Pixel* here = source.row(y);
        const Pixel* below = source.row(y + 1);
        for (int x = 0; x < w; ++x)
            columns[static_cast<std::size_t>(x)] = Spread(above[x]) + Spread(here[x]) + Spread(below[x]);
        Pixel* out = target.row(y);
        const std::uint64_t* c = columns.data();
        for (int x = 1; x <= w - 2; ++x) out[x] = ComposeLanes(c[x - 1] + c[x] + c[x + 1], t.mean9);
        Report(rowDone, y);
    }

    for (int x = 1; x < w; ++x) target.at(x, h - 1) = block4(x - 1, x, h - 2, h - 1);
    for (int y = 1; y < h; ++y) target.at(w - 1, y) = block4(w - 2, w - 1, y - 1, y);
}

void Sharpen(const Image& source, Image& target, const RowDone& rowDone) {
    assert(SameSize(source, target));
    const auto& sharp = tables().sharp;
    auto channel = [&sharp](int p, int q) { return sharp[static_cast<std::size_t>(3 * p - q + 255)]; };
    const int w = source.width();
    for (int y = 1; y <= source.height() - 2; ++y) {
        const Pixel* upper = source.row(y - 1);
        const Pixel* here = source.row(y);
        Pixel* out = target.row(y);
        for (int x = 1; x <= w - 2; ++x) {
            const Pixel p = here[x];
            const Pixel q = upper[x - 1];
            out[x] = Compose(channel(Red(p), Red(q)), channel(Green(p), Green(q)),
                             channel(Blue(p), Blue(q)));
        }
        Report(rowDone, y);
    }
}

void Emboss(const Image& source, Image& target, const RowDone& rowDone) {
    assert(SameSize(source, target));
    // A result above 255 becomes 255, as composing a colour does.
    auto channel = [](int p, int q) { return std::min(std::abs(p - q + 128), 255); };
    const int w = source.width();
    for (int y = 1; y <= source.height() - 2; ++y) {
        const Pixel* here = source.row(y);
        const Pixel* lower = source.row(y + 1);
        Pixel* out = target.row(y);
        for (int x = 1; x <= w - 2; ++x) {
            const Pixel p = here[x];
            const Pixel q = lower[x + 1];
            out[x] = Compose(channel(Red(p), Red(q)), channel(Green(p), Green(q)),
                             channel(Blue(p), Blue(q)));
        }
        Report(rowDone, y);
    }
}

int DiffuseOffset(double r) { return static_cast<int>(RoundHalfEven(4 * r - 2)); }

void Diffuse(const Image& source, Image& target, std::uint64_t seed, const RowDone& rowDone) {
    assert(SameSize(source, target));
    DiffuseRandom random(seed);
    static const OffsetTable offsetOf;
    const int w = source.width();
    for (int y = 2; y <= source.height() - 3; ++y) {
        Pixel* out = target.row(y);
        for (int x = 2; x <= w - 3; ++x) {
            // One 64-bit draw is two fractions: the high half gives the row offset.
            const std::uint64_t draw = random.next();
            const int dy = offsetOf(static_cast<std::uint32_t>(draw >> 32));
            const int dx = offsetOf(static_cast<std::uint32_t>(draw));
            out[x] = source.at(x + dx, y + dy) | kOpaque;
        }
        Report(rowDone, y);
    }
}

void ApplyFilter(Filter filter, const Image& source, Image& target, Clock& clock,
                 const RowDone& rowDone) {
    switch (filter) {
    case Filter::GreyScaling: GreyScaling(source, target, rowDone); break;
    case Filter::Smooth: Smooth(source, target, rowDone); break;
    case Filter::Sharpen: Sharpen(source, target, rowDone); break;
    case Filter::Emboss: Emboss(source, target, rowDone); break;
    case Filter::Diffuse: {
        // The clock's fraction has 53 significant bits at most; scaled, it always fits.
        double r = clock.random();
        if (!(r >= 0 && r <= 1)) r = 0; // also NaN
        Diffuse(source, target, static_cast<std::uint64_t>(r * 0x1p53), rowDone);
        break;
    }
    case Filter::Invert: Invert(source, target, rowDone); break;
    case Filter::Solarize: Solarize(source, target, rowDone); break;
    }
}

} // namespace vistrel::core
