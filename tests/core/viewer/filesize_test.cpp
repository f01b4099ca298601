#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "core/viewer/filesize.h"

using vistrel::core::FormatFileSize;

namespace {

constexpr std::uint64_t MB = 1024 * 1024;

TEST(FormatFileSize, UnitsBoundariesAndRounding) {
    constexpr std::uint64_t GB = 1024 * MB;
    const std::tuple<std::uint64_t, char, const char*> cases[] = {
        {0, '.', "0 Bytes"}, {1023, '.', "1023 Bytes"},
        // The two lengths that fall between the ranges.
        {1024, '.', "1 KB"}, {MB, '.', "1 MB"}, {1035, '.', "1.01 KB"},
        // 1.125 and 1.375 are exact halves at two decimals: to the even neighbour.
        {1152, '.', "1.12 KB"}, {1408, '.', "1.38 KB"}, {MB - 1, '.', "1024 KB"},
        {MB + 1, '.', "1 MB"}, {MB + MB / 2, ',', "1,5 MB"}, {MB + MB / 8, '.', "1.12 MB"},
        // Beyond 32 bits.
        {2 * GB + 1, '.', "2048 MB"}, {5 * GB + 300 * MB, '.', "5420 MB"}};
    for (const auto& [length, separator, text] : cases)
        EXPECT_EQ(FormatFileSize(length, separator), text) << length << separator;
}

} // namespace
