#pragma once

#include <string>
#include <vector>

#include "core/app/geometry.h"

namespace vistrel::core {

inline constexpr const char* PrintCaption = "Vistrel - Print";

enum class PrintControlKind { Frame, List, Preview, Image, Label, Check, Combo, Text, ScrollBar, Button };

// One control of the Print dialog: its objectName, kind, caption, the container it sits in
// (empty for the window itself) and its place there.
struct PrintControl {
    std::string name;
    PrintControlKind kind = PrintControlKind::Label;
    std::string caption;
    std::string container;
    Box box;
};

// Client size of the Print dialog; it is not resizable.
inline constexpr Twips PrintClientWidth = 7920;
inline constexpr Twips PrintClientHeight = 4170;

// Every control, containers before what they hold, in tab order.
const std::vector<PrintControl>& PrintControls();

// The box of the named control; an empty box for an unknown name.
Box PrintControlBox(const std::string& name);

} // namespace vistrel::core
