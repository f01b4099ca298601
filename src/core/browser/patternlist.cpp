#include "core/browser/patternlist.h"

#include <cstddef>

#include "core/app/asciitext.h"

namespace vistrel::core {

namespace {

// Length of the character starting at text[pos]: a whole UTF-8 sequence when it is well
// formed, otherwise the single byte, so broken names still match byte by byte.
std::size_t CharLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    if (lead >= 0xF0 && lead <= 0xF7)
        length = 4;
    else if (lead >= 0xE0)
        length = lead <= 0xEF ? 3 : 1;
    else if (lead >= 0xC2)
        length = 2;
    if (pos + length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

bool SameChar(std::string_view a, std::string_view b) {
    if (a.size() == 1 && b.size() == 1) return AsciiLower(a[0]) == AsciiLower(b[0]);
    return a == b;
}

// Greedy wildcard match that backtracks only to the last '*', so it stays linear-ish on
// long names instead of exploding on masks like "*a*a*a*". Walks both texts character by
// character in place: a folder of 200,000 files is matched against every mask.
bool MatchMask(std::string_view mask, std::string_view name) {
    constexpr std::size_t none = std::string_view::npos;
    // "*.jpg" and its kind, most masks there are: the name's end, bytes compared without
    // ASCII case. A UTF-8 lead byte is never a continuation byte, so no character is split.
    if (mask.size() > 1 && mask[0] == '*' && mask.find_first_of("*?", 1) == none) {
        const std::string_view tail = mask.substr(1);
        if (name.size() < tail.size()) return false;
        const std::string_view end = name.substr(name.size() - tail.size());
        for (std::size_t i = 0; i < tail.size(); ++i)
            if (AsciiLower(tail[i]) != AsciiLower(end[i])) return false;
        return true;
    }
    std::size_t m = 0, n = 0;
    std::size_t starMask = none, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
            continue;
        }
        if (m < mask.size()) {
            const std::size_t maskLength = CharLength(mask, m);
            const std::size_t nameLength = CharLength(name, n);
            if ((maskLength == 1 && mask[m] == '?') ||
                SameChar(mask.substr(m, maskLength), name.substr(n, nameLength))) {
                m += maskLength;
                n += nameLength;
                continue;
            }
        }
        if (starMask == none) return false;
        m = starMask + 1;
        starName += CharLength(name, starName);
        n = starName;
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

PatternList::PatternList(std::string_view patterns) {
    while (true) {
        const auto end = patterns.find(';');
        const auto mask = Trim(patterns.substr(0, end));
        if (!mask.empty()) m_masks.emplace_back(mask);
        if (end == std::string_view::npos) break;
        patterns.remove_prefix(end + 1);
    }
}

bool PatternList::matches(std::string_view fileName) const {
    if (fileName.empty()) return false;
    for (const auto& mask : m_masks) {
        if (MatchMask(mask, fileName)) return true;
    }
    return false;
}

} // namespace vistrel::core
