#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/browsertestsupport.h"
#include "core/browser/folderbrowser.h"
#include "core/viewer/currentimage.h"

using namespace vistrel::core;
namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

namespace {

constexpr Colour Blue = 0xFF0000;
constexpr Colour ButtonText = static_cast<Colour>(0x80000012u);

// Pictures by bare file name: a size and a fill colour, or a failure. The file on disk is
// only listed and measured, never decoded.
struct FakeLoader : PictureLoader {
    struct Entry {
        int width = 0;
        int height = 0;
        Image::Pixel fill = 0xFF000000;
        LoadError error = LoadError::None;
    };
    std::map<std::string, Entry> entries;

    LoadResult load(const std::string& path) const override {
        const auto it = entries.find(fs::path(path).filename().string());
        if (it == entries.end()) return LoadResult::failure(path, LoadError::NotAPicture);
        const Entry& e = it->second;
        if (e.error != LoadError::None)
            return LoadResult::failure(path, e.error, e.width, e.height);
        LoadResult result;
        result.image = Image(e.width, e.height, e.fill);
        result.naturalWidth = e.width;
        result.naturalHeight = e.height;
        return result;
    }
    LoadResult loadScaled(const std::string& path, int, int) const override { return load(path); }
};

struct RecordingViewerHooks : ViewerHooks {
    Calls calls;
    void ClearSelectionRectangle() override { calls.push_back("clearRect"); }
    void PlaceResizeHandles() override { calls.push_back("handles"); }
    void ShowFullScreen() override { calls.push_back("fullScreen"); }
    void SetFileListPosition(int i) override { calls.push_back("list " + std::to_string(i)); }
};

class CurrentImageTest : public ::testing::Test {
protected:
    // Creates the files (length in bytes) and opens the folder with them.
    void open(const std::map<std::string, std::uintmax_t>& files, char separator = '.') {
        for (const auto& [name, length] : files) {
            dir.file(name);
            fs::resize_file(dir.path(name), length);
        }
        browser = std::make_unique<FolderBrowser>(volumes, model.status, browserHooks, dir.path());
        current = std::make_unique<CurrentImage>(model, fullScreen, *browser, selection, loader,
                                                 hooks, 15, separator);
    }
    void picture(const std::string& name, int width, int height, Image::Pixel fill = 0xFF102030) {
        loader.entries[name] = {width, height, fill};
    }
    int indexOf(const std::string& name) const {
        const auto& files = browser->files();
        return static_cast<int>(std::find(files.begin(), files.end(), name) - files.begin());
    }
    void click(const std::string& name) {
        current->CurrentFileIndex = indexOf(name);
        current->LoadSelectedImage();
    }
    void shiftClick(const std::string& name) {
        current->CurrentFileIndex = indexOf(name);
        current->ToggleAndLoadImage();
    }
    std::string zoomText() const { return model.status.text(StatusBarState::Zoom); }
    std::string message() const { return model.status.text(StatusBarState::Status); }

    vistrel::test::TempFolder dir;
    vistrel::test::FakeVolumes volumes;
    vistrel::test::RecordingHooks browserHooks;
    MainWindowModel model;
    FullScreenModel fullScreen;
    Selection selection;
    FakeLoader loader;
    RecordingViewerHooks hooks;
    std::unique_ptr<FolderBrowser> browser;
    std::unique_ptr<CurrentImage> current;
};

TEST_F(CurrentImageTest, LoadShowsPictureUnzoomedAndWritesInformation) {
    open({{"beach.jpg", 1572864}, {"other.jpg", 10}}, ',');
    picture("beach.jpg", 640, 480);
    current->ZoomOffset = 2;
    model.status.setText(StatusBarState::Zoom, "Zoom: 300%");
    click("beach.jpg");

    EXPECT_EQ(current->ZoomOffset, 0);
    EXPECT_EQ(zoomText(), "Zoom: 100%");
    EXPECT_EQ(current->CurrentFilePath(), dir.path("beach.jpg"));
    EXPECT_EQ(model.lblFileCaption, "Image: beach.jpg - 1,5 MB - 640 x 480 Pixel");
    EXPECT_EQ(current->picload().width(), 640);
    EXPECT_TRUE(current->PictureShown());
    for (const Box* surface : {&model.picMain, &fullScreen.picMain}) {
        EXPECT_EQ(surface->width, 640 * 15);
        EXPECT_EQ(surface->height, 480 * 15);
    }
    EXPECT_TRUE(fullScreen.created);
    EXPECT_FALSE(fullScreen.visible);
    EXPECT_EQ(hooks.calls, (Calls{"clearRect", "list 0", "handles"}));
}

TEST_F(CurrentImageTest, PlainClickOnOneOfSeveralSelectedLeavesOnlyIt) {
    open({{"a.jpg", 1}, {"b.jpg", 1}, {"c.jpg", 1}});
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        picture(name, 4, 4);
    click("a.jpg");
    shiftClick("c.jpg");
    shiftClick("b.jpg");
    EXPECT_EQ(selection.names(), (Calls{"a.jpg", "c.jpg", "b.jpg"}));

    hooks.calls.clear();
    click("c.jpg");
    EXPECT_EQ(selection.names(), Calls{"c.jpg"});
    for (const auto& name : browser->files())
        EXPECT_EQ(selection.CaptionColour(name), name == "c.jpg" ? Blue : ButtonText) << name;
    // Only the plain load moves the file list; the shift-clicks above did not.
    EXPECT_EQ(hooks.calls, (Calls{"clearRect", "list 2", "handles"}));
}

TEST_F(CurrentImageTest, ShiftClickOnSelectedFileDeselectsButStillShowsIt) {
    open({{"a.jpg", 1}, {"b.jpg", 1}});
    picture("a.jpg", 10, 20, 0xFFAA0000);
    picture("b.jpg", 30, 40, 0xFF00BB00);
    click("a.jpg");
    shiftClick("b.jpg");
    ASSERT_EQ(selection.names(), (Calls{"a.jpg", "b.jpg"}));

    hooks.calls.clear();
    shiftClick("a.jpg");
    EXPECT_EQ(selection.names(), Calls{"b.jpg"});
    EXPECT_EQ(selection.CaptionColour("a.jpg"), ButtonText);
    EXPECT_EQ(current->picload().at(0, 0), 0xFFAA0000u);
    EXPECT_EQ(current->CurrentFilePath(), dir.path("a.jpg"));
    EXPECT_EQ(model.lblFileCaption, "Image: a.jpg - 1 Bytes - 10 x 20 Pixel");
    EXPECT_TRUE(model.picMain.visible);
    EXPECT_EQ(hooks.calls, (Calls{"clearRect", "handles"}));
}

TEST_F(CurrentImageTest, FailedLoadKeepsPreviousPictureAndReports) {
    open({{"good.jpg", 2000}, {"bad.jpg", 5}, {"huge.jpg", 5}, {"gone.jpg", 5}});
    picture("good.jpg", 8, 6, 0xFF123456);
    loader.entries["bad.jpg"] = {0, 0, 0, LoadError::Damaged};
    loader.entries["huge.jpg"] = {100000, 100000, 0, LoadError::TooLarge};
    picture("gone.jpg", 2, 2); // decodes, but the file is removed before its length is read
    fs::remove(dir.path("gone.jpg"));

    struct Case {
        const char* name;
        bool shift;
        std::string description;
        Calls selected;
    };
    const Case cases[] = {
        {"bad.jpg", false, DescribeLoadError("bad.jpg", LoadError::Damaged), {"bad.jpg"}},
        {"huge.jpg",
         true,
         "huge.jpg: picture too large (100000 x 100000 pixels)",
         {"good.jpg", "huge.jpg"}},
        {"gone.jpg", false, "gone.jpg: file not found", {"gone.jpg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        click("good.jpg");
        const Box shown = model.picMain;
        const std::string caption = model.lblFileCaption;
        current->ZoomOffset = 2;
        model.status.setText(StatusBarState::Zoom, "Zoom: 300%");
        hooks.calls.clear();

        c.shift ? shiftClick(c.name) : click(c.name);
        EXPECT_EQ(message(), c.description);
        // Steps before the failure stay done...
        EXPECT_EQ(current->ZoomOffset, 0);
        EXPECT_EQ(zoomText(), "Zoom: 100%");
        EXPECT_EQ(current->CurrentFilePath(), dir.path(c.name));
        EXPECT_EQ(selection.names(), c.selected);
        // ...and the previous picture stays on screen as it was.
        EXPECT_EQ(current->picload().at(0, 0), 0xFF123456u);
        EXPECT_EQ(current->picload().width(), 8);
        EXPECT_EQ(model.picMain, shown);
        EXPECT_EQ(model.lblFileCaption, caption);
        EXPECT_EQ(hooks.calls, Calls{"clearRect"});
    }
}

TEST_F(CurrentImageTest, AfterClearAFailedLoadShowsNoEmptyPicture) {
    open({{"good.jpg", 1}, {"bad.jpg", 5}});
    picture("good.jpg", 3, 3);
    click("good.jpg");
    current->Clear();
    EXPECT_FALSE(current->PictureShown());
    EXPECT_TRUE(current->picload().isNull());
    EXPECT_EQ(model.lblFileCaption, "Image Information");

    click("bad.jpg");
    EXPECT_EQ(message(), DescribeLoadError("bad.jpg", LoadError::NotAPicture));
    EXPECT_FALSE(current->PictureShown());
    EXPECT_EQ(selection.names(), Calls{"bad.jpg"});
    EXPECT_EQ(model.lblFileCaption, "Image Information");
}

TEST_F(CurrentImageTest, NoFileSelectedStopsAfterThePath) {
    open({});
    model.picMain.visible = false;
    current->ZoomOffset = -0.5;
    current->CurrentFileIndex = 0;
    current->LoadSelectedImage();
    EXPECT_EQ(message(), "No file selected");
    EXPECT_EQ(current->CurrentFilePath(), dir.path() + "/");
    EXPECT_EQ(current->ZoomOffset, 0);
    EXPECT_EQ(zoomText(), "Zoom: 100%");
    EXPECT_FALSE(model.picMain.visible);
    EXPECT_TRUE(selection.empty());
    EXPECT_EQ(hooks.calls, Calls{"clearRect"});

    // Outside a non-empty list: before it, past its end, for either variant.
    dir.file("a.jpg");
    open({});
    picture("a.jpg", 1, 1);
    click("a.jpg");
    for (int index : {-1, 1, 40000}) {
        for (bool shift : {false, true}) {
            model.status.setText(StatusBarState::Status, "");
            current->CurrentFileIndex = index;
            shift ? current->ToggleAndLoadImage() : current->LoadSelectedImage();
            EXPECT_EQ(message(), "No file selected") << index;
            EXPECT_EQ(selection.names(), Calls{"a.jpg"});
            EXPECT_EQ(model.lblFileCaption, "Image: a.jpg - 1 Bytes - 1 x 1 Pixel");
        }
    }
}

TEST_F(CurrentImageTest, CentresBothSurfacesInTheirPanes) {
    open({{"a.jpg", 1}});
    model.picDisplay = {100, 200, 3060, 2060, true, 30}; // client area 3000 x 2000
    fullScreen.picDisplay = {0, 0, 19200, 10800};

    struct Case {
        int width, height;
        Twips left, top, fullLeft, fullTop;
    };
    const Case cases[] = {
        {100, 50, 750, 625, 8850, 5025},             // smaller than the pane
        {400, 300, -1500, -1250, 6600, 3150},        // larger: negative left and top
        {200, 400, 0, -2000, 8100, 2400},            // as wide as the pane
        {40000, 1, -298500, 992.5, -290400, 5392.5}, // wider than 16-bit coordinates
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        picture("a.jpg", c.width, c.height);
        hooks.calls.clear();
        click("a.jpg");
        EXPECT_EQ(model.picMain.left, c.left);
        EXPECT_EQ(model.picMain.top, c.top);
        EXPECT_EQ(fullScreen.picMain.left, c.fullLeft);
        EXPECT_EQ(fullScreen.picMain.top, c.fullTop);
        EXPECT_EQ(current->PixelSizeText(),
                  std::to_string(c.width) + " x " + std::to_string(c.height) + " Pixel");
        EXPECT_EQ(hooks.calls.back(), "handles");
    }

    // Re-centring after the panes change size (window resize, splitter).
    model.picDisplay.width = 6060;
    fullScreen.picDisplay.height = 0;
    hooks.calls.clear();
    current->CenterPicture();
    EXPECT_EQ(model.picMain.left, 3000 - 300000);
    EXPECT_EQ(fullScreen.picMain.top, -7.5);
    EXPECT_EQ(hooks.calls, Calls{"handles"});
}

TEST_F(CurrentImageTest, HiddenViewingPaneOpensFullScreen) {
    open({{"a.jpg", 1}});
    picture("a.jpg", 20, 10);
    for (bool paneVisible : {true, false}) {
        SCOPED_TRACE(paneVisible);
        model.picDisplay.visible = paneVisible;
        fullScreen.picMain.width = 0;
        hooks.calls.clear();
        click("a.jpg");
        const Calls expected = paneVisible ? Calls{"clearRect", "list 0", "handles"}
                                           : Calls{"clearRect", "list 0", "fullScreen", "handles"};
        EXPECT_EQ(hooks.calls, expected);
        EXPECT_EQ(fullScreen.picMain.width, 20 * 15); // kept in step either way
        EXPECT_EQ(fullScreen.picMain.height, 10 * 15);
    }
}

} // namespace
