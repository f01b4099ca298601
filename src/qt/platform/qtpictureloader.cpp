#include "qt/platform/qtpictureloader.h"

#include <QFile>
#include <QImageReader>
#include <QTransform>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <optional>

#include "core/app/asciitext.h"
#include "core/viewer/exiforientation.h"
#include "core/viewer/metafileheader.h"
#include "core/viewer/pictureloadrules.h"
#include "qt/platform/exifthumbnailreader.h"
#include "qt/platform/heifreader.h"
#include "qt/platform/imageconvert.h"
#include "qt/platform/jpegreader.h"
#include "qt/platform/memoryinfo.h"
#include "qt/platform/metafileloader.h"

namespace vistrel::qt {

namespace {

namespace fs = std::filesystem;
using core::LoadError;
using core::LoadResult;

std::FILE* openForReading(const fs::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

// Opened through the C library rather than by a QString name, which cannot carry file names
// that are not valid UTF-8.
LoadError openFile(const std::string& path, QFile& file) {
    const fs::path name(path);
    std::error_code error;
    const fs::file_status status = fs::status(name, error);
    if (status.type() == fs::file_type::not_found) return LoadError::NotFound;
    // Folders, pipes and devices: reading a pipe could wait forever.
    if (error || !fs::is_regular_file(status)) return LoadError::Unreadable;
    std::FILE* handle = openForReading(name);
    if (!handle) return errno == ENOENT ? LoadError::NotFound : LoadError::Unreadable;
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        std::fclose(handle);
        return LoadError::Unreadable;
    }
    if (file.size() == 0) return LoadError::Empty;
    return LoadError::None;
}

std::unique_ptr<QImageReader> openReader(const std::string& path, QFile& file) {
    auto reader = std::make_unique<QImageReader>(&file);
    reader->setDecideFormatFromContent(true);
    if (reader->canRead()) return reader;

    std::string extension = fs::path(path).extension().string();
    if (extension.size() < 2) return nullptr;
    extension.erase(0, 1);
    extension = core::AsciiLower(std::move(extension));
    file.seek(0);
    reader = std::make_unique<QImageReader>(&file, QByteArray::fromStdString(extension));
    if (!reader->canRead()) return nullptr;
    return reader;
}

// An icon holds one image per size: take the largest, the deepest colour among equals.
void chooseLargestImage(QImageReader& reader) {
    if (reader.supportsAnimation()) return; // counting a GIF's frames reads the whole file
    const int count = reader.imageCount();
    if (count < 2) return;
    int best = 0;
    qint64 bestArea = -1;
    int bestDepth = -1;
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) break;
        const QSize size = reader.size();
        const qint64 area = size.isValid() ? qint64{size.width()} * size.height() : 0;
        const int depth = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel();
        if (area > bestArea || (area == bestArea && depth > bestDepth)) {
            best = i;
            bestArea = area;
            bestDepth = depth;
        }
    }
    reader.jumpToImage(best);
}

LoadError readError(const QImageReader& reader) {
    switch (reader.error()) {
    case QImageReader::FileNotFoundError:
        return LoadError::NotFound;
    case QImageReader::DeviceError:
        return LoadError::Unreadable;
    case QImageReader::UnsupportedFormatError:
        return LoadError::NotAPicture;
    default:
        return LoadError::Damaged;
    }
}

// What one decode may take, and a look at what the machine has free right now.
struct Budget {
    std::int64_t limit;
    const std::function<std::uint64_t()>& available;

    bool tooLarge(QSize size) const { return core::IsTooLarge(size.width(), size.height(), limit); }
    // Whether `copies` pictures of `size` would not fit in the memory that is free; an
    // unknown amount never refuses.
    bool memoryShort(QSize size, int copies) const {
        const std::uint64_t free = available ? available() : 0;
        return free != 0 &&
               static_cast<std::uint64_t>(core::PictureBytes(size.width(), size.height())) *
                       static_cast<std::uint64_t>(copies) >
                   free;
    }
};

QSize fitInside(QSize natural, QSize box) {
    const core::PixelSize fit =
        core::FitInsidePixels(natural.width(), natural.height(), box.width(), box.height());
    return {fit.width, fit.height};
}

// Qt's GIF reader reports the first frame's size when the logical screen is much larger, yet
// decodes onto the whole screen: the screen's size is the picture's.
QSize gifScreenSize(const QByteArray& head) {
    if (head.size() < 10 || !head.startsWith("GIF8")) return {};
    const auto byte = [&](int i) { return static_cast<int>(static_cast<uchar>(head[i])); };
    const QSize screen(byte(6) | byte(7) << 8, byte(8) | byte(9) << 8);
    return screen.isEmpty() ? QSize() : screen;
}

// Qt's readers leave the EXIF orientation of PNG and WebP unapplied.
int containerOrientation(QFile& file) {
    const int orientation = core::ContainerExifOrientation(
        [&](std::uint64_t offset, std::size_t size) -> std::string {
            if (offset > static_cast<std::uint64_t>(file.size()) ||
                !file.seek(static_cast<qint64>(offset)))
                return {};
            return file.read(static_cast<qint64>(size)).toStdString();
        });
    file.seek(0);
    return orientation;
}

// The upright picture for an EXIF orientation (2 to 8); a null image when memory ran out.
QImage oriented(const QImage& image, int orientation) {
    const QTransform quarter = QTransform().rotate(90);
    switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.mirrored(true, true);
    case 4: return image.mirrored(false, true);
    case 5: return image.mirrored(false, true).transformed(quarter);
    case 6: return image.transformed(quarter);
    case 7: return image.mirrored(true, false).transformed(quarter);
    case 8: return image.transformed(QTransform().rotate(270));
    default: return image;
    }
}

// The EXIF orientation (1 to 8) that Qt's reader reports as a transformation.
int orientationOf(QImageIOHandler::Transformations transformation) {
    switch (transformation) {
    case QImageIOHandler::TransformationMirror: return 2;
    case QImageIOHandler::TransformationRotate180: return 3;
    case QImageIOHandler::TransformationFlip: return 4;
    case QImageIOHandler::TransformationFlipAndRotate90: return 5;
    case QImageIOHandler::TransformationRotate90: return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90: return 7;
    case QImageIOHandler::TransformationRotate270: return 8;
    default: return 1;
    }
}

// A JPEG decoded at 1/reduction (1 for the whole picture) straight into core's layout.
LoadResult decodeJpegDirect(const std::string& path, int reduction, int orientation,
                             QSize natural, const Budget& budget) {
    const QSize reduced(core::DctReducedSide(natural.width(), reduction),
                        core::DctReducedSide(natural.height(), reduction));
    // Turning it upright needs a second picture for a while.
    if (budget.memoryShort(reduced, orientation == 1 ? 1 : 2))
        return core::LoadFailure(path, LoadError::OutOfMemory);
    std::FILE* handle = openForReading(fs::path(path));
    if (!handle) return core::LoadFailure(path, errno == ENOENT ? LoadError::NotFound
                                                                : LoadError::Unreadable);
    ReducedJpeg jpeg = ReadJpegReduced(handle, reduction);
    std::fclose(handle);
    if (jpeg.error == LoadError::TooLarge && reduction == 1) {
        LoadResult qtReads; // a build without libjpeg-turbo: Qt's reader does it
        qtReads.error = LoadError::NotAPicture;
        return qtReads;
    }
    if (jpeg.error == LoadError::TooLarge)
        return core::LoadFailure(path, LoadError::TooLarge, natural.width(), natural.height());
    if (jpeg.error != LoadError::None) return core::LoadFailure(path, jpeg.error);

    LoadResult result;
    if (orientation != 1) {
        QImage upright = oriented(wrapImage(jpeg.image), orientation);
        jpeg.image = core::Image(); // before the copy below, so at most two pictures at once
        if (upright.isNull()) return core::LoadFailure(path, LoadError::OutOfMemory);
        try {
            result.image = toCoreImage(upright);
        } catch (const std::bad_alloc&) {
            return core::LoadFailure(path, LoadError::OutOfMemory);
        }
    } else {
        result.image = std::move(jpeg.image);
    }
    result.naturalWidth = natural.width();
    result.naturalHeight = natural.height();
    result.reduction = reduction;
    return result;
}

// The decoded picture, shrunk into the box when there is one, as a core picture.
LoadResult finish(const std::string& path, QImage decoded, QSize natural,
                  std::optional<QSize> box, const Budget& budget) {
    if (budget.tooLarge(decoded.size()))
        return core::LoadFailure(path, LoadError::TooLarge, decoded.width(), decoded.height());
    if (box) {
        // Also for pictures whose size was unknown before reading.
        const QSize fit = fitInside(natural, *box);
        if (decoded.size() != fit)
            decoded = decoded.scaled(fit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (decoded.isNull()) return core::LoadFailure(path, LoadError::OutOfMemory);
    }

    LoadResult result;
    result.naturalWidth = natural.width();
    result.naturalHeight = natural.height();
    try {
        result.image = toCoreImage(decoded);
    } catch (const std::bad_alloc&) {
        return core::LoadFailure(path, LoadError::OutOfMemory);
    }
    return result;
}

// HEIC and AVIF have no scaled decode: the whole picture is decoded, then shrunk.
LoadResult decodeHeif(const std::string& path, QFile& file, std::optional<QSize> box,
                      const Budget& budget) {
    HeifPicture picture = ReadHeif(file, budget.limit);
    if (picture.error == LoadError::TooLarge)
        return core::LoadFailure(path, picture.error, picture.width, picture.height);
    if (picture.error != LoadError::None) return core::LoadFailure(path, picture.error);
    const QSize natural = picture.image.size();
    return finish(path, std::move(picture.image), natural, box, budget);
}

LoadResult decode(const std::string& path, std::optional<QSize> box,
                  const MetafileLoader& metafiles, const Budget& budget) {
    QFile file;
    if (const LoadError error = openFile(path, file); error != LoadError::None)
        return core::LoadFailure(path, error);
    const QByteArray head = file.peek(std::max<qint64>(64, core::MetafileHeadBytes));
    if (core::MetafileKindOf(reinterpret_cast<const unsigned char*>(head.constData()),
                             static_cast<std::size_t>(head.size())) != core::MetafileKind::None) {
        if (!box) return metafiles.load(path, std::nullopt);
        return metafiles.load(path, core::PixelSize{box->width(), box->height()});
    }
    if (IsHeif(head)) return decodeHeif(path, file, box, budget);
    const int ownOrientation = containerOrientation(file);
    const std::unique_ptr<QImageReader> reader = openReader(path, file);
    if (!reader) return core::LoadFailure(path, LoadError::NotAPicture);
    reader->setAutoTransform(true);
    chooseLargestImage(*reader);

    // The reader reports the stored size; orientations 5 to 8 stand the picture on its side.
    // Where the reader orients the picture itself, the file's block is not applied again.
    const QImageIOHandler::Transformations byReader = reader->transformation();
    const int orientation = byReader == QImageIOHandler::TransformationNone ? ownOrientation : 1;
    const bool turned = byReader.testFlag(QImageIOHandler::TransformationRotate90) ||
                        core::OrientationTurns(orientation);
    QSize natural = turned ? reader->size().transposed() : reader->size();
    if (reader->format() == "gif" && gifScreenSize(head).isValid()) natural = gifScreenSize(head);
    const bool jpeg = reader->format() == "jpeg";

    // The limit is on what the decoder allocates, which a scaled decode keeps small.
    QSize decodeSize = natural;
    bool scaledByReader = false;
    if (box && natural.isValid()) {
        const QSize fit = fitInside(natural, *box);
        if (fit != natural) {
            // Scaling happens before the orientation is applied. Quality 100 asks for smooth
            // scaling; JPEG first shrinks by M/8 while decoding, and SVG draws straight at
            // this size.
            const QSize stored = turned ? natural.transposed() : natural;
            const QSize storedFit = turned ? fit.transposed() : fit;
            reader->setScaledSize(storedFit);
            reader->setQuality(100);
            scaledByReader = true;
            if (jpeg) {
                const core::PixelSize decoded = core::ScaledJpegDecodeSize(
                    stored.width(), stored.height(), storedFit.width(), storedFit.height());
                decodeSize = QSize(decoded.width, decoded.height);
            } else if (reader->format() == "svg" || reader->format() == "svgz") {
                decodeSize = fit;
            }
        }
    }
    if (!box && jpeg && natural.isValid()) {
        // Straight into core's layout; a JPEG too large to view whole is shown reduced.
        const QSize stored = turned ? natural.transposed() : natural;
        const int reduction =
            core::DctReductionWithin(stored.width(), stored.height(), budget.limit);
        if (reduction == 0)
            return core::LoadFailure(path, LoadError::TooLarge, natural.width(),
                                     natural.height());
        LoadResult direct =
            decodeJpegDirect(path, reduction, orientationOf(byReader), natural, budget);
        if (direct.error != LoadError::NotAPicture) return direct;
        if (reduction > 1)
            return core::LoadFailure(path, LoadError::TooLarge, natural.width(),
                                     natural.height());
        // CMYK: Qt's reader below.
    }
    // Other formats cannot scale while decoding.
    if (natural.isValid() && budget.tooLarge(decodeSize))
        return core::LoadFailure(path, LoadError::TooLarge, natural.width(), natural.height());
    // The reader's picture and core's copy of it live side by side for a moment.
    if (decodeSize.isValid() && budget.memoryShort(decodeSize, 2))
        return core::LoadFailure(path, LoadError::OutOfMemory);

    QImage decoded;
    if (!reader->read(&decoded) || decoded.isNull())
        return core::LoadFailure(path, readError(*reader));
    if (orientation != 1) {
        decoded = oriented(decoded, orientation);
        if (decoded.isNull()) return core::LoadFailure(path, LoadError::OutOfMemory);
    }
    if (!scaledByReader) natural = decoded.size();
    return finish(path, std::move(decoded), natural, box, budget);
}

} // namespace

QtPictureLoader::QtPictureLoader()
    : QtPictureLoader(core::DecodeLimit(PhysicalMemoryBytes()), AvailableMemoryBytes) {}

QtPictureLoader::QtPictureLoader(std::int64_t decodeLimit,
                                 std::function<std::uint64_t()> availableMemory)
    : m_metafiles(std::make_shared<MetafileLoader>()),
      m_decodeLimit(std::clamp(decodeLimit, std::int64_t{1}, core::MaxDecodeBytes)),
      m_availableMemory(std::move(availableMemory)) {
    static std::once_flag once;
    std::call_once(once, [] {
        // Qt's own guard, for decoders whose size is unknown before they run; the loader's
        // limit is checked before every decode.
        const std::int64_t limit = core::DecodeLimit(PhysicalMemoryBytes());
        QImageReader::setAllocationLimit(static_cast<int>(limit / (1024 * 1024)));
        InitHeif();
    });
}

core::LoadResult QtPictureLoader::load(const std::string& path) const {
    return decode(path, std::nullopt, *m_metafiles, Budget{m_decodeLimit, m_availableMemory});
}

core::LoadResult QtPictureLoader::loadScaled(const std::string& path, int maxWidth,
                                             int maxHeight) const {
    const QSize box(std::max(maxWidth, 1), std::max(maxHeight, 1));
    const Budget budget{m_decodeLimit, m_availableMemory};
    // A camera's own small copy of the picture spares decoding megapixels; whatever goes
    // wrong on that way, the picture is decoded.
    if (const std::optional<ExifThumbnail> embedded = ReadExifThumbnail(path, box)) {
        QImage upright = oriented(embedded->image, embedded->orientation);
        if (!upright.isNull()) {
            LoadResult result = finish(path, std::move(upright), embedded->natural, box, budget);
            if (result.ok()) return result;
        }
    }
    return decode(path, box, *m_metafiles, budget);
}

} // namespace vistrel::qt
