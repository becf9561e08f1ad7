// libFuzzer target for the mimeapps.list editor and the desktop entry
// reader. The input is a mimeapps.list, a zero byte, a MIME type, a zero
// byte, a value, a zero byte and a section name. Setting an entry makes it
// read back and changes no other line; setting the old value back, or
// removing an entry that was not there, restores the file; a desktop entry
// we write reads back key by key, and its Exec line names our program.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/MimeApps.h"
#include "dialogs/XdgDirs.h"

namespace {

std::string Part(const std::string& s, std::size_t& at) {
  const std::size_t zero = s.find('\0', at);
  const std::string part = s.substr(at, zero == std::string::npos ? std::string::npos : zero - at);
  at = zero == std::string::npos ? s.size() : zero + 1;
  return part;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool MimeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '+' ||
         c == '-' || c == '.' || c == '_';
}

// The parts where two texts differ, between their common start and end.
std::pair<std::string, std::string> Difference(const std::string& a, const std::string& b) {
  std::size_t p = 0;
  while (p < a.size() && p < b.size() && a[p] == b[p]) ++p;
  std::size_t s = 0;
  while (s < a.size() - p && s < b.size() - p && a[a.size() - 1 - s] == b[b.size() - 1 - s]) ++s;
  return {a.substr(p, a.size() - p - s), b.substr(p, b.size() - p - s)};
}

// Only the inside of one line differs: every other line is as it was.
bool OneLineChanged(const std::string& a, const std::string& b) {
  const auto d = Difference(a, b);
  return d.first.find('\n') == std::string::npos && d.second.find('\n') == std::string::npos;
}

std::size_t Count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// The arguments of an Exec value: string escapes undone, then the quoting
// rules, then "%%" read as '%'.
std::vector<std::string> ExecArgs(const std::string& value) {
  std::string raw;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      raw += value[i];
      continue;
    }
    const char c = value[++i];
    raw += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
  }
  std::vector<std::string> args;
  std::string cur;
  bool any = false, quoted = false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (quoted) {
      if (c == '"') quoted = false;
      else if (c == '\\' && i + 1 < raw.size()) cur += raw[++i];
      else cur += c;
    } else if (c == '"') {
      quoted = any = true;
    } else if (c == ' ') {
      if (any) args.push_back(cur);
      cur.clear();
      any = false;
    } else {
      cur += c;
      any = true;
    }
  }
  if (quoted) return {};
  if (any) args.push_back(cur);
  for (std::string& a : args) {
    std::string out;
    for (std::size_t i = 0; i < a.size(); ++i) {
      out += a[i];
      if (a[i] == '%' && i + 1 < a.size() && a[i + 1] == '%') ++i;
    }
    a = out;
  }
  return args;
}

void CheckEditor(const std::string& text, const std::string& section, const std::string& mime,
                 const std::string& value) {
  const std::optional<std::string> before = ql::FindMimeEntry(text, section, mime);
  const std::string set = ql::SetMimeEntry(text, section, mime, value);
  if (ql::FindMimeEntry(set, section, mime) != Trim(value)) std::abort();
  if (before && !OneLineChanged(text, set)) std::abort();
  // Other entries read as before.
  for (const char* other : {ql::kDefaultApps, ql::kAddedApps, ql::kRemovedApps})
    if (other != section && ql::FindMimeEntry(set, other, mime) != ql::FindMimeEntry(text, other, mime)) std::abort();
  if (ql::FindMimeEntry(set, section, mime + "x") != ql::FindMimeEntry(text, section, mime + "x")) std::abort();

  if (before) {
    // Undoing: the kept value goes back on the same line.
    const std::string undone = ql::SetMimeEntry(set, section, mime, *before);
    if (ql::FindMimeEntry(undone, section, mime) != before || !OneLineChanged(text, undone)) std::abort();
    // Removing takes that one line out and nothing else.
    const std::string removed = ql::RemoveMimeEntry(text, section, mime);
    const auto gone = Difference(text, removed);
    if (!gone.second.empty() || gone.first.empty() || Count(gone.first, "\n") > 1) std::abort();
  } else {
    if (ql::RemoveMimeEntry(text, section, mime) != text) std::abort();
    // Undoing an addition leaves the file as it was, but for a line break
    // put after a last line that had none, or the section it had to add.
    const std::string undone = ql::RemoveMimeEntry(set, section, mime);
    const bool hadSection = Count(undone, "[" + section + "]") == Count(text, "[" + section + "]");
    if (ql::FindMimeEntry(undone, section, mime)) std::abort();
    if (undone != text && undone.compare(0, text.size(), text) != 0) std::abort();
    const std::string tail = undone.substr(undone.size() >= text.size() ? text.size() : 0);
    if (undone != text && hadSection && tail != "\n" && tail != "\r\n") std::abort();
    if (undone != text && !hadSection && !EndsWith(tail, "[" + section + "]\n") &&
        !EndsWith(tail, "[" + section + "]\r\n"))
      std::abort();
  }
}

void CheckDesktopEntry(const std::string& text, const std::string& path, const std::string& icon) {
  const std::string value = ql::DesktopEntryValue(text, "Exec");
  if (value.find('\n') != std::string::npos) std::abort();
  if (!value.empty() && text.find(value) == std::string::npos) std::abort();
  // Another group after it changes nothing.
  if (ql::DesktopEntryValue(text + "\n[Desktop Action x]\nExec=other\n", "Exec") != value) std::abort();

  std::string entry, error;
  const bool made = ql::DesktopEntryText(path, icon, {"text/plain", "text/x-c"}, entry, error);
  bool fit = !path.empty() && path[0] == '/';
  for (unsigned char c : path) fit = fit && c >= 0x20 && c != 0x7F;
  if (made != fit) std::abort();
  if (!made) {
    if (error.empty()) std::abort();
    return;
  }
  if (ql::DesktopEntryValue(entry, "Exec") != ql::ExpectedExec(path)) std::abort();
  if (ExecArgs(ql::ExpectedExec(path)) != std::vector<std::string>{path, "%F"}) std::abort();
  if (Trim(icon) == icon && ql::DesktopEntryValue(entry, "Icon") != ql::EscapeDesktopValue(icon)) std::abort();
  if (ql::DesktopEntryValue(entry, "MimeType") != "text/plain;text/x-c;") std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t at = 0;
  const std::string text = Part(input, at);
  std::string mime = Part(input, at);
  std::string value = Part(input, at);
  std::string section = Part(input, at);

  bool goodMime = !mime.empty();
  for (char c : mime) goodMime = goodMime && MimeChar(c);
  if (!goodMime) mime = "text/plain";
  std::string clean;
  for (char c : value)
    if (c != '\r' && c != '\n') clean += c;
  value = clean;
  if (section.empty() || section.find_first_of("\r\n") != std::string::npos) {
    const char* const fixed[] = {ql::kDefaultApps, ql::kAddedApps, ql::kRemovedApps};
    section = fixed[text.size() % 3];
  }
  CheckEditor(text, section, mime, value);

  // Desktop ids: split and joined back.
  const std::vector<std::string> ids = ql::SplitDesktopIds(value);
  for (const std::string& id : ids)
    if (id.empty() || id.find(';') != std::string::npos || Trim(id) != id) std::abort();
  if (ql::SplitDesktopIds(ql::JoinDesktopIds(ids)) != ids) std::abort();

  CheckDesktopEntry(text, "/" + value, section);
  return 0;
}
