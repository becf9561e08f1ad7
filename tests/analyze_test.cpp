// The page analyzer's parser and rows.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "dialogs/Analyze.h"

using namespace ql;

namespace {

TEST(Analyze, KindByExtension) {
  struct Case {
    const char* name;
    PageKind kind;
  } cases[] = {
      {"/d/notes.TXT", PageKind::Text}, {"/d/notes.txt", PageKind::Text}, {"/d/page.Html", PageKind::Html},
      {"/d/a.htm", PageKind::Html},     {"/d/readme.me", PageKind::Other}, {"Untitled", PageKind::Other},
      {"/d.htm/file", PageKind::Other}, {"/d/x.html.bak", PageKind::Other},
  };
  for (const Case& c : cases) EXPECT_EQ(PageKindOf(c.name), c.kind) << c.name;
}

TEST(Analyze, Title) {
  EXPECT_EQ(FindTitle("<html><title>My page</title>"), std::optional<std::string>("My page"));
  EXPECT_EQ(FindTitle("<TITLE></TITLE>"), std::optional<std::string>(""));
  EXPECT_EQ(FindTitle("<TITLE>a<b>c</TITLE>"), std::optional<std::string>("a"));
  EXPECT_EQ(FindTitle("<TITLE>no end"), std::optional<std::string>(""));
  EXPECT_EQ(FindTitle("<TITLEX>x</TITLEX>"), std::nullopt);
  EXPECT_EQ(FindTitle("plain"), std::nullopt);
}

TEST(Analyze, Anchors) {
  struct Case {
    std::string text;
    std::vector<PageAnchor> anchors;
  } cases[] = {
      {"x<A HREF=\"a.htm\">A</A>y", {{1, 22, "A", "a.htm"}}},
      {"<a href=\"b.htm\"><IMG SRC=\"i.gif\"></a>", {{0, 37, "<IMG SRC=\"i.gif\">", "b.htm"}}},
      // Not anchors: <ABBR>, <AREA>, <A> without white space.
      {"<ABBR HREF=x>t</ABBR><AREA HREF=y><A>z</A>", {}},
      // White space of any kind after <A.
      {"<a\r\nhref='q r.htm'>t</a>", {{0, 24, "t", "q r.htm"}}},
      {"<a\thref=x.htm title=t>t</a>", {{0, 27, "t", "x.htm"}}},
      {"<a href=x.htm>t</a>", {{0, 19, "t", "x.htm"}}},
      // HREF only inside the opening tag; not inside another name.
      {"<a name=top>t</a><a href=z>u</a>", {{0, 17, "t", ""}, {17, 32, "u", "z"}}},
      {"<a data-href=x>t</a>", {{0, 20, "t", ""}}},
      // An unclosed quote ends at the tag's end.
      {"<a href=\"x.htm>t</a>", {{0, 20, "t", "x.htm"}}},
      // No "</A>": the anchor is its opening tag; no ">": the rest of the text.
      {"<a href=x>t", {{0, 10, "", "x"}}},
      {"<a href=x", {{0, 9, "", "x"}}},
      {"<a href=\"x\" <b>", {{0, 15, "", "x"}}},
      // Two anchors to the same target.
      {"<a href=s>1</a><a href=s>2</a>", {{0, 15, "1", "s"}, {15, 30, "2", "s"}}},
      // Nested: the outer name runs to the first "</A>".
      {"<a href=o>1<a href=i>2</a>", {{0, 26, "1<a href=i>2", "o"}, {11, 26, "2", "i"}}},
  };
  for (const Case& c : cases) {
    const std::vector<PageAnchor> got = FindAnchors(c.text);
    ASSERT_EQ(got.size(), c.anchors.size()) << c.text;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].start, c.anchors[i].start) << c.text << " #" << i;
      EXPECT_EQ(got[i].end, c.anchors[i].end) << c.text << " #" << i;
      EXPECT_EQ(got[i].name, c.anchors[i].name) << c.text << " #" << i;
      EXPECT_EQ(got[i].location, c.anchors[i].location) << c.text << " #" << i;
      EXPECT_LE(got[i].start, got[i].end);
      EXPECT_LE(got[i].end, static_cast<std::int64_t>(c.text.size()));
    }
  }
}

TEST(Analyze, LinkKinds) {
  struct Case {
    const char* location;
    LinkKind kind;
  } cases[] = {
      {"mailto:a@b.c", LinkKind::Mail}, {"MAILTO:a@b.c", LinkKind::Mail},
      {"http://x.org", LinkKind::Web},  {"https://x.org", LinkKind::Web},
      {"ftp://x.org/f", LinkKind::Web}, {"WWW.x.org", LinkKind::Web},
      {"#top", LinkKind::Anchor},       {"page.htm", LinkKind::MissingFile},
      {"../a/b.htm", LinkKind::MissingFile}, {"", LinkKind::Anchor},
      {"c:x", LinkKind::MissingFile},   {"1a:x", LinkKind::MissingFile},
  };
  for (const Case& c : cases) EXPECT_EQ(LinkKindOf(c.location), c.kind) << c.location;
}

TEST(Analyze, LocalPaths) {
  EXPECT_EQ(LocalLinkPath("/w/index.htm", "img/a.gif"), "/w/img/a.gif");
  EXPECT_EQ(LocalLinkPath("/w/index.htm", "b.htm#part"), "/w/b.htm");
  EXPECT_EQ(LocalLinkPath("/w/index.htm", "b.htm?q=1"), "/w/b.htm");
  EXPECT_EQ(LocalLinkPath("/w/index.htm", "my%20page.htm"), "/w/my page.htm");
  EXPECT_EQ(LocalLinkPath("/w/index.htm", "caf\xE9.htm"), "/w/caf\xC3\xA9.htm");
  EXPECT_EQ(LocalLinkPath("/w/index.htm", "50%.htm"), "/w/50%.htm");
}

TEST(Analyze, KbText) {
  EXPECT_EQ(KbText(0), "0.00 kb");
  EXPECT_EQ(KbText(1024), "1.00 kb");
  EXPECT_EQ(KbText(1264197), "1,234.57 kb");
  EXPECT_EQ(KbText(5), "0.00 kb");
  EXPECT_EQ(KbText(6), "0.01 kb");  // 0.00586 rounds up
  EXPECT_EQ(KbText(1024LL * 1000000), "1,000,000.00 kb");
}

TEST(Analyze, RowsByKind) {
  const PageAnalysis txt = AnalyzePage("/d/notes.txt", "Plain text document", "", 0);
  ASSERT_EQ(txt.general.size(), 4u);
  EXPECT_EQ(txt.general[0].name, "Type:");
  EXPECT_EQ(txt.general[1].value, "0");  // characters
  EXPECT_EQ(txt.general[2].icon, kIconText);
  EXPECT_EQ(txt.general[3].value, "0");  // words
  EXPECT_TRUE(txt.links.empty());

  EXPECT_TRUE(AnalyzePage("/d/readme.me", "", "<a href=x>t</a>", 1).general.empty());
  EXPECT_TRUE(AnalyzePage("Untitled", "", "<a href=x>t</a>", 1).links.empty());

  const std::string page = "<title>My page</title>\r\n<A HREF=\"mailto:x@y\">me</A> two words";
  const PageAnalysis html = AnalyzePage("/nowhere/page.Html", "", page, 2);
  ASSERT_EQ(html.general.size(), 5u);
  EXPECT_EQ(html.general[1].value, std::to_string(page.size()));
  EXPECT_EQ(html.general[2].value, "2");
  EXPECT_EQ(html.general[2].icon, kIconHtml);
  EXPECT_EQ(html.general[4].name, "Title:");
  EXPECT_EQ(html.general[4].value, "My page");
  ASSERT_EQ(html.links.size(), 1u);
  EXPECT_EQ(html.links[0].kind, LinkKind::Mail);
}

TEST(Analyze, LocalFilesOnDisk) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "ql_analyze_test";
  std::filesystem::create_directories(dir / "sub");
  std::ofstream(dir / "there.htm") << std::string(2048, 'x');
  std::ofstream(dir / "sp ace.htm") << "y";
  const std::string doc = (dir / "index.htm").string();
  const std::string page =
      "<a href=there.htm>1</a><a href=gone.htm>2</a><a href=sub>3</a><a href=\"there.htm#s\">4</a>"
      "<a href=sp%20ace.htm>5</a><a href=https://x.org/there.htm>6</a>";
  const PageAnalysis a = AnalyzePage(doc, "", page, 1);
  ASSERT_EQ(a.links.size(), 6u);
  EXPECT_EQ(a.links[0].kind, LinkKind::LocalFile);
  EXPECT_EQ(a.links[0].size, "2.00 kb");
  EXPECT_EQ(a.links[0].path, (dir / "there.htm").string());
  EXPECT_EQ(a.links[1].kind, LinkKind::MissingFile);
  EXPECT_EQ(a.links[1].size, "");
  EXPECT_EQ(a.links[2].kind, LinkKind::MissingFile);  // a folder is no file
  EXPECT_EQ(a.links[3].kind, LinkKind::LocalFile);
  EXPECT_EQ(a.links[4].kind, LinkKind::LocalFile);
  EXPECT_EQ(a.links[5].kind, LinkKind::Web);
  std::filesystem::remove_all(dir);
}

// Anchors whose closing tags are all missing, or that all share the last one.
TEST(Analyze, ManyMalformedAnchors) {
  std::string unclosed, nested;
  for (int i = 0; i < 50000; ++i) {
    unclosed += "<a href=x" + std::to_string(i) + ">t ";
    nested += "<a href=y>" + std::string(40, 'n');
  }
  nested += "</a>";
  EXPECT_EQ(FindAnchors(unclosed).size(), 50000u);
  const std::vector<PageAnchor> n = FindAnchors(nested);
  ASSERT_EQ(n.size(), 50000u);
  EXPECT_EQ(n.back().name, std::string(40, 'n'));
  EXPECT_LE(n.front().name.size(), 1027u);  // a name that runs on is cut
  EXPECT_EQ(n.front().end, static_cast<std::int64_t>(nested.size()));
}

}  // namespace
