#include "qt/windows/menuset.h"

#include <algorithm>

#include <QAction>
#include <QCursor>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace vistrel::qt {

MenuSet::MenuSet(QMainWindow& window, const std::vector<core::MenuEntry>& table, Run run) {
    const auto text = [](const std::string& s) { return QString::fromStdString(s); };
    for (const auto& e : table) {
        QMenu* parent = e.parent.empty() || e.parent == "popup" ? nullptr : m_menus.at(e.parent);
        if (e.hasChildren) {
            QMenu* menu = e.parent.empty()       ? window.menuBar()->addMenu(text(e.caption))
                          : e.parent == "popup" ? new QMenu(text(e.caption), &window)
                                                : parent->addMenu(text(e.caption));
            menu->setObjectName(text(e.name));
            menu->menuAction()->setObjectName(text(e.name));
            m_menus[e.name] = menu;
            m_actions[e.name] = menu->menuAction();
            continue;
        }
        QAction* a = e.separator ? parent->addSeparator() : parent->addAction(text(e.caption));
        a->setObjectName(text(e.name));
        if (!e.shortcut.empty()) a->setShortcut(QKeySequence(text(e.shortcut)));
        if (e.checkable) {
            a->setCheckable(true);
            m_checkable.push_back(e.name);
        }
        if (!e.separator) {
            a->setEnabled(core::IsAvailable(e.command));
            m_commands.emplace_back(a, e.command);
            const core::Command command = e.command;
            const std::string argument = e.argument;
            QObject::connect(a, &QAction::triggered, &window,
                             [run, command, argument] { run(command, argument); });
        }
        m_actions[e.name] = a;
    }
    // Context-menu entries are reached by mouse only; their menu-bar twins own the keys.
    window.addActions(window.menuBar()->actions());
}

QAction* MenuSet::action(const std::string& name) const {
    auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* MenuSet::menu(const std::string& name) const {
    auto it = m_menus.find(name);
    return it == m_menus.end() ? nullptr : it->second;
}

void MenuSet::setChecks(const std::function<bool(const std::string& name)>& checked) {
    for (const std::string& name : m_checkable) m_actions.at(name)->setChecked(checked(name));
}

void MenuSet::setEnabled(const std::function<bool(core::Command)>& enabled) {
    for (const auto& [action, command] : m_commands) action->setEnabled(enabled(command));
}

void MenuSet::popup(const std::string& name, const std::vector<std::string>& hidden) const {
    QMenu* shown = menu(name);
    if (!shown) return;
    for (QAction* a : shown->actions())
        a->setVisible(std::find(hidden.begin(), hidden.end(), a->objectName().toStdString()) ==
                      hidden.end());
    shown->popup(QCursor::pos());
}

} // namespace vistrel::qt
