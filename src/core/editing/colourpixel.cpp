#include "core/editing/colourpixel.h"

namespace vistrel::core {

namespace {

Colour LightScheme(int index) {
    switch (index) {
    case 5: return 0xFFFFFF;  // window background
    case 8: return 0x000000;  // window text
    case 12: return 0xABABAB; // application workspace
    case 13: return 0xD77800; // highlight
    case 14: return 0xFFFFFF; // highlighted text
    case 18: return 0x000000; // button text
    default: return 0xF0F0F0; // button face, the default background
    }
}

} // namespace

Image::Pixel PixelOfColour(Colour colour, const SystemColours& system) {
    if (IsSystemColour(colour)) {
        const int index = SystemColourIndex(colour);
        Colour resolved = system ? system(index) : colour;
        colour = IsSystemColour(resolved) ? LightScheme(index) : resolved;
    }
    return 0xFF000000u | static_cast<Image::Pixel>(RedOf(colour)) << 16 |
           static_cast<Image::Pixel>(GreenOf(colour)) << 8 |
           static_cast<Image::Pixel>(BlueOf(colour));
}

} // namespace vistrel::core
