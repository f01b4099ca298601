#include "core/app/windowplacement.h"

#include <algorithm>

namespace vistrel::core::placement {

namespace {

// Used when the window system reports no screen at all.
const Box FallbackScreen{0, 0, 19200, 14400};

const std::vector<Box>& OrFallback(const std::vector<Box>& screens) {
    static const std::vector<Box> fallback{FallbackScreen};
    return screens.empty() ? fallback : screens;
}

Box Bounds(const std::vector<Box>& screens) {
    const auto& all = OrFallback(screens);
    Twips left = all.front().left, top = all.front().top;
    Twips right = all.front().right(), bottom = all.front().bottom();
    for (const Box& s : all) {
        left = std::min(left, s.left);
        top = std::min(top, s.top);
        right = std::max(right, s.right());
        bottom = std::max(bottom, s.bottom());
    }
    return Box{left, top, right - left, bottom - top};
}

Twips Overlap(Twips a0, Twips a1, Twips b0, Twips b1) {
    return std::max<Twips>(0, std::min(a1, b1) - std::max(a0, b0));
}

} // namespace

Twips Clamp(Twips value, Twips low, Twips high) {
    if (!(value >= low)) value = low; // NaN too
    return value > high ? high : value;
}

Twips ClampLeft(Twips left, const std::vector<Box>& screens) {
    const Box b = Bounds(screens);
    return Clamp(left, b.left - b.width, b.right());
}

Twips ClampTop(Twips top, const std::vector<Box>& screens) {
    const Box b = Bounds(screens);
    return Clamp(top, b.top - b.height, b.bottom());
}

Twips ClampWidth(Twips width, const std::vector<Box>& screens) {
    Twips widest = 0;
    for (const Box& s : OrFallback(screens)) widest = std::max(widest, s.width);
    return Clamp(width, 15, widest);
}

Twips ClampHeight(Twips height, const std::vector<Box>& screens) {
    Twips tallest = 0;
    for (const Box& s : OrFallback(screens)) tallest = std::max(tallest, s.height);
    return Clamp(height, 15, tallest);
}

bool Reachable(const Box& window, const std::vector<Box>& screens) {
    for (const Box& s : OrFallback(screens)) {
        // The top edge holds the caption the user drags by, so that is what must show.
        const bool topOnScreen = window.top >= s.top && window.top <= s.bottom() - ReachableHeight;
        if (topOnScreen &&
            Overlap(window.left, window.right(), s.left, s.right()) >= ReachableWidth)
            return true;
    }
    return false;
}

Box OntoPrimary(Box window, const std::vector<Box>& screens) {
    const Box& primary = OrFallback(screens).front();
    window.left = primary.left + std::max<Twips>(0, (primary.width - window.width) / 2);
    window.top = primary.top + std::max<Twips>(0, (primary.height - window.height) / 2);
    return window;
}

Box ScreenOf(const Box& window, const std::vector<Box>& screens) {
    const auto& all = OrFallback(screens);
    Box best = all.front();
    Twips bestArea = 0;
    for (const Box& s : all) {
        const Twips area = Overlap(window.left, window.right(), s.left, s.right()) *
                           Overlap(window.top, window.bottom(), s.top, s.bottom());
        if (area > bestArea) {
            bestArea = area;
            best = s;
        }
    }
    return best;
}

} // namespace vistrel::core::placement
