#pragma once

namespace vistrel::core {

// The title message boxes carry.
inline constexpr const char* AppTitle = "Vistrel";

} // namespace vistrel::core
