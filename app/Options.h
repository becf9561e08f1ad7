// The option variables and check-mark options of the main window, the
// lists it keeps, and the color themes. The window's menu check marks show
// these values; everything that reads an option reads it here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ql {

using ColorRef = std::uint32_t;  // 0x00BBGGRR or 0x80000000 + system color

constexpr ColorRef clWindow = 0x80000005;
constexpr ColorRef clWindowText = 0x80000008;

// Check-mark options, named after their menu items.
enum class Check {
  WordWrapOpt,
  ToolBarOpt,
  StatusBarOpt,
  FullPathOpt,
  SaveAutoOpt,
  DefRecentIconOpt,
  AutoIndentOpt,
  PromptBinaryOpt,
  ChangeNfoFontOpt,
  Count
};
constexpr int kCheckCount = static_cast<int>(Check::Count);

enum WindowStateValue { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

struct AppOptions {
  int Window = wsMaximized;
  std::string FontNameScreen = "Courier New";
  std::int32_t FontSizeScreen = 10;
  std::string FontNamePrint = "Courier New";
  std::int32_t FontSizePrint = 10;
  std::int32_t FontBoxHeight = 300;
  std::int32_t FontBoxLeft = 0;  // screen width div 3 when not stored
  std::int32_t FontBoxTop = 0;   // screen height div 5 when not stored
  std::int32_t MsgBeep = 1;
  std::int32_t TabSize = 48;
  std::int32_t RecentMax = 12;
  ColorRef BackColor = clWindow;
  ColorRef TextColor = clWindowText;
  ColorRef BoxBackColor = clWindow;
  ColorRef BoxTextColor = clWindowText;
  std::array<bool, kCheckCount> checks = {true, true, true, false, true, true, false, true, true};

  bool Checked(Check c) const { return checks[static_cast<int>(c)]; }
  void SetChecked(Check c, bool on) { checks[static_cast<int>(c)] = on; }
};

struct AppLists {
  std::vector<std::string> RecentList;
  std::vector<std::string> FindHistory;
  std::vector<std::string> ReplaceHistory;
  std::vector<std::string> RunList;
};

struct ColorTheme {
  const char* name;
  ColorRef back, text, boxBack, boxText;
};
// "System/Notepad", "Deep Reef", "Ember Deck", "Black lime", "MS DOS", "The Void".
const std::array<ColorTheme, 6>& ColorThemes();
void ApplyThemeColors(AppOptions& options, int themeIndex);

// What a toggle reports in panel 0, e.g. "WordWrap = true".
std::string ToggleStatusText(Check c, bool nowOn);

// The history-list routine shared by find/replace and the run dialog.
void AddToHistory(std::vector<std::string>& list, std::string text, std::size_t max);

}  // namespace ql
