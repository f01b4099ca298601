#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

#include "core/app/colour.h"

namespace vistrel::qt {

// A settings colour (0x00BBGGRR, or a system colour by index) as the palette shows it.
QColor ToQColor(core::Colour colour, const QPalette& palette);

// A colour as a settings colour, 0x00BBGGRR.
core::Colour FromQColor(const QColor& colour);

// Fills the widget's background with the colour; nothing happens when it has it already.
void SetBackground(QWidget& widget, const QColor& colour);

} // namespace vistrel::qt
