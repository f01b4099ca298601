#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/app/colour.h"
#include "core/app/geometry.h"
#include "core/editing/propertieslayout.h"

namespace vistrel::core {

// What the Properties dialog holds while it exists: the panel on view, the values of its
// sliders, swatches, check box and size boxes, and its position. A dialog starts from its
// creation values; "Cancel" destroys it, so the next one starts from them again. Controls are
// addressed by objectName; a name that is not the right kind of control is ignored.
class PropertiesDialog {
public:
    // The creation values, with the working picture's size as the original size.
    PropertiesDialog(int pictureWidth, int pictureHeight, char decimalSeparator = '.');

    PropertiesPanel Panel() const { return m_panel; }
    void ShowPanel(PropertiesPanel panel) { m_panel = panel; }
    Twips Height() const { return PanelDialogHeight(m_panel); }

    // The slider's value; 0 for a name that is not a slider.
    int SliderValue(std::string_view slider) const;
    // Kept inside the slider's range.
    void SetSlider(std::string_view slider, int value);

    // picC1 (the colour to replace) or picC2 (the replacement); black for other names.
    Colour SwatchColour(std::string_view swatch) const;
    // The colour picker shared by both buttons opens on this and keeps what was last chosen
    // in it, for either button.
    Colour PickerColour() const { return m_pickerColour; }
    // The picker closed: a chosen colour becomes the picker's; then the swatch takes the
    // picker's colour even when the picker was cancelled.
    void ColourPicked(std::string_view swatch, std::optional<Colour> chosen);

    bool Proportional() const { return m_proportional; }
    void SetProportional(bool checked) { m_proportional = checked; }

    // lblWidth, lblHight, txtWidth or txtHeight; empty for other names.
    const std::string& Text(std::string_view name) const;
    // A new text in txtWidth or txtHeight. With the proportion checked the other box follows
    // from the original size's ratio; a text that gives no number leaves it as it is. The
    // box the link writes does not answer back, so one change ends there.
    void EditText(std::string_view box, std::string text);

    Twips Left = 0;
    Twips Top = 0;

private:
    // The field behind a name, for const and non-const use alike.
    template <typename Self> static auto* slider(Self& self, std::string_view name);
    template <typename Self> static auto* text(Self& self, std::string_view name);

    char m_separator;
    PropertiesPanel m_panel = PropertiesPanel::Brightness;
    int m_brightness = 0;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    int m_tolerance = 0;
    Colour m_replace = 0x000000;
    Colour m_with = 0xFFFFFF;
    Colour m_pickerColour = 0x000000;
    bool m_proportional = true;
    std::string m_lblWidth;
    std::string m_lblHight;
    std::string m_txtWidth;
    std::string m_txtHeight;
};

} // namespace vistrel::core
