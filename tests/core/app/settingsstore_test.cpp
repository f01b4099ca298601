#include <gtest/gtest.h>

#include "core/app/numbers.h"
#include "core/app/settingsstore.h"
#include "fakes/memorysettings.h"

using namespace vistrel::core;
using vistrel::test::MemorySettings;

TEST(SettingsStore, FirstRunWritesMarkerLastAndEveryDefault) {
    MemorySettings backend;
    SettingsStore store(backend);
    EXPECT_TRUE(store.EnsureInitialised("/opt/vistrel", ButtonFaceColour));
    const std::vector<std::string> order = {
        "bar",        "lastdir",      "homedir",     "maximized",    "forml",    "formt",
        "formh",      "formw",        "propt",       "propl",        "showexplorer",
        "showdisplay", "slidemode",   "slidedelay",  "thucolour",    "discolour", "loadthumb",
        "baraddress", "bartools",     "repeat",      "resizehandles", "load"};
    EXPECT_EQ(backend.writes, order);
    EXPECT_EQ(backend.read("load"), "set");
    EXPECT_EQ(backend.read("bar"), "5545");
    EXPECT_EQ(backend.read("lastdir"), "/opt/vistrel");
    EXPECT_EQ(backend.read("formw"), "9180");
    // A system colour is stored as a negative number.
    EXPECT_EQ(backend.read("thucolour"), "-2147483633");
    EXPECT_EQ(backend.read("discolour"), backend.read("thucolour"));
}

TEST(SettingsStore, AMarkedStoreIsNeverResetEvenWithKeysMissing) {
    MemorySettings backend;
    backend.values = {{"load", "set"}, {"formw", "abc"}};
    SettingsStore store(backend);
    EXPECT_FALSE(store.EnsureInitialised("/x", 0));
    EXPECT_TRUE(backend.writes.empty());
    EXPECT_EQ(store.Read("FORMW"), "abc");

    backend.values = {{"load", "Set"}}; // only the exact word counts
    EXPECT_TRUE(store.EnsureInitialised("/x", 0));
}

TEST(SettingsStore, ApplyViewSettingsReadsTheSixValues) {
    MemorySettings backend;
    SettingsStore store(backend);
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
}

TEST(SettingsStore, ApplyViewSettingsStopsAtTheFirstValueThatIsNotANumber) {
    MemorySettings backend;
    SettingsStore store(backend);
    store.EnsureInitialised("/x", 0);
    store.Write("slidedelay", "250");
    store.Write("repeat", "");
    EXPECT_THROW(store.ApplyViewSettings(), ConversionError);
    EXPECT_EQ(store.View.SlideDelay, 250); // read before the failure, so it stays
    EXPECT_EQ(store.View.SlideRepeat, 0);

    store.Write("repeat", "0");
    store.Write("discolour", "99999999999");
    EXPECT_THROW(store.ApplyViewSettings(), ConversionError);
}
