#include "qt/platform/qtsettingsbackend.h"

#include <QDir>
#include <QFileInfo>

namespace vistrel::qt {

namespace {
const QString Group = QStringLiteral("Settings");
}

QtSettingsBackend::QtSettingsBackend()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Vistrel"),
                 QStringLiteral("Vistrel")) {}

QString QtSettingsBackend::storedKey(const QString& key) const {
    m_settings.beginGroup(Group);
    const QStringList keys = m_settings.childKeys();
    m_settings.endGroup();
    for (const QString& k : keys)
        if (k.compare(key, Qt::CaseInsensitive) == 0) return k;
    return {};
}

std::optional<std::string> QtSettingsBackend::writeProblem() const {
    m_settings.sync();
    const QString file = m_settings.fileName();
    const QFileInfo info(file);
    // QSettings creates a missing folder on its first write; only an unwritable one counts.
    QDir folder = info.absoluteDir();
    while (!folder.exists() && folder.cdUp()) {
    }
    const auto say = [](const QString& text) { return text.toStdString(); };
    if (info.exists() && !info.isWritable())
        return say(QDir::toNativeSeparators(file) + " is read-only");
    if (!info.exists() && !QFileInfo(folder.absolutePath()).isWritable())
        return say("the folder " + QDir::toNativeSeparators(folder.absolutePath()) +
                   " cannot be written");
    if (m_settings.status() == QSettings::AccessError)
        return say(QDir::toNativeSeparators(file) + " cannot be written");
    return std::nullopt;
}

std::string QtSettingsBackend::read(const std::string& key) const {
    const QString stored = storedKey(QString::fromStdString(key));
    if (stored.isEmpty()) return {};
    const QVariant v = m_settings.value(Group + '/' + stored);
    // A hand-edited file may hold a list ("a, b"); take it as the text it was.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(", ").toStdString();
    return v.toString().toStdString();
}

void QtSettingsBackend::write(const std::string& key, const std::string& value) {
    const QString k = QString::fromStdString(key);
    const QString stored = storedKey(k);
    if (!stored.isEmpty() && stored != k) m_settings.remove(Group + '/' + stored);
    m_settings.setValue(Group + '/' + k, QString::fromStdString(value));
    m_settings.sync();
}

} // namespace vistrel::qt
