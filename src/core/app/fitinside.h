#pragma once

namespace vistrel::core {

struct Extent {
    double width = 0;
    double height = 0;
    bool operator==(const Extent&) const = default;
};

// A width x height picture shrunk by the one factor that fits it inside the box, or as it is
// when it fits already: never enlarged. The side that limits it gets the box's length exactly
// and the other its share in one division, so a caller rounding to whole units sees an exact
// half as a half. Sizes of zero or less come back unchanged. The unit is the caller's (twips
// for thumbnails, pixels for a scaled decode).
Extent FitInside(double width, double height, double boxWidth, double boxHeight);

} // namespace vistrel::core
