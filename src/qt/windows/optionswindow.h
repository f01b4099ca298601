#pragma once

#include <map>
#include <string>

#include <QWidget>

#include "core/app/application.h"
#include "qt/widgets/act.h"

class QTabBar;

namespace vistrel::qt {

// The Options dialog (frmOptions): modeless, built from core's control table. It renders the
// application's dialog state and forwards its controls' events by objectName.
class OptionsWindow : public QWidget {
    Q_OBJECT
public:
    OptionsWindow(core::Application& app, double twipsPerPixel, Act act, QWidget* parent = nullptr);

    void sync();
    // The application closed the dialog: no close event reports it again.
    void markClosing() { m_closing = true; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* build(const core::OptionsControl& control, QWidget* parent);
    // Runs a call on the application with this control's name; captured by value, as Ok
    // closes and retires this window while the call runs.
    template <typename Call> void forward(const std::string& name, Call call);

    core::Application& m_app;
    double m_tpp;
    Act m_act;
    QTabBar* m_tabs = nullptr;
    std::map<std::string, QWidget*> m_controls;
    std::map<std::string, core::Colour> m_swatches; // the colour each button's icon shows
    bool m_closing = false;
};

} // namespace vistrel::qt
