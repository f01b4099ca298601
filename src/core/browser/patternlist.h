#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vistrel::core {

// A file list pattern such as "*.bmp;*.jpg": masks separated by ';' with the wildcards '*'
// (any run, also empty) and '?' (exactly one character). Matching ignores ASCII case; a
// multi-byte UTF-8 character counts as one character, other bytes are compared as they are.
class PatternList {
public:
    explicit PatternList(std::string_view patterns = {});

    // True when the bare file name matches at least one mask.
    bool matches(std::string_view fileName) const;

    // The masks with surrounding blanks removed; empty masks are dropped.
    const std::vector<std::string>& masks() const { return m_masks; }

private:
    std::vector<std::string> m_masks;
};

} // namespace vistrel::core
