#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/editing/image.h"
#include "core/platform/thumbnailstore.h"

namespace vistrel::core {

// The folder sizes of the shared thumbnail cache.
enum class ThumbnailSize { Normal, Large };

// The box a size's thumbnails fit in: 128 or 256 pixels.
int ThumbnailBox(ThumbnailSize size);
// The size whose thumbnails cover a box of pixels a side (device pixels, after the screen's
// scale factor): normal up to 128, large above.
ThumbnailSize ThumbnailSizeFor(int pixels);
// The cache's folder: $XDG_CACHE_HOME/thumbnails when that is an absolute path, otherwise
// ~/.cache/thumbnails; empty (no cache) when home is not absolute either.
std::string ThumbnailCacheRoot(std::string_view xdgCacheHome, std::string_view home);

// "file://" and the absolute path, every byte but the unreserved ones and '/' as %XX.
std::string FileUri(const std::string& path);
// The file's MIME type by its extension; empty when the picture types do not know it.
std::string_view ThumbnailMimeType(const std::string& path);

// What a cache entry is checked against: the file's modification time in whole seconds since
// 1970 and its length in bytes.
struct FileStamp {
    std::int64_t mtime = 0;
    std::uint64_t size = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// The stamp of the regular file at path (symbolic links followed); nothing when there is none.
std::optional<FileStamp> StampOf(const std::string& path);
// Whether an entry's keys describe the file at uri as it is now: its URI and MTime match, and
// its Size too when it has one. Anything else is stale.
bool EntryMatches(const ThumbnailKeys& keys, std::string_view uri, const FileStamp& stamp);

// What the cache holds for a file.
struct CachedThumbnail {
    enum class Kind {
        None,      // nothing usable: decode the file, then Store or StoreFailure
        Thumbnail, // image is the file's thumbnail, within the size's box
        Failure,   // the file could not be thumbnailed as it is now: do not retry
    };
    Kind kind = Kind::None;
    Image image;
    // The picture's own size (Thumb::Image::Width and Height) when the entry tells it, else 0.
    int naturalWidth = 0;
    int naturalHeight = 0;
    // The file's stamp at the look-up, for Store; nothing when the file is gone.
    std::optional<FileStamp> stamp;
};

// Reads and writes the shared thumbnail cache (the freedesktop thumbnail standard) under one
// root folder. It keeps no state of its own, so the grid's decode workers may share one.
class ThumbnailCache {
public:
    // An empty or relative root gives a cache that holds nothing and stores nothing.
    ThumbnailCache(ThumbnailStore& store, std::string root);

    const std::string& root() const { return m_root; }
    // Where the thumbnail of the file at path is kept, and where its failure is recorded.
    std::string EntryPath(const std::string& path, ThumbnailSize size) const;
    std::string FailurePath(const std::string& path) const;

    CachedThumbnail Find(const std::string& path, ThumbnailSize size) const;
    // Records image (shrunk to the size's box when larger) as the thumbnail of the file at
    // path, with the picture's natural size when it is above 0; stamp is the one Find gave
    // before the file was decoded: when the file has changed since, nothing is written.
    // Nothing on success, otherwise why not.
    std::optional<std::string> Store(const std::string& path, const FileStamp& stamp,
                                     ThumbnailSize size, const Image& image,
                                     int naturalWidth = 0, int naturalHeight = 0);
    // Records that the file at path, as stamp describes it, could not be thumbnailed.
    std::optional<std::string> StoreFailure(const std::string& path, const FileStamp& stamp);

    // The file at oldPath is now at newPath: its entries follow it, under their new names and
    // with their new URI. Quiet when there is nothing to move.
    void Moved(const std::string& oldPath, const std::string& newPath);
    // The file at path is gone: so are its entries.
    void Removed(const std::string& path);

private:
    std::string EntryPathOfUri(const std::string& uri, std::string_view folder) const;
    std::optional<std::string> Write(const std::string& path, const FileStamp& stamp,
                                     const std::string& entry, const Image& image,
                                     ThumbnailKeys keys = {});

    ThumbnailStore& m_store;
    std::string m_root;
};

} // namespace vistrel::core
