#include <algorithm>

#include <gtest/gtest.h>

#include "core/app/aboutlayout.h"
#include "core/app/application.h"
#include "core/app/helplinks.h"
#include "core/app/numbers.h"
#include "fakes/appfixture.h"

using namespace vistrel::core;
using namespace vistrel::test;
using Strings = std::vector<std::string>;

namespace {

struct ApplicationTest : AppFixture {
    // Twelve more pictures elsewhere, built one repaint per cell, so that the pump runs mid-build.
    void slowFolder() {
        for (int i = 0; i < 12; ++i) elsewhere.file("s" + std::to_string(i) + ".jpg");
        clock.step = 1;
    }
};

} // namespace

TEST_F(ApplicationTest, FirstStartWritesDefaultsMaximizesAndOpensTheProgramFolder) {
    start();
    const auto& m = app->Model();
    EXPECT_EQ(settings.read("load"), "set");
    EXPECT_EQ(settings.read("thucolour"), "12632256"); // the window background passed in
    // The normal placement goes first, so that un-maximizing has it to restore.
    EXPECT_EQ(Strings(host.calls.begin(), host.calls.begin() + 6),
              (Strings{"left 190", "top 190", "height 6360", "width 9180", "maximize", "show"}));
    EXPECT_EQ(host.calls.back(), "focus");
    EXPECT_EQ(app->Browser().folderPath(), program.path());
    EXPECT_EQ(panel(StatusBarState::Images), "Images: 2");
    EXPECT_TRUE(m.picExplorer.visible && m.picDisplay.visible && m.bandTools && m.bandAddress);
    EXPECT_EQ(m.picDisplay.width, 5545);
    // The thumbnail box and the caption template the builder reads.
    EXPECT_EQ((std::vector{m.imgTemp.width, m.imgTemp.height, m.lblFileName0.top}),
              (std::vector<Twips>{1295, 1120, 1320}));
}

TEST_F(ApplicationTest, TheStartingFolderIsBuiltEvenWhenAlreadyShownAndFallsBackSilentlyWhenGone) {
    start();
    settings.write("lastdir", elsewhere.path()); // the folder the list shows before start-up
    start();
    EXPECT_EQ(app->Browser().folderPath(), elsewhere.path());
    EXPECT_EQ(panel(StatusBarState::Images), "Images: 1");

    settings.write("homedir", elsewhere.path() + "/gone");
    start();
    EXPECT_EQ(app->Browser().folderPath(), program.path());
    EXPECT_EQ(panel(StatusBarState::Images), "Images: 2");
    EXPECT_EQ(panel(StatusBarState::Status).find("Error"), std::string::npos);
}

TEST_F(ApplicationTest, StoredPlacementIsAppliedInOrderUntilAValueIsNotANumber) {
    settings.values = {{"load", "set"}};
    start(); // "maximized" reads empty, so the position is read, and "" is not a number
    EXPECT_TRUE(app->StartupTrapped());
    EXPECT_EQ(settings.writes.size(), 0u);

    settings.values.clear();
    start();
    app->Close();
    settings.write("maximized", "true"); // only the exact word maximizes
    settings.write("formw", "abc");
    settings.write("lastdir", elsewhere.path());
    host.calls.clear();
    start();
    // The window kept its width and the rest was skipped (no handles, no folder opened),
    // but it is shown: a program with no window could only be killed.
    EXPECT_EQ(host.calls, (Strings{"left 190", "top 190", "height 6360", "show"}));
    EXPECT_TRUE(app->StartupTrapped());
    EXPECT_FALSE(app->Model().resizeHandles.visible());
    EXPECT_EQ(panel(StatusBarState::Images), "Images:");
    EXPECT_EQ(panel(StatusBarState::Status),
              "Error: the setting \"formw\" holds \"abc\", which is not a number");

    // A later value trips after the window is shown: it is not shown twice.
    settings.write("formw", "9180");
    settings.write("slidedelay", "soon");
    host.calls.clear();
    start();
    EXPECT_TRUE(app->StartupTrapped());
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "show"), 1);
}

TEST_F(ApplicationTest, StoredNumbersOutOfRangeAreKeptOnTheScreen) {
    // The screen is 19200 x 12000; the narrowest window with bar = 5545 is 9712 wide.
    struct Case {
        const char* key;
        const char* value;
        std::vector<Twips> placed; // left, top, outer width, outer height
        Twips bar;
    };
    const Case cases[] = {
        {"formw", "1e300", {190, 190, 19200, 6360}, 5545},
        {"formh", "1e300", {190, 190, 9712, 12000}, 5545},
        {"forml", "1e300", {5010, 2820, 9712, 6360}, 5545}, // off screen: centred
        {"bar", "1e300", {190, 190, 19200, 6360}, 15033},   // leaves the thumbnails room
        {"bar", "-3000", {190, 190, 9180, 6360}, 1575},     // one cell wide at least
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        settings.values.clear();
        start();
        settings.write("maximized", "False");
        settings.write(c.key, c.value);
        start();
        const auto& m = app->Model();
        EXPECT_FALSE(app->StartupTrapped());
        EXPECT_EQ((std::vector{m.frame.left, m.frame.top, m.frame.outerWidth, m.frame.outerHeight}),
                  c.placed);
        EXPECT_EQ(m.picDisplay.width, c.bar);
        EXPECT_TRUE(m.picDisplay.visible && m.picPreview.width > 0);
        app->Close();
        EXPECT_EQ(settings.read("bar"), FormatNumber(c.bar));
    }
}

TEST_F(ApplicationTest, AMaximizedStartKeepsTheStoredNormalPlacementForLater) {
    start();
    for (const auto& [key, value] : {std::pair{"forml", "300"}, {"formt", "200"},
                                     {"formh", "7000"}, {"formw", "10000"}})
        settings.write(key, value);
    host.calls.clear();
    start();
    EXPECT_EQ(Strings(host.calls.begin(), host.calls.begin() + 5),
              (Strings{"left 300", "top 200", "height 7000", "width 10000", "maximize"}));

    // While maximized the placement is not needed, so a broken one stops nothing.
    settings.write("formw", "abc");
    host.calls.clear();
    start();
    EXPECT_FALSE(app->StartupTrapped());
    EXPECT_EQ(host.calls.front(), "maximize");
}

TEST_F(ApplicationTest, SettingsThatCannotBeKeptAreReportedOnceTheBuildHasRun) {
    settings.problem = "/home/u/.config/Vistrel/Vistrel.ini is read-only";
    start();
    EXPECT_EQ(panel(StatusBarState::Images), "Images: 2");
    EXPECT_EQ(panel(StatusBarState::Status),
              "Settings cannot be saved: /home/u/.config/Vistrel/Vistrel.ini is read-only");
}

// The menus' pages are opened through the window in the Qt tests; here only what they cannot reach.
TEST_F(ApplicationTest, AboutLinkOpensTheHomePageAndOkClosesIt) {
    start();
    host.calls.clear();
    app->Run(Command::About);
    app->AboutClick("lblLink");
    app->AboutClick("lblTitle"); // not a link
    app->AboutClick("cmdOk");
    EXPECT_EQ(host.calls, (Strings{"about", "close about"}));
    EXPECT_EQ(shell.opened, Strings{"https://quorvane.example/"});
    // A program folder that already ends in a separator gets no second one.
    EXPECT_EQ(HelpPagePath("/opt/vistrel/"), "/opt/vistrel/help.html");
}

TEST(AboutLayout, EveryControlLiesInsideTheWindowAndNoneOverlapsAnother) {
    const auto& controls = AboutControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Box& a = controls[i].box;
        SCOPED_TRACE(controls[i].name);
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.width > 0 && a.height > 0 &&
                    a.right() <= AboutClientWidth && a.bottom() <= AboutClientHeight);
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const Box& b = controls[j].box;
            EXPECT_TRUE(a.right() <= b.left || b.right() <= a.left || a.bottom() <= b.top ||
                        b.bottom() <= a.top)
                << "overlaps " << controls[j].name;
        }
    }
}

TEST_F(ApplicationTest, AFilterCommandEditsTheShownPictureAndSaysHowLongItTook) {
    loader.pictures["a.jpg"] = {20, 10, 0xFF102030};
    start();
    app->Run(Command::ZoomLevel, "300");
    const auto revision = app->Current().PictureRevision();
    app->Run(Command::Invert);
    EXPECT_EQ(app->Current().picload().at(7, 3), 0xFFEFDFCFu);
    EXPECT_GT(app->Current().PictureRevision(), revision); // the surfaces draw it again
    EXPECT_EQ(panel(StatusBarState::Status).rfind("Processed in ", 0), 0u);
    EXPECT_EQ(panel(StatusBarState::Zoom), "Zoom: 300%"); // at the zoom it had
    EXPECT_FALSE(app->Busy());
}

TEST_F(ApplicationTest, FullScreenOpenedOnAnEmptyFolderShowsTheNextLoad) {
    TempFolder empty;
    start();
    settings.write("homedir", empty.path());
    start();
    app->Run(Command::FullScreen);
    EXPECT_FALSE(app->FullScreen().picMain.visible);
    app->AddressEntered(program.path());
    EXPECT_TRUE(app->Model().picMain.visible);
    EXPECT_TRUE(app->FullScreen().picMain.visible);
}

TEST_F(ApplicationTest, PaneAndBandFlagsHideOnlyOnTheExactWord) {
    for (const auto& [word, visible] : {std::pair{"False", false}, {"false", true}, {"0", true}}) {
        settings.values.clear();
        start();
        for (const char* key : {"showexplorer", "showdisplay", "bartools", "baraddress"})
            settings.write(key, word);
        start();
        const auto& m = app->Model();
        EXPECT_EQ(
            (std::vector{m.picExplorer.visible, m.picDisplay.visible, m.bandTools, m.bandAddress}),
            std::vector<bool>(4, visible))
            << word;
    }
}

TEST_F(ApplicationTest, ClosingWritesPlacementAndPanesButExitWritesNothing) {
    start();
    app->Run(Command::Explorer);
    app->Close();
    EXPECT_EQ(settings.read("lastdir"), program.path());
    EXPECT_EQ(settings.read("maximized"), "True");
    EXPECT_EQ(settings.read("showexplorer"), "False");
    EXPECT_EQ(settings.read("showdisplay"), "True");
    EXPECT_EQ(settings.read("formw"), "9180"); // a maximized close keeps the normal placement
    EXPECT_EQ(host.calls.back(), "close others");

    host.f.state = WindowState::Minimized;
    host.f.left = 300;
    app->SetFrame(host.f);
    app->Close();
    EXPECT_EQ(settings.read("maximized"), "False");
    EXPECT_EQ(settings.read("forml"), "300");

    const auto before = settings.values;
    const auto writes = settings.writes.size();
    app->AddressEntered(elsewhere.path());
    app->Run(Command::Exit);
    EXPECT_EQ(host.calls.back(), "quit");
    EXPECT_EQ(settings.values, before);
    EXPECT_EQ(settings.writes.size(), writes);
}

TEST_F(ApplicationTest, FileTypesRelist) {
    start();
    app->Run(Command::FileType, "mnuBmp");
    EXPECT_EQ(panel(StatusBarState::Images), "Images: 1");
    app->Run(Command::FileType, "mnuAll");
    EXPECT_EQ(panel(StatusBarState::Images), "Images: 2");
}

TEST_F(ApplicationTest, SlideTicksDuringABuildAreIgnoredSoTheBuildEndsOnTheFirstPicture) {
    slowFolder();
    start();
    app->Run(Command::SlideShow);
    ASSERT_GT(timer.ms, 0);
    int ticks = 0;
    pump.pending = [&] {
        ++ticks;
        app->SlideTimerTick();
    };
    app->AddressEntered(elsewhere.path());
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(app->Current().CurrentFileIndex, 0);
    EXPECT_EQ(app->SelectedFiles().names(), Strings{"c.gif"});

    pump.pending = nullptr;
    app->SlideTimerTick(); // once the build is over, the show goes on
    EXPECT_EQ(app->Current().CurrentFileIndex, 1);
}

// The window takes input while a folder builds: these come in through the pump mid-build.
TEST_F(ApplicationTest, AnotherFolderOpenedDuringABuildTakesItsPlace) {
    slowFolder();
    TempFolder other;
    for (const char* name : {"x1.jpg", "x2.jpg", "x3.jpg"}) other.file(name);
    start();
    int pumps = 0;
    pump.pending = [&] {
        if (++pumps == 3) app->FolderActivated(other.path());
    };
    app->AddressEntered(elsewhere.path());
    ASSERT_EQ(app->Sheet().cellCount(), 3);
    EXPECT_EQ(app->Sheet().cell(2).name, "x3.jpg");
    EXPECT_EQ(app->Current().ImageCount, 3);
    EXPECT_EQ(app->SelectedFiles().names(), Strings{"x1.jpg"});
    EXPECT_EQ(panel(StatusBarState::Images), "Images: 3");
    EXPECT_EQ(panel(StatusBarState::Status).rfind("00:00:", 0), 0u);
    EXPECT_FALSE(app->Busy());
}

TEST_F(ApplicationTest, AClickDuringTheBuildLoadsThatPictureAndTheBuildLeavesItThere) {
    slowFolder();
    start();
    bool clicked = false;
    std::vector<bool> enabled;
    pump.pending = [&] {
        const ThumbnailSheet& sheet = app->Sheet();
        if (clicked || sheet.cellCount() <= 5 || !sheet.cell(5).cell.visible) return;
        clicked = true;
        for (Command c : {Command::Delete, Command::Invert, Command::SaveAs, Command::Print,
                          Command::SlideShow, Command::ZoomIn, Command::Next})
            enabled.push_back(app->CommandEnabled(c));
        app->Run(Command::Delete); // held: no question asked, nothing deleted
        select({5});
    };
    const std::uint64_t loadsBefore = app->Current().loadSerial();
    app->AddressEntered(elsewhere.path());
    ASSERT_TRUE(clicked);
    EXPECT_EQ(enabled, (std::vector<bool>{false, false, false, false, false, true, true}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(app->Current().CurrentFileIndex, 5);
    EXPECT_EQ(app->SelectedFiles().names(), Strings{"s4.jpg"});
    EXPECT_EQ(app->Current().loadSerial() - loadsBefore, 2u); // the first picture, the click
    EXPECT_TRUE(app->CommandEnabled(Command::Delete));
}

TEST_F(ApplicationTest, PreviousNextAndSlidesScrollTheCurrentCellIntoView) {
    for (int i = 0; i < 99; ++i) elsewhere.file("s" + std::to_string(i) + ".jpg");
    start();
    app->AddressEntered(elsewhere.path());
    const auto& m = app->Model();
    ASSERT_TRUE(m.vScroll.visible); // 100 cells, 7 a row in the maximized window
    const std::tuple<Command, int, bool, int> cases[] = {
        // command, from picture, from the sheet's bottom, to picture
        {Command::Next, 59, false, 60},
        {Command::Previous, 1, true, 0},
        {Command::SlideShow, 69, false, 70},
        {Command::Next, 99, false, 99}, // at the last
    };
    for (const auto& [command, from, fromBottom, to] : cases) {
        SCOPED_TRACE(from);
        app->FileListClicked(from);
        app->ScrollBarMoved(fromBottom ? m.vScrollState.maximum : 0);
        app->Run(command);
        if (command == Command::SlideShow) {
            app->SlideTimerTick();
            app->Run(command);
        }
        ASSERT_EQ(app->Current().CurrentFileIndex, to);
        const Box& cell = app->Sheet().cell(to).cell;
        EXPECT_GE(cell.top + m.picBack.top, 0);
        EXPECT_LE(cell.bottom() + m.picBack.top, m.picPreview.innerHeight());
    }
}

TEST_F(ApplicationTest, TheCommandLineOpensAFolderOrAPictureInItsFolder) {
    elsewhere.file("e.jpg");
    struct Case {
        std::string path, folder, shown, status; // the folder and picture shown, panel 3's start
    };
    const Case cases[] = {
        {"", program.path(), "a.jpg", ""},
        {elsewhere.path(), elsewhere.path(), "c.gif", ""},
        {elsewhere.path("e.jpg"), elsewhere.path(), "e.jpg", ""},
        {elsewhere.path("gone.jpg"), program.path(), "a.jpg",
         "Error: " + elsewhere.path("gone.jpg") + " does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        settings = MemorySettings{}; // a first run each time: it opens the program's folder
        start(c.path);
        EXPECT_EQ(app->Browser().folderPath(), c.folder);
        EXPECT_EQ(app->SelectedFiles().names(), Strings{c.shown});
        EXPECT_EQ(panel(StatusBarState::Status).rfind(c.status, 0), 0u)
            << panel(StatusBarState::Status);
        EXPECT_EQ(settings.read("homedir"), "False");
    }
}

TEST_F(ApplicationTest, APictureShownReducedIsForViewingOnly) {
    loader.pictures["a.jpg"] = {2400, 1800, 0xFF102030, LoadError::None, false, 4};
    start();
    const CurrentImage& current = app->Current();
    ASSERT_TRUE(current.IsReduced());
    EXPECT_EQ(current.picload().width(), 600);
    EXPECT_NE(app->Model().lblFileCaption.find("2400 x 1800 Pixel (shown at 1/4)"),
              std::string::npos)
        << app->Model().lblFileCaption;
    // Zooming works on the natural size.
    app->Run(Command::ZoomLevel, "50");
    EXPECT_EQ(app->Model().picMain.width, 1200 * current.TwipsPerPixel());

    const std::uint64_t revision = current.PictureRevision();
    const Strings refused{std::string(ReducedPictureMessage) + "|Vistrel|0|3"};
    for (Command command : {Command::SaveAs, Command::CopyPicture, Command::Paste, Command::Crop,
                            Command::ResizeImage, Command::FlipHorizontal, Command::GreyScale,
                            Command::Brightness, Command::Invert}) {
        dialogs.messages.clear();
        app->Run(command);
        EXPECT_EQ(dialogs.messages, refused) << int(command);
    }
    dialogs.messages.clear();
    app->HandlePress(0, 10, 10, MouseButton::Left);
    EXPECT_EQ(dialogs.messages, refused);
    EXPECT_EQ(current.PictureRevision(), revision);
    EXPECT_FALSE(clipboard.picture);
    EXPECT_TRUE(fileWriter.files.empty());
    EXPECT_EQ(app->Properties(), nullptr);

    // The next picture is whole again and may be edited.
    app->Run(Command::Next);
    EXPECT_FALSE(current.IsReduced());
    EXPECT_EQ(app->Model().lblFileCaption.find("shown at"), std::string::npos);
    dialogs.messages.clear();
    app->Run(Command::Invert);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_GT(current.PictureRevision(), revision);
}
