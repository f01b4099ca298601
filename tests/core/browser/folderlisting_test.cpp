#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/folderlisting.h"
#include "core/browser/volumelookup.h"
#include "fakes/tempfolder.h"

using namespace vistrel::core;
namespace fs = std::filesystem;

namespace {

// The folder list as a folder change makes it: the chain, then the folder's own subfolders.
std::vector<FolderEntry> Tree(const std::string& volumeRoot, const std::string& folder) {
    return FolderTree(volumeRoot, folder, ReadFolder(NormaliseFolderPath(folder), nullptr).folders);
}

} // namespace

TEST(FolderListing, FilesAreVisibleMatchingRegularFilesThroughLinks) {
    vistrel::test::TempFolder dir;
    for (const char* name : {"my picture.jpg", "\xC3\xBCn\xC3\xAF.JPG", ".hidden.jpg", "notes.txt",
                             "img10.gif", "img2.gif"})
        dir.file(name);
    dir.folder("folder.jpg");
    fs::create_symlink(dir.path("img2.gif"), dir.path("link.bmp"));
    fs::create_symlink(dir.path("gone.bmp"), dir.path("broken.bmp"));
    EXPECT_EQ(ListPictureFiles(dir.path(), PatternList("*.jpg;*.gif;*.bmp")),
              (std::vector<std::string>{"img2.gif", "img10.gif", "link.bmp", "my picture.jpg",
                                        "\xC3\xBCn\xC3\xAF.JPG"}));
}

TEST(FolderListing, TreeChainsFromTheVolumeRootThenListsSubfolders) {
    vistrel::test::TempFolder dir;
    const std::string open = dir.folder("a b/\xC3\xA9t\xC3\xA9");
    for (const char* sub : {"d10", "d2", "D1", ".git"})
        dir.folder(open + "/" + sub);
    dir.file(open + "/file.jpg");
    fs::create_directory_symlink(dir.path("a b"), open + "/linked");
    EXPECT_EQ(Tree(dir.path() + "/", open + "/"),
              (std::vector<FolderEntry>{{dir.path(), dir.path(), 0, false},
                                        {"a b", dir.path("a b"), 1, false},
                                        {"\xC3\xA9t\xC3\xA9", open, 2, true},
                                        {"D1", open + "/D1", 3, false},
                                        {"d2", open + "/d2", 3, false},
                                        {"d10", open + "/d10", 3, false},
                                        {"linked", open + "/linked", 3, false}}));
    // Outside the given root the chain starts at the file system root.
    EXPECT_EQ(Tree("/nowhere", open).front().path, "/");
}

TEST(FolderListing, UnreadableFolderIsReportedNeverThrown) {
    vistrel::test::TempFolder dir;
    const std::string locked = dir.folder("locked");
    dir.file("locked/a.jpg");
    fs::permissions(locked, fs::perms::none);
    std::error_code ec;
    if (fs::directory_iterator(locked, ec); !ec) GTEST_SKIP() << "permissions are not enforced";
    EXPECT_EQ(FolderProblem(locked, "L"), "L: Permission denied");
    EXPECT_TRUE(ListPictureFiles(locked, PatternList("*")).empty());
    EXPECT_EQ(Tree(dir.path(), locked).back().path, locked);
    EXPECT_EQ(Tree(dir.path(), dir.path()).back().name, "locked");
}

TEST(VolumeLookup, LongestWholeNamePrefixWins) {
    const std::vector<Volume> volumes{{"/", "", true},
                                      {"/media", "", true},
                                      {"/media/usb/", "", true},
                                      {"/media/usb2", "", true}};
    for (const auto& [path, root] :
         std::vector<std::pair<std::string, std::string>>{{"/media/usb/x", "/media/usb/"},
                                                          {"/media/usb", "/media/usb/"},
                                                          {"/media/usbx", "/media"},
                                                          {"/home/u", "/"}}) {
        EXPECT_EQ(FindVolume(volumes, path).value_or(Volume{}).rootPath, root) << path;
    }
    EXPECT_FALSE(FindVolume({}, "/home"));
}
