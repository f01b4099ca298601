#include <gtest/gtest.h>

#include "core/editing/stretch.h"
#include "fakes/pictures.h"

namespace vistrel::core {
namespace {

TEST(StretchImage, FlatColourStaysExactAtEverySize) {
    const Image flat(7, 5, 0xFF3C7A11);
    for (auto [w, h] : {std::pair{7, 5}, {3, 2}, {1, 1}, {20, 13}, {2, 9}, {11, 1}}) {
        const Image out = StretchImage(flat, w, h);
        ASSERT_EQ(out.width(), w);
        ASSERT_EQ(out.height(), h);
        EXPECT_EQ(out, Image(w, h, 0xFF3C7A11)) << w << "x" << h;
    }
}

TEST(StretchImage, HalvingAveragesPairsAndDoublingRepeatsEdges) {
    Image row(4, 1);
    row.at(0, 0) = 0xFF000000; row.at(1, 0) = 0xFF0000C8; // blue 0, 200
    row.at(2, 0) = 0xFF00FF00; row.at(3, 0) = 0xFF00FF00;
    const Image half = StretchImage(row, 2, 1);
    EXPECT_EQ(half.at(0, 0), 0xFF000064u); // (0 + 200) / 2
    EXPECT_EQ(half.at(1, 0), 0xFF00FF00u);

    Image two(2, 1);
    two.at(0, 0) = 0xFF000000; two.at(1, 0) = 0xFF0000FF;
    const Image four = StretchImage(two, 4, 1);
    // Outer pixels sit beyond the outer centres and keep the edge colours.
    EXPECT_EQ(four.at(0, 0), 0xFF000000u);
    EXPECT_EQ(four.at(3, 0), 0xFF0000FFu);
    EXPECT_EQ(four.at(1, 0) & 0xFF, 64u); // a quarter of the way
}

TEST(StretchImage, SameSizeIsACopyAndEmptySizesGiveNothing) {
    const Image source = vistrel::test::Noise(9, 4, 1);
    EXPECT_EQ(StretchImage(source, 9, 4), source);
    EXPECT_TRUE(StretchImage(source, 0, 4).isNull());
    EXPECT_TRUE(StretchImage(source, 9, -1).isNull());
    EXPECT_TRUE(StretchImage(Image(), 3, 3).isNull());
}

} // namespace
} // namespace vistrel::core
