#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/colour.h"
#include "core/app/optionslayout.h"

namespace vistrel::core {

class Dialogs;
class FolderBrowser;
class MainWindowHost;
class SettingsStore;
class ZoomPan;
struct MainWindowModel;

// What the Options window shows while it is open. Controls are addressed by objectName; a
// name that is not the right kind of control reads as unchecked, enabled and empty.
struct OptionsState {
    std::string tab = "display"; // the selected tab's key
    std::string page = "picDisplay"; // the page on view; empty shows none
    bool resizeHandles = true;
    // The colours being edited: the running program keeps its own until Apply.
    Colour displayColour = ButtonFaceColour;
    Colour thumbnailColour = ButtonFaceColour;
    // The chooser opens on the colour it last closed with, shared by both buttons; before
    // its first use, on the colour of the button that opens it.
    std::optional<Colour> chooserColour;
    bool repeat = false;
    int delay = SlideDelayMinimum;
    std::string delayText = "0";
    int order = 0; // 1 ascending, 2 descending, 3 random, 0 none selected
    bool homeSelected = false; // optHomedir, else optLastdir
    std::string homeText = DesignedHomeText;

    bool Checked(std::string_view name) const;
    bool Enabled(std::string_view name) const;
    // txtHome or lblDelay.
    const std::string& Text(std::string_view name) const;
    bool PageShown(std::string_view page) const { return !page.empty() && page == this->page; }
};

// The Options window's life and its controls' events. Nothing reaches the store or the
// running program before Apply, Ok or Reset; closing writes nothing.
class OptionsDialog {
public:
    struct Hooks {
        // Reloads the module values from the store and recolours the panes.
        std::function<void()> applyViewSettings;
        std::string programFolder;
        Colour windowBackground = ButtonFaceColour;
        char decimalSeparator = '.';
    };

    OptionsDialog(SettingsStore& settings, MainWindowHost& host, Dialogs& dialogs,
                  const FolderBrowser& browser, const MainWindowModel& model, ZoomPan& zoom,
                  Hooks hooks);

    // The dialog while it is open, else nullptr.
    const OptionsState* State() const { return m_state ? &*m_state : nullptr; }

    // View > Options in either window: opens the dialog from the store, or only brings an
    // open one forward.
    void Open();
    // Cancel, the window's close button or the end of the program.
    void Close();

    // Buttons and option buttons.
    void Click(std::string_view control);
    void TabClicked(std::string_view key);
    void SliderChanged(int value);
    void CheckChanged(std::string_view box, bool checked);
    void TextChanged(std::string_view box, const std::string& text);

    void Apply();
    void Reset();

private:
    void PickColour(Colour OptionsState::*target);
    void SetDelay(double milliseconds);
    // The order option from the stored "slidemode".
    int StoredOrder() const;
    // Handles shown only with the option on and a picture in the pane.
    void PlaceOrHideHandles();

    SettingsStore& m_settings;
    MainWindowHost& m_host;
    Dialogs& m_dialogs;
    const FolderBrowser& m_browser;
    const MainWindowModel& m_model;
    ZoomPan& m_zoom;
    Hooks m_hooks;
    std::optional<OptionsState> m_state;
};

} // namespace vistrel::core
