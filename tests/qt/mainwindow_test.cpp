#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

#include "core/app/commands.h"
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
    QString iniText() {
        QFile f(settings->fileName());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

} // namespace

TEST_F(MainWindowTest, FirstStartWritesTheDefaultsAndShowsTheProgramFolder) {
    auto& w = open();
    const QString ini = iniText();
    for (const QString& line :
         QStringList{"load=set", "thucolour=-2147483633", "lastdir=" + program.path()})
        EXPECT_TRUE(ini.contains(line)) << line.toStdString();
    EXPECT_EQ(w.windowTitle(), "Vistrel 1.00");
    EXPECT_TRUE(w.isMaximized());
    for (const char* name :
         {"picExplorer", "picDisplay", "picPreview", "picFile", "tlbTools", "txtAddress"})
        EXPECT_TRUE(child(name)->isVisible()) << name;
    EXPECT_EQ(panel("images"), "Images: 2");
    EXPECT_EQ(child<QComboBox>("txtAddress")->currentText(), program.path());
}

TEST_F(MainWindowTest, ClosingWritesTheSettingsBackAndExitWritesNothing) {
    open().action("mnuExplorer")->trigger();
    window->close();
    QSettings ini(settings->fileName(), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Settings/showexplorer").toString(), "False");
    EXPECT_EQ(ini.value("Settings/maximized").toString(), "True");
    EXPECT_EQ(ini.value("Settings/lastdir").toString(), program.path());

    open();
    EXPECT_FALSE(child("picExplorer")->isVisible());
    const QString before = iniText();
    auto* address = child<QComboBox>("txtAddress");
    address->setEditText(other.path());
    QTest::keyClick(address->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(panel("images"), "Images: 1");
    window->action("mnuExit")->trigger();
    EXPECT_EQ(iniText(), before);
}

TEST_F(MainWindowTest, AStoredSizeThatIsNotANumberStopsStartUpQuietly) {
    open();
    window->close();
    {
        QSettings ini(settings->fileName(), QSettings::IniFormat);
        ini.setValue("Settings/maximized", "False");
        ini.setValue("Settings/FORMW", "abc"); // keys match whatever their case
    }
    auto& w = open();
    EXPECT_FALSE(w.isMaximized());
    EXPECT_TRUE(w.app().StartupTrapped());
    EXPECT_EQ(panel("images"), "Images:");
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

TEST_F(MainWindowTest, EveryMenuItemExistsAndEveryToolbarButtonRunsItsMenuCommand) {
    auto& w = open();
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
