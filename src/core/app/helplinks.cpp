#include "core/app/helplinks.h"

#include "core/files/pathutil.h"

namespace vistrel::core {

std::string HelpPagePath(const std::string& programFolder) {
    return AppendPathSeparator(programFolder) + "help.html";
}

std::string OnlineAddress(Command command) {
    std::string_view path;
    switch (command) {
    case Command::UpdateSite: path = "/updates/"; break;
    case Command::Feedback: path = "/feedback/"; break;
    case Command::Downloads: path = "/downloads/"; break;
    case Command::HomePage: path = "/"; break;
    default: return {};
    }
    return std::string(MakerSite) + std::string(path);
}

} // namespace vistrel::core
