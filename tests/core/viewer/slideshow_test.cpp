#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/viewer/slideshow.h"
#include "fakes/rigs.h"

using namespace vistrel::core;

namespace {

struct SlideShowTest : ::testing::Test, vistrel::test::ViewerRig<> {
    // A fresh folder of that many pictures, with nothing loaded yet.
    void open(int pictures) {
        show.reset();
        std::vector<std::string> names;
        for (int i = 1; i <= pictures; ++i)
            names.push_back("p" + std::to_string(i) + ".jpg");
        ViewerRig::open(names, "f" + std::to_string(++folders));
        current->ImageCount = pictures;
        shownBefore = current->PictureRevision();
        show = std::make_unique<SlideShow>(*current, *browser, timer, settings, clock);
    }
    // The pictures shown since the folder opened.
    long loads() const { return long(current->PictureRevision() - shownBefore); }
    std::uint64_t shownBefore = 0;

    vistrel::test::ManualTimer timer;
    vistrel::test::FakeClock clock;
    ViewSettings settings;
    int folders = 0;
    std::unique_ptr<SlideShow> show;
};

TEST_F(SlideShowTest, TicksWalkTheListInOrder) {
    struct Case {
        int order, repeat, count, start;
        std::vector<int> indexes;
        int loads;
    };
    const Case cases[] = {
        {2, 1, 3, 2, {0, 1, 2, 0, 1}, 5}, // descending wraps to the first
        {2, 0, 3, 1, {2, 2, 2}, 1},       // and stays on the last without repeat
        {1, 0, 3, 1, {0, 0, 0}, 1},       // ascending: the first, then stays there
        {1, 1, 3, 1, {0, 2, 1, 0}, 4},    // wraps to the last
        {2, 0, 3, -1, {0, 1, 2}, 3},      // no current picture: starts at the first
        {1, 1, 3, -1, {-1, -1}, 0},       // waits for a picture to be chosen
        {2, 1, 0, -1, {-1}, 0},           // empty folder
        {7, 1, 3, 1, {1}, 0},             // no such order
        {3, 0, 0, -1, {0}, 0},            // random in an empty folder: index 0, nothing loads
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("order " + std::to_string(c.order) + " repeat " + std::to_string(c.repeat) +
                     " start " + std::to_string(c.start));
        open(c.count);
        settings.SlideOrder = c.order;
        settings.SlideRepeat = c.repeat;
        current->CurrentFileIndex = c.start;
        std::vector<int> seen;
        for (std::size_t i = 0; i < c.indexes.size(); ++i) {
            show->Tick();
            seen.push_back(current->CurrentFileIndex);
        }
        EXPECT_EQ(seen, c.indexes);
        EXPECT_EQ(loads(), c.loads);
    }
}

TEST_F(SlideShowTest, OneCommandStartsAndStopsWithTheDelayOfItsStart) {
    open(1);
    show->StartStopSlideShow();
    EXPECT_EQ(timer.ms, 1000);
    settings.SlideDelay = 2500; // applied while running: in force from the next start
    show->Tick();
    EXPECT_EQ(timer.ms, 1000);
    show->StartStopSlideShow();
    EXPECT_FALSE(show->Running());
    show->StartStopSlideShow();
    EXPECT_EQ(timer.ms, 2500);
    show->StartStopSlideShow();
    settings.SlideDelay = -5;
    show->StartStopSlideShow();
    EXPECT_EQ(timer.ms, 0);
}

TEST_F(SlideShowTest, RandomOrderShowsEveryPictureAlike) {
    constexpr int pictures = 6, ticks = 6000;
    open(pictures);
    settings.SlideOrder = 3;
    settings.SlideRepeat = 1;
    std::map<int, int> shown;
    for (int i = 0; i < ticks; ++i) {
        show->Tick();
        ++shown[current->CurrentFileIndex];
    }
    ASSERT_EQ(shown.size(), std::size_t{pictures});
    EXPECT_EQ(shown.begin()->first, 0);
    EXPECT_EQ(shown.rbegin()->first, pictures - 1);
    for (const auto& [index, count] : shown)
        EXPECT_NEAR(count, ticks / pictures, 100) << index;
    EXPECT_EQ(loads(), ticks);
}

} // namespace
