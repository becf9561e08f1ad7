#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/GapBuffer.h"
#include "app/LineIndex.h"
#include "app/MemoryBuffer.h"
#include "tests/buffer_cases.h"

using namespace ql;

namespace {

// ---- naive models ----

std::vector<Offset> NaiveStarts(const std::string& text) {
  std::vector<Offset> starts{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts.push_back(static_cast<Offset>(i + 1));
  return starts;
}

// Never between a CR and its LF, as the document's callers promise.
Offset Boundary(const std::string& text, Offset pos) {
  pos = std::min(pos, static_cast<Offset>(text.size()));
  if (pos > 0 && text[pos - 1] == '\r') --pos;
  return pos;
}
Offset RandomBoundary(std::mt19937& rng, const std::string& text) {
  return Boundary(text, std::uniform_int_distribution<Offset>(0, static_cast<Offset>(text.size()))(rng));
}
// A short stretch from pos, so the text grows over the run.
Offset NearBoundary(std::mt19937& rng, const std::string& text, Offset pos) {
  return Boundary(text, pos + std::uniform_int_distribution<Offset>(0, 8)(rng));
}

// Text made of pieces that may carry any kind of break, a NUL and a
// no-break space.
std::string RandomText(std::mt19937& rng, int maxPieces, bool onlyCrLf) {
  static const std::string pieces[] = {"a", "bc", "\r\n", "\r", "\n", "\xA0", std::string(1, '\0')};
  const int kinds = onlyCrLf ? 3 : 7;
  std::string out;
  const int n = std::uniform_int_distribution<int>(0, maxPieces)(rng);
  for (int i = 0; i < n; ++i) out += pieces[std::uniform_int_distribution<int>(0, kinds - 1)(rng)];
  return out;
}

std::string NaiveNormalize(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;  // the LF writes it
    out += (s[i] == '\r' || s[i] == '\n') ? std::string("\r\n") : std::string(1, s[i]);
  }
  return out;
}

// ---- the shared rules ----

TEST(MemoryBuffer, SharedCases) {
  const std::vector<std::string> failures =
      RunBufferCases([] { return std::unique_ptr<EditorBuffer>(new MemoryBuffer); });
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
  EXPECT_EQ(b.LineCount(), 0);
  EXPECT_EQ(b.Caret(), (CaretPosition{0, 0}));
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

TEST(MemoryBuffer, EmptyReplacementOfNothingIsNoStep) {
  MemoryBuffer b;
  b.SetText("abc");
  b.SetSelection(1, 0);
  b.ReplaceSelection("");
  EXPECT_FALSE(b.CanUndo());
  b.SetSelection(1, 0);
  b.ReplaceSelection("\n");
  EXPECT_TRUE(b.CanUndo());
}

// Random edits and undos against a plain string; every query is compared.
TEST(MemoryBuffer, RandomEditsMatchAString) {
  std::mt19937 rng(20240611);
  MemoryBuffer b;
  std::string model = NaiveNormalize("start\nof\r\rtext");
  b.SetText("start\nof\r\rtext");
  std::vector<std::string> history;  // texts before each edit still undoable

  for (int step = 0; step < 3000; ++step) {
    const int action = std::uniform_int_distribution<int>(0, 9)(rng);
    if (action == 0 && !history.empty()) {
      b.Undo();
      model = history.back();
      history.pop_back();
    } else {
      const Offset a = RandomBoundary(rng, model), e = NearBoundary(rng, model, a);
      const Offset from = std::min(a, e), to = std::max(a, e);
      b.SetSelection(from, to - from);
      ASSERT_EQ(b.SelText(), model.substr(from, to - from));
      const std::string insert = RandomText(rng, 8, false);
      const std::string normal = NaiveNormalize(insert);
      if (from != to || !normal.empty()) history.push_back(model);
      b.ReplaceSelection(insert);
      model.replace(from, to - from, normal);
      ASSERT_EQ(b.SelStart(), from + static_cast<Offset>(normal.size()));
    }
    ASSERT_EQ(b.CanUndo(), !history.empty());
    ASSERT_EQ(b.Text(), model) << "step " << step;

    const std::vector<Offset> starts = NaiveStarts(model);
    const Offset physical = static_cast<Offset>(starts.size());
    const bool lastEmpty = starts.back() == static_cast<Offset>(model.size());
    ASSERT_EQ(b.LineCount(), lastEmpty ? physical - 1 : physical);
    for (Offset i = 0; i < physical; ++i) {
      ASSERT_EQ(b.LineToOffset(i), starts[i]);
      const Offset end = i + 1 < physical ? starts[i + 1] - 2 : static_cast<Offset>(model.size());
      ASSERT_EQ(b.Line(i), model.substr(starts[i], end - starts[i]));
    }
    ASSERT_EQ(b.LineToOffset(physical), -1);
    const Offset probe = RandomBoundary(rng, model);
    const Offset line = std::upper_bound(starts.begin(), starts.end(), probe) - starts.begin() - 1;
    ASSERT_EQ(b.OffsetToLine(probe), line);
    b.SetSelection(0, probe);
    ASSERT_EQ(b.Caret(), (CaretPosition{line, probe - starts[line]}));
  }
}

TEST(NormalizeLineBreaks, MatchesCharacterByCharacter) {
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    const std::string s = RandomText(rng, 12, false);
    ASSERT_EQ(NormalizeLineBreaks(s), NaiveNormalize(s));
  }
}

// ---- gap buffer ----

TEST(GapBuffer, EditsAroundTheGap) {
  GapBuffer g;
  const std::string hello = "hello world";
  g.Assign(hello.data(), hello.size());
  g.Insert(5, ",", 1);    // the gap moves into the middle: "hello, world"
  g.Insert(0, ">> ", 3);  // then to the front: ">> hello, world", gap at 3
  g.Erase(2, 3);          // a range across the gap: ">>llo, world"
  std::string all;
  g.AppendTo(all, 0, g.Size());
  EXPECT_EQ(all, ">>llo, world");
  g.Insert(12, "!", 1);  // the gap goes to the end
  g.Insert(6, "_", 1);   // and back to the middle: ">>llo,_ world!"
  std::string part(5, '?');
  g.CopyOut(4, 5, part.data());  // spans the gap at 7
  EXPECT_EQ(part, "o,_ w");
  EXPECT_EQ(g[13], '!');
  g.Erase(0, g.Size());
  EXPECT_TRUE(g.Empty());
  g.Insert(0, "x", 1);
  EXPECT_EQ(g[0], 'x');
}

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
  std::string model;
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
    const std::size_t from = std::uniform_int_distribution<std::size_t>(0, model.size())(rng);
    const std::size_t n = std::uniform_int_distribution<std::size_t>(0, model.size() - from)(rng);
    std::string got;
    g.AppendTo(got, from, n);
    ASSERT_EQ(got, model.substr(from, n)) << "step " << step;
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

TEST(LineIndex, LineOf) {
  LineIndex index;
  EXPECT_EQ(index.Lines(), 1);
  EXPECT_EQ(index.LineOf(0), 0);
  index.Assign("ab\r\n\r\ncd\r\n");  // starts 0, 4, 6, 10 (empty last line)
  struct Case {
    Offset pos, line;
  };
  const Case cases[] = {{-5, 0}, {0, 0}, {3, 0}, {4, 1}, {5, 1}, {6, 2}, {9, 2}, {10, 3}, {99, 3}};
  for (const Case& c : cases) EXPECT_EQ(index.LineOf(c.pos), c.line) << c.pos;
}

TEST(LineIndex, RandomEditsMatchNaiveStarts) {
  std::mt19937 rng(31337);
  std::string model = "x\r\ny\r\n";
  LineIndex index;
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
