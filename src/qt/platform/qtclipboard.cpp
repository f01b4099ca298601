#include "qt/platform/qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "qt/platform/imageconvert.h"

namespace vistrel::qt {

std::optional<core::Image> QtClipboard::Picture() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage()) return std::nullopt;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull()) return std::nullopt;
    return toCoreImage(image);
}

void QtClipboard::SetPicture(const core::Image& picture) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(toQImage(picture));
}

} // namespace vistrel::qt
