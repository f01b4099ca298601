// Delete benchmark: deletes 1,000 selected pictures through the real main window (offscreen),
// answering Yes to the "all" question, with the desktop's trash under a temporary folder.
// Reports the time of the command and how many times the grid was rebuilt.
//
//   delete_bench [--files N]

#if __has_include(<QApplication>)

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/quietdialogs.h"
#include "bench/selectall.h"
#include "qt/platform/qtplatform.h"
#include "qt/windows/mainwindow.h"

using namespace vistrel;

int main(int argc, char** argv) {
    int count = 1000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--files") == 0) count = std::max(1, std::atoi(argv[i + 1]));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config, data, pictures;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    QApplication application(argc, argv);

    QImage small(16, 12, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    for (int i = 0; i < count; ++i)
        small.save(pictures.filePath(QString("pic%1.bmp").arg(i, 5, 10, QChar('0'))));

    qt::QtPlatform platform;
    bench::QuietDialogs dialogs;
    dialogs.answer = core::DialogAnswer::Yes;
    qt::MainWindow window(platform, pictures.path().toStdString(), pictures.path().toStdString(),
                          &dialogs);
    window.start();
    core::Application& app = window.app();
    const int cells = app.Sheet().cellCount();
    bench::SelectEveryPicture(app);
    const auto selected = app.SelectedFiles().names().size();
    const auto generation = app.Sheet().generation();

    const auto start = std::chrono::steady_clock::now();
    app.Run(core::Command::Delete);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const auto left = QDir(pictures.path()).entryList(QDir::Files).size();
    std::printf("selected %zu of %d, deleted %lld, in the trash %lld\n", selected, cells,
                static_cast<long long>(count - left),
                static_cast<long long>(
                    QDir(data.filePath("Trash/files")).entryList(QDir::Files).size()));
    // Each rebuild clears the sheet and starts it again: two generations.
    std::printf("delete: %.3f s (goal under 2 s), grid rebuilt %llu time(s)\n", seconds,
                static_cast<unsigned long long>(app.Sheet().generation() - generation) / 2);
    return left == 0 && seconds < 2 ? 0 : 1;
}

#else
#include <cstdio>
int main() {
    std::puts("delete_bench needs the Qt build");
    return 0;
}
#endif
