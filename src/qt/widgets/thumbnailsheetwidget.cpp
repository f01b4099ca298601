#include "qt/widgets/thumbnailsheetwidget.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleHints>
#include <QWheelEvent>

#include "qt/platform/imageconvert.h"
#include "qt/platform/keyconvert.h"
#include "qt/platform/twips.h"

namespace vistrel::qt {

namespace {

void DrawBrokenMark(QPainter& painter, const QRectF& box) {
    painter.save();
    painter.fillRect(box, QColor(0xC0, 0xC0, 0xC0));
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(QColor(0xD0, 0x20, 0x20), 2));
    const QRectF inner = box.adjusted(4, 4, -4, -4);
    painter.drawLine(inner.topLeft(), inner.bottomRight());
    painter.drawLine(inner.topRight(), inner.bottomLeft());
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(8, static_cast<int>(box.height() / 2)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
    painter.restore();
}

} // namespace

ThumbnailSheetWidget::ThumbnailSheetWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("picBack");
    // A press takes the focus itself (mousePressEvent), after noting the cell it hit.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_thumbnailColour = palette().color(QPalette::Button);

    m_editor = new QLineEdit(this);
    m_editor->setObjectName("txtName");
    m_editor->hide();
    m_editor->installEventFilter(this);
}

void ThumbnailSheetWidget::setSheet(const core::ThumbnailSheet* sheet, double twipsPerPixel) {
    m_sheet = sheet;
    m_tpp = twipsPerPixel > 0 ? twipsPerPixel : 15;
    update();
}

void ThumbnailSheetWidget::setThumbnailColour(const QColor& colour) {
    if (colour == m_thumbnailColour) return;
    m_thumbnailColour = colour;
    update();
}

std::optional<core::CellHit> ThumbnailSheetWidget::hitAt(const QPoint& point) const {
    if (!m_sheet) return std::nullopt;
    // The pixel's centre, so a point on a shared edge belongs to one cell only.
    return m_sheet->HitTest((point.x() + 0.5) * m_tpp, (point.y() + 0.5) * m_tpp);
}

void ThumbnailSheetWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.fillRect(dirty, m_thumbnailColour);
    if (!m_sheet) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    const auto [first, last] =
        m_sheet->CellsBetween(dirty.top() * m_tpp, (dirty.bottom() + 1) * m_tpp);
    const QFontMetrics metrics(font());
    for (int i = first; i < last; ++i) {
        const core::ThumbnailCell cell = m_sheet->cell(i);
        if (!cell.cell.visible) continue;
        const QRect cellRect = ToPixelRect(cell.cell, m_tpp);
        if (!cellRect.intersects(dirty)) continue;

        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(cellRect.adjusted(0, 0, -1, -1));

        core::Box image = cell.image;
        image.left += cell.cell.left;
        image.top += cell.cell.top;
        const QRect imageRect = ToPixelRect(image, m_tpp);
        if (cell.broken) {
            DrawBrokenMark(painter, imageRect);
        } else if (!cell.thumbnail.isNull()) {
            painter.drawImage(imageRect, wrapImage(cell.thumbnail));
        }

        // Centred across the whole cell, shortened with an ellipsis when it is wider.
        const QRect captionBox = ToPixelRect(cell.caption, m_tpp);
        const QRect captionRect(cellRect.left(), cellRect.top() + captionBox.top(),
                                cellRect.width(), captionBox.height());
        painter.setPen(captionColour ? captionColour(i) : palette().color(QPalette::ButtonText));
        painter.drawText(captionRect, Qt::AlignHCenter | Qt::AlignVCenter,
                         metrics.elidedText(QString::fromStdString(cell.name), Qt::ElideMiddle,
                                            cellRect.width() - 4));

        if (i == m_sheet->focusedCell() && hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
            painter.drawRect(cellRect.adjusted(1, 1, -2, -2));
        }
    }
}

std::optional<core::CellHit> ThumbnailSheetWidget::pressAt(QPoint point, Pressed& noted) {
    auto hit = hitAt(point);
    noted = Pressed{point, hit ? m_sheet->cell(hit->index).name : std::string(),
                    hit ? hit->zone : core::CellZone::Frame};
    if (!hasFocus()) {
        // Moving the focus out of an open rename box commits it, and that may rebuild the
        // cells: the press then belongs to the cell that shows its file now, if any does.
        const auto generation = m_sheet ? m_sheet->generation() : 0;
        setFocus(Qt::MouseFocusReason);
        if (hit && m_sheet->generation() != generation) {
            hit->index = m_sheet->FindCell(noted.name);
            if (hit->index < 0) hit.reset();
        }
    }
    return hit;
}

void ThumbnailSheetWidget::mousePressEvent(QMouseEvent* event) {
    const auto hit = pressAt(event->position().toPoint(), m_pressed);
    if (hit && onPress) onPress(hit->index, hit->zone, ToButton(event->button()));
    update();
}

void ThumbnailSheetWidget::mouseReleaseEvent(QMouseEvent* event) {
    m_clicked = m_pressed;
    const auto hit = hitAt(event->position().toPoint()).value_or(core::CellHit{});
    if (onRelease) onRelease(hit.index, hit.zone, ToButton(event->button()));
}

// The second click of a double-click is no press: it would load the picture again, and with
// Shift toggle the file back out of the selection. Only a caption reacts to it, by opening
// the rename box. The window system sends it after the press and release of the first
// click, whose file was noted before the focus moved (what lies under the pointer now may
// have moved there when that click committed a rename). A double-click that comes alone is
// its own first click.
void ThumbnailSheetWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const int near = QGuiApplication::styleHints()->mouseDoubleClickDistance();
    if (!m_clicked || (m_clicked->point - point).manhattanLength() > near) {
        Pressed alone;
        pressAt(point, alone);
        m_clicked = alone;
    }
    const Pressed first = *std::exchange(m_clicked, std::nullopt);
    if (first.zone == core::CellZone::Caption && !first.name.empty() && onDoubleClickCaption)
        onDoubleClickCaption(first.name);
}

void ThumbnailSheetWidget::keyPressEvent(QKeyEvent* event) {
    if (onKeyDown) onKeyDown(ToKey(event->key()));
}

void ThumbnailSheetWidget::keyReleaseEvent(QKeyEvent* event) {
    // X11 reports a held key as repeated press/release pairs; only the last release counts.
    if (event->isAutoRepeat()) return;
    if (onKeyUp) onKeyUp(ToKey(event->key()));
}

void ThumbnailSheetWidget::wheelEvent(QWheelEvent* event) {
    // Sideways turns are left to the parents, as the vertical scroll bar leaves them.
    const QPoint delta = event->angleDelta();
    if (!onWheel || delta.y() == 0 || std::abs(delta.x()) > std::abs(delta.y())) {
        event->ignore();
        return;
    }
    onWheel(delta.y(), QApplication::wheelScrollLines());
    event->accept();
}

void ThumbnailSheetWidget::showRenameEditor(bool open, const core::Box& boxOnSheet,
                                            const QString& text) {
    if (open) {
        m_editor->setGeometry(ToPixelRect(boxOnSheet, m_tpp));
        if (m_editor->isVisible()) return;
        m_editor->setText(text);
        m_editor->selectAll();
        m_editor->show();
        m_editor->raise();
        m_editor->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!m_editor->isVisible()) return;
    // Hiding a focused widget would pass the focus along the tab chain; keep it here, and
    // keep the focus loss from committing what the program closed.
    m_closingEditor = true;
    if (m_editor->hasFocus()) setFocus(Qt::OtherFocusReason);
    m_editor->hide();
    m_closingEditor = false;
}

bool ThumbnailSheetWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_editor || m_closingEditor) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (onRenameKey && onRenameKey(ToKey(key), m_editor->text()))
            return true;
    }
    if (event->type() == QEvent::FocusOut && m_editor->isVisible()) {
        // The editor's own context menu and a switch to another application leave the
        // focus inside the box as far as the window is concerned.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            const QString text = m_editor->text();
            m_editor->hide();
            if (onRenameFocusLost) onRenameFocusLost(text);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vistrel::qt
