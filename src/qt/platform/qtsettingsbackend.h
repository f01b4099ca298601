#pragma once

#include <QSettings>

#include "core/platform/settingsbackend.h"

namespace vistrel::qt {

// The per-user INI file (organisation and application "Vistrel", group "Settings").
// INI keys are case-sensitive, so lookups fold case here.
class QtSettingsBackend : public core::SettingsBackend {
public:
    QtSettingsBackend();
    std::string read(const std::string& key) const override;
    void write(const std::string& key, const std::string& value) override;
    std::optional<std::string> writeProblem() const override;

    QString fileName() const { return m_settings.fileName(); }
    // Whether the file could be read and written; a damaged or read-only file is not fatal.
    QSettings::Status status() const { return m_settings.status(); }

private:
    QString storedKey(const QString& key) const;
    mutable QSettings m_settings;
};

} // namespace vistrel::qt
