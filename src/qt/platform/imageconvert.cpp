#include "qt/platform/imageconvert.h"

#include <new>

namespace vistrel::qt {

namespace {

constexpr core::Image::Pixel Opaque = 0xFF000000u;

QImage converted(const QImage& image, QImage::Format format) {
    if (image.format() == format) return image;
    QImage result = image.convertToFormat(format);
    if (result.isNull()) throw std::bad_alloc();
    return result;
}

} // namespace

core::Image toCoreImage(const QImage& image) {
    if (image.isNull()) return {};
    core::Image result(image.width(), image.height());
    if (image.hasAlphaChannel()) {
        // Over white, with premultiplied channels: c * a / 255 + 255 - a.
        const QImage source = converted(image, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < result.height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            core::Image::Pixel* out = result.row(y);
            for (int x = 0; x < result.width(); ++x) {
                const QRgb p = in[x];
                const int lift = 255 - qAlpha(p);
                out[x] = qRgb(qRed(p) + lift, qGreen(p) + lift, qBlue(p) + lift);
            }
        }
    } else {
        const QImage source = converted(image, QImage::Format_RGB32);
        for (int y = 0; y < result.height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            core::Image::Pixel* out = result.row(y);
            // Some decoders leave the unused byte of Format_RGB32 as it was in the file.
            for (int x = 0; x < result.width(); ++x)
                out[x] = Opaque | in[x];
        }
    }
    return result;
}

QImage wrapImage(const core::Image& image) {
    if (image.isNull()) return {};
    return QImage(reinterpret_cast<const uchar*>(image.data()), image.width(), image.height(),
                  static_cast<qsizetype>(image.width()) * 4, QImage::Format_RGB32);
}

QImage toQImage(const core::Image& image) {
    QImage copy = wrapImage(image).copy();
    if (!image.isNull() && copy.isNull()) throw std::bad_alloc();
    return copy;
}

} // namespace vistrel::qt
