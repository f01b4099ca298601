#include "qt/widgets/zoomcache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include <QPainter>

#include "core/viewer/areareduction.h"

namespace vistrel::qt {

namespace {

// Below this many source pixels a second thread costs more than it saves.
constexpr std::int64_t ThreadedWork = 1 << 19;

// Rows of the reduced part go straight into the ring buffer, or through a spare row where
// they wrap.
class RingTarget : public core::AreaReduction::RowTarget {
public:
    RingTarget(uchar* bits, qsizetype stride, QSize ring, const QRect& part)
        : m_bits(bits), m_stride(stride), m_ring(ring), m_part(part),
          m_at(part.left() % ring.width()), m_before(std::min(part.width(), ring.width() - m_at)) {}
    core::Image::Pixel* row(int j) const override {
        return m_before == m_part.width() ? ringRow(j) + m_at : nullptr;
    }
    void done(int j, const core::Image::Pixel* pixels) const override {
        std::memcpy(ringRow(j) + m_at, pixels, m_before * sizeof(core::Image::Pixel));
        std::memcpy(ringRow(j), pixels + m_before,
                    (m_part.width() - m_before) * sizeof(core::Image::Pixel));
    }

private:
    core::Image::Pixel* ringRow(int j) const {
        return reinterpret_cast<core::Image::Pixel*>(
            m_bits + m_stride * ((m_part.top() + j) % m_ring.height()));
    }
    uchar* m_bits;
    qsizetype m_stride;
    QSize m_ring;
    QRect m_part;
    int m_at;
    int m_before;
};

} // namespace

void ZoomCache::update(const core::Image& source, QSize scaledSize, const QRect& visible,
                       QSize capacity) {
    const QSize bufferSize(std::min(scaledSize.width(), capacity.width()),
                           std::min(scaledSize.height(), capacity.height()));
    if (m_buffer.size() != bufferSize) {
        m_buffer = QImage(); // free the old one before asking for the new
        m_buffer = QImage(bufferSize, QImage::Format_RGB32);
        m_held = QRect();
    }
    const QSize sourceSize(source.width(), source.height());
    if (source.data() != m_source || sourceSize != m_sourceSize || scaledSize != m_scaled) {
        m_source = source.data();
        m_sourceSize = sourceSize;
        m_scaled = scaledSize;
        m_held = QRect();
    }
    if (m_buffer.isNull() || visible.isEmpty() || m_held.contains(visible)) return;

    const QRect kept = visible & m_held;
    if (kept.isEmpty()) {
        compute(source, visible);
    } else {
        // The new pixels form at most four bands around what is kept.
        if (visible.top() < kept.top())
            compute(source, QRect(QPoint(visible.left(), visible.top()),
                                   QPoint(visible.right(), kept.top() - 1)));
        if (visible.bottom() > kept.bottom())
            compute(source, QRect(QPoint(visible.left(), kept.bottom() + 1),
                                   QPoint(visible.right(), visible.bottom())));
        if (visible.left() < kept.left())
            compute(source, QRect(QPoint(visible.left(), kept.top()),
                                   QPoint(kept.left() - 1, kept.bottom())));
        if (visible.right() > kept.right())
            compute(source, QRect(QPoint(kept.right() + 1, kept.top()),
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
    const core::AreaReduction reduction(picture, m_scaled.width(), m_scaled.height(),
                                        {part.left(), part.top(), part.width(), part.height()});
    // Writable pointers are taken once here: scanLine() on a shared QImage would detach it.
    const RingTarget target(m_buffer.bits(), m_buffer.bytesPerLine(), m_buffer.size(), part);
    const auto rows = [&](int first, int last) { reduction.Rows(first, last, target); };

    const int threads = reduction.Work() < ThreadedWork
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
