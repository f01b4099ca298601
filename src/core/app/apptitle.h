#pragma once

namespace vistrel::core {

// The title message boxes carry.
inline constexpr const char* AppTitle = "Vistrel";
// The version the About window and --version show.
inline constexpr const char* AppVersion = "1.0.3";

} // namespace vistrel::core
