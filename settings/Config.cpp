#include "settings/Config.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/SettingsIO.h"

namespace ql {

const char* const kClearStoreText =
    "If you press \"Yes\" then all the options for Quillora will be deleted!\r\n"
    "To undo, save the settings before exiting.\r\n\r\n"
    "Are you sure you want to delete Quilloras registation key, which contains all options?";
const char* const kClearStoreCaption = "Warning! Read carefully";
const char* const kDefaultsText = "Are you sure you want to reset all settings to the default?";
const char* const kDefaultsCaption = "Use default settings?";

bool ConfigValues::operator==(const ConfigValues& o) const {
  return checks == o.checks && sound == o.sound && tabPosition == o.tabPosition &&
         recentPosition == o.recentPosition && colors == o.colors && fontName == o.fontName &&
         fontSize == o.fontSize;
}

ConfigValues ConfigFromOptions(const AppOptions& o) {
  ConfigValues v;
  v.checks = o.checks;
  v.sound = std::clamp(o.MsgBeep, 0, 6);
  v.tabPosition = std::clamp(o.TabSize / 6, kTabPositionMin, kTabPositionMax);
  v.recentPosition = std::clamp(o.RecentMax, kRecentPositionMin, kRecentPositionMax);
  v.colors = {o.BackColor, o.TextColor, o.BoxBackColor, o.BoxTextColor};
  v.fontName = o.FontNameScreen;
  v.fontSize = o.FontSizeScreen;
  return v;
}

ConfigValues DefaultConfigValues() {
  ConfigValues v;
  v.checks = {true, true, true, false, true, true, false, true, true};
  v.sound = 2;
  v.tabPosition = 8;
  v.recentPosition = 12;
  const ColorTheme& t = ColorThemes()[0];
  v.colors = {t.back, t.text, t.boxBack, t.boxText};
  v.fontName = "Courier New";
  v.fontSize = 10;
  return v;
}

std::string IdenticalColorsText(const ConfigValues& v) {
  if (v.colors[0] == v.colors[1])
    return "The \"Background\" color and the \"Text\" color is the same. Please select two "
           "different colors!";
  if (v.colors[2] == v.colors[3])
    return "The \"Box Background\" color and the \"Box Text\" color is the same. Please select two "
           "different colors!";
  return {};
}

void ApplyConfigValues(const ConfigValues& v, AppOptions& o, AppLists& lists) {
  o.checks = v.checks;
  o.MsgBeep = v.sound;
  o.BackColor = v.colors[0];
  o.TextColor = v.colors[1];
  o.BoxBackColor = v.colors[2];
  o.BoxTextColor = v.colors[3];
  o.RecentMax = v.recentPosition;
  if (lists.RecentList.size() < static_cast<std::size_t>(o.RecentMax))
    lists.RecentList.resize(static_cast<std::size_t>(o.RecentMax));
  o.TabSize = v.tabPosition * 6;
  o.FontNameScreen = v.fontName;
  o.FontSizeScreen = v.fontSize;
}

std::string SwatchHintText(std::uint32_t rgb) {
  const unsigned r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
  char buf[96];
  std::snprintf(buf, sizeof buf, "(Drag'n'Drop)\r\n\r\nHex:  $%02X%02X%02X\r\nRGB:  %03u;%03u;%03u;", r, g,
                b, r, g, b);
  return buf;
}

std::string EditorExampleText(const std::string& fontName, int fontSize) {
  return "Editor example\r\n" + fontName + "  " + std::to_string(fontSize);
}

std::string BoxExampleText(const std::string& fontName, int fontSize) {
  return "Box example\r\n" + fontName + "  " + std::to_string(fontSize);
}

std::string RecentSizeText(std::int64_t bytes) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(bytes) / 1024.0);
  std::string s = buf;
  const std::size_t dot = s.find('.');
  for (std::size_t i = dot; i > 3; i -= 3)
    if (s[i - 4] != '-') s.insert(i - 3, 1, ',');
  return s + " kb";
}

std::vector<RecentRow> RecentRows(const std::vector<std::string>& list) {
  std::vector<RecentRow> rows;
  for (std::size_t i = 0; i < list.size(); ++i)
    if (!list[i].empty()) rows.push_back({i, list[i]});
  return rows;
}

void DeleteRecentEntries(std::vector<std::string>& list, std::vector<std::size_t> indices) {
  // From the back, so that the indices still name the rows' entries.
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
    if (*it >= list.size()) continue;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(*it));
    list.emplace_back();
  }
}

std::vector<std::string> StoreGroups(const Store& store) {
  std::vector<std::string> groups = store.SubKeys(kBaseKey);
  std::sort(groups.begin(), groups.end());
  groups.insert(groups.begin(), std::string());
  return groups;
}

std::string TimeOfDayText(double days) {
  if (!std::isfinite(days)) return "00:00:00";
  double frac = days - std::floor(days);
  auto ms = static_cast<std::int64_t>(std::llround(frac * 86400000.0)) % 86400000;
  const std::int64_t secs = ms / 1000;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(secs / 3600),
                static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60));
  return buf;
}

std::vector<StoreRow> StoreRows(const Store& store, const std::string& group) {
  const std::string key = group.empty() ? std::string(kBaseKey) : std::string(kBaseKey) + "\\" + group;
  std::vector<std::string> names = store.ValueNames(key);
  std::sort(names.begin(), names.end());
  std::vector<StoreRow> rows;
  for (const std::string& name : names) {
    StoreRow row;
    row.name = name;
    const std::optional<StoreValue> v = store.ReadValue(key, name);
    if (v && v->kind == StoreValue::String) {
      row.kind = StoreRow::Text;
      row.value = v->data;
    } else if (v) {
      if (const std::optional<double> days = DecodeTime(v->data)) {
        row.kind = StoreRow::Time;
        row.value = TimeOfDayText(*days);
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

bool ClearOptionKeys(Store& store) {
  const std::string options = kOptionsKey;
  for (const std::string& key : {options + "\\Colors", options, std::string(kRecentKey),
                                 std::string(kFindKey), std::string(kRunKey)})
    store.DeleteKey(key);  // a key that is not there is no failure
  return store.Flush();
}

}  // namespace ql
