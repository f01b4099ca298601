#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vistrel::core {

// Thrown where a stored text is read as a number and is not one; start-up traps it.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text);
    // The same for a stored setting, naming its key.
    ConversionError(const std::string& key, const std::string& text);
};

// Nearest whole number, exact halves to the even neighbour (2.5 -> 2, 3.5 -> 4). Values
// beyond the 64-bit range saturate; NaN gives 0.
std::int64_t RoundHalfEven(double value);

// Rounds to the given number of decimal places, halves to even.
double RoundHalfEven(double value, int decimals);

// Shortest text for a number: no trailing zeros, at most 15 significant digits.
std::string FormatNumber(double value, char decimalSeparator = '.');

// Reads a decimal number (surrounding blanks allowed, either '.' or the given separator);
// nothing when the text is not a number.
std::optional<double> ParseNumber(std::string_view text, char decimalSeparator = '.');

// As ParseNumber, but throws ConversionError.
double ToNumber(std::string_view text, char decimalSeparator = '.');

// Reads a number and rounds it to a whole one (halves to even); throws ConversionError.
int ToWhole(std::string_view text, char decimalSeparator = '.');

} // namespace vistrel::core
