#include <gtest/gtest.h>

#include "core/app/windowplacement.h"

using namespace vistrel::core;
namespace pl = vistrel::core::placement;

namespace {

// A 1920 x 1050 primary screen and a 1280 x 1024 one to its left.
const std::vector<Box> Screens{{0, 0, 28800, 15750}, {-19200, 0, 19200, 15360}};

} // namespace

TEST(WindowPlacement, StoredNumbersAreKeptNearTheScreens) {
    struct Case {
        const char* what;
        Twips (*clamp)(Twips, const std::vector<Box>&);
        Twips stored, expected;
    };
    const Case cases[] = {
        {"huge width", pl::ClampWidth, 1e300, 28800},
        {"width past 16 bits", pl::ClampWidth, 99999999, 28800},
        {"negative width", pl::ClampWidth, -3000, 15},
        {"fitting width", pl::ClampWidth, 9180, 9180},
        {"huge height", pl::ClampHeight, 1e300, 15750},
        {"left far right", pl::ClampLeft, 1e300, 28800},
        {"left far left", pl::ClampLeft, -1e300, -19200 - 48000},
        {"left on the second screen", pl::ClampLeft, -5000, -5000},
        {"top far up", pl::ClampTop, -1e12, -15750},
    };
    for (const Case& c : cases) EXPECT_EQ(c.clamp(c.stored, Screens), c.expected) << c.what;
}

TEST(WindowPlacement, AWindowOffEveryScreenComesBackCentredOnThePrimary) {
    struct Case {
        const char* what;
        Box window;
        bool reachable;
    };
    const Case cases[] = {
        {"on the primary", {190, 190, 9180, 6360}, true},
        {"on the left screen", {-15000, 2000, 9180, 6360}, true},
        {"across both", {-4000, 2000, 9180, 6360}, true},
        {"right of everything", {30000, 190, 9180, 6360}, false},
        {"below everything", {190, 16000, 9180, 6360}, false},
        {"caption above the top", {190, -400, 9180, 6360}, false},
        {"a sliver at the right edge", {28000, 190, 9180, 6360}, false},
        {"under the second screen's bottom", {-15000, 15500, 9180, 6360}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pl::Reachable(c.window, Screens), c.reachable) << c.what;
        const Box moved = pl::OntoPrimary(c.window, Screens);
        EXPECT_TRUE(pl::Reachable(moved, Screens)) << c.what;
        EXPECT_EQ((std::vector{moved.left, moved.top, moved.width, moved.height}),
                  (std::vector<Twips>{9810, 4695, 9180, 6360}))
            << c.what;
    }
    // A window larger than the primary screen goes to its top-left corner.
    EXPECT_EQ(pl::OntoPrimary({50000, 0, 40000, 20000}, Screens).left, 0);
    // No screen reported at all: still somewhere sensible.
    EXPECT_TRUE(pl::Reachable(pl::OntoPrimary({1e9, 1e9, 9180, 6360}, {}), {}));
}

TEST(WindowPlacement, ScreenOfIsTheOneOverlappedMost) {
    EXPECT_EQ(pl::ScreenOf({-15000, 2000, 9180, 6360}, Screens).width, 19200);
    EXPECT_EQ(pl::ScreenOf({-2000, 2000, 9180, 6360}, Screens).width, 28800);
    EXPECT_EQ(pl::ScreenOf({90000, 2000, 9180, 6360}, Screens).width, 28800);
}
