#pragma once

namespace vistrel::core {

// The Select tool's rectangle on the main picture surface, in the surface's own twips.
// The drag start of the picture and the rectangle's start corner are the same point.
struct SelectionRect {
    int SelectMode = 0; // 1 while the Select tool is active, 0 for the dragging tool
    int PanStartX = 0;
    int PanStartY = 0;
    int SelectEndX = 0;
    int SelectEndY = 0;

    // Select tool off, both corners at zero.
    void ClearSelection() {
        SelectMode = 0;
        PanStartX = 0;
        PanStartY = 0;
        SelectEndX = 0;
        SelectEndY = 0;
    }
};

} // namespace vistrel::core
