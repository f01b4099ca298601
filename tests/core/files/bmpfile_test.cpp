#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "core/files/bmpfile.h"
#include "fakes/bmpreader.h"

using namespace vistrel;
using core::Image;

TEST(EncodeBmp, ReadsBackPixelIdenticalWhateverTheRowPadding) {
    std::mt19937 engine(7);
    // Widths 1 to 4 need 1, 2, 3 and 0 bytes of padding a row.
    for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {3, 2}, {4, 1}, {5, 4}, {17, 9}}) {
        Image picture(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) picture.at(x, y) = 0xFF000000u | (engine() & 0xFFFFFF);
        const auto file = core::EncodeBmp(picture);
        ASSERT_TRUE(file) << w << "x" << h;
        EXPECT_EQ(test::ReadBmp24(*file), picture) << w << "x" << h;
    }
}

TEST(BmpFileLength, RefusesWhatTheHeaderFieldsCannotHold) {
    struct Case { int width, height; std::optional<std::uint64_t> length; };
    const Case cases[] = {
        {1, 1, 58},
        {3, 2, 54 + 12 * 2},
        {32768, 43690, 54 + 98304ull * 43690}, // just below 4 GiB
        {32768, 43691, std::nullopt},         // just above
        {INT_MAX, INT_MAX, std::nullopt},
        {0, 5, std::nullopt},
        {5, -1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::BmpFileLength(c.width, c.height), c.length) << c.width << "x" << c.height;
    EXPECT_FALSE(core::EncodeBmp(Image{}));
}
