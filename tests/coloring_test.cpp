// Coloring: the engines' ranges, the rich text writer and reader, the
// keyword lists and the commands on the document.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "functions/Coloring.h"
#include "functions/ColoringCommands.h"
#include "functions/RichText.h"
#include "text_function_host.h"

namespace ql {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x008000;
const ColoringColors kColors{kRed, kBlue, kGreen};

// Colors of each character as letters: t(ext), g(tags), d(efinition), '.' other.
std::string ColorMap(const ColorRuns& runs, Offset length) {
  std::string out;
  for (Offset i = 0; i < length; ++i) {
    const std::uint32_t c = runs.At(i).color;
    out += c == kRed ? 't' : c == kBlue ? 'g' : c == kGreen ? 'd' : '.';
  }
  return out;
}

TEST(RichText, HeaderAndWorkedExample) {
  EXPECT_EQ(RtfHeader("Courier New", {kRed, kBlue, kGreen}),
            "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier New;}}\r\n"
            "{\\colortbl\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}\r\n");
  const std::string c0 = "\\plain\\f0\\fs20\\cf0 ", c1 = "\\plain\\f0\\fs20\\cf1 ",
                    c2 = "\\plain\\f0\\fs20\\cf2 ";
  const std::string rtf = HtmlTagsToRtf("<a href=x>hi</a>", {kRed, kBlue, kGreen}, "Courier New", 10);
  EXPECT_EQ(rtf, RtfHeader("Courier New", {kRed, kBlue, kGreen}) + c0 + c1 + "<a href=" + c2 + "x" + c1 + ">" +
                     c0 + "hi" + c1 + "</a" + c1 + ">" + c0 + "\\par }");
  EXPECT_EQ(HtmlTagsToRtf("no tags {\\rtf1}", {kRed, kBlue, kGreen}, "X", 10), "");
  // The font name can neither end the table nor open a tag.
  EXPECT_EQ(RtfFontName("A;}<b>\\{\x01 Mono"), "Ab Mono");
  EXPECT_EQ(RtfEscape("a\\b{c}\td\r\ne"), "a\\\\b\\{c\\}\\tab d\r\n\\par e");
}

TEST(RichText, ReaderRejectsWhatTheWriterNeverWrites) {
  const std::string head = RtfHeader("F", {1, 2, 3});
  const char* bodies[] = {
      "\\plain\\f0\\fs20\\cf0 x",                       // never closed
      "\\plain\\f0\\fs20\\cf0 x}",                      // closed without \par
      "\\plain\\f0\\fs20\\cf3 x\\par }",                // no fourth color
      "\\plain\\f1\\fs20\\cf0 x\\par }",                // no second font
      "\\plain\\f0\\fs20\\cf0 {x}\\par }",              // a group
      "\\plain\\f0\\fs20\\cf0 \\b x\\par }",            // an unknown word
      "\\plain\\f0\\fs20\\cf0 x\\par }}",               // text after the end
      "\\plain\\f0\\fs20\\cf0 x\\par } ",
      "\\plain\\f0\\fs20\\cf0 \\'e9\\par }",            // hex escapes are not ours
      "\\plain\\f0\\fs20\\cf0 x\\",
  };
  for (const char* body : bodies) EXPECT_FALSE(ReadRtf(head + body)) << body;
  EXPECT_FALSE(ReadRtf(""));
  EXPECT_FALSE(ReadRtf("{\\rtf1 hello}"));
  std::string leading = head;
  leading.replace(leading.find("\\red1"), 5, "\\red01");
  EXPECT_FALSE(ReadRtf(leading + "\\par }"));
  EXPECT_TRUE(ReadRtf(head + "\\plain\\f0\\fs20\\cf0 x\\par }"));
}

// Random texts with everything the escapes and the tag scan care about.
std::string RandomText(std::mt19937& rng, int n) {
  static const std::string pieces[] = {"<", ">", "=", "\"", " ", "\t", "\r\n", "\\", "{", "}", "a",
                                       "href", "\\par ", "\\tab", "{\\rtf1", "<p class=\"x y\">", "\xE9",
                                       "\xFF", "\x80", "\x01", ";"};
  std::string s;
  for (int i = 0; i < n; ++i) {
    if (rng() % 4 == 0)
      s += static_cast<char>(128 + rng() % 128);
    else
      s += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
  }
  return s;
}

TEST(RichText, RoundTripOnRandomTexts) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 300; ++round) {
    std::string text = "<" + RandomText(rng, static_cast<int>(rng() % 200));
    const std::array<RtfColor, 3> colors{rng() & 0xFFFFFF, rng() & 0xFFFFFF, rng() & 0xFFFFFF};
    const std::string rtf = HtmlTagsToRtf(text, colors, "Courier New", 1 + static_cast<int>(rng() % 30));
    const std::optional<RtfDocument> doc = ReadRtf(rtf);
    ASSERT_TRUE(doc) << rtf;
    EXPECT_EQ(doc->text, text);
    EXPECT_EQ(doc->colors, colors);
    // The runs cover the text in order.
    std::int64_t at = 0;
    for (const RtfRun& r : doc->runs) {
      EXPECT_EQ(r.start, at);
      EXPECT_GT(r.length, 0);
      at += r.length;
    }
    EXPECT_EQ(at, static_cast<std::int64_t>(text.size()));
  }
}

TEST(Coloring, StandardSpans) {
  MemoryFunctionHost host;
  const std::string text = "[Main]\r\nname=value\r\n;comment=x\r\n//note\r\n/\r\n\r\n[open";
  host.buffer.SetText(text);
  StandardColoringCommand(host, kColors);
  EXPECT_EQ(ColorMap(host.colors, host.buffer.TextLength()),
            "dddddd"      "gg"
            "gggggddddd"  "gg"
            "tttttttttt"  "gg"
            "tttttt"      "gg"
            "g"           "gg"
            "gg"
            "ggggg");
  EXPECT_EQ(host.buffer.Text(), text);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(host.status.back(), "Text has been colored");
  EXPECT_EQ(host.sounds, 1);
}

class KeywordFiles : public ::testing::Test {
 protected:
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("ql_kwl_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                               std::to_string(reinterpret_cast<std::uintptr_t>(this)));
  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  }
};

TEST_F(KeywordFiles, ListsAreFoundInAnyCaseSortedAndOverridden) {
  std::filesystem::create_directories(dir / "user");
  Write("zeta.kwl", "a");
  Write("Batch.KWL", "b");
  Write("alpha.Kwl", "c");
  Write("notes.txt", "d");
  std::filesystem::create_directories(dir / "dir.kwl");
  Write("user/batch.kwl", "e");
  const std::vector<KeywordList> lists = FindKeywordLists({dir.string(), (dir / "user").string()});
  ASSERT_EQ(lists.size(), 3u);
  EXPECT_EQ(lists[0].name, "alpha");
  EXPECT_EQ(lists[1].name, "batch");
  EXPECT_EQ(lists[1].path, (dir / "user" / "batch.kwl").string());
  EXPECT_EQ(lists[2].name, "zeta");
  EXPECT_EQ(lists[0].path, (dir / "alpha.Kwl").string());
}

TEST_F(KeywordFiles, KeywordColoring) {
  EXPECT_EQ(ParseKeywordList("a.b,c\r\nd e\rf\n\n,,x"),
            (std::vector<std::string>{"a", "b", "c", "d e", "f", "x"}));
  const std::string path = Write("Batch.KWL", "echo,set");
  const std::vector<KeywordList> lists = {{"Batch", path}};
  struct Case {
    const char* name;
    std::string text;
    bool upper;
    std::string after;
    std::string map;
  } cases[] = {
      {"words", "ECHO Echo echoes echo1\r\n:label set\r\nset", false, "ECHO Echo echoes echo1\r\n:label set\r\nset",
       "gggg" "t" "gggg" "t" "tttttt" "t" "ggggt" "tt" "dddddddddd" "tt" "ggg"},
      {"upper", "echo x Set", true, "ECHO x SET", "ggggtttggg"},
  };
  for (const Case& c : cases) {
    MemoryFunctionHost host;
    host.buffer.SetText(c.text);
    host.buffer.SetSelection(2, 3);
    KeywordColoringCommand(host, kColors, lists, 0, c.upper);
    EXPECT_EQ(host.buffer.Text(), c.after) << c.name;
    EXPECT_EQ(ColorMap(host.colors, host.buffer.TextLength()), c.map) << c.name;
    EXPECT_TRUE(host.boxes.empty()) << c.name << host.Captions();
    EXPECT_EQ(host.changed, c.upper ? 1 : 0) << c.name;
    EXPECT_EQ(host.buffer.SelStart(), 2);
    EXPECT_EQ(host.buffer.SelLength(), 3);
    if (c.upper) {
      host.buffer.Undo();  // all upper-casing is one step
      EXPECT_EQ(host.buffer.Text(), c.text);
    }
  }
  // Label lines are colored with an empty list too; a missing file is reported.
  MemoryFunctionHost host;
  host.buffer.SetText(":x\r\ny");
  KeywordColoringCommand(host, kColors, {{"Empty", Write("Empty.kwl", "")}}, 0, false);
  EXPECT_EQ(ColorMap(host.colors, host.buffer.TextLength()), "ddttt");
  KeywordColoringCommand(host, kColors, {{"Gone", (dir / "gone.kwl").string()}}, 0, false);
  EXPECT_EQ(host.Captions(), "KeyWord List Load Error!|");
  EXPECT_EQ(ColorMap(host.colors, host.buffer.TextLength()), "ttttt");
  EXPECT_EQ(host.sounds, 2);
  KeywordColoringCommand(host, kColors, {}, 0, false);
  EXPECT_EQ(host.Captions(), "KeyWord List Load Error!|No KeyWord Lists!|");
}

TEST(Coloring, HtmlTagColoring) {
  struct Case {
    const char* name;
    std::string text;
    std::string map;
  } cases[] = {
      {"worked example", "<a href=x>hi</a>", "ggggggggdgttgggg"},
      {"quoted value", "<img alt=\"a b\" src=x>", "gggggggggdddddgggggdg"},
      {"no tag", "plain {\\rtf1 text}", "tttttttttttttttttt"},
      {"escapes", "<b>\\{\t}</b>", "ggg" "tttt" "gggg"},
      {"value to line end", "<a b=c\r\nd>", "ggggg" "d" "gg" "gg"},
      {"unclosed at the end", "x <a b=c", "tt" "ggggg" "d"},
      {"looks like rich text", "{\\rtf1 <b>x</b>}", "ttttttt" "ggg" "t" "gggg" "t"},
  };
  for (const Case& c : cases) {
    MemoryFunctionHost host;
    host.buffer.SetText(c.text);
    HtmlColoringCommand(host, kColors);
    EXPECT_EQ(host.buffer.Text(), c.text) << c.name;
    EXPECT_EQ(ColorMap(host.colors, host.buffer.TextLength()), c.map) << c.name;
    EXPECT_TRUE(host.boxes.empty()) << c.name << host.Captions();
    EXPECT_EQ(host.progressOpen, 0);
    EXPECT_EQ(host.bulkDepth, 0);
    EXPECT_FALSE(host.buffer.CanUndo()) << c.name;  // colors are no edit
  }
}

TEST(Coloring, HtmlTagColoringReportsProgressInWholePercents) {
  MemoryFunctionHost host;
  std::string page;
  while (page.size() < (1 << 20)) page += "<p class=\"x\">text</p>\r\n";
  host.buffer.SetText(page);
  HtmlColoringCommand(host, kColors);
  ASSERT_FALSE(host.percents.empty());
  EXPECT_LE(host.percents.size(), 101u);
  EXPECT_EQ(host.percents.back(), 100);
  for (std::size_t i = 1; i < host.percents.size(); ++i) EXPECT_LT(host.percents[i - 1], host.percents[i]);
  EXPECT_EQ(host.progressCaptions, std::vector<std::string>{"Coloring HTML tags..."});
  EXPECT_EQ(host.buffer.Text(), page);
}

}  // namespace
}  // namespace ql
