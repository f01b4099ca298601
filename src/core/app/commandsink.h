#pragma once

#include <string>

#include "core/app/commands.h"

namespace vistrel::core {

// Where subsystems send the commands their keys, buttons and menus ask for: the one path a
// menu item, its context twin, its toolbar button and its key all take.
class CommandSink {
public:
    virtual ~CommandSink() = default;
    virtual void Run(Command command, const std::string& argument = {}) = 0;
};

} // namespace vistrel::core
