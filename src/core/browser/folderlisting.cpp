#include "core/browser/folderlisting.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <type_traits>

#include "core/browser/naturalorder.h"

namespace vistrel::core {

namespace {

namespace fs = std::filesystem;

bool IsHidden(const std::string& name) {
    return !name.empty() && name.front() == '.';
}

// The entry's own name, without building two more paths where the native form is text.
std::string NameOf(const fs::path& path) {
    if constexpr (std::is_same_v<fs::path::value_type, char>) {
        const std::string& full = path.native();
        const std::size_t slash = full.rfind('/');
        return slash == std::string::npos ? full : full.substr(slash + 1);
    } else {
        return path.filename().string();
    }
}

// Visits the visible entries of a folder without throwing; an unreadable folder has none.
template <typename Visit> void ForEachVisibleEntry(const std::string& folder, Visit visit) {
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied, ec);
    const fs::directory_iterator end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = NameOf(it->path());
        if (!IsHidden(name)) visit(*it, name);
    }
}

std::string StripTrailingSeparators(std::string text, std::size_t keep) {
    while (text.size() > keep &&
           (text.back() == '/' || text.back() == fs::path::preferred_separator))
        text.pop_back();
    return text;
}

} // namespace

std::string NormaliseFolderPath(const std::string& path) {
    if (path.empty()) return path;
    fs::path p(path);
    if (p.is_relative()) {
        std::error_code ec;
        const auto absolute = fs::absolute(p, ec);
        if (!ec) p = absolute;
    }
    p = p.lexically_normal();
    p.make_preferred();
    return StripTrailingSeparators(p.string(), p.root_path().string().size());
}

std::optional<std::string> FolderProblem(const std::string& folder, const std::string& shown) {
    if (folder.empty()) return "No folder name given";
    std::error_code ec;
    const auto status = fs::status(fs::path(folder), ec);
    if (status.type() == fs::file_type::not_found) return shown + ": No such folder";
    if (ec) return shown + ": " + ec.message();
    if (!fs::is_directory(status)) return shown + ": Not a folder";
    fs::directory_iterator probe(fs::path(folder), ec);
    if (ec) return shown + ": " + ec.message();
    return std::nullopt;
}

std::vector<std::string> ListPictureFiles(const std::string& folder, const PatternList& pattern) {
    std::vector<std::string> files;
    ForEachVisibleEntry(folder, [&](const fs::directory_entry& entry, const std::string& name) {
        std::error_code ec;
        if (pattern.matches(name) && entry.is_regular_file(ec) && !ec) files.push_back(name);
    });
    SortNaturally(files);
    return files;
}

std::vector<FolderEntry> ListFolderTree(const std::string& volumeRoot, const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (folder.empty()) return entries;
    const fs::path target(NormaliseFolderPath(folder));
    fs::path root(NormaliseFolderPath(volumeRoot));
    fs::path relative = root.empty() ? fs::path() : target.lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") {
        root = target.root_path();
        relative = target.lexically_relative(root);
    }

    fs::path chain = root;
    entries.push_back({root.string(), root.string(), 0, false});
    for (const auto& part : relative) {
        if (part.empty() || part == ".") continue;
        chain /= part;
        entries.push_back({part.string(), chain.string(), static_cast<int>(entries.size()), false});
    }
    entries.back().current = true;

    const int depth = entries.back().depth + 1;
    std::vector<std::string> names;
    ForEachVisibleEntry(chain.string(),
                        [&](const fs::directory_entry& entry, const std::string& name) {
                            std::error_code ec;
                            if (entry.is_directory(ec) && !ec) names.push_back(name);
                        });
    std::sort(names.begin(), names.end(), NaturalOrder{});
    for (const auto& name : names)
        entries.push_back({name, (chain / name).string(), depth, false});
    return entries;
}

} // namespace vistrel::core
