#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/commandsink.h"
#include "core/app/geometry.h"
#include "core/app/keys.h"
#include "core/app/mainwindowmodel.h"
#include "core/app/settingsstore.h"
#include "core/editing/selectionrect.h"
#include "core/viewer/currentimage.h"
#include "core/viewer/fullscreenmodel.h"
#include "core/viewer/resizehandles.h"
#include "core/viewer/zoomlevels.h"

namespace vistrel::core {

// Zoom of both picture surfaces, dragging the picture about, and the resize handles.
// ZoomOffset itself lives in CurrentImage, since every load resets it.
class ZoomPan {
public:
    ZoomPan(MainWindowModel& model, FullScreenModel& fullScreen, CurrentImage& current,
            SelectionRect& selection, ResizeHandleBoxes& handles, const ViewSettings& settings,
            CommandSink& commands, char decimalSeparator = '.');

    // --- zoom ----------------------------------------------------------------------------
    // A Zoom menu level: sets ZoomOffset, then applies it.
    void SetZoomLevel(double offset);
    // The same by item name or percentage; false (and nothing done) for an unknown level.
    bool SetZoomLevel(std::string_view nameOrPercent);
    // One step each; nothing at all at the ends of the range.
    void ZoomIn();
    void ZoomOut();
    // Resizes both picture surfaces to the current ZoomOffset about their own centres,
    // writes status panel 2, places the handles and clears the selection rectangle.
    // Does nothing while no picture is shown.
    void ApplyZoom();
    // The displayed picture's size as ApplyZoom last computed it, twips.
    std::int64_t ZoomedWidth() const { return m_zoomedWidth; }
    std::int64_t ZoomedHeight() const { return m_zoomedHeight; }
    // Both picture surfaces at the working picture's own size, without touching ZoomOffset:
    // after a resize the picture shows at 100 %, and the next ApplyZoom returns to the zoom
    // in force.
    void ShowNaturalSize();

    // --- resize handles ------------------------------------------------------------------
    void PlaceResizeHandles();
    void HideResizeHandles();

    // --- mouse and keys on the main picture surface (x, y in the picture's own twips) -----
    // Whether (x, y) lies on the shown picture.
    bool OnPicture(double x, double y) const;
    // Presses beside the picture are ignored, and so is the drag that follows them.
    void LeftPress(double x, double y);
    // Returns the surface's pointer shape, also kept in SurfaceCursor().
    Cursor Move(double x, double y, bool leftOnly);
    void Release();
    // A left press on the picture started a drag that has not been released.
    bool Pressed() const { return m_pressed; }
    void RightPress(double x, double y);
    void KeyDown(Key key);
    // The main picture surface's own pointer; the window-wide pointer (model.cursor) is
    // left to the splitter and the busy state.
    Cursor SurfaceCursor() const { return m_surfaceCursor; }
    // The Select tool sets the same pointer while it is active.
    void SetSurfaceCursor(Cursor cursor) { m_surfaceCursor = cursor; }

    // --- dragging on the full-screen surface: its own start point, no handles ------------
    void FullScreenLeftPress(double x, double y);
    // Returns the pointer shape, always the four-way arrow.
    Cursor FullScreenMove(double x, double y, bool leftOnly);

private:
    MainWindowModel& m_model;
    FullScreenModel& m_fullScreen;
    CurrentImage& m_current;
    SelectionRect& m_selection;
    ResizeHandleBoxes& m_handles;
    const ViewSettings& m_settings;
    CommandSink& m_commands;
    char m_decimalSeparator;

    std::int64_t m_zoomedWidth = 0;
    std::int64_t m_zoomedHeight = 0;
    Cursor m_surfaceCursor = Cursor::SizeAll;
    bool m_pressed = false; // a left press on the picture started a drag
    std::int64_t m_fullScreenStartX = 0;
    std::int64_t m_fullScreenStartY = 0;
};

} // namespace vistrel::core
