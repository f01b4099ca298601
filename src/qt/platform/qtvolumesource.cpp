#include "qt/platform/qtvolumesource.h"

#include <QDir>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace vistrel::qt {

namespace {

bool IsPseudo(const QStorageInfo& info) {
    static const QSet<QByteArray> pseudoTypes{
        "proc",   "sysfs",   "devtmpfs",    "devpts",   "cgroup",     "cgroup2", "securityfs",
        "pstore", "debugfs", "tracefs",     "configfs", "fusectl",    "mqueue",  "hugetlbfs",
        "bpf",    "autofs",  "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",    "ramfs"};
    if (pseudoTypes.contains(info.fileSystemType())) return true;
    // Memory file systems under the system folders hold run-time state, not pictures.
    const QString root = info.rootPath();
    const auto under = [&](const QString& folder) {
        return root == folder || root.startsWith(folder + QLatin1Char('/'));
    };
    if (under(QStringLiteral("/snap"))) return true; // read-only package images
    return info.fileSystemType() == "tmpfs" &&
           (under(QStringLiteral("/run")) || under(QStringLiteral("/dev")) ||
            under(QStringLiteral("/sys")));
}

} // namespace

std::vector<core::Volume> QtVolumeSource::volumes() const {
    std::vector<core::Volume> result;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        if (IsPseudo(info)) continue;
        core::Volume volume;
        volume.rootPath = QDir::toNativeSeparators(info.rootPath()).toStdString();
        volume.displayName = volume.rootPath;
        if (!info.name().isEmpty()) volume.displayName += " [" + info.name().toStdString() + "]";
        volume.ready = info.isValid() && info.isReady();
        result.push_back(std::move(volume));
    }
    std::sort(result.begin(), result.end(),
              [](const core::Volume& a, const core::Volume& b) { return a.rootPath < b.rootPath; });
    // A folder mounted over twice is one drive.
    result.erase(std::unique(result.begin(), result.end(),
                             [](const core::Volume& a, const core::Volume& b) {
                                 return a.rootPath == b.rootPath;
                             }),
                 result.end());
    return result;
}

} // namespace vistrel::qt
