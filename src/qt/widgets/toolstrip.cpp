#include "qt/widgets/toolstrip.h"

#include <QComboBox>
#include <QResizeEvent>
#include <QAction>
#include <QIcon>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>

#include "qt/platform/pathtext.h"

namespace vistrel::qt {

namespace {

// Freedesktop theme names asked for first; the bundled pictures stand in where the
// desktop's theme has none.
QIcon ToolbarIcon(const std::string& imageKey) {
    static const std::map<std::string, std::vector<const char*>> themeNames = {
        {"edit", {"document-edit", "accessories-text-editor"}},
        {"save", {"document-save-as"}},
        {"previous", {"go-previous"}},
        {"next", {"go-next"}},
        {"move", {"go-jump"}},
        {"copy", {"edit-copy"}},
        {"delete", {"edit-delete"}},
        {"preview", {"view-preview", "image-x-generic"}},
        {"explorer", {"folder"}},
        {"selection", {"edit-select-all"}},
        {"refresh", {"view-refresh"}},
        {"print", {"document-print"}},
        {"slide show", {"media-playback-start"}},
        {"zoom in", {"zoom-in"}},
        {"zoom out", {"zoom-out"}},
        {"crop", {"transform-crop", "image-crop"}},
    };
    QString file = QString::fromStdString(imageKey);
    file.replace(' ', '-');
    QIcon fallback;
    fallback.addFile(":/icons/16x16/" + file + ".png", QSize(16, 16));
    fallback.addFile(":/icons/" + file + ".png", QSize(24, 24));
    auto it = themeNames.find(imageKey);
    if (it != themeNames.end())
        for (const char* name : it->second)
            if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    return fallback;
}

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
    connect(m_address->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (onAddressEntered) onAddressEntered(m_address->currentText().toStdString());
    });
    // Picking a folder from the drop-down history goes there, as Enter on it would.
    connect(m_address, &QComboBox::activated, this, [this](int index) {
        if (onAddressEntered)
            onAddressEntered(m_address->itemData(index).toByteArray().toStdString());
    });
}

void ToolStrip::addButtons(const std::vector<core::ToolButton>& table,
                           const std::function<void(const std::string& key)>& run) {
    for (const auto& b : table) {
        QToolBar* bar = b.toolbar == "tlbStandard" ? m_standard : m_tools;
        if (b.groupStart) bar->addSeparator();
        const QString tooltip = QString::fromStdString(b.tooltip);
        QAction* a = bar->addAction(ToolbarIcon(b.imageKey), tooltip);
        a->setToolTip(tooltip);
        a->setObjectName(QString::fromStdString(b.toolbar + ":" + b.key));
        a->setEnabled(core::IsAvailable(b.command));
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
            button->setObjectName(QString::fromStdString(b.key));
        connect(a, &QAction::triggered, this, [run, key = b.key] { run(key); });
    }
}

void ToolStrip::renderAddress(const core::FolderBrowser& browser) {
    bool rewrite = browser.addressText() != m_shownAddress;
    if (browser.addressHistory() != m_shownHistory) {
        m_shownHistory = browser.addressHistory();
        // Refilling the list makes its first (oldest) entry current; the text must follow
        // the folder shown, not that entry.
        m_address->clear();
        for (const auto& path : m_shownHistory) m_address->addItem(PathText(path), PathBytes(path));
        rewrite = true;
    }
    // What the user is typing stays until the folder changes.
    if (rewrite) {
        m_shownAddress = browser.addressText();
        m_address->setEditText(PathText(m_shownAddress));
    }
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
