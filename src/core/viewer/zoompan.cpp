#include "core/viewer/zoompan.h"

#include "core/app/numbers.h"

namespace vistrel::core {

ZoomPan::ZoomPan(MainWindowModel& model, FullScreenModel& fullScreen, CurrentImage& current,
                 SelectionRect& selection, ResizeHandleBoxes& handles, const ViewSettings& settings,
                 CommandSink& commands, char decimalSeparator)
    : m_model(model), m_fullScreen(fullScreen), m_current(current), m_selection(selection),
      m_handles(handles), m_settings(settings), m_commands(commands),
      m_decimalSeparator(decimalSeparator) {}

void ZoomPan::SetZoomLevel(double offset) {
    // Stored even without a picture; the next ApplyZoom or load takes it from there.
    m_current.ZoomOffset = offset;
    ApplyZoom();
}

bool ZoomPan::SetZoomLevel(std::string_view nameOrPercent) {
    const ZoomLevel* level = FindZoomLevel(nameOrPercent);
    if (!level) return false;
    SetZoomLevel(level->offset);
    return true;
}

// Plain double arithmetic on purpose: the residues of repeated steps decide the edges
// (from 10 % upwards the step after "100 %" is already a large one).
void ZoomPan::ZoomIn() {
    double& z = m_current.ZoomOffset;
    if (!(z < 13.0)) return;
    if (z <= 0)
        z += 0.05;
    else if (z < 9.0)
        z += 0.25;
    else
        z += 1.0;
    ApplyZoom();
}

void ZoomPan::ZoomOut() {
    double& z = m_current.ZoomOffset;
    if (!(z - 0.05 > -1.0)) return;
    if (z - 0.25 <= 0)
        z -= 0.05;
    else
        z -= 0.25;
    ApplyZoom();
}

void ZoomPan::ApplyZoom() {
    if (!m_current.PictureShown()) return;

    const double scale = 1 + m_current.ZoomOffset;
    m_model.status.setText(StatusBarState::Zoom,
                           "Zoom: " + FormatNumber(scale * 100, m_decimalSeparator) + "%");

    m_zoomedHeight = RoundHalfEven(scale * m_current.NaturalHeight());
    m_zoomedWidth = RoundHalfEven(scale * m_current.NaturalWidth());

    m_current.ResizePictures(m_zoomedWidth, m_zoomedHeight);

    PlaceResizeHandles();
    m_selection.ClearSelection();
}

void ZoomPan::ShowNaturalSize() {
    m_zoomedWidth = RoundHalfEven(m_current.NaturalWidth());
    m_zoomedHeight = RoundHalfEven(m_current.NaturalHeight());
    for (Box* surface : {&m_model.picMain, &m_fullScreen.picMain}) {
        surface->width = static_cast<Twips>(m_zoomedWidth);
        surface->height = static_cast<Twips>(m_zoomedHeight);
    }
}

void ZoomPan::PlaceResizeHandles() {
    core::PlaceResizeHandles(m_handles, m_model.picMain, m_settings.ResizeHandles);
}

void ZoomPan::HideResizeHandles() {
    core::HideResizeHandles(m_handles);
}

bool ZoomPan::OnPicture(double x, double y) const {
    const Box& picture = m_model.picMain;
    return picture.visible && x >= 0 && y >= 0 && x < picture.width && y < picture.height;
}

void ZoomPan::LeftPress(double x, double y) {
    // A press beside the picture lands on the pane, which ignores it; so do the moves and
    // the release that follow it.
    m_pressed = OnPicture(x, y);
    if (!m_pressed) return;
    m_selection.PanStartX = RoundHalfEven(x);
    m_selection.PanStartY = RoundHalfEven(y);
    m_selection.SelectEndX = m_selection.PanStartX;
    m_selection.SelectEndY = m_selection.PanStartY;
    HideResizeHandles();
}

Cursor ZoomPan::Move(double x, double y, bool leftOnly) {
    // Moves with the Select tool draw its rectangle instead.
    if (m_selection.SelectMode != 0) return m_surfaceCursor;
    m_surfaceCursor = m_model.status.busy() ? Cursor::Busy : Cursor::SizeAll;
    if (leftOnly && m_pressed) {
        // The pressed point stays under the pointer; no limit keeps the picture in the pane.
        m_current.MovePicture(x - m_selection.PanStartX, y - m_selection.PanStartY);
    }
    return m_surfaceCursor;
}

void ZoomPan::Release() {
    if (!m_pressed) return;
    m_pressed = false;
    PlaceResizeHandles();
}

void ZoomPan::RightPress(double x, double y) {
    if (OnPicture(x, y)) m_commands.Run(Command::ContextMenu, "picture");
}

void ZoomPan::KeyDown(Key key) {
    if (const Command command = CommandForKey(KeyTarget::Picture, key); command != Command::None)
        m_commands.Run(command);
}

void ZoomPan::FullScreenLeftPress(double x, double y) {
    m_fullScreenStartX = RoundHalfEven(x);
    m_fullScreenStartY = RoundHalfEven(y);
}

Cursor ZoomPan::FullScreenMove(double x, double y, bool leftOnly) {
    if (leftOnly) {
        m_current.MoveFullScreenPicture(x - static_cast<double>(m_fullScreenStartX),
                                        y - static_cast<double>(m_fullScreenStartY));
    }
    return Cursor::SizeAll;
}

} // namespace vistrel::core
