#pragma once

#include <vector>

#include "core/app/geometry.h"

namespace vistrel::core {

// Keeps stored window placements usable: a hand-edited or stale settings file (another
// monitor, 1e300) must not give a window nobody can see or reach. Screen areas are the
// screens' available areas in twips, the primary screen first.
namespace placement {

// The least of a window that must lie on one screen for the user to grab it.
inline constexpr Twips ReachableWidth = 1500;
inline constexpr Twips ReachableHeight = 300;

// value inside [low, high]; high wins when they cross (a screen smaller than the minimum).
Twips Clamp(Twips value, Twips low, Twips high);

// A stored left or top kept near the screens: beyond them it makes no difference, and the
// numbers stay small.
Twips ClampLeft(Twips left, const std::vector<Box>& screens);
Twips ClampTop(Twips top, const std::vector<Box>& screens);
// A stored size no larger than the largest screen; never below one pixel's worth.
Twips ClampWidth(Twips width, const std::vector<Box>& screens);
Twips ClampHeight(Twips height, const std::vector<Box>& screens);

// Whether enough of the window lies on one of the screens to be reached.
bool Reachable(const Box& window, const std::vector<Box>& screens);
// The window centred on the primary screen, keeping its size.
Box OntoPrimary(Box window, const std::vector<Box>& screens);
// The screen the window overlaps most; the primary one when it overlaps none.
Box ScreenOf(const Box& window, const std::vector<Box>& screens);

} // namespace placement

} // namespace vistrel::core
