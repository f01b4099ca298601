#pragma once

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "fakes/platformfakes.h"
#include "qt/platform/qtplatform.h"
#include "qt/windows/mainwindow.h"

namespace vistrel::test {

inline void SavePicture(const QString& path, QSize size, QColor colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    ASSERT_TRUE(picture.save(path)) << path.toStdString();
}

// The real main window, its settings file under a temporary config folder and its message
// boxes answered by a script. Opening again starts a new window on the same settings.
struct TestWindow {
    QTemporaryDir config;
    ScriptedDialogs dialogs;
    std::unique_ptr<qt::QtPlatform> platform;
    std::unique_ptr<qt::MainWindow> window;

    TestWindow() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path()); }
    qt::MainWindow& open(const QString& program, const QString& initial = {}) {
        window.reset();
        platform.reset(); // the next one reads the settings file afresh
        platform = std::make_unique<qt::QtPlatform>();
        window = std::make_unique<qt::MainWindow>(
            *platform, program.toStdString(),
            (initial.isEmpty() ? program : initial).toStdString(), &dialogs);
        window->start();
        return *window;
    }
    qt::MainWindow* operator->() { return window.get(); }
    qt::QtSettingsBackend& settings() { return platform->settings; }
    core::Application& app() { return window->app(); }
    template <typename T = QWidget> T* child(const char* name) {
        return window->findChild<T*>(name);
    }
    QString panel(const char* key) { return child<QLabel>(key)->text(); }
};

} // namespace vistrel::test
