#pragma once

#include <string>

#include "core/browser/thumbnailcache.h"
#include "core/platform/pictureloader.h"

namespace vistrel::core {

// Thumbnails through the shared thumbnail cache: a valid entry is used instead of decoding
// the file, a file decoded is written to the cache for the next visit (by this program or any
// other), and a file that cannot be read as a picture is recorded so that it is not tried
// again until it changes. Whole pictures go straight to the loader. Safe on several threads,
// as the loader and the cache are.
class CachingLoader : public PictureLoader {
public:
    // devicePixelRatio: screen pixels per pixel of the boxes asked for, which picks the
    // cache's 128 or 256 pixel thumbnails.
    CachingLoader(const PictureLoader& loader, ThumbnailCache& cache, double devicePixelRatio = 1);

    LoadResult load(const std::string& path) const override { return m_loader.load(path); }
    LoadResult loadScaled(const std::string& path, int maxWidth, int maxHeight) const override;
    std::int64_t decodeLimit() const override { return m_loader.decodeLimit(); }

private:
    const PictureLoader& m_loader;
    ThumbnailCache& m_cache;
    double m_devicePixelRatio;
};

} // namespace vistrel::core
