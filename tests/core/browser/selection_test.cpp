#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/selection.h"

using namespace vistrel::core;
using Names = std::vector<std::string>;

namespace {

// "=name" replaces the selection, "+name" toggles it.
struct SelectionCase {
    const char* title;
    Names steps;
    Names expected;
};

class SelectionSequence : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionSequence, KeepsOrderAndComparesExactly) {
    Selection selection;
    for (const auto& step : GetParam().steps) {
        const std::string name = step.substr(1);
        if (step[0] == '=') {
            selection.replaceWith(name);
        } else {
            const bool wasSelected = selection.contains(name);
            EXPECT_EQ(selection.toggle(name), !wasSelected) << step;
        }
    }
    EXPECT_EQ(selection.names(), GetParam().expected);
    EXPECT_EQ(selection.empty(), GetParam().expected.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectionSequence,
    ::testing::Values(
        SelectionCase{"ShiftClicksAppendInClickOrder", {"=c2", "+c5", "+c7"}, {"c2", "c5", "c7"}},
        SelectionCase{"PlainClickAfterManyLeavesOne", {"=a", "+b", "+c", "=b"}, {"b"}},
        SelectionCase{"ToggleRemovesFromTheMiddle", {"=a", "+b", "+c", "+b"}, {"a", "c"}},
        SelectionCase{"ToggleAgainAppendsAtTheEnd", {"=a", "+b", "+a", "+a"}, {"b", "a"}},
        SelectionCase{"LastToggleEmptiesIt", {"=a", "+a"}, {}},
        SelectionCase{"CaseMatters", {"=a.jpg", "+A.JPG", "+a.JPG"}, {"a.jpg", "A.JPG", "a.JPG"}},
        SelectionCase{"NothingYet", {}, {}}),
    [](const auto& info) { return std::string(info.param.title); });

} // namespace
