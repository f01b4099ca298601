#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <iostream>

#include "qt/platform/twips.h"
#include "qt/testwindow.h"
#include "qt/widgets/thumbnailsheetwidget.h"

using namespace vistrel;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

class ThumbnailGridTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        for (int i = 0; i < 8; ++i)
            test::SavePicture(folder.filePath(QString("pic%1.bmp").arg(i)), {40 + 10 * i, 30},
                              QColor::fromHsv(i * 40, 200, 200));
        open(folder.path());
    }
    qt::ThumbnailSheetWidget* sheet() { return child<qt::ThumbnailSheetWidget>("picBack"); }
    // The centre of cell i's picture or caption, in the sheet widget's pixels.
    QPoint centre(int i, bool caption = false) {
        const auto& c = app().Sheet().cell(i);
        const core::Box& part = caption ? c.caption : c.image;
        const double tpp = qt::TwipsPerPixel(window.get());
        return QPoint(qt::ToPixels(c.cell.left + part.left + part.width / 2, tpp),
                      qt::ToPixels(c.cell.top + part.top + part.height / 2, tpp));
    }
    void click(int i, bool shift = false) {
        if (shift) QTest::keyPress(sheet(), Qt::Key_Shift);
        QTest::mouseClick(sheet(), Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                          centre(i));
        if (shift) QTest::keyRelease(sheet(), Qt::Key_Shift);
    }
    Names selected() { return app().SelectedFiles().names(); }
};

} // namespace

TEST_F(ThumbnailGridTest, ClicksAndShiftClicksSelectAndShowPictures) {
    ASSERT_EQ(app().Sheet().cellCount(), 8);
    EXPECT_EQ(selected(), Names{"pic0.bmp"}); // the build ends on the first
    click(2);
    click(5, true);
    click(7, true);
    EXPECT_EQ(selected(), (Names{"pic2.bmp", "pic5.bmp", "pic7.bmp"}));
    EXPECT_EQ(app().Current().PixelSizeText(), "110 x 30 Pixel"); // pic7 is shown
    EXPECT_TRUE(child("picMain")->isVisible());
    click(5, true); // takes a selected picture out but still shows it
    EXPECT_EQ(selected(), (Names{"pic2.bmp", "pic7.bmp"}));
    EXPECT_EQ(app().Current().PixelSizeText(), "90 x 30 Pixel");
    click(3);
    EXPECT_EQ(selected(), Names{"pic3.bmp"});
}

TEST_F(ThumbnailGridTest, RenameInPlaceRefusesAnExistingNameAndKeepsBothFiles) {
    const auto bytes = [&](const char* name) {
        QFile f(folder.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray pic1 = bytes("pic1.bmp"), pic2 = bytes("pic2.bmp");
    QTest::mouseDClick(sheet(), Qt::LeftButton, {}, centre(1, true));
    ASSERT_TRUE(sheet()->renameEditorOpen());
    EXPECT_EQ(sheet()->renameEditor()->text(), "pic1.bmp");
    app().Rename().LostFocus("pic2.bmp");
    EXPECT_EQ(dialogs.messages, Names{"pic2.bmp has already been used.|Vistrel|0|0"});
    EXPECT_EQ(bytes("pic1.bmp"), pic1);
    EXPECT_EQ(bytes("pic2.bmp"), pic2);

    QTest::mouseDClick(sheet(), Qt::LeftButton, {}, centre(1, true));
    app().Rename().LostFocus("renamed.bmp");
    EXPECT_EQ(bytes("renamed.bmp"), pic1);
    EXPECT_FALSE(QFile::exists(folder.filePath("pic1.bmp")));
    EXPECT_EQ(panel("images"), "Images: 8"); // the folder was read again
}

// Third-party pictures: every file gets a cell, readable ones a thumbnail, the rest a broken
// mark, and the build always finishes.
TEST(CorpusBuild, EveryFolderBuildsToTheEnd) {
    const fs::path root = VISTREL_CORPORA_DIR;
    if (!fs::exists(root)) GTEST_SKIP() << "no corpora at " << root;
    for (const auto& [name, allReadable] : {std::pair{"bmpsuite/g", true},
                                            {"bmpsuite/q", false},
                                            {"gif-pygif", false},
                                            {"jpeg-testimages", false},
                                            {"ico-image-rs/ico/images", false}}) {
        const fs::path folder = root / name;
        if (!fs::exists(folder)) continue;
        test::TestWindow w;
        auto& app = w.open(QString::fromStdString(folder.string())).app();
        const int files = static_cast<int>(app.Browser().files().size());
        int broken = 0;
        for (int i = 0; i < app.Sheet().cellCount(); ++i) {
            const auto& cell = app.Sheet().cell(i);
            EXPECT_TRUE(cell.broken || !cell.thumbnail.isNull()) << cell.name;
            broken += cell.broken;
        }
        EXPECT_EQ(app.Sheet().cellCount(), std::max(files, 1)) << name;
        EXPECT_EQ(app.Current().ImageCount, files) << name;
        EXPECT_EQ(app.Model().status.progress, 0) << name;
        EXPECT_TRUE(!allReadable || broken == 0) << name << ": " << broken;
        // A failure is not lost behind the build time (the final load may report its own).
        EXPECT_TRUE(broken == 0 || w.panel("status").toStdString() != app.Builder().buildTimeText())
            << name;
        std::cout << name << ": " << files << " files, " << files - broken << " thumbnails, "
                  << broken << " broken\n";
    }
}
