#include <QApplication>
#include <QDir>

#include "qt/platform/qtplatform.h"
#include "qt/windows/mainwindow.h"

int main(int argc, char** argv) {
    Q_INIT_RESOURCE(vistrel);
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Vistrel");
    QApplication::setApplicationName("Vistrel");

    vistrel::qt::QtPlatform platform;
    vistrel::qt::MainWindow window(
        platform, QDir::toNativeSeparators(QApplication::applicationDirPath()).toStdString(),
        QDir::toNativeSeparators(QDir::currentPath()).toStdString());
    window.start();
    return application.exec();
}
