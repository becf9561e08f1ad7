#include "dialogs/MimeApps.h"

#include <algorithm>

namespace ql {

const char* const kDefaultApps = "Default Applications";
const char* const kAddedApps = "Added Associations";
const char* const kRemovedApps = "Removed Associations";

namespace {

struct Line {
  std::size_t begin = 0, end = 0;  // end: before the line break
  std::size_t next = 0;            // where the following line begins
};

std::vector<Line> SplitLines(const std::string& text) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t nl = text.find('\n', pos);
    Line l;
    l.begin = pos;
    l.next = nl == std::string::npos ? text.size() : nl + 1;
    l.end = nl == std::string::npos ? text.size() : nl;
    if (l.end > l.begin && text[l.end - 1] == '\r') --l.end;
    lines.push_back(l);
    pos = l.next;
  }
  return lines;
}

// A stray CR counts as a blank: only the one right before a line break is
// taken off with it, so "x\r " would otherwise read as a value ending in CR,
// which reads back differently once written at the end of a line.
std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string LineText(const std::string& text, const Line& l) { return text.substr(l.begin, l.end - l.begin); }

// "[Name]" -> Name; anything else -> nothing.
std::optional<std::string> SectionName(const std::string& line) {
  const std::string t = Trim(line);
  if (t.size() >= 2 && t.front() == '[' && t.back() == ']') return t.substr(1, t.size() - 2);
  return std::nullopt;
}

bool IsEntry(const std::string& line, const std::string& key, std::string* value) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] == '#' || t[0] == '[') return false;
  const auto eq = t.find('=');
  if (eq == std::string::npos || Trim(t.substr(0, eq)) != key) return false;
  if (value) *value = Trim(t.substr(eq + 1));
  return true;
}

std::string LineBreakOf(const std::string& text) {
  const auto nl = text.find('\n');
  return nl != std::string::npos && nl > 0 && text[nl - 1] == '\r' ? "\r\n" : "\n";
}

// The text with its last line ended. A lone CR at the very end is only
// completed: adding a whole break after it would put a CR into that line.
std::string EndLastLine(const std::string& text, const std::string& br) {
  if (text.empty() || text.back() == '\n') return text;
  return text + (text.back() == '\r' ? "\n" : br);
}

struct Found {
  bool sectionSeen = false;
  std::size_t entry = std::string::npos;       // index of the entry line
  std::size_t insertAfter = std::string::npos; // last entry (or header) of the first such section
};

Found Locate(const std::string& text, const std::vector<Line>& lines, const std::string& section,
             const std::string& mime, std::string* value) {
  Found f;
  bool inside = false, first = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string line = LineText(text, lines[i]);
    if (auto name = SectionName(line)) {
      inside = *name == section;
      first = inside && !f.sectionSeen;
      if (first) {
        f.sectionSeen = true;
        f.insertAfter = i;
      }
      continue;
    }
    if (!inside) continue;
    if (f.entry == std::string::npos && IsEntry(line, mime, value)) f.entry = i;
    const std::string t = Trim(line);
    if (first && !t.empty() && t[0] != '#') f.insertAfter = i;
  }
  return f;
}

}  // namespace

std::optional<std::string> FindMimeEntry(const std::string& text, const std::string& section,
                                         const std::string& mime) {
  std::string value;
  const Found f = Locate(text, SplitLines(text), section, mime, &value);
  if (f.entry == std::string::npos) return std::nullopt;
  return value;
}

std::string SetMimeEntry(const std::string& text, const std::string& section, const std::string& mime,
                         const std::string& value) {
  const std::vector<Line> lines = SplitLines(text);
  const Found f = Locate(text, lines, section, mime, nullptr);
  const std::string entry = mime + "=" + value;
  const std::string br = LineBreakOf(text);
  if (f.entry != std::string::npos) {
    const Line& l = lines[f.entry];
    return text.substr(0, l.begin) + entry + text.substr(l.end);
  }
  if (f.sectionSeen) {
    const Line& l = lines[f.insertAfter];
    if (l.next == text.size() && text.back() != '\n')  // the last line, without a break
      return EndLastLine(text, br) + entry + br;
    return text.substr(0, l.next) + entry + br + text.substr(l.next);
  }
  std::string out = EndLastLine(text, br);
  if (!out.empty()) out += br;
  return out + "[" + section + "]" + br + entry + br;
}

std::string RemoveMimeEntry(const std::string& text, const std::string& section, const std::string& mime) {
  const std::vector<Line> lines = SplitLines(text);
  const Found f = Locate(text, lines, section, mime, nullptr);
  if (f.entry == std::string::npos) return text;
  const Line& l = lines[f.entry];
  return text.substr(0, l.begin) + text.substr(l.next);
}

std::vector<std::string> SplitDesktopIds(const std::string& value) {
  std::vector<std::string> ids;
  std::size_t pos = 0;
  while (pos <= value.size()) {
    const auto semi = value.find(';', pos);
    const std::string id = Trim(value.substr(pos, semi == std::string::npos ? std::string::npos : semi - pos));
    if (!id.empty()) ids.push_back(id);
    if (semi == std::string::npos) break;
    pos = semi + 1;
  }
  return ids;
}

std::string JoinDesktopIds(const std::vector<std::string>& ids) {
  std::string out;
  for (const std::string& id : ids) out += id + ";";
  return out;
}

}  // namespace ql
