#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/app/settingsstore.h"
#include "core/editing/pixeledit.h"
#include "core/editing/propertiesedits.h"
#include "core/editing/stretch.h"
#include "core/viewer/zoompan.h"
#include "fakes/appfixture.h"
#include "fakes/memorysettings.h"
#include "fakes/rigs.h"

using namespace vistrel;
using core::Image;
using core::PropertiesDialog;
using core::PropertiesPanel;
using Strings = std::vector<std::string>;

namespace {

TEST(PropertiesDialog, ProportionLinkFollowsTheOriginalRatioAndComesToRest) {
    struct Case {
        int w, h;
        char separator;
        bool linked;
        const char *box, *typed, *width, *height;
    };
    const Case cases[] = {
        {800, 600, '.', true, "txtWidth", "400", "400", "300"},
        {800, 600, '.', true, "txtHeight", "400", "533.333333333333", "400"},
        {800, 600, '.', true, "txtWidth", "1e2", "1e2", "75"}, // no answer back to the typed box
        {800, 600, '.', true, "txtWidth", "", "", "600"},      // no number: the other box stays
        {800, 600, '.', true, "txtHeight", "12px", "800", "12px"},
        {800, 600, ',', true, "txtWidth", "400,5", "400,5", "300,375"},
        {800, 600, '.', false, "txtWidth", "400", "400", "600"},
        {0, 0, '.', true, "txtWidth", "400", "400", "0"}, // no picture: nothing to divide by
    };
    for (const Case& c : cases) {
        PropertiesDialog dialog(c.w, c.h, c.separator);
        dialog.SetProportional(c.linked);
        dialog.EditText(c.box, c.typed);
        EXPECT_EQ(dialog.Text("txtWidth"), c.width) << c.box << " " << c.typed;
        EXPECT_EQ(dialog.Text("txtHeight"), c.height) << c.box << " " << c.typed;
    }
}

TEST(PropertiesDialog, SlidersStartAtTheirValuesAndStayInRange) {
    PropertiesDialog dialog(10, 10);
    EXPECT_EQ(dialog.SliderValue("sldColor"), 2);
    const std::vector<std::tuple<const char*, int, int>> cases{
        {"sldBrightness", -1000, -100}, {"sldRed", 101, 100}, {"sldBlue", -37, -37},
        {"sldColor", -5, 0}, {"sldColor", 2147483647, 100}};
    for (const auto& [slider, value, kept] : cases) {
        dialog.SetSlider(slider, value);
        EXPECT_EQ(dialog.SliderValue(slider), kept) << slider << " " << value;
    }
}

// Nothing is clipped: every control inside its parent, every panel's controls inside the
// dialog at that panel's height.
TEST(PropertiesDialog, EveryControlFitsWhereItIsShown) {
    std::map<std::string, core::Box> placed; // in dialog coordinates
    std::map<std::string, std::string> panelOf;
    for (const auto& c : core::PropertiesControls()) {
        const core::Box dialog{0, 0, core::PropertiesClientWidth, 2820};
        const core::Box parent = c.parent.empty() ? dialog : placed.at(c.parent);
        core::Box box = c.box;
        box.left += parent.left;
        box.top += parent.top;
        EXPECT_TRUE(c.box.left >= 0 && c.box.top >= 0 && c.box.right() <= parent.width &&
                    c.box.bottom() <= parent.height) << c.name << " " << c.caption;
        const std::string panel = c.parent.empty() ? c.name : panelOf.at(c.parent);
        // The panel itself is as tall as the others; what is on it must show.
        if (panel == "picBrightness" && c.kind != core::ControlKind::Panel) {
            EXPECT_LE(box.bottom(), 1610) << c.name << " " << c.caption;
        }
        if (!c.name.empty()) {
            placed[c.name] = box;
            panelOf[c.name] = panel;
        }
    }
}

struct PropertiesTest : ::testing::Test, test::ViewerRig<> {
    test::MemorySettings backend;
    core::SettingsStore store{backend};
    test::FakeHost host; // the main window, recording the calls
    test::ScriptedDialogs dialogs;
    test::FakeClock clock;
    test::RecordingPump pump;
    bool building = false;
    std::unique_ptr<core::PixelEdit> pixelEdit;
    std::unique_ptr<core::ZoomPan> zoom;
    std::unique_ptr<core::PropertiesEdits> edits;

    // The program showing this picture, panel 3 saying "before".
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
        model.status.setText(core::StatusBarState::Status, "before");
    }
    const PropertiesDialog& dialog() { return *edits->Dialog(); }
    const Image& picture() { return current->picload(); }
    std::string status() { return model.status.text(core::StatusBarState::Status); }
};

Image Flat(int w, int h, int r, int g, int b) {
    return Image(w, h, 0xFF000000u | r << 16 | g << 8 | b);
}

// Each Ok runs its panel's edit through the pixel-edit frame; colour replacement runs the bar
// from 0 again and leaves panel 3 and the keys alone.
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
        {PropertiesPanel::Brightness, "cmdBOk", {{"sldBrightness", 100}}, Flat(3, 4, 200, 100, 0),
         Flat(3, 4, 255, 200, 100), true, 87},
        {PropertiesPanel::RgbBalance, "cmdRGBOk", {{"sldRed", -100}, {"sldBlue", 100}},
         Flat(3, 4, 50, 50, 50), Flat(3, 4, 0, 50, 150), true, 87},
        {PropertiesPanel::Replace, "cmdCReplace", {{"sldColor", 10}}, Flat(3, 4, 0, 0, 0),
         Flat(3, 4, 255, 255, 255), false, 75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ok);
        show(c.before);
        edits->Open(c.panel);
        for (const auto& [slider, value] : c.sliders) edits->SliderChanged(slider, value);
        host.calls.clear();
        const auto revision = current->PictureRevision();
        edits->Click(c.ok);
        EXPECT_EQ(picture(), c.after);
        EXPECT_GT(current->PictureRevision(), revision);
        EXPECT_EQ(status().rfind("Processed in ", 0) == 0, c.timed) << status();
        EXPECT_EQ(status() == "before", !c.timed);
        EXPECT_EQ(host.calls, c.timed ? Strings{"focus"} : Strings{});
        EXPECT_EQ(pump.painted.back(), "before @" + std::to_string(c.lastProgress));
        EXPECT_NE(edits->Dialog(), nullptr); // Ok leaves the dialog open
    }
}

// The size limit is the pixel edit's own (tested there); a build in progress holds the edit.
TEST_F(PropertiesTest, EditsWaitForTheBuild) {
    show(Flat(5, 5, 10, 10, 10));
    edits->Open(PropertiesPanel::RgbBalance);
    edits->SliderChanged("sldRed", 50);
    building = true;
    edits->Click("cmdRGBOk");
    EXPECT_EQ(picture(), Flat(5, 5, 10, 10, 10));
}

// One picker serves both buttons: a cancelled pick gives the swatch the colour last chosen
// for either, black before any; a new dialog has a new picker.
TEST_F(PropertiesTest, CancelledPicksTakeThePickersLastColour) {
    show(Flat(2, 2, 0, 0, 0));
    dialogs.colours = {std::nullopt, 0x0000FF, std::nullopt, core::ButtonFaceColour, 0x123456};
    edits->Open(PropertiesPanel::Replace);
    EXPECT_EQ(dialog().SwatchColour("picC2"), 0xFFFFFF);
    const std::vector<std::tuple<const char*, const char*, core::Colour>> picks{
        {"cmdColor2", "picC2", 0}, {"cmdColor1", "picC1", 0x0000FF},
        {"cmdColor2", "picC2", 0x0000FF},
        {"cmdColor2", "picC2", 0x0000FF}}; // a system colour has no channels: as a cancel
    for (const auto& [button, swatch, colour] : picks) {
        edits->Click(button);
        EXPECT_EQ(dialog().SwatchColour(swatch), colour) << button;
    }
    EXPECT_EQ(dialogs.colourDialogs, (std::vector<core::Colour>{0, 0, 0x0000FF, 0x0000FF}));

    edits->Click("cmdCCancel");
    edits->Open(PropertiesPanel::Replace);
    edits->Click("cmdColor2");
    EXPECT_EQ(dialogs.colourDialogs.back(), 0);
}

// Cancel saves the position and forgets everything; the next dialog starts afresh, with the
// picture's size of that moment as the original size.
TEST_F(PropertiesTest, CancelClosesAndTheNextDialogStartsFromTheCreationValues) {
    show(Flat(80, 60, 1, 2, 3));
    edits->Open(PropertiesPanel::Resize);
    edits->Open(PropertiesPanel::Brightness); // open already: only the panel changes
    EXPECT_EQ(dialog().Height(), 1610);
    edits->SliderChanged("sldBrightness", 40);
    edits->CheckChanged("chkProp", false);
    edits->TextChanged("txtWidth", "40");
    edits->Moved(3015, 4500.5);
    edits->Click("cmdROk"); // resizes to 40 x 60
    edits->Click("cmdBCancel");
    EXPECT_EQ(edits->Dialog(), nullptr);
    EXPECT_EQ(host.calls, (Strings{"properties", "properties", "close properties"}));
    EXPECT_EQ(backend.read("propl"), "3015");
    EXPECT_EQ(backend.read("propt"), "4500.5");

    edits->Open(PropertiesPanel::RgbBalance);
    EXPECT_EQ(dialog().SliderValue("sldBrightness"), 0);
    EXPECT_TRUE(dialog().Proportional());
    EXPECT_EQ(dialog().Text("lblWidth"), "40");
    EXPECT_EQ(dialog().Text("txtHeight"), "60");
    EXPECT_EQ(dialog().Height(), 2820);
    EXPECT_EQ(dialog().Top, 4500.5);
}

// A stored position that is broken or off the screens must not lose the dialog.
TEST_F(PropertiesTest, StoredPositionsAreKeptReachable) {
    const core::Twips x = (19200 - core::PropertiesClientWidth) / 2, y = (12000 - 2820) / 2;
    const std::vector<std::tuple<const char*, const char*, core::Twips, core::Twips>> cases{
        {"3000", "4500", 3000, 4500}, {"", "abc", 2000, 2000}, // the first start's default
        {"-40000", "500", x, y}, {"1e300", "-1e300", x, y}, {"18000", "11900", x, y}};
    show(Flat(2, 2, 0, 0, 0));
    for (const auto& [left, top, expectedLeft, expectedTop] : cases) {
        backend.write("propl", left);
        backend.write("propt", top);
        edits->Open(PropertiesPanel::Replace);
        EXPECT_EQ(dialog().Left, expectedLeft) << left;
        EXPECT_EQ(dialog().Top, expectedTop) << top;
        edits->Close();
    }
}

Image Striped(int w, int h) {
    Image picture(w, h);
    for (int i = 0; i < w * h; ++i) picture.data()[i] = 0xFF000000u | (i * 37 % 256 * 0x010101u);
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
    edits->Click("cmdROk");
    EXPECT_EQ(picture(), core::StretchImage(original, 40, 30));
    edits->TextChanged("txtWidth", "80.4"); // 60.3 high; fractions are rounded
    edits->Click("cmdROk");
    EXPECT_EQ(picture(), core::StretchImage(original, 80, 60));
    EXPECT_NE(picture(), core::StretchImage(core::StretchImage(original, 40, 30), 80, 60));

    EXPECT_EQ(model.picMain.width, 80 * 15);
    EXPECT_EQ(fullScreen.picMain.height, 60 * 15);
    EXPECT_EQ(zoom->ZoomedWidth(), 80 * 15);
    EXPECT_EQ(rect.SelectMode, 0);
    EXPECT_EQ(current->PixelSizeText(), "80 x 60 Pixel");
    EXPECT_EQ(hooks.count("fullScreen"), 2); // the display pane is hidden
    EXPECT_TRUE(dialogs.messages.empty());
    zoom->ApplyZoom(); // back to the zoom in force
    EXPECT_EQ(model.picMain.width, 80 * 15 * 2);
}

TEST_F(PropertiesTest, ResizeRefusesSizesItCannotMakeAndSaysWhy) {
    const std::string tooWide = " pixels is too large: a side can have at most 32767 pixels.";
    const std::vector<std::tuple<const char*, const char*, std::string>> cases{
        {"abc", "30", "The new width \"abc\" is not a number."},
        {"40", "", "The new height \"\" is not a number."},
        {"nan", "30", "The new width \"nan\" is not a number."},
        {"0.5", "30", "The new width must be at least 1 pixel."},
        {"-40", "-30", "The new height must be at least 1 pixel."},
        {"40000", "1", "The new width of 40000" + tooWide},
        {"1e300", "1", "The new width of 1e+300" + tooWide},
        {"20000", "20000", "A picture of 20000 x 20000 pixels is too large: it would need more "
                           "than 256 MB of memory."},
    };
    const Image original = Striped(8, 6);
    show(original);
    edits->Open(PropertiesPanel::Resize);
    edits->CheckChanged("chkProp", false);
    for (const auto& [width, height, message] : cases) {
        dialogs.messages.clear();
        edits->TextChanged("txtWidth", width);
        edits->TextChanged("txtHeight", height);
        edits->Click("cmdROk");
        EXPECT_EQ(dialogs.messages, Strings{message + "|Vistrel|0|0"});
        EXPECT_EQ(picture(), original);
    }
}

} // namespace
