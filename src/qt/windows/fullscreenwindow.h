#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QMainWindow>

#include "core/app/application.h"
#include "qt/widgets/act.h"
#include "qt/windows/menuset.h"

class QAction;

namespace vistrel::qt {

class PictureSurface;

// The full-screen window (frmDisplay): the current picture on its own, with its own menus,
// keys and drag. It renders the application's full-screen state and forwards events.
class FullScreenWindow : public QMainWindow {
    Q_OBJECT
public:
    FullScreenWindow(core::Application& app, double twipsPerPixel, Act act,
                     QWidget* parent = nullptr);

    void sync();
    QAction* action(const std::string& name) const { return m_menus->action(name); }
    const MenuSet& menus() const { return *m_menus; }
    PictureSurface* surface() const { return m_picMain; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    core::Application& m_app;
    double m_tpp;
    Act m_act;
    QWidget* m_picDisplay = nullptr;
    PictureSurface* m_picMain = nullptr;
    std::unique_ptr<MenuSet> m_menus;
    bool m_closing = false;
    std::uint64_t m_shownRevision = ~std::uint64_t{0}; // of the working picture shown here
};

} // namespace vistrel::qt
