#pragma once

#include <random>

#include "core/editing/image.h"

namespace vistrel::test {

// Opaque pixels of random colour, drawn from `engine`.
inline core::Image Noise(int width, int height, std::mt19937& engine) {
    core::Image picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.at(x, y) = 0xFF000000u | (engine() & 0xFFFFFFu);
    return picture;
}

// The same from a fresh engine started at `seed`.
inline core::Image Noise(int width, int height, unsigned seed) {
    std::mt19937 engine(seed);
    return Noise(width, height, engine);
}

} // namespace vistrel::test
