#pragma once

#include "core/app/commands.h"

namespace vistrel::core {

// The keys any window of the program reacts to; everything else is Other.
enum class Key { Delete, Up, Down, Left, Right, Enter, Escape, Shift, PageUp, PageDown, Home, End, Other };

// Where a key went: each has its own table.
enum class KeyTarget {
    Picture,    // the main window's picture (picMain)
    FullScreen, // the full-screen window's picture
    Cell,       // a thumbnail cell
    FileList,   // the file list
};

// The command a key runs there; Command::None for keys that run none (Shift, scrolling).
Command CommandForKey(KeyTarget target, Key key);

} // namespace vistrel::core
