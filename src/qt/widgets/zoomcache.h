#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "core/editing/image.h"

class QPainter;

namespace vistrel::qt {

// The working picture reduced by area averaging to a size below its natural one, held only for
// the part on screen. The buffer is at most the viewport's size and is addressed as a ring in
// both directions (reduced pixel (x, y) lives at (x mod width, y mod height)), so a drag
// computes just the newly exposed strips and never moves the pixels it already has.
class ZoomCache {
public:
    // Makes the cache hold `visible`, a rectangle of `source` (the picture or one of its
    // levels) reduced to `scaledSize`, with a buffer of at most `capacity`; computes only the
    // pixels it does not hold already, unless the source is another one than last time.
    // `visible` must lie inside the reduced picture and fit into the capacity.
    void update(const core::Image& source, QSize scaledSize, const QRect& visible, QSize capacity);
    // Forgets the held pixels (the picture's pixels changed) but keeps the buffer.
    void invalidate() { m_held = QRect(); }
    // Frees the buffer.
    void release();

    // Draws `part` (reduced-picture coordinates, inside held()) with its top-left at `target`.
    void draw(QPainter& painter, const QRect& part, const QPoint& target) const;

    const QRect& held() const { return m_held; }
    qsizetype bytes() const { return m_buffer.sizeInBytes(); }

private:
    void compute(const core::Image& picture, const QRect& part);

    QImage m_buffer;
    QRect m_held;
    // What the held pixels were made from.
    const core::Image::Pixel* m_source = nullptr;
    QSize m_sourceSize;
    QSize m_scaled;
};

} // namespace vistrel::qt
