#include "qt/platform/qtthumbnailstore.h"

#include <filesystem>
#include <new>
#include <system_error>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>

#include "core/browser/thumbnailcache.h"
#include "qt/platform/imageconvert.h"
#include "qt/platform/pathtext.h"

namespace vistrel::qt {

namespace {

// The standard asks that nobody but the user can read what pictures they looked at.
constexpr QFile::Permissions PrivateFile = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions PrivateFolder = PrivateFile | QFile::ExeOwner;

bool MakeFolders(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir()) return true;
    const QString parent = info.path();
    if (parent == folder || !MakeFolders(parent)) return false;
    // Another thread or program may have made it meanwhile.
    return QDir().mkdir(folder, PrivateFolder) || QFileInfo(folder).isDir();
}

std::optional<QImage> ReadPng(const std::string& path, int maxSide) {
    QImageReader reader(PathText(path), "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > maxSide || size.height() > maxSide) return std::nullopt;
    QImage image;
    if (!reader.read(&image)) return std::nullopt;
    return image;
}

std::optional<std::string> WritePng(const std::string& path, const QImage& image) {
    const QString name = PathText(path);
    if (!MakeFolders(QFileInfo(name).path()))
        return "cannot make the folder " + QFileInfo(name).path().toStdString();
    // Written beside the entry and renamed over it, so no reader sees half an entry. Not
    // synced to disk: a cache entry lost to a crash is only made again.
    QTemporaryFile file(name + ".XXXXXX"); // private (0600) from the start
    if (!file.open()) return file.errorString().toStdString();
    QImageWriter writer(&file, "png");
    // zlib's fastest level: the default took five times as long as decoding the picture, to
    // save a fifth of a file the cache may delete tomorrow.
    writer.setQuality(80);
    if (!writer.write(image)) return writer.errorString().toStdString();
    if (!file.flush()) return file.errorString().toStdString();
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(file.fileName().toStdString()),
                            std::filesystem::path(path), error);
    if (error) return error.message();
    file.setAutoRemove(false);
    return std::nullopt;
}

} // namespace

std::optional<core::ThumbnailFile> QtThumbnailStore::Read(const std::string& path,
                                                          int maxSide) const {
    try {
        const std::optional<QImage> image = ReadPng(path, maxSide);
        if (!image) return std::nullopt;
        core::ThumbnailFile entry{toCoreImage(*image), {}};
        for (const QString& key : image->textKeys())
            entry.keys[key.toStdString()] = image->text(key).toStdString();
        return entry;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::string> QtThumbnailStore::Write(const std::string& path,
                                                   const core::Image& image,
                                                   const core::ThumbnailKeys& keys) {
    try {
        QImage png = toQImage(image);
        for (const auto& [key, value] : keys)
            png.setText(QString::fromStdString(key), QString::fromStdString(value));
        return WritePng(path, png);
    } catch (const std::bad_alloc&) {
        return "out of memory";
    }
}

std::optional<std::string> QtThumbnailStore::Move(const std::string& from, const std::string& to,
                                                  const core::ThumbnailKeys& changed,
                                                  int maxSide) {
    std::optional<QImage> png = ReadPng(from, maxSide);
    if (!png) return "no thumbnail to move at " + from;
    for (const auto& [key, value] : changed)
        png->setText(QString::fromStdString(key), QString::fromStdString(value));
    if (std::optional<std::string> failure = WritePng(to, *png)) return failure;
    if (from != to) QFile::remove(PathText(from));
    return std::nullopt;
}

void QtThumbnailStore::Remove(const std::string& path) { QFile::remove(PathText(path)); }

std::string QtThumbnailStore::Md5Hex(std::string_view bytes) const {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), std::ssize(bytes)),
                                    QCryptographicHash::Md5)
        .toHex()
        .toStdString();
}

std::string ThumbnailCacheRoot() {
    return core::ThumbnailCacheRoot(qgetenv("XDG_CACHE_HOME").toStdString(),
                                    QFile::encodeName(QDir::homePath()).toStdString());
}

} // namespace vistrel::qt
