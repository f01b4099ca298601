#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <QWidget>

#include "core/app/application.h"
#include "core/printing/printlayout.h"
#include "qt/widgets/act.h"

namespace vistrel::qt {

// The Print dialog (frmPrint): modeless, built from core's control table. It renders the
// application's print state and forwards its controls' events by objectName.
class PrintWindow : public QWidget {
    Q_OBJECT
public:
    PrintWindow(core::Application& app, double twipsPerPixel, Act act, const QIcon& icon,
                QWidget* parent = nullptr);

    void sync();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* build(const core::PrintControl& control, QWidget* parent);
    template <typename W> W* control(const char* name) const {
        return static_cast<W*>(m_controls.at(name));
    }

    core::Application& m_app;
    double m_tpp;
    Act m_act;
    std::map<std::string, QWidget*> m_controls;
    std::uint64_t m_shownRevision = ~std::uint64_t{0};
    std::uint64_t m_shownSelection = ~std::uint64_t{0};
};

} // namespace vistrel::qt
