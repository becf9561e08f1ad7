// Our 8-bit Windows-1252 strings to and from Qt's Unicode strings, through
// our own table so that every byte value survives the trip.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace ql {

QString ToQString(std::string_view text);
// Characters Windows-1252 has no byte for become '?'.
std::string FromQString(const QString& text);

// Messages, captions and status texts are UTF-8; file paths and program
// arguments are the file system's bytes.
QString Utf8ToQ(const std::string& text);
std::string QToUtf8(const QString& text);
QString PathToQ(const std::string& path);
std::string QToPath(const QString& path);

}  // namespace ql
