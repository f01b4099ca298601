#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/app/commands.h"
#include "core/app/commandsink.h"
#include "core/app/keys.h"
#include "core/app/mainlayout.h"
#include "core/app/mainwindowhost.h"
#include "core/app/mainwindowmodel.h"
#include "core/app/optionsdialog.h"
#include "core/app/settingsstore.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/renamebox.h"
#include "core/browser/selection.h"
#include "core/browser/thumbnailbuilder.h"
#include "core/browser/thumbnailgrid.h"
#include "core/browser/thumbnailsheet.h"
#include "core/platform/clipboard.h"
#include "core/platform/clock.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"
#include "core/platform/filewriter.h"
#include "core/platform/trash.h"
#include "core/platform/pictureloader.h"
#include "core/platform/printers.h"
#include "core/platform/shell.h"
#include "core/platform/timer.h"
#include "core/platform/settingsbackend.h"
#include "core/platform/volumesource.h"
#include "core/viewer/currentimage.h"
#include "core/viewer/fullscreenmodel.h"
#include "core/viewer/slideshow.h"
#include "core/viewer/zoompan.h"
#include "core/editing/picturecommands.h"
#include "core/files/filecommands.h"
#include "core/files/filesystem.h"
#include "core/editing/pixeledit.h"
#include "core/editing/propertiesedits.h"
#include "core/editing/selectionrect.h"
#include "core/editing/selectiontool.h"
#include "core/printing/printdialog.h"

namespace vistrel::core {

// What the application is given by whoever starts it.
struct Services {
    SettingsBackend& settings;
    const VolumeSource& volumes;
    MainWindowHost& host;
    const PictureLoader& loader;
    EventPump& pump;
    Clock& clock;
    Dialogs& dialogs;
    Timer& slideTimer;
    Shell& shell;
    Clipboard& clipboard;
    FileWriter& fileWriter;
    Trash& trash;
    Printers& printers;
    std::string programFolder;   // the executable's folder
    std::string initialFolder;   // what the folder list shows before start-up opens a folder
    Colour windowBackground = ButtonFaceColour;
    double twipsPerPixel = 15;   // of the screen
    char decimalSeparator = '.'; // of the user's locale
    int decodeThreads = 0;       // thumbnail decoders; 0 = one per core, below 0 none
    // The system colours as the desktop shows them; unset, a light scheme stands in.
    SystemColours systemColours = {};
    // When set, the grid's thumbnails come through it, and the cache's entries follow the
    // pictures renamed, moved and deleted.
    const PictureLoader* thumbnailLoader = nullptr;
    ThumbnailCache* thumbnailCache = nullptr;
};

// Owns the main window's state and its subsystems, and runs start-up, shutdown and every
// command. The qt layer renders the state it reads here and passes user input to the entry
// points below; it never reaches a subsystem itself.
class Application : public CommandSink, private LayoutHooks {
public:
    explicit Application(Services services);

    // --- what the windows render --------------------------------------------------------
    const MainWindowModel& Model() const { return m_model; }
    const FolderBrowser& Browser() const { return m_browser; }
    const CurrentImage& Current() const { return m_current; }
    const Selection& SelectedFiles() const { return m_selection; }
    const FullScreenModel& FullScreen() const { return m_fullScreen; }
    const ThumbnailSheet& Sheet() const { return m_sheet; }
    const RenameBox& Rename() const { return m_rename; }
    const SelectionRect& SelectionBand() const { return m_selectionRect; }
    // The module values loaded from the settings, as the running program uses them.
    const ViewSettings& View() const { return m_settings.View; }
    // The main picture's own pointer shape.
    Cursor PictureCursor() const { return m_zoom.SurfaceCursor(); }
    // The thumbnail scroll bar's line and page steps.
    ScrollSteps GridSteps() const { return m_grid.Steps(); }
    // Check mark of a checkable menu item.
    bool MenuChecked(const std::string& name) const;
    // A build or another long operation runs: the pointer shows it.
    bool Busy() const;
    // Whether the command runs now; its menu item shows it.
    bool CommandEnabled(Command command) const;
    // Whether start-up stopped in its first trap (a stored value that is not a number).
    bool StartupTrapped() const { return m_startupTrapped; }

    // --- the main window's life ---------------------------------------------------------
    // The main window's load handler. `startPath`, from the command line, is a folder to open
    // or a picture to open in its folder instead of the starting folder; empty for none.
    void Start(const std::string& startPath = {});
    // The main window's closing handler: writes the settings back, closes the other windows.
    void Close();
    // The window's frame as the window system has it now, without a layout.
    void SetFrame(const WindowFrame& frame);
    // The window was moved, resized, maximized or restored: lays the panes out.
    void FrameChanged(const WindowFrame& frame);
    // The tool strip reports a new height.
    void ToolStripHeightChanged(Twips height);
    // The full-screen window's client area has this size now.
    void FullScreenResized(Twips width, Twips height);
    // One tick of the slide-show timer.
    void SlideTimerTick();
    // A command failed with this description; panel 3 says so.
    void ReportError(const std::string& description);
    // A message box when the shown picture is reduced; true when the caller must stop.
    bool RefusesReducedPicture();

    // --- commands -----------------------------------------------------------------------
    // Runs one command; every menu item, context entry, toolbar button and key comes here.
    void Run(Command command, const std::string& argument = {}) override;
    void RunToolbarKey(const std::string& key) { Run(CommandForToolbarKey(key)); }
    // Told of every command before it runs (the one path all menus, buttons and keys share).
    std::function<void(Command, const std::string&)> CommandObserver;

    // --- input: the window's surface between the panes (client twips) -------------------
    void SplitterPress(MouseButton button, Twips x);
    void SplitterMove(Twips x);
    void SplitterRelease();
    // The pointer is over a pane: away from the splitter gap it gets the default shape.
    void PointerOverPane();

    // --- input: the explorer pane -------------------------------------------------------
    void DriveChosen(const std::string& root);
    void FolderActivated(const std::string& path);
    void AddressEntered(const std::string& text);
    void FileListClicked(int row);
    void FileListKey(Key key, bool down);
    void FileListRightClick() { Run(Command::ContextMenu, "filelist"); }
    void FolderListRightClick() { Run(Command::ContextMenu, "folderlist"); }

    // --- input: the thumbnail pane ------------------------------------------------------
    void CellPress(int index, CellZone zone, MouseButton button);
    void CellRelease(int index, CellZone zone, MouseButton button);
    void CellKey(Key key, bool down);
    void SheetWheel(int angleDelta, int linesPerNotch);
    void ScrollBarMoved(int value);
    void CaptionDoubleClicked(const std::string& name);
    // True when the box took the key (Enter, Esc); other keys edit its text.
    bool RenameBoxKey(Key key, const std::string& text);
    void RenameBoxLeft(const std::string& text);

    // --- input: the pictures (x, y in the picture's own twips) --------------------------
    void PicturePress(double x, double y, MouseButton button);
    void PictureMove(double x, double y, bool leftOnly);
    void PictureRelease();
    void PictureKey(Key key);
    // A handle box (ResizeHandleBoxes::Index) with x, y inside it, twips.
    void HandlePress(int handle, double x, double y, MouseButton button);
    void HandleMove(int handle, double x, double y, bool leftOnly);
    void HandleRelease(int handle);
    void FullScreenPress(double x, double y, MouseButton button);
    void FullScreenMove(double x, double y, bool leftOnly);
    void FullScreenKey(Key key);

    // --- the Properties dialog: its state, and its controls' events by objectName -------
    const PropertiesDialog* Properties() const { return m_properties.Dialog(); }
    void PropertiesClick(std::string_view button) { m_properties.Click(button); }
    void PropertiesSlider(std::string_view slider, int value) {
        m_properties.SliderChanged(slider, value);
    }
    void PropertiesText(std::string_view box, const std::string& text) {
        m_properties.TextChanged(box, text);
    }
    void PropertiesCheck(std::string_view box, bool checked) {
        m_properties.CheckChanged(box, checked);
    }
    void PropertiesMoved(Twips left, Twips top) { m_properties.Moved(left, top); }
    // Closed by the window manager or with the program: as "Cancel".
    void PropertiesClosed() { m_properties.Close(); }

    // --- the Options dialog: its state, and its controls' events by objectName ----------
    const OptionsState* Options() const { return m_options.State(); }
    // Buttons and option buttons.
    void OptionsClick(std::string_view control) { m_options.Click(control); }
    void OptionsTab(std::string_view key) { m_options.TabClicked(key); }
    void OptionsSlider(int value) { m_options.SliderChanged(value); }
    void OptionsCheck(std::string_view box, bool checked) { m_options.CheckChanged(box, checked); }
    void OptionsText(std::string_view box, const std::string& text) {
        m_options.TextChanged(box, text);
    }
    // Closed by the window manager or with the program: as "Cancel".
    void OptionsClosed() { m_options.Close(); }

    // --- the Print dialog: its state, and its controls' events by objectName ------------
    const PrintDialog& PrintState() const { return m_print; }
    // lstFiles, cmbPrinters or cmbQuality: the row chosen.
    void PrintChoose(std::string_view control, int index);
    void PrintCopiesText(const std::string& text) { m_print.SetCopiesText(text); }
    void PrintCopiesScroll(int value) { m_print.ScrollCopies(value); }
    void PrintNamesChecked(bool checked) { m_print.SetPrintNames(checked); }
    // cmdPrint or cmdCancel; the window's close button counts as cmdCancel.
    void PrintClick(std::string_view button);
    // Printing reads files and waits for the printer: not while a build or an edit runs.
    bool PrintAllowed() const { return !Busy(); }

    // --- the About window: a click on one of its controls, by objectName ----------------
    void AboutClick(std::string_view control);

private:
    void ApplyViewSettings();
    // Window placement from the store, kept on the screens.
    void PlaceWindow(bool maximized);
    // Panel 3 says so when the settings of this run cannot be kept.
    void ReportUnsavedSettings();
    void ApplyLayoutResult(const LayoutResult& result);
    void RestoreStartFolder();
    // Opens the folder or picture given on the command line; the reason when it cannot.
    std::optional<std::string> OpenStartPath(const std::string& path);
    void ToggleBand(bool& band, const char* key);
    void OpenFullScreen();
    void ShellEdit();
    void ContextMenu(const std::string& where);
    // One of the fixed filters on the working picture.
    void RunFilter(Filter filter);
    void FocusPicture();

    // LayoutHooks
    void CenterPicture() override { m_current.CenterPicture(); }
    void PlaceResizeHandles() override { m_zoom.PlaceResizeHandles(); }
    bool picMainVisible() const override { return m_model.picMain.visible; }
    int resizeHandles() const override { return m_settings.View.ResizeHandles; }

    // Declared in the order they are built: the current image and the builder keep a
    // reference to the browser built after them, which they do not use until later.
    Services m_services;
    SettingsStore m_settings;
    MainWindowModel m_model;
    ThumbnailSheet m_sheet;
    MainLayout m_layout;
    Selection m_selection;
    FullScreenModel m_fullScreen;
    SelectionRect m_selectionRect;
    CurrentImage m_current;
    ThumbnailBuilder m_builder;
    FolderBrowser m_browser;
    ThumbnailGrid m_grid;
    RenameBox m_rename;
    ZoomPan m_zoom;
    SelectionTool m_tool;
    SlideShow m_slideShow;
    PixelEdit m_pixelEdit;
    PictureCommands m_pictures;
    FileSystem m_fileSystem;
    FileCommands m_fileCommands;
    PropertiesEdits m_properties;
    OptionsDialog m_options;
    PrintDialog m_print;
    bool m_startupTrapped = false;
};

} // namespace vistrel::core
