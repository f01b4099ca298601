#pragma once

#include "core/platform/clipboard.h"

namespace vistrel::qt {

// The system clipboard's image data.
class QtClipboard : public core::Clipboard {
public:
    std::optional<core::Image> Picture() const override;
    void SetPicture(const core::Image& picture) override;
};

} // namespace vistrel::qt
