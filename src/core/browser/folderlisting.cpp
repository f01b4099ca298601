#include "core/browser/folderlisting.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <filesystem>
#include <system_error>
#include <type_traits>

#include "core/app/largepages.h"
#include "core/browser/naturalorder.h"

#if defined(__unix__) || defined(__APPLE__)
#define VISTREL_POSIX_LISTING 1
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace vistrel::core {

namespace {

namespace fs = std::filesystem;

#ifndef VISTREL_POSIX_LISTING
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
#endif

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

namespace {

enum class EntryKind { Folder, File, Other };

#ifdef VISTREL_POSIX_LISTING
// The kind the directory entry names; only links and file systems that do not tell
// cost a stat (following links).
EntryKind KindOf(int folderFd, const dirent& entry) {
    switch (entry.d_type) {
    case DT_DIR: return EntryKind::Folder;
    case DT_REG: return EntryKind::File;
    case DT_LNK:
    case DT_UNKNOWN: break;
    default: return EntryKind::Other;
    }
    struct stat status;
    if (fstatat(folderFd, entry.d_name, &status, 0) != 0) return EntryKind::Other;
    if (S_ISDIR(status.st_mode)) return EntryKind::Folder;
    return S_ISREG(status.st_mode) ? EntryKind::File : EntryKind::Other;
}
#endif

// Names gathered in one block and handed out sorted, so a big folder's list is allocated
// once rather than grown name by name.
class NameBlock {
public:
    // Room for about this many bytes of names; what is not used is never touched.
    void reserve(std::size_t bytes) {
        m_text.reserve(bytes);
        m_starts.reserve(bytes / 8);
        AdviseLargePages(m_text.data(), m_text.capacity());
        AdviseLargePages(m_starts.data(), m_starts.capacity() * sizeof(std::uint32_t));
    }
    void add(std::string_view name) {
        // Past 4 GB of names (no folder has them) the rest are left out.
        if (m_text.size() + name.size() > UINT32_MAX) return;
        m_starts.push_back(static_cast<std::uint32_t>(m_text.size()));
        m_text.append(name);
    }
    std::vector<std::string> sorted() const {
        std::vector<std::string> result;
        result.reserve(m_starts.size());
        AdviseLargePages(result.data(), result.capacity() * sizeof(std::string));
        const std::string_view text(m_text);
        for (const std::uint32_t i : NaturalSortOrder(text, m_starts)) {
            const std::size_t end = i + 1 < m_starts.size() ? m_starts[i + 1] : text.size();
            result.emplace_back(text.substr(m_starts[i], end - m_starts[i]));
        }
        return result;
    }

private:
    std::string m_text;
    std::vector<std::uint32_t> m_starts;
};

} // namespace

FolderContents ReadFolder(const std::string& folder, const PatternList* pattern) {
    NameBlock folders, files;
    const auto take = [&](EntryKind kind, std::string_view name) {
        if (kind == EntryKind::Folder) folders.add(name);
        else if (kind == EntryKind::File) files.add(name);
    };
#ifdef VISTREL_POSIX_LISTING
    // One pass with the types the folder itself records: a folder of 200,000 files is read
    // in a fraction of what a stat per entry would take.
    if (DIR* dir = opendir(folder.c_str())) {
        const int fd = dirfd(dir);
        // A folder's own size bounds its names' (most file systems): the lists are then
        // made once instead of grown and copied as they fill.
        struct stat own;
        if (fstat(fd, &own) == 0 && own.st_size > 0) {
            const auto bytes = std::min<std::size_t>(static_cast<std::size_t>(own.st_size),
                                                     std::size_t{64} << 20);
            files.reserve(bytes);
            folders.reserve(std::min<std::size_t>(bytes, std::size_t{1} << 20));
        }
        while (const dirent* entry = readdir(dir)) {
            const char* name = entry->d_name;
            if (name[0] == '.') continue; // hidden, and "." and ".."
            const bool wanted = pattern && pattern->matches(name);
            // A name the pattern refuses is of no interest unless it may be a folder.
            if (!wanted && entry->d_type != DT_DIR && entry->d_type != DT_LNK &&
                entry->d_type != DT_UNKNOWN)
                continue;
            const EntryKind kind = KindOf(fd, *entry);
            if (kind == EntryKind::Folder || wanted) take(kind, name);
        }
        closedir(dir);
    }
#else
    ForEachVisibleEntry(folder, [&](const fs::directory_entry& entry, const std::string& name) {
        std::error_code ec;
        if (entry.is_directory(ec) && !ec) take(EntryKind::Folder, name);
        else if (pattern && pattern->matches(name) && entry.is_regular_file(ec) && !ec)
            take(EntryKind::File, name);
    });
#endif
    return {folders.sorted(), files.sorted()};
}

std::vector<std::string> ListPictureFiles(const std::string& folder, const PatternList& pattern) {
    return ReadFolder(folder, &pattern).files;
}

std::vector<FolderEntry> FolderTree(const std::string& volumeRoot, const std::string& folder,
                                    const std::vector<std::string>& subfolders) {
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
    for (const auto& name : subfolders)
        entries.push_back({name, (chain / name).string(), depth, false});
    return entries;
}

} // namespace vistrel::core
