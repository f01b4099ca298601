#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QTest>

#include "qt/testwindow.h"
#include "qt/widgets/thumbnailpane.h"

using namespace vistrel;

namespace {

// How often a widget was painted.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

class WiringTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        for (int i = 0; i < 12; ++i)
            test::SavePicture(folder.filePath(QString("p%1.bmp").arg(i, 2, 10, QChar('0'))),
                              {40 + i, 30}, QColor::fromHsv(i * 30, 200, 200));
        open(folder.path());
        window->showNormal();
        window->resize(900, 600);
        QCoreApplication::processEvents();
    }
    QString shown() { return child<QLabel>("lblFile")->text(); }
};

} // namespace

TEST_F(WiringTest, FileListKeysStepAndZoomAndLeaveTheListWhereThePictureIs) {
    auto* list = child<QListView>("flbList");
    list->setFocus();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(3, 0)).center());
    EXPECT_TRUE(shown().startsWith("Image: p03.bmp"));
    QTest::keyClick(list, Qt::Key_Right);
    EXPECT_TRUE(shown().startsWith("Image: p04.bmp"));
    EXPECT_EQ(list->currentIndex().row(), 4); // moved by the load, not by the arrow
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(panel("zoom"), "Zoom: 105%");
}

TEST_F(WiringTest, DraggingTheGapBetweenThePanesMovesTheSplitter) {
    QWidget* client = window->centralWidget();
    QWidget* display = child("picDisplay");
    QWidget* preview = child("picPreview");
    const int width = display->width();
    const QPoint gap((display->geometry().right() + preview->geometry().left()) / 2 + 1, 200);
    QTest::mousePress(client, Qt::LeftButton, {}, gap);
    QTest::mouseMove(client, gap + QPoint(-40, 0));
    QTest::mouseRelease(client, Qt::LeftButton, {}, gap + QPoint(-40, 0));
    EXPECT_EQ(display->width(), width - 40);
    EXPECT_EQ(preview->x(), display->geometry().right() + 1 + 4); // the 60-twip gap
}

TEST_F(WiringTest, ASlideShowTickReachesTheScreen) {
    window->action("mnuSlideShow")->trigger();
    ASSERT_EQ(platform->slideTimer.interval(), 1000);
    const QString before = shown();
    platform->slideTimer.tick();
    EXPECT_NE(shown(), before);
    EXPECT_EQ(child<QListView>("flbList")->currentIndex().row(), app().Current().CurrentFileIndex);
    window->action("mnuSlideShow")->trigger();
    EXPECT_EQ(platform->slideTimer.interval(), 0);
}

TEST_F(WiringTest, AFilterFromTheMenuShowsTheEditedPicture) {
    ASSERT_TRUE(window->action("mnuInvert")->isEnabled());
    const QRgb before = app().Current().picload().at(0, 0);
    window->action("mnuInvert")->trigger();
    EXPECT_EQ(app().Current().picload().at(0, 0), (~before & 0xFFFFFFu) | 0xFF000000u);
    EXPECT_TRUE(panel("status").startsWith("Processed in "));
    EXPECT_EQ(child<QProgressBar>("ProgressBar")->value(), 0);
}

// Every event renders the window; what did not change is not painted again.
TEST_F(WiringTest, MovingTheMouseRepaintsNoThumbnail) {
    QWidget* sheet = child("picBack");
    QWidget* picture = child("picMain");
    PaintCounter counter;
    sheet->installEventFilter(&counter);
    QCoreApplication::processEvents();
    const int asked = window->thumbnailPane()->sheetRepaints();
    counter.paints = 0;
    for (int x = 5; x < 300; x += 15) {
        QTest::mouseMove(sheet, QPoint(x, 40));
        QTest::mouseMove(picture, QPoint(x, 60)); // the picture's moves run a render each
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(window->thumbnailPane()->sheetRepaints(), asked);
    EXPECT_EQ(counter.paints, 0);

    // A click that changes the selection does repaint it.
    QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(50, 40));
    QCoreApplication::processEvents();
    EXPECT_GT(window->thumbnailPane()->sheetRepaints(), asked);
}

TEST_F(WiringTest, APictureGivenAtStartIsShownAndSelectedInItsFolder) {
    QTemporaryDir program;
    open(program.path(), {}, folder.filePath("p11.bmp"));
    EXPECT_TRUE(shown().startsWith("Image: p11.bmp")) << shown().toStdString();
    EXPECT_EQ(app().SelectedFiles().names(), std::vector<std::string>{"p11.bmp"});
    EXPECT_EQ(child<QListView>("flbList")->currentIndex().row(), 11);
}
