#include <gtest/gtest.h>

#include "app/SettingsIO.h"

using namespace ql;

namespace {

struct Loaded {
  AppOptions o;
  AppLists l;
};
Loaded Load(const Store& s, int w = 1200, int h = 1000) {
  Loaded r;
  LoadSettings(s, w, h, r.o, r.l);
  return r;
}

TEST(SettingsIO, EmptyStoreGivesDefaults) {
  MemoryStore s;
  Loaded r = Load(s, 1200, 1000);
  EXPECT_EQ(r.o.Window, wsMaximized);
  EXPECT_EQ(r.o.FontNameScreen, "Courier New");
  EXPECT_EQ(r.o.FontBoxLeft, 400);
  EXPECT_EQ(r.o.FontBoxTop, 200);
  EXPECT_EQ(r.o.TabSize, 48);
  EXPECT_EQ(r.o.BackColor, 0x80000005u);
  EXPECT_TRUE(r.o.Checked(Check::WordWrapOpt));
  EXPECT_FALSE(r.o.Checked(Check::FullPathOpt));
  EXPECT_FALSE(r.o.Checked(Check::AutoIndentOpt));
  EXPECT_EQ(r.l.RecentList, std::vector<std::string>(12, ""));
  EXPECT_TRUE(r.l.FindHistory.empty());
}

// Stored text -> value read, for values whose garbage or out-of-range text
// must fall back to the default.
TEST(SettingsIO, StoredIntegersOutOfRangeReadAsDefault) {
  struct Case {
    const char* name;
    const char* text;
    std::int32_t want;
    std::int32_t AppOptions::*field;
  };
  const Case cases[] = {
      {"FontSizeScreen", "", 10, &AppOptions::FontSizeScreen},
      {"FontSizeScreen", "0", 10, &AppOptions::FontSizeScreen},
      {"FontSizeScreen", "-4", 10, &AppOptions::FontSizeScreen},
      {"FontSizeScreen", "14", 14, &AppOptions::FontSizeScreen},
      {"FontSizePrint", "12x", 10, &AppOptions::FontSizePrint},
      {"TabSize", "0", 48, &AppOptions::TabSize},
      {"TabSize", "36", 36, &AppOptions::TabSize},
      {"RecentMax", "-1", 12, &AppOptions::RecentMax},
      {"RecentMax", "2000000000", 12, &AppOptions::RecentMax},
      {"RecentMax", "99999999999", 12, &AppOptions::RecentMax},
      {"RecentMax", "5", 5, &AppOptions::RecentMax},
      {"MsgBeep", "7", 1, &AppOptions::MsgBeep},
      {"MsgBeep", "-1", 1, &AppOptions::MsgBeep},
      {"MsgBeep", "6", 6, &AppOptions::MsgBeep},
      {"Window", "3", 2, &AppOptions::Window},
      {"Window", "0", 0, &AppOptions::Window},
      {"Window", " 1", 2, &AppOptions::Window},
      {"FontBoxHeight", "-20", -20, &AppOptions::FontBoxHeight},
  };
  for (const Case& c : cases) {
    MemoryStore s;
    s.WriteString(kOptionsKey, c.name, c.text);
    Loaded r = Load(s);
    EXPECT_EQ(r.o.*(c.field), c.want) << c.name << " = \"" << c.text << "\"";
  }
}

TEST(SettingsIO, ColorsAndBooleans) {
  MemoryStore s;
  s.WriteString(kOptionsKey, "BackColor", "abc");
  s.WriteString(kOptionsKey, "TextColor", "-2147483643");
  s.WriteString(kOptionsKey, "BoxBackColor", "255");
  s.WriteString(kOptionsKey, "WordWrap", "0");
  s.WriteString(kOptionsKey, "FullPath", "-7");  // any non-zero integer is true
  s.WriteString(kOptionsKey, "ToolBar", "yes");  // not a number: default
  Loaded r = Load(s);
  EXPECT_EQ(r.o.BackColor, 0x80000005u);
  EXPECT_EQ(r.o.TextColor, 0x80000005u);
  EXPECT_EQ(r.o.BoxBackColor, 0xFFu);
  EXPECT_FALSE(r.o.Checked(Check::WordWrapOpt));
  EXPECT_TRUE(r.o.Checked(Check::FullPathOpt));
  EXPECT_TRUE(r.o.Checked(Check::ToolBarOpt));
}

TEST(SettingsIO, RecentListHoldsExactlyRecentMaxEntries) {
  MemoryStore s;
  s.WriteString(kOptionsKey, "RecentMax", "3");
  s.WriteString(kRecentKey, "Item0", "/a");
  s.WriteString(kRecentKey, "Item2", "/c");
  s.WriteString(kRecentKey, "Item3", "/d");
  EXPECT_EQ(Load(s).l.RecentList, (std::vector<std::string>{"/a", "", "/c"}));

  s.WriteString(kOptionsKey, "RecentMax", "0");
  EXPECT_TRUE(Load(s).l.RecentList.empty());
}

TEST(SettingsIO, HistoriesWriteAllButReadTwelve) {
  MemoryStore s;
  AppOptions o;
  AppLists l;
  for (int i = 0; i < 15; ++i) l.FindHistory.push_back("f" + std::to_string(i));
  l.ReplaceHistory = {"r0"};
  l.RunList = {"run0", "run1"};
  ASSERT_TRUE(SaveSettings(s, o, l, std::nullopt, true, false, 0));
  EXPECT_TRUE(s.ReadString(kFindKey, "Find14"));
  Loaded r = Load(s);
  ASSERT_EQ(r.l.FindHistory.size(), 12u);
  EXPECT_EQ(r.l.FindHistory[11], "f11");
  EXPECT_EQ(r.l.ReplaceHistory, std::vector<std::string>{"r0"});
  EXPECT_EQ(r.l.RunList, (std::vector<std::string>{"run0", "run1"}));

  // The history keys are rebuilt on each save, so a shorter list leaves nothing behind.
  l.FindHistory = {"only"};
  ASSERT_TRUE(SaveSettings(s, o, l, std::nullopt, true, false, 0));
  EXPECT_EQ(Load(s).l.FindHistory, std::vector<std::string>{"only"});
}

TEST(SettingsIO, RecentKeyIsNotClearedBeforeWriting) {
  MemoryStore s;
  s.WriteString(kRecentKey, "Item5", "/old");
  AppLists l;
  l.RecentList = {"/new", ""};
  ASSERT_TRUE(SaveSettings(s, AppOptions(), l, std::nullopt, true, false, 0));
  EXPECT_EQ(s.ReadString(kRecentKey, "Item0"), "/new");
  EXPECT_EQ(s.ReadString(kRecentKey, "Item1"), "");
  EXPECT_EQ(s.ReadString(kRecentKey, "Item5"), "/old");
}

TEST(SettingsIO, OptionsRoundTrip) {
  MemoryStore s;
  AppOptions o;
  o.FontNameScreen = "Terminal";
  o.FontSizeScreen = 9;
  o.TabSize = 24;
  o.RecentMax = 4;
  o.MsgBeep = 0;
  o.Window = wsNormal;
  o.BackColor = 0x804000;
  o.TextColor = 0x80000008;
  o.SetChecked(Check::SaveAutoOpt, false);
  o.SetChecked(Check::AutoIndentOpt, true);
  AppLists l;
  l.RecentList = {"/x y/\xE9.txt", "", "", ""};
  ASSERT_TRUE(SaveSettings(s, o, l, Placement{10, 20, 300, 400}, true, false, 0));
  EXPECT_EQ(s.ReadString(kOptionsKey, "TextColor"), "-2147483640");
  Loaded r = Load(s);
  EXPECT_EQ(r.o.FontNameScreen, "Terminal");
  EXPECT_EQ(r.o.FontSizeScreen, 9);
  EXPECT_EQ(r.o.TabSize, 24);
  EXPECT_EQ(r.o.MsgBeep, 0);
  EXPECT_EQ(r.o.Window, wsNormal);
  EXPECT_EQ(r.o.BackColor, 0x804000u);
  EXPECT_EQ(r.o.TextColor, 0x80000008u);
  EXPECT_EQ(r.o.checks, o.checks);
  EXPECT_EQ(r.l.RecentList, l.RecentList);
  EXPECT_EQ(ReadPlacement(s, Placement{}), (Placement{10, 20, 300, 400}));
}

TEST(SettingsIO, MaximizedWindowKeepsStoredPlacement) {
  MemoryStore s;
  AppOptions o;
  o.Window = wsNormal;
  ASSERT_TRUE(SaveSettings(s, o, AppLists(), Placement{1, 2, 3, 4}, true, false, 0));
  o.Window = wsMaximized;
  ASSERT_TRUE(SaveSettings(s, o, AppLists(), std::nullopt, true, false, 0));
  EXPECT_EQ(s.ReadString(kOptionsKey, "Window"), "2");
  EXPECT_EQ(ReadPlacement(s, Placement{9, 9, 9, 9}), (Placement{1, 2, 3, 4}));
  // Missing parts default to the window's current placement.
  MemoryStore empty;
  EXPECT_EQ(ReadPlacement(empty, Placement{9, 8, 7, 6}), (Placement{9, 8, 7, 6}));
}

TEST(SettingsIO, UsageUpdatedOnlyWhenPresent) {
  MemoryStore s;
  ASSERT_TRUE(SaveSettings(s, AppOptions(), AppLists(), std::nullopt, false, true, 0.5));
  EXPECT_FALSE(s.ReadValue(kBaseKey, "OpenCounter"));
  EXPECT_FALSE(s.ReadValue(kBaseKey, "OpenTimer"));

  ASSERT_TRUE(WriteFirstRunValues(s, "Sunday, December 06, 2026, 10:41 PM"));
  ASSERT_TRUE(SaveSettings(s, AppOptions(), AppLists(), std::nullopt, false, true, 0.25));
  ASSERT_TRUE(SaveSettings(s, AppOptions(), AppLists(), std::nullopt, false, true, 0.5));
  EXPECT_EQ(s.ReadString(kBaseKey, "OpenCounter"), "3");
  auto timer = s.ReadValue(kBaseKey, "OpenTimer");
  ASSERT_TRUE(timer);
  EXPECT_EQ(timer->kind, StoreValue::Binary);
  EXPECT_EQ(DecodeTime(timer->data), 0.75);
  // Options untouched when only usage is saved.
  EXPECT_FALSE(s.ReadValue(kOptionsKey, "Window"));
}

TEST(SettingsIO, BadUsageValuesAreRepairedNotFatal) {
  MemoryStore s;
  s.WriteString(kBaseKey, "OpenCounter", "lots");
  s.WriteBinary(kBaseKey, "OpenTimer", "\x01\x02\x03");  // not 8 bytes
  ASSERT_TRUE(SaveSettings(s, AppOptions(), AppLists(), std::nullopt, true, true, 1.0));
  EXPECT_EQ(s.ReadString(kBaseKey, "OpenCounter"), "2");
  EXPECT_EQ(DecodeTime(s.ReadValue(kBaseKey, "OpenTimer")->data), 1.0);
  EXPECT_TRUE(s.ReadValue(kOptionsKey, "Window"));
}

TEST(SettingsIO, FirstRunWritesOnlyWhenAValueIsMissing) {
  MemoryStore s;
  EXPECT_TRUE(WriteFirstRunValues(s, "first"));
  EXPECT_EQ(s.ReadString(kBaseKey, "InstallDate"), "first");
  EXPECT_EQ(s.ReadString(kBaseKey, "OpenCounter"), "1");
  EXPECT_EQ(DecodeTime(s.ReadValue(kBaseKey, "OpenTimer")->data), 0.0);
  s.WriteString(kBaseKey, "OpenCounter", "9");
  EXPECT_FALSE(WriteFirstRunValues(s, "second"));
  EXPECT_EQ(s.ReadString(kBaseKey, "InstallDate"), "first");
  s.DeleteValue(kBaseKey, "OpenTimer");
  EXPECT_TRUE(WriteFirstRunValues(s, "third"));
  EXPECT_EQ(s.ReadString(kBaseKey, "OpenCounter"), "1");
}

TEST(SettingsIO, FailedWriteIsReported) {
  MemoryStore s;
  s.SetFailWrites(true);
  EXPECT_FALSE(SaveSettings(s, AppOptions(), AppLists(), std::nullopt, true, false, 0));
  EXPECT_FALSE(WriteFirstRunValues(s, "x"));
}

TEST(SettingsIO, ParseStoredInt) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"0", 0}, {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX}, {"+5", 5},
      {"2147483648", std::nullopt}, {"-2147483649", std::nullopt}, {"", std::nullopt},
      {"-", std::nullopt}, {"1.5", std::nullopt}, {"12 ", std::nullopt}, {"0x10", std::nullopt},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(ParseStoredInt(text), want) << text;
}

TEST(SettingsIO, TimeEncoding) {
  EXPECT_EQ(EncodeTime(1.0), std::string("\0\0\0\0\0\0\xF0\x3F", 8));
  EXPECT_EQ(DecodeTime(EncodeTime(123.456)), 123.456);
  EXPECT_FALSE(DecodeTime(std::string(7, '\0')));
  EXPECT_FALSE(DecodeTime(std::string(9, '\0')));
}

TEST(SettingsIO, InstallDateFormat) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 6;
  const std::pair<int, const char*> hours[] = {
      {0, "Sunday, December 06, 2026, 12:05 AM"}, {9, "Sunday, December 06, 2026, 09:05 AM"},
      {12, "Sunday, December 06, 2026, 12:05 PM"}, {22, "Sunday, December 06, 2026, 10:05 PM"}};
  for (const auto& [hour, want] : hours) {
    t.tm_hour = hour;
    t.tm_min = 5;
    EXPECT_EQ(FormatInstallDate(t, "Sunday", "December"), want);
  }
}

}  // namespace
