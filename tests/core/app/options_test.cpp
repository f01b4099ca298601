#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "core/app/optionsdialog.h"
#include "core/app/optionslayout.h"
#include "fakes/appfixture.h"

using namespace vistrel;
using namespace vistrel::core;
using test::AppFixture;
using Strings = std::vector<std::string>;

namespace {

constexpr Colour Grey = 0x00C0C0C0; // the fixture's window background, so every default colour
const std::string GreyText = std::to_string(Grey);

struct OptionsTest : AppFixture {
    void SetUp() override {
        AppFixture::SetUp();
        start();
    }
    const OptionsState& options() { return *app->Options(); }
    void open() { app->Run(Command::Options); }
    void click(const char* control) { app->OptionsClick(control); }
    std::string stored(const char* key) { return settings.read(key); }
};

// Nothing is clipped or hidden under a neighbour: every control inside its parent, and no two
// controls of one parent overlap (the pages share one place and show one at a time).
TEST(OptionsLayout, EveryControlFitsInsideItsParentWithoutOverlap) {
    std::map<std::string, Box> boxes{{"", {0, 0, OptionsClientWidth, OptionsClientHeight}}};
    std::map<std::string, std::vector<OptionsControl>> children;
    for (const OptionsControl& c : OptionsControls()) {
        const Box& parent = boxes.at(c.parent);
        EXPECT_TRUE(c.box.left >= 0 && c.box.top >= 0 && c.box.right() <= parent.width &&
                    c.box.bottom() <= parent.height) << c.name;
        for (const OptionsControl& other : children[c.parent]) {
            if (c.kind == OptionsControlKind::Page && other.kind == OptionsControlKind::Page)
                continue;
            const bool apart = c.box.right() <= other.box.left || other.box.right() <= c.box.left ||
                               c.box.bottom() <= other.box.top || other.box.bottom() <= c.box.top;
            EXPECT_TRUE(apart) << c.name << " overlaps " << other.name;
        }
        boxes[c.name] = c.box;
        children[c.parent].push_back(c);
    }
}

// Opening reads the starting folder exactly as start-up does; only "False" means the last
// active folder. Opening again, from either window, keeps the open dialog as it is.
TEST_F(OptionsTest, StartingFolderControlsAndOpeningAgainKeepsTheDialog) {
    const std::vector<std::tuple<const char*, bool, const char*>> cases{
        {"False", false, "/"}, {"/pictures/2019", true, "/pictures/2019"}, {"", true, ""},
        {"false", true, "false"}};
    for (const auto& [homedir, specified, text] : cases) {
        settings.write("homedir", homedir);
        open();
        EXPECT_EQ(options().Checked("optHomedir"), specified) << homedir;
        EXPECT_EQ(options().Checked("optLastdir"), !specified) << homedir;
        for (const char* control : {"txtHome", "cmdBrowseDir", "cmdCurrentDir"})
            EXPECT_EQ(options().Enabled(control), specified) << homedir << " " << control;
        EXPECT_EQ(options().Text("txtHome"), text);
        click("cmdCancel");
    }

    open();
    app->OptionsTab("startup");
    settings.writes.clear();
    host.calls.clear();
    open();
    EXPECT_TRUE(options().PageShown("picStartUp"));
    app->OptionsClosed(); // the window's close button: as Cancel
    EXPECT_EQ(host.calls, (Strings{"options", "close options"}));
    EXPECT_TRUE(settings.writes.empty());
    open();
    EXPECT_TRUE(options().PageShown("picDisplay"));
    click("cmdCancel");

    // Browse and Current directory fill the box; a cancelled browse leaves it, and an empty box
    // is written as it stands.
    settings.write("homedir", "False");
    dialogs.folders = {std::nullopt, std::string("/chosen")};
    open();
    click("cmdCurrentDir"); // disabled with the last active folder selected
    EXPECT_EQ(options().Text("txtHome"), "/");
    click("optHomedir");
    app->OptionsText("txtHome", "");
    click("cmdBrowseDir");
    EXPECT_EQ(options().Text("txtHome"), "");
    click("cmdApply");
    EXPECT_EQ(stored("homedir"), "");
    click("cmdBrowseDir");
    EXPECT_EQ(options().Text("txtHome"), "/chosen");
    EXPECT_EQ(dialogs.folderDialogs.back(), "Select a Folder with Images...|");
    click("cmdCurrentDir");
    EXPECT_EQ(options().Text("txtHome"), app->Browser().folderPath());
    click("optLastdir");
    click("cmdApply");
    EXPECT_EQ(stored("homedir"), "False");
}

// Seconds with the locale's shortest text, the slider kept in its range whether the value
// comes from the store or from the slider; a stored non-number gives the delay in force.
TEST_F(OptionsTest, DelayLabelShowsSecondsAndTheSliderStaysInRange) {
    const std::vector<std::tuple<const char*, int, const char*>> stored{
        {"1500", 1500, "1.5"}, {"1", 1, "0.001"},     {"-7", 1, "0.001"},   {"25000", 20000, "20"},
        {"1e300", 20000, "20"}, {"2500.5", 2500, "2.5"}, {"abc", 1000, "1"}};
    for (const auto& [value, delay, label] : stored) {
        settings.write("slidedelay", value);
        open();
        EXPECT_EQ(options().delay, delay) << value;
        EXPECT_EQ(options().Text("lblDelay"), label) << value;
        click("cmdCancel");
    }
    const std::vector<std::tuple<int, int, const char*>> moved{
        {1, 1, "0.001"}, {12345, 12345, "12.345"}, {INT_MIN, 1, "0.001"}, {INT_MAX, 20000, "20"}};
    open();
    for (const auto& [value, delay, label] : moved) {
        app->OptionsSlider(value);
        EXPECT_EQ(options().delay, delay) << value;
        EXPECT_EQ(options().Text("lblDelay"), label) << value;
    }
}

// Values that are not numbers are refused: the dialog shows what the program uses, and Apply
// writes sound values back. An order it cannot show stays stored; when that one is not a
// number either, the reload stops there and panel 3 says so.
TEST_F(OptionsTest, StoredNonNumbersAreRefusedWithoutThrowing) {
    for (const char* key : {"slidemode", "repeat", "thucolour", "discolour"})
        settings.write(key, "soon");
    settings.write("discolour", "1e20");
    open();
    EXPECT_TRUE(options().Checked("optDescending")); // the order in force
    EXPECT_FALSE(options().Checked("ckbRepeat"));
    click("cmdOk");
    for (const auto& [key, value] : std::vector<std::pair<const char*, std::string>>{
             {"slidemode", "2"}, {"repeat", "0"}, {"thucolour", GreyText}, {"discolour", GreyText}})
        EXPECT_EQ(stored(key), value) << key;

    settings.write("slidemode", "7");
    settings.write("repeat", "2"); // checked only on 1, as the slide show reads it
    open();
    click("cmdApply");
    EXPECT_FALSE(options().Checked("optRandom") || options().Checked("optDescending") ||
                 options().Checked("optAscending"));
    EXPECT_EQ(stored("slidemode"), "7");
    EXPECT_EQ(stored("repeat"), "0");
    EXPECT_EQ(app->View().SlideOrder, 7);

    settings.write("slidemode", "abc");
    click("cmdCancel");
    open();
    click("cmdApply");
    EXPECT_EQ(panel(StatusBarState::Status),
              "Error: the setting \"slidemode\" holds \"abc\", which is not a number");
}

// The mend: colours being chosen live in the dialog, so Cancel leaves the running program
// (panes, paste background) as it was. The chooser keeps its colour between openings and
// a cancelled one gives back the colour it opened on. Apply puts everything into effect but
// the pace of a running slide show, which holds until the show starts again.
TEST_F(OptionsTest, NothingReachesTheProgramBeforeApply) {
    dialogs.colours = {0x0000FF, std::nullopt, 0x00FF00};
    const auto before = settings.values;
    open();
    click("cmdDisplay");
    EXPECT_EQ(options().displayColour, 0x0000FF);
    click("cmdCancel");
    EXPECT_EQ(settings.values, before);
    EXPECT_EQ(app->View().DisplayColour, Grey);
    EXPECT_EQ(app->Model().displayColour, Grey);

    app->Run(Command::SlideShow);
    open();
    EXPECT_EQ(options().displayColour, Grey);
    click("cmdThumbnail"); // cancelled
    EXPECT_EQ(options().thumbnailColour, Grey);
    click("cmdDisplay");
    click("cmdThumbnail"); // cancelled, on the colour the chooser kept
    EXPECT_EQ(dialogs.colourDialogs, (std::vector<Colour>{Grey, Grey, Grey, 0x00FF00}));
    app->OptionsSlider(5000);
    click("optRandom");
    click("cmdOk");
    EXPECT_EQ(app->Options(), nullptr);
    EXPECT_EQ(stored("thucolour"), std::to_string(0x00FF00));
    EXPECT_EQ(app->Model().displayColour, 0x00FF00);
    EXPECT_EQ(app->Model().thumbnailColour, 0x00FF00);
    EXPECT_EQ(app->View().SlideOrder, 3);
    EXPECT_EQ(stored("slidedelay"), "5000");
    EXPECT_EQ(timer.interval(), 1000);
}

// The handles follow the option at once, and only around a picture that is shown.
TEST_F(OptionsTest, ApplyPlacesOrHidesTheHandles) {
    ASSERT_TRUE(app->Model().resizeHandles.visible());
    test::TempFolder empty;
    const std::vector<std::tuple<bool, bool, bool>> cases{
        {false, true, false}, {true, true, true}, {true, false, false}};
    for (const auto& [checked, picture, shown] : cases) {
        if (!picture) app->FolderActivated(empty.path());
        ASSERT_EQ(app->Model().picMain.visible, picture);
        open();
        app->OptionsCheck("chkResizeHandles", checked);
        click("cmdApply");
        EXPECT_EQ(stored("resizehandles"), checked ? "1" : "0");
        EXPECT_EQ(app->Model().resizeHandles.visible(), shown) << checked << picture;
    }
}

// Reset writes the defaults at once, keeps the splitter where it is and shows the defaults on
// the page in view; Cancel afterwards takes nothing back.
TEST_F(OptionsTest, ResetWritesTheDefaultsAtOnce) {
    dialogs.colours = {0x0000FF};
    settings.write("homedir", "/pics");
    settings.write("slidedelay", "7000");
    settings.write("slidemode", "3");
    settings.write("repeat", "1");
    settings.write("bar", "1234");
    open();
    app->OptionsTab("slideshow");
    app->OptionsCheck("chkResizeHandles", false);
    click("cmdDisplay");
    click("cmdReset");
    const OptionsState& o = options();
    EXPECT_TRUE(o.PageShown("picSlideShow"));
    EXPECT_EQ(o.Text("lblDelay"), "1");
    for (const char* on : {"optDescending", "chkResizeHandles", "optLastdir"})
        EXPECT_TRUE(o.Checked(on)) << on;
    EXPECT_FALSE(o.Checked("ckbRepeat") || o.Enabled("txtHome") || o.Enabled("cmdBrowseDir"));
    EXPECT_EQ(o.displayColour, Grey);
    click("cmdCancel");
    const std::vector<std::pair<const char*, std::string>> defaults{
        {"homedir", "False"}, {"slidedelay", "1000"}, {"slidemode", "2"}, {"repeat", "0"},
        {"resizehandles", "1"}, {"discolour", GreyText}, {"maximized", "True"},
        {"bar", FormatNumber(app->Model().picDisplay.width)}};
    for (const auto& [key, value] : defaults) EXPECT_EQ(stored(key), value) << key;
    EXPECT_NE(stored("bar"), "1234");
    EXPECT_EQ(app->View().SlideRepeat, 0);
}

} // namespace
