#include "core/app/programfolder.h"

#include <filesystem>
#include <system_error>

namespace vistrel::core {

std::string ProgramFolder(const std::string& executableFolder) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path here(executableFolder);
    if (!here.has_filename()) here = here.parent_path(); // "…/bin/" is "…/bin"
    if (fs::exists(here / "help.html", error)) return executableFolder;
    const fs::path installed = here.parent_path() / "share" / "vistrel";
    if (fs::is_directory(installed, error)) return installed.lexically_normal().string();
    return executableFolder;
}

} // namespace vistrel::core
