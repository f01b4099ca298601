#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QPixmap>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "qt/widgets/picturelevels.h"
#include "qt/testwindow.h"
#include "qt/widgets/picturesurface.h"

using namespace vistrel;

namespace {

constexpr core::Image::Pixel Green = 0xFF00FF00;

// Slow gradients, where a reduction through the levels and one straight from the picture may
// only differ by rounding.
core::Image gradient(int width, int height) {
    core::Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.at(x, y) = 0xFF000000u | (x * 255 / width) << 16 | (y * 255 / height) << 8 |
                             ((x + y) * 255 / (width + height));
    return image;
}

QImage shot(qt::PictureSurface& surface) {
    return surface.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int largestDifference(const QImage& a, const QImage& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int shift : {0, 8, 16})
                most = std::max(most, std::abs(int(a.pixel(x, y) >> shift & 0xFF) -
                                               int(b.pixel(x, y) >> shift & 0xFF)));
    return most;
}

struct Surfaces {
    qt::PictureSurface viaLevels, direct;
    Surfaces(const core::Image& picture, qt::PictureLevels& levels, QSize size) {
        for (qt::PictureSurface* s : {&viaLevels, &direct}) {
            s->resize(size);
            s->setPicture(&picture);
            s->setPictureRect(QRectF(QPointF(0, 0), size));
        }
        viaLevels.setLevels(&levels);
    }
    void invalidate() {
        viaLevels.invalidateCache();
        direct.invalidateCache();
    }
};

} // namespace

TEST(PictureLevels, ReductionsFromLevelsMatchTheDirectOneAndFollowEdits) {
    core::Image picture = gradient(2100, 1600); // levels 1050 x 800 and 525 x 400
    std::uint64_t revision = 1;
    qt::PictureLevels levels(picture, [&] { return revision; });
    QSignalSpy built(&levels, &qt::PictureLevels::built);
    Surfaces s(picture, levels, {500, 381}); // from the smaller level

    shot(s.viaLevels); // shown: the build starts
    ASSERT_TRUE(built.wait(20000));
    ASSERT_TRUE(levels.ready());
    EXPECT_LE(largestDifference(shot(s.viaLevels), shot(s.direct)), 2);

    // Pixels changed behind the levels' back still show the levels: they are what is read.
    for (int y = 0; y < picture.height(); ++y)
        for (core::Image::Pixel* p = picture.row(y); p != picture.row(y) + picture.width(); ++p)
            *p ^= 0x00FFFFFFu; // inverted, still smooth
    s.invalidate();
    EXPECT_GT(largestDifference(shot(s.viaLevels), shot(s.direct)), 200);

    // A new revision, as an edit makes: the picture at once, then levels of the edit.
    ++revision;
    s.invalidate();
    EXPECT_EQ(shot(s.viaLevels), shot(s.direct));
    EXPECT_FALSE(levels.ready());
    ASSERT_TRUE(built.wait(20000));
    ASSERT_TRUE(levels.ready());
    EXPECT_LE(largestDifference(shot(s.viaLevels), shot(s.direct)), 2);
}

TEST(PictureLevels, APictureReplacedDuringTheBuildIsNeverReadAsTheOldOne) {
    core::Image picture = gradient(2100, 1600);
    qt::PictureLevels levels(picture, [] { return std::uint64_t{7}; });
    QSignalSpy built(&levels, &qt::PictureLevels::built);
    Surfaces s(picture, levels, {300, 200});
    shot(s.viaLevels);
    QCoreApplication::processEvents(); // the levels are allocated, perhaps partly built

    // A load into the same object: other pixels, smaller, the revision unchanged.
    picture = core::Image(1300, 1100, Green);
    levels.refresh();
    EXPECT_EQ(levels.bytes(), 0u); // the old levels fit no more: their memory went at once
    s.invalidate();
    EXPECT_EQ(shot(s.viaLevels).pixel(5, 5), Green);
    ASSERT_TRUE(built.wait(20000));
    EXPECT_EQ(levels.bytes(), std::size_t{650 * 550 * 4});
    EXPECT_EQ(shot(s.viaLevels).pixel(5, 5), Green);
}

TEST(PictureLevels, TheMainWindowShowsAnEditAtOnceAndThenReducesItFromNewLevels) {
    QTemporaryDir folder;
    QImage halves(1400, 1100, QImage::Format_RGB32); // levels of 700 x 550
    halves.fill(Qt::red);
    for (int y = 0; y < halves.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(halves.scanLine(y)) + 700, 700, qRgb(0, 0, 255));
    ASSERT_TRUE(halves.save(folder.filePath("halves.bmp")));
    test::TestWindow w;
    w.open(folder.path());
    w->show();
    ASSERT_TRUE(w.app().Model().picMain.visible);
    w->action("mnu25")->trigger();
    auto* surface = w.child<qt::PictureSurface>("picMain");
    ASSERT_NE(surface->levels(), nullptr);
    QSignalSpy built(surface->levels(), &qt::PictureLevels::built);
    const auto leftColour = [&] {
        const QRectF r = surface->pictureRect();
        const QPoint at((r.left() + r.width() / 8), (r.top() + r.height() / 2));
        return QColor(surface->grab().toImage().pixel(at));
    };
    // The folder's build lets them be made already, while it waits for its decoders.
    if (!surface->levels()->ready()) {
        EXPECT_EQ(leftColour(), QColor(Qt::red));
        ASSERT_TRUE(built.wait(20000));
    }
    EXPECT_EQ(leftColour(), QColor(Qt::red));

    w->action("mnuFlipHorizontal")->trigger();
    EXPECT_EQ(leftColour(), QColor(Qt::blue));
    ASSERT_TRUE(built.wait(20000));
    EXPECT_EQ(leftColour(), QColor(Qt::blue));
}
