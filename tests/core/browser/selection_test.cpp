#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/selection.h"

using namespace vistrel::core;
using Names = std::vector<std::string>;

TEST(Selection, KeepsClickOrderAndComparesNamesExactly) {
    // "=name" replaces the selection, "+name" toggles it.
    const std::pair<Names, Names> cases[] = {
        {{"=c2", "+c5", "+c7"}, {"c2", "c5", "c7"}}, // Shift-clicks append in click order
        {{"=a", "+b", "+c", "=b"}, {"b"}},           // a plain click after many leaves one
        {{"=a", "+b", "+c", "+b"}, {"a", "c"}},      // a toggle removes from the middle
        {{"=a", "+b", "+a", "+a"}, {"b", "a"}},      // toggled back it goes to the end
        {{"=a", "+a"}, {}},                          // the last toggle empties it
        {{"=a.jpg", "+A.JPG", "+a.JPG"}, {"a.jpg", "A.JPG", "a.JPG"}}, // case matters
        {{}, {}}};
    for (const auto& [steps, expected] : cases) {
        Selection selection;
        for (const auto& step : steps) {
            const std::string name = step.substr(1);
            const bool wasSelected = selection.contains(name);
            if (step[0] == '=')
                selection.replaceWith(name);
            else
                EXPECT_EQ(selection.toggle(name), !wasSelected) << step;
        }
        EXPECT_EQ(selection.names(), expected);
        EXPECT_EQ(selection.empty(), expected.empty());
    }
}
