#include "qt/platform/twips.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

namespace {
int Saturated(std::int64_t pixels) {
    return static_cast<int>(std::clamp<std::int64_t>(pixels, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}
} // namespace

int ToPixels(core::Twips twips, double twipsPerPixel) {
    return Saturated(core::RoundHalfEven(twips / twipsPerPixel));
}

int ToPixelsUp(core::Twips twips, double twipsPerPixel) {
    // A hair of tolerance: 9180 / 15 must stay 612, whatever the division's last bit says.
    return Saturated(core::RoundHalfEven(std::ceil(twips / twipsPerPixel - 1e-9)));
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
