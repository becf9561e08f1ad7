#include "platform/SettingsFileCheck.h"

#include <string>

namespace ql {

namespace {

enum class Utf8 { Valid, Invalid, CutShort };

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
// CutShort is a sequence that would be valid but the text ends inside it.
Utf8 CheckUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return Utf8::Invalid;
    }
    for (std::size_t k = 1; k < len; ++k) {
      if (i + k >= s.size()) return Utf8::CutShort;
      const unsigned char d = static_cast<unsigned char>(s[i + k]);
      const unsigned char min = k == 1 ? lo : 0x80, max = k == 1 ? hi : 0xBF;
      if (d < min || d > max) return Utf8::Invalid;
    }
    i += len;
  }
  return Utf8::Valid;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool EndsInContinuation(std::string_view line) {
  std::size_t n = 0;
  while (n < line.size() && line[line.size() - 1 - n] == '\\') ++n;
  return n % 2 == 1;
}

// Quotes not preceded by an escaping backslash must pair up.
bool QuotesBalanced(std::string_view value) {
  bool open = false;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\') {
      ++i;
    } else if (value[i] == '"') {
      open = !open;
    }
  }
  return !open;
}

// "@Type(...)" values (byte arrays, strings with NULs) end in ")"; "@@" is a
// plain string that starts with "@".
bool SpecialValueWhole(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  if (value.empty() || value.front() != '@' || value.substr(0, 2) == "@@") return true;
  return value.back() == ')';
}

bool LineOk(std::string_view raw) {
  const std::string_view line = Trim(raw);
  if (line.empty() || line.front() == ';' || line.front() == '#') return true;
  if (line.front() == '[') return line.size() >= 2 && line.back() == ']';
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  const std::string_view value = Trim(line.substr(eq + 1));
  return QuotesBalanced(value) && SpecialValueWhole(value);
}

}  // namespace

SettingsFileVerdict CheckSettingsText(std::string_view bytes) {
  if (bytes.empty()) return SettingsFileVerdict::Empty;
  if (bytes.find('\0') != std::string_view::npos) return SettingsFileVerdict::NotText;
  switch (CheckUtf8(bytes)) {
    case Utf8::Invalid: return SettingsFileVerdict::NotText;
    case Utf8::CutShort: return SettingsFileVerdict::Damaged;
    case Utf8::Valid: break;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);

  std::string logical;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    if (EndsInContinuation(line)) {
      logical.append(line.substr(0, line.size() - 1));
      if (start < bytes.size()) continue;
      return SettingsFileVerdict::Damaged;  // the text ends inside a continued line
    }
    logical.append(line);
    if (!LineOk(logical)) return SettingsFileVerdict::Damaged;
    logical.clear();
  }
  return SettingsFileVerdict::Ok;
}

}  // namespace ql
