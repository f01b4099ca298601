#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/files/filesystem.h"
#include "core/platform/trash.h"
#include "fakes/filesizelimit.h"
#include "fakes/tempfolder.h"

using namespace vistrel::core;
using vistrel::test::FileSizeLimit;
using vistrel::test::TempFolder;
namespace fs = std::filesystem;

namespace {

struct RecordingTrash : Trash {
    bool hasTrash = true;
    std::vector<std::string> trashed;
    bool HasTrash(const std::string&) override { return hasTrash; }
    std::optional<std::string> MoveToTrash(const std::string& path) override {
        trashed.push_back(path);
        return std::nullopt;
    }
};

// Every entry under root with what it holds: a file's bytes, "-> target" for a link, "/" for a
// folder. Equal snapshots mean nothing was added, removed or changed.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (fs::recursive_directory_iterator it(root), end; it != end; ++it) {
        const std::string name = it->path().lexically_relative(root).string();
        if (it->is_symlink())
            entries[name] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            entries[name] = "/";
        else {
            std::ifstream in(it->path(), std::ios::binary);
            entries[name] = {std::istreambuf_iterator<char>(in), {}};
        }
    }
    return entries;
}

class FileSystemTest : public ::testing::Test {
protected:
    TempFolder dir;
    RecordingTrash trash;
    FileSystem files{trash};
};

} // namespace

TEST_F(FileSystemTest, CopyOntoTheFileItselfIsRefusedUnderAnyName) {
    const std::string picture = dir.file("a.jpg", "PICTURE");
    fs::create_hard_link(picture, dir.path("hard.jpg"));
    fs::create_symlink("a.jpg", dir.path("soft.jpg"));
    for (const char* name : {"a.jpg", "./a.jpg", "hard.jpg", "soft.jpg"}) {
        EXPECT_NE(files.CopyFile(picture, dir.path(name)), std::nullopt) << name;
        EXPECT_EQ(Snapshot(dir.path()), (std::map<std::string, std::string>{
                                            {"a.jpg", "PICTURE"},
                                            {"hard.jpg", "PICTURE"},
                                            {"soft.jpg", "-> a.jpg"}}))
            << name;
        EXPECT_EQ(fs::hard_link_count(picture), 2u) << name;
    }
}

TEST_F(FileSystemTest, CopyFailingHalfWayLeavesNoTraceAndTheOldTargetAsItWas) {
    const std::string big(3 << 20, 'n');
    dir.folder("src");
    dir.folder("dst");
    const std::string source = dir.file("src/big.jpg", big);
    dir.file("dst/old.jpg", "OLD PICTURE");
    for (const char* target : {"dst/old.jpg", "dst/new.jpg"}) {
        std::optional<std::string> failure;
        {
            const FileSizeLimit limit(1 << 20);
            failure = files.CopyFile(source, dir.path(target));
        }
        ASSERT_NE(failure, std::nullopt) << target;
        EXPECT_NE(failure->find(dir.path(target)), std::string::npos) << *failure;
        EXPECT_EQ(Snapshot(dir.path("dst")),
                  (std::map<std::string, std::string>{{"old.jpg", "OLD PICTURE"}}))
            << target;
    }
    // The same copies go through once the disk has room, reporting their bytes to the end.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
    const auto record = [&](std::uint64_t done, std::uint64_t total) {
        reports.emplace_back(done, total);
    };
    EXPECT_EQ(files.CopyFile(source, dir.path("dst/old.jpg"), true, record), std::nullopt);
    EXPECT_EQ(files.CopyFile(source, dir.path("dst/new.jpg"), false), std::nullopt);
    EXPECT_EQ(Snapshot(dir.path("dst")),
              (std::map<std::string, std::string>{{"old.jpg", big}, {"new.jpg", big}}));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), std::make_pair(std::uint64_t{big.size()}, std::uint64_t{big.size()}));
    EXPECT_NE(files.CopyFile(source, dir.path("dst/new.jpg"), false), std::nullopt);
}

TEST_F(FileSystemTest, MovesAndRenamesNeverReplaceAnExistingName) {
    dir.file("a.jpg", "A");
    dir.file("b.jpg", "B");
    dir.folder("pics/inner");
    dir.file("pics/p.jpg", "P");
    dir.folder("empty");
    dir.folder("dest/pics"); // empty, which rename() would silently replace
    const auto before = Snapshot(dir.path());
    const std::pair<const char*, std::function<std::optional<std::string>()>> cases[] = {
        {"file onto file", [&] { return files.MoveFile(dir.path("a.jpg"), dir.path("b.jpg")); }},
        {"file onto itself", [&] { return files.MoveFile(dir.path("a.jpg"), dir.path("a.jpg")); }},
        {"folder renamed to a folder", [&] { return files.RenameFolder(dir.path("pics"), "empty"); }},
        {"folder renamed to a file", [&] { return files.RenameFolder(dir.path("pics"), "a.jpg"); }},
        {"folder moved onto its name", [&] { return files.MoveFolder(dir.path("pics"), dir.path("dest")); }},
    };
    for (const auto& [name, operation] : cases) {
        EXPECT_NE(operation(), std::nullopt) << name;
        EXPECT_EQ(Snapshot(dir.path()), before) << name;
    }
}

TEST_F(FileSystemTest, FolderNamesThatAreNotPlainNamesOrTakenAreRefused) {
    dir.folder("pics/a");
    dir.folder("pics/taken");
    const auto before = Snapshot(dir.path());
    for (const std::string& name : {std::string(), std::string("."), std::string(".."),
                                    std::string("a/b"), std::string("x\0y", 3),
                                    std::string("taken")}) {
        EXPECT_NE(files.CreateFolder(dir.path("pics"), name), std::nullopt) << name;
        EXPECT_NE(files.RenameFolder(dir.path("pics/a"), name), std::nullopt) << name;
        EXPECT_EQ(Snapshot(dir.path()), before) << name;
    }
    EXPECT_NE(files.RenameFolder("/", "root"), std::nullopt);
    EXPECT_EQ(files.RenameFolder(dir.path("pics/a/"), "b"), std::nullopt);
    EXPECT_EQ(files.CreateFolder(dir.path("pics"), "c"), std::nullopt);
    EXPECT_TRUE(fs::is_directory(dir.path("pics/b")) && fs::is_directory(dir.path("pics/c")));
}

TEST_F(FileSystemTest, CopyOrMoveOfAFolderIntoItselfIsRefusedBeforeAnythingHappens) {
    dir.folder("pics/sub/deeper");
    dir.file("pics/a.jpg", "A");
    fs::create_directory_symlink(dir.path("pics/sub"), dir.path("shortcut"));
    const auto before = Snapshot(dir.path());
    const std::string pics = dir.path("pics");
    for (const std::string& into : {pics, pics + "/", dir.path("pics/sub/deeper"),
                                    dir.path("shortcut"), dir.path()}) {
        EXPECT_NE(files.CopyFolder(pics, into), std::nullopt) << into;
        EXPECT_NE(files.MoveFolder(pics, into), std::nullopt) << into;
        EXPECT_EQ(Snapshot(dir.path()), before) << into;
    }
}

TEST_F(FileSystemTest, CopyFolderMergesAndCopiesLinksAsLinksEvenInALoop) {
    dir.folder("pics/sub");
    dir.folder("dest/pics");
    dir.file("pics/a.jpg", "NEW");
    dir.file("pics/sub/b.jpg", std::string(5 << 20, 'b'));
    fs::create_directory_symlink(".", dir.path("pics/loop"));
    fs::create_directory_symlink("..", dir.path("pics/sub/up"));
    fs::create_symlink("gone.jpg", dir.path("pics/dangling.jpg"));
    dir.file("dest/pics/a.jpg", "OLD");
    dir.file("dest/pics/keep.jpg", "KEEP");

    std::uint64_t lastDone = 0, lastTotal = 0;
    bool ordered = true;
    const auto record = [&](std::uint64_t done, std::uint64_t total) {
        ordered = ordered && done >= lastDone && done <= total;
        lastDone = done;
        lastTotal = total;
    };
    ASSERT_EQ(files.CopyFolder(dir.path("pics"), dir.path("dest"), record), std::nullopt);

    auto expected = Snapshot(dir.path("pics"));
    expected["keep.jpg"] = "KEEP";
    EXPECT_EQ(Snapshot(dir.path("dest/pics")), expected);
    EXPECT_TRUE(ordered);
    EXPECT_EQ(lastDone, (5u << 20) + 3);
    EXPECT_EQ(lastTotal, lastDone);
}

TEST_F(FileSystemTest, DeletesGoToTheTrashOrWaitForPermission) {
    dir.file("a.jpg");
    dir.folder("pics");
    dir.file("pics/b.jpg", "B");
    EXPECT_EQ(files.DeleteFile(dir.path("a.jpg")).outcome, DeleteOutcome::Deleted);
    EXPECT_EQ(files.DeleteFolder(dir.path("pics/")).outcome, DeleteOutcome::Deleted);
    EXPECT_EQ(trash.trashed, (std::vector<std::string>{dir.path("a.jpg"), dir.path("pics")}));
    EXPECT_EQ(files.DeleteFile(dir.path("pics")).outcome, DeleteOutcome::Failed);

    trash.hasTrash = false;
    EXPECT_EQ(files.DeleteFolder(dir.path("pics")).outcome, DeleteOutcome::NoTrash);
    EXPECT_TRUE(fs::exists(dir.path("pics/b.jpg")));
    EXPECT_EQ(files.DeletePermanently(dir.path("pics")), std::nullopt);
    EXPECT_EQ(files.DeletePermanently(dir.path("a.jpg")), std::nullopt);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(FileSystemTest, AReadOnlyFileIsNeitherReplacedNorDeletedNorDeletedWithItsFolder) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
    dir.file("new.jpg", "NEW");
    dir.folder("pics/sub");
    dir.file("pics/a.jpg", "A");
    const std::string locked = dir.file("pics/sub/locked.jpg", "LOCKED");
    fs::permissions(locked, fs::perms::owner_read);
    const auto before = Snapshot(dir.path());

    EXPECT_NE(files.CopyFile(dir.path("new.jpg"), locked), std::nullopt);
    EXPECT_EQ(files.DeleteFile(locked).outcome, DeleteOutcome::Failed);
    EXPECT_EQ(files.DeleteFolder(dir.path("pics")).outcome, DeleteOutcome::Failed);
    EXPECT_NE(files.DeletePermanently(dir.path("pics")), std::nullopt);
    EXPECT_TRUE(trash.trashed.empty());
    EXPECT_EQ(Snapshot(dir.path()), before);
}

TEST_F(FileSystemTest, AcrossVolumesAMoveCopiesCompletelyBeforeTheSourceGoes) {
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
    const char* oldTemp = std::getenv("TMPDIR");
    const std::string restore = oldTemp ? oldTemp : "";
    setenv("TMPDIR", "/dev/shm", 1);
    const TempFolder other;
    oldTemp ? setenv("TMPDIR", restore.c_str(), 1) : unsetenv("TMPDIR");
    struct stat here {}, there {};
    stat(dir.path().c_str(), &here);
    stat(other.path().c_str(), &there);
    if (here.st_dev == there.st_dev) GTEST_SKIP() << "/dev/shm is on the same volume";

    dir.folder("pics/sub");
    dir.file("pics/a.jpg", std::string(3 << 20, 'a'));
    fs::create_directory_symlink(".", dir.path("pics/sub/loop"));
    dir.file("b.jpg", "B");
    other.file("b.jpg", "THERE");
    const auto pics = Snapshot(dir.path("pics"));

    // Refused or failing half-way: both sides stay as they were.
    EXPECT_NE(files.MoveFile(dir.path("b.jpg"), other.path("b.jpg")), std::nullopt);
    {
        const FileSizeLimit limit(1 << 20);
        EXPECT_NE(files.MoveFolder(dir.path("pics"), other.path()), std::nullopt);
    }
    EXPECT_EQ(Snapshot(dir.path("pics")), pics);
    EXPECT_EQ(Snapshot(other.path()), (std::map<std::string, std::string>{{"b.jpg", "THERE"}}));

    EXPECT_EQ(files.MoveFile(dir.path("b.jpg"), other.path("c.jpg")), std::nullopt);
    EXPECT_EQ(files.MoveFolder(dir.path("pics"), other.path()), std::nullopt);
    EXPECT_EQ(Snapshot(other.path("pics")), pics);
    EXPECT_EQ(other.read("c.jpg"), "B");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(ParentFolder, DropsTheLastNameAndHasNoneForARoot) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"/a/b", "/a"}, {"/a/b/", "/a"}, {"/a//b//", "/a"}, {"/a", "/"},
        {"a/b", "a"},   {"/", std::nullopt}, {"", std::nullopt}, {"a", std::nullopt},
    };
    for (const auto& [path, parent] : cases) EXPECT_EQ(FileSystem::ParentFolder(path), parent) << path;
}
