#pragma once

#include <QWidget>

#include "core/editing/image.h"

namespace vistrel::qt {

// A visible picture surface (picMain): draws the shared working picture stretched over its
// own rectangle, painting only the part that is exposed.
class PictureSurface : public QWidget {
    Q_OBJECT
public:
    explicit PictureSurface(QWidget* parent = nullptr);
    // The picture to show; nullptr shows nothing. The image must outlive the surface's use.
    void setPicture(const core::Image* picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const core::Image* m_picture = nullptr;
};

} // namespace vistrel::qt
