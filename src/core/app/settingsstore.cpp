#include "core/app/settingsstore.h"

#include <cmath>

#include "core/app/numbers.h"

namespace vistrel::core {

namespace {

Colour ToColour(const std::string& text) {
    const double v = ToNumber(text);
    const double rounded = std::nearbyint(v);
    // Colours are stored as signed 32-bit values; anything outside cannot be one.
    if (rounded < -2147483648.0 || rounded > 2147483647.0) throw ConversionError(text);
    return static_cast<Colour>(rounded);
}

} // namespace

void SettingsStore::WriteDefaultSettings(const std::string& programFolder,
                                         Colour windowBackground) {
    Write("lastdir", programFolder);
    Write("homedir", "False");
    Write("maximized", "True");
    Write("forml", "190");
    Write("formt", "190");
    Write("formh", "6360");
    Write("formw", "9180");
    Write("propt", "2000");
    Write("propl", "2000");
    Write("showexplorer", "True");
    Write("showdisplay", "True");
    Write("slidemode", "2");
    Write("slidedelay", "1000");
    Write("thucolour", std::to_string(windowBackground));
    Write("discolour", std::to_string(windowBackground));
    Write("loadthumb", "True");
    Write("baraddress", "True");
    Write("bartools", "True");
    Write("repeat", "0");
    Write("resizehandles", "1");
}

bool SettingsStore::EnsureInitialised(const std::string& programFolder, Colour windowBackground) {
    if (IsExactly("load", "set")) return false;
    Write("bar", "5545");
    WriteDefaultSettings(programFolder, windowBackground);
    Write("load", "set");
    return true;
}

void SettingsStore::ApplyViewSettings() {
    View.SlideDelay = ToWhole(Read("slidedelay"));
    View.SlideOrder = ToWhole(Read("slidemode"));
    View.SlideRepeat = ToWhole(Read("repeat"));
    View.DisplayColour = ToColour(Read("discolour"));
    View.ThumbnailColour = ToColour(Read("thucolour"));
    View.ResizeHandles = ToWhole(Read("resizehandles"));
}

} // namespace vistrel::core
