#pragma once

#include "core/app/application.h"

namespace vistrel::bench {

// Selects every picture of the grid as a user would: the first by a click, the rest with
// Shift held.
inline void SelectEveryPicture(core::Application& app) {
    app.CellPress(0, core::CellZone::Image, core::MouseButton::Left);
    for (int i = 1; i < app.Sheet().cellCount(); ++i) {
        app.CellKey(core::Key::Shift, true);
        app.CellPress(i, core::CellZone::Image, core::MouseButton::Left);
        app.CellKey(core::Key::Shift, false);
    }
}

} // namespace vistrel::bench
