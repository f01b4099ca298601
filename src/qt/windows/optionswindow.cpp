#include "qt/windows/optionswindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>

#include "qt/platform/colours.h"
#include "qt/platform/twips.h"

namespace vistrel::qt {

using core::OptionsControlKind;

OptionsWindow::OptionsWindow(core::Application& app, double twipsPerPixel, Act act,
                             QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_app(app), m_tpp(twipsPerPixel), m_act(std::move(act)) {
    setObjectName("frmOptions");
    setWindowTitle(core::OptionsCaption);
    setFixedSize(ToPixels(core::OptionsClientWidth, m_tpp),
                 ToPixels(core::OptionsClientHeight, m_tpp));
    for (const core::OptionsControl& control : core::OptionsControls()) {
        const auto parentIt = m_controls.find(control.parent);
        QWidget* widget = build(control, parentIt != m_controls.end() ? parentIt->second : this);
        widget->setGeometry(ToPixelRect(control.box, m_tpp));
        widget->setObjectName(QString::fromStdString(control.name));
        m_controls[control.name] = widget;
    }
    sync();
}

template <typename Call> void OptionsWindow::forward(const std::string& name, Call call) {
    m_act([app = &m_app, name, call] { call(*app, name); });
}

QWidget* OptionsWindow::build(const core::OptionsControl& control, QWidget* parent) {
    const QString caption = QString::fromStdString(control.caption);
    const std::string name = control.name;
    switch (control.kind) {
    case OptionsControlKind::Tabs: {
        m_tabs = new QTabBar(parent);
        m_tabs->setDrawBase(false);
        m_tabs->setExpanding(false);
        for (const core::OptionsTab& tab : core::OptionsTabs())
            m_tabs->addTab(QString::fromUtf8(tab.caption.data(), qsizetype(tab.caption.size())));
        connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
            const auto& tabs = core::OptionsTabs();
            if (index < 0 || index >= int(tabs.size())) return;
            forward(std::string(tabs[std::size_t(index)].key),
                    [](core::Application& app, const std::string& key) { app.OptionsTab(key); });
        });
        return m_tabs;
    }
    case OptionsControlKind::Page: {
        // The pane of a tab widget, joined to the strip above it.
        auto* page = new QFrame(parent);
        page->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
        return page;
    }
    case OptionsControlKind::Frame:
        return new QGroupBox(caption, parent);
    case OptionsControlKind::CheckBox: {
        auto* check = new QCheckBox(caption, parent);
        connect(check, &QCheckBox::clicked, this, [this, name](bool checked) {
            forward(name, [checked](core::Application& app, const std::string& box) {
                app.OptionsCheck(box, checked);
            });
        });
        return check;
    }
    case OptionsControlKind::Option: {
        auto* option = new QRadioButton(caption, parent);
        connect(option, &QRadioButton::clicked, this, [this, name] {
            forward(name, [](core::Application& app, const std::string& n) { app.OptionsClick(n); });
        });
        return option;
    }
    case OptionsControlKind::Button: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, name] {
            forward(name, [](core::Application& app, const std::string& n) { app.OptionsClick(n); });
        });
        return button;
    }
    case OptionsControlKind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        slider->setRange(core::SlideDelayMinimum, core::SlideDelayMaximum);
        slider->setSingleStep(core::SlideDelayStep);
        slider->setPageStep(core::SlideDelayStep);
        slider->setTickInterval(core::SlideDelayStep);
        slider->setTickPosition(QSlider::TicksBelow);
        connect(slider, &QSlider::valueChanged, this, [this, name](int value) {
            forward(name, [value](core::Application& app, const std::string&) {
                app.OptionsSlider(value);
            });
        });
        return slider;
    }
    case OptionsControlKind::Label: {
        auto* label = new QLabel(caption, parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case OptionsControlKind::TextBox: {
        auto* box = new QLineEdit(caption, parent);
        // Typing only: the texts the application sets come back through sync().
        connect(box, &QLineEdit::textEdited, this, [this, name](const QString& text) {
            forward(name, [value = text.toStdString()](core::Application& app,
                                                       const std::string& n) {
                app.OptionsText(n, value);
            });
        });
        return box;
    }
    }
    return new QWidget(parent);
}

namespace {

// A small square of the colour being edited, so the button shows what Apply will set.
// Outlined, so it shows on a button of the same colour too.
QIcon Swatch(core::Colour colour, const QPalette& palette) {
    QPixmap square(12, 12);
    square.fill(palette.color(QPalette::WindowText));
    QPainter painter(&square);
    painter.fillRect(1, 1, 10, 10, ToQColor(colour, palette));
    return QIcon(square);
}

} // namespace

void OptionsWindow::sync() {
    const core::OptionsState* state = m_app.Options();
    if (!state) return;
    for (const core::OptionsControl& control : core::OptionsControls()) {
        QWidget* widget = m_controls[control.name];
        widget->setEnabled(state->Enabled(control.name));
        switch (control.kind) {
        case OptionsControlKind::Tabs: {
            const auto& tabs = core::OptionsTabs();
            for (std::size_t i = 0; i < tabs.size(); ++i)
                if (tabs[i].key == state->tab && m_tabs->currentIndex() != int(i)) {
                    const QSignalBlocker quiet(m_tabs);
                    m_tabs->setCurrentIndex(int(i));
                }
            break;
        }
        case OptionsControlKind::Page:
            widget->setVisible(state->PageShown(control.name));
            break;
        case OptionsControlKind::CheckBox:
            static_cast<QCheckBox*>(widget)->setChecked(state->Checked(control.name));
            break;
        case OptionsControlKind::Option: {
            auto* option = static_cast<QRadioButton*>(widget);
            const bool checked = state->Checked(control.name);
            if (option->isChecked() == checked) break;
            // An exclusive group never clears its last checked button by itself; the dialog
            // may have none chosen.
            option->setAutoExclusive(false);
            option->setChecked(checked);
            option->setAutoExclusive(true);
            break;
        }
        case OptionsControlKind::Button: {
            const core::Colour* colour = control.name == "cmdDisplay"     ? &state->displayColour
                                         : control.name == "cmdThumbnail" ? &state->thumbnailColour
                                                                          : nullptr;
            if (!colour) break;
            const auto shown = m_swatches.find(control.name);
            if (shown != m_swatches.end() && shown->second == *colour) break;
            m_swatches[control.name] = *colour;
            static_cast<QPushButton*>(widget)->setIcon(Swatch(*colour, widget->palette()));
            break;
        }
        case OptionsControlKind::Slider: {
            auto* slider = static_cast<QSlider*>(widget);
            const QSignalBlocker quiet(slider);
            slider->setValue(state->delay);
            break;
        }
        case OptionsControlKind::Label:
            static_cast<QLabel*>(widget)->setText(
                QString::fromStdString(state->Text(control.name)));
            break;
        case OptionsControlKind::TextBox: {
            auto* box = static_cast<QLineEdit*>(widget);
            const QString text = QString::fromStdString(state->Text(control.name));
            if (box->text() != text) box->setText(text);
            break;
        }
        case OptionsControlKind::Frame:
            break;
        }
    }
}

void OptionsWindow::closeEvent(QCloseEvent* event) {
    // Closed by the window manager or with the main window: as Cancel, nothing is written.
    if (!m_closing) {
        m_closing = true;
        m_act([&app = m_app] { app.OptionsClosed(); });
    }
    event->accept();
}

} // namespace vistrel::qt
