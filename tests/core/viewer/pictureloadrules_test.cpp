#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "core/viewer/pictureloadrules.h"

using namespace vistrel::core;

TEST(PictureLoadRules, ScaledSizeIsWholePixelsOfAtLeastOne) {
    struct Case {
        int width, height, maxWidth, maxHeight;
        PixelSize fit;
    };
    const Case cases[] = {
        {67, 134, 112, 85, {42, 85}},  // 42.5: halves to even
        {160, 85, 112, 85, {112, 60}}, // 59.5
        {200, 100, 130, 112, {130, 65}},
        {80, 60, 130, 112, {80, 60}},          // fits: as it is
        {10000, 1, 100, 100, {100, 1}},        // not thinner than a pixel
        {300, 200, 0, -5, {1, 1}},             // a box of nothing is one pixel
        {0, 50, 10, 10, {0, 50}},              // no size to fit
        {1 << 30, 1 << 30, 100, 50, {50, 50}}, // no overflow
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitInsidePixels(c.width, c.height, c.maxWidth, c.maxHeight), c.fit)
            << c.width << " x " << c.height << " in " << c.maxWidth << " x " << c.maxHeight;
}

TEST(PictureLoadRules, DecodeLimitIsAQuarterOfMemoryWithinBounds) {
    constexpr std::uint64_t GB = std::uint64_t{1} << 30;
    EXPECT_EQ(DecodeLimit(0), MinDecodeBytes); // unknown
    EXPECT_EQ(DecodeLimit(512 * 1024 * 1024), MinDecodeBytes);
    EXPECT_EQ(DecodeLimit(8 * GB), std::int64_t{2} * 1024 * 1024 * 1024);
    EXPECT_EQ(DecodeLimit(24 * GB), MaxDecodeBytes);
    EXPECT_EQ(DecodeLimit(~std::uint64_t{0}), MaxDecodeBytes);

    EXPECT_FALSE(IsTooLarge(8192, 8192, MinDecodeBytes));
    EXPECT_TRUE(IsTooLarge(8192, 8193, MinDecodeBytes));
    EXPECT_TRUE(IsTooLarge(1 << 30, 1 << 30, MaxDecodeBytes)); // no overflow
    EXPECT_FALSE(IsTooLarge(-5, 100, 0));
}

TEST(PictureLoadRules, DctReductions) {
    // 12000 x 9000 takes 432,000,000 bytes; at 1/2 108,000,000; at 1/8 6,750,000.
    struct Case {
        int width, height;
        std::int64_t limit;
        int within;
    };
    const Case cases[] = {
        {12000, 9000, 432'000'000, 1},
        {12000, 9000, 431'999'999, 2},
        {12000, 9000, 108'000'000, 2},
        {12001, 9001, 108'000'000, 4}, // sides round up: 6001 x 4501 no longer fits
        {12000, 9000, 6'750'000, 8},
        {12000, 9000, 6'749'999, 0},
        {1 << 30, 1 << 30, MaxDecodeBytes, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DctReductionWithin(c.width, c.height, c.limit), c.within)
            << c.width << " x " << c.height << " within " << c.limit;

    EXPECT_EQ(ScaledJpegDecodeSize(12000, 9000, 160, 120), (PixelSize{1500, 1125}));
    EXPECT_EQ(ScaledJpegDecodeSize(12000, 9000, 3000, 2250), (PixelSize{3000, 2250}));
    EXPECT_EQ(ScaledJpegDecodeSize(12000, 9000, 3001, 2250), (PixelSize{4500, 3375}));
    EXPECT_EQ(ScaledJpegDecodeSize(100, 75, 160, 120), (PixelSize{100, 75})); // never enlarged
}

TEST(PictureLoadRules, FailureNamesTheFileAndTheReason) {
    EXPECT_EQ(DescribeLoadError("/photos/a.jpg", LoadError::None), "");
    EXPECT_EQ(DescribeLoadError("/photos/a.jpg", LoadError::NotFound), "a.jpg: file not found");
    EXPECT_EQ(DescribeLoadError("/photos/", LoadError::Empty), "/photos/: the file is empty");

    const LoadResult failed = LoadFailure("/photos/big.png", LoadError::TooLarge, 30000, 20000);
    EXPECT_FALSE(failed.ok());
    EXPECT_TRUE(failed.image.isNull());
    EXPECT_EQ(failed.naturalWidth, 30000);
    EXPECT_EQ(failed.naturalHeight, 20000);
    EXPECT_EQ(failed.errorText, "big.png: picture too large (30000 x 20000 pixels)");
}
