#include "qt/platform/qtfilewriter.h"

#include <QSaveFile>

#include "qt/platform/pathtext.h"

namespace vistrel::qt {

std::optional<std::string> QtFileWriter::WriteWhole(const std::string& path,
                                                    const std::vector<std::uint8_t>& bytes) {
    QSaveFile file(PathText(path));
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        const std::string failure = file.errorString().toStdString();
        file.cancelWriting();
        return failure;
    }
    if (!file.commit()) return file.errorString().toStdString();
    return std::nullopt;
}

} // namespace vistrel::qt
