#include "qt/windows/propertieswindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "qt/platform/colours.h"
#include "qt/platform/twips.h"

namespace vistrel::qt {

using core::ControlKind;

void SetWindowTopmost(QWidget& window, bool topmost) {
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost) return;
    // A changed flag hides a shown window; it comes back where it was.
    const bool shown = window.isVisible();
    const QPoint place = window.pos();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (shown) {
        window.move(place);
        window.show();
    }
}

PropertiesWindow::PropertiesWindow(core::Application& app, double twipsPerPixel, Act act,
                                   QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_app(app), m_tpp(twipsPerPixel), m_act(std::move(act)) {
    setObjectName("frmProperties");
    setWindowTitle("Properties");
    for (const core::DialogControl& control : core::PropertiesControls()) {
        const auto parentIt = m_controls.find(control.parent);
        QWidget* widget = build(control, parentIt != m_controls.end() ? parentIt->second : this);
        widget->setGeometry(ToPixelRect(control.box, m_tpp));
        if (!control.name.empty()) {
            widget->setObjectName(QString::fromStdString(control.name));
            m_controls[control.name] = widget;
        }
    }
    if (const core::PropertiesDialog* dialog = m_app.Properties())
        move(ToPixels(dialog->Left, m_tpp), ToPixels(dialog->Top, m_tpp));
    SetWindowTopmost(*this, true);
    sync();
}

QWidget* PropertiesWindow::build(const core::DialogControl& control, QWidget* parent) {
    const QString caption = QString::fromStdString(control.caption);
    // Captured by value: a click may close and retire this window while it runs.
    const std::string name = control.name;
    core::Application& app = m_app;
    const Act act = m_act;
    switch (control.kind) {
    case ControlKind::Panel:
        return new QWidget(parent);
    case ControlKind::Frame:
        return new QGroupBox(caption, parent);
    case ControlKind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        if (const core::SliderRange* range = core::FindSlider(name)) {
            slider->setRange(range->minimum, range->maximum);
            slider->setTickInterval(range->tick);
            slider->setPageStep(range->tick);
        }
        slider->setTickPosition(QSlider::TicksBelow);
        connect(slider, &QSlider::valueChanged, this, [app = &app, act, name](int value) {
            act([&] { app->PropertiesSlider(name, value); });
        });
        return slider;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(caption, parent);
        connect(button, &QPushButton::clicked, this,
                [app = &app, act, name] { act([&] { app->PropertiesClick(name); }); });
        return button;
    }
    case ControlKind::Swatch: {
        auto* swatch = new QFrame(parent);
        swatch->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return swatch;
    }
    case ControlKind::Caption:
        return new QLabel(caption, parent);
    case ControlKind::Value: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(parent);
        // Typing only: the texts the application sets come back through sync().
        connect(box, &QLineEdit::textEdited, this, [app = &app, act, name](const QString& text) {
            const std::string value = text.toStdString();
            act([&] { app->PropertiesText(name, value); });
        });
        return box;
    }
    case ControlKind::CheckBox: {
        auto* check = new QCheckBox(caption, parent);
        connect(check, &QCheckBox::clicked, this, [app = &app, act, name](bool checked) {
            act([&] { app->PropertiesCheck(name, checked); });
        });
        return check;
    }
    }
    return new QWidget(parent);
}

void PropertiesWindow::sync() {
    const core::PropertiesDialog* dialog = m_app.Properties();
    if (!dialog) return;
    setFixedSize(ToPixels(core::PropertiesClientWidth, m_tpp), ToPixels(dialog->Height(), m_tpp));
    const std::string_view shown = core::PanelName(dialog->Panel());
    for (const core::DialogControl& control : core::PropertiesControls()) {
        QWidget* widget = m_controls.count(control.name) ? m_controls[control.name] : nullptr;
        if (!widget) continue;
        switch (control.kind) {
        case ControlKind::Panel:
            widget->setVisible(control.name == shown);
            break;
        case ControlKind::Slider: {
            auto* slider = static_cast<QSlider*>(widget);
            const QSignalBlocker quiet(slider);
            slider->setValue(dialog->SliderValue(control.name));
            break;
        }
        case ControlKind::Swatch:
            SetBackground(*widget, ToQColor(dialog->SwatchColour(control.name), widget->palette()));
            break;
        case ControlKind::Value:
            static_cast<QLabel*>(widget)->setText(
                QString::fromStdString(dialog->Text(control.name)));
            break;
        case ControlKind::TextBox: {
            auto* box = static_cast<QLineEdit*>(widget);
            const QString text = QString::fromStdString(dialog->Text(control.name));
            if (box->text() != text) box->setText(text);
            break;
        }
        case ControlKind::CheckBox:
            static_cast<QCheckBox*>(widget)->setChecked(dialog->Proportional());
            break;
        default:
            break;
        }
    }
}

void PropertiesWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    reportPosition();
}

void PropertiesWindow::reportPosition() {
    const core::PropertiesDialog* dialog = m_app.Properties();
    if (!dialog || m_closing) return;
    // Whole pixels cannot hold every twips value: a window still where the application put
    // it keeps the application's value, so an untouched position is written back unchanged.
    if (pos() == QPoint(ToPixels(dialog->Left, m_tpp), ToPixels(dialog->Top, m_tpp))) return;
    m_app.PropertiesMoved(ToTwips(x(), m_tpp), ToTwips(y(), m_tpp));
}

void PropertiesWindow::closeEvent(QCloseEvent* event) {
    // Closed by the window manager or with the main window: the application saves the
    // position and forgets the dialog as "Cancel" does.
    if (!m_closing) {
        m_closing = true;
        m_act([&app = m_app] { app.PropertiesClosed(); });
    }
    event->accept();
}

} // namespace vistrel::qt
