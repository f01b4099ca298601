#include "qt/windows/fullscreenwindow.h"

#include <QCloseEvent>
#include <QResizeEvent>

#include "qt/platform/colours.h"
#include "qt/platform/keyconvert.h"
#include "qt/platform/twips.h"
#include "qt/widgets/picturesurface.h"

namespace vistrel::qt {

using core::Command;

FullScreenWindow::FullScreenWindow(core::Application& app, double twipsPerPixel, Act act,
                                   QWidget* parent)
    : QMainWindow(parent), m_app(app), m_tpp(twipsPerPixel), m_act(std::move(act)) {
    setObjectName("frmDisplay");
    setWindowTitle("Vistrel - Full Screen");
    setAttribute(Qt::WA_DeleteOnClose, false);

    // The pane fills the client area; the surface is its viewport.
    m_picDisplay = new QWidget(this);
    m_picDisplay->setObjectName("picDisplay");
    setCentralWidget(m_picDisplay);
    m_picMain = new PictureSurface(m_picDisplay);
    m_picMain->setObjectName("picMain");
    m_picMain->setFocusPolicy(Qt::StrongFocus);
    m_picMain->setPicture(&m_app.Current().picload());
    m_picMain->setCursor(Qt::SizeAllCursor);

    // Nothing of this window may be touched after a command: it may have closed it.
    m_menus = std::make_unique<MenuSet>(
        *this, core::FullScreenMenuTable(), [this](Command c, const std::string& argument) {
            m_act([&app = m_app, c, argument] { app.Run(c, argument); });
        });

    const auto twips = [this](QPointF p) { return std::pair{p.x() * m_tpp, p.y() * m_tpp}; };
    m_picMain->onPress = [this, twips](QPointF p, Qt::MouseButton button) {
        const auto [x, y] = twips(p);
        m_act([&] { m_app.FullScreenPress(x, y, ToButton(button)); });
    };
    m_picMain->onMove = [this, twips](QPointF p, Qt::MouseButtons buttons) {
        const auto [x, y] = twips(p);
        m_act([&] { m_app.FullScreenMove(x, y, buttons == Qt::LeftButton); });
    };
    m_picMain->onKeyDown = [this](int key) {
        const core::Key k = ToKey(key);
        m_act([&app = m_app, k] { app.FullScreenKey(k); });
    };
}

void FullScreenWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    m_picMain->setGeometry(m_picDisplay->rect());
    m_picMain->setFocus();
    const core::Twips width = ToTwips(m_picDisplay->width(), m_tpp);
    const core::Twips height = ToTwips(m_picDisplay->height(), m_tpp);
    m_act([&] { m_app.FullScreenResized(width, height); });
}

void FullScreenWindow::closeEvent(QCloseEvent* event) {
    // Closed by the window manager: the application forgets the window like Close does.
    if (!m_closing) {
        m_closing = true;
        m_act([&app = m_app] { app.Run(Command::CloseFullScreen); });
    }
    event->accept();
}

void FullScreenWindow::sync() {
    const auto& fs = m_app.FullScreen();
    m_picMain->setGeometry(m_picDisplay->rect());
    QPalette pal = m_picDisplay->palette();
    m_picMain->setBackground(ToQColor(m_app.Model().displayColour, pal));
    if (fs.picMain.visible && m_app.Model().picMain.visible) {
        m_picMain->setPictureRect(QRectF(fs.picMain.left / m_tpp, fs.picMain.top / m_tpp,
                                         fs.picMain.width / m_tpp, fs.picMain.height / m_tpp));
        m_picMain->setPicture(&m_app.Current().picload());
        if (m_app.Current().PictureRevision() != m_shownRevision) {
            m_shownRevision = m_app.Current().PictureRevision();
            m_picMain->invalidateCache();
        }
    } else {
        m_picMain->setPicture(nullptr);
    }
}

} // namespace vistrel::qt
