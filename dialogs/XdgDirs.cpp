#include "dialogs/XdgDirs.h"

#include <cctype>
#include <cstdlib>
#include <sys/stat.h>

namespace ql {

const char* const kDesktopId = "quillora.desktop";

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// Relative entries are invalid and ignored, as the rules say.
std::vector<std::string> PathList(const std::string& value, const std::vector<std::string>& fallback) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos <= value.size()) {
    const auto colon = value.find(':', pos);
    std::string part = value.substr(pos, colon == std::string::npos ? std::string::npos : colon - pos);
    while (part.size() > 1 && part.back() == '/') part.pop_back();
    if (!part.empty() && part[0] == '/') out.push_back(part);
    if (colon == std::string::npos) break;
    pos = colon + 1;
  }
  return out.empty() ? fallback : out;
}

std::string DirOr(const std::string& value, const std::string& fallback) {
  return !value.empty() && value[0] == '/' ? value : fallback;
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

XdgDirs XdgDirs::FromEnvironment() {
  XdgDirs d;
  d.home = Env("HOME");
  d.configHome = DirOr(Env("XDG_CONFIG_HOME"), d.home + "/.config");
  d.dataHome = DirOr(Env("XDG_DATA_HOME"), d.home + "/.local/share");
  d.configDirs = PathList(Env("XDG_CONFIG_DIRS"), {"/etc/xdg"});
  d.dataDirs = PathList(Env("XDG_DATA_DIRS"), {"/usr/local/share", "/usr/share"});
  const std::string desktops = Env("XDG_CURRENT_DESKTOP");
  std::size_t pos = 0;
  while (pos < desktops.size()) {
    const auto colon = desktops.find(':', pos);
    std::string name = desktops.substr(pos, colon == std::string::npos ? std::string::npos : colon - pos);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!name.empty() && name.find('/') == std::string::npos) d.desktops.push_back(name);
    if (colon == std::string::npos) break;
    pos = colon + 1;
  }
  return d;
}

std::vector<std::string> XdgDirs::MimeAppsLists() const {
  std::vector<std::string> folders{configHome};
  folders.insert(folders.end(), configDirs.begin(), configDirs.end());
  folders.push_back(Applications());
  for (const std::string& d : dataDirs) folders.push_back(d + "/applications");
  std::vector<std::string> lists;
  for (const std::string& f : folders) {
    for (const std::string& desktop : desktops) lists.push_back(f + "/" + desktop + "-mimeapps.list");
    lists.push_back(f + "/mimeapps.list");
  }
  return lists;
}

std::string XdgDirs::IconName() const {
  std::vector<std::string> folders{dataHome};
  folders.insert(folders.end(), dataDirs.begin(), dataDirs.end());
  for (const std::string& f : folders)
    for (const char* icon : {"/icons/hicolor/48x48/apps/quillora.png", "/icons/hicolor/scalable/apps/quillora.svg"})
      if (IsFile(f + icon)) return "quillora";
  return "accessories-text-editor";
}

std::string XdgDirs::FindDesktopEntry(const std::string& id) const {
  if (id.empty() || id.find('/') != std::string::npos) return "";
  std::vector<std::string> folders{Applications()};
  for (const std::string& d : dataDirs) folders.push_back(d + "/applications");
  for (const std::string& f : folders) {
    if (IsFile(f + "/" + id)) return f + "/" + id;
    // "vendor-app.desktop" may live in applications/vendor/app.desktop.
    const auto dash = id.find('-');
    if (dash != std::string::npos) {
      const std::string nested = f + "/" + id.substr(0, dash) + "/" + id.substr(dash + 1);
      if (IsFile(nested)) return nested;
    }
  }
  return "";
}

std::string QuoteExecArg(const std::string& arg) {
  static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
  if (!arg.empty() && arg.find_first_of(reserved) == std::string::npos) return arg;
  std::string out = "\"";
  for (char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string EscapeDesktopValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string ExpectedExec(const std::string& programPath) {
  std::string arg = QuoteExecArg(programPath);
  // A literal percent sign is written twice: one alone starts a field code.
  std::string out;
  for (char c : arg) out += c == '%' ? std::string("%%") : std::string(1, c);
  return EscapeDesktopValue(out) + " %F";
}

bool DesktopEntryText(const std::string& programPath, const std::string& icon,
                      const std::vector<std::string>& mimeTypes, std::string& text, std::string& error) {
  if (programPath.empty() || programPath[0] != '/') {
    error = "The program's own path is unknown.";
    return false;
  }
  for (unsigned char c : programPath)
    if (c < 0x20 || c == 0x7F) {
      error = "The program's path \"" + programPath + "\" holds a control character and cannot go into a desktop entry.";
      return false;
    }
  std::string types;
  for (const std::string& m : mimeTypes) types += m + ";";
  text = "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Quillora\n"
         "GenericName=Text Editor\n"
         "Comment=Edit with Quillora\n"
         "Exec=" + ExpectedExec(programPath) + "\n"
         "Icon=" + EscapeDesktopValue(icon) + "\n"
         "Terminal=false\n"
         "Categories=Utility;TextEditor;\n"
         "StartupWMClass=Quillora\n"
         "MimeType=" + types + "\n";
  return true;
}

std::string DesktopEntryValue(const std::string& text, const std::string& key) {
  bool inGroup = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string line = text.substr(pos, nl - pos);
    pos = nl + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    if (!inGroup) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string k = line.substr(0, eq);
    while (!k.empty() && (k.back() == ' ' || k.back() == '\t')) k.pop_back();
    if (k != key) continue;
    std::size_t v = eq + 1;
    while (v < line.size() && (line[v] == ' ' || line[v] == '\t')) ++v;
    return line.substr(v);
  }
  return "";
}

}  // namespace ql
