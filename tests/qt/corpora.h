#pragma once

#include <cstdlib>
#include <filesystem>

namespace vistrel::test {

// The folder of third-party test pictures: $VISTREL_CORPORA, else the one set at configure time.
inline std::filesystem::path CorporaRoot() {
    const char* root = std::getenv("VISTREL_CORPORA");
    return root && *root ? std::filesystem::path(root) : std::filesystem::path(VISTREL_CORPORA_DIR);
}

} // namespace vistrel::test
