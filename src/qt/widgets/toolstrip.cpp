#include "qt/widgets/toolstrip.h"

#include <QComboBox>
#include <QResizeEvent>
#include <QToolBar>

namespace vistrel::qt {

namespace {
constexpr int BandGap = 6;
constexpr int AddressMinWidth = 145; // 2175 twips at 96 DPI
} // namespace

ToolStrip::ToolStrip(QWidget* parent)
    : QWidget(parent), m_standard(new QToolBar(this)), m_tools(new QToolBar(this)),
      m_address(new QComboBox(this)) {
    setObjectName("CoolBar");
    m_standard->setObjectName("tlbStandard");
    m_tools->setObjectName("tlbTools");
    m_address->setObjectName("txtAddress");
    for (QToolBar* bar : {m_standard, m_tools}) {
        bar->setIconSize(QSize(16, 16));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert);
    m_address->setMinimumWidth(AddressMinWidth);
    m_address->setToolTip(tr("Address: type a folder and press Enter"));
}

void ToolStrip::setBandVisible(int band, bool visible) {
    QWidget* w = band == 1 ? static_cast<QWidget*>(m_standard)
               : band == 2 ? static_cast<QWidget*>(m_tools)
                           : static_cast<QWidget*>(m_address);
    w->setVisible(visible);
    arrange(width(), true);
}

int ToolStrip::heightForWidth(int width) const { return arrange(width, false); }

void ToolStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange(event->size().width(), true);
}

int ToolStrip::arrange(int width, bool apply) const {
    struct Band {
        QWidget* widget;
        bool stretch;
    };
    const Band bands[] = {{m_standard, false}, {m_tools, false}, {m_address, true}};
    const int rowHeight = std::max({m_standard->sizeHint().height(),
                                    m_tools->sizeHint().height(),
                                    m_address->sizeHint().height() + 2});
    int x = 0;
    int row = 0;
    bool any = false;
    for (const Band& band : bands) {
        if (band.widget->isHidden()) continue;
        const int wanted = band.stretch ? AddressMinWidth : band.widget->sizeHint().width();
        if (any && x + wanted > width) {
            ++row;
            x = 0;
        }
        int w = band.stretch ? std::max(wanted, width - x) : wanted;
        if (apply) {
            const int h = band.widget->sizeHint().height();
            band.widget->setGeometry(x, row * rowHeight + (rowHeight - h) / 2, w, h);
        }
        x += w + BandGap;
        any = true;
    }
    return any ? (row + 1) * rowHeight : rowHeight / 2;
}

} // namespace vistrel::qt
