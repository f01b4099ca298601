#include "qt/platform/qtsettingsbackend.h"

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
