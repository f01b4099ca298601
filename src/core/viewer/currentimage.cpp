#include "core/viewer/currentimage.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/app/numbers.h"
#include "core/editing/stretch.h"
#include "core/files/pathutil.h"
#include "core/viewer/filesize.h"
#include "core/viewer/pictureloadrules.h"

namespace vistrel::core {

namespace fs = std::filesystem;

void CenterInPane(Box& picture, const Box& pane) {
    picture.top = pane.innerHeight() / 2 - picture.height / 2;
    picture.left = pane.innerWidth() / 2 - picture.width / 2;
}

CurrentImage::CurrentImage(MainWindowModel& model, FullScreenModel& fullScreen,
                           FolderBrowser& browser, Selection& selection,
                           const PictureLoader& loader, SelectionRect& selectionRect,
                           const ViewSettings& settings, Twips twipsPerPixel,
                           char decimalSeparator)
    : m_model(model), m_fullScreen(fullScreen), m_browser(browser), m_selection(selection),
      m_loader(loader), m_selectionRect(selectionRect), m_settings(settings),
      m_twipsPerPixel(twipsPerPixel), m_decimalSeparator(decimalSeparator) {}

void CurrentImage::LoadSelectedImage() {
    Load(Variant::Replace);
}

void CurrentImage::ToggleAndLoadImage() {
    Load(Variant::Toggle);
}

void CurrentImage::Load(Variant variant) {
    auto& status = m_model.status;
    ++m_loadSerial;
    m_lastLoadShown = false;

    ZoomOffset = 0;
    m_selectionRect.ClearSelection();
    status.setText(StatusBarState::Zoom, "Zoom: 100%");

    const auto& files = m_browser.files();
    const bool inList = CurrentFileIndex >= 0 && CurrentFileIndex < static_cast<int>(files.size());
    const std::string name = inList ? files[static_cast<std::size_t>(CurrentFileIndex)] : "";
    m_currentFilePath = AppendPathSeparator(m_browser.folderPath()) + name;
    if (name.empty() || m_currentFilePath.empty()) {
        status.setText(StatusBarState::Status, "No file selected");
        return;
    }

    // The selection changes before the decode, so it stays changed when the decode fails.
    m_model.picMain.visible = true;
    if (variant == Variant::Replace)
        m_selection.replaceWith(name);
    else
        m_selection.toggle(name);

    LoadResult loaded = m_loader.load(m_currentFilePath);
    if (!loaded.ok() || loaded.image.isNull()) {
        Fail(!loaded.errorText.empty() ? loaded.errorText
                                       : DescribeLoadError(m_currentFilePath, LoadError::Damaged));
        return;
    }
    // The length is read before the picture replaces the shown one, so a file that vanished
    // in between also leaves the previous picture intact.
    std::error_code error;
    const std::uintmax_t length = fs::file_size(fs::path(m_currentFilePath), error);
    if (error) {
        const bool gone = error == std::errc::no_such_file_or_directory;
        Fail(DescribeLoadError(m_currentFilePath,
                               gone ? LoadError::NotFound : LoadError::Unreadable));
        return;
    }

    m_picload = std::move(loaded.image);
    m_reduction = std::max(loaded.reduction, 1);
    m_natural = {loaded.naturalWidth, loaded.naturalHeight};
    PictureChanged();
    m_model.picMain.width = NaturalWidth();
    m_model.picMain.height = NaturalHeight();

    if (variant == Variant::Replace) m_browser.setFileListPosition(CurrentFileIndex);

    m_fileSizeText = FormatFileSize(length, m_decimalSeparator);
    m_currentName = name;
    RewriteLabel();

    // With the display pane hidden the picture is shown in the full-screen window instead.
    if (!m_model.picDisplay.visible) m_fullScreen.visible = true;

    // The full-screen surface follows even while its window is hidden; from here on the
    // window exists.
    m_fullScreen.created = true;
    m_fullScreen.picMain.visible = true;
    m_fullScreen.picMain.width = NaturalWidth();
    m_fullScreen.picMain.height = NaturalHeight();

    CenterPicture();
    m_lastLoadShown = true;
}

PixelSize CurrentImage::NaturalPixels() const {
    if (IsReduced()) return m_natural;
    return {m_picload.width(), m_picload.height()};
}

void CurrentImage::RewriteLabel() {
    const PixelSize natural = NaturalPixels();
    m_pixelSizeText =
        std::to_string(natural.width) + " x " + std::to_string(natural.height) + " Pixel";
    if (IsReduced()) m_pixelSizeText += " (shown at 1/" + std::to_string(m_reduction) + ")";
    m_model.lblFileCaption =
        "Image: " + m_currentName + " - " + m_fileSizeText + " - " + m_pixelSizeText;
}

void CurrentImage::ReplacePicture(Image picture, bool rewriteLabel) {
    m_picload = std::move(picture);
    m_reduction = 1;
    PictureChanged();
    if (rewriteLabel) RewriteLabel();
}

void CurrentImage::ResizeFromSource(int width, int height) {
    if (!m_resizeSource) m_resizeSource = m_picload;
    m_picload = StretchImage(*m_resizeSource, width, height);
    ++m_pictureRevision; // the source stays for the next resize
    RewriteLabel();
}

void CurrentImage::Fail(const std::string& description) {
    m_model.status.setText(StatusBarState::Status, description);
    // With no earlier picture there is nothing to show, and an empty surface must not count
    // as a loaded picture.
    if (m_picload.isNull()) m_model.picMain.visible = false;
}

void CurrentImage::ResizePictures(std::int64_t width, std::int64_t height) {
    // Half the growth, in wide integers: a large step on a large picture moves the surface
    // by far more than 32,767 twips.
    Box& main = m_model.picMain;
    const std::int64_t shiftY = RoundHalfEven((static_cast<double>(height) - main.height) / 2);
    const std::int64_t shiftX = RoundHalfEven((static_cast<double>(width) - main.width) / 2);
    // The same shift for both keeps each picture's own centre, wherever it was dragged. The
    // qt layer draws the working picture stretched into whatever size the box has.
    for (Box* surface : {&main, &m_fullScreen.picMain}) {
        surface->height = static_cast<Twips>(height);
        surface->width = static_cast<Twips>(width);
        surface->top -= static_cast<Twips>(shiftY);
        surface->left -= static_cast<Twips>(shiftX);
    }
}

void CurrentImage::MovePicture(double dx, double dy) {
    m_model.picMain.left += dx;
    m_model.picMain.top += dy;
}

void CurrentImage::MoveFullScreenPicture(double dx, double dy) {
    m_fullScreen.picMain.left += dx;
    m_fullScreen.picMain.top += dy;
}

void CurrentImage::CenterPicture() {
    CenterInPane(m_model.picMain, m_model.picDisplay);
    CenterInPane(m_fullScreen.picMain, m_fullScreen.picDisplay);
    PlaceResizeHandles(m_model.resizeHandles, m_model.picMain, m_settings.ResizeHandles);
}

void CurrentImage::Clear() {
    m_picload = Image{};
    m_reduction = 1;
    PictureChanged();
    m_model.picMain.visible = false;
    m_model.lblFileCaption = "Image Information";
    HideResizeHandles(m_model.resizeHandles);
}

} // namespace vistrel::core
