#include "qt/platform/exifthumbnailreader.h"

#ifdef VISTREL_HAVE_LIBEXIF

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <libexif/exif-data.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "core/viewer/exifthumbnail.h"
#include "core/viewer/exiforientation.h"

namespace vistrel::qt {

namespace {

namespace fs = std::filesystem;
using core::JpegHead;

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
struct UnrefExif {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

// The segments up to the frame header, read in growing steps: most files have it within the
// first read.
std::vector<unsigned char> readHead(const std::string& path, JpegHead& head) {
    const fs::path name(path);
    std::error_code error;
    // Pipes and devices are not read: they could block.
    if (!fs::is_regular_file(name, error)) return {};
#ifdef _WIN32
    const std::unique_ptr<std::FILE, CloseFile> file(_wfopen(name.c_str(), L"rb"));
#else
    const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(name.c_str(), "rb"));
#endif
    if (!file) return {};
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    std::vector<unsigned char> bytes;
    for (std::size_t want = core::JpegHeadFirstRead;;
         want = std::min(want * 4, core::JpegHeadMaxBytes)) {
        const std::size_t had = bytes.size();
        bytes.resize(want);
        const std::size_t got = std::fread(bytes.data() + had, 1, want - had, file.get());
        bytes.resize(had + got);
        head = core::ReadJpegHead(bytes.data(), bytes.size());
        if (head.status != JpegHead::Status::Truncated || had + got < want ||
            want >= core::JpegHeadMaxBytes)
            return bytes;
    }
}

int orientationOf(ExifData* exif) {
    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || !entry->data ||
        entry->size < 2)
        return 1;
    const int value = exif_get_short(entry->data, exif_data_get_byte_order(exif));
    return value >= 1 && value <= 8 ? value : 1;
}

core::PixelSize upright(core::PixelSize stored, int orientation) {
    return core::OrientationTurns(orientation) ? core::PixelSize{stored.height, stored.width}
                                               : stored;
}

} // namespace

std::optional<ExifThumbnail> ReadExifThumbnail(const std::string& path, QSize box) {
    JpegHead head;
    const std::vector<unsigned char> bytes = readHead(path, head);
    if (head.status != JpegHead::Status::Complete || head.exifSize == 0) return std::nullopt;

    const std::unique_ptr<ExifData, UnrefExif> exif(exif_data_new());
    if (!exif) return std::nullopt;
    // Read as it is: no mandatory tags added.
    exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif.get(), bytes.data() + head.exifOffset,
                        static_cast<unsigned int>(head.exifSize));
    if (!exif->data || exif->size == 0) return std::nullopt;

    // The thumbnail's own size, known before it is decoded.
    const JpegHead thumbnailHead = core::ReadJpegHead(exif->data, exif->size);
    if (thumbnailHead.status != JpegHead::Status::Complete) return std::nullopt;
    const int orientation = orientationOf(exif.get());
    const core::PixelSize picture = upright(head.stored, orientation);
    if (!core::EmbeddedThumbnailServes(upright(thumbnailHead.stored, orientation), picture,
                                       {box.width(), box.height()}))
        return std::nullopt;

    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(exif->data),
                                              static_cast<qsizetype>(exif->size));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false); // the picture's orientation is applied, not the thumbnail's
    QImage image;
    if (!reader.read(&image) ||
        image.size() != QSize(thumbnailHead.stored.width, thumbnailHead.stored.height))
        return std::nullopt;
    return ExifThumbnail{std::move(image), orientation, QSize(picture.width, picture.height)};
}

} // namespace vistrel::qt

#else

namespace vistrel::qt {

std::optional<ExifThumbnail> ReadExifThumbnail(const std::string&, QSize) { return std::nullopt; }

} // namespace vistrel::qt

#endif
