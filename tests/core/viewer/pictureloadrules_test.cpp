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

TEST(PictureLoadRules, AtMost256MegabytesOfPixels) {
    EXPECT_FALSE(IsTooLarge(8192, 8192));
    EXPECT_TRUE(IsTooLarge(8192, 8193));
    EXPECT_TRUE(IsTooLarge(1 << 30, 1 << 30)); // no overflow
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
