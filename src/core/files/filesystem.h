#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vistrel::core {

class Trash;

// Bytes copied so far and bytes to copy in all, for a progress bar. Called at the start, after
// each file and every few megabytes within a file, and with done == total at the end. A move
// within one volume copies nothing and reports nothing.
using CopyProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// How a delete went. NoTrash: the volume has no trash and nothing was touched; the caller may
// ask the user and then call DeletePermanently.
enum class DeleteOutcome { Deleted, NoTrash, Failed };

struct DeleteResult {
    DeleteOutcome outcome = DeleteOutcome::Deleted;
    std::string description; // why it failed, when outcome is Failed
};

// The file and folder operations of the picture and folder commands. Every operation returns
// nothing on success or the description of the failure ("<path>: <reason>"); none throws.
// Paths are byte strings and need not be valid UTF-8. A failure never loses or damages a file
// that was there before: replaced files change only when the new copy is complete.
class FileSystem {
public:
    explicit FileSystem(Trash& trash) : m_trash(trash) {}

    // Copies a file to destinationFile. An existing file there is replaced only when overwrite
    // is set and the user may write it, and only once the new copy is complete and on disk;
    // copying a file onto itself (also through a link) is refused.
    std::optional<std::string> CopyFile(const std::string& source,
                                        const std::string& destinationFile,
                                        bool overwrite = true, const CopyProgress& progress = {});
    // Moves a file (or a link, as a link) to destinationFile, refusing an existing one. Across
    // volumes the file is copied and flushed before the source is removed.
    std::optional<std::string> MoveFile(const std::string& source,
                                        const std::string& destinationFile,
                                        const CopyProgress& progress = {});

    // Why path cannot be deleted without forcing: a file the user may not write, or a folder
    // holding one anywhere inside (or one whose entries cannot be removed). Nothing if it can.
    std::optional<std::string> CheckDeletable(const std::string& path);
    // Moves a file or a whole folder to the trash without forcing: refused whole, before
    // anything is touched, when CheckDeletable finds a reason.
    DeleteResult DeleteFile(const std::string& path);
    DeleteResult DeleteFolder(const std::string& path);
    // Deletes a file or a folder with everything in it, bypassing the trash; refused whole
    // like DeleteFile/DeleteFolder.
    std::optional<std::string> DeletePermanently(const std::string& path);

    // Creates parent/name. name must be a plain name that does not exist yet.
    std::optional<std::string> CreateFolder(const std::string& parent, const std::string& name);
    // Renames the folder at path to newName in the same parent, refusing an existing name.
    std::optional<std::string> RenameFolder(const std::string& path, const std::string& newName);
    // Moves folder into destination, keeping its name. Refused when destination is the folder
    // itself or inside it, or already holds that name.
    std::optional<std::string> MoveFolder(const std::string& folder,
                                          const std::string& destination,
                                          const CopyProgress& progress = {});
    // Copies folder with everything in it to destination/<its name>, merging into a folder
    // already there and replacing files of the same names as CopyFile does. Links inside are
    // copied as links, never followed. Refused, before anything is copied, when destination is
    // the folder itself or inside it.
    std::optional<std::string> CopyFolder(const std::string& folder,
                                          const std::string& destination,
                                          const CopyProgress& progress = {});

    // The folder holding path ("/a/b" and "/a/b/" give "/a"); nothing for a root or a bare name.
    static std::optional<std::string> ParentFolder(const std::string& path);

private:
    Trash& m_trash;
};

} // namespace vistrel::core
