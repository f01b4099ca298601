#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vistrel::core {

// The Select tool's rectangle on the main picture surface, in the surface's own twips.
// The drag start of the picture and the rectangle's start corner are the same point.
// Coordinates are 64-bit: a zoomed picture's surface easily exceeds 32,767 twips.
struct SelectionRect {
    int SelectMode = 0; // 1 while the Select tool is active, 0 for the dragging tool
    std::int64_t PanStartX = 0;
    std::int64_t PanStartY = 0;
    std::int64_t SelectEndX = 0;
    std::int64_t SelectEndY = 0;

    // A rectangle drawn on the surface, corner to corner, in the surface's twips.
    struct Band {
        std::int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        friend bool operator==(const Band&, const Band&) = default;
    };
    // What is on the screen: rectangles drawn by exclusive-or, so drawing one a second time
    // removes it. Usually none or one.
    std::vector<Band> drawn;

    // Draws or, when the same rectangle is there already, erases. A rectangle without width
    // or height shows nothing: its opposite sides cover the same pixels and cancel out.
    void XorDraw(const Band& band) {
        if (band.x1 == band.x2 || band.y1 == band.y2) return;
        if (auto at = std::find(drawn.begin(), drawn.end(), band); at != drawn.end()) {
            drawn.erase(at);
            return;
        }
        // Leftovers can only pile up through clipping; the surface's next redraw clears them.
        if (drawn.size() >= 16) drawn.erase(drawn.begin());
        drawn.push_back(band);
    }
    // The rectangle at the current corners, drawn once more.
    void XorCurrent() { XorDraw({PanStartX, PanStartY, SelectEndX, SelectEndY}); }

    // Select tool off, both corners at zero; a redrawn surface shows no rectangle.
    void ClearSelection() {
        SelectMode = 0;
        PanStartX = 0;
        PanStartY = 0;
        SelectEndX = 0;
        SelectEndY = 0;
        drawn.clear();
    }
};

} // namespace vistrel::core
