#include "qt/platform/qtfilewriter.h"

#include <QSaveFile>

#include "qt/platform/pathtext.h"

namespace vistrel::qt {

std::optional<std::string> QtFileWriter::WriteWhole(const std::string& path,
                                                    const std::vector<std::uint8_t>& bytes) {
    // Unbuffered, so a short write shows here: a buffered QSaveFile flushes only in commit(),
    // which ignores a failed flush and renames the truncated file over the target.
    QSaveFile file(PathText(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString().toStdString();
    const char* data = reinterpret_cast<const char*>(bytes.data());
    const auto size = static_cast<qint64>(bytes.size());
    // A full disk takes part of a write; only the write after it fails and says why.
    for (qint64 written = 0; written < size;) {
        const qint64 step = file.write(data + written, size - written);
        if (step <= 0) {
            const std::string failure = file.errorString().toStdString();
            file.cancelWriting();
            return failure;
        }
        written += step;
    }
    if (!file.commit()) return file.errorString().toStdString();
    return std::nullopt;
}

} // namespace vistrel::qt
