#include <gtest/gtest.h>

#include "core/app/fitinside.h"

using namespace vistrel::core;

TEST(FitInside, ShrinksByOneFactorAndNeverEnlarges) {
    struct Case {
        Extent size, box, fit;
    };
    const Case cases[] = {
        {{2000, 1000}, {1295, 1120}, {1295, 647.5}}, // the width limits
        {{1000, 2000}, {1295, 1120}, {560, 1120}},   // the height limits
        {{800, 600}, {1295, 1120}, {800, 600}},      // fits: as it is
        {{67, 134}, {112, 85}, {42.5, 85}},          // an exact half stays one
        {{0, 500}, {10, 10}, {0, 500}},
        {{500, -1}, {10, 10}, {500, -1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitInside(c.size.width, c.size.height, c.box.width, c.box.height), c.fit)
            << c.size.width << " x " << c.size.height;
}
