#include "core/viewer/resizehandles.h"

namespace vistrel::core {

void PlaceResizeHandles(ResizeHandleBoxes& handles, const Box& p, int option) {
    if (!ResizeHandlesEnabled(option)) return;

    using H = ResizeHandleBoxes;
    const auto place = [&](H::Index i, Twips top, Twips left) {
        Box& b = handles.boxes[i];
        b.top = top;
        b.left = left;
        b.visible = true;
    };
    const auto h = [&](H::Index i) { return handles.boxes[i].height; };
    const auto w = [&](H::Index i) { return handles.boxes[i].width; };

    place(H::TL, p.top - h(H::TL), p.left - w(H::TL));
    place(H::MTop, p.top - h(H::MTop), p.left + p.width / 2 - w(H::MTop) / 2);
    place(H::TR, p.top - h(H::TR), p.left + p.width);
    place(H::MRight, p.top + p.height / 2 - h(H::MRight) / 2, p.left + p.width);
    place(H::BR, p.top + p.height, p.left + p.width);
    place(H::MBottom, p.top + p.height, p.left + p.width / 2 - w(H::MBottom) / 2);
    place(H::BL, p.top + p.height, p.left - w(H::BL));
    place(H::MLeft, p.top + p.height / 2 - h(H::MLeft) / 2, p.left - w(H::MLeft));
}

void HideResizeHandles(ResizeHandleBoxes& handles) {
    for (Box& b : handles.boxes)
        b.visible = false;
}

} // namespace vistrel::core
