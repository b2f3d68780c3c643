// The one bridge between the program's Windows-1252 texts and Qt's QString, used by every widget:
// characters 1252 cannot hold become "?" on the way in.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace platform {

// Windows-1252 bytes to a QString.
QString toQString(std::string_view cp1252);
// A QString to Windows-1252 bytes; characters outside 1252 become "?".
std::string fromQString(const QString& s);
// A message text for a box: CR LF and lone CR become line breaks.
QString toQStringLinhas(std::string_view cp1252);
// A file system path (its own bytes) to a QString and back.
QString pathToQString(const std::string& path);
std::string pathFromQString(const QString& path);

}  // namespace platform
