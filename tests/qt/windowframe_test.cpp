#include <filesystem>

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

#include "qt/testwindow.h"
#include "qt/widgets/picturesurface.h"
#include "qt/windows/fullscreenwindow.h"

using namespace vistrel;

namespace {

class WindowFrameTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        for (int i = 0; i < 3; ++i)
            test::SavePicture(folder.filePath(QString("p%1.bmp").arg(i)), {80, 60}, Qt::darkRed);
    }
    // Starts once for the defaults, then again with these settings changed.
    qt::MainWindow& reopen(const std::map<QString, QString>& changes) {
        open(folder.path());
        window->close();
        {
            QSettings ini(settings().fileName(), QSettings::IniFormat);
            for (const auto& [key, value] : changes) ini.setValue("Settings/" + key, value);
        }
        return open(folder.path());
    }
    QString stored(const char* key) {
        return QSettings(settings().fileName(), QSettings::IniFormat)
            .value(QString("Settings/") + key)
            .toString();
    }
};

} // namespace

// F5 in the full-screen window rebuilds the grid, and the build lets queued events run: an
// Esc waiting there closes the window while its own Refresh is still on the stack.
TEST_F(WindowFrameTest, AWindowClosedUnderItsOwnCommandIsDeletedOnlyAfterIt) {
    open(folder.path()).action("mnuFullScreen")->trigger();
    QPointer<qt::FullScreenWindow> full = window->fullScreenWindow();
    ASSERT_TRUE(full);
    QCoreApplication::postEvent(full->surface(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    full->action("mnuRefresh")->trigger();
    EXPECT_EQ(window->fullScreenWindow(), nullptr); // the Esc was handled during the build
    // ...but the window outlived the Refresh that was running in it.
    EXPECT_FALSE(full.isNull());
    EXPECT_EQ(panel("images"), "Images: 3");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(full.isNull());

    window->action("mnuFullScreen")->trigger(); // a fresh one opens
    EXPECT_TRUE(window->fullScreenWindow() && window->fullScreenWindow()->isVisible());
}

TEST_F(WindowFrameTest, AtItsMinimumSizeEveryPaneStaysInside) {
    auto& w = reopen({{"maximized", "False"}, {"formw", "1500"}, {"formh", "1500"}});
    QCoreApplication::processEvents();
    // bar 5545 makes the narrowest window 9712 twips: 647.47 pixels, so 648.
    EXPECT_EQ(w.width(), 648);
    EXPECT_GE(w.height(), 312); // Qt's own minimum for the menu and tool bars may be more
    const QRect client = w.centralWidget()->rect();
    for (const char* name : {"StatusBar", "picPreview", "picExplorer", "picDisplay", "CoolBar"}) {
        const QRect r = child(name)->geometry();
        EXPECT_TRUE(client.contains(r)) << name << " " << r.x() << "," << r.y() << " "
                                        << r.width() << "x" << r.height();
    }
    EXPECT_EQ(child("StatusBar")->geometry().bottom(), client.bottom());
    // The progress bar lies on the status bar, clear of the toolbars.
    EXPECT_TRUE(child("StatusBar")->geometry().contains(child("ProgressBar")->geometry()));
}

TEST_F(WindowFrameTest, PlacementWrittenAtCloseIsWhatTheNextStartApplies) {
    auto& w = reopen({{"maximized", "False"}, {"forml", "300"}, {"formt", "450"},
                      {"formw", "10500"}, {"formh", "7500"}});
    EXPECT_EQ(w.size(), QSize(700, 500));
    for (int run = 0; run < 2; ++run) {
        window->close();
        EXPECT_EQ((QStringList{stored("formw"), stored("formh")}), (QStringList{"10500", "7500"}))
            << run;
        open(folder.path());
    }
}

TEST_F(WindowFrameTest, UnMaximizingRestoresTheStoredNormalSize) {
    auto& w = reopen({{"maximized", "True"}, {"formw", "10500"}, {"formh", "7500"}});
    EXPECT_TRUE(w.isMaximized());
    w.showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.size(), QSize(700, 500));
}

TEST_F(WindowFrameTest, TheAddressBoxShowsTheFolderJustEntered) {
    QTemporaryDir a, b;
    open(folder.path());
    auto* address = child<QComboBox>("txtAddress");
    for (const QString& path : {a.path(), b.path()}) {
        address->lineEdit()->setFocus();
        address->lineEdit()->selectAll();
        QTest::keyClicks(address->lineEdit(), path);
        QTest::keyClick(address->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(address->currentText(), path);
    }
    EXPECT_EQ(app().Browser().folderPath(), b.path().toStdString());
    QTest::keyClick(address->lineEdit(), Qt::Key_Return); // Enter again stays where it is
    EXPECT_EQ(app().Browser().folderPath(), b.path().toStdString());
}

TEST_F(WindowFrameTest, AFolderWhoseNameIsNotUtf8OpensFromTheTree) {
    const std::string odd = folder.path().toStdString() + "/caf\xe9-\xff";
    ASSERT_TRUE(std::filesystem::create_directory(odd));
    open(folder.path());
    auto* tree = child<QTreeWidget>("drlList");
    QTreeWidgetItem* target = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toByteArray().toStdString() == odd) target = *it;
    ASSERT_NE(target, nullptr);
    tree->setFocus();
    tree->setCurrentItem(target);
    QTest::keyClick(tree->viewport(), Qt::Key_Return);
    EXPECT_EQ(app().Browser().folderPath(), odd);
    EXPECT_EQ(panel("images"), "Images: 0");
}

TEST_F(WindowFrameTest, SettingsThatCannotBeSavedAreReported) {
    open(folder.path());
    window->close();
    QFile ini(settings().fileName());
    ASSERT_TRUE(ini.setPermissions(QFileDevice::ReadOwner));
    if (ini.open(QIODevice::WriteOnly | QIODevice::Append))
        GTEST_SKIP() << "file permissions are not enforced for this user";
    open(folder.path());
    EXPECT_EQ(panel("status").toStdString(),
              "Settings cannot be saved: " + QDir::toNativeSeparators(ini.fileName()).toStdString() +
                  " is read-only");
    window->close(); // and closing does not crash
    ini.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
