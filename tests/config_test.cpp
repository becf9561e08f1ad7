// The configuration dialog's values, texts, recent rows and store view.
#include <gtest/gtest.h>

#include "app/SettingsIO.h"
#include "settings/Config.h"

using namespace ql;

TEST(ConfigValues, LoadedFromTheOptions) {
  AppOptions o;
  o.TabSize = 50;  // shows as 8
  o.RecentMax = 40;
  o.MsgBeep = 4;
  const ConfigValues v = ConfigFromOptions(o);
  EXPECT_EQ(v.tabPosition, 8);
  EXPECT_EQ(v.recentPosition, 16);  // the up-down's top
  EXPECT_EQ(v.sound, 4);
  EXPECT_EQ(v.colors[0], clWindow);
  o.TabSize = 3;
  EXPECT_EQ(ConfigFromOptions(o).tabPosition, 1);
}

TEST(ConfigValues, ApplyingSetsTheOptionsAndGrowsTheRecentList) {
  AppOptions o;
  AppLists lists;
  lists.RecentList.assign(12, "");
  ConfigValues v = ConfigFromOptions(o);
  v.tabPosition = 8;
  v.recentPosition = 16;
  v.checks[static_cast<int>(Check::FullPathOpt)] = true;
  v.colors = {0x000080, 0x0080FF, 0x0000AE, 0xFFFFFF};
  v.fontName = "Mono";
  v.fontSize = 14;
  ApplyConfigValues(v, o, lists);
  EXPECT_EQ(o.TabSize, 48);
  EXPECT_EQ(o.RecentMax, 16);
  EXPECT_EQ(lists.RecentList.size(), 16u);
  EXPECT_TRUE(o.Checked(Check::FullPathOpt));
  EXPECT_EQ(o.BoxBackColor, 0x0000AEu);
  EXPECT_EQ(o.FontNameScreen, "Mono");
  EXPECT_EQ(ConfigFromOptions(o), v);
  v.recentPosition = 4;  // lowering never shortens the list
  ApplyConfigValues(v, o, lists);
  EXPECT_EQ(o.RecentMax, 4);
  EXPECT_EQ(lists.RecentList.size(), 16u);
}

TEST(ConfigValues, DefaultsDifferFromTheStoreDefaultsOnlyInTheSound) {
  const ConfigValues d = DefaultConfigValues();
  ConfigValues fromStore = ConfigFromOptions(AppOptions());
  EXPECT_EQ(d.sound, 2);  // "Asterisk"
  EXPECT_EQ(fromStore.sound, 1);
  fromStore.sound = 2;
  EXPECT_EQ(d, fromStore);
}

TEST(ConfigValues, IdenticalColors) {
  ConfigValues v = DefaultConfigValues();
  EXPECT_EQ(IdenticalColorsText(v), "");
  v.colors[1] = v.colors[0];
  EXPECT_NE(IdenticalColorsText(v).find("\"Background\" color and the \"Text\""), std::string::npos);
  v = DefaultConfigValues();
  v.colors[3] = v.colors[2];
  EXPECT_NE(IdenticalColorsText(v).find("\"Box Background\""), std::string::npos);
}

TEST(ConfigTexts, HintsExamplesAndSizes) {
  EXPECT_EQ(SwatchHintText(0x0080FF), "(Drag'n'Drop)\r\n\r\nHex:  $FF8000\r\nRGB:  255;128;000;");
  EXPECT_EQ(EditorExampleText("Courier New", 10), "Editor example\r\nCourier New  10");
  const std::pair<std::int64_t, const char*> sizes[] = {
      {0, "0.0000 kb"},           {512, "0.5000 kb"},           {1024, "1.0000 kb"},
      {1264157, "1,234.5283 kb"}, {1073741824, "1,048,576.0000 kb"},
  };
  for (const auto& [bytes, text] : sizes) EXPECT_EQ(RecentSizeText(bytes), text);
}

TEST(RecentPage, RowsRememberTheirListIndex) {
  std::vector<std::string> list = {"", "/a", "", "/b", "/c", ""};
  const std::vector<RecentRow> rows = RecentRows(list);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].listIndex, 1u);
  EXPECT_EQ(rows[1].listIndex, 3u);
  // Deleting the rows of "/b" and "/a" removes those files, not whatever
  // sits at row positions 0 and 1 of the list.
  DeleteRecentEntries(list, {rows[1].listIndex, rows[0].listIndex});
  EXPECT_EQ(list, (std::vector<std::string>{"", "", "/c", "", "", ""}));
}

TEST(StoreView, GroupsValuesAndTimes) {
  MemoryStore store;
  store.WriteString(kBaseKey, "OpenCounter", "7");
  store.WriteBinary(kBaseKey, "OpenTimer", EncodeTime(30.0 / 24.0));  // 30 hours
  store.WriteBinary(kBaseKey, "Odd", "abc");
  store.WriteString(kOptionsKey, "TabSize", "48");
  store.WriteString(kRunKey, "Run0", "ls");
  EXPECT_EQ(StoreGroups(store), (std::vector<std::string>{"", "Options", "Run"}));
  const std::vector<StoreRow> base = StoreRows(store, "");
  ASSERT_EQ(base.size(), 3u);
  EXPECT_EQ(base[0].name, "Odd");
  EXPECT_EQ(base[0].kind, StoreRow::Other);
  EXPECT_EQ(base[1].value, "7");
  EXPECT_EQ(base[2].kind, StoreRow::Time);
  EXPECT_EQ(base[2].value, "06:00:00");
  EXPECT_EQ(StoreRows(store, "Options").at(0).value, "48");
  EXPECT_EQ(TimeOfDayText(0.5 + 1.0 / 86400 * 61), "12:01:01");
  EXPECT_EQ(TimeOfDayText(-0.25), "18:00:00");
}

TEST(StoreView, ClearingKeepsTheUsageValues) {
  MemoryStore store;
  store.WriteString(kBaseKey, "OpenCounter", "7");
  store.WriteString(std::string(kOptionsKey) + "\\Colors", "x", "1");
  store.WriteString(kOptionsKey, "TabSize", "48");
  store.WriteString(kRecentKey, "Item0", "/a");
  store.WriteString(kFindKey, "Find0", "f");
  store.WriteString(kRunKey, "Run0", "r");
  store.WriteString(std::string(kBaseKey) + "\\Color Picker", "CustomColors", "c");
  EXPECT_TRUE(ClearOptionKeys(store));
  EXPECT_EQ(StoreGroups(store), (std::vector<std::string>{"", "Color Picker"}));
  EXPECT_EQ(store.ReadString(kBaseKey, "OpenCounter"), "7");
  store.SetFailWrites(true);
  EXPECT_FALSE(ClearOptionKeys(store));
}
