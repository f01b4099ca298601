#pragma once

#include <map>
#include <string>

#include <QMainWindow>

#include "core/app/application.h"

class QAction;
class QMenu;

namespace vistrel::qt {

class PictureSurface;

// The full-screen window (frmDisplay): the current picture on its own, with its own menus,
// keys and drag. It renders the application's full-screen state and forwards events.
class FullScreenWindow : public QMainWindow {
    Q_OBJECT
public:
    // render: brings every window up to date after a command.
    FullScreenWindow(core::Application& app, double twipsPerPixel, std::function<void()> render,
                     QWidget* parent = nullptr);

    void sync();
    QAction* action(const std::string& name) const;
    PictureSurface* surface() const { return m_picMain; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void run(core::Command command, const std::string& argument = {});

    core::Application& m_app;
    double m_tpp;
    std::function<void()> m_render;
    QWidget* m_picDisplay = nullptr;
    PictureSurface* m_picMain = nullptr;
    QMenu* m_rightDisplay = nullptr;
    std::map<std::string, QAction*> m_actions;
    bool m_closing = false;
    std::uint64_t m_shownRevision = ~std::uint64_t{0}; // of the working picture shown here
};

} // namespace vistrel::qt
