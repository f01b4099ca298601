#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/viewer/pictureloadrules.h"

namespace vistrel::core {

enum class MetafileKind { None, Emf, Wmf };

// Bytes a caller should read from the start of a file for MetafileKindOf and MetafileFrameSize.
inline constexpr std::size_t MetafileHeadBytes = 88;

// Judges the content, not the name: an EMF header record with its " EMF" signature, a
// placeable WMF key, or a plain WMF header (memory or disk type, 9 words, version 1 or 3).
MetafileKind MetafileKindOf(const unsigned char* head, std::size_t size);

// The size the author gave the picture, in pixels at 96 per inch: an EMF's frame (0.01 mm),
// or a placeable WMF's bounds in its units per inch. None when the header has no usable frame
// (a plain WMF, an empty or inverted frame, a frame of more than MaxMetafileSide pixels);
// the drawing's own bounds stand in then.
std::optional<PixelSize> MetafileFrameSize(const unsigned char* head, std::size_t size);

// The most memory a drawn metafile may take (2048 x 2048 pixels), far below any decode limit,
// so that drawing one at its full size stays well inside the time limit on a busy machine.
inline constexpr std::int64_t MaxMetafileBytes = std::int64_t{2048} * 2048 * 4;

// A drawing's size scaled down, proportions kept, until its pixels fit MaxMetafileBytes: a
// vector picture has no pixels of its own to refuse, only a nominal size.
PixelSize CapMetafileSize(PixelSize size);

// Longest side a frame may give; beyond it the frame is taken as damaged.
inline constexpr int MaxMetafileSide = 1 << 20;

// Why a metafile could not be drawn, beyond the loader's own reasons.
enum class MetafileFailure {
    TimedOut,      // drawing took longer than MetafileTimeLimitMs
    ReaderFailed,  // the drawing program crashed or answered nonsense
    ReaderMissing, // the drawing program is not installed
};

inline constexpr int MetafileTimeLimitMs = 2000;

// The loader's error kind for the failure, and its text naming the file and the reason.
LoadResult MetafileLoadFailure(const std::string& path, MetafileFailure failure);

} // namespace vistrel::core
