// Print benchmark: prints N selected photos (3000 x 2000 JPEGs) to a PDF file through the
// real main window (offscreen) and reports the time, the pages and the memory the print took
// beyond what the window held before. Printing reads one picture at a time, so the peak
// should stay near one decoded picture (24 MB here) however many are printed.
//
//   print_bench [--files N]

#if __has_include(<QApplication>)

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <string>

#include "bench/quietdialogs.h"
#include "bench/selectall.h"
#include "qt/platform/qtplatform.h"
#include "qt/windows/mainwindow.h"

using namespace vistrel;

namespace {

// VmHWM or VmRSS from /proc/self/status, in MB.
double StatusMb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(std::strlen(key) + 1)) / 1024;
    return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

} // namespace

int main(int argc, char** argv) {
    int count = 24;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--files") == 0) count = std::max(1, std::atoi(argv[i + 1]));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config, pictures, out;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    QApplication application(argc, argv);

    for (int i = 0; i < count; ++i) {
        QImage photo(3000, 2000, QImage::Format_RGB32);
        QPainter painter(&photo);
        QLinearGradient sky(0, 0, 3000, 2000);
        sky.setColorAt(0, QColor::fromHsv((i * 37) % 360, 120, 230));
        sky.setColorAt(1, QColor::fromHsv((i * 37 + 120) % 360, 200, 90));
        painter.fillRect(photo.rect(), sky);
        painter.setBrush(Qt::white);
        painter.drawEllipse(300 + i * 50, 400, 900, 900);
        painter.end();
        photo.save(pictures.filePath(QString("photo%1.jpg").arg(i, 3, 10, QChar('0'))), "JPG", 90);
    }

    qt::QtPlatform platform;
    bench::QuietDialogs dialogs;
    const QString pdf = out.filePath("photos.pdf");
    dialogs.saveName = QFile::encodeName(pdf).toStdString();
    qt::MainWindow window(platform, pictures.path().toStdString(), pictures.path().toStdString(),
                          &dialogs);
    window.start();
    core::Application& app = window.app();
    bench::SelectEveryPicture(app);
    app.Run(core::Command::Print);
    const auto& items = app.PrintState().PrinterItems();
    app.PrintChoose("cmbPrinters", static_cast<int>(items.size()) - 1); // the PDF entry

    // Memory the window freed goes back first, so the peak shows what the print itself takes.
    malloc_trim(0);
    const double before = StatusMb("VmRSS:");
    ResetPeak();
    const auto start = std::chrono::steady_clock::now();
    app.PrintClick("cmdPrint");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double peak = StatusMb("VmHWM:");

    QFile file(pdf);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const auto pages = QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page\\b"));
    std::printf("printed %zu of %d photos 3000x2000 to PDF: %lld pages, %.1f MB\n",
                app.SelectedFiles().names().size(), count, static_cast<long long>(pages),
                bytes.size() / 1048576.0);
    std::printf("print: %.2f s, %.0f ms per photo\n", seconds, seconds * 1000 / count);
    std::printf("memory: %.0f MB before, peak %.0f MB during the print (+%.0f MB; one decoded "
                "photo is 23 MB)\n",
                before, peak, peak - before);
    return pages > 0 ? 0 : 1;
}

#else
#include <cstdio>
int main() {
    std::puts("print_bench needs the Qt build");
    return 0;
}
#endif
