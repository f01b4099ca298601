#include "core/app/aboutlayout.h"

#include "core/app/apptitle.h"

namespace vistrel::core {

namespace {

using K = AboutControlKind;

std::vector<AboutControl> BuildAbout() {
    constexpr Twips margin = 240;
    constexpr Twips textLeft = 1200; // beside the icon
    constexpr Twips textWidth = AboutClientWidth - textLeft - margin;
    constexpr Twips fullWidth = AboutClientWidth - 2 * margin;
    constexpr Twips buttonWidth = 1200, buttonHeight = 375;
    constexpr Twips buttonTop = AboutClientHeight - margin - buttonHeight;
    return {
        {"picIcon", K::Icon, "", {margin, margin, 720, 720}},
        {"lblTitle", K::Title, "Vistrel", {textLeft, margin, textWidth, 480}},
        {"lblVersion", K::Text, std::string("Version ") + AppVersion, {textLeft, 780, textWidth, 300}},
        {"lblDescription", K::Text,
         "Vistrel is a picture program with a thumbnail browser: it lets you view, organise, "
         "touch up and print the pictures of the folder you choose.",
         {textLeft, 1200, textWidth, 1020}},
        {"lblDisclaimer", K::Text,
         "Vistrel comes as it is, without any warranty. Its edits change only the picture in "
         "memory until you save it, but moving, renaming and deleting act on your files at "
         "once: keep copies of the pictures you care about.",
         {margin, 2400, fullWidth, 1200}},
        {"lblLink", K::Link, "Quorvane.", {margin, buttonTop + 45, 2400, 300}},
        {"cmdOk", K::Button, "Ok",
         {AboutClientWidth - margin - buttonWidth, buttonTop, buttonWidth, buttonHeight}},
    };
}

} // namespace

const std::vector<AboutControl>& AboutControls() {
    static const std::vector<AboutControl> controls = BuildAbout();
    return controls;
}

} // namespace vistrel::core
