#include "platform/qt/QtText.h"

#include <QFile>

#include "common/Codepage.h"

namespace ql {

QString ToQString(std::string_view text) {
  const std::u16string u = DecodeToUtf16(Codepage::Cp1252, text);
  return QString(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
}

std::string FromQString(const QString& text) {
  return EncodeFromUtf16(Codepage::Cp1252,
                         std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

QString Utf8ToQ(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string QToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

QString PathToQ(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string QToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace ql
