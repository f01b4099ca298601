#include "core/editing/stretch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vistrel::core {

namespace {

constexpr int kOne = 1 << 14; // weights are fractions of kOne

struct Tap {
    int first = 0;             // first source index
    std::vector<int> weights;  // for first, first + 1, ...; they sum to kOne
};

// Turns fractional weights into whole ones that sum to kOne exactly, so that a flat colour
// comes out unchanged.
void Normalise(Tap& tap, const std::vector<double>& fractions) {
    double total = 0;
    for (double f : fractions) total += f;
    int sum = 0;
    std::size_t largest = 0;
    tap.weights.resize(fractions.size());
    for (std::size_t k = 0; k < fractions.size(); ++k) {
        tap.weights[k] = static_cast<int>(std::lround(fractions[k] / total * kOne));
        sum += tap.weights[k];
        if (fractions[k] > fractions[largest]) largest = k;
    }
    tap.weights[largest] += kOne - sum;
}

std::vector<Tap> Axis(int from, int to) {
    std::vector<Tap> taps(static_cast<std::size_t>(to));
    const double ratio = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        Tap& tap = taps[static_cast<std::size_t>(i)];
        std::vector<double> fractions;
        if (to <= from) {
            // The source span [begin, end) this pixel covers, each source pixel by its overlap.
            const double begin = i * ratio;
            const double end = std::min<double>((i + 1) * ratio, from);
            tap.first = std::min(static_cast<int>(begin), from - 1);
            for (int s = tap.first; s < from && s < end; ++s)
                fractions.push_back(std::min<double>(s + 1, end) - std::max<double>(s, begin));
        } else {
            const double centre = std::clamp((i + 0.5) * ratio - 0.5, 0.0, from - 1.0);
            tap.first = static_cast<int>(centre);
            const double f = centre - tap.first;
            fractions.push_back(1 - f);
            if (tap.first + 1 < from) fractions.push_back(f);
        }
        Normalise(tap, fractions);
    }
    return taps;
}

Image::Pixel Blend(const Tap& tap, const Image::Pixel* source, std::size_t step) {
    std::int64_t r = 0, g = 0, b = 0;
    const Image::Pixel* p = source + static_cast<std::size_t>(tap.first) * step;
    for (int w : tap.weights) {
        r += static_cast<std::int64_t>((*p >> 16) & 0xFF) * w;
        g += static_cast<std::int64_t>((*p >> 8) & 0xFF) * w;
        b += static_cast<std::int64_t>(*p & 0xFF) * w;
        p += step;
    }
    const auto channel = [](std::int64_t sum) {
        return static_cast<Image::Pixel>(std::clamp<std::int64_t>((sum + kOne / 2) / kOne, 0, 255));
    };
    return 0xFF000000u | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

} // namespace

Image StretchImage(const Image& source, int width, int height) {
    if (source.isNull() || width <= 0 || height <= 0) return {};
    if (width == source.width() && height == source.height()) return source;

    // Rows first, then columns of the narrowed rows.
    const std::vector<Tap> xs = Axis(source.width(), width);
    Image across(width, source.height());
    for (int y = 0; y < source.height(); ++y) {
        const Image::Pixel* in = source.row(y);
        Image::Pixel* out = across.row(y);
        for (int x = 0; x < width; ++x) out[x] = Blend(xs[static_cast<std::size_t>(x)], in, 1);
    }
    if (height == source.height()) return across;

    const std::vector<Tap> ys = Axis(source.height(), height);
    Image result(width, height);
    for (int y = 0; y < height; ++y) {
        Image::Pixel* out = result.row(y);
        for (int x = 0; x < width; ++x)
            out[x] = Blend(ys[static_cast<std::size_t>(y)], across.data() + x,
                           static_cast<std::size_t>(width));
    }
    return result;
}

} // namespace vistrel::core
