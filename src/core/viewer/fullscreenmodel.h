#pragma once

#include "core/app/geometry.h"

namespace vistrel::core {

// The full-screen window's state that loads, zoom and centring keep in step with the main
// window, whether the window is shown or not. Lengths in twips.
struct FullScreenModel {
    bool created = false; // the window object exists (hidden or shown) until it is closed
    bool visible = false;
    // The viewing pane; it fills the window's client area, so the qt layer sets its size.
    Box picDisplay{0, 0, 0, 0};
    Box picMain{0, 0, 0, 0};
};

} // namespace vistrel::core
