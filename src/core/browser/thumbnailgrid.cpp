#include "core/browser/thumbnailgrid.h"

#include <algorithm>
#include <utility>

namespace vistrel::core {

ThumbnailGrid::ThumbnailGrid(MainWindowModel& model, ThumbnailSheet& sheet,
                             FolderBrowser& browser, ThumbnailGridHooks& hooks)
    : m_model(model), m_sheet(sheet), m_browser(browser), m_hooks(hooks) {}

void ThumbnailGrid::MouseDown(int index, CellZone zone, MouseButton button) {
    if (index < 0 || index >= m_sheet.cellCount()) return;
    m_pressed = CellHit{index, zone};
    m_menuTookRelease = false;

    if (zone == CellZone::Image && button == MouseButton::Left) {
        m_sheet.setFocusedCell(index);
        m_hooks.setCurrentFileIndex(index);
        if (m_browser.ShiftHeld() == 1) {
            m_hooks.toggleAndLoadImage();
        } else {
            m_hooks.loadSelectedImage();
        }
    } else if (zone == CellZone::Frame) {
        // A cell takes the focus on any press; nothing is loaded until the release.
        m_sheet.setFocusedCell(index);
        m_hooks.setCurrentFileIndex(index);
    }

    if (button == MouseButton::Right && zone != CellZone::Caption) {
        // The open menu receives the release; the selection stays as it was.
        m_menuTookRelease = true;
        m_hooks.popupMenu(ThumbnailMenu, ThumbnailMenuHidden);
    }
}

void ThumbnailGrid::MouseUp(int index, CellZone zone, MouseButton /*button*/) {
    const CellHit target = m_pressed.value_or(CellHit{index, zone});
    m_pressed.reset();
    if (std::exchange(m_menuTookRelease, false)) return;
    if (target.index < 0 || target.index >= m_sheet.cellCount()) return;
    if (target.zone != CellZone::Frame) return;

    m_hooks.setCurrentFileIndex(target.index);
    if (m_browser.ShiftHeld() == 1) {
        m_hooks.toggleAndLoadImage();
    } else {
        m_hooks.loadSelectedImage();
    }
    m_browser.setShiftHeld(0);
}

void ThumbnailGrid::KeyDown(CellKey key) {
    if (m_sheet.focusedCell() < 0) return;
    switch (key) {
    case CellKey::Delete: m_hooks.deleteSelected(); break;
    case CellKey::Up: m_hooks.zoomIn(); break;
    case CellKey::Down: m_hooks.zoomOut(); break;
    case CellKey::Left: m_hooks.showPrevious(); break;
    case CellKey::Right: m_hooks.showNext(); break;
    case CellKey::Enter: m_hooks.fullScreen(); break;
    case CellKey::Shift: m_browser.setShiftHeld(1); break;
    case CellKey::Other: break;
    }
}

void ThumbnailGrid::KeyUp(CellKey /*key*/) {
    if (m_sheet.focusedCell() < 0) return;
    m_browser.setShiftHeld(0);
}

void ThumbnailGrid::VScroll_Change(int value) {
    m_model.vScrollState.value = std::clamp(value, 0, std::max(m_model.vScrollState.maximum, 0));
    m_sheet.VScroll_Change();
}

bool ThumbnailGrid::PrintEntry() {
    if (m_hooks.selectionEmpty()) {
        m_model.status.setText(StatusBarState::Status, "No images selected");
        return false;
    }
    return true;
}

} // namespace vistrel::core
