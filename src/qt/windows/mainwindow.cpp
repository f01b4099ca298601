#include "qt/windows/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QGuiApplication>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "core/app/commands.h"
#include "qt/platform/colours.h"
#include "qt/platform/twips.h"
#include "qt/widgets/clientarea.h"
#include "qt/widgets/picturesurface.h"
#include "qt/widgets/thumbnailsheetwidget.h"
#include "qt/widgets/statusbarwidget.h"
#include "qt/widgets/toolstrip.h"
#include "qt/windows/fullscreenwindow.h"
#include "qt/windows/menubuilder.h"

namespace vistrel::qt {

using core::Command;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// File-system names are bytes that need not be valid UTF-8: they travel as bytes and turn
// into text for display only.
QByteArray Bytes(const std::string& path) { return QByteArray::fromStdString(path); }
QString Text(const std::string& path) { return QFile::decodeName(Bytes(path)); }

// Freedesktop theme names asked for first; the bundled pictures stand in where the
// desktop's theme has none.
QIcon ToolbarIcon(const std::string& imageKey) {
    static const std::map<std::string, std::vector<const char*>> themeNames = {
        {"edit", {"document-edit", "accessories-text-editor"}},
        {"save", {"document-save-as"}},
        {"previous", {"go-previous"}},
        {"next", {"go-next"}},
        {"move", {"go-jump"}},
        {"copy", {"edit-copy"}},
        {"delete", {"edit-delete"}},
        {"preview", {"view-preview", "image-x-generic"}},
        {"explorer", {"folder"}},
        {"selection", {"edit-select-all"}},
        {"refresh", {"view-refresh"}},
        {"print", {"document-print"}},
        {"slide show", {"media-playback-start"}},
        {"zoom in", {"zoom-in"}},
        {"zoom out", {"zoom-out"}},
        {"crop", {"transform-crop", "image-crop"}},
    };
    QString file = Q(imageKey);
    file.replace(' ', '-');
    QIcon fallback;
    fallback.addFile(":/icons/16x16/" + file + ".png", QSize(16, 16));
    fallback.addFile(":/icons/" + file + ".png", QSize(24, 24));
    auto it = themeNames.find(imageKey);
    if (it != themeNames.end())
        for (const char* name : it->second)
            if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    return fallback;
}

Qt::CursorShape ToShape(core::Cursor c) {
    switch (c) {
    case core::Cursor::SizeWestEast: return Qt::SizeHorCursor;
    case core::Cursor::Busy: return Qt::WaitCursor;
    case core::Cursor::SizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

void SetBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    if (p.color(QPalette::Window) == colour && w->autoFillBackground()) return;
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace

MainWindow::MainWindow(core::SettingsBackend& settings, const core::VolumeSource& volumes,
                       const std::string& programFolder, const std::string& initialFolder,
                       core::Dialogs* dialogs)
    : m_volumes(volumes), m_pump([this] { sync(); }), m_qtDialogs(this),
      m_slideTimer([this] { act([this] { m_app->SlideTimerTick(); }); }) {
    setObjectName("frmMain");
    setWindowTitle("Vistrel 1.00");
    setWindowIcon(QIcon(":/icons/vistrel.png"));
    m_tpp = TwipsPerPixel(this);

    core::Services services{settings,      volumes,       *this,
                            m_loader,      m_pump,        m_clock,
                            dialogs ? *dialogs : m_qtDialogs,
                            m_slideTimer,  m_shell,
                            programFolder, initialFolder, core::ButtonFaceColour,
                            m_tpp,         QLocale().decimalPoint().at(0).toLatin1()};
    m_app = std::make_unique<core::Application>(services);

    m_client = new ClientArea(this);
    setCentralWidget(m_client);
    buildPanes();
    buildMenus();
    buildToolbars();
    connectExplorer();
    connectSheet();
    connectPicture();

    m_client->onResize = [this] { act([this] { updateFrame(); m_app->FrameChanged(); }); };
    m_client->onPress = [this](QMouseEvent* e) {
        const auto button = e->button() == Qt::LeftButton    ? core::MouseButton::Left
                            : e->button() == Qt::RightButton ? core::MouseButton::Right
                                                             : core::MouseButton::Middle;
        act([&] { m_app->Layout().SplitterPress(button, e->position().x() * m_tpp); });
    };
    m_client->onMove = [this](QMouseEvent* e) {
        act([&] { m_app->Layout().SplitterMove(e->position().x() * m_tpp); });
    };
    m_client->onRelease = [this](QMouseEvent*) {
        act([&] { m_app->Layout().SplitterRelease(); });
    };

    const auto& m = m_app->Model();
    resize(ToPixels(m.frame.outerWidth, m_tpp), ToPixels(m.frame.outerHeight, m_tpp));
}

MainWindow::~MainWindow() {
    // No event loop is left to run a deferred delete.
    m_fullScreen.reset();
    for (FullScreenWindow* w : m_retired) delete w;
}

template <typename F> void MainWindow::act(F&& f) {
    // A build lets queued events run, so commands nest; count them to know when none of
    // them is on the stack any more.
    ++m_commandDepth;
    try {
        f();
    } catch (const std::exception& e) {
        showError(e.what());
    }
    --m_commandDepth;
    sync();
    if (m_commandDepth == 0) releaseRetiredWindows();
}

void MainWindow::releaseRetiredWindows() {
    // Deleted by the outermost event loop, after every handler that might still touch the
    // window has returned.
    for (FullScreenWindow* w : m_retired) w->deleteLater();
    m_retired.clear();
}

void MainWindow::showError(const std::string& text) {
    m_app->Model().status.setText(core::StatusBarState::Status, "Error: " + text);
}

void MainWindow::run(Command command, const std::string& argument) {
    act([&] { m_app->Run(command, argument); });
}

QAction* MainWindow::action(const std::string& name) const {
    auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

void MainWindow::buildMenus() {
    BuiltMenus built = BuildMenus(*this, core::MenuTable(),
                                  [this](Command c, const std::string& arg) { run(c, arg); });
    m_actions = std::move(built.actions);
    m_rightDisplay = built.menus.at("mnuRightDisplay");
    m_folderMenu = built.menus.at("mnuFolder");
}

void MainWindow::buildToolbars() {
    for (const auto& b : core::ToolbarTable()) {
        QToolBar* bar = b.toolbar == "tlbStandard" ? m_toolStrip->standard()
                                                   : m_toolStrip->tools();
        if (b.groupStart) bar->addSeparator();
        QAction* a = bar->addAction(ToolbarIcon(b.imageKey), Q(b.tooltip));
        a->setToolTip(Q(b.tooltip));
        a->setData(Q(b.key));
        a->setObjectName(Q(b.toolbar + ":" + b.key));
        a->setEnabled(core::IsAvailable(b.command));
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
            button->setObjectName(Q(b.key));
        const std::string key = b.key;
        connect(a, &QAction::triggered, this, [this, key] {
            act([&] { m_app->RunToolbarKey(key); });
        });
    }
    m_toolStrip->setBandVisible(1, true);
}

void MainWindow::buildPanes() {
    m_toolStrip = new ToolStrip(m_client);
    m_statusBar = new StatusBarWidget(m_client);
    m_progress = new QProgressBar(m_client);
    m_progress->setObjectName("ProgressBar");
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);

    m_picExplorer = new QWidget(m_client);
    m_picExplorer->setObjectName("picExplorer");
    m_dlbList = new QComboBox(m_picExplorer);
    m_dlbList->setObjectName("dlbList");
    m_drlList = new QTreeWidget(m_picExplorer);
    m_drlList->setObjectName("drlList");
    m_drlList->setHeaderHidden(true);
    m_drlList->setIndentation(12);
    m_drlList->setRootIsDecorated(false);
    m_drlList->setContextMenuPolicy(Qt::PreventContextMenu);
    m_flbList = new QListWidget(m_picExplorer);
    m_flbList->setObjectName("flbList");
    m_flbList->setUniformItemSizes(true);
    m_flbList->setContextMenuPolicy(Qt::PreventContextMenu);

    m_picFile = new QWidget(m_client);
    m_picFile->setObjectName("picFile");
    SetBackground(m_picFile, QColor(0x40, 0x40, 0x40));
    m_lblFile = new QLabel(m_picFile);
    m_lblFile->setObjectName("lblFile");
    m_lblFile->setTextFormat(Qt::PlainText);
    QPalette white = m_lblFile->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_lblFile->setPalette(white);

    m_picDisplay = new QFrame(m_client);
    m_picDisplay->setObjectName("picDisplay");
    m_picDisplay->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The surface is the pane's viewport inside its border; the picture may be far larger.
    m_picMain = new PictureSurface(m_picDisplay);
    for (const char* name : core::ResizeHandleBoxes::Names) {
        auto* handle = new QFrame(m_picMain);
        handle->setObjectName(name);
        handle->setFrameStyle(QFrame::Box | QFrame::Plain);
        handle->setAutoFillBackground(true);
        handle->hide();
        m_handles.push_back(handle);
    }
    m_picMain->setObjectName("picMain");
    m_picMain->setFocusPolicy(Qt::StrongFocus);

    m_picPreview = new QFrame(m_client);
    m_picPreview->setObjectName("picPreview");
    m_picPreview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picBack = new ThumbnailSheetWidget(m_picPreview);
    m_vScroll = new QScrollBar(Qt::Vertical, m_picPreview);
    m_vScroll->setObjectName("VScroll");
    connect(m_vScroll, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_syncing) return;
        act([&] { m_app->Grid().VScroll_Change(value); });
    });
    connect(m_vScroll, &QScrollBar::sliderMoved, this, [this](int value) {
        act([&] { m_app->Grid().VScroll_Change(value); });
    });

    // Leaving the splitter gap for any pane puts the default pointer back.
    for (QWidget* w : std::initializer_list<QWidget*>{m_statusBar, m_toolStrip, m_picFile,
                                                      m_lblFile, m_picDisplay, m_picPreview,
                                                      m_picBack, m_picExplorer}) {
        w->installEventFilter(this);
    }
}

void MainWindow::connectExplorer() {
    auto& browser = m_app->Browser();
    connect(m_flbList, &QListWidget::itemClicked, this, [this, &browser](QListWidgetItem* item) {
        act([&] { browser.fileListClick(m_flbList->row(item)); });
    });
    m_flbList->installEventFilter(this);
    m_flbList->viewport()->installEventFilter(this);
    m_drlList->viewport()->installEventFilter(this);

    connect(m_drlList, &QTreeWidget::itemActivated, this, [this, &browser](QTreeWidgetItem* item) {
        const std::string path = item->data(0, Qt::UserRole).toByteArray().toStdString();
        act([&] {
            if (auto failure = browser.setFolderPath(path)) showError(*failure);
            else browser.setDrive(browser.folderPath());
        });
    });

    connect(m_dlbList, &QComboBox::activated, this, [this, &browser](int index) {
        const std::string root = m_dlbList->itemData(index).toByteArray().toStdString();
        act([&] {
            if (auto failure = browser.setDrive(root))
                m_app->Model().status.setText(core::StatusBarState::Status, " Error: " + *failure);
        });
    });

    QComboBox* address = m_toolStrip->address();
    connect(address->lineEdit(), &QLineEdit::returnPressed, this, [this, address, &browser] {
        const std::string typed = address->currentText().toStdString();
        act([&] { browser.addressEnter(typed); });
    });
    // Picking a folder from the drop-down history goes there, as Enter on it would.
    connect(address, &QComboBox::activated, this, [this, address, &browser](int index) {
        const std::string chosen = address->itemData(index).toByteArray().toStdString();
        act([&] { browser.addressEnter(chosen); });
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto& browser = m_app->Browser();
    if (watched == m_flbList && (event->type() == QEvent::KeyPress ||
                                 event->type() == QEvent::KeyRelease)) {
        auto* key = static_cast<QKeyEvent*>(event);
        using K = core::FileListKey;
        K k = K::Other;
        switch (key->key()) {
        case Qt::Key_Delete: k = K::Delete; break;
        case Qt::Key_Up: k = K::Up; break;
        case Qt::Key_Down: k = K::Down; break;
        case Qt::Key_Left: k = K::Left; break;
        case Qt::Key_Right: k = K::Right; break;
        case Qt::Key_Shift: k = K::Shift; break;
        default: break;
        }
        if (event->type() == QEvent::KeyPress) {
            if (key->isAutoRepeat() && k == K::Shift) return true;
            act([&] { browser.fileListKeyDown(k); });
            // The arrows zoom and step through pictures here; the list must not move.
            return k != K::Other;
        }
        act([&] { browser.fileListKeyUp(k); });
        return false;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (watched == m_flbList->viewport()) {
                PopupMenu("mnuRightDisplay", core::ThumbnailMenuHidden);
                return true;
            }
            if (watched == m_drlList->viewport()) {
                m_folderMenu->popup(mouse->globalPosition().toPoint());
                return true;
            }
        }
    }
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        if (!m_app->Layout().dragging() && m_app->Model().cursor != core::Cursor::Default) {
            m_app->Model().cursor = core::Cursor::Default;
            m_client->unsetCursor();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::PopupMenu(const std::string& menu, const std::vector<std::string>& hidden) {
    QAction* menuAction = action(menu);
    if (QMenu* popup = menuAction ? menuAction->menu() : nullptr) PopupWithHidden(*popup, hidden);
}

void MainWindow::ShowFullScreenWindow() {
    if (!m_fullScreen) {
        m_fullScreen.reset(new FullScreenWindow(
            *m_app, m_tpp, [this](const std::function<void()>& f) { act(f); }));
        m_fullScreen->setWindowIcon(windowIcon());
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

void MainWindow::connectPicture() {
    const auto twips = [this](QPointF p) { return std::pair{p.x() * m_tpp, p.y() * m_tpp}; };
    m_picMain->onPress = [this, twips](QPointF p, Qt::MouseButton button) {
        const auto [x, y] = twips(p);
        act([&] {
            if (button == Qt::RightButton) m_app->Zoom().RightPress(x, y);
            else if (button == Qt::LeftButton) m_app->Zoom().LeftPress(x, y);
        });
    };
    m_picMain->onMove = [this, twips](QPointF p, Qt::MouseButtons buttons) {
        const auto [x, y] = twips(p);
        act([&] { m_app->Zoom().Move(x, y, buttons == Qt::LeftButton); });
    };
    m_picMain->onRelease = [this](QPointF, Qt::MouseButton) {
        act([&] { m_app->Zoom().Release(); });
    };
    m_picMain->onKeyDown = [this](int key) {
        using K = core::PictureKey;
        K k = K::Other;
        switch (key) {
        case Qt::Key_Delete: k = K::Delete; break;
        case Qt::Key_Up: k = K::Up; break;
        case Qt::Key_Down: k = K::Down; break;
        case Qt::Key_Left: k = K::Left; break;
        case Qt::Key_Right: k = K::Right; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: k = K::Enter; break;
        default: return;
        }
        act([&] { m_app->Zoom().KeyDown(k); });
    };
}

void MainWindow::connectSheet() {
    auto& app = *m_app;
    m_picBack->setSheet(&app.Sheet(), m_tpp);
    m_picMain->setPicture(&app.Current().picload());
    m_picBack->captionColour = [this](int index) {
        const auto& cell = m_app->Sheet().cell(index);
        return ToQColor(m_app->SelectedFiles().CaptionColour(cell.name), palette());
    };
    m_picBack->onPress = [this](int index, core::CellZone zone, core::MouseButton button) {
        act([&] { m_app->Grid().MouseDown(index, zone, button); });
    };
    m_picBack->onRelease = [this](int index, core::CellZone zone, core::MouseButton button) {
        act([&] { m_app->Grid().MouseUp(index, zone, button); });
    };
    m_picBack->onKeyDown = [this](core::CellKey key) { act([&] { m_app->Grid().KeyDown(key); }); };
    m_picBack->onKeyUp = [this](core::CellKey key) { act([&] { m_app->Grid().KeyUp(key); }); };
    m_picBack->onWheel = [this](int delta, int lines) {
        act([&] { m_app->Grid().Wheel(delta, lines); });
    };
    m_picBack->onDoubleClickCaption = [this](const std::string& name) {
        act([&] { m_app->Rename().CaptionDoubleClick(name); });
    };
    m_picBack->onRenameFocusLost = [this](const QString& text) {
        act([&] { m_app->Rename().LostFocus(text.toStdString()); });
    };
    m_picBack->onRenameKey = [this](core::RenameKey key, const QString& text) {
        bool taken = false;
        act([&] { taken = m_app->Rename().KeyDown(key, text.toStdString()); });
        return taken;
    };
}


void MainWindow::start() {
    act([this] { m_app->Start(); });
}

void MainWindow::updateFrame() {
    // The outer size is the window's own, menu bar included, without the window manager's
    // decorations: those are unknown until the window is first mapped, and a size that is
    // applied and written in the same measure cannot drift from run to run.
    auto& f = m_app->Model().frame;
    f.left = ToTwips(x(), m_tpp);
    f.top = ToTwips(y(), m_tpp);
    f.outerWidth = ToTwips(width(), m_tpp);
    f.outerHeight = ToTwips(height(), m_tpp);
    f.innerWidth = ToTwips(m_client->width(), m_tpp);
    f.innerHeight = ToTwips(m_client->height(), m_tpp);
    f.state = isMinimized()   ? core::WindowState::Minimized
              : isMaximized() ? core::WindowState::Maximized
                              : core::WindowState::Normal;
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_app)
        act([this] { updateFrame(); m_app->FrameChanged(); });
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (m_app) updateFrame();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        updateFrame();
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
    m_app->Model().frame.state = core::WindowState::Maximized;
}

void MainWindow::SetLeft(core::Twips left) {
    move(ToPixels(left, m_tpp), y());
    updateFrame();
}

void MainWindow::SetTop(core::Twips top) {
    move(x(), ToPixels(top, m_tpp));
    updateFrame();
}

// Sizes round up: a minimum of 647.47 pixels must not become 647, still below it, or the
// layout would ask for it again on every resize and never lay the panes out.
void MainWindow::SetOuterHeight(core::Twips height) {
    resize(width(), std::max(1, ToPixelsUp(height, m_tpp)));
    updateFrame();
}

void MainWindow::SetOuterWidth(core::Twips width) {
    resize(std::max(1, ToPixelsUp(width, m_tpp)), height());
    updateFrame();
}

void MainWindow::ShowWindow() {
    show();
    updateFrame();
    m_app->FrameChanged();
}

void MainWindow::FocusPicMain() {
    // With no picture shown the file list takes the keys instead.
    if (m_picMain->isVisible()) m_picMain->setFocus();
    else m_flbList->setFocus();
}

void MainWindow::CloseSecondaryWindows() {
    // About, Options, Print and Properties arrive with their features.
    CloseFullScreenWindow();
}

void MainWindow::Quit() {
    m_closed = true;
    QApplication::exit(0);
}

void MainWindow::sync() {
    if (m_syncing) return;
    m_syncing = true;
    const auto& m = m_app->Model();
    const double tpp = m_tpp;
    const QPalette& pal = palette();

    m_toolStrip->setBandVisible(2, m.bandTools);
    m_toolStrip->setBandVisible(3, m.bandAddress);
    m_toolStrip->setGeometry(ToPixelRect(m.coolBar, tpp));
    const int stripHeight = m_toolStrip->heightForWidth(m_toolStrip->width());
    if (ToPixels(m.coolBar.height, tpp) != stripHeight) {
        m_app->ToolStripHeightChanged(ToTwips(stripHeight, tpp));
        m_toolStrip->setGeometry(ToPixelRect(m.coolBar, tpp));
    }

    m_statusBar->setGeometry(ToPixelRect(m.statusBar, tpp));
    m_statusBar->render(m.status, tpp);
    m_progress->setGeometry(ToPixelRect(m.progressBar, tpp));
    m_progress->setValue(static_cast<int>(m.status.progress));
    m_progress->raise();

    m_picExplorer->setGeometry(ToPixelRect(m.picExplorer, tpp));
    m_picExplorer->setVisible(m.picExplorer.visible);
    m_dlbList->setGeometry(ToPixelRect(m.dlbList, tpp));
    m_drlList->setGeometry(ToPixelRect(m.drlList, tpp));
    m_flbList->setGeometry(ToPixelRect(m.flbList, tpp));

    m_picFile->setGeometry(ToPixelRect(m.picFile, tpp));
    m_picFile->setVisible(m.picFile.visible);
    m_lblFile->setGeometry(ToPixelRect(m.lblFile, tpp));
    m_lblFile->setText(Q(m.lblFileCaption));

    m_picDisplay->setGeometry(ToPixelRect(m.picDisplay, tpp));
    m_picDisplay->setVisible(m.picDisplay.visible);
    SetBackground(m_picDisplay, ToQColor(m.displayColour, pal));
    const int displayBorder = ToPixels(m.picDisplay.border, tpp);
    m_picMain->setGeometry(m_picDisplay->rect().adjusted(displayBorder, displayBorder,
                                                         -displayBorder, -displayBorder));
    m_picMain->setBackground(ToQColor(m.displayColour, pal));
    m_picMain->setPicture(m.picMain.visible ? &m_app->Current().picload() : nullptr);
    if (m_app->Current().PictureRevision() != m_shownRevision) {
        m_shownRevision = m_app->Current().PictureRevision();
        m_picMain->invalidateCache();
    }
    m_picMain->setPictureRect(QRectF(m.picMain.left / tpp, m.picMain.top / tpp,
                                     m.picMain.width / tpp, m.picMain.height / tpp));
    m_picMain->setCursor(ToShape(m_app->Zoom().SurfaceCursor()));
    for (std::size_t i = 0; i < m_handles.size(); ++i) {
        const core::Box& box = m.resizeHandles.boxes[i];
        m_handles[i]->setGeometry(ToPixelRect(box, tpp));
        m_handles[i]->setVisible(box.visible && m.picMain.visible);
    }
    if (m_fullScreen) m_fullScreen->sync();

    m_picPreview->setGeometry(ToPixelRect(m.picPreview, tpp));
    SetBackground(m_picPreview, ToQColor(m.thumbnailColour, pal));
    m_picBack->setThumbnailColour(ToQColor(m.thumbnailColour, pal));
    // Children of the bordered panes are placed inside the border.
    const int border = ToPixels(m.picPreview.border, tpp);
    // During a build the sheet keeps its old height; show the rows already built anyway.
    core::Box sheet = m.picBack;
    sheet.height = std::max(sheet.height, m_app->Sheet().lastCellBottom());
    m_picBack->setGeometry(ToPixelRect(sheet, tpp).translated(border, border));
    m_vScroll->setGeometry(ToPixelRect(m.vScroll, tpp).translated(border, border));
    m_vScroll->setVisible(m.vScroll.visible);
    m_vScroll->setMaximum(m.vScrollState.maximum);
    const core::ScrollSteps steps = m_app->Grid().Steps();
    m_vScroll->setSingleStep(steps.line);
    m_vScroll->setPageStep(steps.page);
    m_vScroll->setValue(m.vScrollState.value);

    for (const char* name : {"mnuTool", "mnuAddress"})
        if (QAction* a = action(name)) a->setChecked(m_app->MenuChecked(name));

    renderExplorer();

    const auto& rename = m_app->Rename();
    m_picBack->showRenameEditor(rename.isOpen(), rename.sheetBox(), Q(rename.fileName()));
    m_picBack->update();

    // The busy pointer covers the whole program while a build runs.
    const bool busy = m.cursor == core::Cursor::Busy;
    if (busy != m_busyCursor) {
        m_busyCursor = busy;
        if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
        else QApplication::restoreOverrideCursor();
    }
    const Qt::CursorShape shape = ToShape(busy ? core::Cursor::Default : m.cursor);
    if (m_client->cursor().shape() != shape) {
        if (m.cursor == core::Cursor::Default) m_client->unsetCursor();
        else m_client->setCursor(shape);
    }
    m_syncing = false;
}

void MainWindow::renderExplorer() {
    const auto& browser = m_app->Browser();

    if (browser.files() != m_shownFiles) {
        m_shownFiles = browser.files();
        m_flbList->clear();
        QStringList names;
        names.reserve(static_cast<int>(m_shownFiles.size()));
        for (const auto& f : m_shownFiles) names << Text(f);
        m_flbList->addItems(names);
    }
    const int position = m_app->FileListPosition();
    if (position >= 0 && position < m_flbList->count() && m_flbList->currentRow() != position)
        m_flbList->setCurrentRow(position);

    if (browser.folders() != m_shownFolders) {
        m_shownFolders = browser.folders();
        m_drlList->clear();
        std::vector<QTreeWidgetItem*> chain;
        QTreeWidgetItem* currentItem = nullptr;
        const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
        const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
        for (const auto& entry : m_shownFolders) {
            chain.resize(static_cast<size_t>(entry.depth));
            QTreeWidgetItem* item = chain.empty() ? new QTreeWidgetItem(m_drlList)
                                                  : new QTreeWidgetItem(chain.back());
            item->setText(0, Text(entry.name));
            item->setData(0, Qt::UserRole, Bytes(entry.path));
            item->setToolTip(0, Text(entry.path));
            // The chain down to the open folder shows open folders; its subfolders closed ones.
            item->setIcon(0, !currentItem || entry.current ? open : closed);
            if (entry.current) currentItem = item;
            chain.push_back(item);
        }
        m_drlList->expandAll();
        if (currentItem) {
            m_drlList->setCurrentItem(currentItem);
            m_drlList->scrollToItem(currentItem);
        }
    }

    if (browser.drive() != m_shownDrive || m_dlbList->count() == 0) {
        m_shownDrive = browser.drive();
        m_dlbList->clear();
        // The drive list shows every mounted volume; the current one is selected.
        for (const auto& v : m_volumes.volumes()) {
            m_dlbList->addItem(Text(v.displayName), Bytes(v.rootPath));
            if (v.rootPath == m_shownDrive) m_dlbList->setCurrentIndex(m_dlbList->count() - 1);
        }
    }

    QComboBox* address = m_toolStrip->address();
    bool rewrite = browser.addressText() != m_shownAddress;
    if (browser.addressHistory() != m_shownHistory) {
        m_shownHistory = browser.addressHistory();
        // Refilling the list makes its first (oldest) entry current; the text must follow
        // the folder shown, not that entry.
        address->clear();
        for (const auto& path : m_shownHistory) address->addItem(Text(path), Bytes(path));
        rewrite = true;
    }
    // What the user is typing stays until the folder changes.
    if (rewrite) {
        m_shownAddress = browser.addressText();
        address->setEditText(Text(m_shownAddress));
    }
}

} // namespace vistrel::qt
