#include "core/files/pathutil.h"

namespace vistrel::core {

std::string AppendPathSeparator(const std::string& path) {
    if (path.empty() || path.back() == PathSeparator) return path;
    return path + PathSeparator;
}

} // namespace vistrel::core
