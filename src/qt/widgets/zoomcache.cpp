#include "qt/widgets/zoomcache.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vistrel::qt {

namespace {

// Weights are in 1/256 and those of one reduced pixel add up to exactly 256: a weighted sum
// of bytes then fits 16 bits, so eight channels are summed at a time, and a flat colour
// stays exactly the same.
constexpr int WeightOne = 256;
// Below this many source pixels a second thread costs more than it saves.
constexpr std::int64_t ThreadedWork = 1 << 19;

// The source pixels under each reduced pixel of the range [begin, end) along one axis, with
// the share of the reduced pixel each of them covers.
struct Axis {
    std::vector<int> first;                // source index of the first weight, per reduced pixel
    std::vector<int> offset;               // into weights; one more entry than reduced pixels
    std::vector<std::uint16_t> weights;
    int sourceBegin = 0;
    int sourceEnd = 0;
};

Axis makeAxis(int source, int scaled, int begin, int end) {
    Axis axis;
    const double step = static_cast<double>(source) / scaled;
    for (int i = begin; i < end; ++i) {
        const double from = i * step;
        const double to = std::min<double>(source, (i + 1) * step);
        const int k0 = std::min(source - 1, static_cast<int>(std::floor(from)));
        const int k1 = std::max(k0 + 1, std::min(source, static_cast<int>(std::ceil(to))));
        axis.first.push_back(k0);
        axis.offset.push_back(static_cast<int>(axis.weights.size()));
        // Rounding the running total rather than each share keeps the sum at exactly 256.
        const double span = std::max(to - from, 1e-9);
        double covered = 0;
        int given = 0;
        for (int k = k0; k < k1; ++k) {
            covered += std::max(0.0, std::min<double>(k + 1, to) - std::max<double>(k, from));
            const int upto = k + 1 == k1 ? WeightOne
                                         : std::min<int>(WeightOne,
                                                         std::lround(covered / span * WeightOne));
            axis.weights.push_back(static_cast<std::uint16_t>(upto - given));
            given = upto;
        }
    }
    axis.offset.push_back(static_cast<int>(axis.weights.size()));
    axis.sourceBegin = axis.first.front();
    const int lastCount = axis.offset.back() - axis.offset[axis.offset.size() - 2];
    axis.sourceEnd = axis.first.back() + lastCount;
    return axis;
}

// out[k] = weighted average of rows[r][k] over the rows, for `count` channel bytes.
void averageRows(std::uint8_t* out, const std::uint8_t* const* rows,
                 const std::uint16_t* weights, int rowCount, int count) {
    int k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(WeightOne / 2);
    std::vector<__m128i> w(static_cast<std::size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r) w[r] = _mm_set1_epi16(static_cast<short>(weights[r]));
    // Sixteen bytes at a time down all the rows, the sums staying in registers.
    for (; k + 16 <= count; k += 16) {
        __m128i lo = zero;
        __m128i hi = zero;
        for (int r = 0; r < rowCount; ++r) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[r] + k));
            lo = _mm_add_epi16(lo, _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), w[r]));
            hi = _mm_add_epi16(hi, _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), w[r]));
        }
        lo = _mm_srli_epi16(_mm_add_epi16(lo, half), 8);
        hi = _mm_srli_epi16(_mm_add_epi16(hi, half), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; k < count; ++k) {
        unsigned sum = WeightOne / 2;
        for (int r = 0; r < rowCount; ++r) sum += rows[r][k] * unsigned{weights[r]};
        out[k] = static_cast<std::uint8_t>(sum >> 8);
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
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(p, _mm_set1_epi16(static_cast<short>(weights[n]))));
    }
    sum = _mm_srli_epi16(sum, 8);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum))) |
           0xFF000000u;
#else
    unsigned b = WeightOne / 2, g = WeightOne / 2, r = WeightOne / 2;
    for (int n = 0; n < count; ++n, in += 4) {
        b += in[0] * unsigned{weights[n]};
        g += in[1] * unsigned{weights[n]};
        r += in[2] * unsigned{weights[n]};
    }
    return 0xFF000000u | (r >> 8) << 16 | (g >> 8) << 8 | (b >> 8);
#endif
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
    // line of pixels (the bulk of the work, sixteen bytes at a time), then each reduced pixel
    // averages its run of that line.
    auto rows = [&](int first, int last) {
        std::vector<std::uint8_t> line(static_cast<std::size_t>(columns) * 4);
        std::vector<const std::uint8_t*> sources;
        for (int j = first; j < last; ++j) {
            sources.clear();
            for (int y = ys.first[j]; y < ys.first[j] + ys.offset[j + 1] - ys.offset[j]; ++y)
                sources.push_back(
                    reinterpret_cast<const std::uint8_t*>(picture.row(y) + xs.sourceBegin));
            averageRows(line.data(), sources.data(), ys.weights.data() + ys.offset[j],
                        static_cast<int>(sources.size()), columns * 4);
            auto* out = reinterpret_cast<std::uint32_t*>(
                bits + stride * ((part.top() + j) % ringHeight));
            int ring = part.left() % ringWidth;
            for (int i = 0; i < part.width(); ++i) {
                out[ring] = averagePixels(line.data() + (xs.first[i] - xs.sourceBegin) * 4,
                                          xs.weights.data() + xs.offset[i],
                                          xs.offset[i + 1] - xs.offset[i]);
                if (++ring == ringWidth) ring = 0;
            }
        }
    };

    const std::int64_t work =
        static_cast<std::int64_t>(columns) * (ys.sourceEnd - ys.sourceBegin);
    const int threads =
        work < ThreadedWork
            ? 1
            : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1,
                         std::min(4, part.height()));
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(rows, part.height() * t / threads,
                             part.height() * (t + 1) / threads);
    rows(0, part.height() / threads);
    for (std::thread& helper : helpers) helper.join();
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
