#include "qt/widgets/clientarea.h"

#include <QMouseEvent>

namespace vistrel::qt {

ClientArea::ClientArea(QWidget* parent) : QWidget(parent) {
    setObjectName("frmMainClient");
    setMouseTracking(true);
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    if (onPress) onPress(event);
}

void ClientArea::mouseMoveEvent(QMouseEvent* event) {
    if (onMove) onMove(event);
}

void ClientArea::mouseReleaseEvent(QMouseEvent* event) {
    if (onRelease) onRelease(event);
}

void ClientArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) onResize();
}

} // namespace vistrel::qt
