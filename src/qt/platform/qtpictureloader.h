#pragma once

#include <memory>

#include "core/platform/pictureloader.h"

namespace vistrel::qt {

// Decodes with Qt's image readers, and HEIC and AVIF with libheif. The format is judged by the
// file's content; only a file whose content no reader claims is tried by its extension (a .dib
// without file header). EXIF orientation is applied to JPEG, TIFF, PNG and WebP; HEIC and AVIF
// follow their own rotation and mirror boxes, and their EXIF orientation is not applied on top.
// Pictures larger than core::MaxPictureBytes are refused before decoding. Transparent parts
// come out composed over white. Of an icon the largest image is taken, of an animation the
// first frame. SVG is drawn at its own size, and straight into the box for a scaled decode.
// WMF and EMF files go to MetafileLoader.
class MetafileLoader;

class QtPictureLoader : public core::PictureLoader {
public:
    // Sets Qt's process-wide allocation limit to core::MaxPictureBytes; construct the loader
    // before any worker thread starts loading.
    QtPictureLoader();

    core::LoadResult load(const std::string& path) const override;
    core::LoadResult loadScaled(const std::string& path, int maxWidth,
                                int maxHeight) const override;

private:
    std::shared_ptr<const MetafileLoader> m_metafiles;
};

} // namespace vistrel::qt
