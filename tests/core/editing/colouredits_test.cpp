#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/editing/colouredits.h"

using namespace vistrel;
using core::Colour;
using core::Image;
using Pixel = Image::Pixel;

namespace {

Pixel Rgb(int r, int g, int b) {
    return 0xFF000000u | static_cast<Pixel>(r) << 16 | static_cast<Pixel>(g) << 8 |
           static_cast<Pixel>(b);
}
Colour Bgr(int r, int g, int b) {
    return r | g << 8 | b << 16;
}
int Channel(Pixel p, int c) {
    return static_cast<int>(p >> (16 - 8 * c) & 0xFF);
}

// Where a point edit goes: one of the three, with its parameters.
struct Edit {
    enum Kind { Brightness, Balance, Replace } kind;
    int a = 0, b = 0, c = 0; // amount; red, green, blue; tolerance
    Colour from = 0, to = 0;
};

Image Applied(const Edit& e, const Image& source) {
    Image target(source.width(), source.height(), 0x12345678);
    switch (e.kind) {
    case Edit::Brightness:
        core::Brightness(source, target, e.a);
        break;
    case Edit::Balance:
        core::RgbBalance(source, target, e.a, e.b, e.c);
        break;
    case Edit::Replace:
        core::ReplaceColour(source, target, e.from, e.to, e.a);
        break;
    }
    return target;
}

// The rules pixel by pixel and channel by channel, in double precision like the dialog.
Image Reference(const Edit& e, const Image& s) {
    Image t(s.width(), s.height());
    const bool same = e.kind == Edit::Brightness;
    const int amounts[] = {e.a, same ? e.a : e.b, same ? e.a : e.c};
    const int targets[] = {e.from & 0xFF, e.from >> 8 & 0xFF, e.from >> 16 & 0xFF};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const Pixel p = s.at(x, y);
            int out[3];
            bool all = true;
            for (int c = 0; c < 3; ++c) {
                const double v = Channel(p, c), t0 = targets[c], k = e.a;
                all = all && t0 - k / 100 * t0 <= v && v <= t0 + k / 100 * t0;
                out[c] = std::clamp(Channel(p, c) + amounts[c], 0, 255);
            }
            if (e.kind != Edit::Replace)
                t.at(x, y) = Rgb(out[0], out[1], out[2]);
            else
                t.at(x, y) = all ? Rgb(e.to & 0xFF, e.to >> 8 & 0xFF, e.to >> 16 & 0xFF) : p;
        }
    return t;
}

struct Example {
    const char* name;
    Edit edit;
    Pixel in;
    Pixel out;
};

class PointEditExample : public ::testing::TestWithParam<Example> {};

TEST_P(PointEditExample, GivesTheDocumentedPixel) {
    const Example& e = GetParam();
    EXPECT_EQ(Applied(e.edit, Image(1, 1, e.in)).at(0, 0), e.out);
}

const Colour White = 0xFFFFFF;

INSTANTIATE_TEST_SUITE_P(
    ColourEdits, PointEditExample,
    ::testing::Values(
        Example{
            "BrightnessUpClamps", {Edit::Brightness, 100}, Rgb(200, 100, 0), Rgb(255, 200, 100)},
        Example{"BrightnessDownClamps", {Edit::Brightness, -100}, Rgb(200, 100, 0), Rgb(100, 0, 0)},
        Example{
            "BalancePerChannel", {Edit::Balance, -100, 0, 100}, Rgb(50, 50, 50), Rgb(0, 50, 150)},
        // Every channel must match; one matching channel is not enough.
        Example{"ReplaceOneChannelIsNotEnough",
                {Edit::Replace, 0, 0, 0, Bgr(255, 0, 0), White},
                Rgb(10, 0, 200),
                Rgb(10, 0, 200)},
        Example{"ReplaceExact",
                {Edit::Replace, 0, 0, 0, Bgr(255, 0, 0), White},
                Rgb(255, 0, 0),
                Rgb(255, 255, 255)},
        Example{"ReplaceZeroTargetOnlyZero",
                {Edit::Replace, 10, 0, 0, Bgr(100, 100, 100), White},
                Rgb(95, 0, 0),
                Rgb(95, 0, 0)},
        Example{"ReplaceWithinTolerance",
                {Edit::Replace, 10, 0, 0, Bgr(100, 100, 100), White},
                Rgb(95, 105, 110),
                Rgb(255, 255, 255)},
        Example{"ReplaceBandEdgesIncluded",
                {Edit::Replace, 10, 0, 0, Bgr(100, 100, 100), Bgr(1, 2, 3)},
                Rgb(90, 110, 100),
                Rgb(1, 2, 3)},
        Example{"ReplaceJustOutside",
                {Edit::Replace, 10, 0, 0, Bgr(100, 100, 100), White},
                Rgb(100, 111, 100),
                Rgb(100, 111, 100)},
        Example{"ReplaceBlackAtFullTolerance",
                {Edit::Replace, 100, 0, 0, 0, White},
                Rgb(0, 0, 1),
                Rgb(0, 0, 1)}),
    [](const auto& info) { return std::string(info.param.name); });

Image RandomPicture(int w, int h, std::mt19937& engine, int levels) {
    // Few distinct channel values, so replacement finds matches.
    Image picture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto v = [&] { return static_cast<int>(engine() % levels) * (255 / (levels - 1)); };
            picture.at(x, y) = Rgb(v(), v(), v());
        }
    return picture;
}

TEST(ColourEdits, MatchThePlainRulesOnRandomPictures) {
    std::mt19937 engine(11);
    std::uniform_int_distribution<int> amount(-300, 300), tolerance(0, 100), channel(0, 255);
    for (int w : {1, 2, 3, 7, 31})
        for (int h : {1, 2, 5, 9}) {
            for (int levels : {3, 256}) {
                const Image source = RandomPicture(w, h, engine, levels);
                const Pixel some = source.at(w / 2, h / 2);
                const Colour near =
                    Bgr(Channel(some, 0), std::max(Channel(some, 1) - 3, 0), Channel(some, 2));
                const Edit edits[] = {
                    {Edit::Brightness, amount(engine)},
                    {Edit::Balance, amount(engine), amount(engine), amount(engine)},
                    {Edit::Replace, tolerance(engine), 0, 0, near, Bgr(channel(engine), 9, 7)},
                    {Edit::Replace, 0, 0, 0,
                     Bgr(Channel(some, 0), Channel(some, 1), Channel(some, 2)), 0},
                };
                for (const Edit& e : edits)
                    ASSERT_EQ(Applied(e, source), Reference(e, source))
                        << w << " x " << h << " kind " << e.kind << " a " << e.a;
            }
        }
}

// Every channel value against every amount that makes a difference, and one beyond.
TEST(ColourEdits, BalanceIsExactForEveryValueAndAmount) {
    Image source(256, 1);
    for (int v = 0; v < 256; ++v)
        source.at(v, 0) = Rgb(v, 255 - v, v * 7 % 256);
    for (int a = -256; a <= 256; ++a) {
        const Edit e{Edit::Balance, a, -a, a / 2};
        ASSERT_EQ(Applied(e, source), Reference(e, source)) << a;
    }
}

} // namespace
