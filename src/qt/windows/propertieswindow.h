#pragma once

#include <map>
#include <string>

#include <QWidget>

#include "core/app/application.h"
#include "qt/widgets/act.h"

namespace vistrel::qt {

// Puts the window into (true) or out of (false) the always-on-top band, keeping its place
// and size.
void SetWindowTopmost(QWidget& window, bool topmost);

// The Properties dialog (frmProperties): four panels in one place, built from core's control
// table. It renders the application's dialog state and forwards its controls' events by
// objectName.
class PropertiesWindow : public QWidget {
    Q_OBJECT
public:
    PropertiesWindow(core::Application& app, double twipsPerPixel, Act act,
                     QWidget* parent = nullptr);

    void sync();
    // The application closed the dialog: no close event reports it again.
    void markClosing() { m_closing = true; }

protected:
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* build(const core::DialogControl& control, QWidget* parent);
    void reportPosition();

    core::Application& m_app;
    double m_tpp;
    Act m_act;
    std::map<std::string, QWidget*> m_controls;
    bool m_closing = false;
};

} // namespace vistrel::qt
