#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "qt/testwindow.h"
#include "qt/widgets/picturesurface.h"
#include "qt/windows/aboutwindow.h"
#include "qt/windows/fullscreenwindow.h"

using namespace vistrel;

namespace {

using Names = std::vector<std::string>;

class HelpTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        test::SavePicture(folder.filePath("a.bmp"), {40, 30}, Qt::red);
        open(folder.path());
        window->showNormal();
        QCoreApplication::processEvents();
    }
    // The online entries of a window's Help menu, in menu order.
    template <typename W> void triggerOnlineEntries(W& w) {
        for (const char* name : {"mnuUpdateSite", "mnuFeedback", "mnuDownloads", "mnuQuorvane"})
            w.action(name)->trigger();
    }
    Names expectedPages() const {
        return {(folder.path() + "/help.html").toStdString(),
                "https://quorvane.example/updates/", "https://quorvane.example/feedback/",
                "https://quorvane.example/downloads/", "https://quorvane.example/"};
    }
};

} // namespace

TEST_F(HelpTest, F1AndTheOnlineEntriesOpenTheirPagesFromBothWindows) {
    QTest::keyClick(child("picMain"), Qt::Key_F1);
    triggerOnlineEntries(*window);
    EXPECT_EQ(shell.opened, expectedPages());
    QTest::keyClick(child("flbList"), Qt::Key_F1);
    EXPECT_EQ(shell.opened.size(), 6u);
    EXPECT_EQ(shell.opened.back(), expectedPages().front());

    shell.opened.clear();
    window->action("mnuFullScreen")->trigger();
    qt::FullScreenWindow* full = window->fullScreenWindow();
    ASSERT_NE(full, nullptr);
    QCoreApplication::processEvents();
    QTest::keyClick(full->surface(), Qt::Key_F1);
    triggerOnlineEntries(*full);
    EXPECT_EQ(shell.opened, expectedPages());
    EXPECT_TRUE(full->isVisible()); // none of them closes the window
}

TEST_F(HelpTest, AboutOpensOnceComesForwardAndItsLinkAndOkWork) {
    window->action("mnuAbout")->trigger();
    qt::AboutWindow* about = window->aboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), "Vistrel - About");
    EXPECT_EQ(about->findChild<QLabel*>("lblVersion")->text(), "Version 1.0.3");
    EXPECT_EQ(about->findChild<QLabel*>("lblLink")->text(), "Quorvane.");

    // Opened again from the full-screen window over the main one: the same window, in front.
    window->action("mnuFullScreen")->trigger();
    QCoreApplication::processEvents();
    ASSERT_NE(QApplication::activeWindow(), about);
    window->fullScreenWindow()->action("mnuAbout")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->aboutWindow(), about);
    EXPECT_EQ(QApplication::activeWindow(), about);
    int abouts = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        abouts += w->objectName() == "frmAbout";
    EXPECT_EQ(abouts, 1);

    QTest::mouseClick(about->findChild<QLabel*>("lblLink"), Qt::LeftButton);
    EXPECT_EQ(shell.opened, Names{"https://quorvane.example/"});
    QTest::mouseClick(about->findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(shell.opened.size(), 1u); // Ok opens nothing

    window->action("mnuAbout")->trigger();
    ASSERT_TRUE(about->isVisible());
    window->close(); // closing the main window takes the About window with it
    EXPECT_FALSE(about->isVisible());
}
