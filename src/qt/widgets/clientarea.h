#pragma once

#include <functional>

#include <QWidget>

namespace vistrel::qt {

// The main window's client area. Its own surface is only the gaps between the panes,
// so presses that reach it are splitter presses.
class ClientArea : public QWidget {
    Q_OBJECT
public:
    explicit ClientArea(QWidget* parent = nullptr);

    std::function<void(QMouseEvent*)> onPress, onMove, onRelease;
    std::function<void()> onResize;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace vistrel::qt
