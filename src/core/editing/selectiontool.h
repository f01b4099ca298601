#pragma once

#include <cstdint>

#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"
#include "core/editing/selectionrect.h"
#include "core/platform/dialogs.h"
#include "core/viewer/currentimage.h"
#include "core/viewer/fullscreenmodel.h"
#include "core/viewer/zoompan.h"

namespace vistrel::core {

// The picture surface's editing gestures: the Select tool's rubber band and Crop, and the
// eight handle boxes that stretch the picture to a new size.
class SelectionTool {
public:
    SelectionTool(MainWindowModel& model, FullScreenModel& fullScreen, CurrentImage& current,
                  SelectionRect& rect, ZoomPan& zoom, Dialogs& dialogs);

    // --- Tools menu ------------------------------------------------------------------------
    void Select();
    void Mover();
    void SelectAll();
    // Cuts the picture to the rectangle; without a usable one it says so and turns the Select
    // tool on.
    void Crop();

    // --- the Select tool's steps around the surface's own press, move and release ----------
    // Left press on the picture, before the press is recorded.
    void LeftPress();
    void RightPress();
    // A move while the Select tool is active (x, y in the surface's twips).
    void Move(double x, double y, bool leftOnly);
    // Release after a press on the picture: the corners are clipped to the surface.
    void Release();
    bool Active() const { return m_rect.SelectMode == 1; }

    // --- handle drags (x, y inside the handle box, twips) --------------------------------
    void HandlePress(int handle, double x, double y);
    void HandleMove(int handle, double x, double y, bool leftOnly);
    void HandleRelease(int handle);

    // The picture's displayed size becomes its natural size: a zoom or a stretch in force
    // turns into a real resize at 100 %. False, with the handles hidden, when it failed.
    bool CommitDisplayedSize();

private:
    MainWindowModel& m_model;
    FullScreenModel& m_fullScreen;
    CurrentImage& m_current;
    SelectionRect& m_rect;
    ZoomPan& m_zoom;
    Dialogs& m_dialogs;

    int m_dragHandle = -1; // the handle a press started a drag on
    std::int64_t m_grabX = 0;
    std::int64_t m_grabY = 0;
};

} // namespace vistrel::core
