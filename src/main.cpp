#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>

#include "core/app/apptitle.h"
#include "core/app/programfolder.h"
#include "qt/platform/heaplimit.h"
#include "qt/platform/qtplatform.h"
#include "qt/windows/mainwindow.h"

namespace {

void Describe(QCommandLineParser& parser) {
    parser.setApplicationDescription("View, sort, touch up and print the pictures of a folder.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("path", "A folder to open, or a picture to show in its folder.",
                                 "[path]");
}

// --help and --version print and end the program before any display is needed, so they work
// on a console too. Everything else waits for QApplication, which takes out Qt's own options
// (-platform, -style, ...) first.
void AnswerTextOnlyOptions(const QCoreApplication& console) {
    QCommandLineParser parser;
    Describe(parser);
    parser.parse(console.arguments());
    if (parser.isSet("version")) parser.showVersion();
    if (parser.isSet("help")) parser.showHelp();
}

// Mistakes print and end the program here. The path comes back absolute, relative to where
// the program was started.
std::string ReadCommandLine(const QCoreApplication& application) {
    QCommandLineParser parser;
    Describe(parser);
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
    vistrel::qt::UseOneHeap();
    {
        QCoreApplication console(argc, argv);
        Name(console);
        AnswerTextOnlyOptions(console);
    }
    Q_INIT_RESOURCE(vistrel);
    QApplication application(argc, argv);
    Name(application);
    const std::string startPath = ReadCommandLine(application);

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
