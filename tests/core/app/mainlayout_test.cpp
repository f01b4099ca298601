#include "core/app/mainlayout.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/recordinghooks.h"

using namespace vistrel::core;
using Calls = std::vector<std::string>;
using O = LayoutResult::Outcome;

namespace {

// A 15000 x 9000 window whose client area is 120 narrower and 690 lower.
class MainLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        model = MainWindowModel{};
        model.frame = {0, 0, 15000, 9000, 14880, 8310, WindowState::Normal};
        cells(3);
        ASSERT_EQ(layout.LayoutMainWindow().outcome, O::LaidOut);
        hooks.calls.clear();
    }
    // The sheet holds this many cells, each this high.
    void cells(int count, Twips height = 1575) {
        model.picCase0.height = height;
        sheet.StartCells(count);
        for (int i = 1; i < count; ++i) sheet.AddCell();
    }
    void drag(Twips from, Twips to) {
        ASSERT_TRUE(layout.SplitterPress(MouseButton::Left, from));
        layout.SplitterMove(to);
    }
    MainWindowModel model;
    vistrel::test::RecordingHooks hooks;
    ThumbnailSheet sheet{model};
    MainLayout layout{model, sheet, hooks};
};

TEST_F(MainLayoutTest, ResizeLaysOutOrSnapsANormalWindowToItsMinimum) {
    using S = WindowState;
    const std::tuple<S, Twips, Twips, Twips, O, Twips> cases[] = {
        // state, thumbnail pane's left, outer width and height, outcome, new size
        {S::Normal, 4700, 6829, 9000, O::ResizeWidth, 6830}, // 4700 + 555 + 1575
        {S::Normal, 4700, 6830, 9000, O::LaidOut, 0},
        {S::Normal, 8000, 10000, 9000, O::ResizeWidth, 10130},
        {S::Normal, 4700, 9000, 4679, O::ResizeHeight, 4680}, // 2760 + 420 + 1500
        {S::Normal, 4700, 6000, 4000, O::ResizeWidth, 6830},
        {S::Maximized, 4700, 6000, 4000, O::LaidOut, 0},
        {S::Minimized, 4700, 6000, 4000, O::Skipped, 0},
    };
    for (const auto& [state, previewLeft, width, height, outcome, size] : cases) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        model.frame = {0, 0, width, height, width - 120, height - 690, state};
        model.picPreview.left = previewLeft;
        hooks.calls.clear();
        const LayoutResult r = layout.LayoutMainWindow();
        EXPECT_EQ(r.outcome, outcome);
        EXPECT_EQ(r.size, size);
        // The window takes the size; its resize lays the panes out.
        EXPECT_EQ(std::pair(model.frame.outerWidth, model.frame.outerHeight),
                  std::pair(width, height));
        if (outcome != O::LaidOut) {
            EXPECT_EQ(hooks.calls, Calls{});
            continue;
        }
        EXPECT_EQ(hooks.calls, Calls{"center"});
        // The three cells re-flow to the pane; only in the low window do they overflow it.
        EXPECT_EQ(model.vScroll.visible, height != 9000);
        for (const Box* pane : {&model.picPreview, &model.picExplorer, &model.picDisplay})
            EXPECT_EQ(pane->bottom(), model.statusBar.top);
        EXPECT_EQ(model.statusBar.bottom(), model.frame.innerHeight);
        EXPECT_EQ(model.picPreview.right(), model.frame.innerWidth);
        EXPECT_EQ(model.vScroll.right(), model.picPreview.innerWidth());
        EXPECT_EQ(model.flbList.bottom(), model.picExplorer.innerHeight());
        // The panels fill the bar but for the size grip, which only a normal window has.
        const auto& p = model.status.panels;
        EXPECT_EQ(p[0].width + p[1].width + p[2].width + p[3].width +
                      (state == S::Normal ? 480 : 230),
                  width);
    }
}

TEST_F(MainLayoutTest, ScrollRangeIsRoundedAndCapped) {
    for (auto [bottom, maximum] :
         {std::pair<Twips, int>{1694.5, 1694}, {1695.5, 1696}, {32000.4, 32000}, {47250, 32000}}) {
        cells(1, bottom);
        model.vScrollState.value = 31000;
        layout.LayoutMainWindow();
        EXPECT_EQ(model.picBack.height, bottom);
        EXPECT_EQ(model.vScrollState.maximum, maximum);
        EXPECT_LE(model.vScrollState.value, maximum); // the bar keeps its value in range
    }
}

TEST_F(MainLayoutTest, SplitterMovesWithinItsLimits) {
    // The gap is 4632..4700. Explorer shown: 1977 + 1575 < X < 15000 - (1575 + 555);
    // hidden: the display pane starts at 0 and 0 + 1575 + 1995 < X.
    EXPECT_FALSE(layout.SplitterPress(MouseButton::Left, 4632));
    EXPECT_FALSE(layout.SplitterPress(MouseButton::Left, 4700));
    EXPECT_FALSE(layout.dragging());
    // Width and press position are kept as whole numbers, halves to even: 2654.5 -> 2654,
    // 2654.5 + 1995 -> 4650, press 4660.5 -> 4660.
    const std::tuple<bool, Twips, bool, Twips> cases[] = {// explorer, to, moves, width
                                                          {true, 3552, false, 2654.5},
                                                          {true, 3553, true, 2654 + 3553 - 4660},
                                                          {true, 12869, true, 2654 + 12869 - 4660},
                                                          {true, 12870, false, 2654.5},
                                                          {false, 3570, false, 4649.5},
                                                          {false, 3571, true, 4650 + 3571 - 4660},
                                                          {false, 12870, false, 4649.5}};
    for (const auto& [explorer, to, moves, width] : cases) {
        SCOPED_TRACE(::testing::Message() << explorer << " " << to);
        SetUp();
        model.picDisplay.width = 2654.5;
        if (!explorer) layout.ToggleExplorer();
        drag(4660.5, to);
        EXPECT_EQ(model.picDisplay.width, width);
        EXPECT_EQ(model.cursor, moves ? Cursor::SizeWestEast : Cursor::Default);
        if (moves) {
            EXPECT_EQ(model.lblFile.width, width);
            EXPECT_EQ(model.picPreview.left, model.picDisplay.right() + 60);
            EXPECT_EQ(model.picPreview.right(), 15000 - 140);
            EXPECT_EQ(model.vScroll.right(), model.picPreview.width - 60);
        }
        layout.SplitterRelease();
        EXPECT_EQ(model.cursor, Cursor::Default);
    }
    layout.SplitterMove(9000); // no drag under way
    EXPECT_EQ(model.picDisplay.width, 4649.5);
}

TEST_F(MainLayoutTest, SplitterReleaseRearrangesAndRescrolls) {
    // Cells are re-arranged only with a visible picture and ResizeHandles = 1; the scroll bar
    // hides when the sheet fits the pane (7515 high).
    const std::tuple<bool, int, Twips, bool> cases[] = {// picture shown, option, sheet, rearranges
                                                        {true, 1, 7516, true},
                                                        {false, 1, 7516, false},
                                                        {true, 0, 7515, false},
                                                        {true, 2, 20000, false},
                                                        {true, 1, 7515, true}};
    for (const auto& [shown, option, sheet, rearranges] : cases) {
        hooks.mainVisible = shown;
        hooks.handlesOption = option;
        cells(1, sheet);
        layout.LayoutMainWindow();
        model.vScrollState.value = model.vScrollState.maximum / 2;
        model.picBack.top = -500;
        drag(model.picDisplay.right() + 10, model.picDisplay.right() + 100);
        hooks.calls.clear();
        layout.SplitterRelease();
        const bool fits = sheet <= 7515;
        Calls expected{"center"};
        if (rearranges) expected.push_back("handles");
        EXPECT_EQ(hooks.calls, expected);
        EXPECT_EQ(model.vScroll.visible, !fits);
        // Half way down the bar the sheet shows its middle.
        EXPECT_NEAR(model.picBack.top, fits ? 0 : -(sheet - 7455) / 2, 1);
    }
    hooks.calls.clear();
    layout.SplitterRelease(); // no drag under way
    EXPECT_TRUE(hooks.calls.empty());
}

TEST_F(MainLayoutTest, ExplorerToggleMovesOnlyTheDisplayPaneAndBothHiddenGiveThumbnailsTheWidth) {
    const Box preview = model.picPreview;
    const Twips width = model.picDisplay.width;
    for (bool shown : {false, true}) {
        layout.ToggleExplorer();
        EXPECT_EQ(model.picExplorer.visible, shown);
        EXPECT_EQ(model.picDisplay.left, shown ? 1995 : 0);
        EXPECT_EQ(model.picFile.left, model.picDisplay.left);
        EXPECT_EQ(model.picDisplay.width, shown ? width : width + 1995);
        EXPECT_EQ(model.lblFile.width, model.picDisplay.width);
        EXPECT_EQ(model.picPreview, preview);
    }
    EXPECT_EQ(hooks.calls, (Calls{"center", "center"}));

    for (bool explorerFirst : {true, false}) {
        SetUp();
        if (explorerFirst) layout.ToggleExplorer();
        layout.ToggleDisplay();
        if (!explorerFirst) layout.ToggleExplorer();
        EXPECT_EQ(model.picPreview.left, 0);
        EXPECT_EQ(model.picPreview.width, 14880);
        EXPECT_EQ(model.vScroll.right(), model.picPreview.innerWidth());
    }
    layout.ToggleDisplay(); // beside the hidden explorer the display pane starts at the edge
    EXPECT_EQ(model.picDisplay.left, 0);
    EXPECT_EQ(model.picPreview.left, model.picDisplay.right() + 60);
    layout.ToggleDisplay();
    layout.ToggleExplorer(); // showing it with the display pane still hidden
    EXPECT_EQ(model.picPreview.left, 1995);
    EXPECT_EQ(model.picPreview.right(), 14880);
}

TEST_F(MainLayoutTest, DisplayToggleRoundTrip) {
    const Box display = model.picDisplay, preview = model.picPreview;
    EXPECT_EQ(layout.ToggleDisplay().outcome, O::LaidOut);
    EXPECT_FALSE(model.picDisplay.visible || model.picFile.visible);
    EXPECT_EQ(model.picPreview.left, display.left);
    EXPECT_EQ(model.picPreview.right(), 14880);
    EXPECT_EQ(sheet.cell(2).cell.top, 0); // the wider sheet holds all three in one row
    layout.ToggleDisplay();
    EXPECT_TRUE(model.picDisplay.visible && model.picFile.visible);
    EXPECT_EQ(model.picDisplay.width, display.width);
    EXPECT_EQ(model.picDisplay.left, 1995);
    EXPECT_EQ(model.picPreview.left, 1995 + display.width + 60);
    EXPECT_EQ(model.picPreview.right(), preview.right());

    layout.ToggleDisplay();
    // Shown again in a narrow window, the pane asks for a wider one.
    model.frame = {0, 0, 6000, 9000, 5880, 8310, WindowState::Normal};
    ASSERT_EQ(layout.LayoutMainWindow().outcome, O::LaidOut);
    const LayoutResult r = layout.ToggleDisplay();
    EXPECT_EQ(r.outcome, O::ResizeWidth);
    EXPECT_EQ(r.size, 1995 + 2655 + 60 + 555 + 1575);
}

// Every change of the thumbnail pane's size decides again whether the sheet needs the scroll
// bar; otherwise rows below the pane could not be reached.
TEST_F(MainLayoutTest, EveryPaneResizeShowsOrHidesTheScrollBar) {
    enum Change { Window, ToolStrip, Explorer };
    const std::tuple<Change, Twips, Twips, bool> cases[] = {
        // change, new window height or tool-strip height, sheet height, scroll bar shown
        {Window, 9000, 7516, true}, // the pane is 8310 - (390 + 375 + 30) = 7515 high
        {Window, 9000, 7515, false},
        {Window, 6000, 7000, true},
        {Window, 12000, 7000, false},
        {ToolStrip, 780, 7200, true}, // the pane loses 390
        {ToolStrip, 300, 7515, false}, // gains 90
        {Explorer, 390, 9000, true}, // with the display pane hidden the cells re-flow
        {Explorer, 390, 3150, false},
    };
    for (const auto& [change, size, sheet, shown] : cases) {
        SCOPED_TRACE(::testing::Message() << change << " " << size << " " << sheet);
        SetUp();
        cells(1, sheet);
        model.vScroll.visible = !shown;
        model.vScrollState.maximum = 100;
        model.vScrollState.value = 50;
        if (change == Window) {
            model.frame.outerHeight = size;
            model.frame.innerHeight = size - 690;
            ASSERT_EQ(layout.LayoutMainWindow().outcome, O::LaidOut);
        } else if (change == ToolStrip) {
            layout.ToolStripHeightChanged(size); // the panes move down or up with it
            EXPECT_EQ(model.picExplorer.top, size + 30);
            EXPECT_EQ(model.picDisplay.top, size + 30 + 360);
            for (const Box* pane : {&model.picExplorer, &model.picPreview, &model.picDisplay})
                EXPECT_EQ(pane->bottom(), model.statusBar.top);
            EXPECT_EQ(model.vScroll.height, model.picPreview.innerHeight());
        } else {
            layout.ToggleDisplay();
            model.vScroll.visible = !shown;
            layout.ToggleExplorer();
        }
        EXPECT_EQ(model.vScroll.visible, shown);
        EXPECT_EQ(model.picBack.height, sheet);
        // A sheet that fits goes back to the top; one that does not follows the bar's value.
        EXPECT_EQ(model.picBack.top < 0, shown);
    }
}

} // namespace
