#include <gtest/gtest.h>

#include <cstdint>
#include <map>

#include "app/RecentList.h"

using namespace ql;

namespace {

using List = std::vector<std::string>;

// A few files on a pretend disk; anything else is missing.
struct FakeDisk {
  std::map<std::string, std::int64_t> files;
  std::optional<std::int64_t> Size(const std::string& path) const {
    const auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  auto SizeFn() const {
    return [this](const std::string& p) { return Size(p); };
  }
  auto ExistsFn() const {
    return [this](const std::string& p) { return Size(p).has_value(); };
  }
};

TEST(RecentList, AddToRecent) {
  struct Case {
    const char* name;
    List start;
    std::string doc;
    int max;
    List want;
  };
  const Case cases[] = {
      {"into free slots", {"", "", ""}, "/a", 3, {"/a", "", ""}},
      {"moves to the top, count kept", {"/a", "/b", "/c", ""}, "/c", 4, {"/c", "/a", "/b", ""}},
      {"already on top", {"/a", "/b", ""}, "/a", 3, {"/a", "/b", ""}},
      {"every equal entry goes", {"/a", "/x", "/a"}, "/a", 3, {"/a", "/x", ""}},
      {"letter case counts", {"/d/a.txt", ""}, "/d/A.TXT", 2, {"/d/A.TXT", "/d/a.txt"}},
      {"full list drops the last", {"/a", "/b", "/c"}, "/d", 3, {"/d", "/a", "/b"}},
      {"lowered maximum trims", {"/a", "/b", "/c", "/d", ""}, "/e", 2, {"/e", "/a"}},
      {"raised maximum grows", {"/a"}, "/b", 3, {"/b", "/a"}},
      {"negative maximum empties", {"/a", "/b"}, "/c", -1, {}},
      {"empty name inserts nothing", {"", "/a", ""}, "", 3, {"/a", "", ""}},
  };
  for (const Case& c : cases) {
    List list = c.start;
    AddToRecent(list, c.doc, c.max);
    EXPECT_EQ(list, c.want) << c.name;
  }
}

TEST(RecentList, OpenedInTurnWithDifferentCase) {
  List list(12, "");
  for (const char* doc : {"/d/a.txt", "/d/b.txt", "/d/A.TXT"}) AddToRecent(list, doc, 12);
  List want = {"/d/A.TXT", "/d/b.txt", "/d/a.txt"};
  want.resize(12);
  EXPECT_EQ(list, want);

  // The open document is hidden; the other two keep their list index as tag.
  FakeDisk disk{{{"/d/a.txt", 10}, {"/d/b.txt", 20}, {"/d/A.TXT", 30}}};
  const auto items = BuildRecentItems(list, 12, "/d/A.TXT", disk.SizeFn());
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].caption, "&0  /d/b.txt");
  EXPECT_EQ(items[0].tag, 1);
  EXPECT_EQ(items[0].path, "/d/b.txt");
  EXPECT_EQ(items[1].caption, "&1  /d/a.txt");
  EXPECT_EQ(items[1].tag, 2);
}

TEST(RecentList, RemoveObsolete) {
  struct Case {
    const char* name;
    List start;
    List want;
  };
  const Case cases[] = {
      {"run of missing files", {"/g1", "/g2", "/g3", "/k1", "", "/g4", "/k2"},
       {"/k1", "", "/k2", "", "", "", ""}},
      {"missing at the end", {"/k1", "/g1"}, {"/k1", ""}},
      {"all missing", {"/g1", "/g2"}, {"", ""}},
      {"nothing missing", {"/k1", "", "/k2"}, {"/k1", "", "/k2"}},
      {"empty list", {}, {}},
  };
  FakeDisk disk{{{"/k1", 1}, {"/k2", 2}}};
  for (const Case& c : cases) {
    List list = c.start;
    RemoveObsolete(list, disk.ExistsFn());
    EXPECT_EQ(list, c.want) << c.name;
  }
}

TEST(RecentList, ClearKeepsTheCount) {
  List list = {"/a", "", "/b"};
  ClearRecent(list);
  EXPECT_EQ(list, List(3, ""));
  FakeDisk disk{{{"/a", 1}}};
  EXPECT_TRUE(BuildRecentItems(list, 3, "Untitled", disk.SizeFn()).empty());
}

TEST(RecentList, MenuItems) {
  FakeDisk disk{{{"/home/u/R&D/plan.txt", 1536}, {"/x/big.log", 1234567890}, {"noslash", 0}}};
  struct Case {
    const char* name;
    std::string path;
    std::string caption;
    std::string hint;
    bool enabled;
  };
  const Case cases[] = {
      {"ampersand shown", "/home/u/R&D/plan.txt", "&0  /home/u/R&&D/plan.txt",
       "File: \"plan.txt\"     Size: 1.5000 kb", true},
      {"separators", "/x/big.log", "&0  /x/big.log", "File: \"big.log\"     Size: 1,205,632.7051 kb",
       true},
      {"name without directory", "noslash", "&0  noslash", "File: \"noslash\"     Size: 0.0000 kb",
       true},
      {"missing file", "/gone/a&b.txt", "&0  /gone/a&&b.txt", "File not found: \"/gone/a&b.txt\"",
       false},
  };
  for (const Case& c : cases) {
    const auto items = BuildRecentItems({"", c.path}, 2, "Untitled", disk.SizeFn());
    ASSERT_EQ(items.size(), 1u) << c.name;
    EXPECT_EQ(items[0].caption, c.caption) << c.name;
    EXPECT_EQ(items[0].hint, c.hint) << c.name;
    EXPECT_EQ(items[0].enabled, c.enabled) << c.name;
    EXPECT_EQ(items[0].tag, 1) << c.name;
  }
}

TEST(RecentList, ItemCount) {
  FakeDisk disk{{{"/a", 1}}};
  struct Case {
    const char* name;
    List list;
    int max;
    std::string doc;
    std::size_t want;  // 0: the menu shows "No files"
  };
  const Case cases[] = {
      {"all slots free", List(12, ""), 12, "Untitled", 0},
      {"only the open document", {"/a", "", ""}, 3, "/a", 0},
      {"zero maximum", {"/a"}, 0, "Untitled", 0},
      {"negative maximum", {"/a"}, -3, "Untitled", 0},
      {"first maximum entries only", {"/a", "/b", "/c", "/d"}, 2, "Untitled", 2},
      {"maximum past the list", {"/a", "/b", "/c", "/d"}, 9, "Untitled", 4},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BuildRecentItems(c.list, c.max, c.doc, disk.SizeFn()).size(), c.want) << c.name;
}

TEST(RecentList, HexCaptionsPastFifteen) {
  List list;
  for (int i = 0; i < 20; ++i) list.push_back("/f" + std::to_string(i));
  list.insert(list.begin() + 3, "");  // a free slot does not take a number
  FakeDisk disk;
  const auto items = BuildRecentItems(list, 21, "Untitled", disk.SizeFn());
  ASSERT_EQ(items.size(), 20u);
  const std::pair<int, std::string> want[] = {
      {0, "&0  /f0"}, {3, "&3  /f3"}, {9, "&9  /f9"}, {10, "&A  /f10"},
      {15, "&F  /f15"}, {16, "&10  /f16"}, {19, "&13  /f19"},
  };
  for (const auto& [index, caption] : want) EXPECT_EQ(items[index].caption, caption);
  EXPECT_EQ(items[3].tag, 4);
}

TEST(RecentList, FormatKb) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {0, "0.0000"},
      {1, "0.0010"},              // 0.0009765625 rounds up
      {1023, "0.9990"},           // 0.9990234375
      {1024, "1.0000"},
      {1536, "1.5000"},
      {1024 * 1023 + 1023, "1,023.9990"},
      {1024 * 999 + 1023, "999.9990"},
      {1024LL * 1000, "1,000.0000"},
      {1234567890, "1,205,632.7051"},  // .70507812 rounds up
      {1024LL * 1000000, "1,000,000.0000"},
      {3277, "3.2002"},           // 3.2001953125
      {32, "0.0313"},             // 0.03125: an exact half goes up
      {1024 * 7 + 32, "7.0313"},
      {INT64_MAX, "9,007,199,254,740,991.9990"},
  };
  for (const auto& [bytes, want] : cases) EXPECT_EQ(FormatKb(bytes), want) << bytes;
}

}  // namespace
