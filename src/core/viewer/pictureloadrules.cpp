#include "core/viewer/pictureloadrules.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/app/fitinside.h"
#include "core/app/numbers.h"

namespace vistrel::core {

std::int64_t DecodeLimit(std::uint64_t physicalBytes) {
    const std::uint64_t quarter = physicalBytes / 4;
    return static_cast<std::int64_t>(
        std::clamp<std::uint64_t>(quarter, MinDecodeBytes, MaxDecodeBytes));
}

std::int64_t PictureBytes(int width, int height) {
    return std::int64_t{std::max(width, 0)} * std::int64_t{std::max(height, 0)} * 4;
}

bool IsTooLarge(int width, int height, std::int64_t limitBytes) {
    return PictureBytes(width, height) > limitBytes;
}

int DctReducedSide(int side, int reduction) {
    return static_cast<int>((std::int64_t{side} + reduction - 1) / reduction);
}

int DctReductionWithin(int width, int height, std::int64_t limitBytes) {
    for (const int reduction : DctReductions)
        if (!IsTooLarge(DctReducedSide(width, reduction), DctReducedSide(height, reduction),
                        limitBytes))
            return reduction;
    return 0;
}

PixelSize ScaledJpegDecodeSize(int width, int height, int fitWidth, int fitHeight) {
    if (width <= 0 || height <= 0 || fitWidth <= 0 || fitHeight <= 0) return {width, height};
    // The same arithmetic as the reader's, so the check and the decode agree.
    const double factor = std::min(static_cast<double>(width) / fitWidth,
                                   static_cast<double>(height) / fitHeight);
    const int eighths = static_cast<int>(std::clamp(std::ceil(8 / factor), 1.0, 8.0));
    const auto side = [&](int length) {
        return static_cast<int>((std::int64_t{length} * eighths + 7) / 8);
    };
    return {side(width), side(height)};
}

PixelSize FitInsidePixels(int width, int height, int maxWidth, int maxHeight) {
    if (width <= 0 || height <= 0) return {width, height};
    maxWidth = std::max(maxWidth, 1);
    maxHeight = std::max(maxHeight, 1);
    const Extent fit = FitInside(width, height, maxWidth, maxHeight);
    const auto whole = [](double length, int limit) {
        return static_cast<int>(std::clamp<std::int64_t>(RoundHalfEven(length), 1, limit));
    };
    return {whole(fit.width, maxWidth), whole(fit.height, maxHeight)};
}

std::string DescribeLoadError(const std::string& path, LoadError error, int width, int height) {
    std::string name = std::filesystem::path(path).filename().string();
    if (name.empty()) name = path;
    switch (error) {
    case LoadError::None:
        return {};
    case LoadError::NotFound:
        return name + ": file not found";
    case LoadError::Unreadable:
        return name + ": the file cannot be read";
    case LoadError::Empty:
        return name + ": the file is empty";
    case LoadError::NotAPicture:
        return name + ": not a picture file or an unsupported format";
    case LoadError::Damaged:
        return name + ": damaged or unsupported picture data";
    case LoadError::TooLarge:
        return name + ": picture too large (" + std::to_string(width) + " x " +
               std::to_string(height) + " pixels)";
    case LoadError::OutOfMemory:
        return name + ": not enough memory for this picture";
    }
    return name;
}

LoadResult LoadFailure(const std::string& path, LoadError error, int width, int height) {
    LoadResult result;
    result.naturalWidth = width;
    result.naturalHeight = height;
    result.error = error;
    result.errorText = DescribeLoadError(path, error, width, height);
    return result;
}

} // namespace vistrel::core
