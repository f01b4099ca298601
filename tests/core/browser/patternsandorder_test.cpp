#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/app/commands.h"
#include "core/browser/filetypes.h"
#include "core/browser/naturalorder.h"
#include "core/browser/patternlist.h"

using namespace vistrel::core;
using Names = std::vector<std::string>;

TEST(PatternList, MatchesMasksIgnoringCase) {
    const std::string all(AllPicturesPattern);
    struct Case {
        std::string pattern, name;
        bool matches;
    };
    // clang-format off
    for (const auto& c : std::vector<Case>{
             {all, "Holiday.JPG", true},   {all, "x.png", true},       {all, "x.jpg.txt", false},
             {all, "x.jxl", false},        {all, "x.HEIF", true},      {all, "x.svgz", true},
             {"*.jpg", "x.jpeg", false},   {"*.jpg", "X.JPG", true},   {"*.jpg", "x.jpgx", false},
             {"?.gif", "ab.gif", false},   {"?.gif", ".gif", false},   {"*.jpg", "\xC3", false},
             {"?.gif", "\xC3\xA9.gif", true}, // one two-byte character
             {"?.gif", "\xFF.gif", true},     // a stray byte counts as one
             {"img??.*", "IMG01.png", true}, {" *.bmp ; *.gif ", "a.gif", true},
             {";;", "a.gif", false},         {"*a*a*a*a*b", std::string(5000, 'a'), false}}) {
        // clang-format on
        EXPECT_EQ(PatternList(c.pattern).matches(c.name), c.matches)
            << c.pattern << " ~ " << c.name;
    }
}

TEST(FileTypes, TodaysFormatsFollowTheOriginalEightInTableAndMenu) {
    struct Expected {
        std::string name, caption, pattern;
        Names matching;
    };
    const std::vector<Expected> expected{
        {"mnuPng", "*.PNG", "*.png", {"a.png", "B.PNG"}},
        {"mnuWebp", "*.WEBP", "*.webp", {"a.webp"}},
        {"mnuTiff", "*.TIFF", "*.tif;*.tiff", {"a.tif", "a.TIFF"}},
        {"mnuSvg", "*.SVG", "*.svg;*.svgz", {"a.svg", "a.svgz"}},
        {"mnuHeic", "*.HEIC", "*.heic;*.heif", {"a.HEIC", "a.heif"}},
        {"mnuAvif", "*.AVIF", "*.avif", {"a.avif"}}};
    ASSERT_EQ(FileTypeItems.size(), 10 + expected.size());
    EXPECT_EQ(FileTypeItems[9].name, "mnuCur");
    const PatternList all{std::string(AllPicturesPattern)};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const FileTypeItem& item = FileTypeItems[10 + i];
        EXPECT_EQ(item.name, expected[i].name);
        EXPECT_EQ(item.caption, expected[i].caption);
        EXPECT_EQ(item.pattern, expected[i].pattern);
        for (const std::string& file : expected[i].matching)
            EXPECT_TRUE(PatternList(std::string(item.pattern)).matches(file) && all.matches(file))
                << file;
    }
    Names menu, table;
    for (const MenuEntry& entry : MenuTable())
        if (entry.parent == "mnuFileType") menu.push_back(entry.name + " " + entry.caption);
    for (const FileTypeItem& item : FileTypeItems)
        table.push_back(std::string(item.name) + " " + std::string(item.caption));
    EXPECT_EQ(menu, table);
}

TEST(NaturalOrder, NumbersByValueCaseIgnoredTiesByBytes) {
    EXPECT_EQ(NaturalOrder::compare("img01", "IMG1"), 0);
    EXPECT_GT(NaturalOrder::compare("file1b", "file01a"), 0);
    // Shuffled input must always come back in this one order.
    const Names expected{"A.jpg",
                         "a.jpg",
                         "img.jpg",
                         "IMG1.jpg",
                         "img01.jpg",
                         "img1.jpg",
                         "img2.jpg",
                         "img10.jpg",
                         "x99999999999999999999",
                         "x100000000000000000000",
                         "z",
                         "\xC3\xA9.jpg"};
    Names names = expected;
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(names.begin(), names.end(), random);
        std::sort(names.begin(), names.end(), NaturalOrder{});
        ASSERT_EQ(names, expected);
    }
}

// The listing sorts by keys; any pair of names must come out as the comparison orders them,
// also when every name shares a long start, as in a camera's folder.
TEST(NaturalOrder, SortingByKeysGivesTheComparisonsOrder) {
    const std::string alphabet = "aAbZ0019_.-~\xC3\xA9 ";
    std::mt19937 random(11);
    for (const std::string prefix : {"", "IMG_00", "x"}) {
        Names names;
        for (int i = 0; i < 3000; ++i) {
            std::string name = prefix;
            const int length = static_cast<int>(random() % 12);
            for (int c = 0; c < length; ++c) name += alphabet[random() % alphabet.size()];
            names.push_back(name);
        }
        Names expected = names;
        std::sort(expected.begin(), expected.end(), NaturalOrder{});
        SortNaturally(names);
        EXPECT_EQ(names, expected) << prefix;
    }
}
