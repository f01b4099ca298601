#pragma once

#include <cstdint>
#include <string>

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

// The outcome of a load: the picture with its natural size, or why there is none.
struct LoadResult {
    Image image;           // null on failure; scaled down by loadScaled
    int naturalWidth = 0;  // pixels of the upright picture (after EXIF orientation)
    int naturalHeight = 0; // also set for a TooLarge failure
    // Above 1, the picture was too large to decode whole and came at 1/reduction of its
    // natural size: fit for viewing only.
    int reduction = 1;
    LoadError error = LoadError::None;
    std::string errorText; // names the file and the reason; empty on success

    bool ok() const { return error == LoadError::None; }
};

// Decodes picture files. Both calls may run on several threads at once.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // The picture at its natural size, upright.
    virtual LoadResult load(const std::string& path) const = 0;
    // The picture shrunk to fit inside maxWidth x maxHeight pixels (FitInsidePixels: proportions
    // kept, never enlarged), with its natural size; cheaper than load for large pictures.
    virtual LoadResult loadScaled(const std::string& path, int maxWidth, int maxHeight) const = 0;
    // The most memory one decoded picture may take, in bytes; edits that would make a larger
    // picture are refused too.
    virtual std::int64_t decodeLimit() const = 0;
};

} // namespace vistrel::core
