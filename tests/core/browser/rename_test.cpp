#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/browsertestsupport.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/renamebox.h"
#include "core/browser/thumbnailsheet.h"

using namespace vistrel::core;
namespace fs = std::filesystem;

namespace {

struct RecordingDialogs : Dialogs {
    std::vector<std::string> shown;
    DialogAnswer MessageBox(const std::string& text, const std::string& caption,
                            MessageButtons buttons, MessageIcon icon) override {
        shown.push_back(text + "|" + caption + "|" + std::to_string(static_cast<int>(buttons)) +
                        "|" + std::to_string(static_cast<int>(icon)));
        return DialogAnswer::OK;
    }
};

struct CountingRenameHooks : RenameHooks {
    int refreshes = 0;
    void refreshFolder() override { ++refreshes; }
};

class RenameTest : public ::testing::Test {
protected:
    void SetUp() override {
        write("a.jpg", "AAA");
        write("b.jpg", "BBB");
        model.lblFileName0 = {140, 1320, 1295, 255};
        model.picBack.width = 3151;
        sheet.StartCells().name = "a.jpg";
        sheet.AddCell().name = "b.jpg";
    }
    void write(const std::string& name, const std::string& content) {
        std::ofstream(dir.path(name), std::ios::binary) << content;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(dir.path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.insert(entry.path().filename().string());
        return names;
    }
    bool rename(int index, const std::string& text) {
        EXPECT_TRUE(box.CaptionDoubleClick(index));
        return box.LostFocus(text);
    }

    vistrel::test::TempFolder dir;
    vistrel::test::FakeVolumes volumes;
    vistrel::test::RecordingHooks browserHooks;
    MainWindowModel model;
    FolderBrowser browser{volumes, model.status, browserHooks, dir.path()};
    ThumbnailSheet sheet{model};
    RecordingDialogs dialogs;
    CountingRenameHooks hooks;
    RenameBox box{sheet, browser, dialogs, hooks};
};

} // namespace

TEST_F(RenameTest, OneBoxAtATimeOverTheCaption) {
    EXPECT_FALSE(box.LostFocus("x.jpg")); // nothing open
    ASSERT_TRUE(box.CaptionDoubleClick(1));
    EXPECT_FALSE(box.CaptionDoubleClick(0));
    EXPECT_EQ(box.cellIndex(), 1);
    EXPECT_EQ(box.initialText(), "b.jpg");
    EXPECT_EQ(box.box(), (Box{140, 1250, 1295, 285}));
    EXPECT_EQ(box.sheetBox(), (Box{1715, 1250, 1295, 285}));
    EXPECT_FALSE(box.LostFocus(""));
    EXPECT_FALSE(box.isOpen());
    EXPECT_FALSE(rename(1, "b.jpg")); // unchanged name
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(hooks.refreshes, 0);
    EXPECT_EQ(entries(), (std::set<std::string>{"a.jpg", "b.jpg"}));
}

TEST_F(RenameTest, RenamesTheFileAndTheCaptionThenRefreshes) {
    EXPECT_TRUE(rename(0, "sea side 2.jpg"));
    EXPECT_EQ(entries(), (std::set<std::string>{"b.jpg", "sea side 2.jpg"}));
    EXPECT_EQ(read("sea side 2.jpg"), "AAA");
    EXPECT_EQ(sheet.cell(0).name, "sea side 2.jpg");
    EXPECT_EQ(hooks.refreshes, 1);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RenameTest, RefusedNamesChangeNothingAndShowOneMessage) {
    fs::create_directory(dir.path("sub"));
    fs::create_symlink(dir.path("gone.jpg"), dir.path("dangling.jpg"));
    const auto before = entries();
    const std::vector<std::string> refused{
        "b.jpg", "sub", "dangling.jpg", "sub/a.jpg", "..\\a.jpg", ".", "..", "../b.jpg",
        std::string("x\0y.jpg", 7), std::string(300, 'n')};
    for (const auto& name : refused) {
        dialogs.shown.clear();
        EXPECT_FALSE(rename(0, name)) << name;
        EXPECT_EQ(dialogs.shown, (std::vector<std::string>{name + " has already been used.|Vistrel|0|0"}));
        EXPECT_EQ(entries(), before) << name;
        EXPECT_EQ(read("a.jpg"), "AAA") << name;
        EXPECT_EQ(read("b.jpg"), "BBB") << name;
        EXPECT_EQ(sheet.cell(0).name, "a.jpg");
    }
    EXPECT_TRUE(fs::is_empty(dir.path("sub")));
    fs::remove(dir.path("a.jpg")); // a file that has gone
    EXPECT_FALSE(rename(0, "c.jpg"));
    EXPECT_EQ(dialogs.shown.back(), "c.jpg has already been used.|Vistrel|0|0");
    EXPECT_EQ(hooks.refreshes, 0);
}

TEST(RenameWithoutReplacing, FallsBackToCheckAndRenameForWhatCannotBeHardLinked) {
    vistrel::test::TempFolder dir;
    fs::create_directory(dir.path("album"));
    fs::create_symlink("album", dir.path("link"));
    EXPECT_EQ(RenameWithoutReplacing(dir.path(), "album", "photos"), std::nullopt);
    EXPECT_EQ(RenameWithoutReplacing(dir.path(), "link", "shortcut"), std::nullopt);
    EXPECT_TRUE(fs::is_directory(dir.path("photos")));
    EXPECT_TRUE(fs::is_symlink(dir.path("shortcut")));
    EXPECT_NE(RenameWithoutReplacing(dir.path(), "shortcut", "photos"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir.path("shortcut")));
}
