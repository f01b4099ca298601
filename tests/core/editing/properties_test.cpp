#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/app/mainwindowhost.h"
#include "core/app/settingsstore.h"
#include "core/editing/pixeledit.h"
#include "core/editing/propertiesedits.h"
#include "core/editing/stretch.h"
#include "core/viewer/zoompan.h"
#include "fakes/memorysettings.h"
#include "fakes/rigs.h"

using namespace vistrel;
using core::Image;
using core::PropertiesDialog;
using core::PropertiesPanel;
using core::StatusBarState;

namespace {

// --- the dialog's own state --------------------------------------------------------------

TEST(PropertiesDialog, ProportionLinkFollowsTheOriginalRatioAndComesToRest) {
    struct Case {
        const char* box;
        const char* typed;
        const char* width;
        const char* height;
    };
    const Case cases[] = {
        {"txtWidth", "400", "400", "300"},    {"txtHeight", "400", "533.333333333333", "400"},
        {"txtWidth", "1e2", "1e2", "75"}, // the link's own write does not answer back
        {"txtWidth", "", "", "600"},      // no number: the other box stays
        {"txtHeight", "12px", "800", "12px"}, {"txtWidth", "-8", "-8", "-6"},
    };
    for (const Case& c : cases) {
        PropertiesDialog dialog(800, 600);
        dialog.EditText(c.box, c.typed);
        EXPECT_EQ(dialog.Text("txtWidth"), c.width) << c.box << " " << c.typed;
        EXPECT_EQ(dialog.Text("txtHeight"), c.height) << c.box << " " << c.typed;
    }

    PropertiesDialog comma(800, 600, ',');
    comma.EditText("txtWidth", "400,5");
    EXPECT_EQ(comma.Text("txtHeight"), "300,375");

    PropertiesDialog unlinked(800, 600);
    unlinked.SetProportional(false);
    unlinked.EditText("txtWidth", "400");
    EXPECT_EQ(unlinked.Text("txtHeight"), "600");

    PropertiesDialog empty(0, 0); // no picture: nothing to divide by
    empty.EditText("txtWidth", "400");
    empty.EditText("txtHeight", "30");
    EXPECT_EQ(empty.Text("txtWidth"), "400");
    EXPECT_EQ(empty.Text("lblWidth"), "0");
}

TEST(PropertiesDialog, SlidersStartAtTheirValuesAndStayInRange) {
    PropertiesDialog dialog(10, 10);
    EXPECT_EQ(dialog.SliderValue("sldBrightness"), 0);
    EXPECT_EQ(dialog.SliderValue("sldColor"), 2);
    const std::vector<std::tuple<const char*, int, int>> cases{{"sldBrightness", -1000, -100},
                                                               {"sldRed", 101, 100},
                                                               {"sldBlue", -37, -37},
                                                               {"sldColor", -5, 0},
                                                               {"sldColor", 2147483647, 100}};
    for (const auto& [slider, value, kept] : cases) {
        dialog.SetSlider(slider, value);
        EXPECT_EQ(dialog.SliderValue(slider), kept) << slider << " " << value;
    }
    dialog.SetSlider("txtWidth", 5); // not a slider
    EXPECT_EQ(dialog.Text("txtWidth"), "10");
}

// --- the dialog in the program -------------------------------------------------------------

struct HostStub : core::MainWindowHost {
    std::vector<core::Box> screens{{0, 0, 19200, 12000}};
    std::vector<std::string> calls;
    std::vector<core::Box> ScreenAreas() const override { return screens; }
    void Focus(FocusTarget) override { calls.push_back("focus"); }
    void ShowPropertiesWindow() override { calls.push_back("show"); }
    void ClosePropertiesWindow() override { calls.push_back("close"); }
    void SetMaximized() override {}
    void SetLeft(core::Twips) override {}
    void SetTop(core::Twips) override {}
    void SetOuterHeight(core::Twips) override {}
    void SetOuterWidth(core::Twips) override {}
    void ShowWindow() override {}
    void CloseSecondaryWindows() override {}
    void Quit() override {}
    void PopupMenu(const std::string&, const std::vector<std::string>&) override {}
    void ShowFullScreenWindow() override {}
    void CloseFullScreenWindow() override {}
};

const std::string kTooLarge = "The Image is too large. Please try a smaller image.|Vistrel|0|" +
                              std::to_string(int(core::MessageIcon::Critical));

struct PropertiesTest : ::testing::Test, test::ViewerRig<> {
    test::MemorySettings backend;
    core::SettingsStore store{backend};
    HostStub host;
    test::ScriptedDialogs dialogs;
    test::FakeClock clock;
    test::RecordingPump pump;
    bool building = false;
    std::unique_ptr<core::PixelEdit> pixelEdit;
    std::unique_ptr<core::ZoomPan> zoom;
    std::unique_ptr<core::PropertiesEdits> edits;

    // The program showing one picture of this content.
    void show(const Image& picture) {
        loader.pictures["a.bmp"] = {picture.width(), picture.height()};
        open({"a.bmp"});
        load("a.bmp");
        current->ReplacePicture(picture, false);
        pump.status = &model.status;
        pixelEdit = std::make_unique<core::PixelEdit>(model, dialogs, clock, pump, '.', [this] {
            current->PictureChanged();
            zoom->ApplyZoom();
        });
        zoom = std::make_unique<core::ZoomPan>(model, fullScreen, *current, rect,
                                               model.resizeHandles, settings, hooks);
        edits = std::make_unique<core::PropertiesEdits>(store, host, dialogs, *pixelEdit, *current,
                                                        *zoom, rect, model, hooks,
                                                        [this] { return building; });
        model.status.setText(StatusBarState::Status, "before");
    }
    const PropertiesDialog& dialog() { return *edits->Dialog(); }
    const Image& picture() { return current->picload(); }
    std::string status() { return model.status.text(StatusBarState::Status); }
};

Image Rgb(int w, int h, int r, int g, int b) {
    return Image(w, h, 0xFF000000u | static_cast<Image::Pixel>(r << 16 | g << 8 | b));
}

// Each Ok button runs its panel's edit through the pixel-edit frame; colour replacement runs
// the bar from 0 again and leaves panel 3 and the keys alone.
TEST_F(PropertiesTest, EachOkRunsItsEditOnTheShownPicture) {
    struct Case {
        PropertiesPanel panel;
        const char* ok;
        std::vector<std::pair<const char*, int>> sliders;
        Image before, after;
        bool timed;
        int lastProgress; // at the repaint after the last of four rows
    };
    const Case cases[] = {
        {PropertiesPanel::Brightness,
         "cmdBOk",
         {{"sldBrightness", 100}},
         Rgb(3, 4, 200, 100, 0),
         Rgb(3, 4, 255, 200, 100),
         true,
         87},
        {PropertiesPanel::RgbBalance,
         "cmdRGBOk",
         {{"sldRed", -100}, {"sldBlue", 100}},
         Rgb(3, 4, 50, 50, 50),
         Rgb(3, 4, 0, 50, 150),
         true,
         87},
        {PropertiesPanel::Replace,
         "cmdCReplace",
         {{"sldColor", 10}},
         Rgb(3, 4, 0, 0, 0),
         Rgb(3, 4, 255, 255, 255),
         false,
         75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ok);
        show(c.before);
        edits->Open(c.panel);
        for (const auto& [slider, value] : c.sliders)
            edits->SliderChanged(slider, value);
        host.calls.clear();
        pump.painted.clear();
        const auto revision = current->PictureRevision();
        edits->Click(c.ok);
        EXPECT_EQ(picture(), c.after);
        EXPECT_GT(current->PictureRevision(), revision);
        EXPECT_EQ(status().rfind("Processed in ", 0) == 0, c.timed) << status();
        if (!c.timed) {
            EXPECT_EQ(status(), "before");
        }
        EXPECT_EQ(host.calls,
                  c.timed ? std::vector<std::string>{"focus"} : std::vector<std::string>{});
        ASSERT_FALSE(pump.painted.empty());
        EXPECT_EQ(pump.painted.back(), "before @" + std::to_string(c.lastProgress));
        EXPECT_EQ(model.status.progress, 0);
        ASSERT_NE(edits->Dialog(), nullptr); // Ok leaves the dialog open
    }
}

TEST_F(PropertiesTest, EditsKeepTheBusyGuardAndTheSizeLimit) {
    show(Rgb(1501, 2, 10, 10, 10));
    edits->Open(PropertiesPanel::Brightness);
    edits->SliderChanged("sldBrightness", 50);
    edits->Click("cmdBOk");
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kTooLarge});
    EXPECT_EQ(picture(), Rgb(1501, 2, 10, 10, 10));

    show(Rgb(5, 5, 10, 10, 10));
    edits->Open(PropertiesPanel::Brightness);
    edits->SliderChanged("sldBrightness", 50);
    building = true;
    edits->Click("cmdBOk");
    model.status.progress = 3;
    building = false;
    edits->Click("cmdBOk");
    EXPECT_EQ(picture(), Rgb(5, 5, 10, 10, 10));
    EXPECT_EQ(status(), "before");
}

// The one picker serves both buttons: a cancelled pick gives the swatch the colour last
// chosen for either of them, black before any; a new dialog has a new picker.
TEST_F(PropertiesTest, CancelledPicksTakeThePickersLastColour) {
    show(Rgb(2, 2, 0, 0, 0));
    dialogs.colours = {std::nullopt, 0x0000FF, std::nullopt, core::ButtonFaceColour, 0x123456};
    edits->Open(PropertiesPanel::Replace);
    EXPECT_EQ(dialog().SwatchColour("picC1"), 0x000000);
    EXPECT_EQ(dialog().SwatchColour("picC2"), 0xFFFFFF);
    edits->Click("cmdColor2");
    EXPECT_EQ(dialog().SwatchColour("picC2"), 0x000000);
    edits->Click("cmdColor1");
    EXPECT_EQ(dialog().SwatchColour("picC1"), 0x0000FF);
    edits->Click("cmdColor2");
    EXPECT_EQ(dialog().SwatchColour("picC2"), 0x0000FF);
    edits->Click("cmdColor2"); // a system colour has no channels: as a cancel
    EXPECT_EQ(dialog().SwatchColour("picC2"), 0x0000FF);
    EXPECT_EQ(dialogs.colourDialogs, (std::vector<core::Colour>{0, 0, 0x0000FF, 0x0000FF}));

    edits->Click("cmdCCancel");
    edits->Open(PropertiesPanel::Replace);
    edits->Click("cmdColor2");
    EXPECT_EQ(dialogs.colourDialogs.back(), 0);
    EXPECT_EQ(dialog().SwatchColour("picC2"), 0x123456);
}

// Cancel saves the position and forgets everything; the next dialog starts afresh, with
// the picture's size of that moment as the original size.
TEST_F(PropertiesTest, CancelClosesAndTheNextDialogStartsFromTheCreationValues) {
    show(Rgb(80, 60, 1, 2, 3));
    edits->Open(PropertiesPanel::Resize);
    edits->Open(PropertiesPanel::Brightness); // open already: only the panel changes
    EXPECT_EQ(dialog().Panel(), PropertiesPanel::Brightness);
    EXPECT_EQ(dialog().Height(), 1610);
    edits->SliderChanged("sldBrightness", 40);
    edits->CheckChanged("chkProp", false);
    edits->TextChanged("txtWidth", "40");
    edits->Moved(3015, 4500.5);
    edits->Click("cmdROk"); // resizes to 40 x 60
    edits->Click("cmdBCancel");
    EXPECT_EQ(edits->Dialog(), nullptr);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"show", "show", "close"}));
    EXPECT_EQ(backend.read("propl"), "3015");
    EXPECT_EQ(backend.read("propt"), "4500.5");

    edits->Open(PropertiesPanel::RgbBalance);
    EXPECT_EQ(dialog().SliderValue("sldBrightness"), 0);
    EXPECT_TRUE(dialog().Proportional());
    EXPECT_EQ(dialog().Text("lblWidth"), "40");
    EXPECT_EQ(dialog().Text("txtHeight"), "60");
    EXPECT_EQ(dialog().Height(), 2820);
    EXPECT_EQ(dialog().Left, 3015);
    EXPECT_EQ(dialog().Top, 4500.5);
}

// A stored position that is broken or off the screens must not lose the dialog.
TEST_F(PropertiesTest, StoredPositionsAreKeptReachable) {
    struct Case {
        const char* left;
        const char* top;
        core::Twips x, y;
    };
    const core::Twips centreX = (19200 - core::PropertiesClientWidth) / 2,
                      centreY = (12000 - 2820) / 2;
    const Case cases[] = {
        {"3000", "4500", 3000, 4500},         {"", "abc", 2000, 2000}, // the first start's default
        {"-40000", "500", centreX, centreY},  {"1e300", "-1e300", centreX, centreY},
        {"18000", "11900", centreX, centreY},
    };
    show(Rgb(2, 2, 0, 0, 0));
    for (const Case& c : cases) {
        backend.write("propl", c.left);
        backend.write("propt", c.top);
        edits->Open(PropertiesPanel::Replace);
        EXPECT_EQ(dialog().Left, c.x) << c.left;
        EXPECT_EQ(dialog().Top, c.y) << c.top;
        edits->Close();
    }
}

Image Striped(int w, int h) {
    Image picture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.at(x, y) =
                0xFF000000u | static_cast<Image::Pixel>((x * 37 + y * 11) % 256 * 0x010101);
    return picture;
}

TEST_F(PropertiesTest, ResizesInARowScaleFromTheSameSourceAndShowAtFullSize) {
    const Image original = Striped(80, 60);
    show(original);
    model.picDisplay.visible = false;
    current->ZoomOffset = 1; // 200 %
    edits->Open(PropertiesPanel::Resize);
    rect.SelectMode = 1;
    edits->TextChanged("txtWidth", "40");
    EXPECT_EQ(dialog().Text("txtHeight"), "30");
    edits->Click("cmdROk");
    EXPECT_EQ(picture(), core::StretchImage(original, 40, 30));
    edits->TextChanged("txtWidth", "80.4"); // fractions are rounded
    edits->Click("cmdROk");
    EXPECT_EQ(picture(), core::StretchImage(original, 80, 60));
    EXPECT_NE(picture(), core::StretchImage(core::StretchImage(original, 40, 30), 80, 60));

    EXPECT_EQ(model.picMain.width, 80 * 15);
    EXPECT_EQ(fullScreen.picMain.height, 60 * 15);
    EXPECT_EQ(zoom->ZoomedWidth(), 80 * 15);
    EXPECT_EQ(current->ZoomOffset, 1);
    EXPECT_EQ(rect.SelectMode, 0);
    EXPECT_EQ(current->PixelSizeText(), "80 x 60 Pixel");
    EXPECT_EQ(hooks.count("fullScreen"), 2); // the display pane is hidden
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(dialog().Text("lblWidth"), "80");
    zoom->ApplyZoom(); // back to the zoom in force
    EXPECT_EQ(model.picMain.width, 80 * 15 * 2);
}

TEST_F(PropertiesTest, ResizeRefusesSizesItCannotMakeAndSaysWhy) {
    struct Case {
        const char* width;
        const char* height;
        const char* message;
    };
    const Case cases[] = {
        {"abc", "30", "The new width \"abc\" is not a number."},
        {"40", "", "The new height \"\" is not a number."},
        {"nan", "30", "The new width \"nan\" is not a number."},
        {"0", "30", "The new width must be at least 1 pixel."},
        {"0.5", "30", "The new width must be at least 1 pixel."},
        {"-40", "-30", "The new height must be at least 1 pixel."},
        {"40000", "1",
         "The new width of 40000 pixels is too large: a side can have at most 32767 pixels."},
        {"1e300", "1",
         "The new width of 1e+300 pixels is too large: a side can have at most 32767 pixels."},
        {"20000", "20000",
         "A picture of 20000 x 20000 pixels is too large: it would need more than 256 MB of "
         "memory."},
    };
    const Image original = Striped(8, 6);
    show(original);
    edits->Open(PropertiesPanel::Resize);
    edits->CheckChanged("chkProp", false);
    for (const Case& c : cases) {
        dialogs.messages.clear();
        edits->TextChanged("txtWidth", c.width);
        edits->TextChanged("txtHeight", c.height);
        edits->Click("cmdROk");
        EXPECT_EQ(dialogs.messages,
                  std::vector<std::string>{std::string(c.message) + "|Vistrel|0|0"});
        EXPECT_EQ(picture(), original);
    }
}

} // namespace
