#pragma once

namespace vistrel::core {

// What a folder change asks for: the thumbnail grid cleared and built again for the files
// now listed. The thumbnail builder implements it.
class GridRebuilder {
public:
    virtual ~GridRebuilder() = default;
    virtual void clearThumbnails() = 0;
    virtual void buildThumbnails() = 0;
    // A build is running; another folder change then takes its place.
    virtual bool building() const = 0;
};

} // namespace vistrel::core
