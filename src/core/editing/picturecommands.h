#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/editing/colourpixel.h"

namespace vistrel::core {

class Clipboard;
class CurrentImage;
class Dialogs;
class FileWriter;
struct StatusBarState;
struct ViewSettings;

// The whole-picture commands of the main window: the flips, copy and paste through the
// clipboard, and Save As. Each works on the working picture and does nothing while no
// picture is shown.
class PictureCommands {
public:
    // `applyZoom` redraws both surfaces at the current zoom (ApplyZoom).
    PictureCommands(CurrentImage& current, StatusBarState& status, Dialogs& dialogs,
                    Clipboard& clipboard, FileWriter& writer, const ViewSettings& settings,
                    SystemColours systemColours, std::function<void()> applyZoom);

    // Mirror the picture; true when they ran, so the caller moves the focus to it.
    bool FlipHorizontal();
    bool FlipVertical();
    // Puts the working picture on the clipboard.
    void Copy();
    // Pastes the clipboard's picture into the top-left corner, offering to grow the canvas
    // when it does not fit. Returns the description of a failure.
    std::optional<std::string> Paste();
    // Writes the working picture as a bitmap file under a name the user chooses. Returns the
    // description of a failure; the target is then left as it was.
    std::optional<std::string> SaveAs();

private:
    bool Flip(void (*flip)(Image&));

    CurrentImage& m_current;
    StatusBarState& m_status;
    Dialogs& m_dialogs;
    Clipboard& m_clipboard;
    FileWriter& m_writer;
    const ViewSettings& m_settings;
    SystemColours m_systemColours;
    std::function<void()> m_applyZoom;
};

} // namespace vistrel::core
