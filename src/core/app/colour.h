#pragma once

#include <cstdint>

namespace vistrel::core {

// Colours are 0x00BBGGRR (red in the low byte), as the settings store them. A value with
// bit 31 set names a system colour by index instead.
using Colour = std::int32_t;

inline constexpr Colour SystemColourFlag = static_cast<Colour>(0x80000000u);
inline constexpr Colour ButtonFaceColour = static_cast<Colour>(0x8000000Fu);
inline constexpr Colour ButtonTextColour = static_cast<Colour>(0x80000012u);
inline constexpr Colour SelectedCaptionColour = 0xFF0000; // blue

inline constexpr bool IsSystemColour(Colour c) { return (c & SystemColourFlag) != 0; }
inline constexpr int SystemColourIndex(Colour c) { return c & 0xFF; }

inline constexpr int RedOf(Colour c) { return c & 0xFF; }
inline constexpr int GreenOf(Colour c) { return (c >> 8) & 0xFF; }
inline constexpr int BlueOf(Colour c) { return (c >> 16) & 0xFF; }

} // namespace vistrel::core
