#pragma once

#include <optional>

#include "core/editing/image.h"

namespace vistrel::core {

// The system clipboard, for pictures only.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The picture the clipboard holds, if it holds one.
    virtual std::optional<Image> Picture() const = 0;
    // Replaces whatever the clipboard holds by the picture.
    virtual void SetPicture(const Image& picture) = 0;
};

} // namespace vistrel::core
