#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/browser/browsertestsupport.h"
#include "core/browser/filetypes.h"
#include "core/browser/folderlisting.h"
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
             {all, "Holiday.JPG", true},   {all, "x.png", false},      {all, "x.jpg.txt", false},
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

TEST(FileTypes, EachItemListsItsOwnExtensions) {
    vistrel::test::TempFolder dir;
    const Names pictures{"a.bmp", "b.DIB",  "c.emf", "d.gif", "e.jfif", "f.JPG",
                         "g.jif", "h.jpeg", "i.ige", "j.wmf", "k.ico",  "l.cur"};
    for (const auto& name : pictures)
        dir.file(name);
    dir.file("m.png");
    // clang-format off
    const std::vector<std::pair<std::string, Names>> cases{
        {"mnuAll", pictures}, {"mnuBmp", {"a.bmp"}}, {"mnuGif", {"d.gif"}},
        {"mnuJpg", {"e.jfif", "f.JPG", "g.jif", "h.jpeg", "i.ige"}},
        {"mnuWmf", {"j.wmf"}}, {"mnuEmf", {"c.emf"}}, {"mnuDib", {"b.DIB"}},
        {"mnuIco", {"k.ico"}}, {"mnuCur", {"l.cur"}}};
    // clang-format on
    for (const auto& [item, expected] : cases) {
        ASSERT_NE(FindFileType(item), nullptr) << item;
        EXPECT_EQ(ListPictureFiles(dir.path(), PatternList(FindFileType(item)->pattern)), expected);
    }
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
