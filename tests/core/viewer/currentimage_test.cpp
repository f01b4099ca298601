#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/rigs.h"

using namespace vistrel::core;
namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

namespace {

struct CurrentImageTest : ::testing::Test, vistrel::test::ViewerRig<> {
    std::string message() const { return panel(StatusBarState::Status); }
    // What a load did besides showing the picture, read back from the state it changes;
    // resetEffects() puts that state where each effect shows.
    void resetEffects() {
        rect.SelectMode = 1;
        browser->setFileListPosition(-1);
        fullScreen.visible = false;
        HideResizeHandles(model.resizeHandles);
    }
    Calls effects() const {
        Calls c;
        if (rect.SelectMode == 0) c.push_back("clearRect");
        if (browser->fileListPosition() >= 0)
            c.push_back("list " + std::to_string(browser->fileListPosition()));
        if (fullScreen.visible) c.push_back("fullScreen");
        if (model.resizeHandles.visible()) c.push_back("handles");
        return c;
    }
    std::vector<Twips> places() const {
        return {model.picMain.left, model.picMain.top, fullScreen.picMain.left,
                fullScreen.picMain.top};
    }
};

TEST_F(CurrentImageTest, LoadShowsThePictureUnzoomedAndCentredInBothPanes) {
    open({"a.jpg"}, {}, ',');
    fs::resize_file(dir.path("a.jpg"), 1572864);
    model.picDisplay = {100, 200, 3060, 2060, true, 30}; // client area 3000 x 2000
    fullScreen.picDisplay = {0, 0, 19200, 10800};
    struct Case {
        int width, height;
        std::vector<Twips> places; // left and top of the main, then the full-screen picture
    };
    const Case cases[] = {
        {100, 50, {750, 625, 8850, 5025}},             // smaller than the pane
        {400, 300, {-1500, -1250, 6600, 3150}},        // larger: negative left and top
        {200, 400, {0, -2000, 8100, 2400}},            // as wide as the pane
        {40000, 1, {-298500, 992.5, -290400, 5392.5}}, // wider than 16-bit coordinates
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        loader.pictures["a.jpg"] = {c.width, c.height};
        current->ZoomOffset = 2;
        model.status.setText(StatusBarState::Zoom, "Zoom: 300%");
        resetEffects();
        load("a.jpg");
        EXPECT_EQ(current->ZoomOffset, 0);
        EXPECT_EQ(panel(StatusBarState::Zoom), "Zoom: 100%");
        EXPECT_EQ(model.lblFileCaption, "Image: a.jpg - 1,5 MB - " + std::to_string(c.width) +
                                            " x " + std::to_string(c.height) + " Pixel");
        for (const Box* surface : {&model.picMain, &fullScreen.picMain})
            EXPECT_EQ(std::pair(surface->width, surface->height),
                      std::pair(c.width * 15.0, c.height * 15.0));
        EXPECT_EQ(places(), c.places);
        EXPECT_EQ(effects(), (Calls{"clearRect", "list 0", "handles"}));
    }
    EXPECT_TRUE(current->PictureShown() && fullScreen.created && !fullScreen.visible);

    // Re-centring after the panes change size (window resize, splitter).
    model.picDisplay.width = 6060;
    fullScreen.picDisplay.height = 0;
    resetEffects();
    current->CenterPicture();
    EXPECT_EQ(places(), (std::vector<Twips>{3000 - 300000, 992.5, -290400, -7.5}));
    EXPECT_EQ(effects(), Calls{"handles"});

    model.picDisplay.visible = false; // a hidden viewing pane opens full screen
    resetEffects();
    load("a.jpg");
    EXPECT_EQ(effects(), (Calls{"clearRect", "list 0", "fullScreen", "handles"}));
}

TEST_F(CurrentImageTest, ClicksSelectAndAShiftClickOnASelectedFileDeselectsButStillShowsIt) {
    open({"a.jpg", "b.jpg", "c.jpg"});
    loader.pictures["a.jpg"] = {10, 20, 0xFFAA0000};
    load("a.jpg");
    load("c.jpg", true);
    load("b.jpg", true);
    EXPECT_EQ(selection.names(), (Calls{"a.jpg", "c.jpg", "b.jpg"}));

    resetEffects();
    load("a.jpg", true);
    EXPECT_EQ(selection.names(), (Calls{"c.jpg", "b.jpg"}));
    EXPECT_EQ(current->picload().at(0, 0), 0xFFAA0000u);
    EXPECT_EQ(model.lblFileCaption, "Image: a.jpg - 1 Bytes - 10 x 20 Pixel");
    EXPECT_EQ(effects(), (Calls{"clearRect", "handles"})); // the file list stays

    resetEffects();
    load("c.jpg"); // a plain click on one of several selected leaves only it
    EXPECT_EQ(selection.names(), Calls{"c.jpg"});
    EXPECT_EQ(selection.CaptionColour("c.jpg"), 0xFF0000);                         // blue
    EXPECT_EQ(selection.CaptionColour("b.jpg"), static_cast<Colour>(0x80000012u)); // button text
    EXPECT_EQ(effects(), (Calls{"clearRect", "list 2", "handles"}));
}

TEST_F(CurrentImageTest, FailedLoadKeepsPreviousPictureAndReports) {
    open({"good.jpg", "bad.jpg", "huge.jpg", "gone.jpg"});
    loader.pictures = {{"good.jpg", {8, 6, 0xFF123456}},
                       {"bad.jpg", {0, 0, 0, LoadError::Damaged}},
                       {"huge.jpg", {100000, 100000, 0, LoadError::TooLarge}}};
    fs::remove(dir.path("gone.jpg")); // decodes, but the file is gone before its length is read
    const std::tuple<const char*, bool, std::string, Calls> cases[] = {
        {"bad.jpg", false, "bad.jpg: damaged or unsupported picture data", {"bad.jpg"}},
        {"huge.jpg",
         true,
         "huge.jpg: picture too large (100000 x 100000 pixels)",
         {"good.jpg", "huge.jpg"}},
        {"gone.jpg", false, "gone.jpg: file not found", {"gone.jpg"}},
    };
    for (const auto& [name, shift, description, selected] : cases) {
        SCOPED_TRACE(name);
        load("good.jpg");
        const Box shown = model.picMain;
        const std::string caption = model.lblFileCaption;
        current->ZoomOffset = 2;
        resetEffects();
        load(name, shift);
        EXPECT_EQ(message(), description);
        // Steps before the failure stay done...
        EXPECT_EQ(current->ZoomOffset, 0);
        EXPECT_EQ(current->CurrentFilePath(), dir.path(name));
        EXPECT_EQ(selection.names(), selected);
        // ...and the previous picture stays on screen as it was.
        EXPECT_EQ(current->picload().at(0, 0), 0xFF123456u);
        EXPECT_EQ(model.picMain, shown);
        EXPECT_EQ(model.lblFileCaption, caption);
        EXPECT_EQ(effects(), Calls{"clearRect"});
    }

    current->Clear(); // with nothing shown before, a failed load shows no empty picture
    EXPECT_TRUE(current->picload().isNull());
    EXPECT_EQ(model.lblFileCaption, "Image Information");
    load("bad.jpg");
    EXPECT_FALSE(current->PictureShown());
    EXPECT_EQ(model.lblFileCaption, "Image Information");
}

TEST_F(CurrentImageTest, NoFileSelectedStopsAfterThePath) {
    open();
    model.picMain.visible = false;
    current->ZoomOffset = -0.5;
    current->CurrentFileIndex = 0;
    current->LoadSelectedImage();
    EXPECT_EQ(message(), "No file selected");
    EXPECT_EQ(current->CurrentFilePath(), dir.path() + "/");
    EXPECT_EQ(current->ZoomOffset, 0);
    EXPECT_FALSE(model.picMain.visible);
    EXPECT_TRUE(selection.empty());
    EXPECT_EQ(effects(), Calls{"clearRect"});

    // Outside a non-empty list: before it, past its end, for either variant.
    open({"a.jpg"});
    load("a.jpg");
    for (int index : {-1, 1, 40000}) {
        for (bool shift : {false, true}) {
            model.status.setText(StatusBarState::Status, "");
            current->CurrentFileIndex = index;
            shift ? current->ToggleAndLoadImage() : current->LoadSelectedImage();
            EXPECT_EQ(message(), "No file selected") << index;
            EXPECT_EQ(selection.names(), Calls{"a.jpg"});
            EXPECT_EQ(model.lblFileCaption, "Image: a.jpg - 1 Bytes - 100 x 50 Pixel");
        }
    }
}

} // namespace
