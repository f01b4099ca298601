#pragma once

#include <functional>
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
    // act: runs a call on the application the way every command runs (errors reported,
    // every window rendered afterwards, closed windows deleted only once it returns).
    using Act = std::function<void(const std::function<void()>&)>;
    FullScreenWindow(core::Application& app, double twipsPerPixel, Act act,
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
    Act m_act;
    QWidget* m_picDisplay = nullptr;
    PictureSurface* m_picMain = nullptr;
    QMenu* m_rightDisplay = nullptr;
    std::map<std::string, QAction*> m_actions;
    bool m_closing = false;
    std::uint64_t m_shownRevision = ~std::uint64_t{0}; // of the working picture shown here
};

} // namespace vistrel::qt
