#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/browser/patternlist.h"

namespace vistrel::core {

// One line of the folder list.
struct FolderEntry {
    std::string name;     // the folder's own name; the volume root shows its whole path
    std::string path;     // full path, no trailing separator except on a root
    int depth = 0;        // 0 for the volume root
    bool current = false; // the open folder, the one the lists show
    bool operator==(const FolderEntry&) const = default;
};

// The absolute, lexically normal form of a folder path, without a trailing separator
// except on a root ("/pics/./a/" -> "/pics/a"). Relative paths are taken from the working
// folder. Empty stays empty.
std::string NormaliseFolderPath(const std::string& path);

// Why the folder cannot be opened as the current folder, as "<shown>: <reason>"; nothing
// when it exists, is a folder (links followed) and can be read.
std::optional<std::string> FolderProblem(const std::string& folder, const std::string& shown);

// What one reading of a folder finds: its visible subfolders and its visible regular files
// that match the pattern (links followed), each in natural order.
struct FolderContents {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

// Reads the folder once, with at most one stat an entry (none where the folder records the
// entry's type). No pattern lists no files. Entries that cannot be read are skipped; an
// unreadable folder gives none. Safe to call from any thread.
FolderContents ReadFolder(const std::string& folder, const PatternList* pattern);

// The files of ReadFolder alone.
std::vector<std::string> ListPictureFiles(const std::string& folder, const PatternList& pattern);

// What the folder list shows: the chain from volumeRoot down to folder (each an ancestor of
// the next), then the given subfolders of folder, one level deeper.
// A folder outside volumeRoot is chained from its file system root instead.
std::vector<FolderEntry> FolderTree(const std::string& volumeRoot, const std::string& folder,
                                    const std::vector<std::string>& subfolders);

} // namespace vistrel::core
