#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app/geometry.h"

namespace vistrel::core {

inline constexpr const char* OptionsCaption = "Options";

// Client size of the Options window; the window is not resizable.
inline constexpr Twips OptionsClientWidth = 5400;
inline constexpr Twips OptionsClientHeight = 4695;

enum class OptionsControlKind { Tabs, Page, Frame, CheckBox, Option, Button, Slider, Label, TextBox };

// One control of the Options window (frmOptions): its objectName, the page or frame it sits
// in (empty for the window), its designed caption and its place in that parent.
struct OptionsControl {
    std::string name;
    std::string parent;
    OptionsControlKind kind = OptionsControlKind::Label;
    std::string caption;
    Box box;
};

// Every control, parents before their children, in tab order.
const std::vector<OptionsControl>& OptionsControls();

// One tab of tabOptions: its key, caption and the page it shows.
struct OptionsTab {
    std::string_view key;
    std::string_view caption;
    std::string_view page;
};

// The tabs, left to right.
const std::vector<OptionsTab>& OptionsTabs();

// The delay slider's range and steps, milliseconds.
inline constexpr int SlideDelayMinimum = 1;
inline constexpr int SlideDelayMaximum = 20000;
inline constexpr int SlideDelayStep = 1000;

// txtHome's designed text: the file system's root.
#ifdef _WIN32
inline constexpr const char* DesignedHomeText = "C:\\";
#else
inline constexpr const char* DesignedHomeText = "/";
#endif

} // namespace vistrel::core
