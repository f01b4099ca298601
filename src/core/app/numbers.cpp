#include "core/app/numbers.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vistrel::core {

ConversionError::ConversionError(const std::string& text)
    : std::runtime_error("Type mismatch: \"" + text + "\" is not a number") {}

ConversionError::ConversionError(const std::string& key, const std::string& text)
    : std::runtime_error("the setting \"" + key + "\" holds \"" + text + "\", which is not a number") {}

std::int64_t RoundHalfEven(double value) {
    // A hand-edited setting may hold 1e300: saturate rather than overflow the cast.
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (std::isnan(value)) return 0;
    if (!(value < limit)) return std::numeric_limits<std::int64_t>::max();
    if (value < -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(std::nearbyint(value)); // default mode rounds to even
}

double RoundHalfEven(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    // Undo binary noise (1.005 * 100 = 100.49999...) before looking for an exact half.
    const double cleaned = std::stod(FormatNumber(scaled));
    return std::nearbyint(cleaned) / scale;
}

std::string FormatNumber(double value, char decimalSeparator) {
    if (std::isnan(value)) return "NaN";
    if (value == 0) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    // %g may choose an exponent; spell small and large values out like a calculator would.
    if (text.find('e') != std::string::npos && std::fabs(value) < 1e15 &&
        std::fabs(value) >= 1e-5) {
        std::snprintf(buffer, sizeof buffer, "%.15f", value);
        text = buffer;
        text.erase(text.find_last_not_of('0') + 1);
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    for (char& c : text)
        if (c == '.') c = decimalSeparator;
    return text;
}

std::optional<double> ParseNumber(std::string_view text, char decimalSeparator) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    const auto last = text.find_last_not_of(" \t");
    std::string s(text.substr(first, last - first + 1));
    for (char& c : s)
        if (c == decimalSeparator) c = '.';
    // Only plain decimal notation: no hex, no inf/nan, no trailing words.
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double ToNumber(std::string_view text, char decimalSeparator) {
    if (auto v = ParseNumber(text, decimalSeparator)) return *v;
    throw ConversionError(std::string(text));
}

int ToWhole(std::string_view text, char decimalSeparator) {
    const double v = ToNumber(text, decimalSeparator);
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        throw ConversionError(std::string(text));
    return static_cast<int>(RoundHalfEven(v));
}

} // namespace vistrel::core
