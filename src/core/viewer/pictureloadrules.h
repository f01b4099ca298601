#pragma once

#include <cstdint>
#include <string>

#include "core/platform/pictureloader.h"

namespace vistrel::core {

// The most memory one decoded picture may take (4 bytes a pixel). Files declaring more are
// refused before decoding, so a small file cannot claim gigabytes.
inline constexpr std::int64_t MaxPictureBytes = std::int64_t{256} * 1024 * 1024;

bool IsTooLarge(int width, int height);

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

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
