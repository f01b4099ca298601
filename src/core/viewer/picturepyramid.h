#pragma once

#include <cstddef>
#include <vector>

#include "core/editing/image.h"

namespace vistrel::core {

// Ever smaller copies of a picture, each half the size of the one before (rounded up), so a
// strong reduction can start from a copy a little larger than its result instead of reading
// the whole picture. Each pixel is the rounded average of the 2 x 2 block it covers, or of the
// pixels there are at an odd last row or column.
//
// The levels are built in horizontal stripes that depend on nothing but their own rows of the
// picture, so stripes can be built in any order and distinct ones on different threads. The
// picture must neither change nor go away while a stripe is built.
class PicturePyramid {
public:
    // Levels stop before the longer side would fall below this.
    static constexpr int MinimumSide = 512;

    // Allocates the levels, still unbuilt. A picture too small for even one level gets none.
    // Levels released by an earlier pyramid are taken over when they have the sizes this
    // picture's need (photos from one camera do): their pages are in memory already, where
    // fresh ones cost the system a fault and a clearing each. Otherwise they are freed first.
    // Throws std::bad_alloc when the levels do not fit into memory.
    explicit PicturePyramid(const Image& picture, std::vector<Image> reuse = {});

    const Image& Picture() const { return m_picture; }
    int LevelCount() const { return static_cast<int>(m_levels.size()); }
    // Level 0 is half the picture's size, level 1 a quarter, and so on.
    const Image& Level(int index) const { return m_levels[static_cast<std::size_t>(index)]; }
    // Bytes of all levels together: at most a third of the picture's.
    std::size_t Bytes() const;

    // Gives up the levels, whatever they hold, for a later pyramid; this one is left with none.
    std::vector<Image> ReleaseLevels();
    // Whether released levels would serve a picture of width x height.
    static bool Fits(const std::vector<Image>& levels, int width, int height);

    int StripeCount() const { return m_stripeCount; }
    // Computes every level's rows that come from stripe `index` of the picture. Distinct
    // stripes may be built at the same time on different threads.
    void BuildStripe(int index);

    // What a reduction to scaledWidth x scaledHeight should start from: the smallest level
    // still at least that large in both directions, or else the picture. Only meaningful
    // once every stripe is built.
    const Image& LevelFor(int scaledWidth, int scaledHeight) const;

private:
    const Image& m_picture;
    std::vector<Image> m_levels;
    int m_stripeRows = 1; // picture rows per stripe: 2 to the number of levels
    int m_stripeCount = 0;
};

} // namespace vistrel::core
