#pragma once

#include "core/platform/volumesource.h"

namespace vistrel::qt {

// The mounted volumes as QStorageInfo reports them, without the kernel's pseudo file
// systems, sorted by root path.
class QtVolumeSource : public core::VolumeSource {
public:
    std::vector<core::Volume> volumes() const override;
};

} // namespace vistrel::qt
