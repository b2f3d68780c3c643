#include "platform/qt/QtTexto.h"

#include <QFile>

#include "platform/CodePage.h"

namespace platform {

// Windows-1252 bytes to a QString.
QString toQString(std::string_view cp1252) {
  std::string utf8 = cp1252ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A QString to Windows-1252 bytes; characters outside 1252 become "?".
std::string fromQString(const QString& s) {
  QByteArray utf8 = s.toUtf8();
  return utf8ToCp1252(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

// A message text for a box: CR LF and lone CR become line breaks.
QString toQStringLinhas(std::string_view cp1252) {
  QString s = toQString(cp1252);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

// A file system path (its own bytes) to a QString.
QString pathToQString(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

// A QString path back to the file system's bytes.
std::string pathFromQString(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace platform
