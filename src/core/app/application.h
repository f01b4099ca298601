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
#include "core/platform/settingsbackend.h"
#include "core/platform/volumesource.h"

namespace vistrel::core {

// What the application is given by whoever starts it.
struct Services {
    SettingsBackend& settings;
    const VolumeSource& volumes;
    MainWindowHost& host;
    std::string programFolder;   // the executable's folder
    std::string initialFolder;   // what the folder list shows before start-up opens a folder
    Colour windowBackground = ButtonFaceColour;
};

// Owns the main window's state and its subsystems, and runs start-up, shutdown and every
// command. The qt layer renders Model() and forwards user events here.
class Application : private LayoutHooks, private BrowserHooks {
public:
    explicit Application(Services services);

    MainWindowModel& Model() { return m_model; }
    const MainWindowModel& Model() const { return m_model; }
    SettingsStore& Settings() { return m_settings; }
    MainLayout& Layout() { return m_layout; }
    FolderBrowser& Browser() { return m_browser; }

    // The main window's load handler.
    void Start();
    // The main window's closing handler: writes the settings back, closes the other windows.
    void Close();

    // Runs one command; every menu item, context entry, toolbar button and key comes here.
    void Run(Command command, const std::string& argument = {});
    void RunToolbarKey(const std::string& key) { Run(CommandForToolbarKey(key)); }
    // Check mark of a checkable menu item.
    bool MenuChecked(const std::string& name) const;

    // The window was moved, resized, maximized or restored (the model's frame is current).
    void FrameChanged();
    // The tool strip reports a new height.
    void ToolStripHeightChanged(Twips height);

    void HideResizeHandles() { m_model.resizeHandlesVisible = false; }
    void ClearThumbnails();
    void BuildThumbnails();

    // Told of every command before it runs (the one path all menus, buttons and keys share).
    std::function<void(Command, const std::string&)> CommandObserver;

    int CurrentFileIndex = -1;
    // Whether start-up stopped in its first trap (a stored value that is not a number).
    bool StartupTrapped() const { return m_startupTrapped; }

private:
    void ApplyViewSettings();
    void ApplyLayoutResult(const LayoutResult& result);
    void RestoreStartFolder();
    void ToggleBand(bool& band, const char* key);

    // LayoutHooks
    void CenterPicture() override;
    void PlaceResizeHandles() override {}
    void ResizeCases() override {}
    void VScroll_Change() override;
    int cellCount() const override { return 1; }
    Twips lastCellBottom() const override { return m_model.picCase0.bottom(); }
    bool picMainVisible() const override { return m_model.picMain.visible; }
    int resizeHandles() const override { return m_settings.View.ResizeHandles; }

    // BrowserHooks
    void clearThumbnails() override { ClearThumbnails(); }
    void buildThumbnails() override { BuildThumbnails(); }
    void setCurrentFileIndex(int index) override { CurrentFileIndex = index; }
    void loadSelectedImage() override {}
    void toggleAndLoadImage() override {}
    void deleteSelected() override {}
    void zoomIn() override {}
    void zoomOut() override {}
    void showPrevious() override {}
    void showNext() override {}

    Services m_services;
    SettingsStore m_settings;
    MainWindowModel m_model;
    MainLayout m_layout;
    FolderBrowser m_browser;
    bool m_startupTrapped = false;
};

} // namespace vistrel::core
