#include "core/viewer/pictureloadrules.h"

#include <algorithm>
#include <filesystem>

#include "core/app/fitinside.h"
#include "core/app/numbers.h"

namespace vistrel::core {

bool IsTooLarge(int width, int height) {
    return std::int64_t{width} * std::int64_t{height} * 4 > MaxPictureBytes;
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
