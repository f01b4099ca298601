#include "core/browser/thumbnailgrid.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/app/numbers.h"

namespace vistrel::core {

namespace {

constexpr int kLinesPerRow = 3; // so a notch of the usual three lines moves one row
constexpr int kMaxWheelLines = 100;

} // namespace

ThumbnailGrid::ThumbnailGrid(MainWindowModel& model, ThumbnailSheet& sheet,
                             FolderBrowser& browser, PictureLoads& loads, CommandSink& commands)
    : m_model(model), m_sheet(sheet), m_browser(browser), m_loads(loads), m_commands(commands) {}

void ThumbnailGrid::MouseDown(int index, CellZone zone, MouseButton button) {
    if (index < 0 || index >= m_sheet.cellCount()) return;
    m_pressed = CellHit{index, zone};
    m_menuTookRelease = false;

    if (zone == CellZone::Image && button == MouseButton::Left) {
        m_sheet.setFocusedCell(index);
        LoadClicked(m_loads, index, m_browser.ShiftHeld() == 1);
    } else if (zone == CellZone::Frame) {
        // A cell takes the focus on any press; nothing is loaded until the release.
        m_sheet.setFocusedCell(index);
        m_loads.setCurrentFileIndex(index);
    }

    if (button == MouseButton::Right && zone != CellZone::Caption) {
        // The open menu receives the release; the selection stays as it was.
        m_menuTookRelease = true;
        m_commands.Run(Command::ContextMenu, "cell");
    }
}

void ThumbnailGrid::MouseUp(int index, CellZone zone, MouseButton /*button*/) {
    const CellHit target = m_pressed.value_or(CellHit{index, zone});
    m_pressed.reset();
    if (std::exchange(m_menuTookRelease, false)) return;
    if (target.index < 0 || target.index >= m_sheet.cellCount()) return;
    if (target.zone != CellZone::Frame) return;

    LoadClicked(m_loads, target.index, m_browser.ShiftHeld() == 1);
    m_browser.setShiftHeld(0);
}

void ThumbnailGrid::KeyDown(Key key) {
    if (Scrollable()) {
        const ScrollSteps steps = Steps();
        switch (key) {
        case Key::PageUp: ScrollBy(-steps.page); return;
        case Key::PageDown: ScrollBy(steps.page); return;
        case Key::Home: VScroll_Change(0); return;
        case Key::End: VScroll_Change(m_model.vScrollState.maximum); return;
        default: break;
        }
    }
    if (m_sheet.focusedCell() < 0) return;
    if (key == Key::Shift) m_browser.setShiftHeld(1);
    if (const Command command = CommandForKey(KeyTarget::Cell, key); command != Command::None)
        m_commands.Run(command);
}

void ThumbnailGrid::KeyUp(Key /*key*/) {
    if (m_sheet.focusedCell() < 0) return;
    m_browser.setShiftHeld(0);
}

void ThumbnailGrid::VScroll_Change(int value) {
    m_sheet.SetScrollValue(value);
}

bool ThumbnailGrid::Scrollable() const {
    const MainWindowModel& m = m_model;
    return m.vScroll.visible && m.vScrollState.maximum > 0 &&
           m.picBack.height > m.picPreview.innerHeight();
}

// Scroll-bar units for a distance on the sheet: value max puts the sheet's bottom at the
// pane's bottom, so a unit stands for travel / max twips.
double ThumbnailGrid::UnitsFor(Twips distance) const {
    const MainWindowModel& m = m_model;
    return distance / (m.picBack.height - m.picPreview.innerHeight()) * m.vScrollState.maximum;
}

ScrollSteps ThumbnailGrid::Steps() const {
    if (!Scrollable()) return {};
    const Twips row = m_model.picCase0.height;
    const Twips pane = m_model.picPreview.innerHeight();
    const Twips page = row > 0 && pane >= row ? std::floor(pane / row) * row : pane;
    const auto toStep = [&](Twips twips) {
        const double units = UnitsFor(twips);
        // At least one unit, at most the whole range (a short travel makes units large).
        if (!(units >= 1)) return 1;
        if (units >= m_model.vScrollState.maximum) return m_model.vScrollState.maximum;
        return static_cast<int>(RoundHalfEven(units));
    };
    return {toStep(row / kLinesPerRow), toStep(page)};
}

void ThumbnailGrid::ScrollBy(int units) {
    // Both operands are within the scroll range, so the sum cannot overflow.
    VScroll_Change(m_model.vScrollState.value + units);
}

void ThumbnailGrid::Wheel(int angleDelta, int linesPerNotch) {
    if (!Scrollable()) {
        m_wheelRest = 0;
        return;
    }
    const ScrollSteps steps = Steps();
    const int lines = std::clamp(linesPerNotch, 0, kMaxWheelLines);
    // Units towards the top of the sheet (the wheel turned away from the user).
    const double units = angleDelta / 120.0 * lines * steps.line;
    if ((units > 0 && m_wheelRest < 0) || (units < 0 && m_wheelRest > 0)) m_wheelRest = 0;
    m_wheelRest += units;
    const double whole = std::trunc(m_wheelRest);
    m_wheelRest -= whole;
    const int move = static_cast<int>(std::clamp(whole, double(-steps.page), double(steps.page)));
    if (move == 0) return;
    const int before = m_model.vScrollState.value;
    ScrollBy(-move);
    // At an end the rest would only build up against it.
    if (m_model.vScrollState.value == before) m_wheelRest = 0;
}

void ThumbnailGrid::ScrollIntoView(int index) {
    if (!Scrollable() || index < 0 || index >= m_sheet.cellCount()) return;
    const Box cell = m_sheet.cell(index).cell;
    const Twips pane = m_model.picPreview.innerHeight();
    const Twips shownTop = -m_model.picBack.top;
    const bool above = cell.top < shownTop;
    const bool below = cell.bottom() > shownTop + pane;
    if (!above && !below) return;
    // Rounded towards the cell, so a unit's worth of twips cannot cut its edge off.
    double units = above || cell.height > pane ? std::floor(UnitsFor(cell.top))
                                               : std::ceil(UnitsFor(cell.bottom() - pane));
    units = std::clamp(units, 0.0, double(m_model.vScrollState.maximum));
    VScroll_Change(static_cast<int>(units));
}

} // namespace vistrel::core
