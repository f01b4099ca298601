#include <filesystem>

#include <gtest/gtest.h>

#include "fakes/appfixture.h"

using namespace vistrel::core;
using namespace vistrel::test;
namespace fs = std::filesystem;

namespace {

// The program folder holds a.jpg, b.bmp, c.jpg (and notes.txt, which is no picture).
struct FileCommandsTest : AppFixture {
    TempFolder target;
    TempFolder trashFolder;

    void SetUp() override {
        AppFixture::SetUp();
        program.file("a.jpg", "aaaa");
        program.file("b.bmp", "bbbb");
        program.file("c.jpg", "cccc");
        trash.folder = trashFolder.path();
        start();
    }
    std::string status() { return panel(StatusBarState::Status); }
    int cells() { return app->Sheet().cellCount(); }
};

} // namespace

TEST_F(FileCommandsTest, CopyOverwritesAndMoveRefusesAnExistingName) {
    target.file("a.jpg", "old");
    select({0, 1}); // a.jpg, then b.bmp, which is the current picture
    dialogs.folders = {target.path(), target.path()};
    app->Run(Command::CopyTo);
    EXPECT_EQ(dialogs.folderDialogs[0], "Copy a.jpg to...|" + program.path());
    EXPECT_EQ(target.read("a.jpg"), "aaaa");
    EXPECT_EQ(target.read("b.bmp"), "bbbb");
    EXPECT_EQ(status(), "b.bmp copied  to " + target.path());

    // The copies are in the way now: the move stops at the first.
    app->Run(Command::MoveTo);
    EXPECT_EQ(status().rfind(" Error: ", 0), 0u) << status();
    EXPECT_TRUE(fs::exists(program.path("a.jpg")));
    EXPECT_TRUE(fs::exists(program.path("b.bmp")));
    EXPECT_EQ(app->Model().status.progress, 0);

    app->Run(Command::MoveTo); // cancelled
    EXPECT_EQ(status(), " Move cancelled ");

    // While other work runs the commands are refused.
    app->Run(Command::Refresh);
    pump.pending = [&] { app->Run(Command::Delete); };
    dialogs.answer = DialogAnswer::Yes;
    app->Run(Command::Refresh);
    pump.pending = {};
    EXPECT_TRUE(fs::exists(program.path("b.bmp")));
    EXPECT_EQ(cells(), 3);
}

TEST_F(FileCommandsTest, MoveTakesThePicturesOutOfTheGrid) {
    select({0, 2});
    dialogs.folders = {target.path()};
    app->Run(Command::MoveTo);
    EXPECT_EQ(target.read("a.jpg"), "aaaa");
    EXPECT_EQ(target.read("c.jpg"), "cccc");
    EXPECT_EQ(cells(), 1);
}

TEST_F(FileCommandsTest, DeleteAsksAndGoesToTheTrash) {
    select({0, 1, 2});
    // No to all, Yes to the first, No to the second.
    std::vector<DialogAnswer> answers{DialogAnswer::No, DialogAnswer::Yes, DialogAnswer::No};
    std::size_t asked = 0;
    dialogs.answers = [&] { return answers[asked++]; };
    app->Run(Command::Delete);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0], "Do you want to delete all the selected files?|Vistrel|2|4");
    EXPECT_EQ(dialogs.messages[1], "Are you sure you want to delete a.jpg|Vistrel|2|4");
    EXPECT_EQ(status(), " Delete cancelled");
    EXPECT_EQ(trashFolder.read("a.jpg"), "aaaa");
    EXPECT_FALSE(fs::exists(program.path("a.jpg")));
    EXPECT_EQ(cells(), 3); // the grid is not rebuilt

    // One file, one question; the grid follows.
    select({1});
    dialogs.answers = {};
    dialogs.answer = DialogAnswer::Yes;
    app->PictureKey(Key::Delete);
    EXPECT_EQ(trashFolder.read("b.bmp"), "bbbb");
    EXPECT_EQ(cells(), 1);
}

TEST_F(FileCommandsTest, WithoutATrashDeletingIsPermanentOnlyAfterAnotherYes) {
    trash.folder.clear();
    select({0});
    dialogs.answer = DialogAnswer::Yes;
    std::vector<DialogAnswer> answers{DialogAnswer::Yes, DialogAnswer::No};
    std::size_t asked = 0;
    dialogs.answers = [&] { return answers[asked++]; };
    app->Run(Command::Delete);
    EXPECT_EQ(dialogs.messages.back(), program.path("a.jpg") +
                                           " cannot be moved to the trash. Delete it permanently?"
                                           "|Vistrel|2|3");
    EXPECT_TRUE(fs::exists(program.path("a.jpg")));
    EXPECT_EQ(status(), " Delete cancelled");
}

TEST_F(FileCommandsTest, FolderCommandsKeepTheListsInStep) {
    dialogs.texts = {"Old", "..", "Winter"};
    app->Run(Command::NewFolder);
    EXPECT_EQ(status(), program.path() + "/Old folder created");
    EXPECT_TRUE(fs::is_directory(program.path("Old")));
    app->Run(Command::NewFolder);
    EXPECT_EQ(status().rfind(" Error: ", 0), 0u) << status();

    // Into the new folder, then rename it: the grid still shows what it showed.
    app->FolderActivated(program.path("Old"));
    const int shown = cells();
    app->Run(Command::RenameFolder);
    EXPECT_EQ(status(), program.path() + "/ folder renamed.");
    EXPECT_EQ(app->Browser().folderPath(), program.path("Winter"));
    EXPECT_EQ(app->Browser().fileListPath(), program.path("Winter"));
    EXPECT_EQ(cells(), shown);

    // Moving a folder into its own subfolder fails and the folder stays current.
    const std::string sub = program.folder("Winter/inner");
    dialogs.folders = {sub, target.path()};
    app->Run(Command::MoveFolder);
    EXPECT_EQ(status().rfind(" Error: ", 0), 0u) << status();
    EXPECT_EQ(app->Browser().folderPath(), program.path("Winter"));

    // Copying merges into a folder of the same name.
    target.folder("Winter");
    target.file("Winter/keep.txt", "k");
    program.file("Winter/new.jpg", "n");
    app->Run(Command::CopyFolder);
    EXPECT_EQ(status(), program.path("Winter") + " copied  to " + target.path());
    EXPECT_EQ(target.read("Winter/keep.txt"), "k");
    EXPECT_EQ(target.read("Winter/new.jpg"), "n");

    dialogs.answer = DialogAnswer::Yes;
    app->Run(Command::DeleteFolder); // its message gives way to the rebuilt grid's
    EXPECT_EQ(app->Browser().folderPath(), program.path());
    EXPECT_TRUE(fs::is_directory(trashFolder.path("Winter")));
}
