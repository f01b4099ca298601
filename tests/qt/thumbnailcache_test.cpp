#include <gtest/gtest.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>

#include <atomic>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "core/browser/cachingloader.h"
#include "core/browser/thumbnailcache.h"
#include "qt/platform/qtpictureloader.h"
#include "qt/platform/qtthumbnailstore.h"

using namespace vistrel;
using core::CachedThumbnail;
using core::ThumbnailSize;
using Kind = CachedThumbnail::Kind;
namespace fs = std::filesystem;

namespace {

// Worked out apart from the program: printf '%s' URI | md5sum.
constexpr const char* KnownUri = "file:///tmp/a%20b.jpg";
constexpr const char* KnownMd5 = "45f1b47640b52dc5428fd58ac89fec15";

class ThumbnailCacheTest : public ::testing::Test {
protected:
    QTemporaryDir home;
    QByteArray savedCacheHome = qgetenv("XDG_CACHE_HOME");
    qt::QtThumbnailStore store;
    std::optional<core::ThumbnailCache> cache;

    void SetUp() override {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath("cache")));
        cache.emplace(store, qt::ThumbnailCacheRoot());
        QDir(home.path()).mkdir("pics");
    }
    void TearDown() override {
        if (savedCacheHome.isNull()) qunsetenv("XDG_CACHE_HOME");
        else qputenv("XDG_CACHE_HOME", savedCacheHome);
    }

    std::string root() const { return home.filePath("cache/thumbnails").toStdString(); }
    std::string picture(const std::string& name, const QByteArray& bytes = "not decoded") {
        const QString path = home.filePath(QString::fromStdString("pics/" + name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path.toStdString();
    }
    core::FileStamp stamp(const std::string& path) {
        const std::optional<core::FileStamp> found = cache->Find(path, ThumbnailSize::Normal).stamp;
        EXPECT_TRUE(found);
        return found.value_or(core::FileStamp{});
    }
    static void touch(const std::string& path, int seconds) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(
            file.fileTime(QFileDevice::FileModificationTime).addSecs(seconds),
            QFileDevice::FileModificationTime));
    }
    static std::string uriOf(const std::string& path) {
        return QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded().toStdString();
    }
    static std::string md5(const std::string& text) {
        return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Md5)
            .toHex()
            .toStdString();
    }
    int filesInCache() const {
        int count = 0;
        for (QDirIterator it(QString::fromStdString(root()), QDir::Files | QDir::Hidden,
                             QDirIterator::Subdirectories);
             it.hasNext(); it.next())
            ++count;
        return count;
    }
};

QImage Read(const std::string& path) { return QImage(QString::fromStdString(path), "png"); }

int Mode(const std::string& path) {
    return static_cast<int>(fs::status(path).permissions() & fs::perms::mask);
}

std::string Text(const QImage& png, const char* key) { return png.text(key).toStdString(); }

} // namespace

TEST_F(ThumbnailCacheTest, RootFollowsTheEnvironment) {
    EXPECT_EQ(cache->root(), root());
    const std::string homeCache = (QDir::homePath() + "/.cache/thumbnails").toStdString();
    qputenv("XDG_CACHE_HOME", "relative/cache");
    EXPECT_EQ(qt::ThumbnailCacheRoot(), homeCache);
    qunsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(qt::ThumbnailCacheRoot(), homeCache);
}

TEST_F(ThumbnailCacheTest, EntryNamesAreTheMd5OfTheUri) {
    EXPECT_EQ(store.Md5Hex(KnownUri), KnownMd5);
    EXPECT_EQ(cache->EntryPath("/tmp/a b.jpg", ThumbnailSize::Normal),
              root() + "/normal/" + KnownMd5 + ".png");
    EXPECT_EQ(cache->FailurePath("/tmp/\xFF\xFE-raw.png"),
              root() + "/fail/vistrel-1.0.3/4d196440e1fdf07ad44f7665cbd196e6.png");
}

TEST_F(ThumbnailCacheTest, WrittenEntryHasTheStandardKeysAndModesAndReadsBack) {
    const std::string path = picture("a b.jpg", "twelve bytes");
    const CachedThumbnail before = cache->Find(path, ThumbnailSize::Large);
    EXPECT_EQ(before.kind, Kind::None);
    ASSERT_TRUE(before.stamp);
    // Larger than the box: it is shrunk to fit, proportions kept.
    const core::Image image(300, 150, 0xFF3366CC);
    ASSERT_EQ(cache->Store(path, *before.stamp, ThumbnailSize::Large, image, 3000, 1500),
              std::nullopt);

    const std::string entry = root() + "/large/" + md5(uriOf(path)) + ".png";
    EXPECT_EQ(cache->EntryPath(path, ThumbnailSize::Large), entry);
    const QImage png = Read(entry);
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(256, 128));
    EXPECT_EQ(png.pixel(0, 0), 0xFF3366CCu);
    EXPECT_EQ(Text(png, "Thumb::URI"), uriOf(path));
    const QDateTime modified = QFileInfo(QString::fromStdString(path)).lastModified();
    EXPECT_EQ(Text(png, "Thumb::MTime"), std::to_string(modified.toSecsSinceEpoch()));
    EXPECT_EQ(Text(png, "Thumb::Size"), "12");
    EXPECT_EQ(Text(png, "Thumb::Mimetype"), "image/jpeg");
    EXPECT_EQ(Text(png, "Software"), "Vistrel 1.0.3");
    EXPECT_EQ(Text(png, "Thumb::Image::Width"), "3000");
    EXPECT_EQ(Text(png, "Thumb::Image::Height"), "1500");

    EXPECT_EQ(Mode(entry), 0600);
    for (const std::string& folder : {root(), root() + "/large"})
        EXPECT_EQ(Mode(folder), 0700) << folder;
    EXPECT_EQ(filesInCache(), 1); // no temporary file left behind

    const CachedThumbnail found = cache->Find(path, ThumbnailSize::Large);
    ASSERT_EQ(found.kind, Kind::Thumbnail);
    EXPECT_EQ(found.image, core::Image(256, 128, 0xFF3366CC));
    EXPECT_EQ(found.naturalWidth, 3000);
    EXPECT_EQ(found.naturalHeight, 1500);
    EXPECT_EQ(cache->Find(path, ThumbnailSize::Normal).kind, Kind::None);
}

TEST_F(ThumbnailCacheTest, AnotherProgramsEntryIsUsedAndKeepsItsAlphaWhenMoved) {
    const std::string path = picture("other.png");
    // Transparent on the left, opaque blue on the right; no Thumb::Size, which is optional.
    QImage png(100, 50, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    for (int y = 0; y < 50; ++y)
        for (int x = 50; x < 100; ++x) png.setPixel(x, y, 0xFF0000FF);
    png.setText("Thumb::URI", QString::fromStdString(uriOf(path)));
    png.setText("Thumb::MTime",
                QString::number(QFileInfo(QString::fromStdString(path)).lastModified()
                                    .toSecsSinceEpoch()));
    png.setText("Software", "Other Viewer 2");
    png.setText("Thumb::Image::Width", "-100"); // not a size: none is given
    png.setText("Thumb::Image::Height", "50");
    QDir().mkpath(QString::fromStdString(root() + "/normal"));
    ASSERT_TRUE(png.save(QString::fromStdString(root() + "/normal/" +
                                                md5(uriOf(path)) + ".png")));

    const CachedThumbnail found = cache->Find(path, ThumbnailSize::Normal);
    ASSERT_EQ(found.kind, Kind::Thumbnail);
    EXPECT_EQ(found.image.at(0, 0), 0xFFFFFFFFu); // over white
    EXPECT_EQ(found.image.at(99, 49), 0xFF0000FFu);
    EXPECT_EQ(found.naturalWidth, 0);
    EXPECT_EQ(found.naturalHeight, 0);

    const std::string moved = home.filePath("pics/moved here.png").toStdString();
    fs::rename(path, moved);
    cache->Moved(path, moved);
    EXPECT_FALSE(fs::exists(cache->EntryPath(path, ThumbnailSize::Normal)));
    const QImage entry = Read(cache->EntryPath(moved, ThumbnailSize::Normal));
    EXPECT_EQ(Text(entry, "Thumb::URI"), uriOf(moved));
    EXPECT_EQ(Text(entry, "Software"), "Other Viewer 2");
    EXPECT_EQ(qAlpha(entry.pixel(0, 0)), 0);
    EXPECT_EQ(cache->Find(moved, ThumbnailSize::Normal).kind, Kind::Thumbnail);
}

TEST_F(ThumbnailCacheTest, StaleEntryIsIgnoredAndReplaced) {
    struct Case {
        const char* name;
        void (*change)(const std::string& path);
    };
    const Case cases[] = {
        {"newer", [](const std::string& path) { touch(path, 60); }},
        {"other size", [](const std::string& path) {
             // Same second, other length: a program that keeps the time when it writes.
             const QDateTime time = QFileInfo(QString::fromStdString(path)).lastModified();
             QFile file(QString::fromStdString(path));
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write("more");
             ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = picture(std::string(c.name) + ".jpg");
        const core::FileStamp old = stamp(path);
        ASSERT_EQ(cache->Store(path, old, ThumbnailSize::Normal, core::Image(8, 8, 0xFFFF0000)),
                  std::nullopt);
        c.change(path);

        const CachedThumbnail stale = cache->Find(path, ThumbnailSize::Normal);
        EXPECT_EQ(stale.kind, Kind::None);
        ASSERT_TRUE(stale.stamp);
        EXPECT_NE(*stale.stamp, old);
        // A decode of the file as it was is not stored under its new stamp.
        EXPECT_NE(cache->Store(path, old, ThumbnailSize::Normal, core::Image(8, 8, 0xFF00FF00)),
                  std::nullopt);
        ASSERT_EQ(cache->Store(path, *stale.stamp, ThumbnailSize::Normal,
                               core::Image(8, 8, 0xFF0000FF)),
                  std::nullopt);
        const CachedThumbnail fresh = cache->Find(path, ThumbnailSize::Normal);
        ASSERT_EQ(fresh.kind, Kind::Thumbnail);
        EXPECT_EQ(fresh.image.at(0, 0), 0xFF0000FFu);
        const QImage png = Read(cache->EntryPath(path, ThumbnailSize::Normal));
        EXPECT_EQ(Text(png, "Thumb::MTime"), std::to_string(stale.stamp->mtime));
        EXPECT_EQ(Text(png, "Thumb::Size"), std::to_string(stale.stamp->size));
    }
}

TEST_F(ThumbnailCacheTest, FailureIsNotRetriedUntilTheFileChanges) {
    const std::string path = picture("broken.jpg");
    ASSERT_EQ(cache->StoreFailure(path, stamp(path)), std::nullopt);
    const std::string entry =
        root() + "/fail/vistrel-1.0.3/" + md5(uriOf(path)) + ".png";
    EXPECT_EQ(Text(Read(entry), "Thumb::URI"), uriOf(path));
    for (const ThumbnailSize size : {ThumbnailSize::Normal, ThumbnailSize::Large})
        EXPECT_EQ(cache->Find(path, size).kind, Kind::Failure);
    touch(path, 5);
    EXPECT_EQ(cache->Find(path, ThumbnailSize::Normal).kind, Kind::None);
}

TEST_F(ThumbnailCacheTest, EntriesFollowAMovedFileAndGoWithARemovedOne) {
    const std::string path = picture("a.jpg");
    const core::FileStamp stamped = stamp(path);
    for (const ThumbnailSize size : {ThumbnailSize::Normal, ThumbnailSize::Large})
        ASSERT_EQ(cache->Store(path, stamped, size, core::Image(4, 4)), std::nullopt);
    ASSERT_EQ(cache->StoreFailure(path, stamped), std::nullopt);
    const std::vector<std::string> old{cache->EntryPath(path, ThumbnailSize::Normal),
                                       cache->EntryPath(path, ThumbnailSize::Large),
                                       cache->FailurePath(path)};

    const std::string moved = home.filePath("pics/b 100%.jpg").toStdString();
    fs::rename(path, moved);
    cache->Moved(path, moved);
    for (const std::string& entry : old) EXPECT_FALSE(fs::exists(entry)) << entry;
    for (const ThumbnailSize size : {ThumbnailSize::Normal, ThumbnailSize::Large})
        EXPECT_EQ(cache->Find(moved, size).kind, Kind::Thumbnail);
    EXPECT_EQ(Text(Read(cache->FailurePath(moved)), "Thumb::URI"), uriOf(moved));
    EXPECT_EQ(filesInCache(), 3);

    cache->Moved(path, moved); // nothing left to move
    cache->Moved(picture("never cached.jpg"), moved);
    EXPECT_EQ(filesInCache(), 3);
    cache->Removed(moved);
    EXPECT_EQ(filesInCache(), 0);
    cache->Removed(moved);
}

TEST_F(ThumbnailCacheTest, DamagedEntryIsAMissAndGetsReplaced) {
    const auto validPng = [&](const std::string& path, int side) {
        QImage png(side, side, QImage::Format_RGB32);
        png.fill(Qt::gray);
        png.setText("Thumb::URI", QString::fromStdString(uriOf(path)));
        png.setText("Thumb::MTime", QString::number(stamp(path).mtime));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        png.save(&buffer, "png");
        return bytes;
    };
    struct Case {
        const char* name;
        const char* bytes; // or, when side is above 0, a PNG with the right keys
        int side;
        int truncate; // bytes of it kept, or all when 0
    };
    for (const Case c : {Case{"not a png", "GIF89a", 0, 0}, Case{"empty", "", 0, 0},
                         Case{"truncated", "", 64, 200}, Case{"larger than the box", "", 200, 0}}) {
        SCOPED_TRACE(c.name);
        const std::string path = picture(std::string(c.name) + ".jpg");
        QByteArray bytes = c.side > 0 ? validPng(path, c.side) : QByteArray(c.bytes);
        if (c.truncate > 0) bytes.truncate(c.truncate);
        const std::string entry = cache->EntryPath(path, ThumbnailSize::Normal);
        QDir().mkpath(QFileInfo(QString::fromStdString(entry)).path());
        QFile file(QString::fromStdString(entry));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        const CachedThumbnail found = cache->Find(path, ThumbnailSize::Normal);
        EXPECT_EQ(found.kind, Kind::None);
        ASSERT_EQ(cache->Store(path, *found.stamp, ThumbnailSize::Normal, core::Image(2, 2)),
                  std::nullopt);
        EXPECT_EQ(cache->Find(path, ThumbnailSize::Normal).kind, Kind::Thumbnail);
    }
}

TEST_F(ThumbnailCacheTest, WorkersShareOneCache) {
    // Every worker writes and reads the same entries while making the same folders.
    const std::string path = picture("shared.jpg");
    const core::FileStamp stamped = stamp(path);
    std::vector<std::thread> workers;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            const ThumbnailSize size = t % 2 ? ThumbnailSize::Large : ThumbnailSize::Normal;
            for (int i = 0; i < 10; ++i) {
                failures += cache->Store(path, stamped, size, core::Image(16, 16)).has_value();
                failures += cache->Find(path, size).kind != Kind::Thumbnail;
            }
        });
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(filesInCache(), 2);
}

// The grid's loader: the first visit decodes and fills the cache, the next reads it; a file
// that is no picture is recorded and not decoded again until it changes.
TEST_F(ThumbnailCacheTest, TheGridsThumbnailsComeFromTheCacheOnceWritten) {
    const qt::QtPictureLoader pictures;
    const core::CachingLoader loader(pictures, *cache);
    QImage photo(800, 600, QImage::Format_RGB32);
    photo.fill(QColor(200, 30, 30));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(photo.save(&buffer, "JPG"));
    const std::string path = picture("photo.jpg", jpeg);

    const core::LoadResult first = loader.loadScaled(path, 100, 100);
    ASSERT_TRUE(first.ok()) << first.errorText;
    EXPECT_EQ(std::pair(first.image.width(), first.image.height()), std::pair(100, 75));
    EXPECT_EQ(std::pair(first.naturalWidth, first.naturalHeight), std::pair(800, 600));
    const std::string entry = cache->EntryPath(path, ThumbnailSize::Normal);
    std::optional<core::ThumbnailFile> written = store.Read(entry, 256);
    ASSERT_TRUE(written);
    EXPECT_EQ(std::pair(written->image.width(), written->image.height()), std::pair(128, 96));

    // Another colour under the same keys: only a read of the cache can give it.
    written->image = core::Image(128, 96, 0xFF0000FF);
    ASSERT_FALSE(store.Write(entry, written->image, written->keys));
    const core::LoadResult second = loader.loadScaled(path, 100, 100);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.image.at(50, 37), 0xFF0000FFu);
    EXPECT_EQ(std::pair(second.naturalWidth, second.naturalHeight), std::pair(800, 600));

    const std::string junk = picture("junk.jpg", "no picture at all");
    EXPECT_EQ(loader.loadScaled(junk, 100, 100).error, core::LoadError::NotAPicture);
    EXPECT_TRUE(fs::exists(cache->FailurePath(junk)));
    EXPECT_EQ(loader.loadScaled(junk, 100, 100).error, core::LoadError::Damaged); // recorded
}
