#pragma once

#include <QRect>
#include <QWidget>

#include "core/app/geometry.h"

namespace vistrel::qt {

// Twips per pixel from the screen's logical DPI (15 at 96 DPI).
double TwipsPerPixel(const QWidget* widget = nullptr);

// Whole pixels, nearest; both saturate at the int range.
int ToPixels(core::Twips twips, double twipsPerPixel);
// Whole pixels, rounding up: at least the length asked for.
int ToPixelsUp(core::Twips twips, double twipsPerPixel);
core::Twips ToTwips(int pixels, double twipsPerPixel);
QRect ToPixelRect(const core::Box& box, double twipsPerPixel);

} // namespace vistrel::qt
