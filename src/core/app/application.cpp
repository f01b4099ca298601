#include "core/app/application.h"

#include "core/app/numbers.h"
#include "core/app/windowplacement.h"
#include "core/files/pathutil.h"

namespace vistrel::core {

Application::Application(Services services)
    : m_services(std::move(services)), m_settings(m_services.settings),
      m_layout(m_model, *this),
      m_browser(m_services.volumes, m_model.status, *this, m_services.initialFolder),
      m_current(m_model, m_fullScreen, m_browser, m_selection, m_services.loader, *this,
                m_services.twipsPerPixel, m_services.decimalSeparator),
      m_sheet(m_model),
      m_builder(m_model, m_sheet, m_browser, m_services.loader, m_services.clock,
                m_services.pump, *this, m_services.twipsPerPixel, m_services.decodeThreads),
      m_grid(m_model, m_sheet, m_browser, *this),
      m_rename(m_sheet, m_browser, m_services.dialogs, *this),
      m_zoom(m_model, m_fullScreen, m_current, m_selectionRect, m_model.resizeHandles,
             m_settings.View, *this, m_services.decimalSeparator),
      m_slideShow(m_current, m_browser, m_services.slideTimer, m_settings.View,
                  m_services.clock) {}

void Application::ApplyViewSettings() {
    m_settings.ApplyViewSettings();
    m_model.displayColour = m_settings.View.DisplayColour;
    m_model.thumbnailColour = m_settings.View.ThumbnailColour;
}

void Application::PlaceWindow(bool maximized) {
    auto& host = m_services.host;
    const std::vector<Box> screens = host.ScreenAreas();
    Box window;
    if (maximized) {
        // The stored normal placement is what un-maximizing restores; a maximized start
        // never stops on it.
        const auto stored = [this](const char* key) { return ParseNumber(m_settings.Read(key)); };
        const auto l = stored("forml"), t = stored("formt"), h = stored("formh"),
                   w = stored("formw");
        if (l && t && h && w) {
            window = Box{placement::ClampLeft(*l, screens), placement::ClampTop(*t, screens),
                         placement::ClampWidth(*w, screens), placement::ClampHeight(*h, screens)};
            if (!placement::Reachable(window, screens))
                window = placement::OntoPrimary(window, screens);
            host.SetLeft(window.left);
            host.SetTop(window.top);
            host.SetOuterHeight(window.height);
            host.SetOuterWidth(window.width);
        }
        host.SetMaximized();
        return;
    }
    // Applied one by one: a value that is not a number stops here with the earlier ones in
    // place.
    window.left = placement::ClampLeft(m_settings.ReadNumber("forml"), screens);
    host.SetLeft(window.left);
    window.top = placement::ClampTop(m_settings.ReadNumber("formt"), screens);
    host.SetTop(window.top);
    window.height = placement::ClampHeight(m_settings.ReadNumber("formh"), screens);
    host.SetOuterHeight(window.height);
    window.width = placement::ClampWidth(m_settings.ReadNumber("formw"), screens);
    host.SetOuterWidth(window.width);
    if (!placement::Reachable(window, screens)) {
        window = placement::OntoPrimary(window, screens);
        host.SetLeft(window.left);
        host.SetTop(window.top);
    }
}

void Application::Start() {
    bool shown = false;
    try {
        m_settings.EnsureInitialised(m_services.programFolder, m_services.windowBackground);

        PlaceWindow(m_settings.IsExactly("maximized", "True"));

        ApplyViewSettings();

        auto& m = m_model;
        const auto& frame = m.frame;
        const auto restoreDisplayWidth = [&] {
            const Box window{frame.left, frame.top, frame.outerWidth, frame.outerHeight};
            const Box screen = placement::ScreenOf(window, m_services.host.ScreenAreas());
            m.picDisplay.width =
                m_layout.ClampDisplayWidth(m_settings.ReadNumber("bar"), screen.width);
            m.picFile.width = m.picDisplay.width;
            m.lblFile.width = m.picDisplay.width;
        };
        restoreDisplayWidth();
        m.picPreview.left = m.picDisplay.right() + 60;

        m.lblFileName0.top = m.picCase0.height - m.lblFileName0.height;
        m.lblFileName0.width = m.picCase0.width - 280;
        m.imgTemp.height = m.picCase0.height - m.lblFileName0.height - 200;
        m.imgTemp.width = m.picCase0.width - 280;

        m_services.host.ShowWindow();
        shown = true;

        const bool displayHidden = m_settings.IsExactly("showdisplay", "False");
        if (!displayHidden) {
            m_services.host.FocusPicMain();
        } else {
            ApplyLayoutResult(m_layout.ToggleDisplay());
            restoreDisplayWidth();
            m.picPreview.left = m.picDisplay.left;
            m.picPreview.width = m.frame.innerWidth - (m.picDisplay.right() + 60);
            ApplyLayoutResult(m_layout.LayoutMainWindow());
        }

        if (m_settings.IsExactly("showexplorer", "False")) {
            m_layout.ToggleExplorer();
            restoreDisplayWidth();
            if (!displayHidden) {
                m.picPreview.left = m.picDisplay.right() + 60;
                m.picPreview.width = m.frame.innerWidth - (m.picDisplay.right() + 60);
            } else {
                m.picPreview.left = m.picExplorer.left;
                m.picPreview.width = m.frame.innerWidth;
            }
            ApplyLayoutResult(m_layout.LayoutMainWindow());
        }

        if (m_settings.IsExactly("bartools", "False")) m.bandTools = false;
        if (m_settings.IsExactly("baraddress", "False")) m.bandAddress = false;
    } catch (const ConversionError& error) {
        // The rest of start-up is skipped, but never the window: a running program nobody
        // can see could only be killed.
        m_startupTrapped = true;
        if (!shown) m_services.host.ShowWindow();
        HideResizeHandles();
        m_model.status.setText(StatusBarState::Status, std::string("Error: ") + error.what());
        ReportUnsavedSettings();
        return;
    }

    HideResizeHandles();
    RestoreStartFolder();
    ReportUnsavedSettings();
}

void Application::ReportUnsavedSettings() {
    if (auto problem = m_settings.WriteProblem())
        m_model.status.setText(StatusBarState::Status, "Settings cannot be saved: " + *problem);
}

void Application::RestoreStartFolder() {
    const std::string homedir = m_settings.Read("homedir");
    const std::string target = homedir != "False" ? homedir : m_settings.Read("lastdir");

    // Opening the folder the list already shows raises no change, so nothing would be
    // built; the same holds for a spelling of it that names the same folder ("/a/" for "/a").
    const auto openFolder = [this](const std::string& folder) -> std::optional<std::string> {
        const std::string before = m_browser.folderPath();
        if (auto failure = m_browser.setFolderPath(folder)) return failure;
        if (auto failure = m_browser.setDrive(m_browser.folderPath())) return failure;
        if (m_browser.folderPath() == before) m_browser.RefreshFolder();
        return std::nullopt;
    };

    if (openFolder(target)) {
        // The starting folder is gone: show the program's own folder instead, silently.
        openFolder(AppendPathSeparator(m_services.programFolder));
        return;
    }
    m_services.host.FocusPicMain();
}

void Application::Close() {
    const auto& m = m_model;
    m_settings.Write("lastdir", m_browser.folderPath());
    m_settings.Write("bar", FormatNumber(m.picDisplay.width));
    if (m.frame.state != WindowState::Maximized) {
        m_settings.Write("maximized", "False");
        m_settings.Write("forml", FormatNumber(m.frame.left));
        m_settings.Write("formt", FormatNumber(m.frame.top));
        m_settings.Write("formh", FormatNumber(m.frame.outerHeight));
        m_settings.Write("formw", FormatNumber(m.frame.outerWidth));
    } else {
        m_settings.Write("maximized", "True");
    }
    m_settings.Write("showexplorer", m.picExplorer.visible ? "True" : "False");
    m_settings.Write("showdisplay", m.picDisplay.visible ? "True" : "False");
    m_services.host.CloseSecondaryWindows();
}

void Application::Run(Command command, const std::string& argument) {
    // Keys reach here too, and they are not disabled like menu items.
    if (!IsAvailable(command)) return;
    if (CommandObserver) CommandObserver(command, argument);
    switch (command) {
    case Command::Exit:
        m_services.host.Quit();
        break;
    case Command::Display:
        ApplyLayoutResult(m_layout.ToggleDisplay());
        break;
    case Command::Explorer:
        m_layout.ToggleExplorer();
        break;
    case Command::Refresh:
        m_browser.RefreshFolder();
        break;
    case Command::FileType:
        m_browser.chooseFileType(argument);
        break;
    case Command::ZoomIn:
        m_zoom.ZoomIn();
        break;
    case Command::ZoomOut:
        m_zoom.ZoomOut();
        break;
    case Command::ZoomLevel:
        m_zoom.SetZoomLevel(std::string_view(argument));
        break;
    case Command::Previous:
        m_slideShow.ShowPreviousImage();
        m_grid.ScrollIntoView(m_current.CurrentFileIndex);
        break;
    case Command::Next:
        m_slideShow.ShowNextImage();
        m_grid.ScrollIntoView(m_current.CurrentFileIndex);
        break;
    case Command::SlideShow:
        m_slideShow.StartStopSlideShow();
        break;
    case Command::FullScreen:
        OpenFullScreen();
        break;
    case Command::CloseFullScreen:
        m_fullScreen.visible = false;
        m_fullScreen.created = false;
        m_services.host.CloseFullScreenWindow();
        break;
    case Command::ShellEdit:
        ShellEdit();
        break;
    case Command::ToggleTools:
        ToggleBand(m_model.bandTools, "bartools");
        break;
    case Command::ToggleAddress:
        ToggleBand(m_model.bandAddress, "baraddress");
        break;
    default:
        break;
    }
}

void Application::SlideTimerTick() {
    // The build and the edits let the window paint, which also delivers timer ticks; a tick
    // then would load another picture under them.
    if (m_builder.Building() || m_model.status.busy()) return;
    m_slideShow.Tick();
    m_grid.ScrollIntoView(m_current.CurrentFileIndex);
}

bool Application::MenuChecked(const std::string& name) const {
    if (name == "mnuTool") return m_model.bandTools;
    if (name == "mnuAddress") return m_model.bandAddress;
    return false;
}

void Application::ToggleBand(bool& band, const char* key) {
    band = !band;
    m_settings.Write(key, band ? "True" : "False");
}

void Application::ShowFullScreen() {
    m_fullScreen.created = true;
    m_fullScreen.visible = true;
    m_services.host.ShowFullScreenWindow();
}

void Application::OpenFullScreen() {
    // The full-screen picture starts as the main one is displayed: same zoom, same edits.
    m_fullScreen.picMain.width = m_model.picMain.width;
    m_fullScreen.picMain.height = m_model.picMain.height;
    m_fullScreen.picMain.visible = m_model.picMain.visible;
    ShowFullScreen();
    CentreInPane(m_fullScreen.picMain, m_fullScreen.picDisplay);
}

void Application::FullScreenResized(Twips width, Twips height) {
    m_fullScreen.picDisplay.width = width;
    m_fullScreen.picDisplay.height = height;
    CentreInPane(m_fullScreen.picMain, m_fullScreen.picDisplay);
}

void Application::ShellEdit() {
    if (!m_model.picMain.visible) return;
    const auto& files = m_browser.files();
    const int index = m_current.CurrentFileIndex;
    if (index < 0 || index >= static_cast<int>(files.size())) return;
    m_services.shell.Open(AppendPathSeparator(m_browser.folderPath()) +
                          files[static_cast<std::size_t>(index)]);
}

void Application::FrameChanged() { ApplyLayoutResult(m_layout.LayoutMainWindow()); }

void Application::ApplyLayoutResult(const LayoutResult& result) {
    using O = LayoutResult::Outcome;
    if (result.outcome == O::ResizeWidth) m_services.host.SetOuterWidth(result.size);
    if (result.outcome == O::ResizeHeight) m_services.host.SetOuterHeight(result.size);
}

void Application::ToolStripHeightChanged(Twips height) {
    if (height == m_model.coolBar.height) return;
    m_model.coolBar.height = height;
    m_layout.ToolStripHeightChanged();
}

} // namespace vistrel::core
