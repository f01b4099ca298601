#pragma once

#include <Qt>

#include "core/app/geometry.h"
#include "core/app/keys.h"

namespace vistrel::qt {

// The one conversion from Qt's keys to the program's; core's tables say what each does.
core::Key ToKey(int qtKey);
core::MouseButton ToButton(Qt::MouseButton button);

} // namespace vistrel::qt
