#include "core/app/settingsstore.h"

#include <cmath>

#include "core/app/numbers.h"

namespace vistrel::core {

namespace {

} // namespace

double SettingsStore::ReadNumber(const std::string& key) const {
    const std::string text = Read(key);
    if (auto v = ParseNumber(text)) return *v;
    throw ConversionError(key, text);
}

int SettingsStore::ReadWhole(const std::string& key) const {
    const std::string text = Read(key);
    try {
        return ToWhole(text);
    } catch (const ConversionError&) {
        throw ConversionError(key, text);
    }
}

Colour SettingsStore::ReadColour(const std::string& key) const {
    const double rounded = std::nearbyint(ReadNumber(key));
    // Colours are stored as signed 32-bit values; anything outside cannot be one.
    if (rounded < -2147483648.0 || rounded > 2147483647.0) throw ConversionError(key, Read(key));
    return static_cast<Colour>(rounded);
}

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
    View.SlideDelay = ReadWhole("slidedelay");
    View.SlideOrder = ReadWhole("slidemode");
    View.SlideRepeat = ReadWhole("repeat");
    View.DisplayColour = ReadColour("discolour");
    View.ThumbnailColour = ReadColour("thucolour");
    View.ResizeHandles = ReadWhole("resizehandles");
}

} // namespace vistrel::core
