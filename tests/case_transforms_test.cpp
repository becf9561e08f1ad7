// The Convert commands on the in-memory document.
#include <gtest/gtest.h>

#include "common/Codepage.h"
#include "common/FuncLib.h"
#include "tests/text_tool_host.h"
#include "tools/CaseTransforms.h"

using namespace ql;

namespace {

TEST(CaseTransforms, StringConversions) {
  struct Case {
    CaseKind kind;
    std::string in, out;
  } cases[] = {
      {CaseKind::Upper, "abc \xE9\xFF\x9A\x9C \xDF\xB5\x83\xAA\xBA", "ABC \xC9\x9F\x8A\x8C \xDF\xB5\x83\xAA\xBA"},
      {CaseKind::Lower, "ABC \xC9\x9F\x8A\x8C \xD7", "abc \xE9\xFF\x9A\x9C \xD7"},
      {CaseKind::Title, "hELLO wORLD", "Hello World"},
      {CaseKind::Title, "it's 2nd", "It'S 2Nd"},
      {CaseKind::Title, "o'neil ab-cd 3rd", "O'Neil Ab-Cd 3Rd"},
      {CaseKind::Title, "\xDF" "ab", "\xDF" "Ab"},  // sharp s is no letter
      {CaseKind::Toggle, "Stra\xDF" "e", "sTRA\xDF" "E"},
      {CaseKind::Toggle, "\xC0\xE0 1_\xB5", "\xE0\xC0 1_\xB5"},
  };
  for (const Case& c : cases) EXPECT_EQ(ConvertCase(c.kind, c.in), c.out) << c.in;
}

// The whole-string conversions take eight ASCII bytes at a time: they must
// agree with the one-character maps on every byte, in every position.
TEST(CaseTransforms, WholeStringsAgreeWithTheCharacterMaps) {
  std::string text;
  for (int round = 0; round < 3; ++round)
    for (int b = 0; b < 256; ++b) text += std::string(round + 7, static_cast<char>(b));
  std::uint32_t seed = 12345;
  for (int i = 0; i < 4000; ++i) {
    seed = seed * 1103515245u + 12345u;
    text += static_cast<char>(i % 3 == 0 ? (seed >> 16) & 0xFF : (seed >> 16) & 0x7F);
  }
  const std::string upper = AnsiUpperStr(text), lower = AnsiLowerStr(text), toggle = ToggleCaseStr(text);
  ASSERT_EQ(upper.size(), text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    ASSERT_EQ(static_cast<unsigned char>(upper[i]), AnsiUpper(c)) << i;
    ASSERT_EQ(static_cast<unsigned char>(lower[i]), AnsiLower(c)) << i;
    const unsigned char t = IsUpperLetter(c) ? AnsiLower(c) : IsLowerLetter(c) ? AnsiUpper(c) : c;
    ASSERT_EQ(static_cast<unsigned char>(toggle[i]), t) << i;
  }
}

TEST(CaseTransforms, MultiToSingleLengths) {
  EXPECT_EQ(MultiToSingle("H-e-l-l-o", 2), "Hello");
  EXPECT_EQ(MultiToSingle("-H-i", 1), "Hi");
  EXPECT_EQ(MultiToSingle("abcde", 1), "bd");   // odd length: A one fewer than B
  EXPECT_EQ(MultiToSingle("abcde", 2), "ace");
  EXPECT_EQ(MultiToSingle("a", 1), "");
  EXPECT_EQ(MultiToSingle("", 2), "");
}

// Case changes give the selection back where it was; Multi to single
// selects what it inserted, centring leaves the caret after it. Each change
// is one undoable step, and only a change marks the document.
TEST(CaseTransforms, CommandsSelectAndMarkTheDocument) {
  struct Case {
    const char* name;
    std::string text;
    Offset selStart, selLength;
    void (*run)(TextToolHost&);
    std::string after;
    Offset newStart, newLength;
  } const cases[] = {
      {"upper without selection keeps the caret", "one\r\ntwo", 5, 0,
       [](TextToolHost& h) { CaseCommand(h, CaseKind::Upper); }, "ONE\r\nTWO", 5, 0},
      {"toggle of a selection", "abc def", 4, 3, [](TextToolHost& h) { CaseCommand(h, CaseKind::Toggle); },
       "abc DEF", 4, 3},
      {"lower with nothing to change", "abc DEF", 0, 1,
       [](TextToolHost& h) { CaseCommand(h, CaseKind::Lower); }, "abc DEF", 0, 1},
      {"multi to single of a selection", "xH-e-l-l-oy", 1, 9,
       [](TextToolHost& h) { MultiToSingleCommand(h, 2); }, "xHelloy", 1, 5},
      {"multi to single of the whole text clamps the caret", "abcdefgh", 7, 0,
       [](TextToolHost& h) { MultiToSingleCommand(h, 1); }, "bdfh", 4, 0},
      // B keeps a, LF, c: the lone LF becomes a whole break.
      {"multi to single splitting a break", "a\r\nbc", 0, 5,
       [](TextToolHost& h) { MultiToSingleCommand(h, 2); }, "a\r\nc", 0, 4},
      {"center a selection", "   abc", 0, 6, CenterSpaceCommand, " abc ", 5, 0},
      {"center with nothing to change", "abc", 0, 3, CenterSpaceCommand, "abc", 0, 3},
      {"center without a selection does nothing", "  x  ", 1, 0, CenterSpaceCommand, "  x  ", 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryToolHost host;
    host.buffer.SetText(c.text);
    host.buffer.SetSelection(c.selStart, c.selLength);
    c.run(host);
    EXPECT_EQ(host.buffer.Text(), c.after);
    EXPECT_EQ(host.buffer.SelStart(), c.newStart);
    EXPECT_EQ(host.buffer.SelLength(), c.newLength);
    const bool changed = c.after != c.text;
    EXPECT_EQ(host.changed, changed ? 1 : 0);  // closing must ask to save
    EXPECT_EQ(host.bulkFaults, 0);
    EXPECT_EQ(host.bulkDepth, 0);
    if (changed) {
      host.buffer.Undo();  // one step
      EXPECT_EQ(host.buffer.Text(), c.text);
      EXPECT_FALSE(host.buffer.CanUndo());
    }
  }
}

TEST(CaseTransforms, MultiToSingleNeverLeavesTheCaretInsideABreak) {
  MemoryToolHost host;
  host.buffer.SetText("ab\r\ncd");
  host.buffer.SetSelection(4, 0);
  MultiToSingleCommand(host, 2);  // a, CR, c: "a" CR LF "c"
  EXPECT_EQ(host.buffer.Text(), "a\r\nc");
  EXPECT_NE(host.buffer.SelStart(), 2);
}

TEST(CaseTransforms, AnsiOemRoundTripOfTheDocument) {
  MemoryToolHost host;
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b != '\r' && b != '\n') all += static_cast<char>(b);
  all += "\r\nline two\tend";
  host.buffer.SetText(all);
  host.buffer.SetSelection(3, 0);
  CharsetCommand(host, true);
  EXPECT_EQ(host.buffer.SelStart(), 3);
  EXPECT_EQ(host.buffer.Text(), AnsiToOem(all));
  CharsetCommand(host, false);
  const std::string back = host.buffer.Text();
  ASSERT_EQ(back.size(), all.size());
  int shared = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const auto c = static_cast<unsigned char>(all[i]);
    if (UnicodeToByte(Codepage::Cp437, ByteToUnicode(Codepage::Cp1252, c)) < 0) continue;
    ++shared;
    EXPECT_EQ(back[i], all[i]) << "code " << int(c);
  }
  EXPECT_GT(shared, 180);
  // A selection is replaced and the caret ends after it.
  host.buffer.SetText("x\xE9y");
  host.buffer.SetSelection(1, 1);
  CharsetCommand(host, true);
  EXPECT_EQ(host.buffer.Text(), "x\x82y");
  EXPECT_EQ(host.buffer.SelStart(), 2);
  EXPECT_EQ(host.buffer.SelLength(), 0);
}

}  // namespace
