#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/app/commands.h"
#include "core/app/mainlayout.h"
#include "core/app/mainwindowhost.h"
#include "core/app/mainwindowmodel.h"
#include "core/app/settingsstore.h"
#include "core/browser/browserhooks.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/renamebox.h"
#include "core/browser/selection.h"
#include "core/browser/thumbnailbuilder.h"
#include "core/browser/thumbnailgrid.h"
#include "core/browser/thumbnailsheet.h"
#include "core/platform/clock.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"
#include "core/platform/pictureloader.h"
#include "core/platform/shell.h"
#include "core/platform/timer.h"
#include "core/platform/settingsbackend.h"
#include "core/platform/volumesource.h"
#include "core/viewer/currentimage.h"
#include "core/viewer/fullscreenmodel.h"
#include "core/viewer/slideshow.h"
#include "core/viewer/zoom.h"
#include "core/editing/selectionrect.h"

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
    std::string programFolder;   // the executable's folder
    std::string initialFolder;   // what the folder list shows before start-up opens a folder
    Colour windowBackground = ButtonFaceColour;
    double twipsPerPixel = 15;   // of the screen
    char decimalSeparator = '.'; // of the user's locale
    int decodeThreads = 0;       // thumbnail decoders; 0 = one per core
};

// Owns the main window's state and its subsystems, and runs start-up, shutdown and every
// command. The qt layer renders Model() and forwards user events here.
class Application : private LayoutHooks,
                    private BrowserHooks,
                    private ViewerHooks,
                    private ThumbnailBuilderHooks,
                    private ThumbnailGridHooks,
                    private PictureSurfaceHooks,
                    private RenameHooks {
public:
    explicit Application(Services services);

    MainWindowModel& Model() { return m_model; }
    const MainWindowModel& Model() const { return m_model; }
    SettingsStore& Settings() { return m_settings; }
    MainLayout& Layout() { return m_layout; }
    FolderBrowser& Browser() { return m_browser; }
    const FolderBrowser& Browser() const { return m_browser; }
    CurrentImage& Current() { return m_current; }
    const CurrentImage& Current() const { return m_current; }
    const Selection& SelectedFiles() const { return m_selection; }
    const FullScreenModel& FullScreen() const { return m_fullScreen; }
    ThumbnailSheet& Sheet() { return m_sheet; }
    const ThumbnailSheet& Sheet() const { return m_sheet; }
    ThumbnailBuilder& Builder() { return m_builder; }
    ThumbnailGrid& Grid() { return m_grid; }
    RenameBox& Rename() { return m_rename; }
    ZoomPan& Zoom() { return m_zoom; }
    const ZoomPan& Zoom() const { return m_zoom; }
    SlideShow& Slides() { return m_slideShow; }

    // The main window's load handler.
    void Start();
    // The main window's closing handler: writes the settings back, closes the other windows.
    void Close();

    // Runs one command; every menu item, context entry, toolbar button and key comes here.
    void Run(Command command, const std::string& argument = {});
    void RunToolbarKey(const std::string& key) { Run(CommandForToolbarKey(key)); }
    // One tick of the slide-show timer.
    void SlideTimerTick();
    // Check mark of a checkable menu item.
    bool MenuChecked(const std::string& name) const;

    // The window was moved, resized, maximized or restored (the model's frame is current).
    void FrameChanged();
    // The full-screen window's client area has this size now.
    void FullScreenResized(Twips width, Twips height);
    // The tool strip reports a new height.
    void ToolStripHeightChanged(Twips height);

    void HideResizeHandles() { m_zoom.HideResizeHandles(); }
    void ClearThumbnails() { m_builder.ClearThumbnails(); }
    void BuildThumbnails() { m_builder.BuildThumbnails(); }

    // The file list's current entry; -1 for none.
    int FileListPosition() const { return m_fileListPosition; }

    // Told of every command before it runs (the one path all menus, buttons and keys share).
    std::function<void(Command, const std::string&)> CommandObserver;

    // Whether start-up stopped in its first trap (a stored value that is not a number).
    bool StartupTrapped() const { return m_startupTrapped; }

private:
    void ApplyViewSettings();
    // Window placement from the store, kept on the screens.
    void PlaceWindow(bool maximized);
    // Panel 3 says so when the settings of this run cannot be kept.
    void ReportUnsavedSettings();
    void ApplyLayoutResult(const LayoutResult& result);
    void RestoreStartFolder();
    void ToggleBand(bool& band, const char* key);
    void OpenFullScreen();
    void ShellEdit();

    // LayoutHooks
    void CenterPicture() override { m_current.CenterPicture(); }
    void PlaceResizeHandles() override { m_zoom.PlaceResizeHandles(); }
    void ResizeCases() override { m_sheet.ResizeCases(); }
    void VScroll_Change() override { m_sheet.VScroll_Change(); }
    int cellCount() const override { return m_sheet.cellCount(); }
    Twips lastCellBottom() const override { return m_sheet.lastCellBottom(); }
    bool picMainVisible() const override { return m_model.picMain.visible; }
    int resizeHandles() const override { return m_settings.View.ResizeHandles; }

    // BrowserHooks, ThumbnailGridHooks, ThumbnailBuilderHooks
    void clearThumbnails() override { ClearThumbnails(); }
    void buildThumbnails() override { BuildThumbnails(); }
    void setCurrentFileIndex(int index) override { m_current.CurrentFileIndex = index; }
    void loadSelectedImage() override { m_current.LoadSelectedImage(); }
    void toggleAndLoadImage() override { m_current.ToggleAndLoadImage(); }
    void deleteSelected() override { Run(Command::Delete); }
    void zoomIn() override { Run(Command::ZoomIn); }
    void zoomOut() override { Run(Command::ZoomOut); }
    void showPrevious() override { Run(Command::Previous); }
    void showNext() override { Run(Command::Next); }
    void fullScreen() override { Run(Command::FullScreen); }
    void popupMenu(const std::string& menu, const std::vector<std::string>& hidden) override {
        m_services.host.PopupMenu(menu, hidden);
    }
    bool selectionEmpty() const override { return m_selection.empty(); }
    void clearPictureSurfaces() override { m_current.Clear(); }
    void hideResizeHandles() override { HideResizeHandles(); }
    void setImageCount(int count) override { m_current.ImageCount = count; }

    // ViewerHooks
    void ClearSelectionRectangle() override { m_selectionRect.ClearSelection(); }
    void ShowFullScreen() override;
    void SetFileListPosition(int index) override { m_fileListPosition = index; }

    // RenameHooks
    void refreshFolder() override { m_browser.RefreshFolder(); }

    Services m_services;
    SettingsStore m_settings;
    MainWindowModel m_model;
    MainLayout m_layout;
    FolderBrowser m_browser;
    Selection m_selection;
    FullScreenModel m_fullScreen;
    CurrentImage m_current;
    ThumbnailSheet m_sheet;
    ThumbnailBuilder m_builder;
    ThumbnailGrid m_grid;
    RenameBox m_rename;
    SelectionRect m_selectionRect;
    ZoomPan m_zoom;
    SlideShow m_slideShow;
    int m_fileListPosition = -1;
    bool m_startupTrapped = false;
};

} // namespace vistrel::core
