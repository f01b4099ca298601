#include "core/editing/selectiontool.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <exception>
#include <utility>

#include "core/app/apptitle.h"
#include "core/app/numbers.h"
#include "core/editing/stretch.h"

namespace vistrel::core {

namespace {
constexpr const char* kNothingToCrop =
    "Please select the area of the image that you would like to crop.";
} // namespace

SelectionTool::SelectionTool(MainWindowModel& model, FullScreenModel& fullScreen,
                             CurrentImage& current, SelectionRect& rect, ZoomPan& zoom,
                             Dialogs& dialogs)
    : m_model(model), m_fullScreen(fullScreen), m_current(current), m_rect(rect), m_zoom(zoom),
      m_dialogs(dialogs) {}

void SelectionTool::Select() {
    m_rect.SelectMode = 1;
    m_zoom.SetSurfaceCursor(Cursor::Cross);
}

void SelectionTool::Mover() {
    if (!Active()) return;
    m_rect.XorCurrent();
    m_rect.ClearSelection();
}

void SelectionTool::SelectAll() {
    if (Active()) m_rect.XorCurrent();
    m_rect.SelectMode = 1;
    m_rect.PanStartX = 0;
    m_rect.PanStartY = 0;
    // 10 twips inside, so that the right and bottom lines stay on the surface.
    m_rect.SelectEndX = RoundHalfEven(m_model.picMain.innerWidth() - 10);
    m_rect.SelectEndY = RoundHalfEven(m_model.picMain.innerHeight() - 10);
    m_rect.XorCurrent();
}

void SelectionTool::LeftPress() {
    if (Active()) m_rect.XorCurrent();
}

void SelectionTool::RightPress() {
    if (!Active()) return;
    m_rect.XorCurrent();
    m_rect.SelectMode = 0;
}

void SelectionTool::Move(double x, double y, bool leftOnly) {
    if (!Active()) return;
    m_zoom.SetSurfaceCursor(m_model.status.busy() ? Cursor::Busy : Cursor::Cross);
    if (!leftOnly) return;
    m_rect.XorCurrent();
    m_rect.SelectEndX = RoundHalfEven(x);
    m_rect.SelectEndY = RoundHalfEven(y);
    m_rect.XorCurrent();
}

void SelectionTool::Release() {
    if (!Active()) return;
    // The rectangle stays on the screen as drawn; only the corners are clipped.
    const auto width = static_cast<std::int64_t>(m_model.picMain.width);
    const auto height = static_cast<std::int64_t>(m_model.picMain.height);
    m_rect.SelectEndX = std::clamp<std::int64_t>(m_rect.SelectEndX, 0, width);
    m_rect.PanStartX = std::clamp<std::int64_t>(m_rect.PanStartX, 0, width);
    m_rect.SelectEndY = std::clamp<std::int64_t>(m_rect.SelectEndY, 0, height);
    m_rect.PanStartY = std::clamp<std::int64_t>(m_rect.PanStartY, 0, height);
}

void SelectionTool::Crop() {
    if (!m_current.PictureShown()) return;
    SelectionRect& r = m_rect;
    if (r.SelectEndX < 0 || r.PanStartX < 0 || r.SelectEndX == r.PanStartX ||
        r.SelectEndY == r.PanStartY) {
        m_dialogs.MessageBox(kNothingToCrop, AppTitle, MessageButtons::OK, MessageIcon::Information);
        Select();
        return;
    }
    std::int64_t x1 = r.PanStartX, y1 = r.PanStartY, x2 = r.SelectEndX, y2 = r.SelectEndY;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);

    // Displayed twips to natural twips, then to pixels of the working picture.
    const double scale = 1 + m_current.ZoomOffset;
    const double tpp = m_current.TwipsPerPixel();
    const auto natural = [&](std::int64_t v) {
        return RoundHalfEven(static_cast<double>(v) / scale);
    };
    const auto pixels = [&](std::int64_t twips) {
        return RoundHalfEven(static_cast<double>(twips) / tpp);
    };
    const std::int64_t nx1 = natural(x1), ny1 = natural(y1);
    const std::int64_t nw = natural(x2) - nx1, nh = natural(y2) - ny1;

    const Image& source = m_current.picload();
    // The rounding may reach a pixel beyond the picture; a sliver thinner than a pixel at a
    // high zoom still keeps one.
    const int left = static_cast<int>(std::clamp<std::int64_t>(pixels(nx1), 0, source.width() - 1));
    const int top = static_cast<int>(std::clamp<std::int64_t>(pixels(ny1), 0, source.height() - 1));
    const int width =
        static_cast<int>(std::clamp<std::int64_t>(pixels(nw), 1, source.width() - left));
    const int height =
        static_cast<int>(std::clamp<std::int64_t>(pixels(nh), 1, source.height() - top));

    Image cropped(width, height);
    for (int y = 0; y < height; ++y)
        std::copy_n(source.row(top + y) + left, width, cropped.row(y));
    // The information line keeps the loaded size; only the resizes rewrite it.
    m_current.ReplacePicture(std::move(cropped), false);

    m_rect.ClearSelection();
    m_zoom.ApplyZoom();
    m_current.CenterPicture();
}

void SelectionTool::HandlePress(int handle, double x, double y) {
    if (handle < 0 || handle >= ResizeHandleBoxes::Count || !m_current.PictureShown()) return;
    if (!CommitDisplayedSize()) return;
    m_dragHandle = handle;
    m_grabX = RoundHalfEven(x);
    m_grabY = RoundHalfEven(y);
    m_zoom.HideResizeHandles();
}

void SelectionTool::HandleMove(int handle, double x, double y, bool leftOnly) {
    if (handle != m_dragHandle || !leftOnly) return;
    using H = ResizeHandleBoxes;
    const double dx = static_cast<double>(RoundHalfEven(x) - m_grabX);
    const double dy = static_cast<double>(RoundHalfEven(y) - m_grabY);
    const double w = m_current.NaturalWidth();
    const double h = m_current.NaturalHeight();
    // The top-left box sits just outside both the left and the top edge.
    const Box& corner = m_model.resizeHandles.boxes[H::TL];

    Box picture = m_model.picMain;
    const bool left = handle == H::TL || handle == H::BL || handle == H::MLeft;
    const bool right = handle == H::TR || handle == H::BR || handle == H::MRight;
    const bool top = handle == H::TL || handle == H::MTop || handle == H::TR;
    const bool bottom = handle == H::BL || handle == H::MBottom || handle == H::BR;
    if (left) {
        picture.width = w - dx;
        picture.left = dx + corner.left + corner.width;
    }
    if (right) picture.width = w + dx;
    if (top) {
        picture.height = h - dy;
        picture.top = dy + corner.top + corner.height;
    }
    if (bottom) picture.height = h + dy;
    // The surface refuses a size below one pixel; the step is left out.
    const double tpp = m_current.TwipsPerPixel();
    if (picture.width < tpp || picture.height < tpp) return;
    // The qt layer draws the picture stretched into whatever size picMain has.
    m_model.picMain = picture;
}

void SelectionTool::HandleRelease(int handle) {
    if (handle != m_dragHandle) return;
    m_dragHandle = -1;
    CommitDisplayedSize();
}

bool SelectionTool::CommitDisplayedSize() {
    try {
        const double tpp = m_current.TwipsPerPixel();
        const auto width = RoundHalfEven(m_model.picMain.width / tpp);
        const auto height = RoundHalfEven(m_model.picMain.height / tpp);
        if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX)
            throw std::length_error("The picture cannot take this size.");
        const Image& shown = m_current.DisplaySource();
        if (width != m_current.picload().width() || height != m_current.picload().height() ||
            &shown != &m_current.picload())
            m_current.ReplacePicture(
                StretchImage(shown, static_cast<int>(width), static_cast<int>(height)), false);
        m_current.RewriteLabel();
    } catch (const std::exception& failure) {
        m_zoom.HideResizeHandles();
        m_model.status.setText(StatusBarState::Status, std::string("Error: ") + failure.what());
        return false;
    }
    // picMain keeps its place; both surfaces show the new picture at its natural size.
    m_model.picMain.width = m_current.NaturalWidth();
    m_model.picMain.height = m_current.NaturalHeight();
    m_fullScreen.picMain.width = m_current.NaturalWidth();
    m_fullScreen.picMain.height = m_current.NaturalHeight();
    CenterInPane(m_fullScreen.picMain, m_fullScreen.picDisplay);
    m_zoom.PlaceResizeHandles();

    m_current.ZoomOffset = 0;
    m_rect.ClearSelection();
    m_model.status.setText(StatusBarState::Zoom, "Zoom: 100%");
    if (!m_model.picDisplay.visible) m_fullScreen.visible = true;
    return true;
}

} // namespace vistrel::core
