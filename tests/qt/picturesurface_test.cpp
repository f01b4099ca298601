#include <gtest/gtest.h>

#include <QPixmap>

#include <cstdint>
#include <vector>

#include "qt/widgets/picturesurface.h"

using namespace vistrel;
using Pixel = core::Image::Pixel;

namespace {

constexpr Pixel Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Yellow = 0xFFFFFF00;
constexpr Pixel Grey = 0xFF808080;

QImage shot(qt::PictureSurface& surface) {
    return surface.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Every pixel of `area` in `image` has `colour`; reports the first that does not.
::testing::AssertionResult solid(const QImage& image, const QRect& area, Pixel colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != colour)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << image.pixel(x, y)
                       << ", expected " << colour;
    return ::testing::AssertionSuccess();
}

// A picture whose neighbouring pixels all differ, so any misplaced pixel shows.
core::Image noise(int width, int height) {
    core::Image image(width, height);
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            image.at(x, y) = 0xFF000000u | (state >> 8);
        }
    return image;
}

struct Surface {
    qt::PictureSurface widget;
    Surface(const core::Image& picture, QSize size, const QRectF& rect) {
        widget.resize(size);
        widget.setBackground(QColor(Grey));
        widget.setPicture(&picture);
        widget.setPictureRect(rect);
    }
};

} // namespace

// 400 %: each pixel a solid 4 x 4 block on the background, also where the picture reaches
// past the left edge, and nothing of a picture wholly outside.
TEST(PictureSurface, EnlargesEachPixelIntoASolidBlockOnTheBackground) {
    core::Image picture(2, 2);
    picture.at(0, 0) = Red;
    picture.at(1, 0) = Green;
    picture.at(0, 1) = Blue;
    picture.at(1, 1) = Yellow;
    Surface s(picture, {20, 20}, QRectF(6, 4, 8, 8));
    QImage image = shot(s.widget);
    const std::pair<QRect, Pixel> blocks[] = {
        {{6, 4, 4, 4}, Red},    {{10, 4, 4, 4}, Green}, {{6, 8, 4, 4}, Blue},
        {{10, 8, 4, 4}, Yellow}, {{0, 0, 20, 4}, Grey},  {{0, 12, 20, 8}, Grey},
        {{0, 4, 6, 8}, Grey},    {{14, 4, 6, 8}, Grey}};
    for (const auto& [area, colour] : blocks) EXPECT_TRUE(solid(image, area, colour));

    s.widget.setPictureRect(QRectF(-4, 4, 8, 8)); // only its right column shows
    image = shot(s.widget);
    EXPECT_TRUE(solid(image, QRect(0, 4, 4, 4), Green));
    EXPECT_TRUE(solid(image, QRect(0, 8, 4, 4), Yellow));
    EXPECT_TRUE(solid(image, QRect(4, 4, 16, 8), Grey));
    s.widget.setPictureRect(QRectF(-100000, 0, 16, 4));
    EXPECT_TRUE(solid(shot(s.widget), QRect(0, 0, 20, 20), Grey));
}

TEST(PictureSurface, ReducesByAveragingNotSampling) {
    core::Image checker(1000, 1000);
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1000; ++x)
            checker.at(x, y) = (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000;
    Surface s(checker, {120, 110}, QRectF(10, 5, 100, 100)); // 10 %
    QImage image = shot(s.widget);
    EXPECT_TRUE(solid(image, QRect(10, 5, 100, 100), Grey));
    EXPECT_TRUE(solid(image, QRect(0, 0, 10, 110), Grey)); // background, same grey
    EXPECT_EQ(image.pixel(115, 50), Grey);

    // 75 %: each reduced pixel covers fractions of its source pixels; still a mix of both.
    s.widget.setPictureRect(QRectF(0, 0, 750, 750));
    image = shot(s.widget);
    for (int y = 0; y < 110; ++y)
        for (int x = 0; x < 120; ++x) {
            const int level = qRed(image.pixel(x, y));
            ASSERT_GT(level, 60) << x << ", " << y;
            ASSERT_LT(level, 196) << x << ", " << y;
        }
}

TEST(PictureSurface, DragsThroughTheReductionShowWhatAFreshPaintShows) {
    const core::Image picture = noise(600, 400);
    const QSize size(200, 150);
    Surface dragged(picture, size, QRectF(-40, -30, 300, 200)); // 50 %
    shot(dragged.widget);
    // Small steps each way, jumps past the held part, and moves that leave the picture
    // partly outside the widget, so every band of the held part is replaced at some point.
    const std::vector<QPointF> path = {{-47, -30}, {-33, -21},  {-190, -60}, {-100, 20},
                                       {90, 100},  {-150, -80}, {-5, -5},    {-60, -40}};
    for (const QPointF& at : path) {
        dragged.widget.setPictureRect(QRectF(at, QSizeF(300, 200)));
        const QImage afterDrag = shot(dragged.widget);
        Surface fresh(picture, size, QRectF(at, QSizeF(300, 200)));
        ASSERT_EQ(afterDrag, shot(fresh.widget)) << at.x() << ", " << at.y();
    }
    // It holds at most one viewport of reduced pixels, and none without a picture.
    EXPECT_GT(dragged.widget.cacheBytes(), 0);
    EXPECT_LE(dragged.widget.cacheBytes(), size.width() * size.height() * 4);
    dragged.widget.setPicture(nullptr);
    shot(dragged.widget);
    EXPECT_EQ(dragged.widget.cacheBytes(), 0);
}

TEST(PictureSurface, InvalidateCacheShowsEditedPixels) {
    core::Image picture(100, 100, Red);
    Surface s(picture, {50, 50}, QRectF(0, 0, 50, 50)); // 50 %
    EXPECT_TRUE(solid(shot(s.widget), QRect(0, 0, 50, 50), Red));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 50; ++x)
            picture.at(x, y) = Blue;
    s.widget.invalidateCache();
    const QImage image = shot(s.widget);
    EXPECT_TRUE(solid(image, QRect(0, 0, 25, 50), Blue));
    EXPECT_TRUE(solid(image, QRect(25, 0, 25, 50), Red));

    const core::Image other(100, 100, Green); // another picture of the same size
    s.widget.setPicture(&other);
    EXPECT_TRUE(solid(shot(s.widget), QRect(0, 0, 50, 50), Green));
}
