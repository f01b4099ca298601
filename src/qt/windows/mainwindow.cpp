#include "qt/windows/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QProgressBar>
#include <QScreen>

#include "qt/platform/colours.h"
#include "qt/platform/cursorshape.h"
#include "qt/platform/twips.h"
#include "qt/widgets/clientarea.h"
#include "qt/widgets/displaypane.h"
#include "qt/widgets/explorerpane.h"
#include "qt/widgets/picturelevels.h"
#include "qt/widgets/picturesurface.h"
#include "qt/widgets/statusbarwidget.h"
#include "qt/widgets/thumbnailpane.h"
#include "qt/widgets/toolstrip.h"
#include "qt/windows/aboutwindow.h"
#include "qt/windows/fullscreenwindow.h"
#include "qt/windows/optionswindow.h"
#include "qt/windows/printwindow.h"
#include "qt/windows/propertieswindow.h"

namespace vistrel::qt {

using core::Command;

MainWindow::MainWindow(QtPlatform& platform, const std::string& programFolder,
                       const std::string& initialFolder, core::Dialogs* dialogs,
                       core::Shell* shell)
    : m_platform(platform) {
    setObjectName("frmMain");
    setWindowTitle("Vistrel 1.00");
    setWindowIcon(QIcon(":/icons/vistrel.png"));
    m_tpp = TwipsPerPixel(this);
    platform.pump.setRender([this] { sync(); });
    platform.slideTimer.setTick([this] { act([this] { m_app->SlideTimerTick(); }); });
    platform.dialogs.setParent(this);

    core::Services services{platform.settings,
                            platform.volumes,
                            *this,
                            platform.loader,
                            platform.pump,
                            platform.clock,
                            dialogs ? *dialogs : platform.dialogs,
                            platform.slideTimer,
                            shell ? *shell : platform.shell,
                            platform.clipboard,
                            platform.fileWriter,
                            platform.trash,
                            platform.printers,
                            programFolder,
                            initialFolder,
                            core::ButtonFaceColour,
                            m_tpp,
                            QLocale().decimalPoint().at(0).toLatin1()};
    m_thumbnailCache =
        std::make_unique<core::ThumbnailCache>(platform.thumbnails, ThumbnailCacheRoot());
    m_thumbnailLoader = std::make_unique<core::CachingLoader>(platform.loader, *m_thumbnailCache,
                                                              devicePixelRatioF());
    services.thumbnailLoader = m_thumbnailLoader.get();
    services.thumbnailCache = m_thumbnailCache.get();
    services.systemColours = [this](int index) {
        return FromQColor(ToQColor(core::SystemColourFlag | index, palette()));
    };
    m_app = std::make_unique<core::Application>(services);
    m_levels = std::make_unique<PictureLevels>(
        m_app->Current().picload(), [app = m_app.get()] { return app->Current().PictureRevision(); });

    m_client = new ClientArea(this);
    setCentralWidget(m_client);
    buildPanes();
    m_menus = std::make_unique<MenuSet>(*this, core::MenuTable(),
                                        [this](Command c, const std::string& argument) {
                                            act([&] { m_app->Run(c, argument); });
                                        });
    m_toolStrip->addButtons(core::ToolbarTable(), [this](const std::string& key) {
        act([&] { m_app->RunToolbarKey(key); });
    });
    m_toolStrip->onAddressEntered = [this](const std::string& text) {
        act([&] { m_app->AddressEntered(text); });
    };

    m_client->onResize = [this] { act([this] { m_app->FrameChanged(frame()); }); };
    m_client->onPress = [this](QMouseEvent* e) {
        const auto button = e->button() == Qt::LeftButton    ? core::MouseButton::Left
                            : e->button() == Qt::RightButton ? core::MouseButton::Right
                                                             : core::MouseButton::Middle;
        act([&] { m_app->SplitterPress(button, e->position().x() * m_tpp); });
    };
    m_client->onMove = [this](QMouseEvent* e) {
        act([&] { m_app->SplitterMove(e->position().x() * m_tpp); });
    };
    m_client->onRelease = [this](QMouseEvent*) { act([&] { m_app->SplitterRelease(); }); };

    const auto& m = m_app->Model();
    resize(ToPixels(m.frame.outerWidth, m_tpp), ToPixels(m.frame.outerHeight, m_tpp));
}

MainWindow::~MainWindow() {
    // No event loop is left to run a deferred delete.
    m_about.reset();
    m_fullScreen.reset();
    m_options.reset();
    m_print.reset();
    m_properties.reset();
    for (QWidget* w : m_retired) delete w;
    m_platform.pump.setRender({});
    m_platform.slideTimer.setTick({});
    m_platform.slideTimer.setInterval(0);
}

void MainWindow::buildPanes() {
    const Act act = [this](const std::function<void()>& call) { this->act(call); };
    m_toolStrip = new ToolStrip(m_client);
    m_statusBar = new StatusBarWidget(m_client);
    m_progress = new QProgressBar(m_client);
    m_progress->setObjectName("ProgressBar");
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);

    m_explorer = new ExplorerPane(*m_app, m_platform.volumes, act, m_client);
    m_picFile = new QWidget(m_client);
    m_picFile->setObjectName("picFile");
    SetBackground(*m_picFile, QColor(0x40, 0x40, 0x40));
    m_lblFile = new QLabel(m_picFile);
    m_lblFile->setObjectName("lblFile");
    m_lblFile->setTextFormat(Qt::PlainText);
    QPalette white = m_lblFile->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_lblFile->setPalette(white);
    m_display = new DisplayPane(*m_app, act, m_client);
    m_display->surface()->setLevels(m_levels.get());
    m_thumbnails = new ThumbnailPane(*m_app, m_tpp, act, m_client);

    // Leaving the splitter gap for any pane puts the default pointer back.
    for (QWidget* w : std::initializer_list<QWidget*>{m_statusBar, m_toolStrip, m_picFile,
                                                      m_lblFile, m_display, m_thumbnails,
                                                      m_explorer})
        w->installEventFilter(this);
}

void MainWindow::act(const std::function<void()>& call) {
    // A build lets queued events run, so calls nest; count them to know when none of them
    // is on the stack any more.
    ++m_commandDepth;
    try {
        call();
    } catch (const std::exception& e) {
        m_app->ReportError(e.what());
    }
    --m_commandDepth;
    sync();
    if (m_commandDepth == 0) releaseRetiredWindows();
}

void MainWindow::releaseRetiredWindows() {
    // Deleted by the outermost event loop, after every handler that might still touch the
    // window has returned.
    for (QWidget* w : m_retired) w->deleteLater();
    m_retired.clear();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) &&
        m_app->Model().cursor != core::Cursor::Default)
        act([this] { m_app->PointerOverPane(); });
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::start(const std::string& startPath) {
    act([this, &startPath] { m_app->Start(startPath); });
}

core::WindowFrame MainWindow::frame() const {
    // The outer size is the window's own, menu bar included, without the window manager's
    // decorations: those are unknown until the window is first mapped, and a size that is
    // applied and written in the same measure cannot drift from run to run.
    core::WindowFrame f;
    f.left = ToTwips(x(), m_tpp);
    f.top = ToTwips(y(), m_tpp);
    f.outerWidth = ToTwips(width(), m_tpp);
    f.outerHeight = ToTwips(height(), m_tpp);
    f.innerWidth = ToTwips(m_client->width(), m_tpp);
    f.innerHeight = ToTwips(m_client->height(), m_tpp);
    f.state = isMinimized()   ? core::WindowState::Minimized
              : isMaximized() ? core::WindowState::Maximized
                              : core::WindowState::Normal;
    return f;
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_app)
        act([this] { m_app->FrameChanged(frame()); });
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (m_app) m_app->SetFrame(frame());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        m_app->SetFrame(frame());
        m_app->Close();
    }
    event->accept();
}

std::vector<core::Box> MainWindow::ScreenAreas() const {
    std::vector<core::Box> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->availableGeometry();
        const core::Box box{ToTwips(r.x(), m_tpp), ToTwips(r.y(), m_tpp),
                            ToTwips(r.width(), m_tpp), ToTwips(r.height(), m_tpp)};
        if (screen == primary) areas.insert(areas.begin(), box);
        else areas.push_back(box);
    }
    return areas;
}

void MainWindow::SetMaximized() {
    setWindowState(windowState() | Qt::WindowMaximized);
    m_app->SetFrame(frame());
}

void MainWindow::SetLeft(core::Twips left) {
    move(ToPixels(left, m_tpp), y());
    m_app->SetFrame(frame());
}

void MainWindow::SetTop(core::Twips top) {
    move(x(), ToPixels(top, m_tpp));
    m_app->SetFrame(frame());
}

// Sizes round up: a minimum of 647.47 pixels must not become 647, still below it, or the
// layout would ask for it again on every resize and never lay the panes out.
void MainWindow::SetOuterHeight(core::Twips height) {
    resize(width(), std::max(1, ToPixelsUp(height, m_tpp)));
    m_app->SetFrame(frame());
}

void MainWindow::SetOuterWidth(core::Twips width) {
    resize(std::max(1, ToPixelsUp(width, m_tpp)), height());
    m_app->SetFrame(frame());
}

void MainWindow::ShowWindow() {
    show();
    m_app->FrameChanged(frame());
}

void MainWindow::Focus(FocusTarget target) {
    if (target == FocusTarget::Picture) m_display->surface()->setFocus();
    else m_explorer->fileList()->setFocus();
}

void MainWindow::CloseSecondaryWindows() {
    CloseAboutWindow();
    CloseFullScreenWindow();
    // Closed like the user would: Options writes nothing, Properties saves its position.
    if (m_options) m_options->close();
    HidePrintWindow();
    if (m_properties) m_properties->close();
}

void MainWindow::Quit() {
    m_closed = true;
    QApplication::exit(0);
}

void MainWindow::PopupMenu(const std::string& menu, const std::vector<std::string>& hidden) {
    // The full-screen window's own menus are named after it.
    const std::string fullScreenPrefix = "frmDisplay:";
    if (menu.rfind(fullScreenPrefix, 0) == 0) {
        if (m_fullScreen) m_fullScreen->menus().popup(menu.substr(fullScreenPrefix.size()), hidden);
        return;
    }
    m_menus->popup(menu, hidden);
}

void MainWindow::ShowFullScreenWindow() {
    if (!m_fullScreen) {
        m_fullScreen = std::make_unique<FullScreenWindow>(
            *m_app, m_tpp, [this](const std::function<void()>& call) { act(call); });
        m_fullScreen->setWindowIcon(windowIcon());
        m_fullScreen->surface()->setLevels(m_levels.get());
    }
    m_fullScreen->showFullScreen();
    m_fullScreen->raise();
    m_fullScreen->activateWindow();
}

void MainWindow::CloseFullScreenWindow() {
    if (!m_fullScreen) return;
    m_fullScreen->hide();
    // Its own command may be what closes it: it goes only once no command runs.
    m_retired.push_back(m_fullScreen.release());
    if (m_commandDepth == 0) releaseRetiredWindows();
}

void MainWindow::ShowPropertiesWindow() {
    if (!m_properties) {
        m_properties = std::make_unique<PropertiesWindow>(
            *m_app, m_tpp, [this](const std::function<void()>& call) { act(call); }, this);
    }
    m_properties->sync();
    m_properties->show();
    m_properties->raise();
    m_properties->activateWindow();
}

void MainWindow::ClosePropertiesWindow() {
    if (!m_properties) return;
    m_properties->markClosing();
    m_properties->hide();
    // Its own Cancel button may be what closes it.
    m_retired.push_back(m_properties.release());
    if (m_commandDepth == 0) releaseRetiredWindows();
}

void MainWindow::ShowAboutWindow() {
    if (!m_about)
        m_about = std::make_unique<AboutWindow>(
            *m_app, m_tpp, [this](const std::function<void()>& call) { act(call); },
            windowIcon(), this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainWindow::CloseAboutWindow() {
    // Hidden, not destroyed: its own Ok button may be what closes it, and it holds nothing
    // that a next showing should not find again.
    if (m_about) m_about->hide();
}

void MainWindow::ShowOptionsWindow() {
    if (!m_options)
        m_options = std::make_unique<OptionsWindow>(
            *m_app, m_tpp, [this](const std::function<void()>& call) { act(call); }, this);
    m_options->sync();
    m_options->show();
    m_options->raise();
    m_options->activateWindow();
}

void MainWindow::CloseOptionsWindow() {
    if (!m_options) return;
    m_options->markClosing();
    m_options->hide();
    // Its own Ok or Cancel button may be what closes it.
    m_retired.push_back(m_options.release());
    if (m_commandDepth == 0) releaseRetiredWindows();
}

void MainWindow::ShowPrintWindow() {
    if (!m_print)
        m_print = std::make_unique<PrintWindow>(
            *m_app, m_tpp, [this](const std::function<void()>& call) { act(call); },
            windowIcon(), this);
    m_print->sync();
    m_print->show();
    m_print->raise();
    m_print->activateWindow();
}

void MainWindow::HidePrintWindow() {
    if (m_print) m_print->hide();
}

void MainWindow::sync() {
    if (m_syncing) return;
    m_syncing = true;
    const auto& m = m_app->Model();
    const double tpp = m_tpp;

    m_toolStrip->setBandVisible(2, m.bandTools);
    m_toolStrip->setBandVisible(3, m.bandAddress);
    m_toolStrip->setGeometry(ToPixelRect(m.coolBar, tpp));
    const int stripHeight = m_toolStrip->heightForWidth(m_toolStrip->width());
    if (ToPixels(m.coolBar.height, tpp) != stripHeight) {
        m_app->ToolStripHeightChanged(ToTwips(stripHeight, tpp));
        m_toolStrip->setGeometry(ToPixelRect(m.coolBar, tpp));
    }
    m_toolStrip->renderAddress(m_app->Browser());

    m_statusBar->setGeometry(ToPixelRect(m.statusBar, tpp));
    m_statusBar->render(m.status, tpp);
    m_progress->setGeometry(ToPixelRect(m.progressBar, tpp));
    m_progress->setValue(static_cast<int>(m.status.progress));
    m_progress->raise();

    m_explorer->render(tpp);
    m_picFile->setGeometry(ToPixelRect(m.picFile, tpp));
    m_picFile->setVisible(m.picFile.visible);
    m_lblFile->setGeometry(ToPixelRect(m.lblFile, tpp));
    m_lblFile->setText(QString::fromStdString(m.lblFileCaption));
    m_levels->refresh();
    m_display->render(tpp);
    m_thumbnails->render();

    // A load with the display pane hidden shows the picture in the full-screen window.
    if (m_app->FullScreen().visible && !(m_fullScreen && m_fullScreen->isVisible()))
        ShowFullScreenWindow();
    if (m_fullScreen) m_fullScreen->sync();
    if (m_properties) m_properties->sync();
    if (m_options) m_options->sync();
    if (m_print) m_print->sync();

    m_menus->setChecks([this](const std::string& name) { return m_app->MenuChecked(name); });

    // The busy pointer covers the whole program while a build runs.
    const bool busy = m_app->Busy();
    if (busy != m_busyCursor) {
        m_busyCursor = busy;
        m_menus->setEnabled([this](Command c) { return m_app->CommandEnabled(c); });
        // Busy, not wait: the window still takes clicks and keys.
        if (busy) QApplication::setOverrideCursor(Qt::BusyCursor);
        else QApplication::restoreOverrideCursor();
    }
    const Qt::CursorShape shape = ToShape(busy ? core::Cursor::Default : m.cursor);
    if (m_client->cursor().shape() != shape) {
        if (m.cursor == core::Cursor::Default) m_client->unsetCursor();
        else m_client->setCursor(shape);
    }
    m_syncing = false;
}

} // namespace vistrel::qt
