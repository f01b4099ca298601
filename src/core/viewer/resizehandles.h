#pragma once

#include <array>

#include "core/app/geometry.h"

namespace vistrel::core {

// The eight handle boxes around the main picture surface. They share picMain's coordinate
// space (the viewing pane's client area); the qt layer draws one small box per entry.
struct ResizeHandleBoxes {
    enum Index { TL, MTop, TR, MRight, BR, MBottom, BL, MLeft, Count };

    // objectNames, in Index order.
    static constexpr std::array<const char*, Count> Names{
        "picTL", "picMTop", "picTR", "picMRight", "picBR", "picMBottom", "picBL", "picMLeft"};
    // A handle's own width and height: 6 pixels at 96 DPI.
    static constexpr Twips Size = 90;

    std::array<Box, Count> boxes = Hidden();

    bool visible() const {
        for (const Box& b : boxes)
            if (!b.visible) return false;
        return true;
    }

private:
    static constexpr std::array<Box, Count> Hidden() {
        std::array<Box, Count> all{};
        for (Box& b : all)
            b = Box{0, 0, Size, Size, false};
        return all;
    }
};

// The "resizehandles" setting: only 1 turns the handles on, as everywhere else it is read.
inline bool ResizeHandlesEnabled(int option) {
    return option == 1;
}

// Places each handle just outside the picture and shows it; does nothing while the option
// is off.
void PlaceResizeHandles(ResizeHandleBoxes& handles, const Box& picture, int option);
void HideResizeHandles(ResizeHandleBoxes& handles);

} // namespace vistrel::core
