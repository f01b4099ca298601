#include "core/editing/picturecommands.h"

#include <algorithm>

#include "core/app/apptitle.h"
#include "core/app/settingsstore.h"
#include "core/app/statusbar.h"
#include "core/editing/wholepicture.h"
#include "core/files/bmpfile.h"
#include "core/platform/clipboard.h"
#include "core/platform/dialogs.h"
#include "core/platform/filewriter.h"
#include "core/viewer/currentimage.h"
#include "core/viewer/pictureloadrules.h"

namespace vistrel::core {

namespace {
constexpr const char* kNothingToPaste = "No image in clipboard to paste.";
constexpr const char* kGrowQuestion = "Do you want to resize the canvas to fit the image?";
constexpr const char* kSaveTitle = "Save As";
constexpr const char* kSaveFilter = "Bitmap (*.bmp)|*.bmp";

std::string PixelsText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}
} // namespace

PictureCommands::PictureCommands(CurrentImage& current, StatusBarState& status,
                                 Dialogs& dialogs, Clipboard& clipboard, FileWriter& writer,
                                 const ViewSettings& settings, SystemColours systemColours,
                                 std::function<void()> applyZoom)
    : m_current(current), m_status(status), m_dialogs(dialogs), m_clipboard(clipboard),
      m_writer(writer), m_settings(settings), m_systemColours(std::move(systemColours)),
      m_applyZoom(std::move(applyZoom)) {}

bool PictureCommands::Flip(void (*flip)(Image&)) {
    if (!m_current.PictureShown()) return false;
    flip(m_current.picload());
    m_current.PictureChanged();
    if (m_applyZoom) m_applyZoom();
    return true;
}

bool PictureCommands::FlipHorizontal() { return Flip(core::FlipHorizontal); }
bool PictureCommands::FlipVertical() { return Flip(core::FlipVertical); }

void PictureCommands::Copy() {
    if (!m_current.PictureShown()) return;
    m_clipboard.SetPicture(m_current.picload());
}

std::optional<std::string> PictureCommands::Paste() {
    if (!m_current.PictureShown()) return std::nullopt;
    const std::optional<Image> pasted = m_clipboard.Picture();
    if (!pasted || pasted->isNull()) {
        m_status.setText(StatusBarState::Status, kNothingToPaste);
        return std::nullopt;
    }

    const Image& picture = m_current.picload();
    bool grown = false;
    if (pasted->width() > picture.width() || pasted->height() > picture.height()) {
        const DialogAnswer answer = m_dialogs.MessageBox(kGrowQuestion, AppTitle,
                                                         MessageButtons::YesNo,
                                                         MessageIcon::Critical);
        // The box lets other events run; a load may have replaced or removed the picture.
        if (!m_current.PictureShown()) return std::nullopt;
        if (answer == DialogAnswer::Yes) {
            // Only the sides that are too short grow.
            const int width = std::max(picture.width(), pasted->width());
            const int height = std::max(picture.height(), pasted->height());
            if (IsTooLarge(width, height, m_current.DecodeLimit()))
                return "the canvas would be too large (" + PixelsText(width, height) + ")";
            Image canvas = GrowCanvas(
                picture, width, height, PixelOfColour(m_settings.DisplayColour, m_systemColours));
            PasteTopLeft(canvas, *pasted);
            m_current.ReplacePicture(std::move(canvas), true);
            grown = true;
        }
    }
    if (!grown) {
        PasteTopLeft(m_current.picload(), *pasted);
        m_current.PictureChanged();
    }
    if (m_applyZoom) m_applyZoom();
    m_current.CenterPicture();
    return std::nullopt;
}

std::optional<std::string> PictureCommands::SaveAs() {
    if (!m_current.PictureShown()) return std::nullopt;
    const std::optional<std::string> path = m_dialogs.SaveFileName(kSaveTitle, kSaveFilter);
    if (!path || path->empty() || !m_current.PictureShown()) return std::nullopt;
    const Image& picture = m_current.picload();
    const auto file = EncodeBmp(picture);
    if (!file)
        return "the picture is too large for a bitmap file (" +
               PixelsText(picture.width(), picture.height()) + ")";
    return m_writer.WriteWhole(*path, *file);
}

} // namespace vistrel::core
