#include "qt/platform/keyconvert.h"

namespace vistrel::qt {

core::Key ToKey(int qtKey) {
    using K = core::Key;
    switch (qtKey) {
    case Qt::Key_Delete: return K::Delete;
    case Qt::Key_Up: return K::Up;
    case Qt::Key_Down: return K::Down;
    case Qt::Key_Left: return K::Left;
    case Qt::Key_Right: return K::Right;
    case Qt::Key_Return:
    case Qt::Key_Enter: return K::Enter;
    case Qt::Key_Escape: return K::Escape;
    case Qt::Key_Shift: return K::Shift;
    case Qt::Key_PageUp: return K::PageUp;
    case Qt::Key_PageDown: return K::PageDown;
    case Qt::Key_Home: return K::Home;
    case Qt::Key_End: return K::End;
    default: return K::Other;
    }
}

core::MouseButton ToButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return core::MouseButton::Left;
    case Qt::RightButton: return core::MouseButton::Right;
    case Qt::MiddleButton: return core::MouseButton::Middle;
    default: return core::MouseButton::None;
    }
}

} // namespace vistrel::qt
