#include "core/viewer/areareduction.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace vistrel::core {

namespace {

// Weights are in 1/128 and those of one reduced pixel add up to exactly 128: a weighted sum of
// bytes then fits a signed 16-bit lane, so sixteen or thirty-two channels are summed at a time
// (two rows per multiply with AVX2), and a flat colour stays exactly the same.
constexpr int WeightOne = 128;
constexpr int WeightShift = 7;

// The source pixels under each reduced pixel of the range [begin, end) along one axis, with
// the share of the reduced pixel each of them covers; shares that round to nothing are left
// out, so every weight is positive and at most 127 when there are two or more.
struct Axis {
    std::vector<int> first;  // source index of the first weight, per reduced pixel
    std::vector<int> offset; // into weights; one more entry than reduced pixels
    std::vector<std::uint16_t> weights;
    // The same weights four pixels at a time, laid out for a multiply of sixteen bytes
    // reordered to B0 B1 G0 G1 R0 R1 A0 A1 B2 B3 ... (see averageLineAvx2); quadOffset indexes
    // these groups of sixteen like offset indexes weights.
    std::vector<std::uint8_t> quads;
    std::vector<int> quadOffset;
    int sourceBegin = 0;
    int sourceEnd = 0;
};

Axis makeAxis(int source, int scaled, int begin, int end) {
    Axis axis;
    axis.sourceBegin = source;
    const double step = static_cast<double>(source) / scaled;
    for (int i = begin; i < end; ++i) {
        const double from = i * step;
        const double to = std::min<double>(source, (i + 1) * step);
        const int k0 = std::min(source - 1, static_cast<int>(std::floor(from)));
        const int k1 = std::max(k0 + 1, std::min(source, static_cast<int>(std::ceil(to))));
        axis.offset.push_back(static_cast<int>(axis.weights.size()));
        // Rounding the running total rather than each share keeps the sum exact.
        const double span = std::max(to - from, 1e-9);
        double covered = 0;
        int given = 0;
        int firstKept = -1;
        int lastKept = -1;
        const std::size_t start = axis.weights.size();
        for (int k = k0; k < k1; ++k) {
            covered += std::max(0.0, std::min<double>(k + 1, to) - std::max<double>(k, from));
            const int upto =
                k + 1 == k1 ? WeightOne
                            : std::min<int>(WeightOne, std::lround(covered / span * WeightOne));
            const auto share = static_cast<std::uint16_t>(upto - given);
            given = upto;
            if (share == 0 && firstKept < 0) continue; // a sliver at the start
            if (firstKept < 0) firstKept = k;
            if (share != 0) lastKept = k;
            axis.weights.push_back(share);
        }
        // Zero shares inside a run (only in reductions stronger than about 1:128) stay, so the
        // run remains contiguous; those at its end go.
        axis.weights.resize(start + static_cast<std::size_t>(lastKept - firstKept + 1));
        axis.first.push_back(firstKept);
        const int count = static_cast<int>(axis.weights.size()) - axis.offset.back();
        axis.quadOffset.push_back(static_cast<int>(axis.quads.size() / 16));
        for (int n = 0; n < count; n += 4) {
            std::uint8_t w[4] = {};
            for (int t = 0; t < 4 && n + t < count; ++t)
                w[t] = static_cast<std::uint8_t>(axis.weights[axis.offset.back() + n + t]);
            for (int c = 0; c < 4; ++c)
                axis.quads.insert(axis.quads.end(), {w[0], w[1]});
            for (int c = 0; c < 4; ++c)
                axis.quads.insert(axis.quads.end(), {w[2], w[3]});
        }
        axis.sourceBegin = std::min(axis.sourceBegin, firstKept);
        axis.sourceEnd = std::max(axis.sourceEnd, firstKept + count);
    }
    axis.offset.push_back(static_cast<int>(axis.weights.size()));
    axis.quadOffset.push_back(static_cast<int>(axis.quads.size() / 16));
    return axis;
}

#if defined(__GNUC__) && defined(__x86_64__)
#define VISTREL_ZOOM_AVX2 1
// Two rows per multiply: their bytes interleaved, times their two weights, summed in pairs.
__attribute__((target("avx2"))) int averageRowsAvx2(std::uint8_t* out,
                                                    const std::uint8_t* const* rows,
                                                    const std::uint16_t* weights, int rowCount,
                                                    int count) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i half = _mm256_set1_epi16(WeightOne / 2);
    std::vector<short> pairs(static_cast<std::size_t>(rowCount + 1) / 2);
    for (int r = 0; r < rowCount; r += 2) {
        const int second = r + 1 < rowCount ? weights[r + 1] : 0;
        pairs[r / 2] = static_cast<short>(weights[r] | second << 8);
    }
    int k = 0;
    for (; k + 32 <= count; k += 32) {
        __m256i lo = half;
        __m256i hi = half;
        int r = 0;
        for (; r + 1 < rowCount; r += 2) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[r] + k));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[r + 1] + k));
            const __m256i w = _mm256_set1_epi16(pairs[r / 2]);
            lo = _mm256_add_epi16(lo, _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), w));
            hi = _mm256_add_epi16(hi, _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), w));
        }
        if (r < rowCount) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[r] + k));
            const __m256i w = _mm256_set1_epi16(pairs[r / 2]);
            lo = _mm256_add_epi16(lo, _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, zero), w));
            hi = _mm256_add_epi16(hi, _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, zero), w));
        }
        // Unpacking and packing both work within 128-bit lanes, so the order comes out right.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k),
                            _mm256_packus_epi16(_mm256_srli_epi16(lo, WeightShift),
                                                _mm256_srli_epi16(hi, WeightShift)));
    }
    return k;
}

// One reduced pixel from its run of `taps` pixels at `in`, four source pixels per multiply:
// their bytes are reordered to B0 B1 G0 G1 R0 R1 A0 A1 B2 B3 G2 G3 R2 R3 A2 A3 and multiplied
// pairwise by the weights of the groups [quad, end), which are zero past the run's end.
__attribute__((target("avx2"))) std::uint32_t
averageRunAvx2(const std::uint8_t* in, int taps, const __m128i* quad, const __m128i* end) {
    std::uint32_t pixel;
    if (taps == 1) {
        std::memcpy(&pixel, in, 4);
    } else {
        const __m128i order = _mm_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
        __m128i sum = _mm_setzero_si128();
        for (; quad < end; ++quad, in += 16) {
            // The line has room past its end for the unused rest of a last group.
            const __m128i four =
                _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), order);
            sum = _mm_add_epi16(sum, _mm_maddubs_epi16(four, _mm_loadu_si128(quad)));
        }
        // Pixels 0-1 and 2-3 were summed in separate halves.
        sum = _mm_add_epi16(_mm_add_epi16(sum, _mm_unpackhi_epi64(sum, sum)),
                            _mm_set1_epi16(WeightOne / 2));
        sum = _mm_srli_epi16(sum, WeightShift);
        pixel = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
    }
    return pixel | 0xFF000000u;
}

// Each reduced pixel from its run of the line. Two reduced pixels of up to four source pixels
// each (every reduction down to a third) share one 256-bit multiply.
__attribute__((target("avx2"))) void averageLineAvx2(std::uint32_t* out, const std::uint8_t* line,
                                                     const Axis& xs) {
    const __m256i order2 = _mm256_broadcastsi128_si256(
        _mm_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15));
    const __m256i half2 = _mm256_set1_epi16(WeightOne / 2);
    const __m256i lowDwords = _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const auto* quads = reinterpret_cast<const __m128i*>(xs.quads.data());
    const int* offset = xs.offset.data();
    const int* quadOffset = xs.quadOffset.data();
    auto source = [&](int i) { return line + (xs.first[i] - xs.sourceBegin) * 4; };
    auto one = [&](int i) {
        out[i] = averageRunAvx2(source(i), offset[i + 1] - offset[i], quads + quadOffset[i],
                                quads + quadOffset[i + 1]);
    };
    const int count = static_cast<int>(xs.first.size());
    int i = 0;
    for (; i + 1 < count; i += 2) {
        if (quadOffset[i + 2] - quadOffset[i] != 2 || offset[i + 1] - offset[i] == 1 ||
            offset[i + 2] - offset[i + 1] == 1) {
            one(i);
            one(i + 1);
            continue;
        }
        const __m256i eight = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source(i)))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(source(i + 1))), 1);
        __m256i sum = _mm256_maddubs_epi16(
            _mm256_shuffle_epi8(eight, order2),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(quads + quadOffset[i])));
        sum = _mm256_add_epi16(_mm256_add_epi16(sum, _mm256_unpackhi_epi64(sum, sum)), half2);
        sum = _mm256_packus_epi16(_mm256_srli_epi16(sum, WeightShift), sum);
        const __m128i two = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(sum, lowDwords));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(two, opaque));
    }
    if (i < count) one(i);
}

#endif

#if defined(__SSE2__)
// Sixteen bytes at a time down all the rows, the sums staying in registers; returns how many
// bytes it did.
int averageRowsSse2(std::uint8_t* out, const std::uint8_t* const* rows,
                    const std::uint16_t* weights, int rowCount, int count, int k) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(WeightOne / 2);
    struct Broadcast {
        __m128i value;
    };
    std::vector<Broadcast> w(static_cast<std::size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r)
        w[r].value = _mm_set1_epi16(static_cast<short>(weights[r]));
    for (; k + 16 <= count; k += 16) {
        __m128i lo = half;
        __m128i hi = half;
        for (int r = 0; r < rowCount; ++r) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[r] + k));
            lo = _mm_add_epi16(lo, _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), w[r].value));
            hi = _mm_add_epi16(hi, _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), w[r].value));
        }
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + k),
            _mm_packus_epi16(_mm_srli_epi16(lo, WeightShift), _mm_srli_epi16(hi, WeightShift)));
    }
    return k;
}

std::uint32_t averagePixelsSse2(const std::uint8_t* in, const std::uint16_t* weights, int count) {
    const __m128i zero = _mm_setzero_si128();
    __m128i sum = _mm_set1_epi16(WeightOne / 2);
    for (int n = 0; n < count; ++n, in += 4) {
        std::uint32_t pixel;
        std::memcpy(&pixel, in, 4);
        const __m128i p = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(pixel)), zero);
        sum =
            _mm_add_epi16(sum, _mm_mullo_epi16(p, _mm_set1_epi16(static_cast<short>(weights[n]))));
    }
    sum = _mm_srli_epi16(sum, WeightShift);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum))) | 0xFF000000u;
}
#endif

std::uint32_t averagePixelsScalar(const std::uint8_t* in, const std::uint16_t* weights,
                                  int count) {
    unsigned b = WeightOne / 2, g = WeightOne / 2, r = WeightOne / 2;
    for (int n = 0; n < count; ++n, in += 4) {
        b += in[0] * unsigned{weights[n]};
        g += in[1] * unsigned{weights[n]};
        r += in[2] * unsigned{weights[n]};
    }
    return 0xFF000000u | (r >> WeightShift) << 16 | (g >> WeightShift) << 8 | (b >> WeightShift);
}

// out[k] = weighted average of rows[r][k] over the rows, for `count` channel bytes.
void averageRows(std::uint8_t* out, const std::uint8_t* const* rows, const std::uint16_t* weights,
                 int rowCount, int count, SimdPath path) {
    if (rowCount == 1) { // the whole weight on one row
        std::memcpy(out, rows[0], static_cast<std::size_t>(count));
        return;
    }
    int k = 0;
#if defined(VISTREL_ZOOM_AVX2)
    if (path == SimdPath::Avx2) k = averageRowsAvx2(out, rows, weights, rowCount, count);
#endif
#if defined(__SSE2__)
    if (path != SimdPath::Scalar) k = averageRowsSse2(out, rows, weights, rowCount, count, k);
#endif
    for (; k < count; ++k) {
        unsigned sum = WeightOne / 2;
        for (int r = 0; r < rowCount; ++r)
            sum += rows[r][k] * unsigned{weights[r]};
        out[k] = static_cast<std::uint8_t>(sum >> WeightShift);
    }
}

// Reduces one averaged line (starting at source column xs.sourceBegin) to its reduced pixels.
void averageLine(std::uint32_t* out, const std::uint8_t* line, const Axis& xs, SimdPath path) {
#if defined(VISTREL_ZOOM_AVX2)
    if (path == SimdPath::Avx2) {
        averageLineAvx2(out, line, xs);
        return;
    }
#endif
    const int count = static_cast<int>(xs.first.size());
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* in = line + (xs.first[i] - xs.sourceBegin) * 4;
        const std::uint16_t* weights = xs.weights.data() + xs.offset[i];
        const int taps = xs.offset[i + 1] - xs.offset[i];
#if defined(__SSE2__)
        if (path != SimdPath::Scalar) {
            out[i] = averagePixelsSse2(in, weights, taps);
            continue;
        }
#endif
        out[i] = averagePixelsScalar(in, weights, taps);
    }
}

} // namespace

bool Supports(SimdPath path) {
    switch (path) {
    case SimdPath::Scalar:
        return true;
    case SimdPath::Sse2:
#if defined(__SSE2__)
        return true;
#else
        return false;
#endif
    case SimdPath::Avx2:
#if defined(VISTREL_ZOOM_AVX2)
        return __builtin_cpu_supports("avx2");
#else
        return false;
#endif
    }
    return false;
}

SimdPath BestSimdPath() {
    static const SimdPath best = Supports(SimdPath::Avx2)   ? SimdPath::Avx2
                                 : Supports(SimdPath::Sse2) ? SimdPath::Sse2
                                                            : SimdPath::Scalar;
    return best;
}

struct AreaReduction::Axes {
    Axis xs;
    Axis ys;
};

AreaReduction::AreaReduction(const Image& picture, int scaledWidth, int scaledHeight,
                             const PixelRect& part, SimdPath path)
    : m_picture(picture), m_part(part), m_path(Supports(path) ? path : SimdPath::Scalar),
      m_axes(std::make_unique<Axes>(
          Axes{makeAxis(picture.width(), scaledWidth, part.left, part.left + part.width),
               makeAxis(picture.height(), scaledHeight, part.top, part.top + part.height)})) {}

AreaReduction::~AreaReduction() = default;

std::int64_t AreaReduction::Work() const {
    const Axis& xs = m_axes->xs;
    const Axis& ys = m_axes->ys;
    return static_cast<std::int64_t>(xs.sourceEnd - xs.sourceBegin) *
           (ys.sourceEnd - ys.sourceBegin);
}

void AreaReduction::Rows(int first, int last, const RowTarget& target) const {
    const Axis& xs = m_axes->xs;
    const Axis& ys = m_axes->ys;
    const int columns = xs.sourceEnd - xs.sourceBegin;
    // Each reduced row first averages its source rows into one line of pixels (the bulk of
    // the work, a whole vector register of bytes at a time), then each reduced pixel averages
    // its run of that line. The line has room past its end for a last group of four.
    std::vector<std::uint8_t> line(static_cast<std::size_t>(columns + 4) * 4);
    std::vector<Image::Pixel> spare;
    std::vector<const std::uint8_t*> sources;
    for (int j = first; j < last; ++j) {
        sources.clear();
        for (int y = ys.first[j]; y < ys.first[j] + ys.offset[j + 1] - ys.offset[j]; ++y)
            sources.push_back(
                reinterpret_cast<const std::uint8_t*>(m_picture.row(y) + xs.sourceBegin));
        averageRows(line.data(), sources.data(), ys.weights.data() + ys.offset[j],
                    static_cast<int>(sources.size()), columns * 4, m_path);
        Image::Pixel* out = target.row(j);
        if (!out) {
            spare.resize(static_cast<std::size_t>(m_part.width));
            out = spare.data();
        }
        averageLine(out, line.data(), xs, m_path);
        if (out == spare.data()) target.done(j, out);
    }
}

Image ReduceArea(const Image& picture, int scaledWidth, int scaledHeight, SimdPath path) {
    if (picture.isNull() || scaledWidth <= 0 || scaledHeight <= 0) return {};
    Image reduced(scaledWidth, scaledHeight);
    struct Whole : AreaReduction::RowTarget {
        Image& image;
        explicit Whole(Image& i) : image(i) {}
        Image::Pixel* row(int j) const override { return image.row(j); }
        void done(int, const Image::Pixel*) const override {}
    } whole(reduced);
    AreaReduction(picture, scaledWidth, scaledHeight, {0, 0, scaledWidth, scaledHeight}, path)
        .Rows(0, scaledHeight, whole);
    return reduced;
}

} // namespace vistrel::core
