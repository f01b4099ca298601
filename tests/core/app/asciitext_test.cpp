#include <string>

#include <gtest/gtest.h>

#include "core/app/asciitext.h"

using namespace vistrel::core;

TEST(AsciiText, FoldsOnlyTheLettersAToZ) {
    // Neighbours of both letter ranges, Latin-1 bytes and a UTF-8 sequence stay as they are.
    EXPECT_EQ(AsciiLower(std::string("AZaz09@[`{ \xC4\xD6 \xC3\x84")),
              std::string("azaz09@[`{ \xC4\xD6 \xC3\x84"));

    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {"IMG_0001.JPG", "img_0001.jpg", true},
        {"", "", true},
        {"a", "ab", false},
        {"ab", "a", false},
        {"@", "`", false},
        {"[", "{", false},
        {"\xC3\x84", "\xC3\xA4", false}, // Ä and ä in UTF-8
    };
    for (const Case& c : cases)
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}
