// A look at the raw bytes of the settings file before the INI reader gets
// them. That reader accepts nearly anything (random bytes come back as odd
// keys, a line without "=" is skipped, a value cut inside its quotes is read
// as if closed), so damage and files that are not settings are caught here.
// A file cut exactly at a line end, or inside an unquoted plain value, cannot
// be told from a whole one; its remaining values are kept.
#pragma once

#include <string_view>

namespace ql {

enum class SettingsFileVerdict {
  Ok,
  Empty,    // no bytes at all; the store itself never leaves an empty file
  NotText,  // NUL bytes or bytes that are not UTF-8
  Damaged,  // a line the store never writes: cut-off section, key or value
};

SettingsFileVerdict CheckSettingsText(std::string_view bytes);

}  // namespace ql
