#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "core/app/application.h"
#include "core/app/mainwindowhost.h"
#include "core/browser/cachingloader.h"
#include "core/browser/thumbnailcache.h"
#include "qt/platform/qtplatform.h"
#include "qt/windows/menuset.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;

namespace vistrel::qt {

class AboutWindow;
class ClientArea;
class DisplayPane;
class ExplorerPane;
class FullScreenWindow;
class OptionsWindow;
class PictureLevels;
class PrintWindow;
class PropertiesWindow;
class StatusBarWidget;
class ThumbnailPane;
class ToolStrip;

// The main window: renders the application's state into its panes and passes user events
// to the application's entry points. No rule of the program lives here.
class MainWindow : public QMainWindow, public core::MainWindowHost {
    Q_OBJECT
public:
    // dialogs: where message boxes go; shell: where documents and addresses are opened;
    // nullptr uses the platform's.
    MainWindow(QtPlatform& platform, const std::string& programFolder,
               const std::string& initialFolder, core::Dialogs* dialogs = nullptr,
               core::Shell* shell = nullptr);
    ~MainWindow() override;

    core::Application& app() { return *m_app; }
    // Runs the load handler: settings, placement, panes and the starting folder.
    void start(const std::string& startPath = {});
    // Re-renders the application's state into the widgets.
    void sync();

    QMenu* contextMenu() const { return m_menus->menu("mnuRightDisplay"); }
    QAction* action(const std::string& name) const { return m_menus->action(name); }
    FullScreenWindow* fullScreenWindow() const { return m_fullScreen.get(); }
    PropertiesWindow* propertiesWindow() const { return m_properties.get(); }
    AboutWindow* aboutWindow() const { return m_about.get(); }
    OptionsWindow* optionsWindow() const { return m_options.get(); }
    PrintWindow* printWindow() const { return m_print.get(); }
    ThumbnailPane* thumbnailPane() const { return m_thumbnails; }

    // MainWindowHost
    void SetMaximized() override;
    std::vector<core::Box> ScreenAreas() const override;
    void SetLeft(core::Twips left) override;
    void SetTop(core::Twips top) override;
    void SetOuterHeight(core::Twips height) override;
    void SetOuterWidth(core::Twips width) override;
    void ShowWindow() override;
    void Focus(FocusTarget target) override;
    void CloseSecondaryWindows() override;
    void Quit() override;
    void PopupMenu(const std::string& menu, const std::vector<std::string>& hidden) override;
    void ShowFullScreenWindow() override;
    void CloseFullScreenWindow() override;
    void ShowPropertiesWindow() override;
    void ClosePropertiesWindow() override;
    void ShowAboutWindow() override;
    void CloseAboutWindow() override;
    void ShowOptionsWindow() override;
    void CloseOptionsWindow() override;
    void ShowPrintWindow() override;
    void HidePrintWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs a call on the application: a failure reaches the status bar, never the user's
    // work, and every window is rendered afterwards.
    void act(const std::function<void()>& call);
    void releaseRetiredWindows();
    void buildPanes();
    core::WindowFrame frame() const;

    QtPlatform& m_platform;
    double m_tpp = 15;
    // The grid's thumbnails through the shared cache; declared first, they outlive m_app.
    std::unique_ptr<core::ThumbnailCache> m_thumbnailCache;
    std::unique_ptr<core::CachingLoader> m_thumbnailLoader;
    std::unique_ptr<core::Application> m_app;
    // Levels of the working picture for both picture surfaces; they read the application's
    // picture, so they go before it.
    std::unique_ptr<PictureLevels> m_levels;
    std::unique_ptr<MenuSet> m_menus;

    ClientArea* m_client = nullptr;
    ToolStrip* m_toolStrip = nullptr;
    StatusBarWidget* m_statusBar = nullptr;
    QProgressBar* m_progress = nullptr;
    ExplorerPane* m_explorer = nullptr;
    QWidget* m_picFile = nullptr;
    QLabel* m_lblFile = nullptr;
    DisplayPane* m_display = nullptr;
    ThumbnailPane* m_thumbnails = nullptr;
    std::unique_ptr<FullScreenWindow> m_fullScreen;
    std::unique_ptr<PropertiesWindow> m_properties;
    std::unique_ptr<AboutWindow> m_about;
    std::unique_ptr<OptionsWindow> m_options;
    std::unique_ptr<PrintWindow> m_print;
    std::vector<QWidget*> m_retired; // closed, waiting until no command runs

    int m_commandDepth = 0;
    bool m_syncing = false;
    bool m_busyCursor = false;
    bool m_closed = false;
};

} // namespace vistrel::qt
