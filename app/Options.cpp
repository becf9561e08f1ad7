#include "app/Options.h"

#include <algorithm>

#include "common/FuncLib.h"

namespace ql {

const std::array<ColorTheme, 6>& ColorThemes() {
  static const std::array<ColorTheme, 6> themes = {{
      {"System/Notepad", clWindow, clWindowText, clWindow, clWindowText},
      {"Deep Reef", 0x804000, 0xF0CAA6, 0x5A3200, 0xF0CAA6},
      {"Ember Deck", 0x41491E, 0xFFFF19, 0x41491E, 0xFFFF19},
      {"Black lime", 0x000000, 0x00FF00, 0x000000, 0x00FF00},
      {"MS DOS", 0x000000, 0xC0C0C0, 0x000000, 0xC0C0C0},
      {"The Void", 0x000080, 0x0080FF, 0x0000AE, 0xFFFFFF},
  }};
  return themes;
}

void ApplyThemeColors(AppOptions& options, int themeIndex) {
  if (themeIndex < 0 || themeIndex >= static_cast<int>(ColorThemes().size())) return;
  const ColorTheme& t = ColorThemes()[themeIndex];
  options.BackColor = t.back;
  options.TextColor = t.text;
  options.BoxBackColor = t.boxBack;
  options.BoxTextColor = t.boxText;
}

std::string ToggleStatusText(Check c, bool nowOn) {
  const char* label = "";
  switch (c) {
    case Check::WordWrapOpt: label = "WordWrap = "; break;
    case Check::ToolBarOpt: label = "ToolBar = "; break;
    case Check::StatusBarOpt: label = "StatusBar = "; break;
    case Check::FullPathOpt: label = "Full path in TitleBar = "; break;
    case Check::SaveAutoOpt: label = "Save Settings Automatic = "; break;
    case Check::DefRecentIconOpt: label = "Use default icon in recent list = "; break;
    case Check::AutoIndentOpt: label = "Auto Indent = "; break;
    default: break;
  }
  return std::string(label) + (nowOn ? "true" : "false");
}

void AddToHistory(std::vector<std::string>& list, std::string text, std::size_t max) {
  // A history entry never holds CR LF: each pair becomes a single CR.
  std::string flat;
  flat.reserve(text.size());
  for (char c : text) {
    // "\r\n\n" too: a LF after a CR is dropped, also after a pair just merged.
    if (c == '\n' && !flat.empty() && flat.back() == '\r') continue;
    flat += c;
  }
  const std::string key = AnsiUpperStr(flat);
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const std::string& e) { return AnsiUpperStr(e) == key; }),
             list.end());
  list.insert(list.begin(), flat);
  if (max != 0 && list.size() > max) list.resize(max);
}

}  // namespace ql
