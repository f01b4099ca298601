#include <algorithm>
#include <numeric>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/viewer/picturepyramid.h"

using namespace vistrel::core;

namespace {

// Noise with random alpha bytes too, which the levels must neither carry nor mix in.
Image Scrambled(int width, int height, unsigned seed) {
    std::mt19937 engine(seed);
    Image picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.at(x, y) = engine();
    return picture;
}

// The plain definition: each channel the rounded average of the pixels of the 2 x 2 block
// that exist.
Image Halved(const Image& source) {
    Image out((source.width() + 1) / 2, (source.height() + 1) / 2);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            unsigned sum[3] = {}, count = 0;
            for (int sy = 2 * y; sy < std::min(2 * y + 2, source.height()); ++sy)
                for (int sx = 2 * x; sx < std::min(2 * x + 2, source.width()); ++sx, ++count)
                    for (int c = 0; c < 3; ++c) sum[c] += (source.at(sx, sy) >> (8 * c)) & 0xFF;
            Image::Pixel p = 0xFF000000u;
            for (int c = 0; c < 3; ++c) p |= (sum[c] * 2 + count) / (2 * count) << (8 * c);
            out.at(x, y) = p;
        }
    return out;
}

void BuildAll(PicturePyramid& pyramid) {
    for (int i = 0; i < pyramid.StripeCount(); ++i) pyramid.BuildStripe(i);
}

} // namespace

TEST(PicturePyramid, LevelsHalveTheSizeAndAverageEachBlock) {
    const std::tuple<int, int, std::vector<std::pair<int, int>>> cases[] = {
        {2051, 1539, {{1026, 770}, {513, 385}}}, // odd both ways, a partial last stripe
        {2085, 45, {{1043, 23}, {522, 12}}},     // an odd count of rows in the first level
        {4100, 100, {{2050, 50}, {1025, 25}, {513, 13}}}, // an odd count of levels
        {2048, 1024, {{1024, 512}, {512, 256}}}, // a level exactly at the smallest side
        {5, 4001, {{3, 2001}}},                  // the next level would exceed a third
        {2, 5000, {{1, 2500}}},                  // a level one pixel wide
        {1, 5000, {}},                           // halving one way only: no level fits
        {1022, 1022, {}},                        // too small
        {0, 0, {}},
    };
    std::vector<Image> previous; // the levels of the case before, which fit no other
    for (const auto& [width, height, sizes] : cases) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const Image picture = Scrambled(width, height, unsigned(width + height));
        PicturePyramid pyramid(picture, std::move(previous));
        BuildAll(pyramid);
        ASSERT_EQ(pyramid.LevelCount(), int(sizes.size()));
        EXPECT_LE(pyramid.Bytes() * 3, picture.pixelCount() * sizeof(Image::Pixel));
        if (sizes.empty()) {
            EXPECT_EQ(pyramid.StripeCount(), 0);
        }
        Image expected = picture;
        for (int k = 0; k < pyramid.LevelCount(); ++k) {
            expected = Halved(expected);
            EXPECT_EQ(std::pair(expected.width(), expected.height()), sizes[k]);
            EXPECT_TRUE(pyramid.Level(k) == expected) << "level " << k;
        }
        previous = pyramid.ReleaseLevels();
    }
}

TEST(PicturePyramid, StripesInAnyOrderOnTwoThreadsIntoReusedLevelsGiveTheSameLevels) {
    const Image picture = Scrambled(2100, 2999, 7);
    PicturePyramid inOrder(picture);
    BuildAll(inOrder);
    ASSERT_EQ(inOrder.LevelCount(), 2);

    std::vector<int> order(static_cast<std::size_t>(inOrder.StripeCount()));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(3));
    // Into the levels of an earlier picture of the same size, whatever they hold.
    const Image earlierPicture(picture.width(), picture.height(), 0xFF204060u);
    PicturePyramid earlier(earlierPicture);
    BuildAll(earlier);
    const Image::Pixel* reused = earlier.Level(0).data();
    PicturePyramid shuffled(picture, earlier.ReleaseLevels());
    EXPECT_EQ(shuffled.Level(0).data(), reused);
    std::thread other([&] {
        for (std::size_t i = 1; i < order.size(); i += 2) shuffled.BuildStripe(order[i]);
    });
    for (std::size_t i = 0; i < order.size(); i += 2) shuffled.BuildStripe(order[i]);
    other.join();
    for (int k = 0; k < inOrder.LevelCount(); ++k)
        EXPECT_TRUE(shuffled.Level(k) == inOrder.Level(k)) << "level " << k;
}

TEST(PicturePyramid, LevelForPicksTheSmallestLevelNoSmallerThanTheTarget) {
    const Image picture(2048, 1536);
    const PicturePyramid pyramid(picture); // 1024 x 768, 512 x 384
    ASSERT_EQ(pyramid.LevelCount(), 2);
    const std::tuple<int, int, const Image*> cases[] = {
        {1, 1, &pyramid.Level(1)},     {512, 384, &pyramid.Level(1)}, {513, 384, &pyramid.Level(0)},
        {512, 385, &pyramid.Level(0)}, {1024, 768, &pyramid.Level(0)}, {1025, 10, &picture},
        {10, 769, &picture},           {4096, 3072, &picture}};
    for (const auto& [width, height, expected] : cases)
        EXPECT_EQ(&pyramid.LevelFor(width, height), expected) << width << " x " << height;
}
