#pragma once

#include <functional>

#include "core/app/colour.h"
#include "core/editing/image.h"

namespace vistrel::core {

// The plain colour (0x00BBGGRR) the desktop shows for a system colour index.
using SystemColours = std::function<Colour(int index)>;

// The pixel of a settings colour. A system colour is resolved through `system`; without it,
// or when it answers with another system colour, the standard light scheme answers.
Image::Pixel PixelOfColour(Colour colour, const SystemColours& system = {});

} // namespace vistrel::core
