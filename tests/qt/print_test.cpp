#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "qt/testwindow.h"
#include "qt/widgets/thumbnailsheetwidget.h"
#include "qt/windows/printwindow.h"

using namespace vistrel;

namespace {

// Three 300 x 400 pictures: at 96 DPI 4,500 x 6,000 twips, so two fit on a page.
class PrintTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    QTemporaryDir out;
    void SetUp() override {
        for (int i = 0; i < 3; ++i)
            test::SavePicture(folder.filePath(QString("pic%1.bmp").arg(i)), {300, 400},
                              QColor::fromHsv(i * 90, 200, 200));
        open(folder.path());
        window->showNormal();
    }
    void click(int i, bool shift) {
        auto* sheet = child<qt::ThumbnailSheetWidget>("picBack");
        if (shift) QTest::keyPress(sheet, Qt::Key_Shift);
        QTest::mouseClick(sheet, Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                          cellCentre(i));
        if (shift) QTest::keyRelease(sheet, Qt::Key_Shift);
    }
    qt::PrintWindow* dialog() { return window->printWindow(); }
    template <typename T = QWidget> T* control(const char* name) {
        return dialog()->findChild<T*>(name);
    }
    // Prints to a PDF file through the dialog's own controls.
    void printTo(const QString& file) {
        auto* printers = control<QComboBox>("cmbPrinters");
        printers->setFocus();
        QTest::keyClick(printers, Qt::Key_End); // the PDF entry is the last
        dialogs.saveNames = {file.toStdString()};
        dialogs.saveDialogs.clear();
        QTest::mouseClick(control<QPushButton>("cmdPrint"), Qt::LeftButton);
    }
    static int Count(const QByteArray& pdf, const char* pattern) {
        return static_cast<int>(QString::fromLatin1(pdf).count(QRegularExpression(pattern)));
    }
};

} // namespace

TEST_F(PrintTest, ThreePicturesGoOntoTwoPdfPages) {
    click(0, false);
    click(1, true);
    click(2, true);
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_EQ(dialog()->windowTitle(), "Vistrel - Print");
    EXPECT_EQ(control<QComboBox>("cmbQuality")->currentText(), "Medium");

    ASSERT_EQ(app().SelectedFiles().names().size(), 3u);
    const QString file = out.filePath("three.pdf");
    printTo(file);
    const QByteArray pdf = test::ReadFile(file);
    ASSERT_FALSE(pdf.isEmpty()) << dialogs.messages.size();
    EXPECT_EQ(Count(pdf, "/Type\\s*/Page\\b"), 2);
    EXPECT_EQ(Count(pdf, "/Subtype\\s*/Image"), 3);
    // Each page's resources follow it: two pictures on the first, one on the second.
    const QStringList pages =
        QString::fromLatin1(pdf).split(QRegularExpression("/Type\\s*/Page\\b"));
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(Count(pages[1].toLatin1(), "/Im\\d+ \\d+ 0 R"), 2);
    EXPECT_EQ(Count(pages[2].toLatin1(), "/Im\\d+ \\d+ 0 R"), 1);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"three.pdf"});
}

TEST_F(PrintTest, QualityPicksTheResolutionAndFailuresLeaveNoFile) {
    click(0, false);
    click(2, true);
    window->action("mnuPrint")->trigger();
    auto* quality = control<QComboBox>("cmbQuality");
    quality->setFocus();
    QTest::keyClick(quality, Qt::Key_Home);
    EXPECT_EQ(quality->currentText(), "Draft");
    printTo(out.filePath("draft.pdf"));
    EXPECT_EQ(app().PrintState().LastTarget()->quality, -1);
    EXPECT_EQ(platform->printers.lastResolution(), 150);
    QTest::keyClick(quality, Qt::Key_End);
    printTo(out.filePath("high.pdf"));
    EXPECT_EQ(app().PrintState().LastTarget()->quality, -4);
    EXPECT_EQ(platform->printers.lastResolution(), 1200);

    // The second file is damaged now: the earlier PDF keeps its bytes, no new one is left.
    const QByteArray before = test::ReadFile(out.filePath("high.pdf"));
    QFile damaged(folder.filePath("pic2.bmp"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("BM not a picture");
    damaged.close();
    printTo(out.filePath("high.pdf"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("pic2.bmp"), std::string::npos) << dialogs.messages[0];
    EXPECT_EQ(test::ReadFile(out.filePath("high.pdf")), before);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"draft.pdf", "high.pdf"}));
}
