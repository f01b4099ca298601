// Mouse events go through the window system's path, as a user's do: a double-click then
// arrives as press, release, double-click, release, not as a lone double-click event.
#define QTEST_QPA_MOUSE_HANDLING

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>

#include "qt/corpora.h"
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
    void click(int i, bool shift = false) {
        if (shift) QTest::keyPress(sheet(), Qt::Key_Shift);
        QTest::mouseClick(sheet(), Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                          cellCentre(i));
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

// The rename box over a caption, driven by double-clicks, typing, keys and focus moving to
// another widget.
class RenameInPlaceTest : public ThumbnailGridTest {
protected:
    void SetUp() override {
        for (const char* name : {"a2.jpg", "b2.bmp", "c2.jpg", "d2.jpg"})
            test::SavePicture(folder.filePath(name), {40, 30}, Qt::darkCyan);
        open(folder.path());
    }
    QLineEdit* editor() { return sheet()->renameEditor(); }
    int indexOf(const std::string& name) {
        for (int i = 0; i < app().Sheet().cellCount(); ++i)
            if (app().Sheet().cell(i).name == name) return i;
        ADD_FAILURE() << name << " has no cell";
        return 0;
    }
    void doubleClickCaption(const std::string& name) {
        QTest::mouseDClick(sheet(), Qt::LeftButton, {}, cellCentre(indexOf(name), true));
    }
    // Replaces the box's text as a user would.
    void retype(const char* text) {
        QTest::keyClick(editor(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor(), text);
    }
    void clickAway() {
        QTest::mouseClick(child<QComboBox>("txtAddress")->lineEdit(), Qt::LeftButton);
    }
    QByteArray bytes(const char* name) { return test::ReadFile(folder.filePath(name)); }
    Names files() {
        Names names;
        for (const auto& entry : fs::directory_iterator(folder.path().toStdString()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RenameInPlaceTest, FocusLeavingTheBoxRenamesOrRefusesAnExistingName) {
    const QByteArray a2 = bytes("a2.jpg"), b2 = bytes("b2.bmp");
    doubleClickCaption("a2.jpg");
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_TRUE(editor()->hasFocus());
    EXPECT_EQ(editor()->text().toStdString(), "a2.jpg");
    retype("b2.bmp");
    clickAway();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(dialogs.messages, Names{"b2.bmp has already been used.|Vistrel|0|0"});
    EXPECT_EQ(bytes("a2.jpg"), a2);
    EXPECT_EQ(bytes("b2.bmp"), b2);

    doubleClickCaption("a2.jpg");
    retype("renamed.jpg");
    child("picMain")->setFocus();
    EXPECT_EQ(bytes("renamed.jpg"), a2);
    EXPECT_EQ(files(), (Names{"b2.bmp", "c2.jpg", "d2.jpg", "renamed.jpg"}));
    EXPECT_EQ(panel("images"), "Images: 4"); // the folder was read again
}

// Reported: the box committed by cell index, so after a File Type change the file that
// moved into its cell was renamed.
TEST_F(RenameInPlaceTest, ARebuildWhileTheBoxIsOpenClosesItUnchanged) {
    const Names before = files();
    const QByteArray a2 = bytes("a2.jpg"), b2 = bytes("b2.bmp");
    const std::vector<std::pair<const char*, std::function<void()>>> rebuilds{
        {"File Type *.BMP", [&] { window->action("mnuBmp")->trigger(); }},
        {"F5", [&] { QTest::keyClick(editor(), Qt::Key_F5); }},
        {"File Type *.*", [&] { window->action("mnuAll")->trigger(); }}};
    for (const auto& [what, rebuild] : rebuilds) {
        SCOPED_TRACE(what);
        doubleClickCaption("a2.jpg");
        ASSERT_TRUE(editor()->hasFocus());
        retype("holiday.jpg");
        rebuild();
        EXPECT_FALSE(editor()->isVisible());
        clickAway();
        EXPECT_EQ(files(), before);
        EXPECT_EQ(bytes("a2.jpg"), a2);
        EXPECT_EQ(bytes("b2.bmp"), b2);
        EXPECT_TRUE(dialogs.messages.empty());
        if (app().Browser().files().size() == 1) window->action("mnuAll")->trigger();
    }
}

// The first click of the double-click commits the open box, and the refresh moves the cells:
// the new box belongs to the file that was double-clicked, not to whatever took its place.
TEST_F(RenameInPlaceTest, DoubleClickOnAnotherCaptionCommitsAndOpensOnTheClickedFile) {
    doubleClickCaption("a2.jpg");
    retype("z.jpg");
    doubleClickCaption("c2.jpg");
    EXPECT_EQ(files(), (Names{"b2.bmp", "c2.jpg", "d2.jpg", "z.jpg"}));
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_TRUE(editor()->hasFocus());
    EXPECT_EQ(editor()->text().toStdString(), "c2.jpg");
    EXPECT_EQ(app().Rename().cellIndex(), indexOf("c2.jpg"));
}

TEST_F(RenameInPlaceTest, EnterCommitsAndEscapeCancels) {
    doubleClickCaption("b2.bmp");
    retype("kept.bmp");
    QTest::keyClick(editor(), Qt::Key_Escape);
    EXPECT_FALSE(editor()->isVisible());
    clickAway();
    EXPECT_EQ(files(), (Names{"a2.jpg", "b2.bmp", "c2.jpg", "d2.jpg"}));

    doubleClickCaption("b2.bmp");
    retype("entered.bmp");
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(files(), (Names{"a2.jpg", "c2.jpg", "d2.jpg", "entered.bmp"}));
    EXPECT_TRUE(dialogs.messages.empty());
}

// Third-party pictures: every file gets a cell, readable ones a thumbnail, the rest a broken
// mark, and the build always finishes.
struct BuildCorpus {
    const char* name;
    const char* folder;
    bool allReadable;
};

class CorpusBuild : public ::testing::TestWithParam<BuildCorpus> {};

TEST_P(CorpusBuild, EveryFolderBuildsToTheEnd) {
    const fs::path folder = test::CorporaRoot() / GetParam().folder;
    if (!fs::is_directory(folder)) GTEST_SKIP() << "picture corpus not present: " << folder;
    test::TestWindow w;
    auto& app = w.open(QString::fromStdString(folder.string())).app();
    const int files = static_cast<int>(app.Browser().files().size());
    int broken = 0;
    for (int i = 0; i < app.Sheet().cellCount(); ++i) {
        const auto& cell = app.Sheet().cell(i);
        EXPECT_TRUE(cell.broken || !cell.thumbnail.isNull()) << cell.name;
        broken += cell.broken;
    }
    EXPECT_EQ(app.Sheet().cellCount(), std::max(files, 1));
    EXPECT_EQ(app.Current().ImageCount, files);
    EXPECT_EQ(app.Model().status.progress, 0);
    EXPECT_TRUE(!GetParam().allReadable || broken == 0) << broken;
    // A failure is not lost behind the build time (the final load may report its own).
    const bool buildTimeShown =
        QRegularExpression("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d$").match(w.panel("status")).hasMatch();
    EXPECT_TRUE(broken == 0 || !buildTimeShown) << w.panel("status").toStdString();
    std::cout << GetParam().folder << ": " << files << " files, " << files - broken
              << " thumbnails, " << broken << " broken\n";
}

INSTANTIATE_TEST_SUITE_P(ThumbnailGrid, CorpusBuild,
                         ::testing::Values(BuildCorpus{"bmpsuite_g", "bmpsuite/g", true},
                                           BuildCorpus{"bmpsuite_q", "bmpsuite/q", false},
                                           BuildCorpus{"gif_pygif", "gif-pygif", false},
                                           BuildCorpus{"jpeg_testimages", "jpeg-testimages", false},
                                           BuildCorpus{"ico_image_rs_ico_images",
                                                       "ico-image-rs/ico/images", false}),
                         [](const auto& info) { return std::string(info.param.name); });
