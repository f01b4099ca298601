#pragma once

#include <string>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vistrel::qt {

// File-system names are bytes that need not be valid UTF-8: they travel as bytes and turn
// into text for display only.
inline QByteArray PathBytes(const std::string& path) { return QByteArray::fromStdString(path); }
inline QString PathText(const std::string& path) { return QFile::decodeName(PathBytes(path)); }

} // namespace vistrel::qt
