#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/folderbrowser.h"
#include "core/browser/thumbnailgrid.h"
#include "core/browser/thumbnailsheet.h"
#include "fakes/platformfakes.h"
#include "fakes/recordinghooks.h"
#include "fakes/tempfolder.h"

using namespace vistrel::core;
using Calls = std::vector<std::string>;

namespace {

class ThumbnailGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.lblFileName0.top = 1320;
        model.lblFileName0.width = 1295;
        model.picBack.width = 3151; // two cells a row
        sheet.StartCells();
        for (int i = 0; i < 10; ++i) {
            ThumbnailCell& cell = i == 0 ? sheet.cell(0) : sheet.AddCell();
            cell.image = {387.5, 360, 800, 600};
            cell.caption.left = 140;
            sheet.SetCellVisible(i, true);
        }
    }
    void click(int index, CellZone zone) {
        grid.MouseDown(index, zone, MouseButton::Left);
        grid.MouseUp(index, zone, MouseButton::Left);
    }

    vistrel::test::TempFolder dir;
    vistrel::test::FakeVolumes volumes;
    vistrel::test::RecordingHooks hooks;
    MainWindowModel model;
    FolderBrowser browser{volumes, model.status, hooks, dir.path()};
    ThumbnailSheet sheet{model};
    ThumbnailGrid grid{model, sheet, browser, hooks};
};

} // namespace

TEST_F(ThumbnailGridTest, HitTestFindsCellAndZone) {
    const std::vector<std::pair<std::pair<Twips, Twips>, std::optional<CellHit>>> cases{
        {{400, 400}, CellHit{0, CellZone::Image}},
        {{100, 100}, CellHit{0, CellZone::Frame}},
        {{200, 1400}, CellHit{0, CellZone::Caption}},
        {{1575 + 400, 400}, CellHit{1, CellZone::Image}},
        {{1575 + 1500, 1575 * 4 + 1500}, CellHit{9, CellZone::Frame}},
        {{3151 - 1, 100}, std::nullopt}, // right of the second column
        {{100, 1575 * 5}, std::nullopt}, // below the last row
    };
    for (const auto& [point, hit] : cases)
        EXPECT_EQ(sheet.HitTest(point.first, point.second), hit)
            << point.first << "," << point.second;
    sheet.SetCellVisible(1, false);
    EXPECT_EQ(sheet.HitTest(1575 + 400, 400), std::nullopt);
    EXPECT_EQ(sheet.CellsBetween(1575 * 2 + 10, 1575 * 3 + 10), (std::pair{4, 8}));
    EXPECT_EQ(sheet.CellsBetween(0, 1), (std::pair{0, 2}));
}

TEST_F(ThumbnailGridTest, ShiftClicksOnImagesOrFramesToggleTheLaterCells) {
    // Click 2, hold Shift and click 5, press Shift again and click 7. A release on a frame
    // ends the Shift, which is why the sequence presses it again.
    const std::vector<std::pair<CellZone, Calls>> cases{
        {CellZone::Image, {"index 2", "load", "index 5", "toggle", "index 7", "toggle"}},
        {CellZone::Frame,
         {"index 2", "index 2", "load", "index 5", "index 5", "toggle", "index 7", "index 7",
          "toggle"}},
    };
    for (const auto& [zone, expected] : cases) {
        hooks.calls.clear();
        click(2, zone);
        grid.KeyDown(CellKey::Shift);
        click(5, zone);
        EXPECT_EQ(browser.ShiftHeld(), zone == CellZone::Frame ? 0 : 1);
        grid.KeyDown(CellKey::Shift);
        click(7, zone);
        EXPECT_EQ(hooks.calls, expected);
        grid.KeyUp(CellKey::Shift);
        EXPECT_EQ(browser.ShiftHeld(), 0);
    }
}

TEST_F(ThumbnailGridTest, ReleaseBelongsToThePressAndARightPressOnlyOpensTheMenu) {
    grid.MouseDown(2, CellZone::Image, MouseButton::Left);
    grid.MouseUp(3, CellZone::Frame, MouseButton::Left); // dragged off the image
    EXPECT_EQ(hooks.calls, (Calls{"index 2", "load"}));

    hooks.calls.clear();
    const std::string menu = "menu mnuRightDisplay -mnuLine9 -mnuZoomInR -mnuZoomOutR";
    click(4, CellZone::Caption);
    grid.MouseDown(5, CellZone::Image, MouseButton::Right);
    grid.MouseUp(5, CellZone::Image, MouseButton::Right);
    grid.MouseDown(6, CellZone::Frame, MouseButton::Right);
    grid.MouseUp(6, CellZone::Frame, MouseButton::Right);
    EXPECT_EQ(hooks.calls, (Calls{menu, "index 6", menu}));
}

TEST_F(ThumbnailGridTest, KeysActOnlyWhileACellHasTheFocus) {
    grid.KeyDown(CellKey::Delete);
    grid.KeyDown(CellKey::Shift);
    EXPECT_TRUE(hooks.calls.empty());
    EXPECT_EQ(browser.ShiftHeld(), 0);

    grid.MouseDown(1, CellZone::Frame, MouseButton::Middle);
    EXPECT_EQ(sheet.focusedCell(), 1);
    hooks.calls.clear();
    for (CellKey key : {CellKey::Delete, CellKey::Up, CellKey::Down, CellKey::Left, CellKey::Right,
                        CellKey::Enter, CellKey::Other})
        grid.KeyDown(key);
    EXPECT_EQ(hooks.calls,
              (Calls{"delete", "zoomIn", "zoomOut", "previous", "next", "fullScreen"}));
    grid.KeyDown(CellKey::Shift);
    EXPECT_EQ(browser.ShiftHeld(), 1);
    grid.KeyUp(CellKey::Other);
    EXPECT_EQ(browser.ShiftHeld(), 0);

    sheet.Clear(); // the cells are gone, and the focus with them
    grid.KeyDown(CellKey::Delete);
    EXPECT_EQ(hooks.calls.size(), 6u);
}

TEST_F(ThumbnailGridTest, ScrollValueIsClampedAndPrintNeedsASelection) {
    model.picBack.height = 50000;
    model.sheetScrollMax = model.vScrollState.maximum = 32000;
    grid.VScroll_Change(99999);
    EXPECT_EQ(model.vScrollState.value, 32000);
    EXPECT_DOUBLE_EQ(model.picBack.top + model.picBack.height, model.picPreview.innerHeight());

    EXPECT_TRUE(grid.PrintEntry());
    EXPECT_EQ(model.status.text(StatusBarState::Status), "Status");
    hooks.empty = true;
    EXPECT_FALSE(grid.PrintEntry());
    EXPECT_EQ(model.status.text(StatusBarState::Status), "No images selected");
}
