#pragma once

#include "core/platform/shell.h"

namespace vistrel::qt {

// Opens files and addresses with the desktop's default handler; never through a command line.
class QtShell : public core::Shell {
public:
    void Open(const std::string& pathOrAddress) override;
};

} // namespace vistrel::qt
