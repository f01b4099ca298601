#pragma once

#include <array>
#include <string_view>

namespace vistrel::core {

// One fixed level of the Zoom menu.
struct ZoomLevel {
    const char* name;    // menu item, e.g. "mnu300"
    const char* percent; // the command argument and the caption without "%", e.g. "300"
    double offset;       // ZoomOffset: scale = 1 + offset
};

inline constexpr std::array<ZoomLevel, 10> ZoomLevels{{
    {"mnu10", "10", -0.9},
    {"mnu25", "25", -0.75},
    {"mnu50", "50", -0.5},
    {"mnu75", "75", -0.25},
    {"mnu100", "100", 0},
    {"mnu150", "150", 0.5},
    {"mnu200", "200", 1.0},
    {"mnu300", "300", 2.0},
    {"mnu500", "500", 4.0},
    {"mnu700", "700", 6.0},
}};

// The level named by its menu item ("mnu300") or its percentage ("300"); null if none.
const ZoomLevel* FindZoomLevel(std::string_view nameOrPercent);

} // namespace vistrel::core
