#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/app/commands.h"

using namespace vistrel::core;

TEST(Commands, NamesAreUniqueAndParentsExistBeforeTheirChildren) {
    for (const auto* table : {&MenuTable(), &FullScreenMenuTable()}) {
        std::set<std::string> seen;
        const auto find = [&](const std::string& name) -> const MenuEntry* {
            for (const auto& e : *table)
                if (e.name == name) return &e;
            return nullptr;
        };
        for (const auto& e : *table) {
            EXPECT_TRUE(seen.insert(e.name).second) << "duplicate " << e.name;
            if (!e.parent.empty() && e.parent != "popup") {
                const MenuEntry* parent = find(e.parent);
                ASSERT_NE(parent, nullptr) << e.name;
                EXPECT_TRUE(parent->hasChildren) << e.name;
                EXPECT_TRUE(seen.count(e.parent)) << e.name << " precedes its menu";
            }
            if (e.separator || e.hasChildren) {
                EXPECT_EQ(e.command, Command::None) << e.name;
            } else {
                EXPECT_NE(e.command, Command::None) << e.name;
            }
        }
    }
}

TEST(Commands, ShortcutsAreUniqueAndOnlyOnMenuBarItems) {
    std::map<std::string, std::string> owner;
    for (const auto& e : MenuTable()) {
        if (e.shortcut.empty()) continue;
        EXPECT_TRUE(owner.emplace(e.shortcut, e.name).second)
            << e.shortcut << " on " << e.name << " and " << owner[e.shortcut];
        EXPECT_NE(e.parent, "mnuRightDisplay");
    }
}

TEST(Commands, ContextEntriesRunTheMenuBarCommandWithTheSameCaption) {
    int twins = 0;
    for (const auto& popup : MenuTable()) {
        if (popup.parent != "mnuRightDisplay" || popup.separator) continue;
        bool found = false;
        for (const auto& bar : MenuTable())
            if (bar.parent != "mnuRightDisplay" && bar.caption == popup.caption &&
                bar.command == popup.command)
                found = true;
        EXPECT_TRUE(found) << popup.name;
        ++twins;
    }
    EXPECT_EQ(twins, 8);
}

TEST(Commands, EveryToolbarKeyRunsAMenuCommand) {
    for (const auto& button : ToolbarTable()) {
        const Command c = CommandForToolbarKey(button.key);
        bool onMenu = false;
        for (const auto& e : MenuTable())
            if (e.command == c && e.parent != "mnuRightDisplay") onMenu = true;
        EXPECT_TRUE(onMenu) << button.key;
    }
    EXPECT_EQ(CommandForToolbarKey("Preview"), Command::Display);
    EXPECT_EQ(CommandForToolbarKey("Selection"), Command::Select);
    EXPECT_EQ(CommandForToolbarKey("No such key"), Command::None);
}
