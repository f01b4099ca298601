#include "qt/platform/qttrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include "qt/platform/pathtext.h"

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace vistrel::qt {

bool QtTrash::HasTrash(const std::string& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // The home trash takes what lies on the home volume; elsewhere a volume needs a trash
    // folder at its top, or room to make one, since nothing is copied across volumes.
    const QString file = PathText(path);
    const QStorageInfo volume(QFileInfo(file).absolutePath());
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!volume.isValid()) return false;
    if (QStorageInfo(dataHome).rootPath() == volume.rootPath()) return true;
    const QDir top(volume.rootPath());
    if (volume.isReadOnly()) return false;
    return QFileInfo(top.filePath(".Trash")).isDir() ||
           QFileInfo(top.filePath(QStringLiteral(".Trash-%1").arg(::getuid()))).isDir() ||
           QFileInfo(volume.rootPath()).isWritable();
#else
    Q_UNUSED(path);
    return true; // the system's own recycle bin or trash decides
#endif
}

std::optional<std::string> QtTrash::MoveToTrash(const std::string& path) {
    QFile file(PathText(path));
    if (file.moveToTrash()) return std::nullopt;
    const QString reason = file.errorString();
    return path + ": " +
           (reason.isEmpty() ? std::string("cannot be moved to the trash") : reason.toStdString());
}

} // namespace vistrel::qt
