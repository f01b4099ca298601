#pragma once

#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"

namespace vistrel::core {

// What the main window's layout needs from the panes' contents (thumbnail grid, picture,
// settings). The application implements it by forwarding to the subsystems.
class LayoutHooks {
public:
    virtual ~LayoutHooks() = default;
    // Re-centres the picture in the viewing pane.
    virtual void CenterPicture() = 0;
    // Places and shows the eight resize handles around the picture.
    virtual void PlaceResizeHandles() = 0;
    // Re-arranges the thumbnail cells to the pane's width.
    virtual void ResizeCases() = 0;
    // Re-positions the thumbnail backdrop for the scroll bar's current value.
    virtual void VScroll_Change() = 0;
    // Number of thumbnail cells, cell 0 included.
    virtual int cellCount() const = 0;
    // Top + height of the cell with the highest index.
    virtual Twips lastCellBottom() const = 0;
    virtual bool picMainVisible() const = 0;
    // The ResizeHandles setting.
    virtual int resizeHandles() const = 0;
};

// Outcome of LayoutMainWindow. For the Resize outcomes the model's frame already holds the
// wanted size; the window must take it, and its resize runs the layout again.
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
    MainLayout(MainWindowModel& model, LayoutHooks& hooks);

    // Runs on every resize of the window. A normal window below its minimum width or height
    // gets the minimum size instead of a layout.
    LayoutResult LayoutMainWindow();
    // A stored display-pane width kept between one cell's width and what leaves the
    // thumbnail pane its minimum on a screen this wide.
    Twips ClampDisplayWidth(Twips width, Twips screenWidth) const;

    // Re-tops the panes below the tool strip after its height changed.
    void ToolStripHeightChanged();

    // Starts a drag when x lies in the gap between the display and thumbnail panes.
    bool SplitterPress(MouseButton button, Twips x);
    // Moves the splitter while dragging; returns the cursor for x (also set in the model).
    Cursor SplitterMove(Twips x);
    void SplitterRelease();
    bool dragging() const { return m_dragging; }

    // View > Explorer.
    void ToggleExplorer();
    // View > Display. Runs LayoutMainWindow and passes on its result.
    LayoutResult ToggleDisplay();

private:
    // Sets the backdrop height and the scroll range from the last cell, and shows the scroll
    // bar only when the sheet is higher than the pane. Runs after every change of the pane.
    void UpdateScrollRange();
    void FitScrollBarToPreview();
    bool inSplitterGap(Twips x) const;

    MainWindowModel& m_model;
    LayoutHooks& m_hooks;
    bool m_dragging = false;
    int m_widthAtPress = 0;
    int m_pressX = 0;
};

} // namespace vistrel::core
