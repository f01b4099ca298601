#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"
#include "core/browser/browserhooks.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/thumbnailsheet.h"

namespace vistrel::core {

// Keys a cell reacts to; everything else is Other.
enum class CellKey { Delete, Up, Down, Left, Right, Enter, Shift, Other };

// What the grid asks of the rest of the program. The application implements it.
class ThumbnailGridHooks : public PictureCommandHooks {
public:
    virtual void fullScreen() = 0;
    // Pops the named context menu up at the pointer with the named entries hidden.
    virtual void popupMenu(const std::string& menu, const std::vector<std::string>& hidden) = 0;
    // Whether SelectedFiles is empty.
    virtual bool selectionEmpty() const = 0;
};

// The context menu of a right press on a thumbnail, and the entries hidden in it.
inline constexpr const char* ThumbnailMenu = "mnuRightDisplay";
inline const std::vector<std::string> ThumbnailMenuHidden{"mnuLine9", "mnuZoomInR",
                                                          "mnuZoomOutR"};

// Mouse, keys and scrolling on the thumbnail sheet. Mouse calls name the cell and zone the
// pointer is over (the sheet's HitTest); presses outside every cell are not passed on.
class ThumbnailGrid {
public:
    ThumbnailGrid(MainWindowModel& model, ThumbnailSheet& sheet, FolderBrowser& browser,
                  ThumbnailGridHooks& hooks);

    void MouseDown(int index, CellZone zone, MouseButton button);
    // The release belongs to whatever took the press (as the window system delivers it), so
    // the press's cell and zone are used when there was one.
    void MouseUp(int index, CellZone zone, MouseButton button);
    // Keys act only while a cell has the focus.
    void KeyDown(CellKey key);
    void KeyUp(CellKey key);

    // The scroll bar's value changed or its thumb is being dragged.
    void VScroll_Change(int value);

    // The check before the Print dialog opens: false, with "No images selected" in panel 3,
    // when nothing is selected.
    bool PrintEntry();

private:
    MainWindowModel& m_model;
    ThumbnailSheet& m_sheet;
    FolderBrowser& m_browser;
    ThumbnailGridHooks& m_hooks;
    std::optional<CellHit> m_pressed;
    bool m_menuTookRelease = false;
};

} // namespace vistrel::core
