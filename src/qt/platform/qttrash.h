#pragma once

#include "core/platform/trash.h"

namespace vistrel::qt {

// The desktop's trash through QFile::moveToTrash (the freedesktop trash on Linux).
class QtTrash : public core::Trash {
public:
    bool HasTrash(const std::string& path) override;
    std::optional<std::string> MoveToTrash(const std::string& path) override;
};

} // namespace vistrel::qt
