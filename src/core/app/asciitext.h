#pragma once

#include <string>
#include <string_view>

namespace vistrel::core {

// Case folding of A-Z only. File names, patterns and settings keys compare this way whatever
// the user's locale, and every byte of a UTF-8 sequence stays as it is.
constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace vistrel::core
