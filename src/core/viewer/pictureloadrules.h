#pragma once

#include <cstdint>
#include <string>

#include "core/platform/pictureloader.h"

namespace vistrel::core {

// The most memory one decoded picture may take (4 bytes a pixel) follows the machine: a
// quarter of its memory, within these bounds. Files declaring more are refused or decoded
// reduced before any pixel is decoded, so a small file cannot claim gigabytes.
inline constexpr std::int64_t MinDecodeBytes = std::int64_t{256} * 1024 * 1024;
inline constexpr std::int64_t MaxDecodeBytes = std::int64_t{4} * 1024 * 1024 * 1024;

// The limit on one decoded picture for a machine with physicalBytes of memory (0: unknown).
std::int64_t DecodeLimit(std::uint64_t physicalBytes);

// Memory for a width x height picture in core's 4-byte pixels; no overflow for any int sizes.
std::int64_t PictureBytes(int width, int height);
bool IsTooLarge(int width, int height, std::int64_t limitBytes);


struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// JPEG decodes at 1/1, 1/2, 1/4 or 1/8 of the stored size (each side rounded up).
inline constexpr int DctReductions[] = {1, 2, 4, 8};
int DctReducedSide(int side, int reduction);
// The least DCT reduction whose decode of a width x height picture fits in limitBytes; 0 when
// even 1/8 does not fit.
int DctReductionWithin(int width, int height, std::int64_t limitBytes);
// What the JPEG reader decodes, before smoothing, for a picture scaled to fitWidth x
// fitHeight: it picks M/8 of the stored size (M from 1 to 8), the least M that still covers
// the fitted size.
PixelSize ScaledJpegDecodeSize(int width, int height, int fitWidth, int fitHeight);

// The size loadScaled gives a width x height picture: FitInside a maxWidth x maxHeight box
// in whole pixels, halves to even, never below 1 x 1.
PixelSize FitInsidePixels(int width, int height, int maxWidth, int maxHeight);

// The text shown for a failed load: the file's name, a colon and the reason.
std::string DescribeLoadError(const std::string& path, LoadError error, int width = 0,
                              int height = 0);

// A failed load of path, described; width and height are the picture's natural size where
// it is known (a TooLarge failure).
LoadResult LoadFailure(const std::string& path, LoadError error, int width = 0, int height = 0);

} // namespace vistrel::core
