#pragma once

#include <string>
#include <string_view>

#include "core/app/commands.h"

namespace vistrel::core {

// The maker's web site: every online page is this followed by its path.
inline constexpr std::string_view MakerSite = "https://quorvane.example";

// The help page handed to the desktop: "help.html" in the program's folder. Whether it
// exists is the desktop handler's business.
std::string HelpPagePath(const std::string& programFolder);

// The web address an Online Resources command opens; empty for any other command.
std::string OnlineAddress(Command command);

} // namespace vistrel::core
