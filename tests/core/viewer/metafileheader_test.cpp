#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>

#include "core/viewer/metafileheader.h"

namespace {

using namespace vistrel::core;
using Bytes = std::string;

Bytes le(std::int64_t v, int n) {
    Bytes out;
    for (int i = 0; i < n; ++i)
        out += i < 8 ? char((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF) : '\0';
    return out;
}

// An EMF header record with the given frame (0.01 mm) and the bounds of a 96 dpi device.
Bytes emf(int left, int top, int right, int bottom) {
    return le(1, 4) + le(108, 4) + le(0, 16) + le(left, 4) + le(top, 4) + le(right, 4) +
           le(bottom, 4) + " EMF" + le(0x10000, 4) + Bytes(28, '\0') + le(960, 4) + le(960, 4) +
           le(254, 4) + le(254, 4);
}

Bytes plainWmfHeader(int type = 1, int words = 9, int version = 0x300) {
    return le(type, 2) + le(words, 2) + le(version, 2) + le(100, 4) + le(0, 2) + le(10, 4) +
           le(0, 2);
}

Bytes placeable(int left, int top, int right, int bottom, int inch) {
    return le(0x9AC6CDD7, 4) + le(0, 2) + le(left, 2) + le(top, 2) + le(right, 2) +
           le(bottom, 2) + le(inch, 2) + le(0, 4) + le(0, 2) + plainWmfHeader();
}

std::optional<PixelSize> frame(const Bytes& head) {
    return MetafileFrameSize(reinterpret_cast<const unsigned char*>(head.data()), head.size());
}

MetafileKind kind(const Bytes& head) {
    return MetafileKindOf(reinterpret_cast<const unsigned char*>(head.data()), head.size());
}

TEST(MetafileHeader, KindIsJudgedByContent) {
    Bytes wrongSignature = emf(0, 0, 100, 100);
    wrongSignature[41] = 'X';
    const std::tuple<const char*, Bytes, MetafileKind> cases[] = {
        {"emf", emf(0, 0, 2540, 2540), MetafileKind::Emf},
        {"emf cut before its signature", emf(0, 0, 2540, 2540).substr(0, 43), MetafileKind::None},
        {"emf signature wrong", wrongSignature, MetafileKind::None},
        {"placeable wmf", placeable(0, 0, 1440, 720, 1440), MetafileKind::Wmf},
        {"plain wmf on disk", plainWmfHeader(2), MetafileKind::Wmf},
        {"plain wmf version 1", plainWmfHeader(1, 9, 0x100), MetafileKind::Wmf},
        {"plain wmf, wrong header size", plainWmfHeader(1, 8), MetafileKind::None},
        {"plain wmf, wrong version", plainWmfHeader(1, 9, 0x200), MetafileKind::None},
        {"bitmap", Bytes("BM") + Bytes(60, '\0'), MetafileKind::None},
        {"empty", Bytes(), MetafileKind::None}};
    for (const auto& [name, head, expected] : cases)
        EXPECT_EQ(kind(head), expected) << name;
}

TEST(MetafileHeader, FrameGivesTheSizeAt96Dpi) {
    const std::tuple<const char*, Bytes, std::optional<PixelSize>> cases[] = {
        {"emf 127 x 95.25 mm", emf(0, 0, 12700, 9525), PixelSize{480, 360}},
        {"emf frame off the origin", emf(-1000, 500, 1540, 3040), PixelSize{96, 96}},
        {"emf rounds to nearest", emf(0, 0, 66, 2554), PixelSize{2, 97}}, // 2.49, 96.53
        {"emf smaller than a pixel", emf(0, 0, 1, 1), PixelSize{1, 1}},
        {"emf empty frame", emf(0, 0, 0, 2540), std::nullopt},
        {"emf inverted frame", emf(2540, 0, 0, 2540), std::nullopt},
        {"emf frame of extreme numbers", emf(-2147483647 - 1, 0, 2147483647, 2540), std::nullopt},
        {"wmf 1440 per inch", placeable(0, 0, 1440, 720, 1440), PixelSize{96, 48}},
        {"wmf halves to even", placeable(0, 0, 5, 7, 192), PixelSize{2, 4}}, // 2.5, 3.5
        {"wmf negative bounds", placeable(-1821, -2387, 64, -365, 1000), PixelSize{181, 194}},
        {"wmf without units per inch", placeable(0, 0, 1440, 720, 0), std::nullopt},
        {"wmf inverted bounds", placeable(100, 0, 0, 100, 96), std::nullopt},
        {"plain wmf", plainWmfHeader(), std::nullopt},
        {"placeable cut short", placeable(0, 0, 1440, 720, 1440).substr(0, 12), std::nullopt}};
    for (const auto& [name, head, expected] : cases)
        EXPECT_EQ(frame(head), expected) << name;
}

TEST(MetafileHeader, OversizedDrawingsShrinkToTheLargestPictureAllowed) {
    const std::tuple<PixelSize, PixelSize> cases[] = {
        {{2048, 2048}, {2048, 2048}},   // exactly 16 MB
        {{2049, 2048}, {2048, 2047}},   // one column more
        {{12047, 15591}, {1800, 2329}}, // proportions kept: scale 0.1494
        {{1000000, 1}, {1000000, 1}},   // long and thin fits as it is
        {{1048576, 1048576}, {2048, 2048}}};
    for (const auto& [size, expected] : cases) {
        const PixelSize capped = CapMetafileSize(size);
        EXPECT_EQ(capped, expected) << size.width << " x " << size.height;
        EXPECT_LE(std::int64_t{capped.width} * capped.height * 4, MaxMetafileBytes);
    }
}

TEST(MetafileHeader, FailuresNameTheFileAndTheReason) {
    const std::tuple<MetafileFailure, LoadError, const char*> cases[] = {
        {MetafileFailure::TimedOut, LoadError::Damaged, "longer than 2 seconds"},
        {MetafileFailure::ReaderFailed, LoadError::Damaged, "cannot be read"},
        {MetafileFailure::ReaderMissing, LoadError::NotAPicture, "not installed"}};
    for (const auto& [failure, error, reason] : cases) {
        const LoadResult result = MetafileLoadFailure("/pictures/chart.wmf", failure);
        EXPECT_EQ(result.error, error);
        EXPECT_TRUE(result.errorText.starts_with("chart.wmf: ")) << result.errorText;
        EXPECT_NE(result.errorText.find(reason), std::string::npos) << result.errorText;
        EXPECT_TRUE(result.image.isNull());
    }
}

} // namespace
