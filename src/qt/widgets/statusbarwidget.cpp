#include "qt/widgets/statusbarwidget.h"

#include <QLabel>

#include "qt/platform/twips.h"

namespace vistrel::qt {

StatusBarWidget::StatusBarWidget(QWidget* parent) : QFrame(parent) {
    setObjectName("StatusBar");
    const core::StatusBarState designed;
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromStdString(designed.panels[i].key));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setIndent(3);
        m_panels[i] = label;
    }
}

void StatusBarWidget::render(const core::StatusBarState& state, double tpp) {
    int x = 0;
    const int h = height() - 2;
    for (int i = 0; i < 4; ++i) {
        const auto& p = state.panels[i];
        const int w = std::max(0, ToPixels(p.width, tpp));
        m_panels[i]->setGeometry(x, 2, w, h);
        const QString text = QString::fromStdString(p.text);
        if (m_panels[i]->text() != text) m_panels[i]->setText(text);
        m_panels[i]->setToolTip(QString::fromStdString(p.tooltip));
        x += w;
    }
}

} // namespace vistrel::qt
