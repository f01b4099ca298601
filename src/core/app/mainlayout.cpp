#include "core/app/mainlayout.h"

#include <algorithm>

#include "core/app/numbers.h"
#include "core/app/windowplacement.h"

namespace vistrel::core {

namespace {

constexpr Twips kExplorerWidth = 1935;
constexpr Twips kPaneGap = 60;
constexpr Twips kExplorerAndGap = kExplorerWidth + kPaneGap; // 1995, where the display pane starts
constexpr Twips kFileStripHeight = 360;                      // strip above the display pane
constexpr Twips kMinPreviewMargin = 555; // beyond one cell, the narrowest thumbnail pane

} // namespace

MainLayout::MainLayout(MainWindowModel& model, ThumbnailSheet& sheet, LayoutHooks& hooks)
    : m_model(model), m_sheet(sheet), m_hooks(hooks) {}

LayoutResult MainLayout::LayoutMainWindow() {
    MainWindowModel& m = m_model;
    const WindowFrame& frame = m.frame;
    if (frame.state == WindowState::Minimized) return {LayoutResult::Outcome::Skipped, 0};

    // A maximized window cannot be resized, so it is laid out however small it is.
    const bool normal = frame.state == WindowState::Normal;
    const Twips minWidth = m.picPreview.left + kMinPreviewMargin + m.picCase0.width;
    if (normal && frame.outerWidth < minWidth) return {LayoutResult::Outcome::ResizeWidth, minWidth};
    const Twips minHeight = m.flbList.top + m.picExplorer.top + 1500;
    if (normal && frame.outerHeight < minHeight)
        return {LayoutResult::Outcome::ResizeHeight, minHeight};

    // The status bar is docked to the client area's bottom edge.
    m.statusBar.top = frame.innerHeight - m.statusBar.height;
    m.statusBar.width = frame.innerWidth;

    const Twips bars = m.coolBar.height + m.statusBar.height;
    m.picPreview.width = frame.innerWidth - m.picPreview.left;
    m.picPreview.height = frame.innerHeight - (bars + 30);
    m.picDisplay.height = frame.innerHeight - (bars + 370);
    m.picExplorer.height = frame.innerHeight - (bars + 30);
    m_sheet.FitToPane();
    m.flbList.height = m.picExplorer.innerHeight() - m.flbList.top;
    m.coolBar.width = frame.innerWidth;

    auto& panels = m.status.panels;
    const Twips frameAllowance = frame.state == WindowState::Maximized ? 230 : 480;
    panels[StatusBarState::Status].width =
        frame.outerWidth -
        (panels[StatusBarState::Images].width + panels[StatusBarState::Zoom].width +
         panels[StatusBarState::Loading].width + frameAllowance);
    // Placed from the status bar itself: an offset from the outer height fits one frame style only.
    const Twips panel4Left = panels[StatusBarState::Images].width +
                             panels[StatusBarState::Zoom].width +
                             panels[StatusBarState::Status].width;
    m.progressBar.top = m.statusBar.top + 30;
    m.progressBar.left = panel4Left + 30;

    m_hooks.CenterPicture();
    if (m_sheet.cellCount() > 1) m_sheet.ResizeCases();
    m_sheet.UpdateScrollRange();
    return {LayoutResult::Outcome::LaidOut, 0};
}

Twips MainLayout::ClampDisplayWidth(Twips width, Twips screenWidth) const {
    const MainWindowModel& m = m_model;
    const Twips widest =
        screenWidth - (m.picDisplay.left + kPaneGap + kMinPreviewMargin + m.picCase0.width);
    return placement::Clamp(width, m.picCase0.width, std::max(widest, m.picCase0.width));
}

void MainLayout::SetDisplayWidth(Twips width) {
    m_model.picDisplay.width = width;
    m_model.picFile.width = width;
    m_model.lblFile.width = width;
}

void MainLayout::PreviewBesideDisplay() {
    m_model.picPreview.left = m_model.picDisplay.right() + kPaneGap;
}

void MainLayout::StartWithDisplayHidden() {
    MainWindowModel& m = m_model;
    m.picPreview.left = m.picDisplay.left;
    m.picPreview.width = m.frame.innerWidth - (m.picDisplay.right() + kPaneGap);
}

void MainLayout::StartWithExplorerHidden() {
    MainWindowModel& m = m_model;
    if (m.picDisplay.visible) {
        m.picPreview.left = m.picDisplay.right() + kPaneGap;
        m.picPreview.width = m.frame.innerWidth - (m.picDisplay.right() + kPaneGap);
    } else {
        m.picPreview.left = m.picExplorer.left;
        m.picPreview.width = m.frame.innerWidth;
    }
}

void MainLayout::ToolStripHeightChanged(Twips height) {
    MainWindowModel& m = m_model;
    if (height == m.coolBar.height) return;
    m.coolBar.height = height;
    const Twips paneTop = m.coolBar.top + m.coolBar.height + 30;
    m.picExplorer.top = paneTop;
    m.picPreview.top = paneTop;
    m.picDisplay.top = paneTop + kFileStripHeight;
    m.picFile.top = paneTop;

    const Twips statusTop = m.statusBar.top;
    m.picExplorer.height = statusTop - m.picPreview.top;
    m.picPreview.height = statusTop - m.picPreview.top;
    m.picDisplay.height = statusTop - m.picPreview.top - kFileStripHeight;
    m_sheet.FitToPane();
    m_sheet.UpdateScrollRange();
}

bool MainLayout::inSplitterGap(Twips x) const {
    return x > m_model.picDisplay.right() && x < m_model.picPreview.left;
}

// Any button starts a drag; the button is taken so the window can pass its event on unchanged.
bool MainLayout::SplitterPress(MouseButton /*button*/, Twips x) {
    if (!inSplitterGap(x)) return false;
    m_pressX = static_cast<int>(RoundHalfEven(x));
    m_model.cursor = Cursor::SizeWestEast;
    m_dragging = true;
    m_widthAtPress = static_cast<int>(RoundHalfEven(m_model.picDisplay.width));
    return true;
}

Cursor MainLayout::SplitterMove(Twips x) {
    MainWindowModel& m = m_model;
    const Twips displayLeft = m.picDisplay.left;
    const Twips cell = m.picCase0.width;
    const Twips outerWidth = m.frame.outerWidth;
    const Twips leftLimit =
        m.picExplorer.visible ? displayLeft + cell : displayLeft + cell + kExplorerAndGap;

    if (m_dragging && x < outerWidth - (cell + kMinPreviewMargin) && leftLimit < x) {
        m.picDisplay.width = m_widthAtPress + (x - m_pressX);
        m.picFile.width = m.picDisplay.width;
        m.lblFile.width = m.picFile.width;
        m.picPreview.left = m.picDisplay.left + m.picDisplay.width + kPaneGap;
        m.picPreview.width = outerWidth - m.picPreview.left - 140;
        m_sheet.FitToPane();
    }
    m.cursor = inSplitterGap(x) ? Cursor::SizeWestEast : Cursor::Default;
    return m.cursor;
}

void MainLayout::SplitterRelease() {
    if (!m_dragging) return;
    m_dragging = false;
    m_hooks.CenterPicture();
    if (m_sheet.cellCount() >= 1 && m_hooks.picMainVisible() && m_hooks.resizeHandles() == 1) {
        m_sheet.ResizeCases();
        m_hooks.PlaceResizeHandles();
    }
    m_sheet.UpdateScrollRange();
    m_model.cursor = Cursor::Default;
}

void MainLayout::PointerOverPane() {
    if (!m_dragging) m_model.cursor = Cursor::Default;
}

void MainLayout::ToggleExplorer() {
    MainWindowModel& m = m_model;
    const Twips innerWidth = m.frame.innerWidth;
    if (m.picExplorer.visible) {
        m.picExplorer.visible = false;
        if (!m.picDisplay.visible) {
            m.picExplorer.width = 0;
            m.picPreview.width = innerWidth;
            m.picPreview.left = m.picExplorer.left;
            m_sheet.FitToPane();
            m_sheet.ResizeCases();
            m_sheet.UpdateScrollRange();
        } else {
            // The display pane grows over the explorer's place; the thumbnail pane stays put.
            m.picDisplay.width += kExplorerAndGap;
            m.picDisplay.left = m.picExplorer.left;
            m.picFile.left = m.picDisplay.left;
            m.picFile.width = m.picDisplay.width;
            m.lblFile.width = m.picFile.width;
            m.picExplorer.width = 0;
        }
    } else {
        m.picExplorer.width = kExplorerWidth;
        if (m.picDisplay.visible) {
            m.picDisplay.left = kExplorerAndGap;
            m.picDisplay.width -= kExplorerAndGap;
            m.picFile.left = m.picDisplay.left;
            m.picFile.width = m.picDisplay.width;
            m.lblFile.width = m.picFile.width;
        } else {
            m.picPreview.width = innerWidth - kExplorerAndGap;
            m.picPreview.left = m.picExplorer.left + m.picExplorer.width + kPaneGap;
            m_sheet.FitToPane();
            m_sheet.ResizeCases();
            m_sheet.UpdateScrollRange();
        }
        m.picExplorer.visible = true;
    }
    m_hooks.CenterPicture();
}

LayoutResult MainLayout::ToggleDisplay() {
    MainWindowModel& m = m_model;
    if (m.picDisplay.visible) {
        m.picPreview.width = m.picDisplay.width + m.picPreview.width + 100;
        m.picPreview.left = m.picDisplay.left;
        m_sheet.BackToScrollBar();
        if (m_sheet.cellCount() > 1) m_sheet.ResizeCases();
        m.picDisplay.visible = false;
        m.picFile.visible = false;
    } else {
        m.picDisplay.left =
            m.picExplorer.visible ? m.picExplorer.width + kPaneGap : m.picExplorer.width;
        m.picFile.left = m.picDisplay.left;
        m.picPreview.left = m.picDisplay.left + m.picDisplay.width + kPaneGap;
        m.picPreview.width = m.frame.outerWidth - m.picPreview.left - 160;
        m.picDisplay.visible = true;
        m.picFile.visible = true;
    }

    const LayoutResult result = LayoutMainWindow();
    m_sheet.BackToScrollBar();
    if (m_sheet.cellCount() > 1) m_sheet.ResizeCases();
    m_sheet.UpdateScrollRange();
    return result;
}

} // namespace vistrel::core
