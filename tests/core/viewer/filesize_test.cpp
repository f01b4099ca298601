#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "core/viewer/filesize.h"

using vistrel::core::FormatFileSize;

namespace {

struct SizeCase {
    std::uint64_t length;
    char separator;
    const char* text;
};

class FormatFileSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FormatFileSizeTest, UnitsBoundariesAndRounding) {
    const SizeCase& c = GetParam();
    EXPECT_EQ(FormatFileSize(c.length, c.separator), c.text) << c.length;
}

constexpr std::uint64_t MB = 1024 * 1024;

INSTANTIATE_TEST_SUITE_P(
    Table, FormatFileSizeTest,
    ::testing::Values(SizeCase{0, '.', "0 Bytes"}, SizeCase{1023, '.', "1023 Bytes"},
                      // The two lengths that fall between the ranges.
                      SizeCase{1024, '.', "1 KB"}, SizeCase{MB, '.', "1 MB"},
                      SizeCase{1025, '.', "1 KB"}, SizeCase{1035, '.', "1.01 KB"},
                      // 1.125 and 1.375 are exact halves at two decimals: to the even neighbour.
                      SizeCase{1152, '.', "1.12 KB"}, SizeCase{1408, '.', "1.38 KB"},
                      SizeCase{1152, ',', "1,12 KB"}, SizeCase{MB - 1, '.', "1024 KB"},
                      SizeCase{MB + 1, '.', "1 MB"}, SizeCase{MB + MB / 2, '.', "1.5 MB"},
                      SizeCase{MB + MB / 2, ',', "1,5 MB"}, SizeCase{MB + MB / 8, '.', "1.12 MB"},
                      // Beyond 32 bits.
                      SizeCase{(std::uint64_t{1} << 31) + 1, '.', "2048 MB"},
                      SizeCase{std::uint64_t{5} * 1024 * MB, '.', "5120 MB"},
                      SizeCase{std::uint64_t{5} * 1024 * MB + 300 * MB, '.', "5420 MB"}));

} // namespace
