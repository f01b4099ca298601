#pragma once

#include <cstdint>
#include <string>

namespace vistrel::core {

// A file's length as the information line shows it: "<n> Bytes" below 1,024, "<x> KB" up to
// 1,048,576 and "<x> MB" above, x rounded to two decimals (halves to even) and written in
// its shortest form with the given decimal separator. Exactly 1,024 gives "1 KB" and exactly
// 1,048,576 gives "1 MB".
std::string FormatFileSize(std::uint64_t length, char decimalSeparator = '.');

} // namespace vistrel::core
