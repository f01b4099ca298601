#include "qt/windows/aboutwindow.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "core/app/aboutlayout.h"
#include "qt/platform/twips.h"

namespace vistrel::qt {

using core::AboutControlKind;

AboutWindow::AboutWindow(core::Application& app, double twipsPerPixel, Act act,
                         const QIcon& icon, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_app(app), m_act(std::move(act)) {
    setObjectName("frmAbout");
    setWindowTitle(core::AboutCaption);
    setWindowIcon(icon);
    setFixedSize(ToPixels(core::AboutClientWidth, twipsPerPixel),
                 ToPixels(core::AboutClientHeight, twipsPerPixel));
    for (const core::AboutControl& control : core::AboutControls()) {
        const QString caption = QString::fromStdString(control.caption);
        const QRect place = ToPixelRect(control.box, twipsPerPixel);
        QWidget* widget = nullptr;
        switch (control.kind) {
        case AboutControlKind::Icon: {
            auto* label = new QLabel(this);
            label->setPixmap(icon.pixmap(place.size()));
            widget = label;
            break;
        }
        case AboutControlKind::Title: {
            auto* label = new QLabel(caption, this);
            QFont font = label->font();
            font.setBold(true);
            font.setPointSizeF(font.pointSizeF() * 1.6);
            label->setFont(font);
            widget = label;
            break;
        }
        case AboutControlKind::Text: {
            auto* label = new QLabel(caption, this);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case AboutControlKind::Link: {
            auto* label = new QLabel(caption, this);
            label->setTextFormat(Qt::PlainText);
            QFont font = label->font();
            font.setUnderline(true);
            label->setFont(font);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
            label->setPalette(palette);
            label->setCursor(Qt::PointingHandCursor);
            // Only the text is the link, not the empty rest of its box.
            label->setGeometry(place.x(), place.y(),
                               std::min(place.width(), label->sizeHint().width()),
                               place.height());
            label->installEventFilter(this);
            label->setObjectName(QString::fromStdString(control.name));
            continue;
        }
        case AboutControlKind::Button: {
            auto* button = new QPushButton(caption, this);
            button->setDefault(true);
            const std::string name = control.name;
            connect(button, &QPushButton::clicked, this, [this, name] { click(name); });
            widget = button;
            break;
        }
        }
        widget->setGeometry(place);
        widget->setObjectName(QString::fromStdString(control.name));
    }
}

void AboutWindow::click(const std::string& control) {
    // Captured by value: Ok closes and retires this window while the call runs.
    m_act([&app = m_app, control] { app.AboutClick(control); });
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        auto* label = static_cast<QWidget*>(watched);
        if (label->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
            click(label->objectName().toStdString());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vistrel::qt
