#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "qt/testwindow.h"
#include "qt/widgets/thumbnailsheetwidget.h"

using namespace vistrel;

namespace {

class GridScrollTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        for (int i = 0; i < 60; ++i)
            test::SavePicture(folder.filePath(QString("pic%1.bmp").arg(i)), {24, 16},
                              QColor::fromHsv(i * 6, 200, 200));
        open(folder.path());
    }
    QWidget* sheet() { return child("picBack"); }
    QScrollBar* bar() { return child<QScrollBar>("VScroll"); }
    void wheel(QWidget* target, int delta) {
        const QPointF at(target->width() / 2.0, 10);
        QWheelEvent event(at, target->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
};

} // namespace

TEST_F(GridScrollTest, KeysAndTheWheelOverTheSheetMoveTheScrollBarAndTheSheet) {
    ASSERT_TRUE(bar()->isVisible()) << "60 cells should not fit the pane";
    QTest::mouseClick(sheet(), Qt::LeftButton, {}, QPoint(20, 20));
    const int top = sheet()->y(); // inside the pane's border

    QTest::keyClick(sheet(), Qt::Key_PageDown);
    const int paged = bar()->value();
    EXPECT_GT(paged, 0);
    EXPECT_EQ(bar()->pageStep(), paged); // the bar pages as the keys do
    EXPECT_LT(sheet()->y(), top);

    QTest::keyClick(sheet(), Qt::Key_End);
    EXPECT_EQ(bar()->value(), bar()->maximum());
    EXPECT_NEAR(sheet()->geometry().bottom(), child("picPreview")->contentsRect().bottom(), 1);
    QTest::keyClick(sheet(), Qt::Key_Home);
    EXPECT_EQ(bar()->value(), 0);
    EXPECT_EQ(sheet()->y(), top);

    // A notch down over the sheet goes as far as the same notch over the scroll bar.
    wheel(sheet(), -120);
    const int overSheet = bar()->value();
    EXPECT_GT(overSheet, 0);
    EXPECT_LT(sheet()->y(), top);
    QTest::keyClick(sheet(), Qt::Key_Home);
    wheel(bar(), -120);
    EXPECT_EQ(bar()->value(), overSheet);
    wheel(sheet(), 120);
    EXPECT_EQ(bar()->value(), 0);
    EXPECT_EQ(sheet()->y(), top);
}
