#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/viewer/zoompan.h"
#include "fakes/rigs.h"

using namespace vistrel::core;

namespace {

using Percents = std::vector<int>;

Percents Range(int from, int to, int step) {
    Percents range;
    for (int p = from; step > 0 ? p <= to : p >= to; p += step)
        range.push_back(p);
    return range;
}

Percents operator+(Percents a, const Percents& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::pair<double, double> Centre(const Box& b) {
    return {b.left + b.width / 2, b.top + b.height / 2};
}

struct ZoomTest : ::testing::Test, vistrel::test::ViewerRig<> {
    ZoomTest() {
        loader.pictures = {{"a.jpg", {200, 100}}, {"big.jpg", {3000, 2000}}, {"tiny.jpg", {5, 3}}};
        fullScreen.picDisplay = {0, 0, 19200, 14400};
        open({"a.jpg", "big.jpg", "tiny.jpg"});
        zoom = std::make_unique<ZoomPan>(model, fullScreen, *current, rect, model.resizeHandles,
                                         settings, hooks);
    }
    std::string zoomText() const { return panel(StatusBarState::Zoom); }
    // The percentages the panel shows after each step from a level: 'I' zooms in, 'O' out.
    Percents walk(const char* level, const std::string& steps) {
        zoom->SetZoomLevel(level);
        Percents shown;
        for (char step : steps) {
            step == 'I' ? zoom->ZoomIn() : zoom->ZoomOut();
            shown.push_back(std::stoi(zoomText().substr(6)));
        }
        return shown;
    }
    // Nothing changes: offset, panel and both surfaces stay as they are.
    template <typename Step> void expectNoChange(Step step) {
        const double z = current->ZoomOffset;
        const std::string text = zoomText();
        const Box main = model.picMain, full = fullScreen.picMain;
        step();
        EXPECT_EQ(current->ZoomOffset, z);
        EXPECT_EQ(zoomText(), text);
        EXPECT_EQ(model.picMain, main);
        EXPECT_EQ(fullScreen.picMain, full);
    }
    // Each handle touches picMain's outside at its side, corner or middle.
    void expectHandlesHug() const {
        // Along one axis: -1 just before the picture, 0 on its middle, 1 just after it.
        const auto miss = [](double start, double size, double pStart, double pSize, int side) {
            return side < 0   ? start + size - pStart
                   : side > 0 ? start - (pStart + pSize)
                              : start + size / 2 - (pStart + pSize / 2);
        };
        const int sides[ResizeHandleBoxes::Count][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0},
                                                        {1, 1},   {0, 1},  {-1, 1}, {-1, 0}};
        const Box& p = model.picMain;
        for (int i = 0; i < ResizeHandleBoxes::Count; ++i) {
            const Box& h = handles.boxes[i];
            SCOPED_TRACE(ResizeHandleBoxes::Names[i]);
            EXPECT_TRUE(h.visible);
            EXPECT_EQ(miss(h.left, h.width, p.left, p.width, sides[i][0]), 0);
            EXPECT_EQ(miss(h.top, h.height, p.top, p.height, sides[i][1]), 0);
        }
    }

    ResizeHandleBoxes& handles = model.resizeHandles;
    std::unique_ptr<ZoomPan> zoom;
};

TEST_F(ZoomTest, StepsFromALevelWriteThePanelAndStopAtTheEndsOfTheRange) {
    load("a.jpg");
    EXPECT_EQ(walk("100", "IIOO"), (Percents{105, 130, 105, 100}));
    EXPECT_EQ(walk("200", "O"), Percents{175});
    // From 10 % in fives; the residue above 0 then takes the large step.
    EXPECT_EQ(walk("10", std::string(19, 'I')), Range(15, 100, 5) + Percents{125});
    EXPECT_EQ(walk("100", std::string(41, 'I')), Range(105, 1005, 25) + Range(1105, 1405, 100));
    expectNoChange([&] { zoom->ZoomIn(); });
    walk("100", std::string(19, 'O')); // fives down to 5 %
    EXPECT_NEAR(current->ZoomOffset, -0.95, 1e-12);
    expectNoChange([&] { zoom->ZoomOut(); });
}

TEST_F(ZoomTest, LevelsScaleBothSurfacesRoundingHalvesToEven) {
    load("a.jpg"); // 3000 x 1500 twips
    for (const ZoomLevel& level : ZoomLevels) {
        ASSERT_TRUE(zoom->SetZoomLevel(level.name));
        EXPECT_EQ(zoomText(), std::string("Zoom: ") + level.percent + "%");
        const double percent = std::stoi(level.percent);
        for (const Box* b : {&model.picMain, &fullScreen.picMain})
            EXPECT_EQ(std::pair(b->width, b->height), std::pair(30 * percent, 15 * percent))
                << level.name;
    }
    EXPECT_TRUE(zoom->SetZoomLevel("150"));
    EXPECT_FALSE(zoom->SetZoomLevel("mnu42"));

    load("tiny.jpg"); // 75 x 45 twips
    const Box before = model.picMain;
    zoom->SetZoomLevel("150"); // 112.5 x 67.5 twips
    EXPECT_EQ(zoom->ZoomedWidth(), 112);
    EXPECT_EQ(zoom->ZoomedHeight(), 68);
    EXPECT_EQ(model.picMain.left, before.left - 18); // half of 37 is 18.5
    EXPECT_EQ(model.picMain.top, before.top - 12);   // half of 23 is 11.5

    current->Clear(); // nothing shown: the level is kept, the panel and the surface stay
    const Box cleared = model.picMain;
    zoom->SetZoomLevel("300");
    EXPECT_EQ(zoomText(), "Zoom: 150%");
    EXPECT_EQ(model.picMain, cleared);
    EXPECT_EQ(current->ZoomOffset, 2.0);
}

TEST_F(ZoomTest, EachSurfaceGrowsAboutItsOwnCentre) {
    struct Case {
        const char* name;
        bool dragged;
        const char* level;
        Twips width, height;
    };
    // big.jpg is 45,000 x 30,000 twips: its shifts of 135,000 and 90,000 go beyond 16 bits.
    for (const Case& c :
         {Case{"a.jpg", true, "200", 6000, 3000}, Case{"big.jpg", false, "700", 315000, 210000}}) {
        load(c.name);
        if (c.dragged) { // to the pane's left edge; the full-screen surface stays
            zoom->LeftPress(500, 400);
            zoom->Move(500 - model.picMain.left, 400, true);
            zoom->Release();
            ASSERT_EQ(model.picMain.left, 0);
        }
        const Box main = model.picMain, full = fullScreen.picMain;
        zoom->SetZoomLevel(c.level);
        for (const auto& [now, before] :
             {std::pair{model.picMain, main}, {fullScreen.picMain, full}}) {
            EXPECT_EQ(std::pair(now.width, now.height), std::pair(c.width, c.height)) << c.name;
            EXPECT_EQ(Centre(now), Centre(before)) << c.name;
        }
        expectHandlesHug();
    }
}

TEST_F(ZoomTest, HandlesHugThePictureAndHideWhilePressed) {
    load("a.jpg");
    expectHandlesHug();
    zoom->LeftPress(10, 10);
    zoom->Move(-700, 300, true);
    for (const Box& b : handles.boxes)
        EXPECT_FALSE(b.visible);
    zoom->Release();
    expectHandlesHug();
    zoom->ZoomIn();
    expectHandlesHug();
    current->CenterPicture();
    expectHandlesHug();

    for (int option : {0, 2, -1}) { // only 1 turns them on
        settings.ResizeHandles = option;
        zoom->HideResizeHandles();
        zoom->Release();
        zoom->ZoomIn();
        EXPECT_FALSE(handles.visible()) << option;
    }
}

TEST_F(ZoomTest, PressDragKeysAndRightButton) {
    load("a.jpg");
    rect.SelectMode = 1;
    zoom->ZoomIn();
    EXPECT_EQ(rect.SelectMode, 0); // every zoom drops the selection rectangle
    zoom->LeftPress(10.5, 11.5);
    EXPECT_EQ((std::vector{rect.PanStartX, rect.PanStartY, rect.SelectEndX, rect.SelectEndY}),
              (std::vector<std::int64_t>{10, 12, 10, 12}));
    const Box main = model.picMain, full = fullScreen.picMain;
    EXPECT_EQ(zoom->Move(30, 40, false), Cursor::SizeAll);
    EXPECT_EQ(model.picMain, main);
    zoom->Move(30, 40, true);
    EXPECT_EQ(model.picMain.left - main.left, 20);
    EXPECT_EQ(model.picMain.top - main.top, 28);
    model.status.progress = 40;
    EXPECT_EQ(zoom->Move(30, 40, false), Cursor::Busy);
    EXPECT_EQ(fullScreen.picMain, full);

    // The full-screen surface keeps its own start point and moves alone.
    const Box moved = model.picMain;
    zoom->FullScreenLeftPress(100, 100);
    EXPECT_EQ(zoom->FullScreenMove(60, 130.5, true), Cursor::SizeAll);
    EXPECT_EQ(fullScreen.picMain.left - full.left, -40);
    EXPECT_EQ(fullScreen.picMain.top - full.top, 30.5);
    EXPECT_EQ(model.picMain, moved);

    hooks.calls.clear();
    for (Key key : {Key::Delete, Key::Up, Key::Down, Key::Left, Key::Right, Key::Enter,
                    Key::Escape, Key::Other})
        zoom->KeyDown(key);
    zoom->RightPress(-1, 10); // beside the picture: the pane takes it and does nothing
    zoom->RightPress(10, 10);
    EXPECT_EQ(hooks.calls,
              (std::vector<std::string>{"delete", "zoomIn", "zoomOut", "previous", "next",
                                        "fullScreen", "menu picture"}));
}

TEST_F(ZoomTest, APressBesideThePictureStartsNoDrag) {
    load("a.jpg"); // 3000 x 1500 twips
    zoom->SetZoomLevel("10");
    zoom->LeftPress(10, 10);
    zoom->Release();
    const Box before = model.picMain;
    for (const auto& [x, y] : {std::pair{-30.0, -30.0}, {300.0, 10.0}, {10.0, 150.0}}) {
        zoom->LeftPress(x, y);
        zoom->Move(x + 75, y + 75, true);
        zoom->Release();
        EXPECT_EQ(model.picMain, before) << x << "," << y;
    }
    EXPECT_TRUE(handles.visible()); // the ignored release did not hide or move them
}

} // namespace
