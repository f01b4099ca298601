#pragma once

#include <cstdint>
#include <functional>

#include "core/editing/image.h"

namespace vistrel::core {

class Clock;

// The Tools menu's fixed filters, in menu order.
enum class Filter { GreyScaling, Smooth, Sharpen, Emboss, Diffuse, Invert, Solarize };

// Called with y after each row of a filter's main loop, to move the progress bar.
using RowDone = std::function<void(int y)>;

// Which pixels a filter writes on a width x height picture: Emboss and Sharpen leave a
// one-pixel frame, Diffuse a two-pixel frame, the others write everything.
PixelRect CopyBackRect(Filter filter, int width, int height);

// Every filter reads only `source` and writes only the pixels of its CopyBackRect in
// `target`, which must have the size of `source` and must not be `source` itself (the
// neighbourhood filters read pixels that are already written otherwise). Rows are visited
// top to bottom, columns left to right.
void GreyScaling(const Image& source, Image& target, const RowDone& rowDone = {});
void Invert(const Image& source, Image& target, const RowDone& rowDone = {});
void Solarize(const Image& source, Image& target, const RowDone& rowDone = {});
// Box means: 3 x 3 inside, 2 x 2 along the edges; a block reaching beyond the picture (the
// top-right and bottom-left corners, pictures of one or two pixels) repeats the edge pixels.
void Smooth(const Image& source, Image& target, const RowDone& rowDone = {});
void Sharpen(const Image& source, Image& target, const RowDone& rowDone = {});
void Emboss(const Image& source, Image& target, const RowDone& rowDone = {});
// Moves each pixel's colour from a random neighbour up to two rows and columns away; the
// offsets come from a small generator started from `seed`, so a seed repeats the result.
void Diffuse(const Image& source, Image& target, std::uint64_t seed, const RowDone& rowDone = {});

// A row or column offset of Diffuse from a uniform fraction r in [0, 1): round(4r - 2), halves
// to even, so -2 and 2 come half as often as -1, 0 and 1.
int DiffuseOffset(double r);

// Runs one filter; Diffuse takes its seed from the clock's random source.
void ApplyFilter(Filter filter, const Image& source, Image& target, Clock& clock,
                 const RowDone& rowDone = {});

} // namespace vistrel::core
