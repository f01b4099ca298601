#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/app/commands.h"

class QAction;
class QMainWindow;
class QMenu;

namespace vistrel::qt {

struct BuiltMenus {
    std::map<std::string, QAction*> actions; // by objectName, submenus' actions included
    std::map<std::string, QMenu*> menus;     // submenus and context menus by objectName
};

// Builds a window's menu bar and context menus from a command table; every item runs
// `run` with its command and argument.
BuiltMenus BuildMenus(QMainWindow& window, const std::vector<core::MenuEntry>& table,
                      std::function<void(core::Command, const std::string&)> run);

// Shows a context menu at the pointer with every entry but the named ones.
void PopupWithHidden(QMenu& menu, const std::vector<std::string>& hidden);

} // namespace vistrel::qt
