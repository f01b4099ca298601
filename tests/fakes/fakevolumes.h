#pragma once

#include <vector>

#include "core/platform/volumesource.h"

namespace vistrel::test {

struct FakeVolumes : core::VolumeSource {
    std::vector<core::Volume> list{{"/", "/", true}};
    std::vector<core::Volume> volumes() const override { return list; }
};

} // namespace vistrel::test
