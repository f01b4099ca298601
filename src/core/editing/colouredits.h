#pragma once

#include "core/app/colour.h"
#include "core/editing/filters.h"
#include "core/editing/image.h"

namespace vistrel::core {

// A 0x00BBGGRR colour as an opaque pixel of the working picture.
Image::Pixel ColourToPixel(Colour colour);

// Whether a channel value lies within `tolerance` percent of the target's channel:
// t - (k / 100) t <= v <= t + (k / 100) t, in double precision, so a target of 0 matches
// only 0.
bool ChannelMatches(int target, int value, int tolerance);

// The Properties dialog's point edits. Like the filters they read only `source` and write
// every pixel of `target` (same size, not `source` itself), rows top to bottom, reporting
// each finished row.

// Adds `amount` to each channel, limited to 0..255.
void Brightness(const Image& source, Image& target, int amount, const RowDone& rowDone = {});
// Adds each amount to its own channel, limited to 0..255.
void RgbBalance(const Image& source, Image& target, int red, int green, int blue,
                const RowDone& rowDone = {});
// A pixel whose three channels all match `from` (ChannelMatches) becomes `to`; any other
// pixel is copied unchanged.
void ReplaceColour(const Image& source, Image& target, Colour from, Colour to, int tolerance,
                   const RowDone& rowDone = {});

} // namespace vistrel::core
