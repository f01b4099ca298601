#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/platform/volumesource.h"

namespace vistrel::core {

// The drive of an absolute path: the volume whose root is the longest prefix of the path,
// compared by whole folder names ("/media/usb" is not a prefix of "/media/usb2/x").
// Nothing when no volume contains the path.
std::optional<Volume> FindVolume(const std::vector<Volume>& volumes,
                                 const std::string& absolutePath);

} // namespace vistrel::core
