#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "core/files/pathutil.h"
#include "core/files/rename.h"
#include "fakes/tempfolder.h"

using namespace vistrel::core;
namespace fs = std::filesystem;

TEST(IsPlainFileName, RefusesWhatWouldLeaveTheFolder) {
    const std::pair<std::string, bool> cases[] = {
        {"a.jpg", true},  {"...", true},      {".hidden", true},     {"sea side.jpg", true},
        {"\xC3\xA4.jpg", true}, {"", false}, {".", false},        {"..", false},
        {"sub/a.jpg", false}, {"..\\a.jpg", false}, {std::string("x\0y", 3), false}};
    for (const auto& [name, plain] : cases)
        EXPECT_EQ(IsPlainFileName(name), plain) << name;
}

TEST(RenameWithoutReplacing, SaysWhyItRefusesAndChangesNothing) {
    vistrel::test::TempFolder dir;
    dir.file("a.jpg", "AAA");
    dir.file("A.JPG", "BIG");
    dir.folder("sub");
    fs::create_symlink(dir.path("gone.jpg"), dir.path("dangling.jpg"));
    const std::pair<std::pair<std::string, std::string>, std::string> cases[] = {
        {{"a.jpg", "sub"}, "sub: already exists"},
        {{"a.jpg", "dangling.jpg"}, "dangling.jpg: already exists"},
        // Differs only in case, yet another file here: names are case-sensitive.
        {{"a.jpg", "A.JPG"}, "A.JPG: already exists"},
        {{"a.jpg", "sub/a.jpg"}, "sub/a.jpg: not a file name"},
        {{"../a.jpg", "b.jpg"}, "../a.jpg: not a file name"},
        {{"gone.jpg", "b.jpg"}, "gone.jpg: file not found"},
    };
    for (const auto& [names, reason] : cases) {
        EXPECT_EQ(RenameWithoutReplacing(dir.path(), names.first, names.second), reason)
            << names.first << " -> " << names.second;
        EXPECT_EQ(dir.read("a.jpg") + dir.read("A.JPG"), "AAABIG");
        EXPECT_FALSE(fs::exists(dir.path("b.jpg")));
        EXPECT_TRUE(fs::is_empty(dir.path("sub")));
    }
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

TEST(AppendPathSeparator, AddsOneSeparatorOnlyWhereMissing) {
    const std::string sep(1, PathSeparator);
    for (const auto& [path, expected] : {std::pair{std::string(), std::string()},
                                         {"photos", "photos" + sep},
                                         {"photos" + sep, "photos" + sep},
                                         {sep, sep}})
        EXPECT_EQ(AppendPathSeparator(path), expected) << path;
}
