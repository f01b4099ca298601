#pragma once

#include <QWidget>

#include "core/app/application.h"
#include "qt/widgets/act.h"

namespace vistrel::qt {

// The About window (frmAbout): modeless, built from core's control table; its link and its
// button are forwarded to the application by objectName.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    AboutWindow(core::Application& app, double twipsPerPixel, Act act, const QIcon& icon,
                QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void click(const std::string& control);

    core::Application& m_app;
    Act m_act;
};

} // namespace vistrel::qt
