#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include "qt/testwindow.h"
#include "qt/widgets/picturesurface.h"

using namespace vistrel;

namespace {

class SelectionTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        test::SavePicture(folder.filePath("p.bmp"), {300, 200}, QColor(40, 90, 160));
        open(folder.path());
        ASSERT_EQ(app().Current().picload().width(), 300);
    }
    QWidget* surface() { return child("picMain"); }
    // A move with the left button held, as the window system delivers it.
    static void dragTo(QWidget* widget, QPoint to) {
        QMouseEvent move(QEvent::MouseMove, QPointF(to), widget->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(widget, &move);
    }
};

} // namespace

TEST_F(SelectionTest, TheRubberBandIsDrawnOverThePictureAndCropCutsToIt) {
    window->action("mnuSelect")->trigger();
    EXPECT_EQ(surface()->cursor().shape(), Qt::CrossCursor);
    auto* picMain = static_cast<qt::PictureSurface*>(surface());
    const QPoint origin = picMain->pictureRect().topLeft().toPoint();
    QTest::mousePress(picMain, Qt::LeftButton, {}, origin + QPoint(20, 10));
    dragTo(picMain, origin + QPoint(70, 40));
    dragTo(picMain, origin + QPoint(120, 60));
    QTest::mouseRelease(picMain, Qt::LeftButton, {}, origin + QPoint(120, 60));

    // The band's corner shows the picture's colour inverted; inside it the picture is intact.
    const QImage shown = picMain->grab().toImage();
    EXPECT_EQ(shown.pixelColor(origin + QPoint(60, 10)), QColor(255 - 40, 255 - 90, 255 - 160));
    EXPECT_EQ(shown.pixelColor(origin + QPoint(60, 30)), QColor(40, 90, 160));

    window->action("mnuCrop")->trigger();
    EXPECT_EQ(app().Current().picload().width(), 100);
    EXPECT_EQ(app().Current().picload().height(), 50);
    EXPECT_TRUE(app().SelectionBand().drawn.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SelectionTest, DraggingTheBottomRightHandleResizesThePicture) {
    window->action("mnu200")->trigger();
    QWidget* handle = child("picBR");
    ASSERT_TRUE(handle->isVisible());
    // The press alone turns the 200 % into a real resize; the surface follows the drag
    // while the handle is hidden.
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(app().Current().picload().width(), 600);
    EXPECT_EQ(panel("zoom"), "Zoom: 100%");
    EXPECT_FALSE(handle->isVisible());
    const QPoint at = handle->mapTo(surface(), QPoint(2, 2));
    dragTo(surface(), at + QPoint(30, 20));
    QTest::mouseRelease(surface(), Qt::LeftButton, {}, at + QPoint(30, 20));
    EXPECT_EQ(app().Current().picload().width(), 630);
    EXPECT_EQ(app().Current().picload().height(), 420);
    EXPECT_TRUE(handle->isVisible());
    EXPECT_EQ(app().Current().PixelSizeText(), "630 x 420 Pixel");
}
