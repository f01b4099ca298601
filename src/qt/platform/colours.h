#pragma once

#include <QColor>
#include <QPalette>

#include "core/app/colour.h"

namespace vistrel::qt {

// A settings colour (0x00BBGGRR, or a system colour by index) as the palette shows it.
QColor ToQColor(core::Colour colour, const QPalette& palette);

} // namespace vistrel::qt
