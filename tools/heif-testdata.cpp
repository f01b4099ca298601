// Writes the HEIC and AVIF test pictures of tests/data; run through tools/make-testdata.sh.
//
// Each upright picture is four quadrants: red, green on top, blue, yellow below. The pixels
// are stored turned or mirrored and the file's rotation and mirror boxes (written by libheif
// from the orientation asked for) turn them back. Every file also carries an EXIF orientation
// that disagrees, which a reader must not apply on top of the boxes.

#include <libheif/heif.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

struct Rgba {
    std::uint8_t r, g, b, a;
};

// Quadrant colours of the upright picture; with alpha the yellow quadrant is transparent.
Rgba upright(int x, int y, int width, int height, bool alpha) {
    const bool right = x >= width / 2, bottom = y >= height / 2;
    if (!bottom) return right ? Rgba{0, 255, 0, 255} : Rgba{255, 0, 0, 255};
    if (!right) return {0, 0, 255, 255};
    return {255, 255, 0, static_cast<std::uint8_t>(alpha ? 0 : 255)};
}

// Where stored pixel (x, y) of a width x height picture lands in the upright one.
void toUpright(heif_orientation orientation, int x, int y, int width, int height, int& ux,
               int& uy) {
    switch (orientation) {
    case heif_orientation_rotate_90_cw: ux = height - 1 - y; uy = x; return;
    case heif_orientation_rotate_90_cw_then_flip_horizontally: ux = y; uy = x; return;
    default: ux = x; uy = y; return;
    }
}

bool check(heif_error error, const char* what) {
    if (error.code == heif_error_Ok) return true;
    std::fprintf(stderr, "%s: %s\n", what, error.message);
    return false;
}

// A big-endian TIFF header with one IFD entry: Orientation (0x0112) = value.
std::string exifOrientation(int value) {
    return std::string("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 19) +
           static_cast<char>(value) + std::string(6, '\0');
}

bool write(const char* path, heif_compression_format format, int width, int height,
           heif_orientation orientation, int exif, bool alpha) {
    const bool turned = orientation >= heif_orientation_rotate_90_cw_then_flip_horizontally;
    const int storedW = turned ? height : width, storedH = turned ? width : height;
    heif_image* image = nullptr;
    if (!check(heif_image_create(storedW, storedH, heif_colorspace_RGB,
                                 alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                                 &image),
               "image"))
        return false;
    if (!check(heif_image_add_plane(image, heif_channel_interleaved, storedW, storedH, 8), "plane"))
        return false;
    int stride = 0;
    std::uint8_t* pixels = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    const int step = alpha ? 4 : 3;
    for (int y = 0; y < storedH; ++y)
        for (int x = 0; x < storedW; ++x) {
            int ux = 0, uy = 0;
            toUpright(orientation, x, y, storedW, storedH, ux, uy);
            const Rgba c = upright(ux, uy, width, height, alpha);
            std::uint8_t* p = pixels + y * stride + x * step;
            p[0] = c.r, p[1] = c.g, p[2] = c.b;
            if (alpha) p[3] = c.a;
        }

    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    bool ok = check(heif_context_get_encoder_for_format(context, format, &encoder), "encoder");
    if (ok) {
        heif_encoder_set_lossy_quality(encoder, 90);
        heif_encoding_options* options = heif_encoding_options_alloc();
        options->image_orientation = orientation;
        heif_image_handle* handle = nullptr;
        ok = check(heif_context_encode_image(context, image, encoder, options, &handle), "encode");
        const std::string block = exifOrientation(exif);
        ok = ok && check(heif_context_add_exif_metadata(context, handle, block.data(),
                                                        static_cast<int>(block.size())),
                         "exif");
        ok = ok && check(heif_context_write_to_file(context, path), path);
        heif_image_handle_release(handle);
        heif_encoding_options_free(options);
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    heif_image_release(image);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: heif-testdata OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    heif_init(nullptr);
    const bool ok =
        // Turned a quarter by its box; EXIF says upside down.
        write((folder + "/quadrants-rotated.heic").c_str(), heif_compression_HEVC, 64, 32,
              heif_orientation_rotate_90_cw, 3, false) &&
        // No box at all; EXIF says a quarter turn, which must stay unapplied.
        write((folder + "/quadrants-exif6.heic").c_str(), heif_compression_HEVC, 64, 32,
              heif_orientation_normal, 6, false) &&
        // Turned and mirrored by its boxes, with alpha; EXIF says a quarter turn the other way.
        write((folder + "/quadrants-mirrored-alpha.avif").c_str(), heif_compression_AV1, 64, 32,
              heif_orientation_rotate_90_cw_then_flip_horizontally, 8, true);
    heif_deinit();
    return ok ? 0 : 1;
}
