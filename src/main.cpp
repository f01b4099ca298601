#include <QApplication>
#include <QDir>

#include "qt/platform/qtsettingsbackend.h"
#include "qt/platform/qtvolumesource.h"
#include "qt/windows/mainwindow.h"

int main(int argc, char** argv) {
    Q_INIT_RESOURCE(vistrel);
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Vistrel");
    QApplication::setApplicationName("Vistrel");

    vistrel::qt::QtSettingsBackend settings;
    vistrel::qt::QtVolumeSource volumes;
    vistrel::qt::MainWindow window(settings, volumes,
                                   QDir::toNativeSeparators(QApplication::applicationDirPath())
                                       .toStdString(),
                                   QDir::toNativeSeparators(QDir::currentPath()).toStdString());
    window.start();
    return application.exec();
}
