#pragma once

#include <QColor>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "fakes/platformfakes.h"
#include "qt/platform/qtplatform.h"
#include "qt/platform/twips.h"
#include "qt/windows/mainwindow.h"

namespace vistrel::test {

inline void SavePicture(const QString& path, QSize size, QColor colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    ASSERT_TRUE(picture.save(path)) << path.toStdString();
}

// The file's bytes; empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The real main window, its settings file under a temporary config folder, its message
// boxes answered by a script and what it opens with the desktop recorded. Opening again starts a new window on the same settings.
struct TestWindow {
    QTemporaryDir config;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    std::unique_ptr<qt::QtPlatform> platform;
    std::unique_ptr<qt::MainWindow> window;

    TestWindow() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path()); }
    qt::MainWindow& open(const QString& program, const QString& initial = {},
                         const QString& startPath = {},
                         std::optional<std::int64_t> decodeLimit = std::nullopt) {
        window.reset();
        platform.reset(); // the next one reads the settings file afresh
        platform = decodeLimit ? std::make_unique<qt::QtPlatform>(
                                     qt::QtPictureLoader(*decodeLimit, nullptr))
                               : std::make_unique<qt::QtPlatform>();
        window = std::make_unique<qt::MainWindow>(
            *platform, program.toStdString(),
            (initial.isEmpty() ? program : initial).toStdString(), &dialogs, &shell);
        window->start(QFile::encodeName(startPath).toStdString());
        return *window;
    }
    qt::MainWindow* operator->() { return window.get(); }
    qt::QtSettingsBackend& settings() { return platform->settings; }
    core::Application& app() { return window->app(); }
    template <typename T = QWidget> T* child(const char* name) {
        return window->findChild<T*>(name);
    }
    QString panel(const char* key) { return child<QLabel>(key)->text(); }
    // The centre of thumbnail cell i's picture or caption, in the sheet widget's pixels.
    QPoint cellCentre(int i, bool caption = false) {
        const auto& c = app().Sheet().cell(i);
        const core::Box& part = caption ? c.caption : c.image;
        const double tpp = qt::TwipsPerPixel(window.get());
        return QPoint(qt::ToPixels(c.cell.left + part.left + part.width / 2, tpp),
                      qt::ToPixels(c.cell.top + part.top + part.height / 2, tpp));
    }
};

} // namespace vistrel::test
