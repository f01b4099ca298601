#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/app/numbers.h"
#include "core/editing/image.h"

namespace vistrel::core {

// Why a picture could not be loaded.
enum class LoadError {
    None,
    NotFound,    // no such file (or it vanished)
    Unreadable,  // exists but cannot be opened or read (permissions, a folder, I/O error)
    Empty,       // zero bytes long
    NotAPicture, // no decoder recognises the content
    Damaged,     // recognised, but the data cannot be decoded (corrupt, truncated header, 12-bit)
    TooLarge,    // more pixels than a picture may have in memory
    OutOfMemory, // the pixels did not fit into memory
};

// The most memory one decoded picture may take (4 bytes a pixel). Files declaring more are
// refused before decoding, so a small file cannot claim gigabytes.
inline constexpr std::int64_t MaxPictureBytes = std::int64_t{256} * 1024 * 1024;

inline bool IsTooLarge(int width, int height) {
    return std::int64_t{width} * std::int64_t{height} * 4 > MaxPictureBytes;
}

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The size of a width x height picture shrunk by one factor to fit a maxWidth x maxHeight box;
// never enlarged, never below 1 x 1.
inline PixelSize FitInside(int width, int height, int maxWidth, int maxHeight) {
    if (width <= 0 || height <= 0) return {width, height};
    maxWidth = std::max(maxWidth, 1);
    maxHeight = std::max(maxHeight, 1);
    if (width <= maxWidth && height <= maxHeight) return {width, height};
    const double factor =
        std::min(static_cast<double>(maxWidth) / width, static_cast<double>(maxHeight) / height);
    const auto side = [&](int length, int limit) {
        return static_cast<int>(std::clamp<std::int64_t>(RoundHalfEven(length * factor), 1, limit));
    };
    return {side(width, maxWidth), side(height, maxHeight)};
}

// The text shown for a failed load: the file's name, a colon and the reason.
inline std::string DescribeLoadError(const std::string& path, LoadError error, int width = 0,
                                     int height = 0) {
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

// The outcome of a load: the picture with its natural size, or why there is none.
struct LoadResult {
    Image image;           // null on failure; scaled down by loadScaled
    int naturalWidth = 0;  // pixels of the upright picture (after EXIF orientation)
    int naturalHeight = 0; // also set for a TooLarge failure
    LoadError error = LoadError::None;
    std::string errorText; // names the file and the reason; empty on success

    bool ok() const { return error == LoadError::None; }

    static LoadResult failure(const std::string& path, LoadError error, int width = 0,
                              int height = 0) {
        LoadResult result;
        result.naturalWidth = width;
        result.naturalHeight = height;
        result.error = error;
        result.errorText = DescribeLoadError(path, error, width, height);
        return result;
    }
};

// Decodes picture files. Both calls may run on several threads at once.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // The picture at its natural size, upright.
    virtual LoadResult load(const std::string& path) const = 0;
    // The picture shrunk to fit inside maxWidth x maxHeight pixels (proportions kept, never
    // enlarged), with its natural size; cheaper than load for large pictures.
    virtual LoadResult loadScaled(const std::string& path, int maxWidth, int maxHeight) const = 0;
};

} // namespace vistrel::core
