#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "core/app/commands.h"
#include "qt/platform/qtsettingsbackend.h"
#include "qt/platform/qtvolumesource.h"
#include "qt/windows/mainwindow.h"

using namespace vistrel;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    QTemporaryDir config;
    QTemporaryDir program;
    QTemporaryDir other;
    std::unique_ptr<qt::QtSettingsBackend> settings;
    qt::QtVolumeSource volumes;
    std::unique_ptr<qt::MainWindow> window;

    void SetUp() override {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        ASSERT_TRUE(picture.save(program.filePath("one.jpg")));
        ASSERT_TRUE(picture.save(program.filePath("two.bmp")));
        ASSERT_TRUE(picture.save(other.filePath("three.jpg")));
    }
    void TearDown() override {
        window.reset();
        settings.reset();
    }

    qt::MainWindow& open() {
        window.reset();
        settings = std::make_unique<qt::QtSettingsBackend>();
        window = std::make_unique<qt::MainWindow>(*settings, volumes, program.path().toStdString(),
                                                  other.path().toStdString());
        window->start();
        return *window;
    }
    QString iniText() {
        QFile f(settings->fileName());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QString panel(const char* key) {
        return window->findChild<QLabel*>(key)->text();
    }
    template <typename T> T* child(const char* name) { return window->findChild<T*>(name); }
};

} // namespace

TEST_F(MainWindowTest, FirstStartWritesTheDefaultsAndShowsTheProgramFolder) {
    auto& w = open();
    const QString ini = iniText();
    for (const char* line : {"load=set", "bar=5545", "homedir=False", "maximized=True",
                             "forml=190", "formh=6360", "formw=9180", "propt=2000",
                             "showexplorer=True", "slidemode=2", "slidedelay=1000",
                             "thucolour=-2147483633", "discolour=-2147483633", "loadthumb=True",
                             "baraddress=True", "bartools=True", "repeat=0", "resizehandles=1"})
        EXPECT_TRUE(ini.contains(line)) << line;
    EXPECT_TRUE(ini.contains("lastdir=" + program.path()));
    EXPECT_EQ(w.windowTitle(), "Vistrel 1.00");
    EXPECT_TRUE(w.isMaximized());
    for (const char* pane : {"picExplorer", "picDisplay", "picPreview", "picFile"})
        EXPECT_TRUE(child<QWidget>(pane)->isVisible()) << pane;
    EXPECT_TRUE(child<QWidget>("tlbTools")->isVisible());
    EXPECT_TRUE(child<QWidget>("txtAddress")->isVisible());
    EXPECT_EQ(panel("images"), "Images: 2");
    EXPECT_EQ(child<QComboBox>("txtAddress")->currentText(), program.path());
}

TEST_F(MainWindowTest, ClosingWritesTheSettingsBackAndExitWritesNothing) {
    open().action("mnuExplorer")->trigger();
    window->close();
    QSettings ini(settings->fileName(), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Settings/showexplorer").toString(), "False");
    EXPECT_EQ(ini.value("Settings/showdisplay").toString(), "True");
    EXPECT_EQ(ini.value("Settings/maximized").toString(), "True");
    EXPECT_EQ(ini.value("Settings/lastdir").toString(), program.path());

    open();
    EXPECT_FALSE(child<QWidget>("picExplorer")->isVisible());
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
    const QString file = config.path() + "/Vistrel/Vistrel.ini";
    QDir().mkpath(config.path() + "/Vistrel");
    for (const QByteArray& junk :
         {QByteArray(), QByteArray("[Settings]\nload=se"), QByteArray("\x00\xff\xfe[\x01=\x02", 8)}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
        f.close();
        auto& w = open();
        EXPECT_EQ(w.windowTitle(), "Vistrel 1.00");
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
        if (e.separator) {
            EXPECT_TRUE(a->isSeparator()) << e.name;
            continue;
        }
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
        ran.clear();
        button->click();
        ASSERT_EQ(ran.size(), 1u) << b.key;
        bool menuRunsIt = false;
        for (const auto& e : core::MenuTable())
            if (e.command == ran[0] && w.action(e.name) && e.parent != "mnuRightDisplay") {
                ran.clear();
                w.action(e.name)->trigger();
                menuRunsIt = ran.size() == 1 && ran[0] == b.command;
                break;
            }
        EXPECT_TRUE(menuRunsIt) << b.key;
    }
}

TEST_F(MainWindowTest, ViewTogglesMoveThePanes) {
    auto& w = open();
    auto* display = child<QWidget>("picDisplay");
    auto* preview = child<QWidget>("picPreview");
    const double widthBefore = w.app().Model().picDisplay.width;
    const QRect previewBefore = preview->geometry();
    w.action("mnuExplorer")->trigger();
    EXPECT_FALSE(child<QWidget>("picExplorer")->isVisible());
    EXPECT_EQ(display->x(), 0);
    EXPECT_EQ(w.app().Model().picDisplay.width, widthBefore + 1995);
    EXPECT_EQ(preview->geometry(), previewBefore);
    w.action("mnuDisplay")->trigger();
    EXPECT_FALSE(display->isVisible());
    EXPECT_EQ(preview->x(), 0);
    w.action("mnuAddress")->trigger();
    EXPECT_FALSE(child<QWidget>("txtAddress")->isVisible());
    EXPECT_FALSE(w.action("mnuAddress")->isChecked());
    EXPECT_TRUE(iniText().contains("baraddress=False"));
}
