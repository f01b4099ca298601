#pragma once

#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"
#include "core/browser/thumbnailsheet.h"

namespace vistrel::core {

// What the main window's layout needs from the picture and the settings. The application
// implements it by forwarding to the subsystems.
class LayoutHooks {
public:
    virtual ~LayoutHooks() = default;
    // Re-centres the picture in the viewing pane.
    virtual void CenterPicture() = 0;
    // Places and shows the eight resize handles around the picture.
    virtual void PlaceResizeHandles() = 0;
    virtual bool picMainVisible() const = 0;
    // The ResizeHandles setting.
    virtual int resizeHandles() const = 0;
};

// Outcome of LayoutMainWindow. For the Resize outcomes the window must take the size, and
// its resize runs the layout again.
struct LayoutResult {
    enum class Outcome { Skipped, LaidOut, ResizeWidth, ResizeHeight };
    Outcome outcome = Outcome::Skipped;
    Twips size = 0; // the new outer width or outer height
    bool needsResize() const {
        return outcome == Outcome::ResizeWidth || outcome == Outcome::ResizeHeight;
    }
};

// The main window's layout arithmetic: resizing, the splitter between the display and the
// thumbnail panes, the tool strip's height, and showing or hiding the explorer and display
// panes. All lengths are twips; splitter positions are in the window's client coordinates.
class MainLayout {
public:
    MainLayout(MainWindowModel& model, ThumbnailSheet& sheet, LayoutHooks& hooks);

    // Runs on every resize of the window. A normal window below its minimum width or height
    // gets the minimum size instead of a layout.
    LayoutResult LayoutMainWindow();
    // A stored display-pane width kept between one cell's width and what leaves the
    // thumbnail pane its minimum on a screen this wide.
    Twips ClampDisplayWidth(Twips width, Twips screenWidth) const;

    // The tool strip is this high now: the panes are re-topped below it.
    void ToolStripHeightChanged(Twips height);

    // --- start-up: the stored display-pane width, and the thumbnail pane placed for it -----
    void SetDisplayWidth(Twips width);
    void PreviewBesideDisplay();
    // After the display pane was hidden at start-up.
    void StartWithDisplayHidden();
    // After the explorer was hidden at start-up, with the display pane shown or not.
    void StartWithExplorerHidden();

    // Starts a drag when x lies in the gap between the display and thumbnail panes.
    bool SplitterPress(MouseButton button, Twips x);
    // Moves the splitter while dragging; returns the cursor for x (also set in the model).
    Cursor SplitterMove(Twips x);
    void SplitterRelease();
    bool dragging() const { return m_dragging; }
    // The pointer is over a pane: away from a drag it gets the default shape back.
    void PointerOverPane();

    // View > Explorer.
    void ToggleExplorer();
    // View > Display. Runs LayoutMainWindow and passes on its result.
    LayoutResult ToggleDisplay();

private:
    bool inSplitterGap(Twips x) const;

    MainWindowModel& m_model;
    ThumbnailSheet& m_sheet;
    LayoutHooks& m_hooks;
    bool m_dragging = false;
    int m_widthAtPress = 0;
    int m_pressX = 0;
};

} // namespace vistrel::core
