#pragma once

#include <array>
#include <string>

#include "core/app/geometry.h"

namespace vistrel::core {

struct StatusPanel {
    std::string key;
    std::string text;
    std::string tooltip;
    Twips width = 0;
};

// The main window's status bar: four keyed panels and the progress bar laid over panel 4.
// A progress value above 0 is the program's one busy flag.
struct StatusBarState {
    enum Index { Images = 0, Zoom = 1, Status = 2, Loading = 3 };

    std::array<StatusPanel, 4> panels{{
        {"images", "Images:", "Images:", 2469},
        {"zoom", "Zoom: 100%", "Zoom: 100%", 1940},
        {"status", "Status", "Status", 1764},
        {"loading", "", "", 3087},
    }};
    double progress = 0; // 0..100

    bool busy() const { return progress > 0; }
    void setText(Index panel, std::string text) { panels[panel].text = std::move(text); }
    const std::string& text(Index panel) const { return panels[panel].text; }
};

} // namespace vistrel::core
