// The configuration dialog's decisions without its window: the copies of
// the options its controls hold, applying them, the default settings, the
// texts it shows, the recent-list rows and the view of our settings store.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Options.h"
#include "platform/Store.h"

namespace ql {

// What the dialog's controls hold between showing and applying.
struct ConfigValues {
  std::array<bool, kCheckCount> checks{};
  int sound = 1;            // index of the sound list, MsgBeep
  int tabPosition = 8;      // tab size up-down, TabSize div 6
  int recentPosition = 12;  // recent items up-down, RecentMax
  std::array<ColorRef, 4> colors{};  // background, text, box background, box text
  std::string fontName = "Courier New";
  int fontSize = 10;
  bool operator==(const ConfigValues& o) const;
};

constexpr int kTabPositionMin = 1, kTabPositionMax = 16;
constexpr int kRecentPositionMin = 0, kRecentPositionMax = 16;

ConfigValues ConfigFromOptions(const AppOptions& options);
// "Default settings!": every switch but full path and auto indent on, the
// sound "Asterisk", tab size 8, 12 recent items, "System/Notepad" colors in
// Courier New 10.
ConfigValues DefaultConfigValues();
// The box's text when background and text (or box background and box text)
// are the same color; empty when they differ.
std::string IdenticalColorsText(const ConfigValues& values);
// The options take the values; the recent list grows to RecentMax (never shrinks).
void ApplyConfigValues(const ConfigValues& values, AppOptions& options, AppLists& lists);

// A swatch's hint for its color as shown (0x00BBGGRR):
// "(Drag'n'Drop)\r\n\r\nHex:  $RRGGBB\r\nRGB:  rrr;ggg;bbb;"
std::string SwatchHintText(std::uint32_t rgb);
std::string EditorExampleText(const std::string& fontName, int fontSize);
std::string BoxExampleText(const std::string& fontName, int fontSize);

// ---- Recent List page ----
// "1,234.5678 kb": the size in bytes / 1024 with thousands separators and four decimals.
std::string RecentSizeText(std::int64_t bytes);
struct RecentRow {
  std::size_t listIndex;  // the entry of RecentList the row shows
  std::string path;
};
// One row per non-empty entry, in list order.
std::vector<RecentRow> RecentRows(const std::vector<std::string>& recentList);
// Deletes the given entries and appends as many empty ones, so the list
// keeps its length.
void DeleteRecentEntries(std::vector<std::string>& recentList, std::vector<std::size_t> listIndices);

// ---- Registry page: our settings file ----
// The groups below the program's key, sorted, after an empty one that
// stands for the program's key itself.
std::vector<std::string> StoreGroups(const Store& store);
struct StoreRow {
  enum Kind { Text, Time, Other };
  std::string name, value;
  Kind kind = Other;
};
// The values of a group (empty name: the program's key), sorted by name:
// strings as they are, 8-byte binary values as the time of day they hold.
std::vector<StoreRow> StoreRows(const Store& store, const std::string& group);
std::string TimeOfDayText(double days);  // "HH:NN:SS"
// Deletes the option keys (the usage values stay); false when the store refused.
bool ClearOptionKeys(Store& store);

extern const char* const kClearStoreText;
extern const char* const kClearStoreCaption;
extern const char* const kDefaultsText;
extern const char* const kDefaultsCaption;

}  // namespace ql
