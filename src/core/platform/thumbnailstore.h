#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/editing/image.h"

namespace vistrel::core {

// A PNG's text keys (tEXt, zTXt and iTXt chunks) by keyword.
using ThumbnailKeys = std::map<std::string, std::string>;

struct ThumbnailFile {
    Image image; // transparent parts composed over white
    ThumbnailKeys keys;
};

// The files of the shared thumbnail cache: PNGs with text keys, written so that another
// program reading them at the same time sees the old file or the new one, never half of one.
// Every call may run on several threads at once.
class ThumbnailStore {
public:
    virtual ~ThumbnailStore() = default;
    // The PNG at path with its keys; nothing when it is missing, not a PNG, damaged, or wider
    // or taller than maxSide (refused before its pixels are decoded).
    virtual std::optional<ThumbnailFile> Read(const std::string& path, int maxSide) const = 0;
    // Writes image as a PNG carrying keys into a temporary file beside path and renames it
    // over path. Missing folders are made with mode 0700, the file gets 0600. Nothing on
    // success, otherwise the description of the failure.
    virtual std::optional<std::string> Write(const std::string& path, const Image& image,
                                             const ThumbnailKeys& keys) = 0;
    // Writes the PNG at from to `to` as Write does, with the keys in changed replaced and its
    // pixels (alpha too) and other keys kept, then removes from. A PNG that Read would refuse
    // is not moved. Nothing on success.
    virtual std::optional<std::string> Move(const std::string& from, const std::string& to,
                                            const ThumbnailKeys& changed, int maxSide) = 0;
    // Deletes the file; quiet when there is none.
    virtual void Remove(const std::string& path) = 0;
    // The MD5 digest of bytes as 32 lower-case hex digits.
    virtual std::string Md5Hex(std::string_view bytes) const = 0;
};

} // namespace vistrel::core
