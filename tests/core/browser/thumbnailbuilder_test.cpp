#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/browsertestsupport.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/thumbnailbuilder.h"
#include "core/browser/thumbnailsheet.h"

using namespace vistrel::core;
using Texts = std::vector<std::string>;

namespace {

// Pictures of chosen pixel sizes or failures, by file name; safe on any number of threads.
// The gated file waits until `gateAfter` other files have been decoded.
class FakeLoader : public PictureLoader {
public:
    struct Picture { int width = 100, height = 50; LoadError error = LoadError::None; bool throws = false; };
    std::map<std::string, Picture> pictures; // read-only during a build
    std::string gated;
    std::size_t gateAfter = 0;

    LoadResult load(const std::string& path) const override { return loadScaled(path, 1 << 20, 1 << 20); }
    LoadResult loadScaled(const std::string& path, int maxW, int maxH) const override {
        const std::string name = std::filesystem::path(path).filename().string();
        {
            std::unique_lock lock(m_mutex);
            started.push_back(name);
            box = {maxW, maxH};
            if (name == gated) { // the wait's limit only keeps a broken decoder from hanging the run
                gateOpened = m_changed.wait_for(lock, std::chrono::seconds(30),
                                                [&] { return finished.size() >= gateAfter; });
                startedWhileGated = started;
            }
        }
        const auto it = pictures.find(name);
        const Picture picture = it == pictures.end() ? Picture{} : it->second;
        if (picture.throws) throw std::runtime_error("decoder crashed");
        LoadResult result = LoadResult::failure(path, picture.error);
        if (result.ok()) {
            const PixelSize size = FitInside(picture.width, picture.height, maxW, maxH);
            result.image = Image(size.width, size.height);
            result.naturalWidth = picture.width;
            result.naturalHeight = picture.height;
        }
        std::lock_guard lock(m_mutex);
        finished.push_back(name);
        m_changed.notify_all();
        return result;
    }
    // Read these only while no build runs.
    mutable Texts started, finished, startedWhileGated;
    mutable PixelSize box;
    mutable bool gateOpened = false;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
};

// Readings follow the script, then go on by `step` each.
struct ManualClock : Clock {
    std::vector<double> script;
    double step = 0;
    mutable std::size_t reading = 0;
    mutable double last = 0;
    std::chrono::system_clock::time_point now() const override { return {}; }
    double elapsedSeconds() const override {
        return last = reading < script.size() ? script[reading++] : last + step;
    }
    double random() override { return 0; }
};

// Records panel 3 and the progress each time the window is painted.
struct RecordingPump : EventPump {
    const MainWindowModel* model = nullptr;
    bool throwOnRepaint = false;
    Texts painted;
    void processPendingEvents() override { painted.push_back("events " + model->status.text(StatusBarState::Status)); }
    void repaint() override {
        if (throwOnRepaint) throw std::runtime_error("paint failed");
        painted.push_back(model->status.text(StatusBarState::Status) + " @" +
                          std::to_string(static_cast<int>(model->status.progress)));
    }
};

struct RecordingBuilderHooks : ThumbnailBuilderHooks {
    MainWindowModel* model = nullptr;
    Texts calls;
    void clearPictureSurfaces() override { calls.push_back("clearSurfaces"); }
    void hideResizeHandles() override { calls.push_back("hideHandles"); }
    void setCurrentFileIndex(int i) override { calls.push_back("index " + std::to_string(i)); }
    void setImageCount(int n) override { calls.push_back("count " + std::to_string(n)); }
    void loadSelectedImage() override { // as the real load does in an empty folder
        calls.push_back("load seeing " + model->status.text(StatusBarState::Status));
        if (!model->picCase0.visible) model->status.setText(StatusBarState::Status, "No file selected");
    }
};

class ThumbnailBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.lblFileName0.top = 1320; // as start-up leaves the caption template
        model.lblFileName0.width = 1295;
        model.vScroll.left = 3151;     // two cells a row
        pump.model = &model;
        hooks.model = &model;
    }
    // Builds files "p1.jpg".."pN.jpg".
    void build(int files, int threads = 2, double twipsPerPixel = 15) {
        for (int i = 1; i <= files; ++i) dir.file("p" + std::to_string(i) + ".jpg");
        browser = std::make_unique<FolderBrowser>(volumes, model.status, browserHooks, dir.path());
        browser->RefreshLists();
        builder = std::make_unique<ThumbnailBuilder>(model, sheet, *browser, loader, clock, pump,
                                                     hooks, twipsPerPixel, threads);
        builder->ClearThumbnails();
        builder->BuildThumbnails();
    }
    std::string panel3() const { return model.status.text(StatusBarState::Status); }

    vistrel::test::TempFolder dir;
    vistrel::test::FakeVolumes volumes;
    vistrel::test::RecordingHooks browserHooks;
    MainWindowModel model;
    ThumbnailSheet sheet{model};
    FakeLoader loader;
    ManualClock clock;
    RecordingPump pump;
    RecordingBuilderHooks hooks;
    std::unique_ptr<FolderBrowser> browser;
    std::unique_ptr<ThumbnailBuilder> builder;
};

} // namespace

TEST(ThumbnailSize, OneFactorForBothSidesAndNeverEnlarged) {
    const std::vector<std::pair<ThumbnailExtent, ThumbnailExtent>> cases{
        {{2000, 1000}, {1295, 647.5}}, {{1000, 2000}, {560, 1120}},
        {{800, 600}, {800, 600}},      {{1296, 100}, {1295, 100 * 1295.0 / 1296}},
    };
    for (const auto& [picture, expected] : cases) {
        const ThumbnailExtent got = ThumbnailSize(picture.width, picture.height, 1295, 1120);
        EXPECT_DOUBLE_EQ(got.width, expected.width) << picture.width << "x" << picture.height;
        EXPECT_DOUBLE_EQ(got.height, expected.height) << picture.width << "x" << picture.height;
    }
}

TEST(FormatBuildTime, HoursMinutesSecondsMilliseconds) {
    const std::vector<std::pair<double, std::string>> cases{
        {0, "00:00:00:000"},        {3.25, "00:00:03:250"},  {59.9996, "00:01:00:000"},
        {3661.007, "01:01:01:007"}, {90000, "25:00:00:000"}, {-2, "00:00:00:000"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatBuildTime(seconds), text) << seconds;
}

TEST_F(ThumbnailBuilderTest, ThumbnailsKeepProportionsAndAreCentredAboveTheCaption) {
    // At 10 twips a pixel: 2000 x 1000, 1000 x 2000 and 800 x 600 twips.
    loader.pictures = {{"p1.jpg", {200, 100}}, {"p2.jpg", {100, 200}}, {"p3.jpg", {80, 60}}};
    build(3, 2, 10);
    const std::vector<Box> images{{140, 336.25, 1295, 647.5}, {507.5, 100, 560, 1120}, {387.5, 360, 800, 600}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sheet.cell(i).image, images[i]) << i;
        EXPECT_EQ(sheet.cell(i).caption, (Box{140, 1320, 1295, 255}));
    }
    EXPECT_EQ(loader.box, (PixelSize{130, 112})); // the box in pixels, rounded up
}

TEST_F(ThumbnailBuilderTest, ACellStartsARowWhenItWouldReachTheSheetsEdge) {
    for (const auto& [width, left, top] : std::vector<std::array<Twips, 3>>{{3150, 0, 1575}, {3151, 1575, 0}}) {
        model.picBack.width = width;
        sheet.StartCells();
        EXPECT_EQ(sheet.AddCell().cell, (Box{left, top, 1575, 1575, false})) << width;
    }
    for (int i = 0; i < 4; ++i) sheet.AddCell(); // six cells, two a row
    model.picBack.width = 8000;
    sheet.ResizeCases();
    EXPECT_EQ(sheet.cell(5).cell, (Box{0, 1575, 1575, 1575, false}));
    EXPECT_EQ(sheet.GridRowCount(), 1);
}

TEST_F(ThumbnailBuilderTest, EmptyFolderShowsNoCellThenTheBuildTimeThenTheLoadsMessage) {
    clock.script = {10, 12.5};
    build(0);
    EXPECT_EQ(sheet.cellCount(), 1);
    EXPECT_FALSE(sheet.cell(0).cell.visible);
    EXPECT_EQ(model.picBack.height, 1575);
    EXPECT_EQ(pump.painted, (Texts{"events Status", "00:00:02:500 @0"}));
    EXPECT_EQ(hooks.calls, (Texts{"clearSurfaces", "hideHandles", "index 0", "count 0", "load seeing 00:00:02:500"}));
    EXPECT_EQ(panel3(), "No file selected");
}

TEST_F(ThumbnailBuilderTest, ProgressPerFileWithDoneBeforeTheLastThenTheBuildTime) {
    clock.step = 1; // a second between readings: a repaint after every file
    build(8);
    EXPECT_EQ(pump.painted, (Texts{"events Status", "1 % @0", "14 % @12", "26 % @25", "38 % @37", "51 % @50",
                                   "64 % @62", "76 % @75", "Done @0", "00:00:09:000 @0"}));
    EXPECT_EQ(hooks.calls.back(), "load seeing 00:00:09:000");
    EXPECT_EQ(model.cursor, Cursor::Default);
}

TEST_F(ThumbnailBuilderTest, OneFileIsDoneAtOnceAndNeverBusy) {
    clock.step = 1;
    build(1);
    EXPECT_EQ(pump.painted, (Texts{"events Status", "Done @0", "00:00:02:000 @0"}));
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
    EXPECT_EQ(pump.painted[5], error + " @50");
    EXPECT_EQ(pump.painted[7], "Error: p7.jpg: decoder crashed @75");
    EXPECT_EQ(pump.painted.back(), "00:00:09:000 @0");
    EXPECT_EQ(panel3(), error);
    EXPECT_EQ(hooks.calls[hooks.calls.size() - 2], "count 8");
    EXPECT_EQ(model.picBack.height, 4 * 1575);
}

TEST_F(ThumbnailBuilderTest, ScrollMaximumCapsAt32000AndStillReachesTheBottom) {
    build(41); // 21 rows
    EXPECT_EQ(model.picBack.height, 21 * 1575);
    EXPECT_EQ(model.sheetScrollMax, 32000);
    EXPECT_EQ(model.vScrollState.maximum, 32000);
    EXPECT_TRUE(model.vScroll.visible);
    model.vScrollState.value = 32000;
    sheet.VScroll_Change();
    EXPECT_DOUBLE_EQ(model.picBack.top + model.picBack.height, model.picPreview.innerHeight());

    builder->ClearThumbnails();
    EXPECT_EQ(model.vScrollState.value, 0);
    EXPECT_EQ(model.picBack.top, 0);
    EXPECT_EQ(sheet.cellCount(), 1);
    EXPECT_TRUE(sheet.cell(0).thumbnail.isNull());
}

TEST_F(ThumbnailBuilderTest, FileOrderIsKeptWhenLaterFilesDecodeFirstAndLookAheadIsBounded) {
    // p1 is held until five later files are done; with three threads no more than the
    // look-ahead of six files may start meanwhile.
    loader.gated = "p1.jpg";
    loader.gateAfter = 5;
    for (int i = 1; i <= 12; ++i) loader.pictures["p" + std::to_string(i) + ".jpg"] = {10 + i, 5};
    build(12, 3);
    ASSERT_EQ(builder->lookAhead(), 6);
    ASSERT_TRUE(loader.gateOpened);
    EXPECT_EQ(loader.finished.at(5), "p1.jpg");
    std::sort(loader.startedWhileGated.begin(), loader.startedWhileGated.end());
    EXPECT_EQ(loader.startedWhileGated, (Texts{"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg", "p6.jpg"}));
    for (int i = 0; i < 12; ++i) EXPECT_EQ(sheet.cell(i).thumbnail.width(), 11 + i) << i;
}

TEST_F(ThumbnailBuilderTest, AFailureOutsideTheDecodersJoinsTheWorkersAndLeavesTheWindowIdle) {
    pump.throwOnRepaint = true;
    clock.step = 1;
    EXPECT_THROW(build(30, 4), std::runtime_error);
    EXPECT_LE(loader.finished.size(), 1u + 8u); // the first file and at most the look-ahead
    EXPECT_EQ(model.status.progress, 0);
    EXPECT_EQ(model.cursor, Cursor::Default);
}
