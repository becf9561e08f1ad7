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

bool ValueOk(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  const std::string_view value = Trim(line.substr(eq + 1));
  return QuotesBalanced(value) && SpecialValueWhole(value);
}

enum class Section { TopLevel, Ours, Foreign, Unknown };

// The first part of a group path ("Software/Norvane%20Productions/...")
// decides whose it is.
bool OurRoot(std::string_view path) {
  const std::size_t end = path.find_first_of("/\\");
  const std::string_view first = Trim(path.substr(0, end));
  return first == "Software" || first == "Control%20Panel" || first == "Control Panel";
}

bool IsGeneral(std::string_view name) {
  if (name.size() != 7) return false;
  const char* general = "general";
  for (std::size_t i = 0; i < 7; ++i)
    if ((name[i] | 0x20) != general[i]) return false;
  return true;
}

}  // namespace

SettingsFileScan ScanSettingsText(std::string_view bytes) {
  SettingsFileScan scan;
  if (bytes.empty()) {
    scan.verdict = SettingsFileVerdict::Empty;
    return scan;
  }
  if (bytes.find('\0') != std::string_view::npos) {
    scan.verdict = SettingsFileVerdict::NotText;
    return scan;
  }
  std::size_t start = 0;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    scan.kept.append(bytes.substr(0, 3));
    start = 3;
  }

  Section section = Section::TopLevel;
  std::size_t ours = 0, foreign = 0;
  std::string logical;
  std::size_t logicalStart = start, physicalLines = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = next;
    ++physicalLines;
    if (EndsInContinuation(line)) {
      logical.append(line.substr(0, line.size() - 1));
      if (start < bytes.size()) continue;
      scan.oddLines += physicalLines;  // the text ends inside a continued line
      break;
    }
    logical.append(line);
    const std::string_view raw = bytes.substr(logicalStart, start - logicalStart);
    const std::string_view text = Trim(logical);

    bool keep;
    if (CheckUtf8(logical) != Utf8::Valid) {
      if (!text.empty() && text.front() == '[') section = Section::Unknown;
      keep = false;
    } else if (text.empty() || text.front() == ';' || text.front() == '#') {
      keep = true;
    } else if (text.front() == '[') {
      if (text.size() < 2 || text.back() != ']') {
        section = Section::Unknown;  // its values would land in the wrong place
        keep = false;
      } else {
        const std::string_view name = text.substr(1, text.size() - 2);
        section = IsGeneral(name) ? Section::TopLevel : OurRoot(name) ? Section::Ours : Section::Foreign;
        keep = section != Section::Foreign;
        if (section == Section::Ours) ++ours;
        if (section == Section::Foreign) ++foreign;
      }
    } else if (!ValueOk(text)) {
      keep = false;
    } else {
      const std::string_view key = Trim(text.substr(0, text.find('=')));
      switch (section) {
        case Section::Ours: keep = true; break;
        case Section::TopLevel: keep = key == "Format" || OurRoot(key); break;
        case Section::Foreign: keep = false; break;
        case Section::Unknown: keep = false; break;
      }
      if (keep) ++ours;
      else if (section != Section::Unknown) ++foreign;
    }
    if (keep) {
      scan.kept.append(raw);
    } else {
      scan.oddLines += physicalLines;
    }
    logical.clear();
    logicalStart = start;
    physicalLines = 0;
  }

  if (ours == 0 && scan.oddLines > 0)
    scan.verdict = foreign > 0 ? SettingsFileVerdict::NotOurs : SettingsFileVerdict::NotText;
  else if (ours == 0 && foreign > 0)
    scan.verdict = SettingsFileVerdict::NotOurs;
  if (scan.oddLines == 0 || scan.verdict != SettingsFileVerdict::Ok) scan.kept.clear();
  return scan;
}

}  // namespace ql
