#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vistrel::core {

// Writes whole files so that a failure leaves any file already at the path as it was.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Nothing on success, otherwise the description of the failure.
    virtual std::optional<std::string> WriteWhole(const std::string& path,
                                                  const std::vector<std::uint8_t>& bytes) = 0;
};

} // namespace vistrel::core
