#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PrintLayout.h"

using namespace ql;

namespace {

std::vector<std::string> Texts(const std::string& text) {
  std::vector<std::string> out;
  for (const PrintedLine& l : PrintedLines(text)) out.push_back(text.substr(l.start, l.length));
  return out;
}

TEST(PrintLayout, JobTitle) {
  struct Case {
    std::string doc;
    std::int64_t size;
    std::string title;
  };
  const Case cases[] = {
      {"/docs/a.txt", 2048, "a.txt  (2.0000 kb)"},
      {"/docs/big.log", 1234567890, "big.log  (1,205,632.7051 kb)"},
      {"/docs/empty", 0, "empty  (0.0000 kb)"},
      {"/docs/odd", 1, "odd  (0.0010 kb)"},
      // No file: the size of a missing file, -1 bytes.
      {"Untitled", -1, "Untitled  (-0.0010 kb)"},
  };
  for (const Case& c : cases) EXPECT_EQ(PrintJobTitle(c.doc, c.size), c.title) << c.doc;
}

TEST(PrintLayout, PrintedLinesAreTheEditorsLinesAfterTwoBlankOnes) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"empty document", "", {"", ""}},
      {"one line", "abc", {"", "", "abc"}},
      {"break at the end prints no empty line", "abc\r\n", {"", "", "abc"}},
      {"empty lines inside stay", "a\r\n\r\nb", {"", "", "a", "", "b"}},
      {"two breaks at the end", "a\r\n\r\n", {"", "", "a", ""}},
      {"only a break", "\r\n", {"", "", ""}},
      {"tabs and lone CR stay in the line", "a\tb\rc\r\nd", {"", "", "a\tb\rc", "d"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Texts(c.text), c.lines) << c.name;
}

TEST(PrintLayout, PaginationOfAKnownText) {
  // 10 lines of text + the 2 blank ones; 5 lines of 12 fit a page of 65.
  std::string text;
  for (int i = 1; i <= 10; ++i) text += "line " + std::to_string(i) + "\r\n";
  const auto lines = PrintedLines(text);
  ASSERT_EQ(lines.size(), 12u);
  const auto pages = Paginate(lines.size(), 12, 65);
  EXPECT_EQ(pages, (std::vector<PrintPage>{{0, 5}, {5, 5}, {10, 2}}));
  // Page 2 starts with "line 4".
  EXPECT_EQ(text.substr(lines[pages[1].first].start, lines[pages[1].first].length), "line 4");
  EXPECT_EQ(text.substr(lines[11].start, lines[11].length), "line 10");
}

TEST(PrintLayout, Paginate) {
  using P = std::vector<PrintPage>;
  struct Case {
    const char* name;
    std::size_t lines;
    double lineHeight, pageHeight;
    P pages;
  };
  const Case cases[] = {
      {"no lines no pages", 0, 10, 100, {}},
      {"the empty document's job", 2, 10, 100, {{0, 2}}},
      {"exactly full", 10, 10, 100, {{0, 10}}},
      {"one more", 11, 10, 100, {{0, 10}, {10, 1}}},
      {"fraction of a line left unused", 7, 10, 39.9, {{0, 3}, {3, 3}, {6, 1}}},
      {"line taller than the page: one a page", 3, 50, 20, {{0, 1}, {1, 1}, {2, 1}}},
      {"zero line height still ends", 2, 0, 100, {{0, 1}, {1, 1}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Paginate(c.lines, c.lineHeight, c.pageHeight), c.pages) << c.name;
}

TEST(PrintLayout, PlaceLineExpandsTabsAndCutsAtTheEdge) {
  const WidthTable w = WidthTable::Monospace(10, 80);  // tab stops every 8 columns
  using V = std::vector<PlacedByte>;
  struct Case {
    const char* name;
    std::string line;
    double x0, maxX;
    V placed;
  };
  const Case cases[] = {
      {"plain", "ab", 40, 1000, {{0, 40}, {1, 50}}},
      {"tab to the next stop from the text start", "a\tb", 40, 1000, {{0, 40}, {2, 120}}},
      {"tab on a stop is a whole stop", "\tb", 40, 1000, {{1, 120}}},
      {"two tabs", "\t\tc", 0, 1000, {{2, 160}}},
      {"blanks draw nothing but take room", "a b", 0, 1000, {{0, 0}, {2, 20}}},
      {"cut at the right edge", "abcdef", 0, 30, {{0, 0}, {1, 10}, {2, 20}}},
      {"a tab past the edge ends the line", "a\tb", 0, 50, {{0, 0}}},
      {"empty", "", 40, 1000, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceLine(c.line, w, c.x0, c.maxX), c.placed) << c.name;
}

}  // namespace
