#include "core/app/optionslayout.h"

#include <utility>

namespace vistrel::core {

namespace {

using K = OptionsControlKind;

OptionsControl C(std::string name, std::string parent, K kind, std::string caption, Box box) {
    return OptionsControl{std::move(name), std::move(parent), kind, std::move(caption), box};
}

// Whole pixels at 96 DPI (15 twips each). The pages lie under the tab strip, all in the same
// place; the four buttons share the width of the pages below them.
constexpr Twips Margin = 120;
constexpr Twips PageWidth = OptionsClientWidth - 2 * Margin;
constexpr Box TabBox{Margin, Margin, PageWidth, 390};
constexpr Box PageBox{Margin, 510, PageWidth, 3540};
constexpr Twips ButtonTop = 4200, ButtonWidth = 1200, ButtonHeight = 375, ButtonGap = 120;
// Frames span the page with the same inset on both sides.
constexpr Twips FrameLeft = 240, FrameWidth = PageWidth - 2 * FrameLeft;
constexpr Twips RowHeight = 330;

std::vector<OptionsControl> Build() {
    std::vector<OptionsControl> c;
    c.push_back(C("tabOptions", "", K::Tabs, "", TabBox));

    c.push_back(C("picDisplay", "", K::Page, "", PageBox));
    c.push_back(C("chkResizeHandles", "picDisplay", K::CheckBox, "Resizable handles",
                  {FrameLeft, 240, FrameWidth, RowHeight}));
    c.push_back(C("Frame1", "picDisplay", K::Frame, "Background Colour",
                  {FrameLeft, 780, FrameWidth, 1140}));
    c.push_back(C("cmdDisplay", "Frame1", K::Button, "Display", {240, 420, 1980, 420}));
    c.push_back(C("cmdThumbnail", "Frame1", K::Button, "Thumbnail ", {2460, 420, 1980, 420}));

    c.push_back(C("picSlideShow", "", K::Page, "", PageBox));
    c.push_back(C("ckbRepeat", "picSlideShow", K::CheckBox, "Repeat",
                  {FrameLeft, 150, FrameWidth, RowHeight}));
    c.push_back(C("Frame4", "picSlideShow", K::Frame, "Slide Delay",
                  {FrameLeft, 570, FrameWidth, 1230}));
    c.push_back(C("Slider", "Frame4", K::Slider, "", {180, 360, 3540, 660}));
    c.push_back(C("lblDelay", "Frame4", K::Label, "0", {3840, 510, 660, RowHeight}));
    c.push_back(C("Frame3", "picSlideShow", K::Frame, "Slide Show Order",
                  {FrameLeft, 1920, FrameWidth, 1440}));
    c.push_back(C("optRandom", "Frame3", K::Option, "Random", {240, 330, 4200, RowHeight}));
    c.push_back(C("optDescending", "Frame3", K::Option, "Descending", {240, 690, 4200, RowHeight}));
    c.push_back(C("optAscending", "Frame3", K::Option, "Ascending", {240, 1050, 4200, RowHeight}));

    c.push_back(C("picStartUp", "", K::Page, "", PageBox));
    c.push_back(C("Frame6", "picStartUp", K::Frame, "Starting Directory",
                  {FrameLeft, 150, FrameWidth, 2250}));
    c.push_back(C("optLastdir", "Frame6", K::Option, "Last active directory",
                  {240, 360, 4200, RowHeight}));
    c.push_back(C("optHomedir", "Frame6", K::Option, "Specify directory",
                  {240, 750, 4200, RowHeight}));
    c.push_back(C("txtHome", "Frame6", K::TextBox, DesignedHomeText, {540, 1170, 3900, 360}));
    c.push_back(C("cmdBrowseDir", "Frame6", K::Button, "Browse", {540, 1680, 1500, 390}));
    c.push_back(C("cmdCurrentDir", "Frame6", K::Button, "Current directory",
                  {2190, 1680, 2250, 390}));

    Twips left = Margin;
    for (const auto& [name, caption] : {std::pair{"cmdOk", "Ok"}, std::pair{"cmdCancel", "Cancel"},
                                        std::pair{"cmdApply", "Apply"},
                                        std::pair{"cmdReset", "Reset"}}) {
        c.push_back(C(name, "", K::Button, caption, {left, ButtonTop, ButtonWidth, ButtonHeight}));
        left += ButtonWidth + ButtonGap;
    }
    return c;
}

} // namespace

const std::vector<OptionsControl>& OptionsControls() {
    static const std::vector<OptionsControl> controls = Build();
    return controls;
}

const std::vector<OptionsTab>& OptionsTabs() {
    static const std::vector<OptionsTab> tabs{{"display", "Display", "picDisplay"},
                                              {"slideshow", "Slide Show", "picSlideShow"},
                                              {"startup", "Start Up", "picStartUp"}};
    return tabs;
}

} // namespace vistrel::core
