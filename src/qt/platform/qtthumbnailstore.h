#pragma once

#include "core/platform/thumbnailstore.h"

namespace vistrel::qt {

// Thumbnail PNGs through QImageReader and QImageWriter, written with QSaveFile; MD5 through
// QCryptographicHash. Holds no state, so any thread may call it.
class QtThumbnailStore : public core::ThumbnailStore {
public:
    std::optional<core::ThumbnailFile> Read(const std::string& path, int maxSide) const override;
    std::optional<std::string> Write(const std::string& path, const core::Image& image,
                                     const core::ThumbnailKeys& keys) override;
    std::optional<std::string> Move(const std::string& from, const std::string& to,
                                    const core::ThumbnailKeys& changed, int maxSide) override;
    void Remove(const std::string& path) override;
    std::string Md5Hex(std::string_view bytes) const override;
};

// The thumbnail cache's folder for this user, from XDG_CACHE_HOME and the home folder.
std::string ThumbnailCacheRoot();

} // namespace vistrel::qt
