#include "qt/windows/menubuilder.h"

#include <algorithm>

#include <QAction>
#include <QCursor>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace vistrel::qt {

BuiltMenus BuildMenus(QMainWindow& window, const std::vector<core::MenuEntry>& table,
                      std::function<void(core::Command, const std::string&)> run) {
    BuiltMenus built;
    const auto text = [](const std::string& s) { return QString::fromStdString(s); };
    for (const auto& e : table) {
        QMenu* parent = e.parent.empty() || e.parent == "popup" ? nullptr
                                                                : built.menus.at(e.parent);
        if (e.hasChildren) {
            QMenu* menu = e.parent.empty()       ? window.menuBar()->addMenu(text(e.caption))
                          : e.parent == "popup" ? new QMenu(text(e.caption), &window)
                                                : parent->addMenu(text(e.caption));
            menu->setObjectName(text(e.name));
            menu->menuAction()->setObjectName(text(e.name));
            built.menus[e.name] = menu;
            built.actions[e.name] = menu->menuAction();
            continue;
        }
        QAction* a = e.separator ? parent->addSeparator() : parent->addAction(text(e.caption));
        a->setObjectName(text(e.name));
        if (!e.shortcut.empty()) a->setShortcut(QKeySequence(text(e.shortcut)));
        if (e.checkable) a->setCheckable(true);
        if (!e.separator) {
            a->setEnabled(core::IsAvailable(e.command));
            const core::Command command = e.command;
            const std::string argument = e.argument;
            QObject::connect(a, &QAction::triggered, &window,
                             [run, command, argument] { run(command, argument); });
        }
        built.actions[e.name] = a;
    }
    // Context-menu entries are reached by mouse only; their menu-bar twins own the keys.
    window.addActions(window.menuBar()->actions());
    return built;
}

void PopupWithHidden(QMenu& menu, const std::vector<std::string>& hidden) {
    for (QAction* a : menu.actions())
        a->setVisible(std::find(hidden.begin(), hidden.end(), a->objectName().toStdString()) ==
                      hidden.end());
    menu.popup(QCursor::pos());
}

} // namespace vistrel::qt
