#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/mainwindowmodel.h"
#include "core/editing/pixeledit.h"
#include "fakes/platformfakes.h"

using namespace vistrel;
using core::Filter;
using core::Image;
using core::StatusBarState;

namespace {

const std::string kTooLarge =
    "The Image is too large. Please try a smaller image.|Vistrel|0|" +
    std::to_string(int(core::MessageIcon::Critical));

struct PixelEditRig {
    core::MainWindowModel model;
    test::ScriptedDialogs dialogs;
    test::FakeClock clock;
    test::RecordingPump pump;
    int refreshed = 0;
    core::PixelEdit edit{model, dialogs, clock, pump, ',', [this] { ++refreshed; }};

    PixelEditRig() {
        pump.status = &model.status;
        model.status.setText(StatusBarState::Status, "before");
    }
    const std::string& status() const { return model.status.text(StatusBarState::Status); }
};

Image Striped(int w, int h) {
    Image picture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture.at(x, y) = 0xFF000000u | static_cast<Image::Pixel>(x * 7 + y * 13);
    return picture;
}

Image Inverted(Image picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.at(x, y) ^= 0x00FFFFFF;
    return picture;
}

TEST(FormatEditTime, ThreeDecimalsNoLeadingZeroLocaleSeparator) {
    const std::vector<std::tuple<double, char, std::string>> cases{
        {0.25, ',', "Processed in ,250 seconds."},
        {12.3456, '.', "Processed in 12.346 seconds."},
        {2.0625, '.', "Processed in 2.062 seconds."}, // 2062.5 ms: the half goes to even
        {123.0, '.', "Processed in 123.000 seconds."},
        {0, '.', "Processed in .000 seconds."},
        {std::nan(""), '.', "Processed in .000 seconds."},
    };
    for (const auto& [seconds, separator, text] : cases)
        EXPECT_EQ(core::FormatEditTime(seconds, separator), text) << seconds;
}

TEST(PixelEdit, RefusedSilentlyWhileBusyOrWithoutAPicture) {
    PixelEditRig rig;
    const Image original = Striped(5, 4);
    Image picture = original;
    rig.model.status.progress = 1; // the thumbnail builder runs
    EXPECT_FALSE(rig.edit.Run(Filter::Invert, picture, true));
    rig.model.status.progress = 0;
    EXPECT_FALSE(rig.edit.Run(Filter::Invert, picture, false));
    Image empty;
    EXPECT_FALSE(rig.edit.Run(Filter::Invert, empty, true));

    EXPECT_EQ(picture, original);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_TRUE(rig.pump.painted.empty());
    EXPECT_EQ(rig.status(), "before");
    EXPECT_FALSE(rig.edit.Running());
}

TEST(PixelEdit, SizeLimitIsFifteenHundredPixelsPerSide) {
    struct Case {
        int w, h;
        bool runs;
    };
    for (const Case c : {Case{1500, 1500, true}, Case{1501, 10, false}, Case{10, 1501, false}}) {
        PixelEditRig rig;
        const Image original = Striped(c.w, c.h);
        Image picture = original;
        EXPECT_EQ(rig.edit.Run(Filter::Invert, picture, true), c.runs) << c.w << " x " << c.h;
        if (c.runs) {
            EXPECT_EQ(picture, Inverted(original));
            EXPECT_TRUE(rig.dialogs.messages.empty());
            EXPECT_EQ(rig.edit.PixelWidth(), c.w);
        } else {
            EXPECT_EQ(picture, original);
            EXPECT_EQ(rig.dialogs.messages, std::vector<std::string>{kTooLarge});
            EXPECT_EQ(rig.edit.PixelWidth(), 0);
            EXPECT_EQ(rig.edit.PixelHeight(), 0);
            EXPECT_EQ(rig.status(), "before");
            EXPECT_EQ(rig.model.status.progress, 0);
            EXPECT_TRUE(rig.pump.painted.empty());
        }
    }
}

TEST(PixelEdit, BusyFromBeginToEndThenTimed) {
    PixelEditRig rig;
    rig.clock.script = {10.0, 10.25}; // at the start, at the end
    Image picture = Striped(6, 4);
    const Image original = picture;
    ASSERT_TRUE(rig.edit.BeginPixelEdit(picture, true));
    EXPECT_TRUE(rig.edit.Running());
    EXPECT_EQ(rig.model.status.progress, 37.5); // after the last of four rows read
    EXPECT_EQ(rig.edit.ImagePixels(), original);
    EXPECT_FALSE(rig.edit.BeginPixelEdit(picture, true)); // a second edit waits its turn

    rig.edit.RowFinished(2);
    EXPECT_EQ(rig.model.status.progress, 75);
    core::Invert(rig.edit.ImagePixels(), rig.edit.OutputSurface(), rig.edit.progress());
    EXPECT_EQ(rig.model.status.progress, 87.5);
    EXPECT_EQ(picture, original); // nothing reaches the picture before the copy-back

    rig.edit.EndPixelEdit({1, 2, 3, 1});
    Image expected = original;
    for (int x = 1; x <= 3; ++x) expected.at(x, 2) = Inverted(original).at(x, 2);
    EXPECT_EQ(picture, expected);
    EXPECT_EQ(rig.refreshed, 1);
    EXPECT_EQ(rig.status(), "Processed in ,250 seconds.");
    EXPECT_EQ(rig.model.status.progress, 0);
    EXPECT_FALSE(rig.edit.Running());
}

TEST(PixelEdit, CopyBackIsClippedToThePicture) {
    for (const core::PixelRect rect : {core::PixelRect{-5, -5, 100, 100}, core::PixelRect{3, 1, 2147483647, 2},
                                       core::PixelRect{4, 0, -3, 9}, core::PixelRect{9, 9, 4, 4}}) {
        PixelEditRig rig;
        Image picture = Striped(5, 3);
        const Image original = picture;
        ASSERT_TRUE(rig.edit.BeginPixelEdit(picture, true));
        core::Invert(rig.edit.ImagePixels(), rig.edit.OutputSurface());
        rig.edit.EndPixelEdit(rect);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const bool inside = x >= rect.left && y >= rect.top &&
                                    x - rect.left < rect.width && y - rect.top < rect.height;
                EXPECT_EQ(picture.at(x, y), inside ? Inverted(original).at(x, y) : original.at(x, y));
            }
    }
}

// Pictures too small for the frame filters come back unchanged, but the edit still reports.
TEST(PixelEdit, SmallPicturesKeepTheirFrameAndStillReport) {
    for (Filter filter : {Filter::Emboss, Filter::Diffuse}) {
        PixelEditRig rig;
        Image picture = Striped(filter == Filter::Diffuse ? 4 : 2, 7);
        const Image original = picture;
        ASSERT_TRUE(rig.edit.Run(filter, picture, true));
        EXPECT_EQ(picture, original);
        EXPECT_EQ(rig.status().rfind("Processed in ", 0), 0u);
    }
}

// The one yield comes before the picture is read: what the events do to it is edited.
TEST(PixelEdit, EventsRunOnceBeforeTheRead) {
    PixelEditRig rig;
    Image picture = Striped(4, 4);
    int yields = 0;
    rig.pump.pending = [&] {
        if (++yields == 1) {
            picture.at(0, 0) = 0xFF000000u;
            EXPECT_FALSE(rig.edit.Run(Filter::Invert, picture, true)); // no edit inside an edit
        }
    };
    ASSERT_TRUE(rig.edit.Run(Filter::Invert, picture, true));
    EXPECT_EQ(rig.pump.painted.front(), "events before");
    EXPECT_EQ(yields, 2); // the yield, then the repaint after the copy-back
    EXPECT_EQ(picture.at(0, 0), 0xFFFFFFFFu);
}

// A picture the events replace by a too large one is not read.
TEST(PixelEdit, PictureGrownDuringTheYieldIsLeftAlone) {
    PixelEditRig rig;
    Image picture = Striped(4, 4);
    const Image larger = Striped(1501, 2);
    rig.pump.pending = [&] { picture = larger; };
    EXPECT_FALSE(rig.edit.Run(Filter::Invert, picture, true));
    EXPECT_EQ(picture, larger);
    EXPECT_EQ(rig.model.status.progress, 0);
    EXPECT_FALSE(rig.edit.Running());
}

} // namespace
