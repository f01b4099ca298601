#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTest>

#include "qt/testwindow.h"
#include "qt/windows/fullscreenwindow.h"
#include "qt/windows/optionswindow.h"

using namespace vistrel;

namespace {

class OptionsWindowTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        test::SavePicture(folder.filePath("p.bmp"), {40, 30}, QColor(100, 110, 120));
        open(folder.path());
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    qt::OptionsWindow* dialog() { return window->optionsWindow(); }
    template <typename T = QWidget> T* control(const char* name) {
        T* found = dialog()->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void openByKey() { QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier); }
    void clickTab(int index) {
        auto* tabs = control<QTabBar>("tabOptions");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
    // Check boxes and option buttons take clicks on their box and caption only.
    void clickCaption(const char* name) {
        QWidget* box = control(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    void clickButton(const char* name) {
        QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton);
    }
};

} // namespace

TEST_F(OptionsWindowTest, OneWindowFromEitherMenuWithPagesFollowingTheTabs) {
    openByKey();
    ASSERT_NE(dialog(), nullptr);
    QPointer<qt::OptionsWindow> first = dialog();
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), "Options");
    const char* pages[] = {"picDisplay", "picSlideShow", "picStartUp"};
    for (int tab : {1, 2, 0, 2}) {
        clickTab(tab);
        for (int page = 0; page < 3; ++page)
            EXPECT_EQ(control(pages[page])->isVisible(), page == tab) << tab << pages[page];
    }

    EXPECT_TRUE(control<QRadioButton>("optLastdir")->isChecked());
    EXPECT_FALSE(control("txtHome")->isEnabled());
    clickCaption("optHomedir");
    EXPECT_FALSE(control<QRadioButton>("optLastdir")->isChecked());
    EXPECT_TRUE(control("cmdBrowseDir")->isEnabled());

    // Opened again, from the main window or the full-screen one: the same window as it is.
    openByKey();
    EXPECT_EQ(dialog(), first);
    window->action("mnuFullScreen")->trigger();
    ASSERT_NE(window->fullScreenWindow(), nullptr);
    window->fullScreenWindow()->action("mnuOptions")->trigger();
    EXPECT_EQ(dialog(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(control("picStartUp")->isVisible());
    EXPECT_TRUE(control<QRadioButton>("optHomedir")->isChecked());
}

TEST_F(OptionsWindowTest, ApplyWritesAndHidesTheHandlesAndTheMainWindowClosesIt) {
    QWidget* topLeft = child("picTL");
    ASSERT_TRUE(topLeft && topLeft->isVisible());
    openByKey();
    ASSERT_NE(dialog(), nullptr);
    clickCaption("chkResizeHandles");
    clickTab(1);
    EXPECT_EQ(control<QLabel>("lblDelay")->text(), "1");
    QTest::keyClick(control<QSlider>("Slider"), Qt::Key_PageUp);
    EXPECT_EQ(control<QLabel>("lblDelay")->text(), "2");
    clickButton("cmdApply");
    EXPECT_EQ(settings().read("resizehandles"), "0");
    EXPECT_EQ(settings().read("slidedelay"), "2000");
    EXPECT_FALSE(topLeft->isVisible());
    EXPECT_TRUE(dialog()->isVisible());

    // Closing the main window closes it too, writing nothing of its own.
    QTest::keyClick(control<QSlider>("Slider"), Qt::Key_PageUp);
    QPointer<qt::OptionsWindow> shown = dialog();
    window->close();
    EXPECT_EQ(app().Options(), nullptr);
    EXPECT_FALSE(shown && shown->isVisible());
    EXPECT_EQ(settings().read("slidedelay"), "2000");
}
