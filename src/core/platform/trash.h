#pragma once

#include <optional>
#include <string>

namespace vistrel::core {

// The desktop's trash (recycle bin). Deleting a file or folder moves it here, so the user can
// take it back; a volume without a trash (a network share, some removable media) makes the
// command ask whether to delete permanently instead.
class Trash {
public:
    virtual ~Trash() = default;
    // Whether the volume holding path has a trash that path can be moved into.
    virtual bool HasTrash(const std::string& path) = 0;
    // Moves the file or folder at path into the trash. Nothing on success, otherwise the
    // description of the failure.
    virtual std::optional<std::string> MoveToTrash(const std::string& path) = 0;
};

} // namespace vistrel::core
