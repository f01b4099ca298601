#pragma once

#include "core/platform/filewriter.h"

namespace vistrel::qt {

// Writes into a temporary file beside the target and renames it into place (QSaveFile).
class QtFileWriter : public core::FileWriter {
public:
    std::optional<std::string> WriteWhole(const std::string& path,
                                          const std::vector<std::uint8_t>& bytes) override;
};

} // namespace vistrel::qt
