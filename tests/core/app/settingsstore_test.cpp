#include <set>

#include <gtest/gtest.h>

#include "core/app/numbers.h"
#include "core/app/settingsstore.h"
#include "fakes/memorysettings.h"

using namespace vistrel::core;

namespace {

struct SettingsStoreTest : ::testing::Test {
    vistrel::test::MemorySettings backend;
    SettingsStore store{backend};
};

TEST_F(SettingsStoreTest, FirstRunWritesEveryDefaultOnceWithTheMarkerLast) {
    EXPECT_TRUE(store.EnsureInitialised("/opt/vistrel", ButtonFaceColour));
    EXPECT_EQ(backend.writes.back(), "load");
    EXPECT_EQ(std::set(backend.writes.begin(), backend.writes.end()).size(), backend.writes.size());
    EXPECT_EQ(backend.read("load"), "set");
    EXPECT_EQ(backend.read("bar"), "5545");
    EXPECT_EQ(backend.read("lastdir"), "/opt/vistrel");
    EXPECT_EQ(backend.read("formw"), "9180");
    // A system colour is stored as a negative number.
    EXPECT_EQ(backend.read("thucolour"), "-2147483633");
    EXPECT_EQ(backend.read("discolour"), backend.read("thucolour"));
}

TEST_F(SettingsStoreTest, AMarkedStoreIsNeverResetEvenWithKeysMissing) {
    backend.values = {{"load", "set"}, {"formw", "abc"}};
    EXPECT_FALSE(store.EnsureInitialised("/x", 0));
    EXPECT_TRUE(backend.writes.empty());
    EXPECT_EQ(store.Read("FORMW"), "abc");

    backend.values = {{"load", "Set"}}; // only the exact word counts
    EXPECT_TRUE(store.EnsureInitialised("/x", 0));
}

TEST_F(SettingsStoreTest, ApplyViewSettingsReadsTheSixValuesUntilOneIsNotANumber) {
    store.EnsureInitialised("/x", 0x123456);
    store.Write("slidedelay", "40000"); // beyond 16 bits: kept, not an overflow
    store.Write("repeat", "1");
    store.ApplyViewSettings();
    EXPECT_EQ(store.View.SlideDelay, 40000);
    EXPECT_EQ(store.View.SlideOrder, 2);
    EXPECT_EQ(store.View.SlideRepeat, 1);
    EXPECT_EQ(store.View.DisplayColour, 0x123456);
    EXPECT_EQ(store.View.ThumbnailColour, 0x123456);
    EXPECT_EQ(store.View.ResizeHandles, 1);

    store.Write("slidedelay", "250");
    store.Write("repeat", "");
    EXPECT_THROW(store.ApplyViewSettings(), ConversionError);
    EXPECT_EQ(store.View.SlideDelay, 250); // read before the failure, so it stays
    EXPECT_EQ(store.View.SlideRepeat, 1);  // the failing one keeps its value
    store.Write("repeat", "0");
    store.Write("discolour", "99999999999");
    EXPECT_THROW(store.ApplyViewSettings(), ConversionError);
}

} // namespace
