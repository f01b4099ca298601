#include "core/app/application.h"

#include <filesystem>

#include "core/app/apptitle.h"
#include "core/app/helplinks.h"
#include "core/app/numbers.h"
#include "core/app/windowplacement.h"
#include "core/files/pathutil.h"

namespace vistrel::core {

Application::Application(Services services)
    : m_services(std::move(services)), m_settings(m_services.settings),
      m_sheet(m_model), m_layout(m_model, m_sheet, *this),
      m_current(m_model, m_fullScreen, m_browser, m_selection, m_services.loader, m_selectionRect,
                m_settings.View, m_services.twipsPerPixel, m_services.decimalSeparator),
      m_builder(m_model, m_sheet, m_browser,
                m_services.thumbnailLoader ? *m_services.thumbnailLoader : m_services.loader,
                m_services.clock,
                m_services.pump, &m_current, m_services.twipsPerPixel, m_services.decodeThreads),
      m_browser(m_services.volumes, m_model.status, m_services.initialFolder,
                {&m_builder, &m_current, this, &m_services.pump}),
      m_grid(m_model, m_sheet, m_browser, m_current, *this),
      m_rename(m_sheet, m_browser, m_services.dialogs),
      m_zoom(m_model, m_fullScreen, m_current, m_selectionRect, m_model.resizeHandles,
             m_settings.View, *this, m_services.decimalSeparator),
      m_tool(m_model, m_fullScreen, m_current, m_selectionRect, m_zoom, m_services.dialogs),
      m_slideShow(m_current, m_browser, m_services.slideTimer, m_settings.View,
                  m_services.clock),
      m_pixelEdit(m_model, m_services.dialogs, m_services.clock, m_services.pump,
                  m_services.decimalSeparator, [this] {
                      // Both surfaces show the edited pixels at the zoom they had.
                      m_current.PictureChanged();
                      m_zoom.ApplyZoom();
                  }),
      m_pictures(m_current, m_model.status, m_services.dialogs, m_services.clipboard,
                 m_services.fileWriter, m_settings.View, m_services.systemColours,
                 [this] { m_zoom.ApplyZoom(); }),
      m_fileSystem(m_services.trash),
      m_fileCommands(m_browser, m_selection, m_current, m_rename, m_model.status,
                     m_services.dialogs, m_fileSystem, m_services.pump),
      m_properties(m_settings, m_services.host, m_services.dialogs, m_pixelEdit, m_current, m_zoom,
                   m_selectionRect, m_model, *this, [this] { return m_builder.building(); },
                   m_services.decimalSeparator),
      m_options(m_settings, m_services.host, m_services.dialogs, m_browser, m_model, m_zoom,
                {[this] {
                     // Apply leaves a stored order that it cannot show alone; one that is not
                     // a number stops the reload there, as at start-up, and panel 3 says so.
                     try {
                         ApplyViewSettings();
                     } catch (const ConversionError& error) {
                         ReportError(error.what());
                     }
                 },
                 m_services.programFolder, m_services.windowBackground,
                 m_services.decimalSeparator}),
      m_print(m_selection, m_browser, m_sheet, m_current, m_services.loader, m_services.printers,
              m_services.dialogs, m_services.twipsPerPixel, m_services.decimalSeparator) {
    m_fileCommands.FollowWith(m_services.thumbnailCache);
    m_rename.FollowWith(m_services.thumbnailCache);
}

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

void Application::Start(const std::string& startPath) {
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
            m_layout.SetDisplayWidth(
                m_layout.ClampDisplayWidth(m_settings.ReadNumber("bar"), screen.width));
        };
        restoreDisplayWidth();
        m_layout.PreviewBesideDisplay();

        m.lblFileName0.top = m.picCase0.height - m.lblFileName0.height;
        m.lblFileName0.width = m.picCase0.width - 280;
        m.imgTemp.height = m.picCase0.height - m.lblFileName0.height - 200;
        m.imgTemp.width = m.picCase0.width - 280;

        m_services.host.ShowWindow();
        shown = true;

        const bool displayHidden = m_settings.IsExactly("showdisplay", "False");
        if (!displayHidden) {
            FocusPicture();
        } else {
            ApplyLayoutResult(m_layout.ToggleDisplay());
            restoreDisplayWidth();
            m_layout.StartWithDisplayHidden();
            ApplyLayoutResult(m_layout.LayoutMainWindow());
        }

        if (m_settings.IsExactly("showexplorer", "False")) {
            m_layout.ToggleExplorer();
            restoreDisplayWidth();
            m_layout.StartWithExplorerHidden();
            ApplyLayoutResult(m_layout.LayoutMainWindow());
        }

        if (m_settings.IsExactly("bartools", "False")) m.bandTools = false;
        if (m_settings.IsExactly("baraddress", "False")) m.bandAddress = false;
    } catch (const ConversionError& error) {
        // The rest of start-up is skipped, but never the window: a running program nobody
        // can see could only be killed.
        m_startupTrapped = true;
        if (!shown) m_services.host.ShowWindow();
        m_zoom.HideResizeHandles();
        m_model.status.setText(StatusBarState::Status, std::string("Error: ") + error.what());
        ReportUnsavedSettings();
        return;
    }

    m_zoom.HideResizeHandles();
    // A path that cannot be opened is reported once the usual start has built its grid.
    const auto startFailure = startPath.empty() ? std::nullopt : OpenStartPath(startPath);
    if (startPath.empty() || startFailure) RestoreStartFolder();
    if (startFailure) ReportError(*startFailure);
    ReportUnsavedSettings();
}

std::optional<std::string> Application::OpenStartPath(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) return path + " does not exist";
    std::string folder = path, picture;
    if (!fs::is_directory(status)) {
        if (!fs::is_regular_file(status)) return path + " is neither a folder nor a file";
        const fs::path file(path);
        folder = file.parent_path().string();
        picture = file.filename().string();
        m_builder.EndOn(picture);
    }
    const std::string before = m_browser.folderPath();
    if (auto failure = m_browser.openFolder(folder)) {
        m_builder.EndOn({});
        return failure;
    }
    if (m_browser.folderPath() == before) m_browser.RefreshFolder();
    m_builder.EndOn({}); // a folder without pictures built nothing
    m_grid.ScrollIntoView(m_current.CurrentFileIndex);
    FocusPicture();
    return std::nullopt;
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
        if (auto failure = m_browser.openFolder(folder)) return failure;
        if (m_browser.folderPath() == before) m_browser.RefreshFolder();
        return std::nullopt;
    };

    if (openFolder(target)) {
        // The starting folder is gone: show the program's own folder instead, silently.
        openFolder(AppendPathSeparator(m_services.programFolder));
        return;
    }
    FocusPicture();
}

void Application::FocusPicture() {
    // With no picture shown the file list takes the keys instead.
    m_services.host.Focus(m_model.picMain.visible ? MainWindowHost::FocusTarget::Picture
                                                  : MainWindowHost::FocusTarget::FileList);
}

void Application::Close() {
    m_builder.Cancel();
    m_browser.CancelReading();
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
    // The build lets the window take input; a file command then would change the folder
    // under it, and the refresh it ends with would be skipped.
    if (!CommandEnabled(command)) return;
    if (UsesPicturePixels(command) && RefusesReducedPicture()) return;
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
    case Command::ContextMenu:
        ContextMenu(argument);
        break;
    case Command::Mover: m_tool.Mover(); break;
    case Command::Select: m_tool.Select(); break;
    case Command::SelectAll: m_tool.SelectAll(); break;
    case Command::Crop: m_tool.Crop(); break;
    case Command::GreyScale: RunFilter(Filter::GreyScaling); break;
    case Command::Smooth: RunFilter(Filter::Smooth); break;
    case Command::Sharpen: RunFilter(Filter::Sharpen); break;
    case Command::Emboss: RunFilter(Filter::Emboss); break;
    case Command::Diffuse: RunFilter(Filter::Diffuse); break;
    case Command::Invert: RunFilter(Filter::Invert); break;
    case Command::Solarize: RunFilter(Filter::Solarize); break;
    case Command::FlipHorizontal:
        if (m_pictures.FlipHorizontal()) FocusPicture();
        break;
    case Command::FlipVertical:
        if (m_pictures.FlipVertical()) FocusPicture();
        break;
    case Command::CopyPicture:
        m_pictures.Copy();
        break;
    case Command::Paste:
        if (auto failure = m_pictures.Paste()) ReportError(*failure);
        break;
    case Command::SaveAs:
        if (auto failure = m_pictures.SaveAs()) ReportError(*failure);
        break;
    case Command::CopyTo: m_fileCommands.CopyTo(); break;
    case Command::MoveTo: m_fileCommands.MoveTo(); break;
    case Command::Delete: m_fileCommands.DeleteSelectedFiles(); break;
    case Command::Rename: m_fileCommands.StartRename(); break;
    case Command::RenameFromFullScreen:
        // The rename box lives in the main window's grid.
        Run(Command::CloseFullScreen);
        m_fileCommands.StartRename();
        break;
    case Command::NewFolder: m_fileCommands.NewFolder(); break;
    case Command::MoveFolder: m_fileCommands.MoveFolder(); break;
    case Command::CopyFolder: m_fileCommands.CopyFolder(); break;
    case Command::DeleteFolder: m_fileCommands.DeleteFolder(); break;
    case Command::RenameFolder: m_fileCommands.RenameFolder(); break;
    case Command::Brightness: m_properties.Open(PropertiesPanel::Brightness); break;
    case Command::RgbBalance: m_properties.Open(PropertiesPanel::RgbBalance); break;
    case Command::Replace: m_properties.Open(PropertiesPanel::Replace); break;
    case Command::ResizeImage: m_properties.Open(PropertiesPanel::Resize); break;
    case Command::HelpTopics:
        m_services.shell.Open(HelpPagePath(m_services.programFolder));
        break;
    case Command::UpdateSite: case Command::Feedback: case Command::Downloads:
    case Command::HomePage:
        m_services.shell.Open(OnlineAddress(command));
        break;
    case Command::Options:
        m_options.Open();
        break;
    case Command::About:
        m_services.host.ShowAboutWindow();
        break;
    case Command::Print:
        if (m_selection.empty()) {
            m_model.status.setText(StatusBarState::Status, "No images selected");
            break;
        }
        m_print.Open();
        m_services.host.ShowPrintWindow();
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

void Application::AboutClick(std::string_view control) {
    if (control == "lblLink") Run(Command::HomePage);
    else if (control == "cmdOk") m_services.host.CloseAboutWindow();
}

void Application::PrintChoose(std::string_view control, int index) {
    if (control == "lstFiles") m_print.ChooseFile(index);
    else if (control == "cmbPrinters") m_print.ChoosePrinter(index);
    else if (control == "cmbQuality") m_print.ChooseQuality(index);
}

void Application::PrintClick(std::string_view button) {
    if (button == "cmdPrint") {
        if (PrintAllowed()) m_print.Print();
    } else if (button == "cmdCancel") {
        m_services.host.HidePrintWindow();
    }
}

void Application::SlideTimerTick() {
    // The build and the edits let the window paint, which also delivers timer ticks; a tick
    // then would load another picture under them.
    if (Busy()) return;
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

void Application::OpenFullScreen() {
    // The full-screen picture starts as the main one is displayed: same zoom, same edits.
    m_fullScreen.picMain.width = m_model.picMain.width;
    m_fullScreen.picMain.height = m_model.picMain.height;
    m_fullScreen.picMain.visible = m_model.picMain.visible;
    m_fullScreen.created = true;
    m_fullScreen.visible = true;
    m_services.host.ShowFullScreenWindow();
    CenterInPane(m_fullScreen.picMain, m_fullScreen.picDisplay);
}

void Application::RunFilter(Filter filter) {
    // The build's one yield takes user input; an edit then would work on a picture the build
    // is about to replace.
    if (m_builder.building()) return;
    if (m_pixelEdit.Run(filter, m_current.picload(), m_current.PictureShown())) FocusPicture();
}

void Application::ContextMenu(const std::string& where) {
    // A thumbnail's menu leaves out the zoom entries: they act on the picture shown, not on
    // the thumbnail under the pointer.
    static const std::vector<std::string> thumbnailHidden{"mnuLine9", "mnuZoomInR",
                                                          "mnuZoomOutR"};
    if (where == "picture") m_services.host.PopupMenu("mnuRightDisplay", {});
    else if (where == "cell" || where == "filelist")
        m_services.host.PopupMenu("mnuRightDisplay", thumbnailHidden);
    else if (where == "folderlist") m_services.host.PopupMenu("mnuFolder", {});
}

void Application::FullScreenResized(Twips width, Twips height) {
    m_fullScreen.picDisplay.width = width;
    m_fullScreen.picDisplay.height = height;
    CenterInPane(m_fullScreen.picMain, m_fullScreen.picDisplay);
}

void Application::ShellEdit() {
    if (!m_model.picMain.visible) return;
    const auto& files = m_browser.files();
    const int index = m_current.CurrentFileIndex;
    if (index < 0 || index >= static_cast<int>(files.size())) return;
    m_services.shell.Open(AppendPathSeparator(m_browser.folderPath()) +
                          files[static_cast<std::size_t>(index)]);
}

void Application::FrameChanged(const WindowFrame& frame) {
    SetFrame(frame);
    ApplyLayoutResult(m_layout.LayoutMainWindow());
}

void Application::ReportError(const std::string& description) {
    m_model.status.setText(StatusBarState::Status, "Error: " + description);
}

void Application::SplitterPress(MouseButton button, Twips x) { m_layout.SplitterPress(button, x); }
void Application::SplitterMove(Twips x) { m_layout.SplitterMove(x); }
void Application::SplitterRelease() { m_layout.SplitterRelease(); }

void Application::PointerOverPane() { m_layout.PointerOverPane(); }

bool Application::CommandEnabled(Command command) const {
    return IsAvailable(command) && !(HeldWhileBusy(command) && Busy());
}

bool Application::Busy() const {
    return m_builder.building() || m_browser.reading() || m_pixelEdit.Running() ||
           m_model.status.busy();
}

void Application::SetFrame(const WindowFrame& frame) { m_model.frame = frame; }

void Application::DriveChosen(const std::string& root) { m_browser.chooseDrive(root); }

void Application::FolderActivated(const std::string& path) {
    if (auto failure = m_browser.openFolder(path)) ReportError(*failure);
}

void Application::AddressEntered(const std::string& text) { m_browser.addressEnter(text); }
void Application::FileListClicked(int row) { m_browser.fileListClick(row); }

void Application::FileListKey(Key key, bool down) {
    down ? m_browser.fileListKeyDown(key) : m_browser.fileListKeyUp(key);
}

void Application::CellPress(int index, CellZone zone, MouseButton button) {
    m_grid.MouseDown(index, zone, button);
}

void Application::CellRelease(int index, CellZone zone, MouseButton button) {
    m_grid.MouseUp(index, zone, button);
}

void Application::CellKey(Key key, bool down) { down ? m_grid.KeyDown(key) : m_grid.KeyUp(key); }
void Application::SheetWheel(int angleDelta, int linesPerNotch) {
    m_grid.Wheel(angleDelta, linesPerNotch);
}
void Application::ScrollBarMoved(int value) { m_grid.VScroll_Change(value); }
void Application::CaptionDoubleClicked(const std::string& name) {
    if (Busy()) return; // a rename is a file command
    m_rename.CaptionDoubleClick(name);
}
bool Application::RenameBoxKey(Key key, const std::string& text) {
    return m_rename.KeyDown(key, text);
}
void Application::RenameBoxLeft(const std::string& text) { m_rename.LostFocus(text); }

void Application::PicturePress(double x, double y, MouseButton button) {
    // The Select tool erases its rectangle before the press is recorded.
    const bool onPicture = m_zoom.OnPicture(x, y);
    if (button == MouseButton::Right) {
        if (onPicture) m_tool.RightPress();
        m_zoom.RightPress(x, y);
    } else if (button == MouseButton::Left) {
        if (onPicture) m_tool.LeftPress();
        m_zoom.LeftPress(x, y);
    }
}
void Application::PictureMove(double x, double y, bool leftOnly) {
    // A press beside the picture draws no rectangle, as it drags no picture.
    if (m_tool.Active()) m_tool.Move(x, y, leftOnly && m_zoom.Pressed());
    else m_zoom.Move(x, y, leftOnly);
}
void Application::PictureRelease() {
    if (m_zoom.Pressed()) m_tool.Release();
    m_zoom.Release();
}

bool Application::RefusesReducedPicture() {
    if (!m_current.PictureShown() || !m_current.IsReduced()) return false;
    m_services.dialogs.MessageBox(ReducedPictureMessage, AppTitle, MessageButtons::OK,
                                  MessageIcon::Warning);
    return true;
}

void Application::HandlePress(int handle, double x, double y, MouseButton button) {
    if (button != MouseButton::Left) return;
    if (RefusesReducedPicture()) return;
    m_tool.HandlePress(handle, x, y);
    FocusPicture();
}
void Application::HandleMove(int handle, double x, double y, bool leftOnly) {
    m_tool.HandleMove(handle, x, y, leftOnly);
}
void Application::HandleRelease(int handle) {
    m_tool.HandleRelease(handle);
    FocusPicture();
}
void Application::PictureKey(Key key) { m_zoom.KeyDown(key); }

void Application::FullScreenPress(double x, double y, MouseButton button) {
    // Its context menu is the full-screen window's own, with every entry shown.
    if (button == MouseButton::Right) m_services.host.PopupMenu("frmDisplay:mnuRightDisplay", {});
    else if (button == MouseButton::Left) m_zoom.FullScreenLeftPress(x, y);
}
void Application::FullScreenMove(double x, double y, bool leftOnly) {
    m_zoom.FullScreenMove(x, y, leftOnly);
}
void Application::FullScreenKey(Key key) {
    if (const Command command = CommandForKey(KeyTarget::FullScreen, key);
        command != Command::None)
        Run(command);
}

void Application::ApplyLayoutResult(const LayoutResult& result) {
    using O = LayoutResult::Outcome;
    if (result.outcome == O::ResizeWidth) m_services.host.SetOuterWidth(result.size);
    if (result.outcome == O::ResizeHeight) m_services.host.SetOuterHeight(result.size);
}

void Application::ToolStripHeightChanged(Twips height) {
    m_layout.ToolStripHeightChanged(height);
}

} // namespace vistrel::core
