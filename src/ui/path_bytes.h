#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace quillet {

// Paths live in the core as the file system's bytes; the windows show them as text.
inline std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString PathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace quillet
