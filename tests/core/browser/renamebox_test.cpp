#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/renamebox.h"
#include "core/browser/thumbnailsheet.h"
#include "fakes/rigs.h"

using namespace vistrel::core;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

struct RenameTest : ::testing::Test, vistrel::test::BrowserRig<> {
    RenameTest() {
        dir.file("a.jpg", "AAA");
        dir.file("b.jpg", "BBB");
        openBrowser();
        model.lblFileName0 = {140, 1320, 1295, 255};
        model.picBack.width = 3151;
        build({"a.jpg", "b.jpg"});
        box = std::make_unique<RenameBox>(sheet, *browser, dialogs);
    }
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.insert(entry.path().filename().string());
        return names;
    }
    bool rename(const std::string& name, const std::string& text) {
        EXPECT_TRUE(box->CaptionDoubleClick(name));
        return box->LostFocus(text);
    }
    // Fills the cells with these names as a build does.
    void build(const Names& names) {
        sheet.Clear();
        if (names.empty()) return;
        sheet.StartCells();
        for (std::size_t i = 0; i < names.size(); ++i)
            sheet.FillCell(static_cast<int>(i), names[i], Image(), Extent{800, 600});
    }

    ThumbnailSheet sheet{model};
    vistrel::test::ScriptedDialogs dialogs;
    std::unique_ptr<RenameBox> box;
};

} // namespace

TEST_F(RenameTest, OneBoxAtATimeOverTheCaptionAndOnlyANewNameRenames) {
    EXPECT_FALSE(box->LostFocus("x.jpg")); // nothing open
    EXPECT_FALSE(box->CaptionDoubleClick("c.jpg")); // no such cell
    EXPECT_FALSE(box->CaptionDoubleClick(""));
    ASSERT_TRUE(box->CaptionDoubleClick("b.jpg"));
    EXPECT_FALSE(box->CaptionDoubleClick("a.jpg"));
    EXPECT_EQ(box->cellIndex(), 1);
    EXPECT_EQ(box->fileName(), "b.jpg");
    EXPECT_EQ(box->box(), (Box{140, 1250, 1295, 285}));
    EXPECT_EQ(box->sheetBox(), (Box{1715, 1250, 1295, 285}));
    EXPECT_FALSE(box->LostFocus(""));
    EXPECT_FALSE(box->isOpen());
    EXPECT_FALSE(rename("b.jpg", "b.jpg")); // unchanged name
    EXPECT_TRUE(dialogs.messages.empty() && hooks.calls.empty());
    EXPECT_EQ(entries(), (std::set<std::string>{"a.jpg", "b.jpg"}));

    EXPECT_TRUE(rename("a.jpg", "sea side 2.jpg"));
    EXPECT_EQ(entries(), (std::set<std::string>{"b.jpg", "sea side 2.jpg"}));
    EXPECT_EQ(dir.read("sea side 2.jpg"), "AAA");
    EXPECT_EQ(sheet.cell(0).name, "sea side 2.jpg");
    EXPECT_EQ(hooks.calls, (Names{"clear", "build"})); // the folder is read and built again
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(RenameTest, RefusedNamesNeverReplaceAFileAndShowOneMessage) {
    fs::create_directory(dir.path("sub"));
    fs::create_symlink(dir.path("gone.jpg"), dir.path("dangling.jpg"));
    const auto before = entries();
    // Which names are plain is the rename rule's test; one of each way to be refused here.
    const Names refused{"b.jpg", "sub", "dangling.jpg", "../b.jpg", std::string(300, 'n')};
    for (const auto& name : refused) {
        dialogs.messages.clear();
        EXPECT_FALSE(rename("a.jpg", name)) << name;
        EXPECT_EQ(dialogs.messages, Names{name + " has already been used.|Vistrel|0|0"});
        EXPECT_EQ(entries(), before) << name;
        EXPECT_EQ(dir.read("a.jpg") + dir.read("b.jpg"), "AAABBB") << name;
        EXPECT_EQ(sheet.cell(0).name, "a.jpg");
    }
    EXPECT_TRUE(fs::is_empty(dir.path("sub")));
    fs::remove(dir.path("a.jpg")); // a file that has gone
    EXPECT_FALSE(rename("a.jpg", "c.jpg"));
    EXPECT_EQ(dialogs.messages.back(), "c.jpg has already been used.|Vistrel|0|0");
    EXPECT_TRUE(hooks.calls.empty());
}

// A File Type change or a refresh rebuilds the grid under an open box: whatever now sits in
// its cell, and the file it was opened on, stay as they are.
TEST_F(RenameTest, ARebuildWhileTheBoxIsOpenClosesItAndRenamesNothing) {
    const std::vector<Names> rebuilds{{"b.jpg"}, {"a.jpg", "b.jpg"}, {}};
    for (const auto& cells : rebuilds) {
        SCOPED_TRACE(cells.size());
        build({"a.jpg", "b.jpg"});
        ASSERT_TRUE(box->CaptionDoubleClick("a.jpg"));
        build(cells);
        EXPECT_FALSE(box->isOpen());
        EXPECT_EQ(box->cellIndex(), -1);
        EXPECT_EQ(box->fileName(), "");
        EXPECT_FALSE(box->LostFocus("holiday.jpg"));
        EXPECT_EQ(entries(), (std::set<std::string>{"a.jpg", "b.jpg"}));
        EXPECT_EQ(dir.read("a.jpg") + dir.read("b.jpg"), "AAABBB");
        EXPECT_TRUE(dialogs.messages.empty() && hooks.calls.empty());
    }
}

// The first click of a double-click on another caption commits the open box, whose refresh
// moves the cells; the second finds the clicked file by its name.
TEST_F(RenameTest, ADoubleClickAfterARefreshOpensOnTheClickedFileByName) {
    dir.file("c.jpg", "CCC");
    build({"a.jpg", "b.jpg", "c.jpg"});
    ASSERT_TRUE(box->CaptionDoubleClick("a.jpg"));
    EXPECT_TRUE(box->LostFocus("z.jpg"));
    build({"b.jpg", "c.jpg", "z.jpg"}); // the refresh
    EXPECT_FALSE(box->CaptionDoubleClick("a.jpg")); // gone
    ASSERT_TRUE(box->CaptionDoubleClick("c.jpg"));
    EXPECT_EQ(box->cellIndex(), 1);
    EXPECT_TRUE(box->LostFocus("d.jpg"));
    EXPECT_EQ(entries(), (std::set<std::string>{"b.jpg", "d.jpg", "z.jpg"}));
    EXPECT_EQ(dir.read("d.jpg") + dir.read("z.jpg"), "CCCAAA");
}

TEST_F(RenameTest, EnterCommitsEscapeCancelsAndOtherKeysEditTheText) {
    EXPECT_FALSE(box->KeyDown(Key::Enter, "x.jpg")); // nothing open
    ASSERT_TRUE(box->CaptionDoubleClick("a.jpg"));
    EXPECT_FALSE(box->KeyDown(Key::Other, "x.jpg"));
    EXPECT_TRUE(box->KeyDown(Key::Escape, "x.jpg"));
    EXPECT_FALSE(box->isOpen());
    EXPECT_FALSE(box->LostFocus("x.jpg")); // the focus loss that follows
    EXPECT_EQ(entries(), (std::set<std::string>{"a.jpg", "b.jpg"}));

    ASSERT_TRUE(box->CaptionDoubleClick("a.jpg"));
    EXPECT_TRUE(box->KeyDown(Key::Enter, "x.jpg"));
    EXPECT_FALSE(box->isOpen());
    EXPECT_EQ(entries(), (std::set<std::string>{"b.jpg", "x.jpg"}));
    EXPECT_EQ(hooks.calls, (Names{"clear", "build"})); // the folder is read and built again
}
