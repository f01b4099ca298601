#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/browsertestsupport.h"
#include "core/viewer/zoom.h"
#include "fakes/platformfakes.h"

using namespace vistrel::core;

namespace {

struct Hooks : ViewerHooks, PictureSurfaceHooks {
    ZoomPan* zoom = nullptr;
    SelectionRect* rect = nullptr;
    std::vector<std::string> calls;
    void ClearSelectionRectangle() override { rect->ClearSelection(); }
    void PlaceResizeHandles() override { zoom->PlaceResizeHandles(); }
    void ShowFullScreen() override {}
    void SetFileListPosition(int) override {}
    void deleteSelected() override { calls.push_back("delete"); }
    void zoomIn() override { calls.push_back("zoomIn"); }
    void zoomOut() override { calls.push_back("zoomOut"); }
    void showPrevious() override { calls.push_back("previous"); }
    void showNext() override { calls.push_back("next"); }
    void fullScreen() override { calls.push_back("fullScreen"); }
    void popupMenu(const std::string& menu, const std::vector<std::string>& hidden) override {
        calls.push_back(menu + " hiding " + std::to_string(hidden.size()));
    }
};

double CentreX(const Box& b) {
    return b.left + b.width / 2;
}
double CentreY(const Box& b) {
    return b.top + b.height / 2;
}

class ZoomTest : public ::testing::Test {
protected:
    ZoomTest() {
        loader.sizes = {{"a.jpg", {200, 100}}, {"big.jpg", {3000, 2000}}, {"tiny.jpg", {5, 3}}};
        for (const auto& [name, size] : loader.sizes)
            dir.file(name);
        fullScreen.picDisplay = {0, 0, 19200, 14400};
        browser = std::make_unique<FolderBrowser>(volumes, model.status, browserHooks, dir.path());
        current =
            std::make_unique<CurrentImage>(model, fullScreen, *browser, selection, loader, hooks);
        zoom =
            std::make_unique<ZoomPan>(model, fullScreen, *current, rect, handles, settings, hooks);
        hooks.zoom = zoom.get();
        hooks.rect = &rect;
    }
    void load(const std::string& name) {
        const auto& files = browser->files();
        current->CurrentFileIndex =
            static_cast<int>(std::find(files.begin(), files.end(), name) - files.begin());
        current->LoadSelectedImage();
    }
    std::string zoomText() const { return model.status.text(StatusBarState::Zoom); }
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
        enum Rel { Before, Middle, After };
        const Box& p = model.picMain;
        const struct {
            int index;
            Rel x, y;
        } table[] = {
            {ResizeHandleBoxes::TL, Before, Before}, {ResizeHandleBoxes::MTop, Middle, Before},
            {ResizeHandleBoxes::TR, After, Before},  {ResizeHandleBoxes::MRight, After, Middle},
            {ResizeHandleBoxes::BR, After, After},   {ResizeHandleBoxes::MBottom, Middle, After},
            {ResizeHandleBoxes::BL, Before, After},  {ResizeHandleBoxes::MLeft, Before, Middle}};
        for (const auto& c : table) {
            const Box& h = handles.boxes[c.index];
            SCOPED_TRACE(ResizeHandleBoxes::Names[c.index]);
            EXPECT_TRUE(h.visible);
            EXPECT_EQ(c.x == Before  ? h.right()
                      : c.x == After ? h.left
                                     : CentreX(h),
                      c.x == Before  ? p.left
                      : c.x == After ? p.right()
                                     : CentreX(p));
            EXPECT_EQ(c.y == Before  ? h.bottom()
                      : c.y == After ? h.top
                                     : CentreY(h),
                      c.y == Before  ? p.top
                      : c.y == After ? p.bottom()
                                     : CentreY(p));
        }
    }

    vistrel::test::TempFolder dir;
    vistrel::test::FakeVolumes volumes;
    vistrel::test::RecordingHooks browserHooks;
    vistrel::test::SizedLoader loader;
    MainWindowModel model;
    FullScreenModel fullScreen;
    Selection selection;
    SelectionRect rect;
    ResizeHandleBoxes handles;
    ViewSettings settings;
    Hooks hooks;
    std::unique_ptr<FolderBrowser> browser;
    std::unique_ptr<CurrentImage> current;
    std::unique_ptr<ZoomPan> zoom;
};

TEST_F(ZoomTest, StepsFromALevelWriteThePanel) {
    struct Case {
        const char* level;
        std::string steps;
        std::vector<int> percents;
    };
    Case fromTen{"10", std::string(19, 'I'), {}};
    for (int p = 15; p <= 100; p += 5)
        fromTen.percents.push_back(p);
    fromTen.percents.push_back(125); // the residue above 0 takes the large step
    const Case cases[] = {{"100", "II", {105, 130}},
                          {"200", "O", {175}},
                          {"100", "IIOO", {105, 130, 105, 100}},
                          fromTen};
    load("a.jpg");
    for (const Case& c : cases) {
        zoom->SetZoomLevel(c.level);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            c.steps[i] == 'I' ? zoom->ZoomIn() : zoom->ZoomOut();
            EXPECT_EQ(zoomText(), "Zoom: " + std::to_string(c.percents[i]) + "%")
                << c.level << " step " << i;
        }
    }
}

TEST_F(ZoomTest, StepsStopAtTheEndsOfTheRange) {
    load("a.jpg");
    for (const auto& [level, coarse] : {std::pair{"100", 1005}, {"700", 1000}}) {
        zoom->SetZoomLevel(level);
        std::vector<int> expected;
        for (int p = std::stoi(level) + (coarse == 1005 ? 5 : 25); p <= coarse; p += 25)
            expected.push_back(p);
        for (int p = coarse + 100; p <= 1405; p += 100)
            expected.push_back(p);
        for (int p : expected) {
            zoom->ZoomIn();
            EXPECT_EQ(zoomText(), "Zoom: " + std::to_string(p) + "%");
        }
        expectNoChange([&] { zoom->ZoomIn(); });
    }
    zoom->SetZoomLevel("100");
    for (int i = 0; i < 19; ++i)
        zoom->ZoomOut(); // fives down to 5 %
    EXPECT_NEAR(current->ZoomOffset, -0.95, 1e-12);
    expectNoChange([&] { zoom->ZoomOut(); });
}

TEST_F(ZoomTest, LevelsScaleBothSurfacesRoundingHalvesToEven) {
    load("a.jpg"); // 3000 x 1500 twips
    for (const ZoomLevel& level : ZoomLevels) {
        ASSERT_TRUE(zoom->SetZoomLevel(level.name));
        EXPECT_EQ(zoomText(), std::string("Zoom: ") + level.percent + "%");
        const int percent = std::stoi(level.percent);
        for (const Box* b : {&model.picMain, &fullScreen.picMain}) {
            EXPECT_EQ(b->width, 30 * percent) << level.name;
            EXPECT_EQ(b->height, 15 * percent) << level.name;
        }
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
}

TEST_F(ZoomTest, NothingShownLeavesPanelButKeepsLevel) {
    current->Clear();
    const Box main = model.picMain;
    zoom->SetZoomLevel("300");
    EXPECT_EQ(zoomText(), "Zoom: 100%");
    EXPECT_EQ(model.picMain, main);
    EXPECT_EQ(current->ZoomOffset, 2.0);
}

TEST_F(ZoomTest, DraggedPictureGrowsAboutItsOwnCentre) {
    load("a.jpg");
    const Box full = fullScreen.picMain;
    zoom->LeftPress(500, 400);
    zoom->Move(500 - model.picMain.left, 400, true); // left edge of the pane
    ASSERT_EQ(model.picMain.left, 0);
    EXPECT_EQ(fullScreen.picMain, full);
    const double cx = CentreX(model.picMain), cy = CentreY(model.picMain);
    zoom->SetZoomLevel("200");
    EXPECT_EQ(model.picMain.left, -1500);
    EXPECT_EQ(CentreX(model.picMain), cx);
    EXPECT_EQ(CentreY(model.picMain), cy);
    EXPECT_EQ(CentreX(fullScreen.picMain), CentreX(full));
}

TEST_F(ZoomTest, LargeStepOnLargePictureResizesBothSurfaces) {
    load("big.jpg"); // 45,000 x 30,000 twips
    const double cx = CentreX(model.picMain), fx = CentreY(fullScreen.picMain);
    zoom->SetZoomLevel("700"); // shifts of 135,000 and 90,000 twips
    for (const Box* b : {&model.picMain, &fullScreen.picMain}) {
        EXPECT_EQ(b->width, 315000);
        EXPECT_EQ(b->height, 210000);
    }
    EXPECT_EQ(CentreX(model.picMain), cx);
    EXPECT_EQ(CentreY(fullScreen.picMain), fx);
    expectHandlesHug();
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
              (std::vector{10, 12, 10, 12}));
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

    for (PictureKey key : {PictureKey::Delete, PictureKey::Up, PictureKey::Down, PictureKey::Left,
                           PictureKey::Right, PictureKey::Enter, PictureKey::Other})
        zoom->KeyDown(key);
    zoom->RightPress();
    EXPECT_EQ(hooks.calls,
              (std::vector<std::string>{"delete", "zoomIn", "zoomOut", "previous", "next",
                                        "fullScreen", "mnuRightDisplay hiding 0"}));
}

} // namespace
