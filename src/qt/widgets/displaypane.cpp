#include "qt/widgets/displaypane.h"

#include <QMouseEvent>

#include <algorithm>

#include "qt/platform/colours.h"
#include "qt/platform/cursorshape.h"
#include "qt/platform/keyconvert.h"
#include "qt/platform/twips.h"
#include "qt/widgets/picturesurface.h"

namespace vistrel::qt {

DisplayPane::DisplayPane(core::Application& app, Act act, QWidget* parent)
    : QFrame(parent), m_app(app), m_act(std::move(act)), m_picMain(new PictureSurface(this)) {
    setObjectName("picDisplay");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    for (const char* name : core::ResizeHandleBoxes::Names) {
        auto* handle = new QFrame(m_picMain);
        handle->setObjectName(name);
        handle->setFrameStyle(QFrame::Box | QFrame::Plain);
        handle->setAutoFillBackground(true);
        handle->hide();
        handle->installEventFilter(this);
        m_handles.push_back(handle);
    }
    m_picMain->installEventFilter(this);
    m_picMain->setObjectName("picMain");
    m_picMain->setFocusPolicy(Qt::StrongFocus);
    m_picMain->setPicture(&m_app.Current().picload());

    const auto twips = [](QPointF p, double tpp) { return std::pair{p.x() * tpp, p.y() * tpp}; };
    m_picMain->onPress = [this, twips](QPointF p, Qt::MouseButton button) {
        const auto [x, y] = twips(p, m_app.Current().TwipsPerPixel());
        m_act([&] { m_app.PicturePress(x, y, ToButton(button)); });
    };
    m_picMain->onMove = [this, twips](QPointF p, Qt::MouseButtons buttons) {
        const auto [x, y] = twips(p, m_app.Current().TwipsPerPixel());
        m_act([&] { m_app.PictureMove(x, y, buttons == Qt::LeftButton); });
    };
    m_picMain->onRelease = [this](QPointF, Qt::MouseButton) {
        m_act([&] { m_app.PictureRelease(); });
    };
    m_picMain->onKeyDown = [this](int key) {
        const core::Key k = ToKey(key);
        if (k != core::Key::Other) m_act([&] { m_app.PictureKey(k); });
    };
}

void DisplayPane::render(double tpp) {
    const auto& m = m_app.Model();
    const QColor background = ToQColor(m.displayColour, palette());
    setGeometry(ToPixelRect(m.picDisplay, tpp));
    setVisible(m.picDisplay.visible);
    SetBackground(*this, background);
    const int border = ToPixels(m.picDisplay.border, tpp);
    m_picMain->setGeometry(rect().adjusted(border, border, -border, -border));
    m_picMain->setBackground(background);
    m_picMain->setPicture(m.picMain.visible ? &m_app.Current().picload() : nullptr);
    if (m_app.Current().PictureRevision() != m_shownRevision) {
        m_shownRevision = m_app.Current().PictureRevision();
        m_picMain->invalidateCache();
    }
    m_picMain->setPictureRect(QRectF(m.picMain.left / tpp, m.picMain.top / tpp,
                                     m.picMain.width / tpp, m.picMain.height / tpp));
    m_picMain->setCursor(ToShape(m_app.PictureCursor()));
    QVector<QRectF> bands;
    for (const auto& b : m_app.SelectionBand().drawn)
        bands.push_back(QRectF(QPointF(b.x1 / tpp, b.y1 / tpp), QPointF(b.x2 / tpp, b.y2 / tpp)));
    m_picMain->setBands(m.picMain.visible ? bands : QVector<QRectF>{});
    for (std::size_t i = 0; i < m_handles.size(); ++i) {
        const core::Box& box = m.resizeHandles.boxes[i];
        m_handles[i]->setGeometry(ToPixelRect(box, tpp));
        m_handles[i]->setVisible(box.visible && m.picMain.visible);
    }
}

std::pair<double, double> DisplayPane::inHandle(int handle, QPointF posInSurface) const {
    // The boxes keep their place while hidden, and they do not move during a drag.
    const core::Box& box = m_app.Model().resizeHandles.boxes[static_cast<std::size_t>(handle)];
    const double tpp = m_app.Current().TwipsPerPixel();
    return {posInSurface.x() * tpp - box.left, posInSurface.y() * tpp - box.top};
}

bool DisplayPane::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return QFrame::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);

    const auto handle = std::find(m_handles.begin(), m_handles.end(), watched);
    if (handle != m_handles.end() && type == QEvent::MouseButtonPress) {
        const int index = static_cast<int>(handle - m_handles.begin());
        const QPointF inSurface = (*handle)->mapTo(m_picMain, mouse->position());
        const auto [x, y] = inHandle(index, inSurface);
        if (mouse->button() == Qt::LeftButton) {
            m_dragHandle = index;
            m_picMain->grabMouse();
        }
        m_act([&] { m_app.HandlePress(index, x, y, ToButton(mouse->button())); });
        return true;
    }
    if (watched != m_picMain || m_dragHandle < 0 || type == QEvent::MouseButtonPress)
        return QFrame::eventFilter(watched, event);

    const int index = m_dragHandle;
    const auto [x, y] = inHandle(index, mouse->position());
    if (type == QEvent::MouseMove) {
        m_act([&] { m_app.HandleMove(index, x, y, mouse->buttons() == Qt::LeftButton); });
    } else if (mouse->button() == Qt::LeftButton) {
        m_dragHandle = -1;
        m_picMain->releaseMouse();
        m_act([&] { m_app.HandleRelease(index); });
    }
    return true;
}

} // namespace vistrel::qt
