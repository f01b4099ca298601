#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/rigs.h"

using namespace vistrel::core;
namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

struct FolderBrowserTest : ::testing::Test, vistrel::test::BrowserRig<> {
    FolderBrowserTest() { openBrowser(); }
    void addVolume(const std::string& root, bool ready = true) {
        volumes.list.push_back({dir.folder(root), root, ready});
    }
    std::string images() const { return panel(StatusBarState::Images); }
    std::string message() const { return panel(StatusBarState::Status); }
    // Everything the browser shows except panel 3, where failures are expected.
    std::string state() const {
        std::string s = browser->folderPath() + "|" + browser->drive() + "|" +
                        browser->driveListTag() + "|" + browser->addressText() + "|" + images() +
                        "|" + std::to_string(browser->LastImageIndex());
        for (const auto& list : {browser->files(), browser->addressHistory(), hooks.calls})
            for (const auto& item : list)
                s += "," + item;
        return s;
    }
};

TEST_F(FolderBrowserTest, OpeningAFolderCountsAndRebuildsEvenWhenEmpty) {
    EXPECT_TRUE(hooks.calls.empty()); // starting up raises no change
    ASSERT_EQ(browser->setFolderPath(dir.folder("empty")), std::nullopt);
    EXPECT_EQ(images(), "Images: 0");
    EXPECT_EQ(browser->LastImageIndex(), -1);
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"}));

    const std::string pics = dir.folder("my pics \xE2\x9C\x93");
    for (const char* name : {"b 10.jpg", "b 2.JPG", ".x.jpg", "c.txt"})
        dir.file(pics + "/" + name);
    EXPECT_EQ(browser->setFolderPath(pics + "/"), std::nullopt);
    EXPECT_EQ(browser->folderPath(), pics);
    EXPECT_EQ(browser->addressText(), pics);
    EXPECT_EQ(browser->files(), (Calls{"b 2.JPG", "b 10.jpg"}));
    EXPECT_EQ(browser->filePath(1), pics + "/b 10.jpg");
    EXPECT_EQ(images(), "Images: 2");
    EXPECT_EQ(browser->LastImageIndex(), 1);
    EXPECT_EQ(hooks.calls.size(), 4u);
}

// The window takes input while a folder is read: what the user does then comes first.
TEST_F(FolderBrowserTest, AFolderOpenedWhileAnotherIsReadTakesItsPlace) {
    vistrel::test::RecordingPump pump;
    browser = std::make_unique<FolderBrowser>(volumes, model.status, dir.path(),
                                              FolderBrowser::Links{&hooks, &hooks, &hooks, &pump});
    const std::string a = dir.folder("a"), b = dir.folder("b");
    dir.file("a/1.jpg");
    dir.file("b/2.jpg");
    bool nested = false, sawReading = false;
    pump.pending = [&] {
        if (std::exchange(nested, true)) return;
        sawReading = browser->reading();
        browser->setFolderPath(b);
    };
    EXPECT_EQ(browser->setFolderPath(a), std::nullopt);
    EXPECT_TRUE(sawReading);
    EXPECT_FALSE(browser->reading());
    EXPECT_EQ(browser->folderPath(), b);
    EXPECT_EQ(browser->files(), (Calls{"2.jpg"}));
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"})); // b's alone

    // Closing the window drops the folder being read.
    pump.pending = [&] { browser->CancelReading(); };
    EXPECT_EQ(browser->setFolderPath(a), std::nullopt);
    EXPECT_EQ(browser->folderPath(), b);
    EXPECT_EQ(hooks.calls.size(), 2u);
}

TEST_F(FolderBrowserTest, SameFolderRaisesNothingRefreshRebuildsUnlessBusy) {
    const std::string a = dir.folder("a");
    browser->setFolderPath(a);
    hooks.calls.clear();
    dir.file("a/new.gif");
    browser->setFolderPath(a + "/.");
    EXPECT_TRUE(hooks.calls.empty());
    EXPECT_EQ(browser->addressHistory().size(), 1u);

    model.status.progress = 0.5;
    const std::string before = state();
    browser->RefreshFolder();
    EXPECT_EQ(state(), before);

    model.status.progress = 0;
    browser->RefreshFolder();
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"}));
    EXPECT_EQ(browser->files(), Calls{"new.gif"});
    EXPECT_EQ(images(), "Images: 1");

    fs::remove_all(a); // a refresh of a vanished folder reports and empties the lists
    EXPECT_NO_THROW(browser->RefreshFolder());
    EXPECT_EQ(images(), "Images: 0");
    EXPECT_EQ(browser->LastImageIndex(), -1);
    EXPECT_EQ(message(), "Error: " + a + ": No such folder");
}

TEST_F(FolderBrowserTest, BadFoldersFailWithTheirNameAndChangeNothing) {
    addVolume("cd", false);
    const std::string file = dir.file("pic.jpg");
    const std::string before = state();
    for (const auto& [path, problem] : std::vector<std::pair<std::string, std::string>>{
             {dir.path("gone"), dir.path("gone") + ": No such folder"},
             {file, file + ": Not a folder"},
             {file + "/sub", file + "/sub: No such folder"},
             {"", "No folder name given"}}) {
        EXPECT_EQ(browser->setFolderPath(path), problem);
        browser->addressEnter(path);
        EXPECT_EQ(message(), "Error: " + problem);
        EXPECT_EQ(state(), before) << path;
    }
    // A drive that is not ready is chosen, but the folder stays; the message starts blank.
    EXPECT_EQ(browser->setDrive(dir.path("cd")), std::nullopt);
    EXPECT_EQ(message(), " Error: " + dir.path("cd") + ": Drive not ready");
    EXPECT_EQ(browser->drive(), dir.path("cd"));
    EXPECT_EQ(browser->folderPath(), dir.path());
    EXPECT_TRUE(hooks.calls.empty());
}

TEST_F(FolderBrowserTest, AddressEnterMovesDriveAndFolderAndKeepsDuplicates) {
    addVolume("vol");
    const std::string a = dir.folder("a"), b = dir.folder("vol/b");
    for (const auto& path : {a, b, a})
        browser->addressEnter(path);
    EXPECT_EQ(browser->addressHistory(), (Calls{a, b, a}));
    EXPECT_EQ(browser->drive(), "/");
    EXPECT_EQ(browser->driveListTag(), "1");
    EXPECT_EQ(hooks.calls.size(), 6u);
    // The tag is ready again, so choosing a drive moves the folder list (to its last folder).
    browser->setDrive(dir.path("vol"));
    EXPECT_EQ(browser->folderPath(), b);

    // Rename Folder's suppression swallows exactly one folder change.
    dir.file("vol/b/x.bmp");
    hooks.calls.clear();
    browser->setSuppressFolderChange(1);
    browser->setFolderPath(a);
    EXPECT_EQ(browser->folderPath(), a);
    EXPECT_TRUE(hooks.calls.empty());
    browser->setFolderPath(b);
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"}));
    EXPECT_EQ(browser->files(), Calls{"x.bmp"});
}

TEST_F(FolderBrowserTest, StartUpKeepsANestedFolderOnItsLongestPrefixDrive) {
    addVolume("v");
    addVolume("v/inner");
    const std::string deep = dir.folder("v/inner/deep");
    browser->setFolderPath(deep);
    EXPECT_EQ(browser->setDrive(browser->folderPath()), std::nullopt);
    EXPECT_EQ(browser->drive(), dir.path("v/inner"));
    EXPECT_EQ(browser->folderPath(), deep);
    EXPECT_EQ(browser->folders().front().path, dir.path("v/inner"));
    EXPECT_EQ(hooks.calls.size(), 2u);
    // A drive reopens its last folder, or its root once that folder is gone.
    fs::remove(deep);
    browser->setDrive("/");
    browser->setDrive(dir.path("v/inner"));
    EXPECT_EQ(browser->folderPath(), dir.path("v/inner"));
}

TEST_F(FolderBrowserTest, OnlyATagReadingOneLetsADriveChangeMoveTheFolder) {
    addVolume("v");
    for (const auto& [tag, moves] : std::vector<std::pair<std::string, bool>>{
             {"1", true}, {" 1", true}, {"0", false}, {"", false}, {"x", false}}) {
        openBrowser();
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
    EXPECT_EQ(images(), "Images: 1");
    EXPECT_FALSE(browser->chooseFileType("mnuline0"));
    EXPECT_FALSE(browser->chooseFileType("mnuTga"));
    EXPECT_EQ(browser->pattern(), "*.gif");
    EXPECT_EQ(hooks.calls, (Calls{"clear", "build"}));
}

TEST_F(FolderBrowserTest, FileListClicksAndKeysDispatch) {
    dir.file("a.jpg");
    dir.file("b.jpg");
    browser->RefreshLists();
    for (auto key : {Key::Delete, Key::Up, Key::Down, Key::Left,
                     Key::Right, Key::Other})
        browser->fileListKeyDown(key);
    EXPECT_EQ(hooks.calls, (Calls{"delete", "zoomIn", "zoomOut", "previous", "next"}));
    hooks.calls.clear();
    browser->fileListClick(1);
    browser->fileListKeyDown(Key::Shift);
    browser->fileListClick(0);
    browser->fileListClick(2); // past the end
    browser->fileListKeyUp(Key::Other);
    browser->fileListClick(0);
    EXPECT_EQ(hooks.calls, (Calls{"index 1", "load", "index 0", "toggle", "index 0", "load"}));
}
