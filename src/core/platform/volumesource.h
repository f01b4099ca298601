#pragma once

#include <string>
#include <vector>

namespace vistrel::core {

// A mounted volume: what the drive list shows.
struct Volume {
    std::string rootPath;    // mount point, e.g. "/" or "/media/usb"
    std::string displayName; // what the list shows for it
    bool ready = true;       // false when its medium is missing or it cannot be read
};

// The mounted volumes of this machine.
class VolumeSource {
public:
    virtual ~VolumeSource() = default;
    virtual std::vector<Volume> volumes() const = 0;
};

} // namespace vistrel::core
