#pragma once

#include <string>
#include <vector>

#include "core/app/geometry.h"

namespace vistrel::core {

inline constexpr const char* AboutCaption = "Vistrel - About";

enum class AboutControlKind {
    Icon,   // the program's icon
    Title,  // the program's name, set large
    Text,   // plain text, wrapped at the box's width
    Link,   // a clickable text
    Button,
};

// One control of the About window (frmAbout): its objectName, kind, text and place.
struct AboutControl {
    std::string name;
    AboutControlKind kind = AboutControlKind::Text;
    std::string caption;
    Box box;
};

// Client size of the About window; the window is not resizable.
inline constexpr Twips AboutClientWidth = 6600;
inline constexpr Twips AboutClientHeight = 4440;

// Every control of the About window, in tab order.
const std::vector<AboutControl>& AboutControls();

} // namespace vistrel::core
