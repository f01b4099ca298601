#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/editing/filters.h"
#include "fakes/platformfakes.h"
#include "fakes/pictures.h"

using namespace vistrel;
using core::Filter;
using core::Image;
using Pixel = Image::Pixel;

namespace {

// Unwritten pixels of the target keep this, so a filter writing outside its rectangle shows.
constexpr Pixel kUnwritten = 0x12345678;

int Channel(Pixel p, int c) { return static_cast<int>(p >> (16 - 8 * c) & 0xFF); }
Pixel Rgb(int r, int g, int b) {
    return 0xFF000000u | static_cast<Pixel>(r) << 16 | static_cast<Pixel>(g) << 8 |
           static_cast<Pixel>(b);
}
Pixel Grey(int v) { return Rgb(v, v, v); }
// Nearest, halves to even: the default floating-point rounding mode.
int Round(double v) { return static_cast<int>(std::nearbyint(v)); }
int Clamp(int v) { return std::clamp(v, 0, 255); }

// A pixel from a rule applied to each channel (red 0, green 1, blue 2).
Pixel PerChannel(const std::function<int(int c)>& rule) { return Rgb(rule(0), rule(1), rule(2)); }

Image Filtered(Filter filter, const Image& source, std::uint64_t seed = 1) {
    Image target(source.width(), source.height(), kUnwritten);
    switch (filter) {
    case Filter::GreyScaling: core::GreyScaling(source, target); break;
    case Filter::Invert: core::Invert(source, target); break;
    case Filter::Solarize: core::Solarize(source, target); break;
    case Filter::Smooth: core::Smooth(source, target); break;
    case Filter::Sharpen: core::Sharpen(source, target); break;
    case Filter::Emboss: core::Emboss(source, target); break;
    case Filter::Diffuse: core::Diffuse(source, target, seed); break;
    }
    return target;
}

// Plain loops over the rules, pixel by pixel and channel by channel.
Image Reference(Filter filter, const Image& s) {
    const int w = s.width();
    const int h = s.height();
    Image t(w, h, kUnwritten);
    auto p = [&](int x, int y, int c) { return Channel(s.at(x, y), c); };
    // Smooth's blocks repeat the edge pixels where they reach beyond the picture.
    auto q = [&](int x, int y, int c) {
        return p(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1), c);
    };
    auto mean4 = [&](int x0, int y0, int c) {
        return Round((q(x0, y0, c) + q(x0 + 1, y0, c) + q(x0, y0 + 1, c) + q(x0 + 1, y0 + 1, c)) / 4.0);
    };
    switch (filter) {
    case Filter::GreyScaling:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                t.at(x, y) = Grey(Clamp(Round((p(x, y, 0) + p(x, y, 1) + p(x, y, 2)) / 3.0)));
        break;
    case Filter::Invert:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) t.at(x, y) = PerChannel([&](int c) { return Clamp(255 - p(x, y, c)); });
        break;
    case Filter::Solarize:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                t.at(x, y) = PerChannel([&](int c) { return p(x, y, c) < 128 ? 255 - p(x, y, c) : p(x, y, c); });
        break;
    case Filter::Emboss:
        for (int y = 1; y <= h - 2; ++y)
            for (int x = 1; x <= w - 2; ++x)
                t.at(x, y) = PerChannel([&](int c) { return std::min(std::abs(p(x, y, c) - p(x + 1, y + 1, c) + 128), 255); });
        break;
    case Filter::Sharpen:
        for (int y = 1; y <= h - 2; ++y)
            for (int x = 1; x <= w - 2; ++x)
                t.at(x, y) = PerChannel([&](int c) {
                    return Clamp(Round(p(x, y, c) + 0.5 * (p(x, y, c) - p(x - 1, y - 1, c))));
                });
        break;
    case Filter::Smooth:
        for (int x = 0; x < w; ++x) t.at(x, 0) = PerChannel([&](int c) { return mean4(x, 0, c); });
        for (int y = 0; y < h; ++y) t.at(0, y) = PerChannel([&](int c) { return mean4(0, y, c); });
        for (int y = 1; y <= h - 2; ++y)
            for (int x = 1; x <= w - 2; ++x)
                t.at(x, y) = PerChannel([&](int c) {
                    int sum = 0;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) sum += p(x + dx, y + dy, c);
                    return Round(sum / 9.0);
                });
        for (int x = 1; x < w; ++x) t.at(x, h - 1) = PerChannel([&](int c) { return mean4(x - 1, h - 2, c); });
        for (int y = 1; y < h; ++y) t.at(w - 1, y) = PerChannel([&](int c) { return mean4(w - 2, y - 1, c); });
        break;
    case Filter::Diffuse: break;
    }
    return t;
}

std::string Name(Filter f) {
    const char* names[] = {"GreyScaling", "Smooth", "Sharpen", "Emboss", "Diffuse", "Invert", "Solarize"};
    return names[static_cast<int>(f)];
}

class MatchesReference : public ::testing::TestWithParam<Filter> {};

// Odd sizes, and the 1- and 2-pixel pictures where Smooth's blocks reach beyond the edge
// (ASan checks that nothing is read there).
TEST_P(MatchesReference, OnRandomPicturesOfOddSizes) {
    std::mt19937 engine(7);
    for (int w : {1, 2, 3, 4, 5, 7, 16, 33})
        for (int h : {1, 2, 3, 5, 6, 19}) {
            const Image source = vistrel::test::Noise(w, h, engine);
            ASSERT_EQ(Filtered(GetParam(), source), Reference(GetParam(), source)) << w << " x " << h;
        }
}

INSTANTIATE_TEST_SUITE_P(Filters, MatchesReference,
                         ::testing::Values(Filter::GreyScaling, Filter::Invert, Filter::Solarize,
                                           Filter::Smooth, Filter::Sharpen, Filter::Emboss),
                         [](const auto& info) { return Name(info.param); });

// Hand-worked values at the rules' edges (halves to even, clamps, the 128 threshold), so the
// reference above cannot agree with the filters on a shared mistake. The pixel (1, 1) holds
// `centre`, every other pixel `rest`.
TEST(Filters, GiveHandWorkedValuesAtTheEdgesOfTheirRules) {
    struct Case {
        Filter filter;
        Pixel centre, rest, expected;
    };
    const Case cases[] = {
        {Filter::Emboss, Grey(77), Grey(77), Grey(128)},    // flat area
        {Filter::Emboss, Grey(0), Grey(255), Grey(127)},    // folds a negative difference
        {Filter::Emboss, Grey(255), Grey(0), Grey(255)},    // caps at 255
        {Filter::Sharpen, Grey(101), Grey(100), Grey(102)}, // 101.5: up to even
        {Filter::Sharpen, Grey(100), Grey(99), Grey(100)},  // 100.5: down to even
        {Filter::Sharpen, Grey(0), Grey(255), Grey(0)},     // clamps low
        {Filter::GreyScaling, Rgb(1, 1, 2), Rgb(1, 1, 2), Grey(1)},
        {Filter::GreyScaling, Rgb(1, 2, 2), Rgb(1, 2, 2), Grey(2)},
        {Filter::Solarize, Rgb(127, 128, 0), Rgb(127, 128, 0), Rgb(128, 128, 255)},
        {Filter::Invert, Rgb(0, 100, 255), Rgb(0, 100, 255), Rgb(255, 155, 0)},
    };
    for (const Case& c : cases) {
        Image source(3, 3, c.rest);
        source.at(1, 1) = c.centre;
        EXPECT_EQ(Filtered(c.filter, source).at(1, 1), c.expected)
            << Name(c.filter) << " " << std::hex << c.centre << " " << c.rest;
    }
    // Smooth's corner blocks on a 2 x 2 picture: sums 10, 6 and 6 give 2.5 and 1.5, both 2.
    Image source(2, 2);
    source.at(0, 0) = Rgb(1, 0, 3);
    source.at(1, 0) = Rgb(2, 1, 0);
    source.at(0, 1) = Rgb(3, 2, 2);
    source.at(1, 1) = Rgb(4, 3, 1);
    EXPECT_EQ(Filtered(Filter::Smooth, source).at(0, 0), Rgb(2, 2, 2));
}

TEST(DiffuseOffset, RoundsHalvesToEven) {
    const std::vector<std::pair<double, int>> cases{
        {0.0, -2},   {0.125, -2}, {0.1251, -1}, {0.3749, -1}, {0.375, 0},
        {0.625, 0},  {0.6251, 1}, {0.8749, 1},  {0.875, 2},   {0.999999, 2}};
    for (auto [r, offset] : cases) EXPECT_EQ(core::DiffuseOffset(r), offset) << r;
}

// Each pixel names its own place, so the result shows where every pixel came from.
Image PlaceCoded(int w, int h) {
    Image picture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture.at(x, y) = 0xFF000000u | static_cast<Pixel>(x) << 12 | static_cast<Pixel>(y);
    return picture;
}

TEST(Diffuse, OffsetsFollowTheDistributionAndStayInside) {
    const int w = 303;
    const int h = 301;
    test::FakeClock clock;
    Image source = PlaceCoded(w, h);
    Image target(w, h, kUnwritten);
    core::ApplyFilter(Filter::Diffuse, source, target, clock);

    std::map<std::pair<int, int>, int> joint;
    std::array<int, 5> rows{};
    std::array<int, 5> columns{};
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Pixel out = target.at(x, y);
            if (x < 2 || y < 2 || x > w - 3 || y > h - 3) {
                ASSERT_EQ(out, kUnwritten) << x << "," << y;
                continue;
            }
            const int dx = static_cast<int>(out >> 12 & 0xFFF) - x;
            const int dy = static_cast<int>(out & 0xFFF) - y;
            ASSERT_TRUE(std::abs(dx) <= 2 && std::abs(dy) <= 2) << x << "," << y;
            ++rows[dy + 2];
            ++columns[dx + 2];
            ++joint[std::make_pair(dx, dy)];
            ++n;
        }
    const std::array<double, 5> expected{0.125, 0.25, 0.25, 0.25, 0.125};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(rows[i] / double(n), expected[i], 0.01) << "dy " << i - 2;
        EXPECT_NEAR(columns[i] / double(n), expected[i], 0.01) << "dx " << i - 2;
    }
    // Row and column offsets are drawn apart from each other.
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            EXPECT_NEAR(joint[std::make_pair(i - 2, j - 2)] / double(n), expected[i] * expected[j], 0.004);
}

TEST(Diffuse, SameSeedSameResultOtherSeedOtherResult) {
    const Image source = PlaceCoded(40, 30);
    EXPECT_EQ(Filtered(Filter::Diffuse, source, 5), Filtered(Filter::Diffuse, source, 5));
    EXPECT_NE(Filtered(Filter::Diffuse, source, 5), Filtered(Filter::Diffuse, source, 6));
}

TEST(Diffuse, KeepsATwoPixelFrame) {
    for (int w : {1, 2, 4, 5})
        for (int h : {1, 4, 5}) {
            Image expected(w, h, kUnwritten);
            const Image result = Filtered(Filter::Diffuse, PlaceCoded(w, h));
            if (w == 5 && h == 5) {
                EXPECT_NE(result.at(2, 2), kUnwritten);
                expected.at(2, 2) = result.at(2, 2);
            }
            EXPECT_EQ(result, expected) << w << " x " << h;
        }
}

} // namespace
