#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/thumbnailsheet.h"

using namespace vistrel::core;

namespace {

struct ThumbnailSheetTest : ::testing::Test {
    ThumbnailSheetTest() {
        model.lblFileName0.top = 1320; // as start-up leaves the caption template
        model.lblFileName0.width = 1295;
        model.picBack.width = 3151; // two cells a row
    }
    // Fills cells as a build does, each with an 800 x 600 twip picture.
    void fill(int cells) {
        sheet.StartCells(cells);
        for (int i = 0; i < cells; ++i)
            sheet.FillCell(i, "p" + std::to_string(i + 1) + ".jpg", Image(8, 6), Extent{800, 600});
    }

    MainWindowModel model;
    ThumbnailSheet sheet{model};
};

} // namespace

TEST_F(ThumbnailSheetTest, FillCellFitsThePictureAboveTheCaptionOrMarksTheCellBroken) {
    struct Case {
        std::optional<Extent> picture; // twips; none for a file that would not load
        Box image;
    };
    // One factor for both sides, never enlarged; a broken cell's mark is half the box's
    // shorter side. The last case refills a broken cell with a picture.
    const Case cases[] = {
        {Extent{2000, 1000}, {140, 336.25, 1295, 647.5}},
        {Extent{1000, 2000}, {507.5, 100, 560, 1120}},
        {Extent{800, 600}, {387.5, 360, 800, 600}},
        {std::nullopt, {507.5, 380, 560, 560}},
        {Extent{800, 600}, {387.5, 360, 800, 600}},
    };
    sheet.StartCells();
    int added = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image.width);
        // Cell 0, the template, is filled again each time; the others are added.
        for (const int index : {0, ++added}) {
            sheet.FillCell(index, "p.jpg", Image(4, 2), c.picture);
            const ThumbnailCell& cell = sheet.cell(index);
            EXPECT_EQ(cell.image, c.image);
            EXPECT_EQ(cell.caption, (Box{140, 1320, 1295, 255}));
            EXPECT_EQ(cell.name, "p.jpg");
            EXPECT_EQ(cell.broken, !c.picture);
            EXPECT_EQ(cell.thumbnail.width(), c.picture ? 4 : 0);
            EXPECT_TRUE(cell.cell.visible);
        }
        EXPECT_TRUE(model.picCase0.visible);
        EXPECT_EQ(sheet.cellCount(), added + 1);
    }
    EXPECT_THROW(sheet.FillCell(sheet.cellCount() + 1, "q.jpg", Image(), std::nullopt),
                 std::out_of_range);
    EXPECT_THROW(sheet.FillCell(-1, "q.jpg", Image(), std::nullopt), std::out_of_range);
    EXPECT_EQ(sheet.cellCount(), added + 1);
}

TEST_F(ThumbnailSheetTest, ACellStartsARowWhenItWouldReachTheSheetsEdge) {
    for (const auto& [width, left, top] :
         std::vector<std::array<Twips, 3>>{{3150, 0, 1575}, {3151, 1575, 0}}) {
        model.picBack.width = width;
        sheet.StartCells();
        EXPECT_EQ(sheet.cell(sheet.AddCell()).cell, (Box{left, top, 1575, 1575, false})) << width;
    }
    for (int i = 0; i < 4; ++i)
        sheet.AddCell(); // six cells, two a row
    model.picBack.width = 8000;
    sheet.ResizeCases();
    EXPECT_EQ(sheet.cell(5).cell, (Box{0, 1575, 1575, 1575, false}));
    EXPECT_EQ(sheet.GridRowCount(), 1);
}

TEST_F(ThumbnailSheetTest, HitTestFindsCellAndZone) {
    fill(10);
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

// A rename box holds a cell index only while the generation stays: every clear and every
// new start of the cells must count, and nothing else may.
TEST_F(ThumbnailSheetTest, ClearAndStartEmptyTheSheetAndBeginANewGeneration) {
    fill(5);
    model.vScrollState.value = 300;
    model.picBack.top = -500;
    model.picBack.height = 4725;
    sheet.setFocusedCell(3);
    EXPECT_EQ(sheet.FindCell("p4.jpg"), 3);

    std::uint64_t generation = sheet.generation();
    sheet.Clear();
    EXPECT_EQ(sheet.generation(), ++generation);
    EXPECT_EQ(sheet.cellCount(), 1);
    const ThumbnailCell& first = sheet.cell(0);
    EXPECT_TRUE(first.thumbnail.isNull());
    EXPECT_FALSE(first.broken);
    EXPECT_EQ(sheet.FindCell("p1.jpg"), -1);
    EXPECT_EQ(sheet.FindCell(""), -1); // the empty cell 0 shows no file
    EXPECT_FALSE(model.picCase0.visible);
    EXPECT_EQ(model.vScrollState.value, 0);
    EXPECT_EQ(model.picBack.top, 0);
    EXPECT_EQ(model.picBack.height, 1575);
    EXPECT_EQ(sheet.focusedCell(), -1);

    fill(3);
    EXPECT_EQ(sheet.generation(), ++generation); // StartCells
    sheet.AddCell();
    sheet.ResizeCases();
    sheet.FillCell(1, "renamed.jpg", Image(), Extent{1, 1});
    EXPECT_EQ(sheet.generation(), generation);
}
