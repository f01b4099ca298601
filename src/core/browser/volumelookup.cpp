#include "core/browser/volumelookup.h"

#include <filesystem>

namespace vistrel::core {

namespace {

namespace fs = std::filesystem;

// Folder names of a path; a trailing separator adds no empty name.
std::vector<fs::path> Components(const std::string& text) {
    std::vector<fs::path> parts;
    for (const auto& part : fs::path(text).lexically_normal()) {
        if (!part.empty()) parts.push_back(part);
    }
    return parts;
}

bool IsPrefix(const std::vector<fs::path>& prefix, const std::vector<fs::path>& path) {
    if (prefix.empty() || prefix.size() > path.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (prefix[i] != path[i]) return false;
    }
    return true;
}

} // namespace

std::optional<Volume> FindVolume(const std::vector<Volume>& volumes,
                                 const std::string& absolutePath) {
    const auto path = Components(absolutePath);
    std::optional<Volume> best;
    std::size_t bestLength = 0;
    for (const auto& volume : volumes) {
        const auto root = Components(volume.rootPath);
        if (IsPrefix(root, path) && root.size() > bestLength) {
            best = volume;
            bestLength = root.size();
        }
    }
    return best;
}

} // namespace vistrel::core
