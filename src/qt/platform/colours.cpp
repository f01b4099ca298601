#include "qt/platform/colours.h"

namespace vistrel::qt {

QColor ToQColor(core::Colour colour, const QPalette& palette) {
    if (!core::IsSystemColour(colour))
        return QColor(core::RedOf(colour), core::GreenOf(colour), core::BlueOf(colour));
    switch (core::SystemColourIndex(colour)) {
    case 5: return palette.color(QPalette::Base);         // window background
    case 8: return palette.color(QPalette::Text);         // window text
    case 12: return palette.color(QPalette::Window);      // application workspace
    case 13: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 18: return palette.color(QPalette::ButtonText);
    case 15:
    default: return palette.color(QPalette::Button);
    }
}

core::Colour FromQColor(const QColor& colour) {
    return static_cast<core::Colour>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

void SetBackground(QWidget& widget, const QColor& colour) {
    QPalette p = widget.palette();
    if (p.color(QPalette::Window) == colour && widget.autoFillBackground()) return;
    p.setColor(QPalette::Window, colour);
    widget.setPalette(p);
    widget.setAutoFillBackground(true);
}

} // namespace vistrel::qt
