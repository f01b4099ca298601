#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/app/asciitext.h"
#include "core/platform/settingsbackend.h"

namespace vistrel::test {

// Settings kept in memory; keys compared without regard to case. Records every write.
class MemorySettings : public core::SettingsBackend {
public:
    std::string read(const std::string& key) const override {
        auto it = values.find(lower(key));
        return it == values.end() ? std::string() : it->second;
    }
    void write(const std::string& key, const std::string& value) override {
        values[lower(key)] = value;
        writes.push_back(lower(key));
    }
    std::optional<std::string> writeProblem() const override { return problem; }
    bool has(const std::string& key) const { return values.count(lower(key)) != 0; }

    std::optional<std::string> problem; // why writes would not last, if they would not
    std::map<std::string, std::string> values;
    std::vector<std::string> writes;

private:
    static std::string lower(const std::string& s) { return core::AsciiLower(s); }
};

} // namespace vistrel::test
