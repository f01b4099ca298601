#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "core/viewer/currentimage.h"
#include "qt/platform/twips.h"
#include "qt/testwindow.h"
#include "qt/widgets/picturesurface.h"
#include "qt/windows/fullscreenwindow.h"

using namespace vistrel;

namespace {

class ViewingTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        const QSize sizes[] = {{300, 200}, {120, 90}, {64, 64}};
        for (int i = 0; i < 3; ++i)
            test::SavePicture(folder.filePath(QString("p%1.bmp").arg(i)), sizes[i],
                              QColor::fromHsv(i * 90, 180, 220));
        open(folder.path());
    }
    QString zoomText() { return panel("zoom"); }
};

} // namespace

TEST_F(ViewingTest, FullScreenShowsTheZoomedPictureAndFollowsLoads) {
    window->action("mnu300")->trigger();
    EXPECT_EQ(zoomText(), "Zoom: 300%");
    const core::Box main = app().Model().picMain;
    EXPECT_EQ(main.width, 300 * 15 * 3);

    window->action("mnuFullScreen")->trigger();
    QPointer<qt::FullScreenWindow> full = window->fullScreenWindow();
    ASSERT_TRUE(full);
    EXPECT_EQ(full->windowTitle(), "Vistrel - Full Screen");
    const core::FullScreenModel& fs = app().FullScreen();
    EXPECT_EQ(fs.picMain.width, main.width);
    // Centred in its own pane.
    EXPECT_DOUBLE_EQ(fs.picMain.left + fs.picMain.width / 2, fs.picDisplay.width / 2);
    EXPECT_DOUBLE_EQ(fs.picMain.top + fs.picMain.height / 2, fs.picDisplay.height / 2);

    // A drag here leaves the main picture where it was.
    auto* surface = full->surface();
    const QPoint from = surface->rect().center(), to = from + QPoint(40, 25);
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), surface->mapToGlobal(QPointF(to)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(surface, &move);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
    EXPECT_NE(fs.picMain.left, fs.picDisplay.width / 2 - fs.picMain.width / 2);
    EXPECT_EQ(app().Model().picMain, main);

    full->action("mnuNext")->trigger();
    EXPECT_EQ(zoomText(), "Zoom: 100%");
    EXPECT_EQ(app().Current().PixelSizeText(), "120 x 90 Pixel");
    EXPECT_EQ(app().Model().picMain.width, 120 * 15);
    EXPECT_EQ(fs.picMain.width, 120 * 15);

    QTest::keyClick(surface, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(full);
    EXPECT_EQ(window->fullScreenWindow(), nullptr);
    window->action("mnuFullScreen")->trigger();
    EXPECT_NE(window->fullScreenWindow(), nullptr);
}

TEST_F(ViewingTest, AHiddenDisplayPaneOpensFullScreenOnALoad) {
    window->action("mnuDisplay")->trigger();
    EXPECT_EQ(window->fullScreenWindow(), nullptr);
    window->action("mnuNext")->trigger();
    ASSERT_NE(window->fullScreenWindow(), nullptr);
    EXPECT_TRUE(window->fullScreenWindow()->isVisible());
}

TEST_F(ViewingTest, ZoomKeysOnThePictureAndHandlesAroundIt) {
    auto* surface = child<qt::PictureSurface>("picMain");
    ASSERT_NE(surface, nullptr);
    QTest::keyClick(surface, Qt::Key_Up);
    EXPECT_EQ(zoomText(), "Zoom: 105%");
    QTest::keyClick(surface, Qt::Key_Down);
    QTest::keyClick(surface, Qt::Key_Down);
    EXPECT_EQ(zoomText(), "Zoom: 95%");
    // The option is on by default: the handles hug the picture.
    auto* topLeft = surface->findChild<QWidget*>("picTL");
    ASSERT_NE(topLeft, nullptr);
    EXPECT_TRUE(topLeft->isVisible());
    const core::Box box = app().Model().resizeHandles.boxes[core::ResizeHandleBoxes::TL];
    EXPECT_EQ(topLeft->geometry(), qt::ToPixelRect(box, 15));
    // A press on the picture hides them until the release.
    QTest::mousePress(surface, Qt::LeftButton, {}, surface->rect().center());
    EXPECT_FALSE(topLeft->isVisible());
    QTest::mouseRelease(surface, Qt::LeftButton, {}, surface->rect().center());
    EXPECT_TRUE(topLeft->isVisible());
}

// The window's decode limit reaches the loader; what a reduced picture refuses is tested in core.
TEST(BigPictureWindowTest, AReducedPictureSaysSoAndRefusesEditsWithAMessage) {
    test::TestWindow w;
    QTemporaryDir folder;
    // 4000 x 3000 takes 48 MB: under a 16 MB limit it comes at 1/2.
    test::SavePicture(folder.filePath("big.jpg"), {4000, 3000}, QColor(40, 90, 160));
    w.open(folder.path(), {}, folder.filePath("big.jpg"), std::int64_t{16} << 20);
    EXPECT_TRUE(w.child<QLabel>("lblFile")->text().endsWith("4000 x 3000 Pixel (shown at 1/2)"))
        << w.child<QLabel>("lblFile")->text().toStdString();
    EXPECT_EQ(w.app().Current().picload().width(), 2000);

    const std::uint64_t revision = w.app().Current().PictureRevision();
    w->action("mnuInvert")->trigger();
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].rfind(core::ReducedPictureMessage, 0), 0u);
    EXPECT_EQ(w.app().Current().PictureRevision(), revision);
}
