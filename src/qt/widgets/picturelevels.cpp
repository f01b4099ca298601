#include "qt/widgets/picturelevels.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

#include "qt/platform/memoryinfo.h"

namespace vistrel::qt {

namespace {

// A slice keeps the UI thread from its events for about this long.
constexpr qint64 SliceMs = 8;
// Picture pixels per thread between looks at the clock.
constexpr std::int64_t BatchPixels = 1 << 20;

} // namespace

PictureLevels::PictureLevels(const core::Image& picture, std::function<std::uint64_t()> revision,
                             QObject* parent)
    : QObject(parent), m_picture(picture), m_revision(std::move(revision)), m_key(current()) {
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!step(false)) m_timer.stop();
    });
}

PictureLevels::~PictureLevels() = default;

PictureLevels::Key PictureLevels::current() const {
    return {m_picture.data(), m_picture.width(), m_picture.height(), m_revision()};
}

bool PictureLevels::isCurrent() {
    const Key now = current();
    if (now == m_key) return true;
    m_timer.stop();
    if (m_pyramid) m_spare = m_pyramid->ReleaseLevels();
    m_pyramid.reset();
    // Kept only where the levels of what is shown now would take as much: within a third of
    // the picture.
    if (!core::PicturePyramid::Fits(m_spare, now.width, now.height)) m_spare.clear();
    m_key = now;
    m_nextStripe = 0;
    m_failed = false;
    return false;
}

std::size_t PictureLevels::bytes() const {
    std::size_t bytes = m_pyramid ? m_pyramid->Bytes() : 0;
    for (const core::Image& level : m_spare)
        bytes += level.pixelCount() * sizeof(core::Image::Pixel);
    return bytes;
}

bool PictureLevels::complete() const {
    return m_pyramid && m_nextStripe >= m_pyramid->StripeCount();
}

const core::Image& PictureLevels::sourceFor(const core::Image& picture, QSize scaledSize) {
    if (&picture != &m_picture) return picture;
    isCurrent();
    if (complete()) return m_pyramid->LevelFor(scaledSize.width(), scaledSize.height());
    if (!m_failed && !m_picture.isNull() && !m_timer.isActive()) m_timer.start();
    return picture;
}

void PictureLevels::refresh() {
    isCurrent();
}

bool PictureLevels::ready() {
    return isCurrent() && complete();
}

void PictureLevels::finish() {
    while (step(true)) {
    }
    m_timer.stop();
}

bool PictureLevels::step(bool untilDone) {
    // The picture may have changed since the last slice: never build from what it is now
    // into levels meant for what it was.
    if (!isCurrent() || m_failed || m_picture.isNull()) return false;
    if (!m_pyramid) {
        try {
            m_pyramid =
                std::make_unique<core::PicturePyramid>(m_picture, std::exchange(m_spare, {}));
        } catch (const std::bad_alloc&) {
            m_failed = true;
            return false;
        }
        for (int i = 0; i < m_pyramid->LevelCount(); ++i) {
            const core::Image& level = m_pyramid->Level(i);
            AdviseLargePages(const_cast<core::Image::Pixel*>(level.data()),
                             level.pixelCount() * sizeof(core::Image::Pixel));
        }
        // The allocation is a slice of its own.
        return m_pyramid->StripeCount() > 0;
    }
    const int count = m_pyramid->StripeCount();
    const int threads = m_pool.maxThreadCount() + 1;
    const std::int64_t stripePixels = static_cast<std::int64_t>(m_picture.pixelCount()) / count + 1;
    const int batch = static_cast<int>(
        std::clamp<std::int64_t>(BatchPixels * threads / stripePixels, threads, count));
    QElapsedTimer clock;
    clock.start();
    do {
        const int last = std::min(count, m_nextStripe + batch);
        std::atomic<int> next{m_nextStripe};
        const auto work = [&] {
            for (int i = next++; i < last; i = next++)
                m_pyramid->BuildStripe(i);
        };
        for (int t = 1; t < std::min(threads, last - m_nextStripe); ++t)
            m_pool.start(work);
        work();
        // Every stripe is done before the UI thread may touch the picture again.
        m_pool.waitForDone();
        m_nextStripe = last;
    } while (m_nextStripe < count && (untilDone || clock.elapsed() < SliceMs));
    if (m_nextStripe < count) return true;
    emit built();
    return false;
}

} // namespace vistrel::qt
