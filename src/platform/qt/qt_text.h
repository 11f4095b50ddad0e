// The program's Windows-1252 byte strings as Qt strings and back.
#pragma once

#include <QString>

#include <string>

namespace platform::qt {

QString toQString(const char* bytes);
QString toQString(const std::string& bytes);
std::string fromQString(const QString& text);

} // namespace platform::qt
