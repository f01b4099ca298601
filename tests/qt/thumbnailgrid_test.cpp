#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "fakes/platformfakes.h"
#include "qt/platform/qtsettingsbackend.h"
#include "qt/platform/qtvolumesource.h"
#include "qt/platform/twips.h"
#include "qt/widgets/thumbnailsheetwidget.h"
#include "qt/windows/mainwindow.h"

using namespace vistrel;
namespace fs = std::filesystem;

namespace {

// The real main window opened on a folder, with message boxes answered by a script.
class Window {
public:
    explicit Window(const QString& folder) {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
        m_settings = std::make_unique<qt::QtSettingsBackend>();
        m_window = std::make_unique<qt::MainWindow>(*m_settings, m_volumes, folder.toStdString(),
                                                    folder.toStdString(), &dialogs);
        m_window->start();
    }
    qt::MainWindow& operator*() { return *m_window; }
    qt::MainWindow* operator->() { return m_window.get(); }
    core::Application& app() { return m_window->app(); }
    qt::ThumbnailSheetWidget* sheet() {
        return m_window->findChild<qt::ThumbnailSheetWidget*>("picBack");
    }
    QString panel(const char* key) { return m_window->findChild<QLabel*>(key)->text(); }
    // The centre of cell i's picture, in the sheet widget's pixels.
    QPoint imageCentre(int i) {
        const auto& c = app().Sheet().cell(i);
        const double tpp = qt::TwipsPerPixel(m_window.get());
        return QPoint(qt::ToPixels(c.cell.left + c.image.left + c.image.width / 2, tpp),
                      qt::ToPixels(c.cell.top + c.image.top + c.image.height / 2, tpp));
    }
    QPoint captionCentre(int i) {
        const auto& c = app().Sheet().cell(i);
        const double tpp = qt::TwipsPerPixel(m_window.get());
        return QPoint(qt::ToPixels(c.cell.left + c.caption.left + c.caption.width / 2, tpp),
                      qt::ToPixels(c.cell.top + c.caption.top + c.caption.height / 2, tpp));
    }
    test::ScriptedDialogs dialogs;

private:
    QTemporaryDir m_config;
    qt::QtVolumeSource m_volumes;
    std::unique_ptr<qt::QtSettingsBackend> m_settings;
    std::unique_ptr<qt::MainWindow> m_window;
};

class ThumbnailGridTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    void SetUp() override {
        for (int i = 0; i < 8; ++i) {
            QImage picture(40 + 10 * i, 30, QImage::Format_RGB32);
            picture.fill(QColor::fromHsv(i * 40, 200, 200));
            ASSERT_TRUE(picture.save(folder.filePath(QString("pic%1.bmp").arg(i))));
        }
    }
    std::vector<std::string> selected(Window& w) { return w.app().SelectedFiles().names(); }
};

} // namespace

TEST_F(ThumbnailGridTest, ClicksAndShiftClicksSelectAndShowPictures) {
    Window w(folder.path());
    ASSERT_EQ(w.app().Sheet().cellCount(), 8);
    EXPECT_EQ(selected(w), std::vector<std::string>{"pic0.bmp"}); // the build ends on the first

    QTest::mouseClick(w.sheet(), Qt::LeftButton, {}, w.imageCentre(2));
    QTest::keyPress(w.sheet(), Qt::Key_Shift);
    QTest::mouseClick(w.sheet(), Qt::LeftButton, Qt::ShiftModifier, w.imageCentre(5));
    QTest::keyRelease(w.sheet(), Qt::Key_Shift);
    QTest::keyPress(w.sheet(), Qt::Key_Shift);
    QTest::mouseClick(w.sheet(), Qt::LeftButton, Qt::ShiftModifier, w.imageCentre(7));
    QTest::keyRelease(w.sheet(), Qt::Key_Shift);
    const std::vector<std::string> three{"pic2.bmp", "pic5.bmp", "pic7.bmp"};
    EXPECT_EQ(selected(w), three);
    EXPECT_TRUE(w.panel("status").isEmpty() || !w.panel("status").startsWith("Error"));
    EXPECT_EQ(w.app().Current().PixelSizeText(), "110 x 30 Pixel"); // pic7 is shown
    EXPECT_TRUE(w->findChild<QWidget*>("picMain")->isVisible());

    // Shift-click on a selected picture takes it out but still shows it.
    QTest::keyPress(w.sheet(), Qt::Key_Shift);
    QTest::mouseClick(w.sheet(), Qt::LeftButton, Qt::ShiftModifier, w.imageCentre(5));
    QTest::keyRelease(w.sheet(), Qt::Key_Shift);
    EXPECT_EQ(selected(w), (std::vector<std::string>{"pic2.bmp", "pic7.bmp"}));
    EXPECT_EQ(w.app().Current().PixelSizeText(), "90 x 30 Pixel");

    QTest::mouseClick(w.sheet(), Qt::LeftButton, {}, w.imageCentre(3));
    EXPECT_EQ(selected(w), std::vector<std::string>{"pic3.bmp"});
}

TEST_F(ThumbnailGridTest, RenameInPlaceRefusesAnExistingNameAndKeepsBothFiles) {
    Window w(folder.path());
    const QByteArray before1 = [&] {
        QFile f(folder.filePath("pic1.bmp"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    QTest::mouseDClick(w.sheet(), Qt::LeftButton, {}, w.captionCentre(1));
    auto* editor = w.sheet()->renameEditor();
    ASSERT_TRUE(w.sheet()->renameEditorOpen());
    EXPECT_EQ(editor->text(), "pic1.bmp");
    editor->setText("pic2.bmp");
    w.app().Rename().LostFocus(editor->text().toStdString());
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0], "pic2.bmp has already been used.");
    QFile kept(folder.filePath("pic1.bmp"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), before1);
    EXPECT_TRUE(QFile::exists(folder.filePath("pic2.bmp")));

    QTest::mouseDClick(w.sheet(), Qt::LeftButton, {}, w.captionCentre(1));
    w.app().Rename().LostFocus("renamed.bmp");
    EXPECT_TRUE(QFile::exists(folder.filePath("renamed.bmp")));
    EXPECT_FALSE(QFile::exists(folder.filePath("pic1.bmp")));
    EXPECT_EQ(w.panel("images"), "Images: 8"); // the folder was read again
}

TEST_F(ThumbnailGridTest, PrintWithNothingSelectedSaysSo) {
    QTemporaryDir empty;
    Window w(empty.path());
    EXPECT_EQ(w.panel("status"), "No file selected");
    w->action("mnuPrint")->trigger();
    EXPECT_EQ(w.panel("status"), "No images selected");
}

// Third-party pictures: every file gets a cell, readable ones a thumbnail, the rest a broken
// mark, and the build always finishes.
TEST(CorpusBuild, EveryFolderBuildsToTheEnd) {
    const fs::path root = VISTREL_CORPORA_DIR;
    if (!fs::exists(root)) GTEST_SKIP() << "no corpora at " << root;
    struct Case {
        const char* folder;
        bool allReadable;
    };
    for (const Case c : {Case{"bmpsuite/g", true}, Case{"bmpsuite/q", false},
                         Case{"gif-pygif", false}, Case{"jpeg-testimages", false},
                         Case{"ico-image-rs/ico/images", false}}) {
        const fs::path folder = root / c.folder;
        if (!fs::exists(folder)) continue;
        Window w(QString::fromStdString(folder.string()));
        auto& app = w.app();
        const int files = static_cast<int>(app.Browser().files().size());
        int broken = 0;
        for (int i = 0; i < app.Sheet().cellCount(); ++i) {
            const auto& cell = app.Sheet().cell(i);
            EXPECT_TRUE(cell.broken || !cell.thumbnail.isNull()) << cell.name;
            broken += cell.broken;
        }
        EXPECT_EQ(app.Sheet().cellCount(), std::max(files, 1)) << c.folder;
        EXPECT_EQ(app.Current().ImageCount, files) << c.folder;
        EXPECT_EQ(app.Model().status.progress, 0) << c.folder;
        if (c.allReadable) EXPECT_EQ(broken, 0) << c.folder;
        // A failure is not lost behind the build time (the final load may report its own).
        if (broken > 0)
            EXPECT_NE(w.panel("status").toStdString(), app.Builder().buildTimeText()) << c.folder;
        std::cout << c.folder << ": " << files << " files, " << files - broken
                  << " thumbnails, " << broken << " broken\n";
    }
}
