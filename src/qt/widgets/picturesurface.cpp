#include "qt/widgets/picturesurface.h"

#include <QPaintEvent>
#include <QPainter>

#include "qt/platform/imageconvert.h"

namespace vistrel::qt {

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureSurface::setPicture(const core::Image* picture) {
    m_picture = picture;
    update();
}

void PictureSurface::paintEvent(QPaintEvent* event) {
    if (!m_picture || m_picture->isNull()) return;
    QPainter painter(this);
    const QImage source = wrapImage(*m_picture);
    const double sx = static_cast<double>(source.width()) / std::max(1, width());
    const double sy = static_cast<double>(source.height()) / std::max(1, height());
    const QRect exposed = event->rect();
    // Only the source rectangle under the exposed area is drawn.
    const QRectF from(exposed.x() * sx, exposed.y() * sy, exposed.width() * sx,
                      exposed.height() * sy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, sx > 1.0 || sy > 1.0);
    painter.drawImage(QRectF(exposed), source, from);
}

} // namespace vistrel::qt
