#include "qt/widgets/picturesurface.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>

#include "qt/platform/imageconvert.h"

namespace vistrel::qt {

namespace {

int toPixel(double value) {
    // Far beyond any screen, but inside int so the rectangle arithmetic cannot overflow.
    constexpr double Limit = 1 << 29;
    return static_cast<int>(std::nearbyint(std::clamp(value, -Limit, Limit)));
}

// Fills `area` except `hole` (which lies inside it or is empty).
void fillAround(QPainter& painter, const QRect& area, const QRect& hole, const QColor& colour) {
    if (hole.isEmpty()) {
        painter.fillRect(area, colour);
        return;
    }
    painter.fillRect(QRect(QPoint(area.left(), area.top()), QPoint(area.right(), hole.top() - 1)),
                     colour);
    painter.fillRect(
        QRect(QPoint(area.left(), hole.bottom() + 1), QPoint(area.right(), area.bottom())), colour);
    painter.fillRect(QRect(QPoint(area.left(), hole.top()), QPoint(hole.left() - 1, hole.bottom())),
                     colour);
    painter.fillRect(
        QRect(QPoint(hole.right() + 1, hole.top()), QPoint(area.right(), hole.bottom())), colour);
}

} // namespace

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Pointer moves without a button matter too: the caller sets the pointer shape.
    setMouseTracking(true);
}

void PictureSurface::setPicture(const core::Image* picture) {
    // Layout updates pass the same picture again and again, during drags too: only a
    // different one drops the reduction.
    if (picture == m_picture) return;
    m_picture = picture;
    m_cache.invalidate();
    update();
}

void PictureSurface::setLevels(PictureLevels* levels) {
    if (levels == m_levels) return;
    if (m_levels) disconnect(m_levels, nullptr, this, nullptr);
    m_levels = levels;
    // Once they are complete the next paint reduces from them. Levels built anew may lie
    // where the old ones did, so what the cache made from those goes too.
    if (levels) connect(levels, &PictureLevels::built, this, &PictureSurface::invalidateCache);
    update();
}

void PictureSurface::setPictureRect(const QRectF& rectInPixels) {
    const QRect before = placedRect();
    m_rect = rectInPixels;
    m_hasRect = true;
    const QRect after = placedRect();
    if (after == before) return;
    if (after.size() == before.size() && isVisible()) {
        // A drag: the screen keeps what it shows and only the uncovered strips are painted.
        // The rectangle form leaves child widgets where they are.
        const QPoint by = after.topLeft() - before.topLeft();
        scroll(by.x(), by.y(), rect());
    } else {
        update();
    }
}

QRectF PictureSurface::pictureRect() const {
    return m_hasRect ? m_rect : QRectF(rect());
}

void PictureSurface::setBackground(const QColor& colour) {
    if (colour == m_background) return;
    m_background = colour;
    update();
}

void PictureSurface::invalidateCache() {
    m_cache.invalidate();
    update();
}

QRect PictureSurface::placedRect() const {
    // The size is rounded on its own, so a drag by fractions of a pixel cannot change it.
    const QRectF r = pictureRect();
    return QRect(toPixel(r.left()), toPixel(r.top()), toPixel(r.width()), toPixel(r.height()));
}

void PictureSurface::setBands(const QVector<QRectF>& bands) {
    if (bands == m_bands) return;
    m_bands = bands;
    update();
}

void PictureSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintPicture(painter, event->rect());
    if (m_bands.isEmpty()) return;
    // White combined by exclusive-or stays visible on any picture.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 0));
    painter.setBrush(Qt::NoBrush);
    const QPointF origin = pictureRect().topLeft();
    for (const QRectF& band : m_bands) {
        const QRectF r = band.translated(origin).normalized();
        painter.drawRect(QRect(QPoint(toPixel(r.left()), toPixel(r.top())),
                               QPoint(toPixel(r.right()), toPixel(r.bottom()))));
    }
}

void PictureSurface::paintPicture(QPainter& painter, const QRect& exposed) {
    const QRect placed = placedRect();
    if (!m_picture || m_picture->isNull() || placed.isEmpty()) {
        m_cache.release();
        painter.fillRect(exposed, m_background);
        return;
    }
    const QRect shown = placed & exposed;
    fillAround(painter, exposed, shown, m_background);
    const int width = m_picture->width();
    const int height = m_picture->height();
    // Asked at every size, so the levels are built once the picture is shown, and ready when
    // the user zooms out.
    const core::Image& reduceFrom =
        m_levels ? m_levels->sourceFor(*m_picture, placed.size()) : *m_picture;

    if (placed.width() < width || placed.height() < height) {
        // Reduced: keep the reduction of everything visible, so later partial paints and
        // drags find it ready, then copy the exposed part one to one. A change of source
        // (levels completed or dropped) makes the cache start afresh.
        m_cache.update(reduceFrom, placed.size(), (placed & rect()).translated(-placed.topLeft()),
                       size());
        const QRect part = shown.translated(-placed.topLeft());
        if (m_cache.held().contains(part)) {
            if (!part.isEmpty()) m_cache.draw(painter, part, shown.topLeft());
            return;
        }
        // No memory for the reduction: sample the picture instead of showing nothing.
    }
    // At natural size and above the reduction is not used but kept: zoom steps often cross
    // 100 % and back, and its memory is bounded by the widget's size anyway.
    if (shown.isEmpty()) return;
    // Natural size or larger: the source pixels under the exposed part, enlarged by nearest
    // neighbour, so each picture pixel stays a sharp block.
    const double sx = static_cast<double>(width) / placed.width();
    const double sy = static_cast<double>(height) / placed.height();
    const QRectF source((shown.left() - placed.left()) * sx, (shown.top() - placed.top()) * sy,
                        shown.width() * sx, shown.height() * sy);
    painter.drawImage(QRectF(shown), wrapImage(*m_picture), source);
}

void PictureSurface::hideEvent(QHideEvent* event) {
    m_cache.release();
    QWidget::hideEvent(event);
}

void PictureSurface::mousePressEvent(QMouseEvent* event) {
    if (onPress) onPress(event->position() - pictureRect().topLeft(), event->button());
}

void PictureSurface::mouseMoveEvent(QMouseEvent* event) {
    if (onMove) onMove(event->position() - pictureRect().topLeft(), event->buttons());
}

void PictureSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (onRelease) onRelease(event->position() - pictureRect().topLeft(), event->button());
}

void PictureSurface::keyPressEvent(QKeyEvent* event) {
    if (!onKeyDown) {
        QWidget::keyPressEvent(event);
        return;
    }
    onKeyDown(event->key());
}

} // namespace vistrel::qt
