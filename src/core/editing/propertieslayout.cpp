#include "core/editing/propertieslayout.h"

#include <array>
#include <utility>

namespace vistrel::core {

namespace {

using K = ControlKind;

DialogControl C(std::string name, std::string parent, K kind, std::string caption, Box box) {
    return DialogControl{std::move(name), std::move(parent), kind, std::move(caption), box};
}

// Whole pixels at 96 DPI (15 twips each), so nothing blurs or shifts by a pixel at the usual
// resolution. Every frame spans the same width, centred in the client area; the Ok and
// Cancel buttons sit at the same place on the three tall panels.
constexpr Twips FrameLeft = 120, FrameWidth = 2595;
constexpr Twips InnerLeft = 120, InnerWidth = 2355;
constexpr Twips OkLeft = 330, CancelLeft = 1485, ButtonWidth = 1020, ButtonHeight = 345;
constexpr Twips TallButtonsTop = 2190;
constexpr Box PanelBox{0, 0, 2775, 2535};

void Buttons(std::vector<DialogControl>& c, const char* panel, const char* ok,
             const char* okCaption, const char* cancel, Twips top) {
    c.push_back(C(ok, panel, K::Button, okCaption, {OkLeft, top, ButtonWidth, ButtonHeight}));
    c.push_back(
        C(cancel, panel, K::Button, "Cancel", {CancelLeft, top, ButtonWidth, ButtonHeight}));
}

// A frame of one slider.
void SliderFrame(std::vector<DialogControl>& c, const char* panel, const char* frame,
                 const char* caption, const char* slider, Twips top) {
    c.push_back(C(frame, panel, K::Frame, caption, {FrameLeft, top, FrameWidth, 675}));
    c.push_back(C(slider, frame, K::Slider, "", {InnerLeft, 240, InnerWidth, 405}));
}

std::vector<DialogControl> Build() {
    std::vector<DialogControl> c;

    c.push_back(C("picBrightness", "", K::Panel, "", PanelBox));
    c.push_back(C("fmeBrightness", "picBrightness", K::Frame, "Brightness",
                  {FrameLeft, 60, FrameWidth, 900}));
    c.push_back(
        C("sldBrightness", "fmeBrightness", K::Slider, "", {InnerLeft, 300, InnerWidth, 450}));
    Buttons(c, "picBrightness", "cmdBOk", "Ok", "cmdBCancel", 1080);

    c.push_back(C("picRGB", "", K::Panel, "", PanelBox));
    SliderFrame(c, "picRGB", "fmeRed", "Red", "sldRed", 45);
    SliderFrame(c, "picRGB", "fmeGreen", "Green", "sldGreen", 765);
    SliderFrame(c, "picRGB", "fmeBlue", "Blue", "sldBlue", 1485);
    Buttons(c, "picRGB", "cmdRGBOk", "Ok", "cmdRGBCancel", TallButtonsTop);

    c.push_back(C("picColorReplace", "", K::Panel, "", PanelBox));
    c.push_back(C("fmeColor", "picColorReplace", K::Frame, "Colour Replace",
                  {FrameLeft, 45, FrameWidth, 1305}));
    c.push_back(
        C("cmdColor1", "fmeColor", K::Button, "Replace", {InnerLeft, 300, 1050, ButtonHeight}));
    c.push_back(C("picC1", "fmeColor", K::Swatch, "", {1290, 300, 1185, ButtonHeight}));
    c.push_back(
        C("cmdColor2", "fmeColor", K::Button, "With", {InnerLeft, 810, 1050, ButtonHeight}));
    c.push_back(C("picC2", "fmeColor", K::Swatch, "", {1290, 810, 1185, ButtonHeight}));
    SliderFrame(c, "picColorReplace", "fmeAcceptance", "Colour Acceptance", "sldColor", 1440);
    Buttons(c, "picColorReplace", "cmdCReplace", "Ok", "cmdCCancel", TallButtonsTop);

    c.push_back(C("picResize", "", K::Panel, "", PanelBox));
    c.push_back(C("fmeResize", "picResize", K::Frame, "Image Properties",
                  {FrameLeft, 45, FrameWidth, 2070}));
    // The original sizes line up with the text inside the boxes below them.
    constexpr Twips CaptionWidth = 1440, ValueLeft = 1620, ValueWidth = 855, Inset = 45;
    constexpr Box OriginalWidth{ValueLeft + Inset, 285, ValueWidth - Inset, 300};
    constexpr Box OriginalHeight{ValueLeft + Inset, 600, ValueWidth - Inset, 300};
    c.push_back(
        C("", "fmeResize", K::Caption, "Original Width:", {InnerLeft, 285, CaptionWidth, 300}));
    c.push_back(C("lblWidth", "fmeResize", K::Value, "", OriginalWidth));
    c.push_back(
        C("", "fmeResize", K::Caption, "Original Height:", {InnerLeft, 600, CaptionWidth, 300}));
    c.push_back(C("lblHight", "fmeResize", K::Value, "", OriginalHeight));
    c.push_back(C("", "fmeResize", K::Caption, "New Width:", {InnerLeft, 975, CaptionWidth, 300}));
    c.push_back(C("txtWidth", "fmeResize", K::TextBox, "", {ValueLeft, 960, ValueWidth, 330}));
    c.push_back(
        C("", "fmeResize", K::Caption, "New Height:", {InnerLeft, 1365, CaptionWidth, 300}));
    c.push_back(C("txtHeight", "fmeResize", K::TextBox, "", {ValueLeft, 1350, ValueWidth, 330}));
    c.push_back(C("chkProp", "fmeResize", K::CheckBox, "Consistent proportion",
                  {InnerLeft, 1710, InnerWidth, 300}));
    Buttons(c, "picResize", "cmdROk", "Ok", "cmdRCancel", TallButtonsTop);
    return c;
}

const std::array<std::pair<std::string_view, SliderRange>, 5> Sliders{{
    {"sldBrightness", {-100, 100, 0, 10}},
    {"sldRed", {-100, 100, 0, 10}},
    {"sldGreen", {-100, 100, 0, 10}},
    {"sldBlue", {-100, 100, 0, 10}},
    {"sldColor", {0, 100, 2, 5}},
}};

} // namespace

std::string_view PanelName(PropertiesPanel panel) {
    switch (panel) {
    case PropertiesPanel::Brightness:
        return "picBrightness";
    case PropertiesPanel::RgbBalance:
        return "picRGB";
    case PropertiesPanel::Replace:
        return "picColorReplace";
    case PropertiesPanel::Resize:
        return "picResize";
    }
    return {};
}

Twips PanelDialogHeight(PropertiesPanel panel) {
    return panel == PropertiesPanel::Brightness ? 1610 : 2820;
}

const std::vector<DialogControl>& PropertiesControls() {
    static const std::vector<DialogControl> controls = Build();
    return controls;
}

const SliderRange* FindSlider(std::string_view name) {
    for (const auto& [n, range] : Sliders)
        if (n == name) return &range;
    return nullptr;
}

} // namespace vistrel::core
