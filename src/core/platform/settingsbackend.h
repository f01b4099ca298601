#pragma once

#include <optional>
#include <string>

namespace vistrel::core {

// Persistent per-user text values by key. Keys are matched without regard to case.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    // The stored text, or empty when the key is absent.
    virtual std::string read(const std::string& key) const = 0;
    virtual void write(const std::string& key, const std::string& value) = 0;
    // Why writes will not last (a read-only file or folder); nothing when they will.
    virtual std::optional<std::string> writeProblem() const { return std::nullopt; }
};

} // namespace vistrel::core
