#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>

#include "core/app/apptitle.h"
#include "core/app/programfolder.h"
#include "qt/platform/qtplatform.h"
#include "qt/windows/mainwindow.h"

namespace {

// Reads the command line; --help, --version and mistakes print and end the program here.
// The path comes back absolute, relative to where the program was started.
std::string ReadCommandLine(const QCoreApplication& application) {
    QCommandLineParser parser;
    parser.setApplicationDescription("View, sort, touch up and print the pictures of a folder.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("path", "A folder to open, or a picture to show in its folder.",
                                 "[path]");
    parser.process(application);
    if (parser.positionalArguments().isEmpty()) return {};
    return QFile::encodeName(
               QDir::cleanPath(QDir::current().absoluteFilePath(parser.positionalArguments().first())))
        .toStdString();
}

void Name(QCoreApplication& application) {
    application.setOrganizationName("Vistrel");
    application.setApplicationName("Vistrel");
    application.setApplicationVersion(vistrel::core::AppVersion);
}

} // namespace

int main(int argc, char** argv) {
    std::string startPath;
    {
        // Without a display: --help and --version work on a console too.
        QCoreApplication console(argc, argv);
        Name(console);
        startPath = ReadCommandLine(console);
    }
    Q_INIT_RESOURCE(vistrel);
    QApplication application(argc, argv);
    Name(application);

    vistrel::qt::QtPlatform platform;
    vistrel::qt::MainWindow window(
        platform,
        vistrel::core::ProgramFolder(
            QFile::encodeName(QDir::toNativeSeparators(QApplication::applicationDirPath()))
                .toStdString()),
        QDir::toNativeSeparators(QDir::currentPath()).toStdString());
    window.start(startPath);
    return application.exec();
}
