#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/commandsink.h"
#include "core/app/geometry.h"
#include "core/editing/propertiesdialog.h"

namespace vistrel::core {

class CurrentImage;
class Dialogs;
class MainWindowHost;
class PixelEdit;
class SettingsStore;
class ZoomPan;
struct MainWindowModel;
struct SelectionRect;

// The largest side a resize accepts, in pixels; the memory limit of loads applies as well.
inline constexpr int MaxResizeSide = 32767;

// The Properties dialog's life and its four edits: brightness, RGB balance and colour
// replacement through the pixel-edit frame, and the resize from the picture as it was
// before the first of consecutive resizes. The window renders Dialog() and sends the events
// of its controls here by objectName.
class PropertiesEdits {
public:
    // `editsBlocked` says when no pixel edit may start (a thumbnail build takes user input
    // in its one yield).
    PropertiesEdits(SettingsStore& settings, MainWindowHost& host, Dialogs& dialogs,
                    PixelEdit& pixelEdit, CurrentImage& current, ZoomPan& zoom,
                    SelectionRect& selection, const MainWindowModel& model, CommandSink& commands,
                    std::function<bool()> editsBlocked, char decimalSeparator = '.');

    // The dialog while it exists, else nullptr.
    const PropertiesDialog* Dialog() const { return m_dialog ? &*m_dialog : nullptr; }

    // A menu command: creates the dialog when there is none (position from the settings,
    // the original size from the working picture), shows the panel and the window.
    void Open(PropertiesPanel panel);
    // "Cancel", the window's close button or the end of the program: the position goes to
    // the settings and the dialog is gone.
    void Close();

    // Events of the dialog's controls.
    void Click(std::string_view button);
    void SliderChanged(std::string_view slider, int value);
    void TextChanged(std::string_view box, const std::string& text);
    void CheckChanged(std::string_view box, bool checked);
    // The window now stands here (twips, its outer top-left corner).
    void Moved(Twips left, Twips top);

    // "Ok" on each panel.
    void ApplyBrightness();
    void ApplyRgbBalance();
    void ApplyReplace();
    void ApplyResize();

private:
    void PickColour(std::string_view swatch);
    // Where a new dialog opens: the stored position kept reachable on the screens.
    void Place(PropertiesDialog& dialog);
    // A new width or height from its box, in whole pixels; nothing after a message box that
    // says why it cannot be used.
    std::optional<int> ReadSide(std::string_view box, const char* what);
    bool MayEdit() const;
    // A message box when the shown picture is reduced; true when the edit must not run.
    bool RefusesReduced() const;

    SettingsStore& m_settings;
    MainWindowHost& m_host;
    Dialogs& m_dialogs;
    PixelEdit& m_pixelEdit;
    CurrentImage& m_current;
    ZoomPan& m_zoom;
    SelectionRect& m_selection;
    const MainWindowModel& m_model;
    CommandSink& m_commands;
    std::function<bool()> m_editsBlocked;
    char m_separator;
    std::optional<PropertiesDialog> m_dialog;
};

} // namespace vistrel::core
