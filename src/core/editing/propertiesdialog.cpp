#include "core/editing/propertiesdialog.h"

#include <algorithm>
#include <cmath>

#include "core/app/numbers.h"

namespace vistrel::core {

template <typename Self> auto* PropertiesDialog::slider(Self& self, std::string_view name) {
    decltype(&self.m_brightness) field = nullptr;
    if (name == "sldBrightness")
        field = &self.m_brightness;
    else if (name == "sldRed")
        field = &self.m_red;
    else if (name == "sldGreen")
        field = &self.m_green;
    else if (name == "sldBlue")
        field = &self.m_blue;
    else if (name == "sldColor")
        field = &self.m_tolerance;
    return field;
}

template <typename Self> auto* PropertiesDialog::text(Self& self, std::string_view name) {
    decltype(&self.m_lblWidth) field = nullptr;
    if (name == "lblWidth")
        field = &self.m_lblWidth;
    else if (name == "lblHight")
        field = &self.m_lblHight;
    else if (name == "txtWidth")
        field = &self.m_txtWidth;
    else if (name == "txtHeight")
        field = &self.m_txtHeight;
    return field;
}

PropertiesDialog::PropertiesDialog(int pictureWidth, int pictureHeight, char decimalSeparator)
    : m_separator(decimalSeparator) {
    for (const char* name : {"sldBrightness", "sldRed", "sldGreen", "sldBlue", "sldColor"})
        *slider(*this, name) = FindSlider(name)->initial;
    m_lblWidth = m_txtWidth = std::to_string(std::max(pictureWidth, 0));
    m_lblHight = m_txtHeight = std::to_string(std::max(pictureHeight, 0));
}

int PropertiesDialog::SliderValue(std::string_view name) const {
    const int* value = slider(*this, name);
    return value ? *value : 0;
}

void PropertiesDialog::SetSlider(std::string_view name, int value) {
    int* target = slider(*this, name);
    if (!target) return;
    const SliderRange* range = FindSlider(name);
    *target = std::clamp(value, range->minimum, range->maximum);
}

Colour PropertiesDialog::SwatchColour(std::string_view swatch) const {
    if (swatch == "picC1") return m_replace;
    if (swatch == "picC2") return m_with;
    return 0x000000;
}

void PropertiesDialog::ColourPicked(std::string_view swatch, std::optional<Colour> chosen) {
    Colour* target = swatch == "picC1" ? &m_replace : swatch == "picC2" ? &m_with : nullptr;
    if (!target) return;
    // A system colour has no channels to compare with; the picker keeps what it had.
    if (chosen && !IsSystemColour(*chosen)) m_pickerColour = *chosen & 0xFFFFFF;
    *target = m_pickerColour;
}

const std::string& PropertiesDialog::Text(std::string_view name) const {
    static const std::string none;
    const std::string* value = text(*this, name);
    return value ? *value : none;
}

void PropertiesDialog::EditText(std::string_view box, std::string value) {
    const bool width = box == "txtWidth";
    if (!width && box != "txtHeight") return;
    std::string& own = width ? m_txtWidth : m_txtHeight;
    if (own == value) return;
    own = std::move(value);
    if (!m_proportional) return;

    const auto typed = ParseNumber(own, m_separator);
    const auto across = ParseNumber(width ? m_lblHight : m_lblWidth, m_separator);
    const auto along = ParseNumber(width ? m_lblWidth : m_lblHight, m_separator);
    if (!typed || !across || !along || *along == 0) return;
    const double other = *typed * (*across / *along);
    if (!std::isfinite(other)) return;
    (width ? m_txtHeight : m_txtWidth) = FormatNumber(other, m_separator);
}

} // namespace vistrel::core
