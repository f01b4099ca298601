#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "core/app/numbers.h"
#include "qt/platform/twips.h"
#include "qt/testwindow.h"
#include "qt/windows/propertieswindow.h"

using namespace vistrel;

namespace {

class PropertiesWindowTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        test::SavePicture(folder.filePath("p.bmp"), {40, 30}, QColor(100, 110, 120));
        open(folder.path());
    }
    qt::PropertiesWindow* dialog() { return window->propertiesWindow(); }
    template <typename T = QWidget> T* control(const char* name) {
        return dialog()->findChild<T*>(name);
    }
    int pixels(core::Twips twips) { return qt::ToPixels(twips, qt::TwipsPerPixel(dialog())); }
};

} // namespace

TEST_F(PropertiesWindowTest, TheMenuOpensThePanelAndOkEditsThePicture) {
    window->action("mnuBrightness")->trigger();
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->windowTitle(), "Properties");
    EXPECT_TRUE(dialog()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(control("picBrightness")->isVisible());
    EXPECT_FALSE(control("picRGB")->isVisible());
    EXPECT_EQ(dialog()->height(), pixels(1610));

    auto* slider = control<QSlider>("sldBrightness");
    QTest::keyClick(slider, Qt::Key_PageUp); // one tick: +10
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_EQ(app().Properties()->SliderValue("sldBrightness"), 20);
    QTest::mouseClick(control<QPushButton>("cmdBOk"), Qt::LeftButton);
    EXPECT_EQ(app().Current().picload().at(5, 5), 0xFF78828Cu);
    EXPECT_TRUE(panel("status").startsWith("Processed in ")) << panel("status").toStdString();
    EXPECT_TRUE(dialog()->isVisible());

    // The same window switches panels and height; typing a width sets the height.
    QPointer<qt::PropertiesWindow> same = dialog();
    window->action("mnuResize")->trigger();
    EXPECT_EQ(dialog(), same);
    EXPECT_FALSE(control("picBrightness")->isVisible());
    EXPECT_TRUE(control("picResize")->isVisible());
    EXPECT_EQ(dialog()->height(), pixels(2820));
    auto* width = control<QLineEdit>("txtWidth");
    width->selectAll();
    QTest::keyClicks(width, "20");
    EXPECT_EQ(control<QLineEdit>("txtHeight")->text(), "15");
    QTest::mouseClick(control<QPushButton>("cmdROk"), Qt::LeftButton);
    EXPECT_EQ(app().Current().PixelSizeText(), "20 x 15 Pixel");
}

TEST_F(PropertiesWindowTest, CancelClosesItAndItReopensWhereItWas) {
    window->action("mnuReplace")->trigger();
    QPointer<qt::PropertiesWindow> first = dialog();
    ASSERT_TRUE(first);
    first->move(300, 200);
    QTest::mouseClick(control<QPushButton>("cmdCCancel"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    EXPECT_EQ(app().Properties(), nullptr);
    const double tpp = qt::TwipsPerPixel(window.get());
    EXPECT_EQ(settings().read("propl"), core::FormatNumber(300 * tpp));
    EXPECT_EQ(settings().read("propt"), core::FormatNumber(200 * tpp));

    window->action("mnuBalance")->trigger();
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->pos(), QPoint(300, 200));
    EXPECT_TRUE(control("picRGB")->isVisible());

    // Closing the main window closes the dialog the same way.
    dialog()->move(120, 90);
    window->close();
    EXPECT_EQ(settings().read("propl"), core::FormatNumber(120 * tpp));
    EXPECT_EQ(app().Properties(), nullptr);
}
