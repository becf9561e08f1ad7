// Width tables (x of columns with tabs, clicks) and word wrap (rows of a
// line, the row index of a document under edits), each against a plain
// reference written the slow, obvious way.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/MemoryBuffer.h"
#include "editor/WidthTable.h"
#include "editor/WrapLayout.h"
#include "tests/buffer_cases.h"

using namespace ql;
using namespace ql::buffer_cases;

namespace {

// Integer widths: byte c is 1 + c % 5 pixels wide (bytes 128-255 included),
// tabs every `tab` pixels, so the reference can count exactly.
WidthTable Varied(int tab) {
  WidthTable t;
  for (int c = 0; c < 256; ++c) t.SetAdvance(static_cast<unsigned char>(c), 1 + c % 5);
  t.SetTabWidth(tab);
  return t;
}

// With uniform > 0 every byte is that wide instead (a monospace font); with
// uniform < 0 every byte is -uniform wide but the control and high ones,
// which keep their varied widths (a monospace font with fallback glyphs).
int RefAdvance(unsigned char c, int uniform) {
  if (uniform > 0) return uniform;
  if (uniform < 0 && c >= 0x20 && c < 0x80) return -uniform;
  return 1 + c % 5;
}

long long RefX(const std::string& s, std::size_t column, int tab, int uniform = 0) {
  long long x = 0;
  for (std::size_t i = 0; i < column && i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    x = c == '\t' ? (x / tab + 1) * tab : x + RefAdvance(c, uniform);
  }
  return x;
}

WidthTable Table(int tab, int uniform) {
  if (uniform > 0) return WidthTable::Monospace(uniform, tab);
  WidthTable t = Varied(tab);
  for (int c = 0; c < 256; ++c) t.SetAdvance(static_cast<unsigned char>(c), RefAdvance(static_cast<unsigned char>(c), uniform));
  return t;
}

std::string RandomLine(std::mt19937& rng, int maxLength) {
  static const char pool[] = {'a', 'b', 'W', ' ', ' ', '\t', '.', '\x80', '\xE9', '\xFF', '\xA0', '\x00'};
  std::string s;
  const int n = std::uniform_int_distribution<int>(0, maxLength)(rng);
  for (int i = 0; i < n; ++i) s += pool[std::uniform_int_distribution<int>(0, sizeof pool - 1)(rng)];
  return s;
}

// ---- width table ----

TEST(WidthTable, TabAlwaysReachesTheNextStop) {
  struct Case {
    std::string line;
    Offset column;
    double x;
  };
  // Monospace 8 px, stops every 64 px (eight characters).
  const Case cases[] = {
      {"\t", 1, 64},
      {"abc\t", 4, 64},
      {"abcdefgh\tX", 9, 128},   // a tab right on a stop is a whole stop wide
      {"abcdefg\t", 8, 64},      // one pixel column short of it: to that stop
      {"\t\t", 2, 128},
      {"abcdefghijklmnop\t", 17, 192},
      {"ab", 5, 16},             // columns past the end count the line
      {"ab", -2, 0},
  };
  const WidthTable t = WidthTable::Monospace(8, 64);
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(t.XOfColumn(c.line.data(), static_cast<Offset>(c.line.size()), c.column), c.x)
        << Show(c.line) << " column " << c.column;

  // Advances that do not add up exactly: eight of 7.2 px land on the stop
  // at 57.6 px give or take a rounding, and the tab still takes a whole stop.
  const WidthTable odd = WidthTable::Monospace(7.2, 57.6);
  const std::string eight = "abcdefgh\t";
  EXPECT_NEAR(odd.XOfColumn(eight.data(), 9, 9), 115.2, 1e-6);
  // A tab width of zero would hide tabs: a space's width takes its place.
  WidthTable zero = WidthTable::Monospace(8, 0);
  EXPECT_DOUBLE_EQ(zero.TabWidth(), 8);
  EXPECT_DOUBLE_EQ(zero.EndX("ab\t", 3), 24);
}

TEST(WidthTable, ColumnsAndClicksAgainstReference) {
  std::mt19937 rng(2718);
  for (int tab : {1, 7, 16, 40}) {
    const WidthTable t = Varied(tab);
    for (int i = 0; i < 300; ++i) {
      const std::string s = RandomLine(rng, 60);
      const Offset n = static_cast<Offset>(s.size());
      for (Offset col = 0; col <= n; ++col) {
        const double x = static_cast<double>(RefX(s, static_cast<std::size_t>(col), tab));
        ASSERT_DOUBLE_EQ(t.XOfColumn(s.data(), n, col), x) << Show(s) << " col " << col;
        ASSERT_EQ(t.ColumnAtX(s.data(), n, x), col) << Show(s) << " x " << x;  // every left edge
        if (col < n) {
          const double right = static_cast<double>(RefX(s, static_cast<std::size_t>(col + 1), tab));
          ASSERT_GT(right, x) << "no zero-width character in " << Show(s);
          // Left half of a character: before it; right half: after it.
          ASSERT_EQ(t.ColumnAtX(s.data(), n, x + (right - x) * 0.25), col);
          ASSERT_EQ(t.ColumnAtX(s.data(), n, x + (right - x) * 0.75), col + 1);
          double at = -1;
          ASSERT_EQ(t.FirstColumnPast(s.data(), n, x + (right - x) * 0.5, 0, &at), col);
          ASSERT_DOUBLE_EQ(at, x);
        }
      }
      ASSERT_EQ(t.ColumnAtX(s.data(), n, -5), 0);
      ASSERT_EQ(t.ColumnAtX(s.data(), n, 1e9), n);
      // A slice measured from its own start x gives the same positions.
      if (n > 2) {
        const Offset k = n / 2;
        const double x0 = t.XOfColumn(s.data(), n, k);
        ASSERT_DOUBLE_EQ(t.XOfColumn(s.data() + k, n - k, n - k, x0), t.EndX(s.data(), n));
        ASSERT_EQ(t.ColumnAtX(s.data() + k, n - k, t.EndX(s.data(), n), x0), n - k);
      }
    }
  }
}

// ---- rows of one line ----

// The rule spelled out: grow the row while its measured width fits; then
// hang a blank, or break after the last blank, or before the misfit.
std::vector<Offset> RefRows(const std::string& s, int tab, long long width, int uniform = 0) {
  std::vector<Offset> rows{0};
  std::size_t start = 0;
  const auto rowWidth = [&](std::size_t from, std::size_t to) {
    return RefX(s.substr(from, to - from), to - from, tab, uniform);
  };
  while (true) {
    std::size_t j = start + 1;
    if (start >= s.size()) break;
    while (j < s.size() && rowWidth(start, j + 1) <= width) ++j;
    if (j >= s.size()) break;
    std::size_t next = j;
    if (s[j] == ' ' || s[j] == '\t') {
      next = j + 1;
    } else {
      for (std::size_t k = j; k-- > start;)
        if (s[k] == ' ' || s[k] == '\t') {
          next = k + 1;
          break;
        }
    }
    if (next >= s.size()) break;
    rows.push_back(static_cast<Offset>(next));
    start = next;
  }
  return rows;
}

TEST(WrapRows, Examples) {
  struct Case {
    std::string line;
    double width;
    std::vector<Offset> rows;
  };
  // One pixel per byte, stops every 4.
  const Case cases[] = {
      {"", 10, {0}},
      {"hello world", 11, {0}},
      {"hello world", 10, {0, 6}},          // the blank after "hello" hangs
      {"hello world", 5, {0, 6}},           // "hello" fits exactly, the blank hangs
      {"hello world", 4, {0, 4, 6, 10}},    // no blank fits: cut at the width
      {"a b c d", 4, {0, 4}},               // after the last blank that fits
      {"abcdef", 0.5, {0, 1, 2, 3, 4, 5}},  // at least one character per row
      {"ab\tcd", 5, {0, 3}},                // "d" does not fit: break after the tab
      {"\t\t\t", 4, {0, 2}},                // the second tab hangs
  };
  const WidthTable t = WidthTable::Monospace(1, 4);
  for (const Case& c : cases)
    EXPECT_EQ(WrapRows(c.line.data(), static_cast<Offset>(c.line.size()), t, c.width), c.rows)
        << Show(c.line) << " width " << c.width;
}

TEST(WrapRows, RandomLinesAgainstReference) {
  std::mt19937 rng(1618);
  for (int uniform : {0, 1, 3, -2, -3})  // varied widths, monospace, monospace with odd bytes
    for (int tab : {3, 8, 20}) {
      const WidthTable t = Table(tab, uniform);
      for (int i = 0; i < 2000; ++i) {
        std::string s = RandomLine(rng, 120);
        if (uniform != 0 && i % 2 == 0) s.erase(std::remove(s.begin(), s.end(), '\t'), s.end());
        const long long width = std::uniform_int_distribution<long long>(1, 90)(rng);
        ASSERT_EQ(WrapRows(s.data(), static_cast<Offset>(s.size()), t, static_cast<double>(width)),
                  RefRows(s, tab, width, uniform))
            << Show(s) << " width " << width << " tab " << tab << " uniform " << uniform;
      }
    }
}

// ---- the row index of a document ----

struct RefLayout {
  std::vector<std::vector<Offset>> rows;  // per physical line, absolute starts
  std::vector<Offset> lineEnds;
  Offset total = 0;
};

RefLayout Reference(const std::string& text, int tab, long long width, int uniform = 0) {
  RefLayout out;
  const std::vector<Offset> starts = NaiveStarts(text);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const Offset end = i + 1 < starts.size() ? starts[i + 1] - 2 : static_cast<Offset>(text.size());
    std::vector<Offset> r = RefRows(text.substr(starts[i], end - starts[i]), tab, width, uniform);
    for (Offset& x : r) x += starts[i];
    out.total += static_cast<Offset>(r.size());
    out.rows.push_back(r);
    out.lineEnds.push_back(end);
  }
  return out;
}

void ExpectSameRows(WrapIndex& wrap, MemoryBuffer& doc, const RefLayout& ref, std::mt19937& rng, const std::string& at) {
  ASSERT_TRUE(wrap.Complete()) << at;
  ASSERT_EQ(wrap.RowCount(), ref.total) << at;
  Offset row = 0;
  for (std::size_t line = 0; line < ref.rows.size(); ++line) {
    ASSERT_EQ(wrap.RowsOfLine(static_cast<Offset>(line)), static_cast<Offset>(ref.rows[line].size())) << at << " line " << line;
    ASSERT_EQ(wrap.FirstRowOfLine(static_cast<Offset>(line)), row) << at << " line " << line;
    row += static_cast<Offset>(ref.rows[line].size());
  }
  // A screenful from a random row, and the row of random offsets.
  const Offset first = std::uniform_int_distribution<Offset>(0, ref.total - 1)(rng);
  const std::vector<WrapIndex::Row> rows = wrap.Rows(first, 7);
  Offset expectRow = first;
  for (const WrapIndex::Row& r : rows) {
    const WrapIndex::Row l = wrap.LineOfRow(expectRow);
    ASSERT_EQ(r.line, l.line) << at;
    ASSERT_EQ(r.rowInLine, l.rowInLine) << at;
    const std::vector<Offset>& lr = ref.rows[static_cast<std::size_t>(r.line)];
    ASSERT_EQ(r.start, lr[static_cast<std::size_t>(r.rowInLine)]) << at;
    const Offset end = r.rowInLine + 1 < static_cast<Offset>(lr.size()) ? lr[static_cast<std::size_t>(r.rowInLine + 1)]
                                                                        : ref.lineEnds[static_cast<std::size_t>(r.line)];
    ASSERT_EQ(r.end, end) << at;
    ++expectRow;
  }
  ASSERT_EQ(static_cast<Offset>(rows.size()), std::min<Offset>(7, ref.total - first)) << at;
  for (int k = 0; k < 5; ++k) {
    const Offset pos = RandomBoundary(rng, doc.Text());
    const WrapIndex::Row r = wrap.RowOfOffset(pos);
    const std::vector<Offset>& lr = ref.rows[static_cast<std::size_t>(r.line)];
    const Offset idx = static_cast<Offset>(std::upper_bound(lr.begin(), lr.end(), pos) - lr.begin()) - 1;
    ASSERT_EQ(r.line, doc.OffsetToLine(pos)) << at;
    ASSERT_EQ(r.rowInLine, idx) << at << " pos " << pos;
    ASSERT_EQ(r.start, lr[static_cast<std::size_t>(idx)]) << at;
  }
}

TEST(WrapIndex, FollowsRandomEditsUndoAndSetText) {
  std::mt19937 rng(5150);
  const int tab = 8;
  const long long width = 30;
  MemoryBuffer doc;
  std::string text;
  for (int i = 0; i < 60; ++i) text += RandomLine(rng, 90) + "\r\n";
  doc.SetText(text);
  WrapIndex wrap(doc);
  wrap.SetLayout(Varied(tab), width);
  EXPECT_FALSE(wrap.Complete());
  while (!wrap.ComputeSome(100)) {
  }
  for (int step = 0; step < 400; ++step) {
    const std::string at = "step " + std::to_string(step);
    const std::string model = doc.Text();
    const int op = std::uniform_int_distribution<int>(0, 9)(rng);
    if (op == 0 && doc.CanUndo()) {
      doc.Undo();
    } else if (op == 1 && doc.CanRedo()) {
      doc.Redo();
    } else if (op == 2 && step % 50 == 0) {
      std::string fresh;
      for (int i = 0; i < 20; ++i) fresh += RandomLine(rng, 60) + "\n";
      doc.SetText(fresh);
    } else {
      const Offset a = RandomBoundary(rng, model), e = NearBoundary(rng, model, a);
      std::string insert = RandomLine(rng, 30);
      if (rng() % 3 == 0) insert += "\r\n" + RandomLine(rng, 50);
      doc.ReplaceRange(a, e - a, insert);
    }
    // Rows asked for before the background finished are already right.
    const Offset pos = RandomBoundary(rng, doc.Text());
    const WrapIndex::Row early = wrap.RowOfOffset(pos);
    const RefLayout ref = Reference(doc.Text(), tab, width);
    const std::vector<Offset>& lr = ref.rows[static_cast<std::size_t>(early.line)];
    ASSERT_EQ(early.start, *(std::upper_bound(lr.begin(), lr.end(), pos) - 1)) << at;
    while (!wrap.ComputeSome(std::uniform_int_distribution<Offset>(1, 500)(rng))) {
    }
    ExpectSameRows(wrap, doc, ref, rng, at);
  }
  // Without wrapping every line is one row.
  wrap.SetLayout(Varied(tab), 0);
  EXPECT_TRUE(wrap.Complete());
  EXPECT_EQ(wrap.RowCount(), doc.PhysicalLines());
}

// Thousands of lines, so blocks start without per-line entries: rows asked
// for and edits made before the count is done are right for their lines,
// and the count ends exact.
TEST(WrapIndex, ManyLinesBeforeTheCountIsDone) {
  std::mt19937 rng(777);
  const int tab = 8;
  const long long width = 40;
  std::string text;
  for (int i = 0; i < 6000; ++i) text += RandomLine(rng, 70) + "\r\n";
  MemoryBuffer doc;
  doc.SetText(text);
  WrapIndex wrap(doc);
  wrap.SetLayout(Varied(tab), width);
  for (int step = 0; step < 60; ++step) {
    const std::string at = "step " + std::to_string(step);
    const std::string model = doc.Text();
    const Offset a = RandomBoundary(rng, model), e = NearBoundary(rng, model, a);
    doc.ReplaceRange(a, e - a, step % 3 ? RandomLine(rng, 20) : "\r\n" + RandomLine(rng, 50) + "\r\n");
    const RefLayout ref = Reference(doc.Text(), tab, width);
    for (int k = 0; k < 5; ++k) {
      const Offset pos = RandomBoundary(rng, doc.Text());
      const WrapIndex::Row r = wrap.RowOfOffset(pos);
      const std::vector<Offset>& lr = ref.rows[static_cast<std::size_t>(r.line)];
      ASSERT_EQ(r.start, *(std::upper_bound(lr.begin(), lr.end(), pos) - 1)) << at;
      const Offset first = std::uniform_int_distribution<Offset>(0, wrap.RowCount() - 1)(rng);
      for (const WrapIndex::Row& row : wrap.Rows(first, 5)) {
        const std::vector<Offset>& rows = ref.rows[static_cast<std::size_t>(row.line)];
        ASSERT_LT(row.rowInLine, static_cast<Offset>(rows.size())) << at;
        ASSERT_EQ(row.start, rows[static_cast<std::size_t>(row.rowInLine)]) << at;
      }
    }
    wrap.ComputeSome(20000);
  }
  while (!wrap.ComputeSome(1 << 16)) {
  }
  ExpectSameRows(wrap, doc, Reference(doc.Text(), tab, width), rng, "done");
}

// Lines longer than the piecewise threshold: rows are found from
// checkpoints, edits keep the part before them, and the total stays exact.
class LongLines : public ::testing::TestWithParam<int> {};

TEST_P(LongLines, UnderEdits) {
  std::mt19937 rng(404);
  const int tab = 8;
  const long long width = 120;
  const int uniform = GetParam();
  std::string text = "short first line\r\n";
  for (int i = 0; i < 12000; ++i) text += RandomLine(rng, 30) + (i % 3 ? " " : "");
  text += "\r\nlast\r\n" + std::string(70000, 'x');
  MemoryBuffer doc;
  doc.SetText(text);
  WrapIndex wrap(doc);
  wrap.SetLayout(Table(tab, uniform), width);
  // Rows near the middle of the long line before anything was counted.
  const Offset middle = doc.LineStart(1) + (doc.LineEnd(1) - doc.LineStart(1)) / 2;
  doc.SetSelection(middle, 0);
  doc.TypeText("q", false);  // the gap sits in the middle of the line
  const WrapIndex::Row r = wrap.RowOfOffset(middle);
  RefLayout ref = Reference(doc.Text(), tab, width, uniform);
  const std::vector<Offset>& lr = ref.rows[1];
  const Offset idx = static_cast<Offset>(std::upper_bound(lr.begin(), lr.end(), middle) - lr.begin()) - 1;
  EXPECT_EQ(r.rowInLine, idx);
  EXPECT_EQ(r.start, lr[static_cast<std::size_t>(idx)]);
  while (!wrap.ComputeSome(1 << 14)) {
  }
  ExpectSameRows(wrap, doc, ref, rng, "loaded");
  for (int step = 0; step < 40; ++step) {
    const std::string model = doc.Text();
    const Offset line = 1 + (step % 2) * 2;  // the long lines
    const Offset a = doc.LineStart(line) + std::uniform_int_distribution<Offset>(0, doc.LineEnd(line) - doc.LineStart(line))(rng);
    const Offset e = std::min<Offset>(a + rng() % 20, doc.LineEnd(line));
    doc.ReplaceRange(a, e - a, step % 7 == 0 ? "x\r\ny" : RandomLine(rng, 15));
    while (!wrap.ComputeSome(1 << 14)) {
    }
    ref = Reference(doc.Text(), tab, width, uniform);
    ExpectSameRows(wrap, doc, ref, rng, "long step " + std::to_string(step));
  }
}

INSTANTIATE_TEST_SUITE_P(WrapIndex, LongLines, ::testing::Values(0, 2, -2));

// A row longer than the bytes the index reads at a time, across the gap.
TEST(WrapIndex, RowLongerThanOneRead) {
  MemoryBuffer doc;
  doc.SetText(std::string(1500000, 'a') + "\r\nb");
  doc.SetSelection(700000, 0);
  doc.TypeText("a", false);
  for (int uniform : {0, 1}) {
    WrapIndex wrap(doc);
    wrap.SetLayout(uniform ? WidthTable::Monospace(1, 8) : Varied(8), uniform ? 1200000 : 1200000 * 3);
    const WrapIndex::Row r = wrap.RowOfOffset(1300000);
    EXPECT_EQ(r.rowInLine, 1) << uniform;
    EXPECT_EQ(r.start, 1200000) << uniform;
    EXPECT_EQ(r.end, 1500001) << uniform;
    while (!wrap.ComputeSome(1 << 20)) {
    }
    EXPECT_EQ(wrap.RowCount(), 3) << uniform;
  }
}

}  // namespace
