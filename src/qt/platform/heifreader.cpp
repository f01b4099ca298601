#include "qt/platform/heifreader.h"

#include <QFile>

#include "core/viewer/pictureloadrules.h"

#ifdef VISTREL_HAVE_LIBHEIF

#include <libheif/heif.h>

#include <cstdint>
#include <memory>
#include <mutex>

namespace vistrel::qt {

namespace {

using core::LoadError;

// libheif pulls the file through these, so it reads the already opened file (names that are
// not valid UTF-8 included) and only the parts it needs.
std::int64_t position(void* file) {
    return static_cast<QFile*>(file)->pos();
}

int read(void* data, std::size_t size, void* file) {
    const auto wanted = static_cast<qint64>(size);
    return static_cast<QFile*>(file)->read(static_cast<char*>(data), wanted) == wanted ? 0 : 1;
}

int seek(std::int64_t to, void* file) {
    return static_cast<QFile*>(file)->seek(to) ? 0 : 1;
}

heif_reader_grow_status waitForSize(std::int64_t size, void* file) {
    return size <= static_cast<QFile*>(file)->size() ? heif_reader_grow_status_size_reached
                                                      : heif_reader_grow_status_size_beyond_eof;
}

const heif_reader FileReader{1, position, read, seek, waitForSize};

LoadError errorOf(const heif_error& error) {
    if (error.code == heif_error_Memory_allocation_error)
        return error.subcode == heif_suberror_Security_limit_exceeded ? LoadError::Damaged
                                                                      : LoadError::OutOfMemory;
    return LoadError::Damaged;
}

struct ContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleRelease {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};

void releaseImage(void* image) {
    heif_image_release(static_cast<heif_image*>(image));
}

} // namespace

void InitHeif() {
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
}

bool IsHeif(const QByteArray& head) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(head.constData());
    const int size = static_cast<int>(head.size());
    if (size < 12 || head.mid(4, 4) != "ftyp") return false;
    if (heif_check_filetype(data, size) == heif_filetype_yes_supported) return true;
    // Generic main brands ("mif1", "msf1", "avis") with an image brand among the compatible
    // ones; videos ("isom", "mp42") name none of these.
    for (const char* brand : {"heic", "heix", "avif", "mif1"})
        if (heif_has_compatible_brand(data, size, brand) == 1) return true;
    return false;
}

HeifPicture ReadHeif(QFile& file, std::int64_t limitBytes) {
    HeifPicture result;
    const auto fail = [&](LoadError error) {
        result.error = error;
        result.image = QImage();
        return result;
    };
    InitHeif();
    file.seek(0);
    std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    if (!context) return fail(LoadError::OutOfMemory);
    heif_error error = heif_context_read_from_reader(context.get(), &FileReader, &file, nullptr);
    if (error.code != heif_error_Ok) return fail(errorOf(error));

    heif_image_handle* rawHandle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawHandle);
    std::unique_ptr<heif_image_handle, HandleRelease> handle(rawHandle);
    if (error.code != heif_error_Ok || !handle) return fail(errorOf(error));

    // The handle's size is that of the upright picture, after rotation and crop.
    result.width = heif_image_handle_get_width(handle.get());
    result.height = heif_image_handle_get_height(handle.get());
    if (result.width <= 0 || result.height <= 0) return fail(LoadError::Damaged);
    if (core::IsTooLarge(result.width, result.height, limitBytes)) return fail(LoadError::TooLarge);

    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    if (!options) return fail(LoadError::OutOfMemory);
    options->convert_hdr_to_8bit = 1;
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    heif_image* image = nullptr;
    // Four bytes a pixel even without alpha (libheif fills in opaque): Qt scales that layout
    // as it stands, where three-byte pixels would first be converted at full size.
    error = heif_decode_image(handle.get(), &image, heif_colorspace_RGB,
                              heif_chroma_interleaved_RGBA, options.get());
    if (error.code != heif_error_Ok || !image) {
        if (image) heif_image_release(image);
        return fail(errorOf(error));
    }

    int stride = 0;
    const std::uint8_t* pixels =
        heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    if (!pixels || width <= 0 || height <= 0 || core::IsTooLarge(width, height, limitBytes) ||
        stride < width * 4) {
        heif_image_release(image);
        return fail(LoadError::Damaged);
    }
    // Qt reads libheif's buffer in place and hands it back when the last copy goes.
    result.image = QImage(pixels, width, height, stride,
                          alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888, releaseImage,
                          image);
    if (result.image.isNull()) {
        heif_image_release(image);
        return fail(LoadError::OutOfMemory);
    }
    result.width = width;
    result.height = height;
    return result;
}

} // namespace vistrel::qt

#else

namespace vistrel::qt {

void InitHeif() {}

bool IsHeif(const QByteArray&) {
    return false;
}

HeifPicture ReadHeif(QFile&, std::int64_t) {
    return {QImage(), core::LoadError::NotAPicture};
}

} // namespace vistrel::qt

#endif
