#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "core/app/asciitext.h"
#include "core/app/fitinside.h"
#include "core/app/numbers.h"

using namespace vistrel::core;

TEST(Numbers, RoundsHalvesToEven) {
    const std::pair<double, long> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0},
                                             {13.5, 14}, {2.4999, 2}, {2.5001, 3}};
    for (auto [value, expected] : cases) EXPECT_EQ(RoundHalfEven(value), expected) << value;

    // Stored numbers can be anything; beyond the 64-bit range the result saturates.
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    const std::pair<double, std::int64_t> extremes[] = {
        {1e300, max}, {-1e300, -max - 1}, {9223372036854775808.0, max}, {std::nan(""), 0}};
    for (auto [value, expected] : extremes) EXPECT_EQ(RoundHalfEven(value), expected) << value;

    EXPECT_DOUBLE_EQ(RoundHalfEven(1.125, 2), 1.12);
    EXPECT_DOUBLE_EQ(RoundHalfEven(1.135, 2), 1.14);
    EXPECT_DOUBLE_EQ(RoundHalfEven(1.005, 2), 1.0); // 1.005 is a half once binary noise is removed
    EXPECT_DOUBLE_EQ(RoundHalfEven(1.0009765625, 2), 1.0);
}

TEST(Numbers, FormatsShortestAndParsesWhatItWritesAndRejectsTheRest) {
    const std::pair<double, const char*> cases[] = {
        {190, "190"}, {0, "0"}, {5545.5, "5545.5"}, {-2147483633, "-2147483633"},
        {1.0 / 3, "0.333333333333333"}, {1e-3, "0.001"}};
    for (auto [value, expected] : cases) {
        EXPECT_EQ(FormatNumber(value), expected) << value;
        EXPECT_NEAR(*ParseNumber(FormatNumber(value)), value, 1e-12);
    }
    EXPECT_EQ(FormatNumber(1.5, ','), "1,5");
    for (const char* bad : {"", " ", "abc", "12abc", "0x10", "inf", "nan", "1e999", "--1"})
        EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
    EXPECT_EQ(*ParseNumber(" 42 "), 42);
    EXPECT_EQ(*ParseNumber("1,5", ','), 1.5);
    EXPECT_THROW(ToNumber("abc"), ConversionError);
    EXPECT_EQ(ToWhole("2.5"), 2);
    EXPECT_THROW(ToWhole("99999999999"), ConversionError);
}

TEST(AsciiText, FoldsOnlyTheLettersAToZ) {
    // Neighbours of both letter ranges, Latin-1 bytes and a UTF-8 sequence stay as they are.
    EXPECT_EQ(AsciiLower(std::string("AZaz09@[`{ \xC4\xD6 \xC3\x84")),
              std::string("azaz09@[`{ \xC4\xD6 \xC3\x84"));
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"IMG_0001.JPG", "img_0001.jpg", true}, {"", "", true}, {"a", "ab", false},
        {"ab", "a", false}, {"@", "`", false}, {"[", "{", false},
        {"\xC3\x84", "\xC3\xA4", false}}; // Ä and ä in UTF-8
    for (const auto& [a, b, equal] : cases)
        EXPECT_EQ(EqualsIgnoringAsciiCase(a, b), equal) << a << " / " << b;
}

TEST(FitInside, ShrinksByOneFactorAndNeverEnlarges) {
    const std::tuple<Extent, Extent, Extent> cases[] = {// size, box, fit
                                                        {{2000, 1000}, {1295, 1120}, {1295, 647.5}},
                                                        {{1000, 2000}, {1295, 1120}, {560, 1120}},
                                                        {{800, 600}, {1295, 1120}, {800, 600}},
                                                        {{67, 134}, {112, 85}, {42.5, 85}},
                                                        {{0, 500}, {10, 10}, {0, 500}},
                                                        {{500, -1}, {10, 10}, {500, -1}}};
    for (const auto& [size, box, fit] : cases)
        EXPECT_EQ(FitInside(size.width, size.height, box.width, box.height), fit)
            << size.width << " x " << size.height;
}
