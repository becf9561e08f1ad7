// The user's folders as the freedesktop base-directory rules name them,
// and the desktop entry that makes the program known to the desktop.
#pragma once

#include <string>
#include <vector>

namespace ql {

struct XdgDirs {
  std::string home;
  std::string configHome;               // $XDG_CONFIG_HOME or ~/.config
  std::string dataHome;                 // $XDG_DATA_HOME or ~/.local/share
  std::vector<std::string> configDirs;  // $XDG_CONFIG_DIRS or /etc/xdg
  std::vector<std::string> dataDirs;    // $XDG_DATA_DIRS or /usr/local/share, /usr/share
  std::vector<std::string> desktops;    // $XDG_CURRENT_DESKTOP, lower case

  static XdgDirs FromEnvironment();

  std::string MimeAppsList() const { return configHome + "/mimeapps.list"; }  // ours to edit
  std::string Applications() const { return dataHome + "/applications"; }
  // Every mimeapps.list that decides a default, strongest first.
  std::vector<std::string> MimeAppsLists() const;
  // "quillora" where our icon is installed in a theme folder, else a stock name.
  std::string IconName() const;
  // The installed desktop entry of an id, or "".
  std::string FindDesktopEntry(const std::string& id) const;
};

extern const char* const kDesktopId;  // "quillora.desktop"

// One argument of an Exec line, quoted when the desktop entry rules ask for it.
std::string QuoteExecArg(const std::string& arg);
// A string value of a desktop entry: backslashes, tabs and line breaks escaped.
std::string EscapeDesktopValue(const std::string& value);
// The Exec value that starts the program with the chosen files.
std::string ExpectedExec(const std::string& programPath);
// The whole desktop entry; false (with why) when the path cannot go into one.
bool DesktopEntryText(const std::string& programPath, const std::string& icon,
                      const std::vector<std::string>& mimeTypes, std::string& text, std::string& error);
// The raw value of a key of the [Desktop Entry] group, or "" when absent.
std::string DesktopEntryValue(const std::string& text, const std::string& key);

}  // namespace ql
