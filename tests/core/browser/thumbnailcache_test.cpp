#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/browser/thumbnailcache.h"
#include "fakes/tempfolder.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#define VISTREL_HAVE_STAT 1
#endif

using namespace vistrel::core;

// Reading and writing real entries is the qt test's; these are the rules they follow.

TEST(ThumbnailCache, UrisEscapeEveryByteButUnreservedOnesAndSlashes) {
    struct Case {
        const char* path;
        const char* uri;
    };
    for (const Case c : {
             Case{"/tmp/a b.jpg", "file:///tmp/a%20b.jpg"},
             Case{"/tmp/100%.png", "file:///tmp/100%25.png"},
             Case{"/tmp/\xFF\xFE-raw.png", "file:///tmp/%FF%FE-raw.png"}, // not UTF-8
             Case{"/tmp/\xC3\xA9t\xC3\xA9.jpg", "file:///tmp/%C3%A9t%C3%A9.jpg"},
             Case{"/p/(1)+&;=:@!$',*#?[].gif", "file:///p/%281%29%2B%26%3B%3D%3A%40%21%24%27%2C%2A"
                                             "%23%3F%5B%5D.gif"},
             Case{"/p/./q/../Az09-._~.bmp", "file:///p/Az09-._~.bmp"},
         }) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileUri(c.path), c.uri);
    }
    // Relative paths name the file under the current folder.
    EXPECT_EQ(FileUri("x.png"), FileUri((std::filesystem::current_path() / "x.png").string()));
}

TEST(ThumbnailCache, SizeRootAndEntryNames) {
    for (const auto& [pixels, size] : {std::pair{0, ThumbnailSize::Normal},
                                      {128, ThumbnailSize::Normal}, {129, ThumbnailSize::Large},
                                      {600, ThumbnailSize::Large}})
        EXPECT_EQ(ThumbnailSizeFor(pixels), size) << pixels;

    EXPECT_EQ(ThumbnailCacheRoot("/c", "/home/u"), "/c/thumbnails");
    EXPECT_EQ(ThumbnailCacheRoot("", "/home/u"), "/home/u/.cache/thumbnails");
    EXPECT_EQ(ThumbnailCacheRoot("rel/cache", "/home/u"), "/home/u/.cache/thumbnails");
    EXPECT_EQ(ThumbnailCacheRoot("", ""), "");
    EXPECT_EQ(ThumbnailCacheRoot("rel", "also/rel"), "");
}

TEST(ThumbnailCache, EntryKeysMatchOnlyTheFileAsItIs) {
    const std::string uri = "file:///p/a.jpg";
    const FileStamp stamp{1700000000, 4096};
    struct Case {
        const char* name;
        ThumbnailKeys keys;
        bool matches;
    };
    const Case cases[] = {
        {"all keys", {{"Thumb::URI", uri}, {"Thumb::MTime", "1700000000"}, {"Thumb::Size", "4096"}},
         true},
        {"no size", {{"Thumb::URI", uri}, {"Thumb::MTime", "1700000000"}}, true},
        {"other file", {{"Thumb::URI", "file:///p/b.jpg"}, {"Thumb::MTime", "1700000000"}}, false},
        {"no uri", {{"Thumb::MTime", "1700000000"}}, false},
        {"no mtime", {{"Thumb::URI", uri}}, false},
        {"older", {{"Thumb::URI", uri}, {"Thumb::MTime", "1699999999"}}, false},
        {"other size", {{"Thumb::URI", uri}, {"Thumb::MTime", "1700000000"}, {"Thumb::Size", "1"}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EntryMatches(c.keys, uri, stamp), c.matches);
    }
    // Numbers are whole decimal integers and nothing else.
    for (const char* mtime : {"", " 1700000000", "+1700000000", "1700000000.0", "1700000000x",
                              "0x6553F100", "99999999999999999999999"}) {
        EXPECT_FALSE(EntryMatches({{"Thumb::URI", uri}, {"Thumb::MTime", mtime}}, uri, stamp))
            << mtime;
    }
    for (const char* size : {"-4096", "4096 ", "", "18446744073709551617"}) {
        EXPECT_FALSE(EntryMatches(
            {{"Thumb::URI", uri}, {"Thumb::MTime", "1700000000"}, {"Thumb::Size", size}}, uri,
            stamp))
            << size;
    }
    EXPECT_TRUE(EntryMatches({{"Thumb::URI", uri}, {"Thumb::MTime", "-2"}}, uri, {-2, 0}));
}

#ifdef VISTREL_HAVE_STAT
TEST(ThumbnailCache, StampsAgreeWithTheSystemsOwnSeconds) {
    using namespace std::chrono;
    namespace fs = std::filesystem;
    const vistrel::test::TempFolder folder;
    const std::string file = folder.file("a.jpg", "12345");
    // Milliseconds since 1970, before it (seconds round down, as the system's do) and past
    // what file_clock's nanoseconds can shift to the system clock without overflowing.
    for (const long long sinceEpoch : {1700000000999LL, -1500LL,
                                       13569465600000LL}) { // 2400-01-01
        const sys_time<milliseconds> written{milliseconds{sinceEpoch}};
        std::error_code error;
        fs::last_write_time(file, file_clock::from_sys(written), error);
        struct stat status {};
        ASSERT_EQ(::stat(file.c_str(), &status), 0);
        if (error || status.st_mtime != floor<seconds>(written).time_since_epoch().count())
            continue; // the file system cannot hold this time
        const std::optional<FileStamp> stamp = StampOf(file);
        ASSERT_TRUE(stamp);
        EXPECT_EQ(stamp->mtime, status.st_mtime);
        EXPECT_EQ(stamp->size, 5u);
    }
    EXPECT_FALSE(StampOf(folder.path("missing.jpg")));
    EXPECT_FALSE(StampOf(folder.path())); // folders get no thumbnails
}
#endif
