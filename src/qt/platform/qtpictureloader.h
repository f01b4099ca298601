#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/platform/pictureloader.h"

namespace vistrel::qt {

// Decodes with Qt's image readers, and HEIC and AVIF with libheif. The format is judged by the
// file's content; only a file whose content no reader claims is tried by its extension (a .dib
// without file header). EXIF orientation is applied to JPEG, TIFF, PNG and WebP; HEIC and AVIF
// follow their own rotation and mirror boxes, and their EXIF orientation is not applied on top.
// What a decode would allocate is checked before decoding against a limit (a quarter of the
// machine's memory, see core::DecodeLimit) and against the memory free at the time. A JPEG
// above the limit is decoded at the largest DCT scale that fits; other formats are refused. Transparent parts
// come out composed over white. Of an icon the largest image is taken, of an animation the
// first frame. SVG is drawn at its own size, and straight into the box for a scaled decode.
// WMF and EMF files go to MetafileLoader. A scaled decode of a JPEG takes the thumbnail its
// EXIF block holds instead, when that has the picture's proportions and covers the box.
class MetafileLoader;

class QtPictureLoader : public core::PictureLoader {
public:
    // The limit follows this machine's memory. Sets Qt's process-wide allocation limit to
    // it; construct the first loader before any worker thread starts loading.
    QtPictureLoader();
    // With another limit (clamped to 1 byte .. core::MaxDecodeBytes) and another source for
    // the memory free (returning 0: unknown, never refuses).
    QtPictureLoader(std::int64_t decodeLimit, std::function<std::uint64_t()> availableMemory);

    core::LoadResult load(const std::string& path) const override;
    core::LoadResult loadScaled(const std::string& path, int maxWidth,
                                int maxHeight) const override;

    std::int64_t decodeLimit() const override { return m_decodeLimit; }

private:
    std::shared_ptr<const MetafileLoader> m_metafiles;
    std::int64_t m_decodeLimit;
    std::function<std::uint64_t()> m_availableMemory;
};

} // namespace vistrel::qt
