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
        for (int i = 0; i < 10; ++i) sheet.FillCell(i, "", Image(), Extent{800, 600});
    }
    void click(int index, CellZone zone) {
        grid.MouseDown(index, zone, MouseButton::Left);
        grid.MouseUp(index, zone, MouseButton::Left);
    }

    vistrel::test::TempFolder dir;
    vistrel::test::FakeVolumes volumes;
    vistrel::test::RecordingHooks hooks;
    MainWindowModel model;
    FolderBrowser browser{volumes, model.status, dir.path(), {&hooks, &hooks, &hooks}};
    ThumbnailSheet sheet{model};
    ThumbnailGrid grid{model, sheet, browser, hooks, hooks};
};

} // namespace

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
        grid.KeyDown(Key::Shift);
        click(5, zone);
        EXPECT_EQ(browser.ShiftHeld(), zone == CellZone::Frame ? 0 : 1);
        grid.KeyDown(Key::Shift);
        click(7, zone);
        EXPECT_EQ(hooks.calls, expected);
        grid.KeyUp(Key::Shift);
        EXPECT_EQ(browser.ShiftHeld(), 0);
    }
}

TEST_F(ThumbnailGridTest, ReleaseBelongsToThePressAndARightPressOnlyOpensTheMenu) {
    grid.MouseDown(2, CellZone::Image, MouseButton::Left);
    grid.MouseUp(3, CellZone::Frame, MouseButton::Left); // dragged off the image
    EXPECT_EQ(hooks.calls, (Calls{"index 2", "load"}));

    hooks.calls.clear();
    const std::string menu = "menu cell";
    click(4, CellZone::Caption);
    grid.MouseDown(5, CellZone::Image, MouseButton::Right);
    grid.MouseUp(5, CellZone::Image, MouseButton::Right);
    grid.MouseDown(6, CellZone::Frame, MouseButton::Right);
    grid.MouseUp(6, CellZone::Frame, MouseButton::Right);
    EXPECT_EQ(hooks.calls, (Calls{menu, "index 6", menu}));
}

TEST_F(ThumbnailGridTest, KeysActOnlyWhileACellHasTheFocus) {
    grid.KeyDown(Key::Delete);
    grid.KeyDown(Key::Shift);
    EXPECT_TRUE(hooks.calls.empty());
    EXPECT_EQ(browser.ShiftHeld(), 0);

    grid.MouseDown(1, CellZone::Frame, MouseButton::Middle);
    EXPECT_EQ(sheet.focusedCell(), 1);
    hooks.calls.clear();
    for (Key key : {Key::Delete, Key::Up, Key::Down, Key::Left, Key::Right,
                        Key::Enter, Key::Other})
        grid.KeyDown(key);
    EXPECT_EQ(hooks.calls,
              (Calls{"delete", "zoomIn", "zoomOut", "previous", "next", "fullScreen"}));
    grid.KeyDown(Key::Shift);
    EXPECT_EQ(browser.ShiftHeld(), 1);
    grid.KeyUp(Key::Other);
    EXPECT_EQ(browser.ShiftHeld(), 0);

    sheet.Clear(); // the cells are gone, and the focus with them
    grid.KeyDown(Key::Delete);
    EXPECT_EQ(hooks.calls.size(), 6u);
}

namespace {

// A sheet of two cells a row in the pane at its default size (5950 high, 5890 inside its
// border), with the scroll range the layout gives it: the sheet's height, capped at 32000.
class GridScrollTest : public ThumbnailGridTest {
protected:
    static constexpr Twips kRow = 1575;
    void fill(int cells) {
        sheet.StartCells(cells);
        for (int i = 1; i < cells; ++i)
            sheet.AddCell();
        for (int i = 0; i < cells; ++i)
            sheet.SetCellVisible(i, true);
        model.picBack.height = sheet.lastCellBottom();
        model.vScrollState.maximum =
            static_cast<int>(std::min<Twips>(model.picBack.height, 32000));
        model.vScroll.visible = model.picBack.height > model.picPreview.height;
        grid.VScroll_Change(0);
    }
    Twips pane() const { return model.picPreview.innerHeight(); }
    Twips travel() const { return model.picBack.height - pane(); }
    Twips unit() const { return travel() / model.vScrollState.maximum; } // twips per scroll-bar unit
    Twips offset() const { return -model.picBack.top; }
    void scrollTo(Twips twips) {
        grid.VScroll_Change(static_cast<int>(twips / travel() * model.vScrollState.maximum + 0.5));
    }
};

struct Turn {
    Key key = Key::Other; // Other: a wheel turn
    int delta = 0;
    int lines = 3;
};
Turn Wheel(int delta, int lines = 3) { return {Key::Other, delta, lines}; }
Turn Press(Key key) { return {key}; }

} // namespace

TEST_F(GridScrollTest, WheelAndPageKeysMoveByRowsAndStopAtBothEnds) {
    struct Case {
        const char* what;
        double start; // share of the scroll range
        std::vector<Turn> turns;
        double rows;     // where the sheet ends, in rows from the top
        bool fromBottom; // or from the bottom
    };
    const Turn quarter = Wheel(-30);
    const Case cases[] = {
        {"a notch down is a row", 0, {Wheel(-120)}, 1, false},
        {"quarter notches add up", 0, {quarter, quarter, quarter, quarter}, 1, false},
        {"a notch of one line", 0, {Wheel(-120, 1)}, 1.0 / 3, false},
        {"five notches at once stop at a page", 0, {Wheel(-600)}, 3, false},
        {"up at the top", 0, {Wheel(120)}, 0, false},
        {"down at the bottom", 1, {Wheel(-120)}, 0, true},
        {"up from the bottom", 1, {Wheel(120)}, 1, true},
        {"a page is the whole rows shown", 0, {Press(Key::PageDown)}, 3, false},
        {"two pages", 0, {Press(Key::PageDown), Press(Key::PageDown)}, 6, false},
        {"page up at the top", 0, {Press(Key::PageUp)}, 0, false},
        {"page down at the bottom", 1, {Press(Key::PageDown)}, 0, true},
        {"page up from the bottom", 1, {Press(Key::PageUp)}, 3, true},
        {"home", 0.5, {Press(Key::Home)}, 0, false},
        {"end reaches the last row past the cap", 0.5, {Press(Key::End)}, 0, true},
    };
    fill(100); // 50 rows, 78750 high
    ASSERT_EQ(model.vScrollState.maximum, 32000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        grid.VScroll_Change(static_cast<int>(c.start * model.vScrollState.maximum));
        for (const Turn& t : c.turns)
            t.key == Key::Other ? grid.Wheel(t.delta, t.lines) : grid.KeyDown(t.key);
        const Twips want = c.fromBottom ? travel() - c.rows * kRow : c.rows * kRow;
        EXPECT_NEAR(offset(), want, 2 * unit());
        EXPECT_EQ(model.vScrollState.value,
                  static_cast<int>(offset() / travel() * model.vScrollState.maximum + 0.5));
    }

    // In a pane lower than a row a page is the pane's height.
    model.picPreview.height = 1000;
    model.vScroll.visible = true;
    grid.VScroll_Change(0);
    grid.KeyDown(Key::PageDown);
    EXPECT_NEAR(offset(), 940, 2 * unit());
}

TEST_F(GridScrollTest, NothingScrollsWhenTheSheetFitsThePane) {
    for (int cells : {1, 6}) { // a lone (empty) cell; three rows, 4725 high
        SCOPED_TRACE(cells);
        fill(cells);
        if (cells == 1) sheet.SetCellVisible(0, false);
        for (const Turn& t : {Wheel(-120), Wheel(-600), Press(Key::PageDown),
                              Press(Key::End), Wheel(120)}) {
            t.key == Key::Other ? grid.Wheel(t.delta, t.lines) : grid.KeyDown(t.key);
            EXPECT_EQ(model.vScrollState.value, 0);
            EXPECT_EQ(model.picBack.top, 0);
        }
        grid.ScrollIntoView(cells - 1);
        EXPECT_EQ(model.picBack.top, 0);
    }
}

TEST_F(GridScrollTest, ScrollIntoViewMovesTheLeastThatShowsTheCellWhole) {
    struct Case {
        const char* what;
        Twips from; // the sheet's offset before
        int cell;   // two a row: cell 2k is in row k
        Twips to;   // the offset after
    };
    const Twips below = kRow - 5890; // row k + below puts row k's bottom at the pane's bottom
    const Case cases[] = {
        {"below", 0, 20, 10 * kRow + below},
        {"partly below", 0, 7, 3 * kRow + below},
        {"above", 40000, 0, 0},
        {"partly above", 10 * kRow + 100, 21, 10 * kRow},
        {"already shown", 300, 5, 300},
        {"no such cell", 300, 100, 300},
        {"no cell", 300, -1, 300},
    };
    fill(100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scrollTo(c.from);
        const Twips before = offset();
        grid.ScrollIntoView(c.cell);
        EXPECT_NEAR(offset(), c.to, unit());
        if (c.to == c.from) {
            EXPECT_EQ(offset(), before);
        }
        if (c.cell < 0 || c.cell >= sheet.cellCount()) continue;
        const Box& cell = sheet.cell(c.cell).cell;
        EXPECT_GE(cell.top, offset());
        EXPECT_LE(cell.bottom(), offset() + pane());
    }
}
