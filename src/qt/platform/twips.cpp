#include "qt/platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include "core/app/numbers.h"

namespace vistrel::qt {

double TwipsPerPixel(const QWidget* widget) {
    const QScreen* screen = widget && widget->screen() ? widget->screen()
                                                       : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int ToPixels(core::Twips twips, double twipsPerPixel) {
    return static_cast<int>(core::RoundHalfEven(twips / twipsPerPixel));
}

core::Twips ToTwips(int pixels, double twipsPerPixel) { return pixels * twipsPerPixel; }

QRect ToPixelRect(const core::Box& box, double tpp) {
    // Edges are rounded, not sizes, so neighbouring boxes keep their gaps exact.
    const int left = ToPixels(box.left, tpp);
    const int top = ToPixels(box.top, tpp);
    return QRect(left, top, ToPixels(box.left + box.width, tpp) - left,
                 ToPixels(box.top + box.height, tpp) - top);
}

} // namespace vistrel::qt
