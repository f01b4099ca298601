#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/viewer/areareduction.h"
#include "fakes/pictures.h"

using namespace vistrel::core;
using vistrel::test::Noise;

namespace {

const SimdPath AllPaths[] = {SimdPath::Scalar, SimdPath::Sse2, SimdPath::Avx2};
const char* Name(SimdPath p) {
    return p == SimdPath::Scalar ? "scalar" : p == SimdPath::Sse2 ? "SSE2" : "AVX2";
}

// The plain definition: every source pixel weighted by the area of it under the reduced one.
double Reference(const Image& picture, int sw, int sh, int x, int y, int shift) {
    const double fx = double(picture.width()) / sw, fy = double(picture.height()) / sh;
    double sum = 0, area = 0;
    for (int sy = int(std::floor(y * fy)); sy < std::min(picture.height(), int(std::ceil((y + 1) * fy))); ++sy) {
        const double hy = std::min(sy + 1.0, (y + 1) * fy) - std::max(double(sy), y * fy);
        for (int sx = int(std::floor(x * fx)); sx < std::min(picture.width(), int(std::ceil((x + 1) * fx))); ++sx) {
            const double hx = std::min(sx + 1.0, (x + 1) * fx) - std::max(double(sx), x * fx);
            sum += hx * hy * ((picture.at(sx, sy) >> shift) & 0xFF);
            area += hx * hy;
        }
    }
    return sum / area;
}

// Sends every other row through done(), as a ring buffer that wraps does.
struct Collect : AreaReduction::RowTarget {
    Image& out;
    PixelRect part;
    Collect(Image& o, PixelRect p) : out(o), part(p) {}
    Image::Pixel* row(int j) const override {
        return j % 2 ? nullptr : out.row(part.top + j) + part.left;
    }
    void done(int j, const Image::Pixel* pixels) const override {
        std::copy(pixels, pixels + part.width, out.row(part.top + j) + part.left);
    }
};

} // namespace

TEST(AreaReduction, EveryPathGivesTheSamePixelsCloseToTheTrueAverage) {
    struct Case {
        int w, h, sw, sh;
    };
    // Down to a half, a third, odd ratios, and a strong 1:150 reduction.
    for (const Case& c : {Case{64, 48, 32, 24}, Case{301, 199, 100, 66}, Case{97, 61, 10, 7},
                          Case{1500, 300, 10, 2}, Case{70, 40, 69, 39}}) {
        const Image picture = Noise(c.w, c.h, unsigned(c.w * c.h));
        const Image scalar = ReduceArea(picture, c.sw, c.sh, SimdPath::Scalar);
        ASSERT_EQ(scalar.width(), c.sw);
        double worst = 0;
        for (int y = 0; y < c.sh; ++y)
            for (int x = 0; x < c.sw; ++x) {
                EXPECT_EQ(scalar.at(x, y) >> 24, 0xFFu);
                for (int shift : {0, 8, 16})
                    worst = std::max(worst, std::abs(((scalar.at(x, y) >> shift) & 0xFF) -
                                                     Reference(picture, c.sw, c.sh, x, y, shift)));
            }
        EXPECT_LE(worst, 2.0) << c.w << "x" << c.h << " -> " << c.sw << "x" << c.sh;
        for (SimdPath path : AllPaths) {
            if (!Supports(path)) continue;
            EXPECT_EQ(ReduceArea(picture, c.sw, c.sh, path), scalar)
                << Name(path) << " " << c.w << "x" << c.h;
        }
    }
}

TEST(AreaReduction, AFlatColourStaysExactlyTheSame) {
    for (SimdPath path : AllPaths) {
        if (!Supports(path)) continue;
        const Image reduced = ReduceArea(Image(333, 222, 0xFF7F3A09u), 100, 17, path);
        EXPECT_TRUE(std::all_of(reduced.data(), reduced.data() + reduced.pixelCount(),
                                [](Image::Pixel p) { return p == 0xFF7F3A09u; }))
            << Name(path);
    }
}

TEST(AreaReduction, APartIsThatPartOfTheWholeWhicheverWayItsRowsGo) {
    const Image picture = Noise(640, 480, 7);
    const Image whole = ReduceArea(picture, 213, 160);
    for (SimdPath path : AllPaths) {
        if (!Supports(path)) continue;
        Image pieced(213, 160, 0);
        // Four pieces, computed out of order and in two row ranges each.
        for (const PixelRect part : {PixelRect{100, 90, 113, 70}, PixelRect{0, 0, 213, 90},
                                     PixelRect{0, 90, 100, 70}}) {
            const AreaReduction reduction(picture, 213, 160, part, path);
            const Collect target(pieced, part);
            reduction.Rows(part.height / 2, part.height, target);
            reduction.Rows(0, part.height / 2, target);
        }
        EXPECT_EQ(pieced, whole) << Name(path);
    }
}
