#include <gtest/gtest.h>

#include "core/files/pathutil.h"

using namespace vistrel::core;

TEST(AppendPathSeparator, AddsOneSeparatorOnlyWhereMissing) {
    const std::string sep(1, PathSeparator);
    EXPECT_EQ(AppendPathSeparator(""), "");
    EXPECT_EQ(AppendPathSeparator("photos"), "photos" + sep);
    EXPECT_EQ(AppendPathSeparator("photos" + sep), "photos" + sep);
    EXPECT_EQ(AppendPathSeparator(sep), sep);
}
