#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/GapBuffer.h"
#include "editor/LineIndex.h"
#include "editor/MemoryBuffer.h"
#include "tests/buffer_cases.h"

using namespace ql;
using namespace ql::buffer_cases;

namespace {

// ---- the shared rules ----

TEST(MemoryBuffer, SharedCases) {
  const std::vector<std::string> failures =
      RunBufferCases([] { return std::unique_ptr<EditorBuffer>(new MemoryBuffer); }, 3000);
  for (const std::string& f : failures) ADD_FAILURE() << f;
  EXPECT_TRUE(failures.empty());
}

// ---- choices of the in-memory buffer ----

TEST(MemoryBuffer, Defaults) {
  MemoryBuffer b;
  EXPECT_EQ(b.DefaultAttributes().fontName, "Courier New");
  EXPECT_EQ(b.DefaultAttributes().fontSize, 10);
  EXPECT_EQ(b.DefaultAttributes().color, 0x80000008u);
  EXPECT_EQ(b.TabStopPoints(), 48);
}

TEST(MemoryBuffer, UndoSelectsWhatItBringsBack) {
  MemoryBuffer b;
  b.SetText("one\r\ntwo");
  b.SetSelection(2, 4);
  b.ReplaceSelection("");
  b.SetSelection(0, 0);  // the caret moved away meanwhile
  b.Undo();
  EXPECT_EQ(b.Text(), "one\r\ntwo");
  EXPECT_EQ(b.SelStart(), 2);
  EXPECT_EQ(b.SelText(), "e\r\nt");
  EXPECT_EQ(b.Caret(), (CaretPosition{1, 1}));

  // Taking back a pure insertion leaves a caret where it began.
  b.SetSelection(3, 0);
  b.ReplaceSelection("XY");
  b.Undo();
  EXPECT_EQ(b.SelStart(), 3);
  EXPECT_EQ(b.SelLength(), 0);
  EXPECT_FALSE(b.CanUndo());
}

TEST(NormalizeLineBreaks, MatchesCharacterByCharacter) {
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    const std::string s = RandomText(rng, 12, false);
    ASSERT_EQ(NormalizeLineBreaks(s), NaiveNormalize(s));
  }
}

// ---- gap buffer ----

TEST(GapBuffer, TypingInOnePlaceMovesNothing) {
  GapBuffer g;
  const std::string text(100000, 'z');
  g.Assign(text.data(), text.size());
  g.Insert(50000, "a", 1);
  const auto moved = g.MovedElements();
  EXPECT_EQ(moved, 50000u);  // the gap came from the end once
  for (int i = 0; i < 5000; ++i) g.Insert(50001 + i, "b", 1);  // growing the storage is not a move
  for (int i = 0; i < 100; ++i) g.Erase(55000 - i, 1);          // backspace
  EXPECT_LE(g.MovedElements() - moved, 200u);
}

TEST(GapBuffer, RandomEditsMatchAString) {
  std::mt19937 rng(99);
  GapBuffer g;
  std::string model = "hello world";
  g.Assign(model.data(), model.size());
  for (int step = 0; step < 20000; ++step) {
    const std::size_t pos = std::uniform_int_distribution<std::size_t>(0, model.size())(rng);
    if (std::uniform_int_distribution<int>(0, 2)(rng) != 0) {
      std::string s(std::uniform_int_distribution<int>(0, 40)(rng), 'a' + step % 26);
      g.Insert(pos, s.data(), s.size());
      model.insert(pos, s);
    } else {
      const std::size_t n = std::uniform_int_distribution<std::size_t>(0, model.size() - pos)(rng);
      g.Erase(pos, n);
      model.erase(pos, n);
    }
    ASSERT_EQ(g.Size(), model.size());
    ASSERT_EQ(g.Empty(), model.empty());
    const std::size_t from = std::uniform_int_distribution<std::size_t>(0, model.size())(rng);
    const std::size_t n = std::uniform_int_distribution<std::size_t>(0, model.size() - from)(rng);
    std::string got;
    g.AppendTo(got, from, n);
    ASSERT_EQ(got, model.substr(from, n)) << "step " << step;
    std::string copied(n, '?');
    g.CopyOut(from, n, copied.data());
    ASSERT_EQ(copied, got);
    if (n > 0) {
      ASSERT_EQ(g[from + n - 1], model[from + n - 1]);
    }
  }
}

// ---- line index ----

void ExpectSameLines(const LineIndex& index, const std::string& model, int step) {
  const std::vector<Offset> starts = NaiveStarts(model);
  ASSERT_EQ(index.Lines(), static_cast<Offset>(starts.size())) << "step " << step;
  ASSERT_EQ(index.Length(), static_cast<Offset>(model.size()));
  for (std::size_t i = 0; i < starts.size(); ++i)
    ASSERT_EQ(index.LineStart(static_cast<Offset>(i)), starts[i]) << "line " << i << " step " << step;
}

TEST(LineIndex, RandomEditsMatchNaiveStarts) {
  std::mt19937 rng(31337);
  std::string model = "x\r\ny\r\n";
  LineIndex index;
  ExpectSameLines(index, "", -1);
  index.Assign(model);
  for (int step = 0; step < 5000; ++step) {
    const Offset a = RandomBoundary(rng, model);
    if (std::uniform_int_distribution<int>(0, 2)(rng) != 0) {
      const std::string s = RandomText(rng, 6, true);
      index.Insert(a, s);
      model.insert(a, s);
    } else {
      const Offset e = NearBoundary(rng, model, a);
      const Offset from = std::min(a, e), to = std::max(a, e);
      index.Erase(from, to - from);
      model.erase(from, to - from);
    }
    ExpectSameLines(index, model, step);
    const std::vector<Offset> starts = NaiveStarts(model);
    const Offset probe = std::uniform_int_distribution<Offset>(0, model.size())(rng);
    ASSERT_EQ(index.LineOf(probe),
              std::upper_bound(starts.begin(), starts.end(), probe) - starts.begin() - 1);
    ASSERT_EQ(index.LineOf(-5), 0);
    ASSERT_EQ(index.LineOf(static_cast<Offset>(model.size()) + 9), static_cast<Offset>(starts.size()) - 1);
    if (step % 1000 == 999) {  // start afresh now and then, from a rebuilt text
      index.Assign(model);
      ExpectSameLines(index, model, step);
    }
  }
}

// Edits near one place of a million-line text touch a handful of entries,
// not the lines that follow.
TEST(LineIndex, LocalEditsDoNotWalkTheWholeIndex) {
  const Offset kLines = 1000000;
  std::string text;
  text.reserve(3 * kLines);
  for (Offset i = 0; i < kLines; ++i) text += "x\r\n";
  LineIndex index;
  index.Assign(text);
  index.Insert(index.LineStart(kLines / 2), "first\r\n");  // brings the gap and the step here once
  const std::uint64_t before = index.Work();
  EXPECT_GE(before, static_cast<std::uint64_t>(kLines / 2));

  std::mt19937 rng(5);
  Offset length = 3 * kLines + 7, lines = kLines + 2;
  for (int i = 0; i < 1000; ++i) {
    const Offset line = kLines / 2 + std::uniform_int_distribution<Offset>(-20, 20)(rng);
    const Offset start = index.LineStart(line);
    if (i % 2 == 0) {
      index.Insert(start, "ab\r\n\r\ncd\r\n");
      length += 10;
      lines += 3;
    } else {
      const Offset size = index.LineStart(line + 1) - start;
      index.Erase(start, size);  // the whole line with its break
      length -= size;
      lines -= 1;
    }
  }
  EXPECT_LT(index.Work() - before, 1000u * 100u);
  EXPECT_EQ(index.Length(), length);
  EXPECT_EQ(index.Lines(), lines);
  EXPECT_EQ(index.LineStart(lines - 1), length);  // still ends in a break
  EXPECT_EQ(index.LineStart(kLines / 4), 3 * (kLines / 4));  // lines before untouched
}

}  // namespace
