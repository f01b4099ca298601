#include "core/app/optionsdialog.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/app/mainwindowhost.h"
#include "core/app/mainwindowmodel.h"
#include "core/app/numbers.h"
#include "core/app/settingsstore.h"
#include "core/browser/folderbrowser.h"
#include "core/platform/dialogs.h"
#include "core/viewer/resizehandles.h"
#include "core/viewer/zoompan.h"

namespace vistrel::core {

namespace {

constexpr const char* kFolderPrompt = "Select a Folder with Images...";

// A stored value that is not a number is refused; the value the running program uses stands
// in for it, so the dialog shows what is in force.
template <typename Read, typename T> T OrInUse(Read read, T inUse) {
    try {
        return read();
    } catch (const ConversionError&) {
        return inUse;
    }
}

int OrderOf(std::string_view option) {
    if (option == "optAscending") return 1;
    if (option == "optDescending") return 2;
    if (option == "optRandom") return 3;
    return 0;
}

} // namespace

bool OptionsState::Checked(std::string_view name) const {
    if (name == "chkResizeHandles") return resizeHandles;
    if (name == "ckbRepeat") return repeat;
    if (name == "optLastdir") return !homeSelected;
    if (name == "optHomedir") return homeSelected;
    const int option = OrderOf(name);
    return option != 0 && option == order;
}

bool OptionsState::Enabled(std::string_view name) const {
    if (name == "txtHome" || name == "cmdBrowseDir" || name == "cmdCurrentDir")
        return homeSelected;
    return true;
}

const std::string& OptionsState::Text(std::string_view name) const {
    static const std::string none;
    if (name == "txtHome") return homeText;
    if (name == "lblDelay") return delayText;
    return none;
}

OptionsDialog::OptionsDialog(SettingsStore& settings, MainWindowHost& host, Dialogs& dialogs,
                             const FolderBrowser& browser, const MainWindowModel& model,
                             ZoomPan& zoom, Hooks hooks)
    : m_settings(settings), m_host(host), m_dialogs(dialogs), m_browser(browser), m_model(model),
      m_zoom(zoom), m_hooks(std::move(hooks)) {}

void OptionsDialog::Open() {
    if (m_state) {
        m_host.ShowOptionsWindow();
        return;
    }
    const ViewSettings& inUse = m_settings.View;
    OptionsState s;
    const std::string home = m_settings.Read("homedir");
    if (home != "False") {
        s.homeSelected = true;
        s.homeText = home;
    }
    m_state = std::move(s);
    SetDelay(ParseNumber(m_settings.Read("slidedelay")).value_or(inUse.SlideDelay));
    m_state->thumbnailColour =
        OrInUse([&] { return m_settings.ReadColour("thucolour"); }, inUse.ThumbnailColour);
    m_state->displayColour =
        OrInUse([&] { return m_settings.ReadColour("discolour"); }, inUse.DisplayColour);
    // Checked only for 1, as the slide show reads it.
    m_state->repeat = OrInUse([&] { return m_settings.ReadWhole("repeat"); }, inUse.SlideRepeat) == 1;
    m_state->order = StoredOrder();
    m_state->resizeHandles = ResizeHandlesEnabled(inUse.ResizeHandles);
    m_host.ShowOptionsWindow();
}

int OptionsDialog::StoredOrder() const {
    const int order =
        OrInUse([&] { return m_settings.ReadWhole("slidemode"); }, m_settings.View.SlideOrder);
    return order >= 1 && order <= 3 ? order : 0;
}

void OptionsDialog::Close() {
    if (!m_state) return;
    m_state.reset();
    m_host.CloseOptionsWindow();
}

void OptionsDialog::SetDelay(double milliseconds) {
    // Whole milliseconds inside the slider's range; huge and NaN values included.
    const std::int64_t whole = RoundHalfEven(milliseconds);
    m_state->delay = static_cast<int>(std::clamp<std::int64_t>(whole, SlideDelayMinimum,
                                                               SlideDelayMaximum));
    m_state->delayText = FormatNumber(m_state->delay / 1000.0, m_hooks.decimalSeparator);
}

void OptionsDialog::Click(std::string_view control) {
    if (!m_state) return;
    if (!m_state->Enabled(control)) return;
    if (control == "cmdOk") {
        Apply();
        Close();
    } else if (control == "cmdCancel") {
        Close();
    } else if (control == "cmdApply") {
        Apply();
    } else if (control == "cmdReset") {
        Reset();
    } else if (control == "cmdDisplay") {
        PickColour(&OptionsState::displayColour);
    } else if (control == "cmdThumbnail") {
        PickColour(&OptionsState::thumbnailColour);
    } else if (const int order = OrderOf(control)) {
        m_state->order = order;
    } else if (control == "optLastdir" || control == "optHomedir") {
        m_state->homeSelected = control == "optHomedir";
    } else if (control == "cmdBrowseDir") {
        const auto chosen = m_dialogs.ChooseFolder(kFolderPrompt, m_state->homeText);
        // The chooser is modal, but the dialog may have gone meanwhile with the program's end.
        if (chosen && m_state) m_state->homeText = *chosen;
    } else if (control == "cmdCurrentDir") {
        m_state->homeText = m_browser.folderPath();
    }
}

void OptionsDialog::PickColour(Colour OptionsState::*target) {
    const Colour opening = m_state->chooserColour.value_or((*m_state).*target);
    const std::optional<Colour> chosen = m_dialogs.ChooseColour(opening);
    if (!m_state) return;
    // Taken however the chooser closed: a cancelled one gives back what it opened on.
    m_state->chooserColour = chosen.value_or(opening);
    (*m_state).*target = *m_state->chooserColour;
}

void OptionsDialog::TabClicked(std::string_view key) {
    if (!m_state) return;
    m_state->page.clear();
    for (const OptionsTab& tab : OptionsTabs())
        if (tab.key == key) {
            m_state->tab = tab.key;
            m_state->page = tab.page;
        }
}

void OptionsDialog::SliderChanged(int value) {
    if (m_state) SetDelay(value);
}

void OptionsDialog::CheckChanged(std::string_view box, bool checked) {
    if (!m_state) return;
    if (box == "chkResizeHandles") m_state->resizeHandles = checked;
    else if (box == "ckbRepeat") m_state->repeat = checked;
}

void OptionsDialog::TextChanged(std::string_view box, const std::string& text) {
    if (m_state && box == "txtHome" && m_state->Enabled(box)) m_state->homeText = text;
}

void OptionsDialog::Apply() {
    if (!m_state) return;
    const OptionsState& s = *m_state;
    m_settings.Write("homedir", s.homeSelected ? s.homeText : "False");
    m_settings.Write("slidedelay", std::to_string(s.delay));
    m_settings.Write("thucolour", std::to_string(s.thumbnailColour));
    m_settings.Write("discolour", std::to_string(s.displayColour));
    m_settings.Write("repeat", s.repeat ? "1" : "0");
    m_settings.Write("resizehandles", s.resizeHandles ? "1" : "0");
    // With no order chosen the stored one stays.
    if (s.order != 0) {
        m_settings.Write("slidemode", std::to_string(s.order));
        m_settings.View.SlideOrder = s.order;
    }
    // Recolours the panes and, through the model, every thumbnail cell. A running slide show
    // keeps its interval until it is started again.
    m_hooks.applyViewSettings();
    PlaceOrHideHandles();
}

void OptionsDialog::Reset() {
    if (!m_state) return;
    m_settings.WriteDefaultSettings(m_hooks.programFolder, m_hooks.windowBackground);
    // The splitter stays where it is.
    m_settings.Write("bar", FormatNumber(m_model.picDisplay.width));
    m_state->order = StoredOrder();
    m_hooks.applyViewSettings();
    const ViewSettings& view = m_settings.View;
    SetDelay(view.SlideDelay);
    m_settings.View.SlideRepeat = 0;
    m_state->repeat = false;
    m_state->resizeHandles = true;
    // The defaults name the last active folder; the folder typed stays in the box.
    m_state->homeSelected = false;
    m_state->displayColour = view.DisplayColour;
    m_state->thumbnailColour = view.ThumbnailColour;
    // The option is on again: the handles show at once, as after Apply.
    PlaceOrHideHandles();
}

void OptionsDialog::PlaceOrHideHandles() {
    if (ResizeHandlesEnabled(m_settings.View.ResizeHandles) && m_model.picMain.visible)
        m_zoom.PlaceResizeHandles();
    else
        m_zoom.HideResizeHandles();
}

} // namespace vistrel::core
