#include "core/viewer/zoomlevels.h"

namespace vistrel::core {

const ZoomLevel* FindZoomLevel(std::string_view nameOrPercent) {
    for (const ZoomLevel& level : ZoomLevels)
        if (nameOrPercent == level.name || nameOrPercent == level.percent) return &level;
    return nullptr;
}

} // namespace vistrel::core
