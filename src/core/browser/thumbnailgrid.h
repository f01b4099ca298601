#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/app/geometry.h"
#include "core/app/mainwindowmodel.h"
#include "core/app/commandsink.h"
#include "core/app/keys.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/thumbnailsheet.h"
#include "core/viewer/pictureloads.h"

namespace vistrel::core {

// Scroll-bar steps of the sheet, in scroll-bar units. The scroll bar takes them too, so that
// the wheel over the bar and over the sheet move alike.
struct ScrollSteps {
    int line = 1;
    int page = 1;
};

// Mouse, keys and scrolling on the thumbnail sheet. Mouse calls name the cell and zone the
// pointer is over (the sheet's HitTest); presses outside every cell are not passed on.
class ThumbnailGrid {
public:
    ThumbnailGrid(MainWindowModel& model, ThumbnailSheet& sheet, FolderBrowser& browser,
                  PictureLoads& loads, CommandSink& commands);

    void MouseDown(int index, CellZone zone, MouseButton button);
    // The release belongs to whatever took the press (as the window system delivers it), so
    // the press's cell and zone are used when there was one.
    void MouseUp(int index, CellZone zone, MouseButton button);
    // The scrolling keys act whenever the sheet has the keyboard; the others only while a
    // cell has the focus.
    void KeyDown(Key key);
    void KeyUp(Key key);

    // The scroll bar's value changed or its thumb is being dragged.
    void VScroll_Change(int value);
    // The mouse wheel turned over the sheet: angleDelta in eighths of a degree (120 a notch,
    // positive away from the user), linesPerNotch as the desktop sets it. Moves as the wheel
    // over the scroll bar does: lines times the line step a notch, at most a page at once,
    // with parts of a line kept for the next turn in the same direction.
    void Wheel(int angleDelta, int linesPerNotch);
    // Scrolls the sheet the least that shows the cell whole; the top edge wins for a cell
    // higher than the pane.
    void ScrollIntoView(int index);

    // Whether the sheet is higher than the pane and the scroll bar is shown.
    bool Scrollable() const;
    // A line is a third of a row; a page is as many whole rows as the pane shows (the pane's
    // height when not one row fits).
    ScrollSteps Steps() const;


private:
    double UnitsFor(Twips distance) const;
    void ScrollBy(int units);

    MainWindowModel& m_model;
    ThumbnailSheet& m_sheet;
    FolderBrowser& m_browser;
    PictureLoads& m_loads;
    CommandSink& m_commands;
    std::optional<CellHit> m_pressed;
    bool m_menuTookRelease = false;
    double m_wheelRest = 0; // scroll-bar units not yet moved, less than one
};

} // namespace vistrel::core
