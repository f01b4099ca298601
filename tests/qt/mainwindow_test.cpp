#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include "core/app/commands.h"
#include "qt/windows/fullscreenwindow.h"
#include "qt/testwindow.h"

using namespace vistrel;

namespace {

class MainWindowTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir program, other;
    void SetUp() override {
        test::SavePicture(program.filePath("one.jpg"), {64, 48}, Qt::darkCyan);
        test::SavePicture(program.filePath("two.bmp"), {64, 48}, Qt::darkCyan);
        test::SavePicture(other.filePath("three.jpg"), {64, 48}, Qt::darkCyan);
    }
    qt::MainWindow& open() { return TestWindow::open(program.path(), other.path()); }
    QString iniText() { return QString::fromUtf8(test::ReadFile(settings().fileName())); }
    // Exit ends the application's event loop, so it runs inside one as in the program: a quit
    // asked for with no loop running stays pending and would end every later loop (a spy's
    // wait) at once. A probe loop returns -1 at once only while a quit is pending.
    int exitCode() {
        QTimer::singleShot(0, window.get(), [this] {
            window->action("mnuExit")->trigger();
            QEventLoop probe;
            QTimer::singleShot(0, &probe, [&probe] { probe.exit(1); });
            if (probe.exec() != -1) QCoreApplication::exit(1); // Exit did not quit
        });
        return QApplication::exec();
    }
};

} // namespace

// The settings travel through the real INI file: a first start, a close, a start again.
TEST_F(MainWindowTest, SettingsMakeTheRoundTripThroughTheIniFile) {
    auto& first = open();
    EXPECT_TRUE(first.isMaximized());
    for (const char* name : {"picExplorer", "picDisplay", "picPreview", "tlbTools", "txtAddress"})
        EXPECT_TRUE(child(name)->isVisible()) << name;
    first.action("mnuExplorer")->trigger();
    window->close();
    EXPECT_TRUE(iniText().contains("showexplorer=False"));

    open();
    EXPECT_FALSE(child("picExplorer")->isVisible());
    const QString before = iniText();
    EXPECT_EQ(exitCode(), 0); // ends at once and writes nothing
    EXPECT_EQ(iniText(), before);

    {
        QSettings ini(settings().fileName(), QSettings::IniFormat);
        ini.setValue("Settings/maximized", "False");
        ini.setValue("Settings/FORMW", "abc"); // keys match whatever their case
    }
    auto& trapped = open();
    EXPECT_TRUE(trapped.app().StartupTrapped());
    EXPECT_TRUE(trapped.isVisible());
    EXPECT_TRUE(panel("status").contains("formw"));
}

TEST_F(MainWindowTest, ADamagedSettingsFileStillStarts) {
    QDir().mkpath(config.path() + "/Vistrel");
    for (const QByteArray& junk : {QByteArray(), QByteArray("[Settings]\nload=se"),
                                   QByteArray("\x00\xff\xfe[\x01=\x02", 8)}) {
        QFile f(config.path() + "/Vistrel/Vistrel.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
        f.close();
        EXPECT_EQ(open().windowTitle(), "Vistrel 1.00");
        EXPECT_EQ(panel("images"), "Images: 2") << junk.toHex().constData();
        window->close();
    }
}

namespace {

struct PinnedItem {
    const char* menu; // the menu holding the item; empty for the menu bar
    const char* name;
    const char* caption;
    const char* shortcut;
};

// Whether menu (the menu bar when empty) holds the named action with that caption and key.
void ExpectPinned(QMainWindow& window, const std::function<QAction*(const std::string&)>& action,
                  const PinnedItem& item) {
    SCOPED_TRACE(item.name);
    QAction* a = action(item.name);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text().toStdString(), item.caption);
    EXPECT_EQ(a->shortcut(), QKeySequence(item.shortcut));
    const QList<QAction*> siblings =
        *item.menu ? action(item.menu)->menu()->actions() : window.menuBar()->actions();
    EXPECT_TRUE(siblings.contains(a)) << "not in " << item.menu;
}

} // namespace

TEST_F(MainWindowTest, EveryMenuItemExistsAndEveryToolbarButtonRunsItsMenuCommand) {
    auto& w = open();
    // A few items of every menu, as they must read, so that a slip in the command table
    // cannot pass by comparing the table with itself.
    const PinnedItem pinned[] = {
        {"", "mnuFile", "&File", ""},
        {"mnuFile", "mnuSaveas", "Save As", "Ctrl+S"},
        {"mnuFile", "mnuEditImage", "Shell Edit", "Ctrl+E"},
        {"mnuFile", "mnuExit", "Exit", "F12"},
        {"mnuEdit", "mnuCopy", "Copy", "Ctrl+X"},
        {"mnuEdit", "mnuCopyTo", "Copy To", "Ctrl+C"},
        {"mnuEdit", "mnuDelete", "Delete", "Shift+Del"},
        {"mnuFolder", "mnuRenameFolder", "Rename Folder", ""},
        {"mnuView", "mnuExplorer", "Explorer", "F8"},
        {"mnuView", "mnuOptions", "Options", "Ctrl+O"},
        {"mnuToolbars", "mnuAddress", "Address", ""},
        {"mnuFileType", "mnuCur", "*.CUR", ""},
        {"mnuZoom", "mnuZoomOut", "Zoom Out", "F4"},
        {"mnuTools", "mnuSelectAll", "Select All", "Ctrl+A"},
        {"mnuColor", "mnuGaryscaling", "Grey Scaling", ""},
        {"", "mnuHelp", "&Help", ""},
        {"mnuHelp", "mnuOnlineR", "Online Resources ", ""},
        {"mnuOnlineR", "mnuQuorvane", "Quorvane Home Page", ""},
        {"mnuRightDisplay", "mnuEditR", "Shell Edit", ""}};
    for (const PinnedItem& item : pinned)
        ExpectPinned(w, [&](const std::string& name) { return w.action(name); }, item);

    for (const auto& e : core::MenuTable()) {
        QAction* a = w.action(e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->objectName().toStdString(), e.name);
        EXPECT_EQ(a->isSeparator(), e.separator) << e.name;
        if (e.separator) continue;
        EXPECT_EQ(a->text().toStdString(), e.caption) << e.name;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromStdString(e.shortcut))) << e.name;
    }
    EXPECT_TRUE(w.action("mnuTool")->isChecked());
    EXPECT_FALSE(w.action("mnuRightDisplay")->isVisible() &&
                 w.menuBar()->actions().contains(w.action("mnuRightDisplay")));

    std::vector<core::Command> ran;
    w.app().CommandObserver = [&](core::Command c, const std::string&) { ran.push_back(c); };
    for (const auto& b : core::ToolbarTable()) {
        auto* button = child<QToolButton>(b.key.c_str());
        ASSERT_NE(button, nullptr) << b.key;
        EXPECT_EQ(button->toolTip().toStdString(), b.tooltip);
        // What is not built yet is greyed out, and a click on it runs nothing.
        EXPECT_EQ(button->isEnabled(), core::IsAvailable(b.command)) << b.key;
        ran.clear();
        button->click();
        if (!button->isEnabled()) {
            EXPECT_TRUE(ran.empty()) << b.key;
            continue;
        }
        ASSERT_EQ(ran, std::vector{b.command}) << b.key;
        bool menuRunsIt = false;
        for (const auto& e : core::MenuTable())
            if (e.command == b.command && w.action(e.name) && e.parent != "mnuRightDisplay") {
                ran.clear();
                w.action(e.name)->trigger();
                menuRunsIt = ran == std::vector{b.command};
                break;
            }
        EXPECT_TRUE(menuRunsIt) << b.key;
    }

    // The full-screen window's own menus differ from the main window's in places.
    w.action("mnuFullScreen")->trigger();
    qt::FullScreenWindow* full = w.fullScreenWindow();
    ASSERT_NE(full, nullptr);
    const PinnedItem fullScreenPinned[] = {
        {"mnuFile", "mnuEditImage", "Shell Edit", "Ctrl+S"},
        {"mnuFile", "mnuClose", "Close", ""},
        {"mnuEdit", "mnuMoveTo", "Move To", "Ctrl+M"},
        {"mnuEdit", "mnuDelete", "Delete", ""},
        {"mnuZoom", "mnu10", "10%", ""},
        {"mnuRightDisplay", "mnuZoomInR", "Zoom In", ""}};
    for (const PinnedItem& item : fullScreenPinned)
        ExpectPinned(*full, [&](const std::string& name) { return full->action(name); }, item);
}

TEST_F(MainWindowTest, ViewTogglesMoveThePanes) {
    auto& w = open();
    const QRect preview = child("picPreview")->geometry();
    w.action("mnuExplorer")->trigger();
    EXPECT_EQ(child("picDisplay")->x(), 0);
    EXPECT_EQ(child("picPreview")->geometry(), preview);
    w.action("mnuDisplay")->trigger();
    EXPECT_FALSE(child("picDisplay")->isVisible());
    EXPECT_EQ(child("picPreview")->x(), 0);
    w.action("mnuAddress")->trigger();
    EXPECT_FALSE(child("txtAddress")->isVisible());
    EXPECT_FALSE(w.action("mnuAddress")->isChecked());
    EXPECT_TRUE(iniText().contains("baraddress=False"));
}
