#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"
#include "core/app/settingsstore.h"
#include "core/editing/selectionrect.h"
#include "core/viewer/currentimage.h"
#include "core/viewer/fullscreenmodel.h"
#include "core/viewer/resizehandles.h"

namespace vistrel::core {

// One fixed level of the Zoom menu.
struct ZoomLevel {
    const char* name;    // menu item, e.g. "mnu300"
    const char* percent; // the command argument and the caption without "%", e.g. "300"
    double offset;       // ZoomOffset: scale = 1 + offset
};

inline constexpr std::array<ZoomLevel, 10> ZoomLevels{{
    {"mnu10", "10", -0.9},
    {"mnu25", "25", -0.75},
    {"mnu50", "50", -0.5},
    {"mnu75", "75", -0.25},
    {"mnu100", "100", 0},
    {"mnu150", "150", 0.5},
    {"mnu200", "200", 1.0},
    {"mnu300", "300", 2.0},
    {"mnu500", "500", 4.0},
    {"mnu700", "700", 6.0},
}};

// The level named by its menu item ("mnu300") or its percentage ("300"); null if none.
const ZoomLevel* FindZoomLevel(std::string_view nameOrPercent);

// Keys the picture surfaces react to; everything else is Other.
enum class PictureKey { Delete, Up, Down, Left, Right, Enter, Other };

// The commands the main picture surface's keys and right button run. The application
// implements them through its command table.
class PictureSurfaceHooks {
public:
    virtual ~PictureSurfaceHooks() = default;
    virtual void deleteSelected() = 0;
    virtual void zoomIn() = 0;
    virtual void zoomOut() = 0;
    virtual void showPrevious() = 0;
    virtual void showNext() = 0;
    virtual void fullScreen() = 0;
    // Pops the named context menu up at the pointer with the named entries hidden.
    virtual void popupMenu(const std::string& menu, const std::vector<std::string>& hidden) = 0;
};

// The context menu of a right press on the picture: all of its entries are shown.
inline constexpr const char* PictureMenu = "mnuRightDisplay";

// Zoom of both picture surfaces, dragging the picture about, and the resize handles.
// ZoomOffset itself lives in CurrentImage, since every load resets it.
class ZoomPan {
public:
    ZoomPan(MainWindowModel& model, FullScreenModel& fullScreen, CurrentImage& current,
            SelectionRect& selection, ResizeHandleBoxes& handles, const ViewSettings& settings,
            PictureSurfaceHooks& hooks, char decimalSeparator = '.');

    // --- zoom ----------------------------------------------------------------------------
    // A Zoom menu level: ZoomOffset := offset, then ApplyZoom.
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
    void RightPress(double x, double y);
    void KeyDown(PictureKey key);
    // The main picture surface's own pointer; the window-wide pointer (model.cursor) is
    // left to the splitter and the busy state.
    Cursor SurfaceCursor() const { return m_surfaceCursor; }

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
    PictureSurfaceHooks& m_hooks;
    char m_decimalSeparator;

    std::int64_t m_zoomedWidth = 0;
    std::int64_t m_zoomedHeight = 0;
    Cursor m_surfaceCursor = Cursor::SizeAll;
    bool m_pressed = false; // a left press on the picture started a drag
    std::int64_t m_fullScreenStartX = 0;
    std::int64_t m_fullScreenStartY = 0;
};

} // namespace vistrel::core
