#pragma once

#include <QColor>
#include <QPainter>
#include <QPointer>
#include <QRectF>
#include <QVector>
#include <QWidget>

#include <functional>

#include "core/editing/image.h"
#include "qt/widgets/picturelevels.h"
#include "qt/widgets/zoomcache.h"

namespace vistrel::qt {

// A picture surface (picMain): the viewing pane's viewport, showing the working picture
// stretched over a rectangle that may be far larger than the widget and lie partly outside it.
// Only the exposed part is painted; below natural size it is drawn from an area-averaged
// reduction that is kept for the visible part only, so no frame samples the whole picture.
// With levels of the picture, strong reductions start from the smallest level that is still
// larger than the result.
class PictureSurface : public QWidget {
    Q_OBJECT
public:
    explicit PictureSurface(QWidget* parent = nullptr);

    // The picture to show; nullptr shows only the background. The image must outlive its use
    // here. Passing the same image again changes nothing: after its pixels change (a load into
    // it, an edit), call invalidateCache().
    void setPicture(const core::Image* picture);
    // Halved levels of the picture to reduce from, shared with other surfaces; nullptr
    // reduces from the picture itself.
    void setLevels(PictureLevels* levels);
    PictureLevels* levels() const { return m_levels; }
    // Where the whole zoomed picture lies, in widget pixels (rounded to whole pixels when
    // drawn). Until one is set the picture fills the widget.
    void setPictureRect(const QRectF& rectInPixels);
    QRectF pictureRect() const;
    void setBackground(const QColor& colour);
    // Rectangles drawn over the picture by exclusive-or (the selection's rubber band), in
    // pixels from the picture's top-left corner.
    void setBands(const QVector<QRectF>& bands);
    // The picture's pixels changed in place (an edit): the reduction is made again.
    void invalidateCache();
    // Memory held for the reduced picture (at most the widget's size; freed while hidden or
    // without a picture), for measuring.
    qsizetype cacheBytes() const { return m_cache.bytes(); }

    // Input, with positions relative to the picture rectangle's top-left, in widget pixels.
    std::function<void(QPointF posInPicturePixels, Qt::MouseButton)> onPress;
    std::function<void(QPointF posInPicturePixels, Qt::MouseButtons)> onMove;
    std::function<void(QPointF posInPicturePixels, Qt::MouseButton)> onRelease;
    std::function<void(int qtKey)> onKeyDown;

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect placedRect() const;
    void paintPicture(QPainter& painter, const QRect& exposed);

    const core::Image* m_picture = nullptr;
    QRectF m_rect;
    bool m_hasRect = false;
    QColor m_background = Qt::white;
    QVector<QRectF> m_bands;
    QPointer<PictureLevels> m_levels;
    ZoomCache m_cache;
};

} // namespace vistrel::qt
