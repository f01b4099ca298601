#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/browsertestsupport.h"
#include "core/browser/folderbrowser.h"

using namespace vistrel::core;
namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

class FolderBrowserTest : public ::testing::Test {
protected:
    void start(const std::string& folder) {
        browser = std::make_unique<FolderBrowser>(volumes, status, hooks, folder);
    }
    void SetUp() override { start(dir.path()); }
    void addVolume(const std::string& root, bool ready = true) {
        volumes.list.push_back({dir.folder(root), root, ready});
    }
    // Everything the browser shows except panel 3, which failures are expected to write.
    std::string state() const {
        std::string s = browser->folderPath() + "|" + browser->drive() + "|" +
                        browser->driveListTag() + "|" + browser->addressText() + "|" +
                        status.text(StatusBarState::Images) + "|" +
                        std::to_string(browser->LastImageIndex()) + "|";
        for (const auto& list : {browser->files(), browser->addressHistory(), hooks.calls})
            for (const auto& item : list) s += item + ",";
        for (const auto& folder : browser->folders()) s += folder.path + ",";
        return s;
    }

    vistrel::test::TempFolder dir;
    vistrel::test::FakeVolumes volumes;
    StatusBarState status;
    vistrel::test::RecordingHooks hooks;
    std::unique_ptr<FolderBrowser> browser;
};

TEST_F(FolderBrowserTest, StartsInItsFolderWithoutRaisingAChange) {
    dir.file("a.jpg");
    start(dir.path() + "/");
    EXPECT_EQ(browser->folderPath(), dir.path());
    EXPECT_EQ(browser->files(), Calls{"a.jpg"});
    EXPECT_EQ(browser->LastImageIndex(), -1);
    EXPECT_EQ(status.text(StatusBarState::Images), "Images:");
    EXPECT_TRUE(hooks.calls.empty());
    EXPECT_TRUE(browser->addressHistory().empty());
}

TEST_F(FolderBrowserTest, OpeningAFolderWithOddNamesCountsAndRebuilds) {
    const std::string pics = dir.folder("my pics \xE2\x9C\x93");
    for (const char* name : {"b 10.jpg", "b 2.JPG", ".x.jpg", "c.txt"}) dir.file(pics + "/" + name);
    EXPECT_EQ(browser->setFolderPath(pics + "/"), std::nullopt);
    EXPECT_EQ(browser->folderPath(), pics);
    EXPECT_EQ(browser->addressText(), pics);
    EXPECT_EQ(browser->addressHistory(), Calls{pics});
    EXPECT_EQ(browser->files(), (Calls{"b 2.JPG", "b 10.jpg"}));
    EXPECT_EQ(browser->filePath(1), pics + "/b 10.jpg");
    EXPECT_EQ(status.text(StatusBarState::Images), "Images: 2");
    EXPECT_EQ(browser->LastImageIndex(), 1);
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"}));
}

TEST_F(FolderBrowserTest, EmptyFolderStillClearsAndBuilds) {
    ASSERT_EQ(browser->setFolderPath(dir.folder("empty")), std::nullopt);
    EXPECT_EQ(status.text(StatusBarState::Images), "Images: 0");
    EXPECT_EQ(browser->LastImageIndex(), -1);
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"}));
}

TEST_F(FolderBrowserTest, SameFolderRaisesNothingButRefreshRebuilds) {
    const std::string a = dir.folder("a");
    browser->setFolderPath(a);
    hooks.calls.clear();
    dir.file("a/new.gif");
    browser->setFolderPath(a + "/.");
    EXPECT_TRUE(hooks.calls.empty());
    EXPECT_TRUE(browser->files().empty());
    EXPECT_EQ(browser->addressHistory().size(), 1u);

    browser->RefreshFolder();
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"}));
    EXPECT_EQ(browser->files(), Calls{"new.gif"});
    EXPECT_EQ(status.text(StatusBarState::Images), "Images: 1");
    EXPECT_EQ(browser->LastImageIndex(), 0);
}

TEST_F(FolderBrowserTest, RefreshWhileBusyDoesNothingAtAll) {
    browser->setFolderPath(dir.folder("a"));
    dir.file("a/new.gif");
    status.progress = 0.5;
    const std::string before = state();
    browser->RefreshFolder();
    EXPECT_EQ(state(), before);
}

TEST_F(FolderBrowserTest, BadFoldersFailWithTheirNameAndChangeNothing) {
    const std::string file = dir.file("pic.jpg");
    const std::string before = state();
    const std::vector<std::pair<std::string, std::string>> cases{
        {dir.path("gone"), dir.path("gone") + ": No such folder"},
        {file, file + ": Not a folder"},
        {file + "/sub", file + "/sub: No such folder"},
        {"", "No folder name given"},
    };
    for (const auto& [path, problem] : cases) {
        EXPECT_EQ(browser->setFolderPath(path), problem);
        browser->addressEnter(path);
        EXPECT_EQ(status.text(StatusBarState::Status), "Error: " + problem);
        EXPECT_EQ(state(), before) << path;
    }
}

TEST_F(FolderBrowserTest, AddressEnterMovesDriveAndFolderAndKeepsDuplicates) {
    addVolume("vol");
    const std::string a = dir.folder("a"), b = dir.folder("vol/b");
    for (const auto& path : {a, b, a}) browser->addressEnter(path);
    EXPECT_EQ(browser->addressHistory(), (Calls{a, b, a}));
    EXPECT_EQ(browser->drive(), "/");
    EXPECT_EQ(browser->driveListTag(), "1");
    EXPECT_EQ(hooks.calls.size(), 6u);

    // The tag is back at "1", so choosing a drive moves the folder list again.
    browser->setDrive(dir.path("vol"));
    EXPECT_EQ(browser->folderPath(), b);
}

TEST_F(FolderBrowserTest, SuppressFolderChangeSwallowsExactlyOne) {
    const std::string a = dir.folder("a"), b = dir.folder("b");
    dir.file("b/x.bmp");
    browser->setSuppressFolderChange(1);
    browser->setFolderPath(a);
    EXPECT_EQ(browser->folderPath(), a);
    EXPECT_TRUE(hooks.calls.empty());
    EXPECT_EQ(browser->SuppressFolderChange(), 0);
    browser->setFolderPath(b);
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"}));
    EXPECT_EQ(browser->files(), Calls{"x.bmp"});
}

TEST_F(FolderBrowserTest, DriveOfANestedFolderIsTheLongestPrefixVolume) {
    addVolume("v");
    addVolume("v/inner");
    const std::string deep = dir.folder("v/inner/deep");
    // What start-up does: set the folder, then the drive from it.
    browser->setFolderPath(deep);
    EXPECT_EQ(browser->setDrive(browser->folderPath()), std::nullopt);
    EXPECT_EQ(browser->drive(), dir.path("v/inner"));
    EXPECT_EQ(browser->folderPath(), deep);
    EXPECT_EQ(browser->folders().front().path, dir.path("v/inner"));
    EXPECT_EQ(hooks.calls.size(), 2u);
}

TEST_F(FolderBrowserTest, ADriveOpensAtTheFolderLastShownOnIt) {
    addVolume("v1");
    addVolume("v2");
    const std::string a = dir.folder("v1/a"), x = dir.folder("v2/x");
    browser->addressEnter(a);
    browser->setDrive(dir.path("v2"));
    EXPECT_EQ(browser->folderPath(), dir.path("v2"));
    browser->setFolderPath(x);
    browser->setDrive(a);
    EXPECT_EQ(browser->folderPath(), a);
    fs::remove(x);
    browser->setDrive(dir.path("v2"));
    EXPECT_EQ(browser->folderPath(), dir.path("v2"));
}

TEST_F(FolderBrowserTest, DriveNotReadyReportsWithLeadingBlank) {
    addVolume("cd", false);
    const std::string before = browser->folderPath();
    EXPECT_EQ(browser->setDrive(dir.path("cd")), std::nullopt);
    EXPECT_EQ(status.text(StatusBarState::Status), " Error: " + dir.path("cd") + ": Drive not ready");
    EXPECT_EQ(browser->drive(), dir.path("cd"));
    EXPECT_EQ(browser->folderPath(), before);
    EXPECT_TRUE(hooks.calls.empty());
    EXPECT_EQ(browser->setFolderPath(dir.folder("cd/sub")), dir.path("cd") + ": Drive not ready");
}

TEST_F(FolderBrowserTest, OnlyATagOfOneLetsADriveChangeMoveTheFolder) {
    addVolume("v");
    const std::vector<std::pair<std::string, bool>> cases{
        {"1", true}, {" 1", true}, {"0", false}, {"", false}, {"x", false}};
    for (const auto& [tag, moves] : cases) {
        start(dir.path());
        browser->setDriveListTag(tag);
        browser->setDrive(dir.path("v"));
        EXPECT_EQ(browser->folderPath() == dir.path("v"), moves) << '"' << tag << '"';
        EXPECT_EQ(browser->driveListTag(), moves ? tag : "1");
    }
}

TEST_F(FolderBrowserTest, FileTypeItemsSetThePatternAndRefresh) {
    dir.file("a.jpg");
    dir.file("b.gif");
    EXPECT_TRUE(browser->chooseFileType("mnuGif"));
    EXPECT_EQ(browser->files(), Calls{"b.gif"});
    EXPECT_EQ(status.text(StatusBarState::Images), "Images: 1");
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"}));
    EXPECT_FALSE(browser->chooseFileType("mnuline0"));
    EXPECT_FALSE(browser->chooseFileType("mnuPng"));
    EXPECT_EQ(browser->pattern(), "*.gif");
    EXPECT_EQ(hooks.calls.size(), 2u);
}

TEST_F(FolderBrowserTest, FileListClicksAndKeysDispatch) {
    dir.file("a.jpg");
    dir.file("b.jpg");
    browser->RefreshLists();
    const std::vector<std::pair<FileListKey, Calls>> keys{
        {FileListKey::Delete, {"delete"}}, {FileListKey::Up, {"zoomIn"}},
        {FileListKey::Down, {"zoomOut"}},  {FileListKey::Left, {"previous"}},
        {FileListKey::Right, {"next"}},    {FileListKey::Other, {}}};
    for (const auto& [key, calls] : keys) {
        hooks.calls.clear();
        browser->fileListKeyDown(key);
        EXPECT_EQ(hooks.calls, calls);
    }
    hooks.calls.clear();
    browser->fileListClick(1);
    browser->fileListKeyDown(FileListKey::Shift);
    EXPECT_EQ(browser->ShiftHeld(), 1);
    browser->fileListClick(0);
    browser->fileListClick(2); // past the end: ignored
    browser->fileListKeyUp(FileListKey::Other);
    EXPECT_EQ(browser->ShiftHeld(), 0);
    EXPECT_EQ(hooks.calls, (Calls{"index 1", "load", "index 0", "toggle"}));
}

TEST_F(FolderBrowserTest, RefreshOfAVanishedFolderReportsAndEmptiesTheLists) {
    const std::string a = dir.folder("a");
    dir.file("a/p.jpg");
    browser->setFolderPath(a);
    fs::remove_all(a);
    EXPECT_NO_THROW(browser->RefreshFolder());
    EXPECT_EQ(status.text(StatusBarState::Images), "Images: 0");
    EXPECT_EQ(browser->LastImageIndex(), -1);
    EXPECT_EQ(status.text(StatusBarState::Status), "Error: " + a + ": No such folder");
}
