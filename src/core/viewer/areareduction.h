#pragma once

#include <cstdint>
#include <memory>

#include "core/editing/image.h"

namespace vistrel::core {

// The instruction sets the averaging can use. Each gives the same pixels; the choice is
// one of speed only, and tests run every one the machine has.
enum class SimdPath { Scalar, Sse2, Avx2 };

// Whether this build on this processor can run the path.
bool Supports(SimdPath path);
// The fastest supported path.
SimdPath BestSimdPath();

// A picture reduced by area averaging to a size below its natural one, computed for one
// rectangle of the reduced picture only: each reduced pixel is the average of the source
// pixels it covers, weighted by how much of each it covers (weights in 1/128, so a flat
// colour stays exactly the same).
class AreaReduction {
public:
    // Where reduced rows go. row(j) gives the place for row `part.top + j` (part.width
    // pixels), or nullptr to receive the row through done() instead (a destination that is
    // not contiguous, such as a ring buffer that wraps).
    class RowTarget {
    public:
        virtual ~RowTarget() = default;
        virtual Image::Pixel* row(int j) const = 0;
        virtual void done(int j, const Image::Pixel* pixels) const = 0;
    };

    // `part` must lie inside the scaledWidth x scaledHeight picture. The picture must outlive
    // this object.
    AreaReduction(const Image& picture, int scaledWidth, int scaledHeight, const PixelRect& part,
                  SimdPath path = BestSimdPath());
    ~AreaReduction();
    AreaReduction(const AreaReduction&) = delete;
    AreaReduction& operator=(const AreaReduction&) = delete;

    // Source pixels read, a measure of the work.
    std::int64_t Work() const;
    // Computes rows [first, last) of the part. Distinct ranges may run on different threads.
    void Rows(int first, int last, const RowTarget& target) const;

private:
    struct Axes;
    const Image& m_picture;
    PixelRect m_part;
    SimdPath m_path;
    std::unique_ptr<Axes> m_axes;
};

// The whole picture reduced to scaledWidth x scaledHeight.
Image ReduceArea(const Image& picture, int scaledWidth, int scaledHeight,
                 SimdPath path = BestSimdPath());

} // namespace vistrel::core
