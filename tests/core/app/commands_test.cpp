#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/app/commands.h"

using namespace vistrel::core;

TEST(Commands, NamesAndShortcutsAreUniqueAndParentsExistBeforeTheirChildren) {
    for (const auto* table : {&MenuTable(), &FullScreenMenuTable()}) {
        std::set<std::string> seen;
        std::map<std::string, std::string> shortcuts;
        for (const auto& e : *table) {
            EXPECT_TRUE(seen.insert(e.name).second) << "duplicate " << e.name;
            if (!e.parent.empty() && e.parent != "popup") {
                const MenuEntry* parent = nullptr;
                for (const auto& p : *table)
                    if (p.name == e.parent) parent = &p;
                ASSERT_NE(parent, nullptr) << e.name;
                EXPECT_TRUE(parent->hasChildren) << e.name;
                EXPECT_TRUE(seen.count(e.parent)) << e.name << " precedes its menu";
            }
            EXPECT_EQ(e.command == Command::None, e.separator || e.hasChildren) << e.name;
            if (e.shortcut.empty() || table != &MenuTable()) continue;
            EXPECT_TRUE(shortcuts.emplace(e.shortcut, e.name).second)
                << e.shortcut << " on " << e.name << " and " << shortcuts[e.shortcut];
            EXPECT_NE(e.parent, "mnuRightDisplay");
        }
    }
}

TEST(Commands, ContextEntriesRunTheMenuBarCommandWithTheSameCaption) {
    int twins = 0;
    for (const auto& popup : MenuTable()) {
        if (popup.parent != "mnuRightDisplay" || popup.separator) continue;
        bool found = false;
        for (const auto& bar : MenuTable())
            found |= bar.parent != "mnuRightDisplay" && bar.caption == popup.caption &&
                     bar.command == popup.command;
        EXPECT_TRUE(found) << popup.name;
        ++twins;
    }
    EXPECT_EQ(twins, 8);
    // Toolbar keys whose names differ from their command's.
    EXPECT_EQ(CommandForToolbarKey("Preview"), Command::Display);
    EXPECT_EQ(CommandForToolbarKey("Selection"), Command::Select);
    EXPECT_EQ(CommandForToolbarKey("No such key"), Command::None);
}
