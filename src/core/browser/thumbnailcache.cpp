#include "core/browser/thumbnailcache.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#include "core/app/apptitle.h"
#include "core/editing/stretch.h"
#include "core/viewer/pictureloadrules.h"

namespace vistrel::core {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view UriKey = "Thumb::URI";
constexpr std::string_view MTimeKey = "Thumb::MTime";
constexpr std::string_view SizeKey = "Thumb::Size";
constexpr std::string_view MimeKey = "Thumb::Mimetype";
constexpr std::string_view WidthKey = "Thumb::Image::Width";
constexpr std::string_view HeightKey = "Thumb::Image::Height";
// Our own failure marks are 1 x 1; another program's entry bigger than a large thumbnail
// under our names is not worth decoding.
constexpr int FailureMaxSide = 256;

std::string_view FolderOf(ThumbnailSize size) {
    return size == ThumbnailSize::Normal ? "normal" : "large";
}

// Each program keeps its failures apart, since another one may read pictures we cannot.
std::string FailureFolder() {
    std::string folder = "fail/";
    for (const char c : std::string_view(AppTitle))
        folder += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return folder + "-" + AppVersion;
}

// Every folder a file's entries live in, with the largest picture each may hold.
std::array<std::pair<std::string, int>, 3> Folders() {
    return {{{std::string(FolderOf(ThumbnailSize::Normal)), ThumbnailBox(ThumbnailSize::Normal)},
             {std::string(FolderOf(ThumbnailSize::Large)), ThumbnailBox(ThumbnailSize::Large)},
             {FailureFolder(), FailureMaxSide}}};
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_' || c == '~';
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The whole text is one decimal number: no spaces, '+' or anything after it, and a '-' only
// for a signed Number (from_chars' own rules).
template <typename Number>
std::optional<Number> ParseWhole(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

const std::string* Key(const ThumbnailKeys& keys, std::string_view name) {
    const auto it = keys.find(std::string(name));
    return it == keys.end() ? nullptr : &it->second;
}

// The key's whole number when there is one above 0, else 0.
int PositiveKey(const ThumbnailKeys& keys, std::string_view name) {
    const std::string* text = Key(keys, name);
    const std::optional<int> value = text ? ParseWhole<int>(*text) : std::nullopt;
    return value.value_or(0) > 0 ? *value : 0;
}

} // namespace

int ThumbnailBox(ThumbnailSize size) { return size == ThumbnailSize::Normal ? 128 : 256; }

ThumbnailSize ThumbnailSizeFor(int pixels) {
    return pixels <= ThumbnailBox(ThumbnailSize::Normal) ? ThumbnailSize::Normal
                                                         : ThumbnailSize::Large;
}

std::string ThumbnailCacheRoot(std::string_view xdgCacheHome, std::string_view home) {
    if (!xdgCacheHome.empty() && fs::path(xdgCacheHome).is_absolute())
        return (fs::path(xdgCacheHome) / "thumbnails").string();
    if (!home.empty() && fs::path(home).is_absolute())
        return (fs::path(home) / ".cache" / "thumbnails").string();
    return {};
}

std::string FileUri(const std::string& path) {
    std::error_code error;
    const std::string absolute = fs::absolute(path, error).lexically_normal().generic_string();
    if (error) return {};
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    uri.reserve(uri.size() + absolute.size() * 3);
    for (const char c : absolute) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte) || byte == '/') {
            uri += c;
        } else {
            uri += '%';
            uri += Hex[byte >> 4];
            uri += Hex[byte & 0xF];
        }
    }
    return uri;
}

std::string_view ThumbnailMimeType(const std::string& path) {
    struct Type {
        std::string_view extension;
        std::string_view mime;
    };
    static constexpr std::array<Type, 21> Types{{
        {".bmp", "image/bmp"},        {".dib", "image/bmp"},
        {".gif", "image/gif"},        {".jfif", "image/jpeg"},
        {".jpg", "image/jpeg"},       {".jif", "image/jpeg"},
        {".jpeg", "image/jpeg"},      {".ige", "image/jpeg"},
        {".emf", "image/emf"},        {".wmf", "image/wmf"},
        {".ico", "image/vnd.microsoft.icon"}, {".cur", "image/x-win-bitmap"},
        {".png", "image/png"},        {".webp", "image/webp"},
        {".tif", "image/tiff"},       {".tiff", "image/tiff"},
        {".svg", "image/svg+xml"},    {".svgz", "image/svg+xml-compressed"},
        {".heic", "image/heic"},      {".heif", "image/heif"},
        {".avif", "image/avif"},
    }};
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), AsciiLower);
    for (const Type& type : Types)
        if (type.extension == extension) return type.mime;
    return {};
}

std::optional<FileStamp> StampOf(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error) || error) return std::nullopt;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) return std::nullopt;
    const fs::file_time_type written = fs::last_write_time(path, error);
    if (error) return std::nullopt;
    // file_clock need not count from 1970 (libstdc++ counts from 2174). Whole seconds on each
    // side of the shift, since shifting the nanosecond count overflows for far-future times.
    using std::chrono::floor;
    using std::chrono::seconds;
    const seconds sinceFileEpoch = floor<seconds>(written.time_since_epoch());
    const seconds fileEpoch =
        floor<seconds>(std::chrono::file_clock::to_sys(fs::file_time_type{}).time_since_epoch());
    return FileStamp{sinceFileEpoch.count() + fileEpoch.count(), size};
}

bool EntryMatches(const ThumbnailKeys& keys, std::string_view uri, const FileStamp& stamp) {
    const std::string* entryUri = Key(keys, UriKey);
    const std::string* mtime = Key(keys, MTimeKey);
    if (!entryUri || *entryUri != uri || !mtime) return false;
    if (ParseWhole<std::int64_t>(*mtime) != stamp.mtime) return false;
    const std::string* size = Key(keys, SizeKey);
    return !size || ParseWhole<std::uint64_t>(*size) == stamp.size;
}

ThumbnailCache::ThumbnailCache(ThumbnailStore& store, std::string root)
    : m_store(store), m_root(fs::path(root).is_absolute() ? std::move(root) : std::string()) {}

std::string ThumbnailCache::EntryPathOfUri(const std::string& uri, std::string_view folder) const {
    if (m_root.empty() || uri.empty()) return {};
    return (fs::path(m_root) / folder / (m_store.Md5Hex(uri) + ".png")).string();
}

std::string ThumbnailCache::EntryPath(const std::string& path, ThumbnailSize size) const {
    return EntryPathOfUri(FileUri(path), FolderOf(size));
}

std::string ThumbnailCache::FailurePath(const std::string& path) const {
    return EntryPathOfUri(FileUri(path), FailureFolder());
}

CachedThumbnail ThumbnailCache::Find(const std::string& path, ThumbnailSize size) const {
    CachedThumbnail found;
    found.stamp = StampOf(path);
    const std::string uri = FileUri(path);
    if (!found.stamp || m_root.empty() || uri.empty()) return found;
    // A box's worth of pixels at most: anything larger is not a thumbnail of this size.
    std::optional<ThumbnailFile> entry =
        m_store.Read(EntryPathOfUri(uri, FolderOf(size)), ThumbnailBox(size));
    if (entry && !entry->image.isNull() && EntryMatches(entry->keys, uri, *found.stamp)) {
        found.kind = CachedThumbnail::Kind::Thumbnail;
        found.image = std::move(entry->image);
        const int width = PositiveKey(entry->keys, WidthKey);
        const int height = PositiveKey(entry->keys, HeightKey);
        if (width > 0 && height > 0) {
            found.naturalWidth = width;
            found.naturalHeight = height;
        }
        return found;
    }
    entry = m_store.Read(EntryPathOfUri(uri, FailureFolder()), FailureMaxSide);
    if (entry && EntryMatches(entry->keys, uri, *found.stamp))
        found.kind = CachedThumbnail::Kind::Failure;
    return found;
}

std::optional<std::string> ThumbnailCache::Write(const std::string& path, const FileStamp& stamp,
                                                 const std::string& entry, const Image& image,
                                                 ThumbnailKeys keys) {
    const std::string name = fs::path(path).filename().string();
    if (entry.empty()) return name + ": there is no thumbnail cache folder";
    if (StampOf(path) != stamp) return name + ": the file changed while its thumbnail was made";
    keys[std::string(UriKey)] = FileUri(path);
    keys[std::string(MTimeKey)] = std::to_string(stamp.mtime);
    keys[std::string(SizeKey)] = std::to_string(stamp.size);
    keys["Software"] = std::string(AppTitle) + " " + AppVersion;
    if (const std::string_view mime = ThumbnailMimeType(path); !mime.empty())
        keys.emplace(MimeKey, mime);
    if (std::optional<std::string> failure = m_store.Write(entry, image, keys))
        return name + ": " + *failure;
    return std::nullopt;
}

std::optional<std::string> ThumbnailCache::Store(const std::string& path, const FileStamp& stamp,
                                                 ThumbnailSize size, const Image& image,
                                                 int naturalWidth, int naturalHeight) {
    if (image.isNull())
        return fs::path(path).filename().string() + ": the thumbnail has no pixels";
    ThumbnailKeys keys;
    if (naturalWidth > 0 && naturalHeight > 0) {
        keys.emplace(WidthKey, std::to_string(naturalWidth));
        keys.emplace(HeightKey, std::to_string(naturalHeight));
    }
    const int box = ThumbnailBox(size);
    if (image.width() <= box && image.height() <= box)
        return Write(path, stamp, EntryPath(path, size), image, std::move(keys));
    try {
        const PixelSize fitted = FitInsidePixels(image.width(), image.height(), box, box);
        return Write(path, stamp, EntryPath(path, size),
                     StretchImage(image, fitted.width, fitted.height), std::move(keys));
    } catch (const std::bad_alloc&) {
        return fs::path(path).filename().string() + ": out of memory";
    }
}

std::optional<std::string> ThumbnailCache::StoreFailure(const std::string& path,
                                                        const FileStamp& stamp) {
    return Write(path, stamp, FailurePath(path), Image(1, 1));
}

void ThumbnailCache::Moved(const std::string& oldPath, const std::string& newPath) {
    const std::string oldUri = FileUri(oldPath);
    const std::string newUri = FileUri(newPath);
    if (m_root.empty() || oldUri.empty() || newUri.empty() || oldUri == newUri) return;
    const ThumbnailKeys changed{{std::string(UriKey), newUri}};
    for (const auto& [folder, maxSide] : Folders()) {
        const std::string from = EntryPathOfUri(oldUri, folder);
        // An entry that cannot be moved would only ever be stale: drop it.
        if (m_store.Move(from, EntryPathOfUri(newUri, folder), changed, maxSide))
            m_store.Remove(from);
    }
}

void ThumbnailCache::Removed(const std::string& path) {
    const std::string uri = FileUri(path);
    if (m_root.empty() || uri.empty()) return;
    for (const auto& [folder, maxSide] : Folders())
        m_store.Remove(EntryPathOfUri(uri, folder));
}

} // namespace vistrel::core
