#include "qt/platform/jpegreader.h"

#ifdef VISTREL_HAVE_JPEG

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "qt/platform/memoryinfo.h"

#ifndef JCS_ALPHA_EXTENSIONS
#error "libjpeg-turbo is needed: it writes four-byte pixels straight into the picture"
#endif

namespace vistrel::qt {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
    bool outOfMemory;
};

[[noreturn]] void escape(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    manager->outOfMemory = manager->base.msg_code == JERR_OUT_OF_MEMORY;
    std::longjmp(manager->escape, 1);
}

void quiet(j_common_ptr, int) {}

// The decode proper, kept free of objects with destructors: a damaged file leaves it by
// longjmp. Returns the error, with the picture's rows written into `image` as they come.
core::LoadError decode(jpeg_decompress_struct& info, ErrorManager& errors, std::FILE* file,
                       int reduction, core::Image& storage) {
    if (setjmp(errors.escape))
        return errors.outOfMemory ? core::LoadError::OutOfMemory : core::LoadError::Damaged;
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
        return core::LoadError::NotAPicture;
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned>(reduction);
    // Blue, green, red and 0xFF in memory: 0xFFRRGGBB on a little-endian machine.
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_calc_output_dimensions(&info);
    if (info.output_width == 0 || info.output_height == 0 || info.output_width > 0x7FFFFFFF ||
        info.output_height > 0x7FFFFFFF)
        return core::LoadError::Damaged;
    try {
        // Every row is written below; a file cut short gets grey rows from libjpeg.
        storage = core::Image(static_cast<int>(info.output_width),
                              static_cast<int>(info.output_height), core::Image::Unfilled{});
    } catch (const std::bad_alloc&) {
        return core::LoadError::OutOfMemory;
    }
    AdviseLargePages(storage.data(), storage.pixelCount() * sizeof(core::Image::Pixel));
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(storage.row(static_cast<int>(info.output_scanline)));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return core::LoadError::None;
}

} // namespace

ReducedJpeg ReadJpegReduced(std::FILE* file, int reduction) {
    static_assert(sizeof(core::Image::Pixel) == 4);
    ReducedJpeg result;
    if (!file || (reduction != 1 && reduction != 2 && reduction != 4 && reduction != 8)) {
        result.error = core::LoadError::Damaged;
        return result;
    }
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = escape;
    errors.base.emit_message = quiet; // warnings (a truncated file) leave grey rows, as Qt does
    core::Image storage;
    result.error = decode(info, errors, file, reduction, storage);
    jpeg_destroy_decompress(&info);
    if (result.error == core::LoadError::None) result.image = std::move(storage);
    return result;
}

} // namespace vistrel::qt

#else

namespace vistrel::qt {

ReducedJpeg ReadJpegReduced(std::FILE*, int) {
    ReducedJpeg result;
    result.error = core::LoadError::TooLarge;
    return result;
}

} // namespace vistrel::qt

#endif
