#include "metafile/render.h"

#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

#include "core/viewer/metafileheader.h"
#include "core/viewer/pictureloadrules.h"

namespace vistrel::metafile {

namespace {

using core::MetafileKind;

const unsigned char* bytes(const std::string& file) {
    return reinterpret_cast<const unsigned char*>(file.data());
}

std::int32_t i32At(const std::string& file, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(file[at + i]);
    return static_cast<std::int32_t>(v);
}

std::uint32_t u32At(const std::string& file, std::size_t at) {
    return static_cast<std::uint32_t>(i32At(file, at));
}

std::uint16_t u16At(const std::string& file, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(file[at]) |
                                      static_cast<unsigned char>(file[at + 1]) << 8);
}

void putU16(std::string& file, std::size_t at, std::uint16_t v) {
    file[at] = static_cast<char>(v & 0xFF);
    file[at + 1] = static_cast<char>(v >> 8);
}

// The library's SVG shows the EMF's bounds (device units, moved to the origin); the frame,
// which is what a player maps onto its target, is converted to the same units through the
// reference device's size in pixels and millimetres.
QRectF emfFrameInSvg(const std::string& file) {
    if (file.size() < core::MetafileHeadBytes) return {};
    const double boundsLeft = i32At(file, 8), boundsTop = i32At(file, 12);
    const double frameLeft = i32At(file, 24), frameTop = i32At(file, 28);
    const double frameRight = i32At(file, 32), frameBottom = i32At(file, 36);
    const double devX = i32At(file, 72), devY = i32At(file, 76);
    const double mmX = i32At(file, 80), mmY = i32At(file, 84);
    if (devX <= 0 || devY <= 0 || mmX <= 0 || mmY <= 0) return {};
    const double sx = devX / (mmX * 100), sy = devY / (mmY * 100);
    const QRectF frame(frameLeft * sx - boundsLeft, frameTop * sy - boundsTop,
                       (frameRight - frameLeft) * sx, (frameBottom - frameTop) * sy);
    return frame.isValid() ? frame : QRectF();
}

Svg emfToSvg(const std::string& file) {
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.svgDelimiter = true;
    // EMF+ files carry plain EMF records for readers without EMF+, which the library
    // draws more completely than its EMF+ part.
    options.emfplus = false;
    std::string copy = file; // the library takes a writable buffer
    char* out = nullptr;
    std::size_t length = 0;
    const int ok = emf2svg(copy.data(), copy.size(), &out, &length, &options);
    Svg svg;
    if (ok && out && length > 0) {
        svg.text = QByteArray(out, static_cast<qsizetype>(length));
        svg.frame = emfFrameInSvg(file);
    }
    std::free(out);
    return svg;
}

// Rewrites the records that this library misreads so that the rest can still be drawn: a
// region object becomes an empty brush (the object table keeps its numbering), and the
// records drawing with or clipping to a region become records every player ignores.
bool withoutRegions(std::string& file) {
    std::size_t at = u32At(file, 0) == 0x9AC6CDD7 ? 22 : 0;
    if (file.size() < at + 18) return false;
    at += std::size_t{u16At(file, at + 2)} * 2;
    bool changed = false;
    while (at + 6 <= file.size()) {
        const std::uint64_t words = u32At(file, at);
        if (words < 3 || words > (file.size() - at) / 2) break;
        switch (u16At(file, at + 4)) {
        case 0x06FF: // CREATEREGION
            if (words >= 7) {
                putU16(file, at + 4, 0x02FC); // CREATEBRUSHINDIRECT
                putU16(file, at + 6, 1);      // BS_NULL
                for (int i = 1; i < 4; ++i)
                    putU16(file, at + 6 + 2 * i, 0);
                changed = true;
            }
            break;
        case 0x0228: // FILLREGION
        case 0x0429: // FRAMEREGION
        case 0x012A: // INVERTREGION
        case 0x012B: // PAINTREGION
        case 0x012C: // SELECTCLIPREGION
            putU16(file, at + 4, 0x0105); // SETRELABS, which does nothing
            changed = true;
            break;
        default:
            break;
        }
        at += words * 2;
    }
    return changed;
}

// A library session, ended however the drawing went.
struct WmfSession {
    wmfAPI* api = nullptr;
    explicit WmfSession(void (*device)(wmfAPI*)) {
        wmfAPI_Options options;
        std::memset(&options, 0, sizeof options);
        options.function = device;
        const unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&api, flags, &options) != wmf_E_None && api) {
            wmf_api_destroy(api);
            api = nullptr;
        }
    }
    ~WmfSession() {
        if (api) wmf_api_destroy(api);
    }
    WmfSession(const WmfSession&) = delete;
    WmfSession& operator=(const WmfSession&) = delete;
};

QByteArray wmfToSvgOnce(std::string& file) {
    WmfSession session(wmf_svg_function);
    wmfAPI* api = session.api;
    if (!api) return {};
    QByteArray result;
    wmfD_Rect bbox{};
    unsigned int width = 0, height = 0;
    if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(file.data()),
                     static_cast<long>(file.size())) == wmf_E_None &&
        wmf_scan(api, 0, &bbox) == wmf_E_None &&
        wmf_display_size(api, &width, &height, 96, 96) == wmf_E_None && width > 0 &&
        height > 0) {
        // The library's own memory stream grows 256 bytes at a time, which makes large
        // drawings quadratic; a C library memory stream grows geometrically. The library
        // frees its stream record with the API; destroying a file stream would crash.
        char* text = nullptr;
        std::size_t length = 0;
        std::FILE* out = open_memstream(&text, &length);
        if (out) {
            wmf_svg_t* device = WMF_SVG_GetData(api);
            device->out = wmf_stream_create(api, out);
            device->Description = const_cast<char*>("");
            device->bbox = bbox;
            device->width = width;
            device->height = height;
            device->flags |= WMF_SVG_INLINE_IMAGES;
            const bool played = device->out && wmf_play(api, 0, &bbox) == wmf_E_None;
            if (std::fclose(out) == 0 && played && text && length > 0)
                result = QByteArray(text, static_cast<qsizetype>(length));
            std::free(text);
        }
    }
    // The library copies the file's 8-bit text as it stands; XML wants UTF-8 without controls.
    for (char& c : result)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t') c = ' ';
    result = QString::fromLatin1(result).toUtf8();
    // Rectangles drawn from right to left come out with a negative width, which SVG readers
    // drop; turn them round.
    static const QRegularExpression rect(
        R"re(<rect x="(-?[0-9.]+)" y="(-?[0-9.]+)" width="(-?[0-9.]+)" height="(-?[0-9.]+)")re");
    QByteArray fixed;
    qsizetype copied = 0;
    const QString text = QString::fromUtf8(result);
    for (auto it = rect.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        double x = m.captured(1).toDouble(), y = m.captured(2).toDouble();
        double w = m.captured(3).toDouble(), h = m.captured(4).toDouble();
        if (w >= 0 && h >= 0) continue;
        if (w < 0) x += w, w = -w;
        if (h < 0) y += h, h = -h;
        fixed += text.mid(copied, m.capturedStart() - copied).toUtf8();
        fixed += QString("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"")
                     .arg(x, 0, 'f', 4).arg(y, 0, 'f', 4).arg(w, 0, 'f', 4).arg(h, 0, 'f', 4)
                     .toUtf8();
        copied = m.capturedEnd();
    }
    if (copied > 0) result = fixed + text.mid(copied).toUtf8();
    // The library's SVG names no namespaces, which an XML reader needs for its images' links.
    const qsizetype svgStart = result.indexOf("<svg ");
    if (svgStart >= 0 && result.indexOf("xmlns=\"http://www.w3.org/2000/svg\"") < 0)
        result.insert(svgStart + 5, "xmlns=\"http://www.w3.org/2000/svg\" "
                                    "xmlns:xlink=\"http://www.w3.org/1999/xlink\" ");
    return result;
}

Svg wmfToSvg(const std::string& file) {
    std::string copy = file;
    Svg svg{wmfToSvgOnce(copy), {}};
    if (svg.text.isEmpty()) {
        copy = file;
        if (withoutRegions(copy)) svg.text = wmfToSvgOnce(copy);
    }
    return svg;
}

} // namespace

Svg ToSvg(const std::string& file) {
    switch (core::MetafileKindOf(bytes(file), file.size())) {
    case MetafileKind::Emf:
        return emfToSvg(file);
    case MetafileKind::Wmf:
        return wmfToSvg(file);
    case MetafileKind::None:
        break;
    }
    return {};
}

Rendered Render(const std::string& file, int boxWidth, int boxHeight) {
    Rendered result;
    const MetafileKind kind = core::MetafileKindOf(bytes(file), file.size());
    if (kind == MetafileKind::None) {
        result.status = Status::NotAMetafile;
        return result;
    }
    const Svg svg = ToSvg(file);
    QSvgRenderer renderer;
    if (svg.text.isEmpty() || !renderer.load(svg.text)) {
        result.status = Status::Damaged;
        return result;
    }
    const QRectF viewport(QPointF(0, 0), QSizeF(renderer.defaultSize()));
    if (!svg.frame.isNull() && svg.frame.intersects(viewport)) renderer.setViewBox(svg.frame);

    // The frame gives the size; without one the drawing's bounds, as the SVG's size.
    std::optional<core::PixelSize> natural = core::MetafileFrameSize(bytes(file), file.size());
    if (!natural) {
        const QSize bounds = renderer.defaultSize();
        if (bounds.width() < 1 || bounds.height() < 1 || bounds.width() > core::MaxMetafileSide ||
            bounds.height() > core::MaxMetafileSide) {
            result.status = Status::Damaged;
            return result;
        }
        natural = core::PixelSize{bounds.width(), bounds.height()};
    }
    natural = core::CapMetafileSize(*natural);
    result.naturalWidth = natural->width;
    result.naturalHeight = natural->height;
    const core::PixelSize target =
        boxWidth > 0 && boxHeight > 0
            ? core::FitInsidePixels(natural->width, natural->height, boxWidth, boxHeight)
            : *natural;
    QImage image(target.width, target.height, QImage::Format_RGB32);
    if (image.isNull()) {
        result.status = Status::OutOfMemory;
        return result;
    }
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, target.width, target.height));
    painter.end();
    result.image = std::move(image);
    return result;
}

} // namespace vistrel::metafile
