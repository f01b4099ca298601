#include "qt/platform/qtshell.h"

#include <QDesktopServices>
#include <QUrl>

namespace vistrel::qt {

void QtShell::Open(const std::string& pathOrAddress) {
    const QString text = QString::fromStdString(pathOrAddress);
    const QUrl url = text.contains("://") ? QUrl(text) : QUrl::fromLocalFile(text);
    QDesktopServices::openUrl(url);
}

} // namespace vistrel::qt
