#include "qt/widgets/zoomcache.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace vistrel::qt {

namespace {

// Weights are in 1/128 and those of one reduced pixel add up to exactly 128: a weighted sum of
// bytes then fits a signed 16-bit lane, so sixteen or thirty-two channels are summed at a time
// (two rows per multiply with AVX2), and a flat colour stays exactly the same.
constexpr int WeightOne = 128;
constexpr int WeightShift = 7;
// Below this many source pixels a second thread costs more than it saves.
constexpr std::int64_t ThreadedWork = 1 << 19;

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

const bool HasAvx2 = __builtin_cpu_supports("avx2");
#endif

// out[k] = weighted average of rows[r][k] over the rows, for `count` channel bytes.
void averageRows(std::uint8_t* out, const std::uint8_t* const* rows, const std::uint16_t* weights,
                 int rowCount, int count) {
    if (rowCount == 1) { // the whole weight on one row
        std::memcpy(out, rows[0], static_cast<std::size_t>(count));
        return;
    }
    int k = 0;
#if defined(VISTREL_ZOOM_AVX2)
    if (HasAvx2) k = averageRowsAvx2(out, rows, weights, rowCount, count);
#endif
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(WeightOne / 2);
    struct Broadcast {
        __m128i value;
    };
    std::vector<Broadcast> w(static_cast<std::size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r)
        w[r].value = _mm_set1_epi16(static_cast<short>(weights[r]));
    // Sixteen bytes at a time down all the rows, the sums staying in registers.
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
#endif
    for (; k < count; ++k) {
        unsigned sum = WeightOne / 2;
        for (int r = 0; r < rowCount; ++r)
            sum += rows[r][k] * unsigned{weights[r]};
        out[k] = static_cast<std::uint8_t>(sum >> WeightShift);
    }
}

// One reduced pixel from the weighted run of pixels starting at `in`.
std::uint32_t averagePixels(const std::uint8_t* in, const std::uint16_t* weights, int count) {
#if defined(__SSE2__)
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
#else
    unsigned b = WeightOne / 2, g = WeightOne / 2, r = WeightOne / 2;
    for (int n = 0; n < count; ++n, in += 4) {
        b += in[0] * unsigned{weights[n]};
        g += in[1] * unsigned{weights[n]};
        r += in[2] * unsigned{weights[n]};
    }
    return 0xFF000000u | (r >> WeightShift) << 16 | (g >> WeightShift) << 8 | (b >> WeightShift);
#endif
}

// Reduces one averaged line (starting at source column xs.sourceBegin) to its reduced pixels.
void averageLine(std::uint32_t* out, const std::uint8_t* line, const Axis& xs) {
#if defined(VISTREL_ZOOM_AVX2)
    if (HasAvx2) {
        averageLineAvx2(out, line, xs);
        return;
    }
#endif
    const int count = static_cast<int>(xs.first.size());
    for (int i = 0; i < count; ++i)
        out[i] = averagePixels(line + (xs.first[i] - xs.sourceBegin) * 4,
                               xs.weights.data() + xs.offset[i], xs.offset[i + 1] - xs.offset[i]);
}

} // namespace

void ZoomCache::update(const core::Image& picture, QSize scaledSize, const QRect& visible,
                       QSize capacity) {
    const QSize bufferSize(std::min(scaledSize.width(), capacity.width()),
                           std::min(scaledSize.height(), capacity.height()));
    if (m_buffer.size() != bufferSize) {
        m_buffer = QImage(); // free the old one before asking for the new
        m_buffer = QImage(bufferSize, QImage::Format_RGB32);
        m_held = QRect();
    }
    const QSize sourceSize(picture.width(), picture.height());
    if (picture.data() != m_source || sourceSize != m_sourceSize || scaledSize != m_scaled) {
        m_source = picture.data();
        m_sourceSize = sourceSize;
        m_scaled = scaledSize;
        m_held = QRect();
    }
    if (m_buffer.isNull() || visible.isEmpty() || m_held.contains(visible)) return;

    const QRect kept = visible & m_held;
    if (kept.isEmpty()) {
        compute(picture, visible);
    } else {
        // The new pixels form at most four bands around what is kept.
        if (visible.top() < kept.top())
            compute(picture, QRect(QPoint(visible.left(), visible.top()),
                                   QPoint(visible.right(), kept.top() - 1)));
        if (visible.bottom() > kept.bottom())
            compute(picture, QRect(QPoint(visible.left(), kept.bottom() + 1),
                                   QPoint(visible.right(), visible.bottom())));
        if (visible.left() < kept.left())
            compute(picture, QRect(QPoint(visible.left(), kept.top()),
                                   QPoint(kept.left() - 1, kept.bottom())));
        if (visible.right() > kept.right())
            compute(picture, QRect(QPoint(kept.right() + 1, kept.top()),
                                   QPoint(visible.right(), kept.bottom())));
    }
    m_held = visible;
}

void ZoomCache::release() {
    m_buffer = QImage();
    m_held = QRect();
    m_source = nullptr;
}

void ZoomCache::compute(const core::Image& picture, const QRect& part) {
    const Axis xs = makeAxis(picture.width(), m_scaled.width(), part.left(), part.right() + 1);
    const Axis ys = makeAxis(picture.height(), m_scaled.height(), part.top(), part.bottom() + 1);
    const int columns = xs.sourceEnd - xs.sourceBegin;
    const int ringWidth = m_buffer.width();
    const int ringHeight = m_buffer.height();
    // Writable pointers are taken once here: scanLine() on a shared QImage would detach it.
    uchar* const bits = m_buffer.bits();
    const qsizetype stride = m_buffer.bytesPerLine();

    // Rows [first, last) of the part: each reduced row first averages its source rows into one
    // line of pixels (the bulk of the work, a whole vector register of bytes at a time), then
    // each reduced pixel averages its run of that line.
    auto rows = [&](int first, int last) {
        std::vector<std::uint8_t> line(static_cast<std::size_t>(columns + 4) * 4);
        std::vector<std::uint32_t> reduced(static_cast<std::size_t>(part.width()));
        std::vector<const std::uint8_t*> sources;
        for (int j = first; j < last; ++j) {
            sources.clear();
            for (int y = ys.first[j]; y < ys.first[j] + ys.offset[j + 1] - ys.offset[j]; ++y)
                sources.push_back(
                    reinterpret_cast<const std::uint8_t*>(picture.row(y) + xs.sourceBegin));
            averageRows(line.data(), sources.data(), ys.weights.data() + ys.offset[j],
                        static_cast<int>(sources.size()), columns * 4);
            auto* ringRow =
                reinterpret_cast<std::uint32_t*>(bits + stride * ((part.top() + j) % ringHeight));
            const int at = part.left() % ringWidth;
            const int before = std::min(part.width(), ringWidth - at);
            if (before == part.width()) {
                averageLine(ringRow + at, line.data(), xs);
            } else { // the row wraps: through a buffer, into two pieces
                averageLine(reduced.data(), line.data(), xs);
                std::memcpy(ringRow + at, reduced.data(), before * sizeof(std::uint32_t));
                std::memcpy(ringRow, reduced.data() + before,
                            (part.width() - before) * sizeof(std::uint32_t));
            }
        }
    };

    const std::int64_t work = static_cast<std::int64_t>(columns) * (ys.sourceEnd - ys.sourceBegin);
    const int threads = work < ThreadedWork
                            ? 1
                            : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1,
                                         std::min(4, part.height()));
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        const int first = part.height() * t / threads;
        const int last = part.height() * (t + 1) / threads;
        try {
            helpers.emplace_back(rows, first, last);
        } catch (const std::system_error&) { // no thread to be had: do it here
            rows(first, last);
        }
    }
    rows(0, part.height() / threads);
    for (std::thread& helper : helpers)
        helper.join();
}

void ZoomCache::draw(QPainter& painter, const QRect& part, const QPoint& target) const {
    // Up to four pieces, split where the ring wraps; each is a one-to-one copy.
    const int ringWidth = m_buffer.width();
    const int ringHeight = m_buffer.height();
    int y = part.top();
    while (y <= part.bottom()) {
        const int ry = y % ringHeight;
        const int h = std::min(part.bottom() + 1 - y, ringHeight - ry);
        int x = part.left();
        while (x <= part.right()) {
            const int rx = x % ringWidth;
            const int w = std::min(part.right() + 1 - x, ringWidth - rx);
            painter.drawImage(target + QPoint(x - part.left(), y - part.top()), m_buffer,
                              QRect(rx, ry, w, h));
            x += w;
        }
        y += h;
    }
}

} // namespace vistrel::qt
