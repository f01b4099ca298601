#pragma once

#include "core/editing/image.h"

namespace vistrel::core {

// The picture drawn at width x height: each shrinking axis averages the source pixels an
// output pixel covers, each growing axis interpolates linearly between pixel centres. A flat
// colour stays exactly the same. A size of 0 or less gives a null image; throws
// std::bad_alloc when the result does not fit into memory.
Image StretchImage(const Image& source, int width, int height);

} // namespace vistrel::core
