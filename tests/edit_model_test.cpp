// The document model as an edit control uses it: anchor and caret, edit
// blocks, redo, typing grouped into words, listeners, raw bytes and loading.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/LineIndex.h"
#include "editor/MemoryBuffer.h"
#include "tests/buffer_cases.h"

using namespace ql;
using namespace ql::buffer_cases;

namespace {

Offset Breaks(const std::string& s) { return static_cast<Offset>(std::count(s.begin(), s.end(), '\n')); }

// Keeps its own copy of the text from what the listener hears alone, and
// checks every report against it.
class Mirror : public BufferListener {
 public:
  explicit Mirror(MemoryBuffer& doc) : doc_(doc), text_(doc.Text()) { doc.AddListener(this); }
  ~Mirror() override { doc_.RemoveListener(this); }
  void TextReplaced(Offset pos, Offset removed, Offset inserted, Offset firstLine, Offset removedBreaks,
                    Offset insertedBreaks) override {
    ++calls;
    const std::string gone = text_.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(removed));
    const std::string came = doc_.TextRange(pos, inserted);
    if (firstLine != Breaks(text_.substr(0, static_cast<std::size_t>(pos)))) ++faults;
    if (removedBreaks != Breaks(gone) || insertedBreaks != Breaks(came)) ++faults;
    text_.replace(static_cast<std::size_t>(pos), static_cast<std::size_t>(removed), came);
    lines_ += insertedBreaks - removedBreaks;
    if (lines_ != doc_.PhysicalLines()) ++faults;
  }
  void SelectionChanged() override { ++selections; }
  const std::string& Text() const { return text_; }
  int calls = 0, faults = 0, selections = 0;

 private:
  MemoryBuffer& doc_;
  std::string text_;
  Offset lines_ = doc_.PhysicalLines();
};

// ---- selection with an anchor ----

TEST(EditModel, BackwardSelections) {
  struct Case {
    std::string text;
    Offset anchor, caret;
    Offset wantAnchor, wantCaret, selStart, selLength;
    CaretPosition status;  // the selection's end
  };
  const Case cases[] = {
      {"abcdef", 5, 2, 5, 2, 2, 3, {0, 5}},
      {"abcdef", 2, 5, 2, 5, 2, 3, {0, 5}},
      {"ab\r\ncd", 6, 3, 6, 2, 2, 4, {1, 2}},    // the caret between CR and LF snaps back
      {"ab\r\ncd", 3, 0, 2, 0, 0, 2, {0, 2}},    // so does the anchor
      {"abc", -4, 99, 0, 3, 0, 3, {0, 3}},       // clamped
      {"abc", 99, -4, 3, 0, 0, 3, {0, 3}},
  };
  for (const Case& c : cases) {
    MemoryBuffer b;
    b.SetText(c.text);
    b.SetAnchorCaret(c.anchor, c.caret);
    const std::string at = Show(c.text) + " anchor " + Show(c.anchor) + " caret " + Show(c.caret);
    EXPECT_EQ(b.Anchor(), c.wantAnchor) << at;
    EXPECT_EQ(b.CaretOffset(), c.wantCaret) << at;
    EXPECT_EQ(b.SelStart(), c.selStart) << at;
    EXPECT_EQ(b.SelLength(), c.selLength) << at;
    EXPECT_EQ(b.Caret(), c.status) << at;
  }
  MemoryBuffer b;
  b.SetText("hello");
  b.SetAnchorCaret(4, 1);
  b.ReplaceSelection("X");
  EXPECT_EQ(b.Text(), "hXo");
  EXPECT_EQ(b.CaretOffset(), 2);
  EXPECT_EQ(b.Anchor(), 2);
}

// ---- edit blocks, undo and redo ----

TEST(EditModel, EditBlockIsOneStep) {
  MemoryBuffer b;
  b.SetText("one two three");
  b.BeginEdit();
  b.ReplaceRange(0, 3, "1");
  b.BeginEdit();  // nested: still the same step
  b.ReplaceRange(2, 3, "2");
  b.EndEdit();
  b.Undo();  // ignored while the block is open
  b.ReplaceRange(4, 5, "3");
  b.EndEdit();
  EXPECT_EQ(b.Text(), "1 2 3");
  b.Undo();
  EXPECT_EQ(b.Text(), "one two three");
  EXPECT_EQ(b.SelStart(), 0);  // the span the step covered
  EXPECT_EQ(b.SelLength(), 13);
  EXPECT_FALSE(b.CanUndo());
  ASSERT_TRUE(b.CanRedo());
  b.Redo();
  EXPECT_EQ(b.Text(), "1 2 3");
  EXPECT_EQ(b.CaretOffset(), 5);
  EXPECT_EQ(b.SelLength(), 0);
  b.Undo();
  b.SetSelection(0, 0);
  b.ReplaceSelection("x");  // a new edit forgets the redo
  EXPECT_FALSE(b.CanRedo());
  b.Redo();
  EXPECT_EQ(b.Text(), "xone two three");
}

TEST(EditModel, EmptyEditBlockAddsNoStep) {
  MemoryBuffer b;
  b.SetText("abc");
  b.BeginEdit();
  b.ReplaceSelection("");
  b.EndEdit();
  EXPECT_FALSE(b.CanUndo());
  b.EndEdit();  // one too many: harmless
  b.ReplaceSelection("x");
  b.ReplaceSelection("y");
  b.Undo();
  EXPECT_EQ(b.Text(), "xabc");  // still two steps after the stray EndEdit
}

TEST(EditModel, ReplaceRangeMovesSelectionWithText) {
  MemoryBuffer b;
  b.SetText("0123456789");
  b.SetAnchorCaret(2, 8);
  b.ReplaceRange(0, 1, "AB");  // before: both move on
  EXPECT_EQ(b.Anchor(), 3);
  EXPECT_EQ(b.CaretOffset(), 9);
  b.ReplaceRange(10, 1, "");  // after: nothing moves
  EXPECT_EQ(b.CaretOffset(), 9);
  b.ReplaceRange(9, 0, "\n");  // insertion at the caret pushes it on, as CR LF
  EXPECT_EQ(b.CaretOffset(), 11);
  EXPECT_EQ(b.Text(), "AB1234567\r\n8");
  b.ReplaceRange(2, 20, "");  // a caret inside a deleted range goes to its start
  EXPECT_EQ(b.Anchor(), 2);
  EXPECT_EQ(b.CaretOffset(), 2);
}

// ---- typing ----

struct Keys {
  std::string text;
  bool overwrite = false;
  Offset moveTo = -1;  // -1: the caret stays where typing left it
};

TEST(EditModel, TypingGroupsIntoWords) {
  struct Case {
    const char* name;
    std::string start;
    Offset caret;
    std::vector<Keys> keys;
    std::vector<std::string> undos;  // the text after each Undo, last = start
  };
  const Case cases[] = {
      {"letters then a blank end a word", "", 0, {{"h"}, {"i"}, {" "}, {"y"}, {"o"}}, {"hi", ""}},
      {"blanks after blanks stay in the group", "", 0, {{"a"}, {" "}, {" "}, {"\t"}, {"b"}}, {"a", ""}},
      {"a line break ends the word", "", 0, {{"a"}, {"b"}, {"\n"}, {"c"}}, {"ab", ""}},
      {"moving the caret starts a group", "xy", 1, {{"a"}, {"b"}, {"c", false, 0}, {"d"}}, {"xaby", "xy"}},
      {"moving back to the same place keeps it", "xy", 1, {{"a"}, {"b", false, 2}, {"c"}}, {"xy"}},
      {"overwrite takes one character per key", "abcd", 1, {{"X", true}, {"Y", true}}, {"abcd"}},
      {"overwrite never eats a line break", "ab\r\ncd", 1, {{"X", true}, {"Y", true}, {"Z", true}},
       {"ab\r\ncd"}},
  };
  for (const Case& c : cases) {
    MemoryBuffer b;
    b.SetText(c.start);
    b.SetSelection(c.caret, 0);
    for (const Keys& k : c.keys) {
      if (k.moveTo >= 0) b.SetSelection(k.moveTo, 0);
      b.TypeText(k.text, k.overwrite);
    }
    for (const std::string& want : c.undos) {
      ASSERT_TRUE(b.CanUndo()) << c.name;
      b.Undo();
      EXPECT_EQ(b.Text(), want) << c.name;
    }
    EXPECT_FALSE(b.CanUndo()) << c.name;
  }
}

TEST(EditModel, OverwriteResults) {
  struct Case {
    std::string text;
    Offset anchor, caret;
    std::string typed;
    std::string want;
    Offset wantCaret;
  };
  const Case cases[] = {
      {"abcd", 1, 1, "XY", "aXYd", 3},
      {"ab\r\ncd", 1, 1, "XYZ", "aXYZ\r\ncd", 4},   // the rest goes in before the break
      {"ab", 2, 2, "X", "abX", 3},                  // at the end: inserted
      {"abcd", 3, 1, "X", "aXd", 2},                // a selection is replaced, nothing more
      {"ab\r\ncd", 0, 0, "\nX", "\r\nXb\r\ncd", 3},   // the letter eats one, the break none
  };
  for (const Case& c : cases) {
    MemoryBuffer b;
    b.SetText(c.text);
    b.SetAnchorCaret(c.anchor, c.caret);
    b.TypeText(c.typed, true);
    EXPECT_EQ(b.Text(), c.want) << Show(c.text) << " typed " << Show(c.typed);
    EXPECT_EQ(b.CaretOffset(), c.wantCaret) << Show(c.text);
    b.Undo();
    EXPECT_EQ(b.Text(), c.text);
  }
}

// ---- random editing against a string and a stack of texts ----

TEST(EditModel, RandomEditsUndoRedoAndListener) {
  std::mt19937 rng(424242);
  MemoryBuffer b;
  b.SetText("first\r\nline");
  Mirror mirror(b);
  std::string model = b.Text();
  std::vector<std::string> undo, redo;
  // The typing rule, as a user sees it: where the group stands.
  bool typingOpen = false, lastBlank = false;
  Offset typingEnd = -1;
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  const std::string keys[] = {"a", "b", " ", "\t", "\n", "\xE9", "xy", "\r\n"};

  for (int step = 0; step < 4000; ++step) {
    const std::string at = "step " + std::to_string(step);
    const int op = std::uniform_int_distribution<int>(0, 9)(rng);
    if (op == 0 && !undo.empty()) {
      b.Undo();
      redo.push_back(model);
      model = undo.back();
      undo.pop_back();
      typingOpen = false;
    } else if (op == 1 && !redo.empty()) {
      b.Redo();
      undo.push_back(model);
      model = redo.back();
      redo.pop_back();
      typingOpen = false;
    } else if (op <= 4) {  // typing
      if (std::uniform_int_distribution<int>(0, 4)(rng) == 0) {
        const Offset a = RandomBoundary(rng, model), c = RandomBoundary(rng, model);
        b.SetAnchorCaret(a, c);
        if (a != c || c != typingEnd) typingOpen = false;
      }
      const std::string key = keys[std::uniform_int_distribution<int>(0, 7)(rng)];
      const bool overwrite = std::uniform_int_distribution<int>(0, 3)(rng) == 0;
      const std::string normal = NaiveNormalize(key);
      const Offset start = b.SelStart();
      Offset length = b.SelLength();
      if (overwrite && length == 0) {
        Offset chars = 0;
        for (char ch : normal) chars += ch != '\r' && ch != '\n';
        Offset lineEnd = start;
        while (lineEnd < static_cast<Offset>(model.size()) && model[lineEnd] != '\r') ++lineEnd;
        length = std::min(chars, lineEnd - start);
      }
      const bool join = typingOpen && b.SelLength() == 0 && b.CaretOffset() == typingEnd &&
                        !(blank(normal[0]) && !lastBlank);
      if (!join) undo.push_back(model);
      redo.clear();
      b.TypeText(key, overwrite);
      model.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length), normal);
      typingOpen = true;
      typingEnd = start + static_cast<Offset>(normal.size());
      lastBlank = blank(normal.back());
      ASSERT_EQ(b.CaretOffset(), typingEnd) << at;
    } else {  // an edit block of one to three replacements, or a single one
      const int parts = std::uniform_int_distribution<int>(1, 3)(rng);
      const bool block = std::uniform_int_distribution<int>(0, 1)(rng) == 1;
      if (block) b.BeginEdit();
      std::string before = model;
      bool changed = false;
      for (int i = 0; i < parts; ++i) {
        const Offset a = RandomBoundary(rng, model), e = NearBoundary(rng, model, a);
        const std::string text = NaiveNormalize(RandomText(rng, 4, false));
        if (!block) before = model;
        b.ReplaceRange(a, e - a, text);
        const bool did = e > a || !text.empty();
        model.replace(static_cast<std::size_t>(a), static_cast<std::size_t>(e - a), text);
        if (!block && did) {
          undo.push_back(before);
          redo.clear();
        }
        changed = changed || did;
      }
      if (block) {
        b.EndEdit();
        if (changed) {
          undo.push_back(before);
          redo.clear();
        }
      }
      if (changed) typingOpen = false;
    }
    ASSERT_EQ(b.Text(), model) << at;
    ASSERT_EQ(mirror.Text(), model) << at;
    ASSERT_EQ(mirror.faults, 0) << at;
    ASSERT_EQ(b.CanUndo(), !undo.empty()) << at;
    ASSERT_EQ(b.CanRedo(), !redo.empty()) << at;
    ASSERT_EQ(b.PhysicalLines(), static_cast<Offset>(NaiveStarts(model).size())) << at;
  }
  // Everything taken back leads to the first text, and forward again.
  while (b.CanUndo()) b.Undo();
  EXPECT_EQ(b.Text(), undo.empty() ? model : undo.front());
  EXPECT_EQ(mirror.Text(), b.Text());
}

// ---- raw access ----

TEST(EditModel, RawAccessMatchesTheText) {
  std::mt19937 rng(77);
  MemoryBuffer b;
  std::string model;
  for (int i = 0; i < 300; ++i) model += RandomText(rng, 6, true);
  b.SetText(model);
  for (int step = 0; step < 500; ++step) {
    const Offset a = RandomBoundary(rng, model), e = NearBoundary(rng, model, a);
    const std::string s = RandomText(rng, 5, true);
    b.ReplaceRange(a, e - a, s);  // moves the gap around
    model.replace(static_cast<std::size_t>(a), static_cast<std::size_t>(e - a), s);
    const std::vector<Offset> starts = NaiveStarts(model);
    const Offset line = std::uniform_int_distribution<Offset>(0, static_cast<Offset>(starts.size()) - 1)(rng);
    const Offset end = line + 1 < static_cast<Offset>(starts.size()) ? starts[line + 1] - 2 : model.size();
    ASSERT_EQ(b.LineStart(line), starts[line]);
    ASSERT_EQ(b.LineEnd(line), end);
    const Offset pos = std::uniform_int_distribution<Offset>(0, model.size())(rng);
    const Offset n = std::uniform_int_distribution<Offset>(0, model.size() - pos)(rng);
    ASSERT_EQ(std::string(b.Range(pos, n), static_cast<std::size_t>(n)), model.substr(pos, n));
    std::string out(static_cast<std::size_t>(n), '?');
    ASSERT_EQ(b.CopyRange(pos, n, &out[0]), n);
    ASSERT_EQ(out, model.substr(pos, n));
    ASSERT_EQ(b.CharAt(pos), pos < static_cast<Offset>(model.size()) ? model[pos] : '\0');
  }
  EXPECT_EQ(b.CharAt(-1), '\0');
  EXPECT_EQ(b.LineStart(-3), 0);
  EXPECT_EQ(b.LineStart(b.PhysicalLines()), static_cast<Offset>(model.size()));
  EXPECT_EQ(b.LineStart(b.PhysicalLines() + 5), static_cast<Offset>(model.size()));
  EXPECT_EQ(b.LineEnd(1 << 30), static_cast<Offset>(model.size()));
  EXPECT_EQ(b.TextRange(5, 1 << 30), model.substr(5));
}

// ---- loading ----

TEST(EditModel, LoadingKindsOfBreaks) {
  struct Case {
    const char* name;
    std::string in;
    bool roomy;  // capacity for widening in place
  };
  std::string lines;
  for (int i = 0; i < 500; ++i) lines += "line " + std::to_string(i) + (i % 7 ? "\n" : "\n\n");
  const Case cases[] = {
      {"CR LF only", "a\r\nb\r\n\r\nccc", false},
      {"LF only", lines, false},
      {"LF only, room to widen in place", lines, true},
      {"LF at the very start and end", "\nabc\n", true},
      {"CR only", "a\rb\r", false},
      {"mixed", "a\r\nb\nc\rd\n\r", false},
      {"a CR LF split by nothing else", std::string(100, 'x') + "\r\r\n\n", false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    std::string bytes = c.in;
    if (c.roomy) bytes.reserve(bytes.size() * 2);
    MemoryBuffer b;
    b.SetText("old text\r\nhere");
    b.SetSelection(3, 2);
    b.ReplaceSelection("x");
    Mirror mirror(b);
    b.Load(std::move(bytes));
    const std::string want = NaiveNormalize(c.in);
    EXPECT_EQ(b.Text(), want) << c.name;
    EXPECT_EQ(mirror.Text(), want) << c.name;
    EXPECT_EQ(mirror.faults, 0) << c.name;
    EXPECT_FALSE(b.CanUndo()) << c.name;
    EXPECT_EQ(b.SelStart(), 0) << c.name;
    const std::vector<Offset> starts = NaiveStarts(want);
    ASSERT_EQ(b.PhysicalLines(), static_cast<Offset>(starts.size())) << c.name;
    for (std::size_t i = 0; i < starts.size(); ++i) ASSERT_EQ(b.LineStart(static_cast<Offset>(i)), starts[i]) << c.name;
    b.SetSelection(b.TextLength(), 0);  // editing after a load still works
    b.ReplaceSelection("end");
    EXPECT_EQ(b.Text(), want + "end") << c.name;
  }
}

// A whole-text tool on a big text swaps storage instead of copying; what
// callers see must not change.
TEST(EditModel, WholeTextReplacedInOneStep) {
  std::string before, after;
  for (int i = 0; i < 60000; ++i) {
    before += "line " + std::to_string(i) + "\r\n";
    after += "LINE " + std::to_string(i) + (i % 2 ? "\n" : "\r\n");
  }
  MemoryBuffer b;
  b.SetText(before);
  const std::string original = before;
  b.SetSelection(7, 0);
  b.TypeText("x", false);
  before = b.Text();
  Mirror mirror(b);
  b.SelectAll();
  b.ReplaceSelection(after);
  const std::string want = NaiveNormalize(after);
  EXPECT_TRUE(b.Text() == want);
  EXPECT_TRUE(mirror.Text() == want);
  EXPECT_EQ(b.CaretOffset(), static_cast<Offset>(want.size()));
  EXPECT_EQ(b.LineCount(), 60000);
  EXPECT_EQ(b.Line(59999), "LINE 59999");
  b.Undo();
  EXPECT_TRUE(b.Text() == before);
  EXPECT_EQ(b.SelLength(), static_cast<Offset>(before.size()));
  b.Redo();
  EXPECT_TRUE(b.Text() == want);
  // Handed over with CR LF breaks already: taken as it is.
  std::string crlf = want;
  crlf[0] = 'l';
  b.SelectAll();
  b.ReplaceSelection(std::move(crlf));
  EXPECT_EQ(b.Line(0), "lINE 0");
  EXPECT_EQ(b.LineToOffset(59999), static_cast<Offset>(want.rfind("\r\n", want.size() - 3) + 2));
  EXPECT_EQ(mirror.faults, 0);
  b.Undo();
  EXPECT_TRUE(b.Text() == want);
  b.SetSelection(5, 0);  // and it edits on like any text
  b.TypeText("y", false);
  b.Undo();
  b.Undo();
  b.Undo();
  EXPECT_TRUE(b.Text() == original);
  EXPECT_TRUE(b.CanRedo());  // (no diff of megabytes on failure)
  EXPECT_TRUE(mirror.Text() == original);
  EXPECT_EQ(mirror.faults, 0);
}

TEST(EditModel, ScanBreaksMatchesNaive) {
  std::mt19937 rng(9);
  for (int i = 0; i < 400; ++i) {
    std::string s;
    const int pieces = std::uniform_int_distribution<int>(0, 80)(rng);
    for (int k = 0; k < pieces; ++k) s += RandomText(rng, 3, false) + std::string(rng() % 40, 'q');
    std::vector<std::int64_t> starts{0};
    const BreakScan scan = ScanBreaks(s.data(), s.size(), starts);
    const std::vector<Offset> want = NaiveStarts(s);
    ASSERT_EQ(starts, want);
    ASSERT_EQ(scan.crs, std::count(s.begin(), s.end(), '\r'));
    ASSERT_EQ(scan.lfs, std::count(s.begin(), s.end(), '\n'));
    bool after = true;
    for (std::size_t k = 0; k < s.size(); ++k)
      if (s[k] == '\n' && (k == 0 || s[k - 1] != '\r')) after = false;
    ASSERT_EQ(scan.lfAfterCr, after);
    const BreakScan counted = ScanBreaks(s.data(), s.size());
    ASSERT_EQ(counted.crs, scan.crs);
    ASSERT_EQ(counted.lfs, scan.lfs);
    ASSERT_EQ(counted.lfAfterCr, after);
  }
}

}  // namespace
