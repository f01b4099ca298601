#pragma once

#include <QFrame>

#include "core/app/statusbar.h"

class QLabel;

namespace vistrel::qt {

// The status bar: four keyed panels whose widths come from the layout.
class StatusBarWidget : public QFrame {
    Q_OBJECT
public:
    explicit StatusBarWidget(QWidget* parent = nullptr);
    void render(const core::StatusBarState& state, double twipsPerPixel);
    QLabel* panel(int index) const { return m_panels[index]; }

private:
    QLabel* m_panels[4];
};

} // namespace vistrel::qt
