#include "core/app/fitinside.h"

namespace vistrel::core {

Extent FitInside(double width, double height, double boxWidth, double boxHeight) {
    if (width <= 0 || height <= 0 || (width <= boxWidth && height <= boxHeight))
        return {width, height};
    if (boxWidth / width <= boxHeight / height) return {boxWidth, height * boxWidth / width};
    return {width * boxHeight / height, boxHeight};
}

} // namespace vistrel::core
