#pragma once

#include <functional>

namespace vistrel::qt {

// Runs a call on the application the way every user event does: a failure reaches the
// status bar, every window is rendered afterwards, and a window closed by the call is
// deleted only once no call runs any more.
using Act = std::function<void(const std::function<void()>&)>;

} // namespace vistrel::qt
