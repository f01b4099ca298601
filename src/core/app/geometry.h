#pragma once

namespace vistrel::core {

// Lengths are twips (1/1440 inch).
using Twips = double;

// A control's place inside its container, as the window shows it.
struct Box {
    Twips left = 0;
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
    bool visible = true;
    Twips border = 0; // width of a sunken frame drawn inside the box

    Twips right() const { return left + width; }
    Twips bottom() const { return top + height; }
    Twips innerWidth() const { return width - 2 * border; }
    Twips innerHeight() const { return height - 2 * border; }
    bool operator==(const Box&) const = default;
};

enum class WindowState { Normal, Minimized, Maximized };

enum class Cursor { Default, SizeWestEast, Busy, SizeAll, Cross };

enum class MouseButton { None, Left, Right, Middle };

} // namespace vistrel::core
