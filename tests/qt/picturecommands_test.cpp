#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QTest>

#include "qt/platform/colours.h"
#include "qt/platform/imageconvert.h"
#include "fakes/filesizelimit.h"
#include "qt/testwindow.h"

using namespace vistrel;
using test::FileSizeLimit;

namespace {

// A picture of odd width whose every pixel differs from its neighbours, so a mirrored or
// shifted row cannot pass for the original.
QImage Pattern(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 7, y * 11, (x * y) & 0xFF));
    return image;
}

class PictureCommandsTest : public ::testing::Test, public test::TestWindow {
protected:
    QTemporaryDir folder;
    QTemporaryDir out;
    QImage original = Pattern(37, 23);
    void SetUp() override {
        ASSERT_TRUE(original.save(folder.filePath("a.bmp")));
        open(folder.path());
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(app().Model().picMain.visible);
    }
    void key(int key) {
        QTest::keyClick(window.get(), Qt::Key(key), Qt::ControlModifier);
    }
    core::Image shown() { return app().Current().picload(); }
    // A file in `out` that a failed save must leave alone.
    QString existing(const QString& name) {
        const QString path = out.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kPrecious);
        return path;
    }
    const QByteArray kPrecious = QByteArray(100, 'k');
};

} // namespace

TEST_F(PictureCommandsTest, SaveAsWritesTheFlippedPictureUnderTheExactName) {
    const QString status = panel("status");
    window->action("mnuFlipHorizontal")->trigger();
    const QString target = out.filePath("flipped"); // no extension is added
    dialogs.saveNames = {target.toStdString()};
    key(Qt::Key_S);
    ASSERT_EQ(dialogs.saveDialogs, std::vector<std::string>{"Save As|Bitmap (*.bmp)|*.bmp"});
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"flipped"});

    QImageReader reader(target); // told the format by the content alone
    const QImage written = reader.read();
    ASSERT_FALSE(written.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32),
              original.mirrored(true, false));
    EXPECT_EQ(panel("status"), status); // success says nothing
}

TEST_F(PictureCommandsTest, AFullDiskIsReportedAndLeavesTheExistingFileAsItWas) {
    const QString target = existing("kept.bmp");
    dialogs.saveNames = {target.toStdString()};
    {
        const FileSizeLimit full(1024); // the bitmap needs about 2.6 kB
        key(Qt::Key_S);
    }
    EXPECT_EQ(test::ReadFile(target), kPrecious);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"kept.bmp"}); // no leftovers
    EXPECT_EQ(panel("status"), "Error: File too large");
}

TEST_F(PictureCommandsTest, AReadOnlyFolderIsReportedAndLeavesTheExistingFileAsItWas) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    const QString target = existing("kept.bmp");
    dialogs.saveNames = {target.toStdString()};
    ASSERT_TRUE(QFile::setPermissions(out.path(), QFile::ReadOwner | QFile::ExeOwner));
    key(Qt::Key_S);
    QFile::setPermissions(out.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(test::ReadFile(target), kPrecious);
    EXPECT_TRUE(panel("status").startsWith("Error: ")) << panel("status").toStdString();
}

TEST_F(PictureCommandsTest, CopyAndPasteGoThroughTheSystemClipboard) {
    key(Qt::Key_X);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              original);
    window->action("mnuFlipVertical")->trigger();
    ASSERT_NE(shown(), qt::toCoreImage(original));
    key(Qt::Key_V);
    EXPECT_TRUE(dialogs.messages.empty()); // same size: nothing to ask
    EXPECT_EQ(shown(), qt::toCoreImage(original));

    // A wider picture grows the canvas in the background the pane shows.
    QGuiApplication::clipboard()->setImage(Pattern(50, 10));
    dialogs.answer = core::DialogAnswer::Yes;
    key(Qt::Key_V);
    ASSERT_EQ(shown().width(), 50);
    ASSERT_EQ(shown().height(), 23);
    const QColor pane = qt::ToQColor(core::ButtonFaceColour, child("picDisplay")->palette());
    EXPECT_EQ(QColor(shown().at(49, 22)), pane);
    EXPECT_TRUE(child<QLabel>("lblFile")->text().endsWith(" - 50 x 23 Pixel"));
}
