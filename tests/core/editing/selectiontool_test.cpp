#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/editing/selectiontool.h"
#include "fakes/rigs.h"

using namespace vistrel::core;

namespace {

struct SelectionToolTest : ::testing::Test, vistrel::test::ViewerRig<> {
    vistrel::test::ScriptedDialogs dialogs;
    std::unique_ptr<ZoomPan> zoom;
    std::unique_ptr<SelectionTool> tool;
    using H = ResizeHandleBoxes;

    SelectionToolTest() {
        loader.pictures = {{"a.jpg", {100, 100}}, {"big.jpg", {1200, 1200}}};
        open({"a.jpg", "big.jpg"});
        zoom = std::make_unique<ZoomPan>(model, fullScreen, *current, rect, model.resizeHandles,
                                         settings, hooks);
        tool = std::make_unique<SelectionTool>(model, fullScreen, *current, rect, *zoom, dialogs);
    }
    // Loads a picture whose every pixel tells where it is.
    void loadNumbered(const std::string& name) {
        load(name);
        Image& p = current->picload();
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) p.at(x, y) = 0xFF000000u | (y << 12) | x;
    }
    // What the window does for a left drag with the Select tool on the picture surface.
    void drag(double x1, double y1, double x2, double y2) {
        tool->LeftPress();
        zoom->LeftPress(x1, y1);
        tool->Move((x1 + x2) / 2, (y1 + y2) / 2, true);
        tool->Move(x2, y2, true);
        tool->Release();
        zoom->Release();
    }
    Image::Pixel at(int x, int y) const { return 0xFF000000u | (y << 12) | x; }
    const Box& handle(H::Index i) const { return model.resizeHandles.boxes[i]; }
};

TEST_F(SelectionToolTest, CropWithoutARectangleSaysSoAndTurnsTheSelectToolOn) {
    load("a.jpg");
    tool->Crop();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "Please select the area of the image that you would like to crop.|Vistrel|0|1");
    EXPECT_TRUE(tool->Active());
    EXPECT_EQ(zoom->SurfaceCursor(), Cursor::Cross);
    EXPECT_EQ(current->picload().width(), 100);
}

TEST_F(SelectionToolTest, CropCutsTheDisplayedRectangleAtAnyZoomAndDirection) {
    struct Case {
        const char* picture;
        double offset;
        double x1, y1, x2, y2;
        int left, top, width, height;
    } cases[] = {
        {"a.jpg", 1.0, 300, 300, 1500, 900, 10, 10, 40, 20},
        {"a.jpg", 1.0, 1500, 900, 300, 300, 10, 10, 40, 20},   // dragged backwards
        {"a.jpg", 1.0, 300, 900, 1500, 300, 10, 10, 40, 20},   // and crosswise
        {"a.jpg", 0.0, 0, 0, 15, 15, 0, 0, 1, 1},
        // Beyond 32,767 twips: a 1,200-pixel picture at 200 % is 36,000 twips wide.
        {"big.jpg", 1.0, 30000, 33000, 36000, 36000, 1000, 1100, 200, 100},
        // Thinner than a pixel at a high zoom still keeps one.
        {"a.jpg", 13.0, 1400, 1400, 1401, 1410, 7, 7, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
        loadNumbered(c.picture);
        zoom->SetZoomLevel(c.offset);
        tool->Select();
        drag(c.x1, c.y1, c.x2, c.y2);
        tool->Crop();
        const Image& p = current->picload();
        ASSERT_EQ(p.width(), c.width);
        ASSERT_EQ(p.height(), c.height);
        EXPECT_EQ(p.at(0, 0), at(c.left, c.top));
        EXPECT_EQ(p.at(c.width - 1, c.height - 1), at(c.left + c.width - 1, c.top + c.height - 1));
        // Shown at the zoom in force, with the tool and the rectangle gone.
        EXPECT_EQ(model.picMain.width, c.width * 15 * (1 + c.offset));
        EXPECT_FALSE(tool->Active());
        EXPECT_TRUE(rect.drawn.empty());
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(SelectionToolTest, RubberBandIsDrawnByExclusiveOrAndClippedOnRelease) {
    load("a.jpg"); // 1500 x 1500 twips
    tool->Select();
    drag(100, 200, 2000, -50);
    // The corners are clipped; the rectangle on screen stays as it was drawn.
    EXPECT_EQ((std::vector<std::int64_t>{rect.PanStartX, rect.PanStartY, rect.SelectEndX,
                                         rect.SelectEndY}),
              (std::vector<std::int64_t>{100, 200, 1500, 0}));
    EXPECT_EQ(rect.drawn, (std::vector<SelectionRect::Band>{{100, 200, 2000, -50}}));

    tool->Select();
    drag(10, 10, 400, 300);
    tool->Move(500, 500, false); // no button: nothing drawn
    // The erase at the clipped corners differs from what was drawn only outside the surface
    // and along its edge, so both stay listed.
    ASSERT_EQ(rect.drawn.size(), 3u);
    EXPECT_EQ(rect.drawn.back(), (SelectionRect::Band{10, 10, 400, 300}));

    tool->RightPress(); // erases, back to dragging, corners kept
    EXPECT_FALSE(tool->Active());
    EXPECT_EQ(rect.SelectEndX, 400);
    EXPECT_EQ(rect.drawn.size(), 2u);

    tool->SelectAll();
    EXPECT_EQ((std::vector<std::int64_t>{rect.PanStartX, rect.PanStartY, rect.SelectEndX,
                                         rect.SelectEndY}),
              (std::vector<std::int64_t>{0, 0, 1490, 1490}));
    tool->SelectAll(); // erases the first, draws the same again
    EXPECT_EQ(std::count(rect.drawn.begin(), rect.drawn.end(),
                         SelectionRect::Band{0, 0, 1490, 1490}),
              1);
    tool->Mover();
    EXPECT_FALSE(tool->Active());
    EXPECT_EQ(std::count(rect.drawn.begin(), rect.drawn.end(),
                         SelectionRect::Band{0, 0, 1490, 1490}),
              0);
}

TEST_F(SelectionToolTest, HandleDragsStretchThePictureAndCommitOnRelease) {
    struct Case {
        H::Index handle;
        double dx, dy;
        Twips width, height;
        bool keepsRight, keepsBottom;
    } cases[] = {
        {H::BR, 150, 75, 1650, 1575, false, false},
        {H::TL, 150, 75, 1350, 1425, true, true},
        {H::MTop, 150, 75, 1500, 1425, false, true},
        {H::MLeft, -150, 75, 1650, 1500, true, false},
        {H::TR, 150, -75, 1650, 1575, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(H::Names[c.handle]);
        load("a.jpg");
        const Box before = model.picMain;
        tool->HandlePress(c.handle, 40, 40);
        EXPECT_FALSE(model.resizeHandles.visible());
        tool->HandleMove(c.handle, 40 + c.dx / 2, 40 + c.dy / 2, true);
        tool->HandleMove(c.handle, 40 + c.dx, 40 + c.dy, true);
        EXPECT_EQ(model.picMain.width, c.width);
        EXPECT_EQ(model.picMain.height, c.height);
        if (c.keepsRight) EXPECT_EQ(model.picMain.right(), before.right());
        if (c.keepsBottom) EXPECT_EQ(model.picMain.bottom(), before.bottom());
        tool->HandleRelease(c.handle);
        EXPECT_EQ(current->picload().width(), c.width / 15);
        EXPECT_EQ(current->picload().height(), c.height / 15);
        EXPECT_TRUE(model.resizeHandles.visible());
        EXPECT_NE(model.lblFileCaption.find(std::to_string(int(c.width / 15)) + " x "),
                  std::string::npos);
    }
}

TEST_F(SelectionToolTest, AClickOnAHandleTurnsTheZoomIntoAResizeAndRefusedStepsAreSkipped) {
    load("a.jpg");
    zoom->SetZoomLevel(0.5);
    tool->HandlePress(H::BR, 10, 10);
    EXPECT_EQ(current->picload().width(), 150);
    EXPECT_EQ(current->ZoomOffset, 0);
    EXPECT_EQ(panel(StatusBarState::Zoom), "Zoom: 100%");

    const Box committed = model.picMain;
    tool->HandleMove(H::BR, 10 - 3000, 10, true); // a negative width
    EXPECT_EQ(model.picMain, committed);
    tool->HandleMove(H::MBottom, 10, 500, true); // not the handle that was pressed
    EXPECT_EQ(model.picMain, committed);
    tool->HandleRelease(H::BR);
    EXPECT_EQ(current->picload().width(), 150);
}

} // namespace
