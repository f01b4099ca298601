#include "core/browser/cachingloader.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/viewer/areareduction.h"
#include "core/viewer/pictureloadrules.h"

namespace vistrel::core {

namespace {

// The picture shrunk into the box, proportions kept, never enlarged.
Image FitInto(Image picture, int maxWidth, int maxHeight) {
    const PixelSize fit = FitInsidePixels(picture.width(), picture.height(), maxWidth, maxHeight);
    if (fit.width >= picture.width() && fit.height >= picture.height()) return picture;
    return ReduceArea(picture, fit.width, fit.height);
}

// Failures of the file's content, which stay until the file changes; a missing file, one
// that cannot be opened or a lack of memory may be gone next time.
bool Lasting(LoadError error) {
    return error == LoadError::NotAPicture || error == LoadError::Damaged ||
           error == LoadError::Empty;
}

} // namespace

CachingLoader::CachingLoader(const PictureLoader& loader, ThumbnailCache& cache,
                             double devicePixelRatio)
    : m_loader(loader), m_cache(cache),
      m_devicePixelRatio(std::isfinite(devicePixelRatio)
                             ? std::clamp(devicePixelRatio, 1.0, 8.0)
                             : 1.0) {}

LoadResult CachingLoader::loadScaled(const std::string& path, int maxWidth,
                                     int maxHeight) const {
    maxWidth = std::max(maxWidth, 1);
    maxHeight = std::max(maxHeight, 1);
    const int needed =
        static_cast<int>(std::ceil(std::max(maxWidth, maxHeight) * m_devicePixelRatio));
    const ThumbnailSize size = ThumbnailSizeFor(needed);
    CachedThumbnail found = m_cache.Find(path, size);

    if (found.kind == CachedThumbnail::Kind::Failure)
        return LoadFailure(path, LoadError::Damaged);
    if (found.kind == CachedThumbnail::Kind::Thumbnail) {
        LoadResult result;
        // Without the picture's own size in the entry, the thumbnail's proportions stand in.
        const bool sized = found.naturalWidth > 0 && found.naturalHeight > 0;
        result.naturalWidth = sized ? found.naturalWidth : found.image.width();
        result.naturalHeight = sized ? found.naturalHeight : found.image.height();
        result.image = FitInto(std::move(found.image), maxWidth, maxHeight);
        return result;
    }

    const int box = ThumbnailBox(size);
    LoadResult decoded = m_loader.loadScaled(path, box, box);
    if (found.stamp) {
        // Failing to write only costs the next visit a decode.
        if (decoded.ok())
            m_cache.Store(path, *found.stamp, size, decoded.image, decoded.naturalWidth,
                          decoded.naturalHeight);
        else if (Lasting(decoded.error))
            m_cache.StoreFailure(path, *found.stamp);
    }
    if (decoded.ok()) decoded.image = FitInto(std::move(decoded.image), maxWidth, maxHeight);
    return decoded;
}

} // namespace vistrel::core
