#include "core/viewer/metafileheader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>

#include "core/app/numbers.h"

namespace vistrel::core {

namespace {

std::uint32_t u32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}
std::int32_t i32(const unsigned char* p) { return static_cast<std::int32_t>(u32(p)); }
std::uint16_t u16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::int16_t i16(const unsigned char* p) { return static_cast<std::int16_t>(u16(p)); }

constexpr std::uint32_t EmfHeaderType = 1;
constexpr std::uint32_t EmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;

std::optional<PixelSize> pixels(double width, double height) {
    const auto whole = [](double length) -> std::optional<int> {
        if (!(length > 0) || length > MaxMetafileSide) return std::nullopt;
        return static_cast<int>(std::max<std::int64_t>(RoundHalfEven(length), 1));
    };
    const auto w = whole(width), h = whole(height);
    if (!w || !h) return std::nullopt;
    return PixelSize{*w, *h};
}

} // namespace

MetafileKind MetafileKindOf(const unsigned char* head, std::size_t size) {
    if (size >= 44 && u32(head) == EmfHeaderType && u32(head + 40) == EmfSignature &&
        u32(head + 4) >= 88)
        return MetafileKind::Emf;
    if (size >= 4 && u32(head) == PlaceableKey) return MetafileKind::Wmf;
    if (size >= 6 && (u16(head) == 1 || u16(head) == 2) && u16(head + 2) == 9 &&
        (u16(head + 4) == 0x100 || u16(head + 4) == 0x300))
        return MetafileKind::Wmf;
    return MetafileKind::None;
}

std::optional<PixelSize> MetafileFrameSize(const unsigned char* head, std::size_t size) {
    switch (MetafileKindOf(head, size)) {
    case MetafileKind::Emf: {
        // rclFrame: left, top, right, bottom in 0.01 mm, at offset 24.
        const double width = static_cast<double>(i32(head + 32)) - i32(head + 24);
        const double height = static_cast<double>(i32(head + 36)) - i32(head + 28);
        return pixels(width * 96 / 2540, height * 96 / 2540);
    }
    case MetafileKind::Wmf: {
        if (size < 22 || u32(head) != PlaceableKey) return std::nullopt;
        // Bounds: left, top, right, bottom at offset 6, then units per inch.
        const int inch = u16(head + 14);
        if (inch == 0) return std::nullopt;
        const double width = int{i16(head + 10)} - i16(head + 6);
        const double height = int{i16(head + 12)} - i16(head + 8);
        return pixels(width * 96 / inch, height * 96 / inch);
    }
    case MetafileKind::None:
        break;
    }
    return std::nullopt;
}

PixelSize CapMetafileSize(PixelSize size) {
    const auto tooLarge = [](PixelSize s) {
        return std::int64_t{s.width} * s.height * 4 > MaxMetafileBytes;
    };
    if (size.width < 1 || size.height < 1 || !tooLarge(size)) return size;
    const double scale = std::sqrt(static_cast<double>(MaxMetafileBytes / 4) /
                                   (static_cast<double>(size.width) * size.height));
    PixelSize capped{std::max(1, static_cast<int>(size.width * scale)),
                     std::max(1, static_cast<int>(size.height * scale))};
    while (tooLarge(capped)) {
        capped.width = std::max(1, capped.width - 1);
        capped.height = std::max(1, capped.height - 1);
    }
    return capped;
}

LoadResult MetafileLoadFailure(const std::string& path, MetafileFailure failure) {
    std::string name = std::filesystem::path(path).filename().string();
    if (name.empty()) name = path;
    LoadResult result;
    switch (failure) {
    case MetafileFailure::TimedOut:
        result.error = LoadError::Damaged;
        result.errorText = name + ": the drawing took longer than " +
                           std::to_string(MetafileTimeLimitMs / 1000) +
                           " seconds and was stopped; the file may be damaged";
        break;
    case MetafileFailure::ReaderFailed:
        result.error = LoadError::Damaged;
        result.errorText = name + ": the metafile cannot be read (its reader failed)";
        break;
    case MetafileFailure::ReaderMissing:
        result.error = LoadError::NotAPicture;
        result.errorText = name + ": metafiles cannot be shown: the metafile reader "
                                  "(vistrel-metafile) is not installed";
        break;
    }
    return result;
}

} // namespace vistrel::core
