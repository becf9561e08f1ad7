// A look at the raw bytes of the settings file before the INI reader gets
// them. That reader accepts nearly anything (random bytes come back as odd
// keys, a line without "=" is skipped, a value cut inside its quotes is read
// as if closed), so odd lines are found here and left out, and a file that
// is not settings at all is told apart from one with a few bad lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ql {

enum class SettingsFileVerdict {
  Ok,       // usable; oddLines may still be > 0
  Empty,    // no bytes at all; the store itself never leaves an empty file
  NotText,  // NUL bytes, or not one line that reads as INI
  NotOurs,  // reads as INI, but holds nothing of this program's
};

struct SettingsFileScan {
  SettingsFileVerdict verdict = SettingsFileVerdict::Ok;
  // Lines left out: not UTF-8, no "=", cut off inside quotes or a byte
  // array, a damaged section line and the lines under it, and another
  // program's sections and top-level values.
  std::size_t oddLines = 0;
  std::string kept;  // the file without them (when oddLines > 0)
};

SettingsFileScan ScanSettingsText(std::string_view bytes);

}  // namespace ql
