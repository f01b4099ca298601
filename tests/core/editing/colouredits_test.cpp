#include <gtest/gtest.h>

#include <algorithm>

#include "core/editing/colouredits.h"

using namespace vistrel;
using core::Colour;
using core::Image;
using Pixel = Image::Pixel;

namespace {

Pixel Rgb(int r, int g, int b) { return 0xFF000000u | Pixel(r) << 16 | Pixel(g) << 8 | Pixel(b); }
Colour Bgr(int r, int g, int b) { return r | g << 8 | b << 16; }
int Channel(Pixel p, int c) { return static_cast<int>(p >> (16 - 8 * c) & 0xFF); }

// One of the three edits with its parameters: a is the amount (brightness), the red amount
// (balance) or the tolerance (replacement).
struct Edit {
    enum Kind { Brightness, Balance, Replace } kind;
    int a = 0, b = 0, c = 0;
    Colour from = 0, to = 0;
};

Image Applied(const Edit& e, const Image& source) {
    Image target(source.width(), source.height(), 0x12345678);
    if (e.kind == Edit::Brightness) core::Brightness(source, target, e.a);
    if (e.kind == Edit::Balance) core::RgbBalance(source, target, e.a, e.b, e.c);
    if (e.kind == Edit::Replace) core::ReplaceColour(source, target, e.from, e.to, e.a);
    return target;
}

// The rules pixel by pixel and channel by channel, in double precision like the dialog.
Image Reference(const Edit& e, const Image& s) {
    Image t(s.width(), s.height());
    const bool same = e.kind == Edit::Brightness;
    const int amounts[] = {e.a, same ? e.a : e.b, same ? e.a : e.c};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const Pixel p = s.at(x, y);
            int out[3];
            bool all = true;
            for (int c = 0; c < 3; ++c) {
                const double v = Channel(p, c), target = e.from >> 8 * c & 0xFF, k = e.a;
                all = all && target - k / 100 * target <= v && v <= target + k / 100 * target;
                out[c] = std::clamp(Channel(p, c) + amounts[c], 0, 255);
            }
            const Pixel to = Rgb(e.to & 0xFF, e.to >> 8 & 0xFF, e.to >> 16 & 0xFF);
            t.at(x, y) = e.kind != Edit::Replace ? Rgb(out[0], out[1], out[2]) : all ? to : p;
        }
    return t;
}

TEST(ColourEdits, GiveTheDocumentedPixels) {
    const Colour White = 0xFFFFFF, Red = Bgr(255, 0, 0), Grey = Bgr(100, 100, 100);
    // Brightness up and the balance at these values are the Properties dialog's Ok cases.
    const std::tuple<const char*, Edit, Pixel, Pixel> cases[] = { // edit, in, out
        {"brightness down", {Edit::Brightness, -100}, Rgb(200, 100, 0), Rgb(100, 0, 0)},
        // All three channels must match; one is not enough.
        {"one channel", {Edit::Replace, 0, 0, 0, Red, White}, Rgb(10, 0, 200), Rgb(10, 0, 200)},
        {"exact", {Edit::Replace, 0, 0, 0, Red, White}, Rgb(255, 0, 0), Rgb(255, 255, 255)},
        {"zero only", {Edit::Replace, 10, 0, 0, Grey, White}, Rgb(95, 0, 0), Rgb(95, 0, 0)},
        {"within", {Edit::Replace, 10, 0, 0, Grey, White}, Rgb(95, 105, 110), Rgb(255, 255, 255)},
        {"edges", {Edit::Replace, 10, 0, 0, Grey, Bgr(1, 2, 3)}, Rgb(90, 110, 100), Rgb(1, 2, 3)},
        {"outside", {Edit::Replace, 10, 0, 0, Grey, White}, Rgb(100, 111, 100), Rgb(100, 111, 100)},
        {"black target", {Edit::Replace, 100, 0, 0, 0, White}, Rgb(0, 0, 1), Rgb(0, 0, 1)},
    };
    for (const auto& [name, edit, in, out] : cases)
        EXPECT_EQ(Applied(edit, Image(1, 1, in)).at(0, 0), out) << name;
}

// Every channel value against every amount that makes a difference, and one beyond, in a row
// (many pixels at once) and in a column (one pixel at a time).
TEST(ColourEdits, BalanceIsExactForEveryValueAndAmount) {
    Image row(256, 1), column(1, 256);
    for (int v = 0; v < 256; ++v) row.data()[v] = column.data()[v] = Rgb(v, 255 - v, v * 7 % 256);
    for (int a = -256; a <= 256; ++a) {
        const Edit e{Edit::Balance, a, -a, a / 2};
        ASSERT_EQ(Applied(e, row), Reference(e, row)) << a;
        ASSERT_EQ(Applied(e, column), Reference(e, column)) << a;
    }
}

} // namespace
