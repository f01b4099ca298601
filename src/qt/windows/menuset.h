#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/app/commands.h"

class QAction;
class QMainWindow;
class QMenu;

namespace vistrel::qt {

// A window's menu bar and context menus, built from a command table; every item runs the
// command it names. The main and the full-screen window each hold one.
class MenuSet {
public:
    using Run = std::function<void(core::Command, const std::string&)>;
    MenuSet(QMainWindow& window, const std::vector<core::MenuEntry>& table, Run run);

    // By objectName, submenus' actions included; nullptr when there is none.
    QAction* action(const std::string& name) const;
    QMenu* menu(const std::string& name) const;
    // Check marks from whoever decides them.
    void setChecks(const std::function<bool(const std::string& name)>& checked);
    // Enabled states from whoever decides them.
    void setEnabled(const std::function<bool(core::Command)>& enabled);
    // Shows a menu at the pointer with every entry but the named ones.
    void popup(const std::string& name, const std::vector<std::string>& hidden) const;

private:
    std::map<std::string, QAction*> m_actions;
    std::map<std::string, QMenu*> m_menus;
    std::vector<std::string> m_checkable;
    std::vector<std::pair<QAction*, core::Command>> m_commands;
};

} // namespace vistrel::qt
