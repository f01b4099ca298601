#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "core/app/application.h"
#include "core/app/mainwindowhost.h"
#include "qt/platform/qtclock.h"
#include "qt/platform/qtdialogs.h"
#include "qt/platform/qteventpump.h"
#include "qt/platform/qtpictureloader.h"
#include "qt/platform/qtshell.h"
#include "qt/platform/qttimer.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QScrollBar;
class QTreeWidget;

namespace vistrel::qt {

class ClientArea;
class FullScreenWindow;
class PictureSurface;
class StatusBarWidget;
class ThumbnailSheetWidget;
class ToolStrip;

// The main window: renders the application's model into widgets and forwards user events
// to it. No rule of the program lives here.
class MainWindow : public QMainWindow, public core::MainWindowHost {
    Q_OBJECT
public:
    // dialogs: where message boxes go; nullptr uses Qt's own.
    MainWindow(core::SettingsBackend& settings, const core::VolumeSource& volumes,
               const std::string& programFolder, const std::string& initialFolder,
               core::Dialogs* dialogs = nullptr);
    ~MainWindow() override;

    core::Application& app() { return *m_app; }
    // Runs the load handler: settings, placement, panes and the starting folder.
    void start();
    // Re-renders the model into the widgets.
    void sync();

    QMenu* contextMenu() const { return m_rightDisplay; }
    QAction* action(const std::string& name) const;

    // MainWindowHost
    void SetMaximized() override;
    std::vector<core::Box> ScreenAreas() const override;
    void SetLeft(core::Twips left) override;
    void SetTop(core::Twips top) override;
    void SetOuterHeight(core::Twips height) override;
    void SetOuterWidth(core::Twips width) override;
    void ShowWindow() override;
    void FocusPicMain() override;
    void CloseSecondaryWindows() override;
    void CloseFullScreenWindow() override;
    FullScreenWindow* fullScreenWindow() const { return m_fullScreen.get(); }
    void Quit() override;
    void PopupMenu(const std::string& menu, const std::vector<std::string>& hidden) override;
    void ShowFullScreenWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbars();
    void buildPanes();
    void connectExplorer();
    // Runs a core call, then renders; a failure reaches the status bar, never the user's work.
    template <typename F> void act(F&& f);
    void run(core::Command command, const std::string& argument = {});
    void connectSheet();
    void connectPicture();
    void updateFrame();
    void renderExplorer();
    void showError(const std::string& text);
    void releaseRetiredWindows();

    const core::VolumeSource& m_volumes;
    double m_tpp = 15;
    QtPictureLoader m_loader;
    QtClock m_clock;
    QtEventPump m_pump;
    QtDialogs m_qtDialogs;
    QtTimer m_slideTimer;
    QtShell m_shell;
    std::unique_ptr<core::Application> m_app;

    ClientArea* m_client = nullptr;
    ToolStrip* m_toolStrip = nullptr;
    StatusBarWidget* m_statusBar = nullptr;
    QProgressBar* m_progress = nullptr;
    QWidget* m_picExplorer = nullptr;
    QComboBox* m_dlbList = nullptr;
    QTreeWidget* m_drlList = nullptr;
    QListWidget* m_flbList = nullptr;
    QWidget* m_picFile = nullptr;
    QLabel* m_lblFile = nullptr;
    QFrame* m_picDisplay = nullptr;
    PictureSurface* m_picMain = nullptr; // the display pane's viewport
    std::vector<QWidget*> m_handles;
    QFrame* m_picPreview = nullptr;
    ThumbnailSheetWidget* m_picBack = nullptr;
    QScrollBar* m_vScroll = nullptr;
    QMenu* m_rightDisplay = nullptr;
    QMenu* m_folderMenu = nullptr;
    std::map<std::string, QAction*> m_actions;
    std::unique_ptr<FullScreenWindow> m_fullScreen;
    std::vector<FullScreenWindow*> m_retired; // closed, waiting until no command runs
    int m_commandDepth = 0;

    // What the explorer widgets show, so a render only touches what changed.
    std::vector<std::string> m_shownFiles;
    std::vector<core::FolderEntry> m_shownFolders;
    std::vector<std::string> m_shownHistory;
    std::string m_shownDrive;
    std::string m_shownAddress;

    bool m_syncing = false;
    std::uint64_t m_shownRevision = 0; // of the working picture, as the main surface shows it
    bool m_busyCursor = false;
    bool m_closed = false;
};

} // namespace vistrel::qt
