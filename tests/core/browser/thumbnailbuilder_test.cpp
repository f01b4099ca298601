#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/thumbnailbuilder.h"
#include "core/browser/thumbnailsheet.h"
#include "fakes/rigs.h"

using namespace vistrel::core;
using Texts = std::vector<std::string>;

namespace {

// Records what panel 3 shows when the build asks for the load, which, as the real load does
// in an empty folder, then reports that no file is selected.
struct BuilderHooks : vistrel::test::RecordingHooks {
    MainWindowModel* model = nullptr;
    bool emptyFolder = false;
    void loadSelectedImage() override {
        RecordingHooks::loadSelectedImage();
        calls.back() = "load seeing " + model->status.text(StatusBarState::Status);
        if (emptyFolder) model->status.setText(StatusBarState::Status, "No file selected");
    }
};

struct ThumbnailBuilderTest : ::testing::Test, vistrel::test::BrowserRig<BuilderHooks> {
    ThumbnailBuilderTest() {
        model.lblFileName0.top = 1320; // as start-up leaves the caption template
        model.lblFileName0.width = 1295;
        model.vScroll.left = 3151; // two cells a row
        pump.status = &model.status;
        hooks.model = &model;
    }
    // Builds files "p1.jpg".."pN.jpg"; with no thread every file is decoded in turn.
    void build(int files, int threads = -1, double twipsPerPixel = 15) {
        hooks.emptyFolder = files == 0;
        std::vector<std::string> names;
        for (int i = 1; i <= files; ++i)
            names.push_back("p" + std::to_string(i) + ".jpg");
        openBrowser(names);
        browser->RefreshLists();
        builder.reset(); // it lets go of the sheet as it goes
        builder = std::make_unique<ThumbnailBuilder>(model, sheet, *browser, loader, clock, pump,
                                                     &hooks, twipsPerPixel, threads);
        builder->setThumbnailBudget(budget);
        builder->ClearThumbnails();
        builder->BuildThumbnails();
    }

    ThumbnailSheet sheet{model};
    std::size_t budget = ThumbnailBuilder::DefaultThumbnailBudget;
    vistrel::test::FakeLoader loader;
    vistrel::test::FakeClock clock;
    vistrel::test::RecordingPump pump;
    std::unique_ptr<ThumbnailBuilder> builder;
};

} // namespace

TEST(FormatBuildTime, HoursMinutesSecondsMilliseconds) {
    const std::vector<std::pair<double, std::string>> cases{
        {0, "00:00:00:000"},        {3.25, "00:00:03:250"},  {59.9996, "00:01:00:000"},
        {3661.007, "01:01:01:007"}, {90000, "25:00:00:000"}, {-2, "00:00:00:000"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(FormatBuildTime(seconds), text) << seconds;
}

TEST_F(ThumbnailBuilderTest, PicturesAreSizedInTwipsAndDecodedForTheBoxInPixels) {
    // At 10 twips a pixel: 2000 x 1000 and 1000 x 2000 twips (the sheet's tests have the
    // fitting and centring).
    loader.pictures = {{"p1.jpg", {200, 100}}, {"p2.jpg", {100, 200}}};
    build(2, 2, 10);
    EXPECT_EQ(sheet.cell(0).image, (Box{140, 336.25, 1295, 647.5}));
    EXPECT_EQ(sheet.cell(1).image, (Box{507.5, 100, 560, 1120}));
    EXPECT_EQ(sheet.cell(1).caption, (Box{140, 1320, 1295, 255}));
    EXPECT_EQ(loader.box, (PixelSize{130, 112})); // the box in pixels, rounded up
}

TEST_F(ThumbnailBuilderTest, EmptyFolderShowsNoCellThenTheBuildTimeThenTheLoadsMessage) {
    clock.script = {10, 12.5};
    build(0);
    EXPECT_EQ(sheet.cellCount(), 1);
    EXPECT_FALSE(sheet.cell(0).cell.visible);
    EXPECT_EQ(model.picBack.height, 1575);
    EXPECT_EQ(pump.painted, (Texts{"events Status", "Status @0", "00:00:02:500 @0"}));
    EXPECT_EQ(hooks.calls, (Texts{"clearSurfaces", "index 0", "count 0",
                                  "load seeing 00:00:02:500"}));
    EXPECT_EQ(panel(StatusBarState::Status), "No file selected");
}

TEST_F(ThumbnailBuilderTest, ProgressPerFileWithDoneBeforeTheLastThenTheBuildTime) {
    clock.step = 1; // a second between readings: a repaint after every file
    build(8);
    EXPECT_EQ(pump.painted,
              (Texts{"events Status", "Status @0", "1 % @0", "14 % @12", "26 % @25", "38 % @37", "51 % @50",
                     "64 % @62", "76 % @75", "Done @0", "00:00:09:000 @0"}));
    // The first picture is shown before the build, and not loaded again at its end.
    EXPECT_EQ(hooks.calls, (Texts{"clearSurfaces", "index 0", "count 8", "load seeing Status",
                                  "count 8"}));
    EXPECT_EQ(model.cursor, Cursor::Default);
}

TEST_F(ThumbnailBuilderTest, OneFileIsDoneAtOnceAndNeverBusy) {
    clock.step = 1;
    build(1);
    EXPECT_EQ(pump.painted, (Texts{"events Status", "Status @0", "Done @0", "00:00:02:000 @0"}));
    EXPECT_EQ(sheet.cell(0).cell, (Box{0, 0, 1575, 1575}));
    EXPECT_FALSE(model.vScroll.visible);
}

TEST_F(ThumbnailBuilderTest, AFailingPictureGetsAMarkedCellAndTheBuildGoesOn) {
    clock.step = 1;
    loader.pictures["p5.jpg"].error = LoadError::NotAPicture;
    loader.pictures["p7.jpg"].throws = true;
    build(8);
    ASSERT_EQ(sheet.cellCount(), 8);
    for (int i = 0; i < 8; ++i) {
        const bool broken = i == 4 || i == 6;
        EXPECT_TRUE(sheet.cell(i).cell.visible) << i;
        EXPECT_EQ(sheet.cell(i).broken, broken) << i;
        EXPECT_EQ(sheet.cell(i).thumbnail.isNull(), broken) << i;
        EXPECT_EQ(sheet.cell(i).name, "p" + std::to_string(i + 1) + ".jpg");
    }
    const std::string error = "Error: p5.jpg: not a picture file or an unsupported format";
    EXPECT_EQ(pump.painted[6], error + " @50");
    EXPECT_EQ(pump.painted[8], "Error: p7.jpg: decoder crashed @75");
    EXPECT_EQ(pump.painted.back(), "00:00:09:000 @0");
    EXPECT_EQ(panel(StatusBarState::Status), error);
    EXPECT_EQ(hooks.calls.back(), "count 8");
    EXPECT_EQ(model.picBack.height, 4 * 1575);
}

// Where the pump can post, the shown ones come back from a worker; else at once.
TEST_F(ThumbnailBuilderTest, ThumbnailsBeyondTheBudgetGoAndComeBackWhenTheyShow) {
    model.picPreview.height = 2 * 1575; // two rows of two cells show at a time
    const std::size_t one = 87 * 44 * 4; // 100 x 50 into the 87 x 75 pixel box
    budget = 6 * one;
    const auto shownHaveThumbnails = [&] {
        const auto [first, last] = sheet.CellsBetween(-model.picBack.top,
                                                      -model.picBack.top + 2 * 1575);
        EXPECT_EQ(last - first, 4);
        for (int i = first; i < last; ++i)
            if (sheet.cell(i).thumbnail.isNull() && !sheet.cell(i).broken) return false;
        return true;
    };
    const auto scrollTo = [&](int value) {
        sheet.SetScrollValue(value);
        for (int turn = 0; pump.posting && turn < 500 && !shownHaveThumbnails(); ++turn)
            pump.waitForEvents(20, false);
    };
    const auto dropped = [&] {
        int n = 0;
        for (int i = 0; i < sheet.cellCount(); ++i) n += sheet.cell(i).dropped;
        return n;
    };
    for (const bool posting : {false, true}) {
        SCOPED_TRACE(posting);
        pump.posting = posting;
        loader.pictures.clear();
        build(20);
        EXPECT_EQ(sheet.thumbnailBytes(), budget);
        EXPECT_TRUE(shownHaveThumbnails());
        EXPECT_EQ(dropped(), 14);
        for (const int value : {model.vScrollState.maximum, 0}) {
            const std::size_t decodes = loader.finished.size();
            scrollTo(value);
            EXPECT_TRUE(shownHaveThumbnails()) << value;
            EXPECT_GT(loader.finished.size(), decodes) << value;
            EXPECT_EQ(sheet.thumbnailBytes(), budget) << value;
            EXPECT_EQ(dropped(), 14) << value;
        }
        // A file gone since its thumbnail was let go is marked when it shows again.
        scrollTo(model.vScrollState.maximum);
        ASSERT_TRUE(sheet.cell(0).dropped);
        loader.pictures["p1.jpg"].error = LoadError::NotFound;
        scrollTo(0);
        EXPECT_TRUE(sheet.cell(0).broken);
        EXPECT_FALSE(sheet.cell(1).thumbnail.isNull());
    }
}

// The cap itself, and reaching the bottom past it, are the layout's and the grid's tests.
TEST_F(ThumbnailBuilderTest, TheFinishedBuildSetsTheScrollRange) {
    build(41); // 21 rows
    EXPECT_EQ(model.picBack.height, 21 * 1575);
    EXPECT_EQ(model.vScrollState.maximum, 32000);
    EXPECT_TRUE(model.vScroll.visible);
}

TEST_F(ThumbnailBuilderTest, ASlowFileHoldsUpOnlyItsOwnCellWhileTheTextsKeepFileOrder) {
    // p1 is held until every other cell shows.
    const int files = 10;
    loader.gated = "p1.jpg";
    loader.gateAfter = std::size_t(-1);
    for (int i = 1; i <= files; ++i)
        loader.pictures["p" + std::to_string(i) + ".jpg"] = {10 + i, 5};
    pump.pending = [&] {
        int shown = 0;
        for (int i = 0; i < sheet.cellCount(); ++i) shown += sheet.cell(i).cell.visible;
        if (shown == files - 1 && pump.panel3() == "1 %") loader.openGate();
    };
    clock.step = 1; // a paint at every turn
    build(files, 3);
    ASSERT_TRUE(loader.gateOpened);
    for (int i = 0; i < files; ++i)
        EXPECT_EQ(sheet.cell(i).thumbnail.width(), 11 + i) << i;
}

TEST_F(ThumbnailBuilderTest, AFailureOutsideTheDecodersDropsTheBuildAndLeavesTheWindowIdle) {
    build(0, 4);
    const int window = builder->lookAhead();
    pump.throwOnRepaint = true;
    clock.step = 1;
    EXPECT_THROW(build(4 * window, 4), std::runtime_error);
    EXPECT_FALSE(builder->building());
    EXPECT_EQ(model.status.progress, 0);
    EXPECT_EQ(model.cursor, Cursor::Default);
    builder.reset(); // lets the decodes still running end
    // What was taken before the failure, what waited and what was running; nothing after.
    EXPECT_LE(loader.finished.size(), 2u * window + 4);
}
