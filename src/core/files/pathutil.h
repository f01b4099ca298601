#pragma once

#include <string>

namespace vistrel::core {

// The platform's folder separator.
#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

// The path with a separator appended unless it already ends in one; empty stays empty.
// Every join of a folder and a file name goes through this.
std::string AppendPathSeparator(const std::string& path);

} // namespace vistrel::core
