#include "app/SettingsIO.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace ql {

const char* const kBaseKey = "\\Software\\Norvane Productions\\Quillora";
const char* const kOptionsKey = "\\Software\\Norvane Productions\\Quillora\\Options";
const char* const kRecentKey = "\\Software\\Norvane Productions\\Quillora\\RecentList";
const char* const kFindKey = "\\Software\\Norvane Productions\\Quillora\\FindReplace";
const char* const kRunKey = "\\Software\\Norvane Productions\\Quillora\\Run";

namespace {

// Sensible ranges: anything outside reads as the default, like garbage.
constexpr std::int32_t kMaxRecent = 99;
constexpr std::int32_t kMaxTabSize = 1000;
constexpr std::int32_t kMaxFontSize = 500;
constexpr int kHistoryMax = 12;

struct BoolOption {
  Check check;
  const char* name;
};
// Store order of the boolean options.
constexpr BoolOption kBoolOptions[] = {
    {Check::WordWrapOpt, "WordWrap"},          {Check::ToolBarOpt, "ToolBar"},
    {Check::StatusBarOpt, "StatusBar"},        {Check::FullPathOpt, "FullPath"},
    {Check::SaveAutoOpt, "SaveSettingsAuto"},  {Check::DefRecentIconOpt, "DefaultRecentIcon"},
    {Check::AutoIndentOpt, "AutoIndent"},      {Check::PromptBinaryOpt, "PromptBinary"},
    {Check::ChangeNfoFontOpt, "ChangeNfoFont"},
};

std::string Num(std::int64_t v) { return std::to_string(v); }

void ReadList(const Store& store, const char* key, const char* prefix,
              std::vector<std::string>& list) {
  for (int i = 0; i < kHistoryMax; ++i)
    if (auto v = store.ReadString(key, prefix + Num(i))) list.push_back(*v);
}

bool WriteList(Store& store, const char* key, const char* prefix,
               const std::vector<std::string>& list) {
  bool ok = true;
  for (std::size_t i = 0; i < list.size(); ++i)
    ok = store.WriteString(key, prefix + Num(static_cast<std::int64_t>(i)), list[i]) && ok;
  return ok;
}

}  // namespace

std::optional<std::int32_t> ParseStoredInt(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t(INT32_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::string EncodeTime(double days) {
  std::uint64_t bits;
  std::memcpy(&bits, &days, sizeof bits);
  std::string out(8, '\0');
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return out;
}

std::optional<double> DecodeTime(const std::string& bytes) {
  if (bytes.size() != 8) return std::nullopt;
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(bytes[i]);
  double days;
  std::memcpy(&days, &bits, sizeof days);
  if (days != days) return std::nullopt;  // NaN is not a time
  return days;
}

std::int32_t ReadInt(const Store& store, const std::string& key, const std::string& name,
                     std::int32_t def, std::int32_t lo, std::int32_t hi) {
  auto text = store.ReadString(key, name);
  if (!text) return def;
  auto v = ParseStoredInt(*text);
  if (!v || *v < lo || *v > hi) return def;
  return *v;
}

bool ReadBool(const Store& store, const std::string& key, const std::string& name, bool def) {
  auto text = store.ReadString(key, name);
  if (!text) return def;
  auto v = ParseStoredInt(*text);
  return v ? *v != 0 : def;
}

void LoadSettings(const Store& store, int screenWidth, int screenHeight, AppOptions& o,
                  AppLists& lists) {
  const AppOptions d;
  const std::string k = kOptionsKey;
  o.Window = ReadInt(store, k, "Window", d.Window, wsNormal, wsMaximized);
  if (auto name = store.ReadString(k, "FontNameScreen")) o.FontNameScreen = *name;
  o.FontSizeScreen = ReadInt(store, k, "FontSizeScreen", d.FontSizeScreen, 1, kMaxFontSize);
  if (auto name = store.ReadString(k, "FontNamePrint")) o.FontNamePrint = *name;
  o.FontSizePrint = ReadInt(store, k, "FontSizePrint", d.FontSizePrint, 1, kMaxFontSize);
  o.FontBoxHeight = ReadInt(store, k, "FontBoxHeight", d.FontBoxHeight);
  o.FontBoxLeft = ReadInt(store, k, "FontBoxLeft", screenWidth / 3);
  o.FontBoxTop = ReadInt(store, k, "FontBoxTop", screenHeight / 5);
  for (const BoolOption& b : kBoolOptions)
    o.SetChecked(b.check, ReadBool(store, k, b.name, d.Checked(b.check)));
  o.MsgBeep = ReadInt(store, k, "MsgBeep", d.MsgBeep, 0, 6);
  o.TabSize = ReadInt(store, k, "TabSize", d.TabSize, 1, kMaxTabSize);
  o.RecentMax = ReadInt(store, k, "RecentMax", d.RecentMax, 0, kMaxRecent);
  o.BackColor = static_cast<ColorRef>(ReadInt(store, k, "BackColor", static_cast<std::int32_t>(d.BackColor)));
  o.TextColor = static_cast<ColorRef>(ReadInt(store, k, "TextColor", static_cast<std::int32_t>(d.TextColor)));
  o.BoxBackColor =
      static_cast<ColorRef>(ReadInt(store, k, "BoxBackColor", static_cast<std::int32_t>(d.BoxBackColor)));
  o.BoxTextColor =
      static_cast<ColorRef>(ReadInt(store, k, "BoxTextColor", static_cast<std::int32_t>(d.BoxTextColor)));

  lists.RecentList.clear();
  for (int i = 0; i < o.RecentMax; ++i)
    lists.RecentList.push_back(store.ReadString(kRecentKey, "Item" + Num(i)).value_or(""));
  lists.FindHistory.clear();
  lists.ReplaceHistory.clear();
  lists.RunList.clear();
  ReadList(store, kFindKey, "Find", lists.FindHistory);
  ReadList(store, kFindKey, "Replace", lists.ReplaceHistory);
  ReadList(store, kRunKey, "Run", lists.RunList);
}

bool SaveSettings(Store& store, const AppOptions& o, const AppLists& lists,
                  const std::optional<Placement>& normalPlacement, bool saveOptions,
                  bool updateUsage, double elapsedDays) {
  if (updateUsage) {
    // Usage bookkeeping never stands in the way of the options.
    if (store.ReadValue(kBaseKey, "OpenCounter")) {
      const std::int32_t counter = ReadInt(store, kBaseKey, "OpenCounter", 1);
      if (counter < INT32_MAX) store.WriteString(kBaseKey, "OpenCounter", Num(counter + 1));
    }
    if (auto timer = store.ReadValue(kBaseKey, "OpenTimer")) {
      const double before =
          timer->kind == StoreValue::Binary ? DecodeTime(timer->data).value_or(0.0) : 0.0;
      store.WriteBinary(kBaseKey, "OpenTimer", EncodeTime(before + elapsedDays));
    }
  }
  bool ok = true;
  if (saveOptions) {
    const std::string k = kOptionsKey;
    auto put = [&](const char* name, const std::string& text) {
      ok = store.WriteString(k, name, text) && ok;
    };
    put("FontNameScreen", o.FontNameScreen);
    put("FontSizeScreen", Num(o.FontSizeScreen));
    put("FontNamePrint", o.FontNamePrint);
    put("FontSizePrint", Num(o.FontSizePrint));
    put("FontBoxHeight", Num(o.FontBoxHeight));
    put("FontBoxLeft", Num(o.FontBoxLeft));
    put("FontBoxTop", Num(o.FontBoxTop));
    for (const BoolOption& b : kBoolOptions) put(b.name, o.Checked(b.check) ? "1" : "0");
    put("MsgBeep", Num(o.MsgBeep));
    put("TabSize", Num(o.TabSize));
    put("RecentMax", Num(o.RecentMax));
    put("Window", Num(o.Window));
    put("BackColor", Num(static_cast<std::int32_t>(o.BackColor)));
    put("TextColor", Num(static_cast<std::int32_t>(o.TextColor)));
    put("BoxBackColor", Num(static_cast<std::int32_t>(o.BoxBackColor)));
    put("BoxTextColor", Num(static_cast<std::int32_t>(o.BoxTextColor)));
    if (normalPlacement) {
      put("MainTop", Num(normalPlacement->top));
      put("MainLeft", Num(normalPlacement->left));
      put("MainWidth", Num(normalPlacement->width));
      put("MainHeight", Num(normalPlacement->height));
    }
    ok = WriteList(store, kRecentKey, "Item", lists.RecentList) && ok;
    store.DeleteKey(kFindKey);
    ok = store.CreateKey(kFindKey) && ok;
    ok = WriteList(store, kFindKey, "Find", lists.FindHistory) && ok;
    ok = WriteList(store, kFindKey, "Replace", lists.ReplaceHistory) && ok;
    store.DeleteKey(kRunKey);
    ok = store.CreateKey(kRunKey) && ok;
    ok = WriteList(store, kRunKey, "Run", lists.RunList) && ok;
  }
  return store.Flush() && ok;
}

Placement ReadPlacement(const Store& store, const Placement& current) {
  Placement p;
  p.top = ReadInt(store, kOptionsKey, "MainTop", current.top);
  p.left = ReadInt(store, kOptionsKey, "MainLeft", current.left);
  p.width = ReadInt(store, kOptionsKey, "MainWidth", current.width);
  p.height = ReadInt(store, kOptionsKey, "MainHeight", current.height);
  return p;
}

bool WriteFirstRunValues(Store& store, const std::string& installDate) {
  if (store.ReadValue(kBaseKey, "OpenCounter") && store.ReadValue(kBaseKey, "InstallDate") &&
      store.ReadValue(kBaseKey, "OpenTimer"))
    return false;
  bool ok = store.WriteString(kBaseKey, "InstallDate", installDate);
  ok = store.WriteBinary(kBaseKey, "OpenTimer", EncodeTime(0.0)) && ok;
  ok = store.WriteString(kBaseKey, "OpenCounter", "1") && ok;
  return store.Flush() && ok;
}

std::string FormatInstallDate(const std::tm& t, const std::string& dayName,
                              const std::string& monthName) {
  int hour12 = t.tm_hour % 12;
  if (hour12 == 0) hour12 = 12;
  char buf[64];
  std::snprintf(buf, sizeof buf, " %02d, %04d, %02d:%02d %s", t.tm_mday, t.tm_year + 1900, hour12,
                t.tm_min, t.tm_hour < 12 ? "AM" : "PM");
  return dayName + ", " + monthName + buf;
}

}  // namespace ql
