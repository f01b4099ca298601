#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTreeView>

#include "core/browser/thumbnailcache.h"
#include "qt/platform/qtthumbnailstore.h"
#include "qt/testwindow.h"
#include "qt/widgets/thumbnailsheetwidget.h"

using namespace vistrel;

namespace {

class FileCommandsTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    QTemporaryDir dataHome; // where the desktop keeps its trash
    QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");

    void SetUp() override {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        for (int i = 0; i < 3; ++i)
            test::SavePicture(folder.filePath(QString("pic%1.bmp").arg(i)), {40, 30},
                              QColor::fromHsv(i * 60, 200, 200));
        open(folder.path());
    }
    void TearDown() override {
        if (savedDataHome.isNull()) qunsetenv("XDG_DATA_HOME");
        else qputenv("XDG_DATA_HOME", savedDataHome);
    }
};

} // namespace

TEST_F(FileCommandsTest, DeleteKeyOnAThumbnailAsksAndMovesThePictureToTheTrash) {
    auto* sheet = child<qt::ThumbnailSheetWidget>("picBack");
    QTest::mouseClick(sheet, Qt::LeftButton, {}, cellCentre(1));
    ASSERT_EQ(app().SelectedFiles().names(), std::vector<std::string>{"pic1.bmp"});
    dialogs.answer = core::DialogAnswer::Yes;
    QTest::keyClick(sheet, Qt::Key_Delete);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "Are you sure you want to delete pic1.bmp|Vistrel|2|4");
    EXPECT_FALSE(QFile::exists(folder.filePath("pic1.bmp")));
    EXPECT_TRUE(QFile::exists(dataHome.filePath("Trash/files/pic1.bmp")));
    EXPECT_EQ(app().Sheet().cellCount(), 2);
}

// The build left the pictures' thumbnails in the shared cache; they follow a rename and go
// with a delete, so no other program shows a thumbnail under a name that is gone.
TEST_F(FileCommandsTest, CachedThumbnailsFollowARenameAndGoWithADelete) {
    const core::ThumbnailCache cache(platform->thumbnails, qt::ThumbnailCacheRoot());
    const auto entry = [&](const char* name) {
        return QString::fromStdString(
            cache.EntryPath(folder.filePath(name).toStdString(), core::ThumbnailSize::Normal));
    };
    ASSERT_TRUE(QFile::exists(entry("pic0.bmp")));

    app().Run(core::Command::Next); // the build ended on pic0.bmp; the box opens on pic1.bmp
    app().Run(core::Command::Rename);
    ASSERT_TRUE(app().Rename().isOpen());
    app().RenameBoxKey(core::Key::Enter, "renamed.bmp");
    ASSERT_TRUE(QFile::exists(folder.filePath("renamed.bmp")));
    EXPECT_FALSE(QFile::exists(entry("pic1.bmp")));
    EXPECT_TRUE(QFile::exists(entry("renamed.bmp")));

    QTest::mouseClick(child<qt::ThumbnailSheetWidget>("picBack"), Qt::LeftButton, {},
                      cellCentre(0));
    dialogs.answer = core::DialogAnswer::Yes;
    QTest::keyClick(child<qt::ThumbnailSheetWidget>("picBack"), Qt::Key_Delete);
    ASSERT_FALSE(QFile::exists(folder.filePath("pic0.bmp")));
    EXPECT_FALSE(QFile::exists(entry("pic0.bmp")));
}

TEST_F(FileCommandsTest, ARightButtonReleaseOverTheFolderListShowsTheFolderMenu) {
    auto* tree = child<QTreeView>("drlList");
    ASSERT_NE(tree, nullptr);
    QTest::mousePress(tree->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    auto* menu = window->findChild<QMenu*>("mnuFolder");
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->isVisible()); // not on the press
    QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}
