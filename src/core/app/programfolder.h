#pragma once

#include <string>

namespace vistrel::core {

// The program's own folder: where its help page and sample pictures are. In a build folder
// they sit beside the executable; installed, the executable is in bin/ and they are in
// share/vistrel/ beside it, wherever the package was unpacked.
std::string ProgramFolder(const std::string& executableFolder);

} // namespace vistrel::core
