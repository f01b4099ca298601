#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app/geometry.h"

namespace vistrel::core {

// The Properties dialog's four panels, each opened by its own menu command.
enum class PropertiesPanel { Brightness, RgbBalance, Replace, Resize };

// The panel's objectName (picBrightness, picRGB, picColorReplace, picResize).
std::string_view PanelName(PropertiesPanel panel);
// The dialog's height in twips while the panel shows.
Twips PanelDialogHeight(PropertiesPanel panel);

// The dialog's client width, twips.
inline constexpr Twips PropertiesClientWidth = 2835;

enum class ControlKind { Panel, Frame, Slider, Button, Swatch, Caption, Value, TextBox, CheckBox };

// One control of the dialog: its objectName (empty for a fixed caption), the panel or frame
// it sits in (empty for the dialog itself), its fixed caption, and its place in the parent.
struct DialogControl {
    std::string name;
    std::string parent;
    ControlKind kind = ControlKind::Caption;
    std::string caption;
    Box box;
};

// Every control, parents before their children.
const std::vector<DialogControl>& PropertiesControls();

// A slider's whole-number range, its value when the dialog is created and its tick spacing.
struct SliderRange {
    int minimum = 0;
    int maximum = 0;
    int initial = 0;
    int tick = 1;
};

// The range of sldBrightness, sldRed, sldGreen, sldBlue or sldColor; nullptr for any other name.
const SliderRange* FindSlider(std::string_view name);

} // namespace vistrel::core
