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

TEST(CaseTransforms, UpperWithoutSelectionKeepsTheCaret) {
  MemoryToolHost host;
  host.buffer.SetText("one\r\ntwo");
  host.buffer.SetSelection(5, 0);
  CaseCommand(host, CaseKind::Upper);
  EXPECT_EQ(host.buffer.Text(), "ONE\r\nTWO");
  EXPECT_EQ(host.buffer.SelStart(), 5);
  EXPECT_EQ(host.buffer.SelLength(), 0);
  EXPECT_EQ(host.changed, 1);
  EXPECT_EQ(host.bulkFaults, 0);
  EXPECT_EQ(host.bulkDepth, 0);
  host.buffer.Undo();  // one step
  EXPECT_EQ(host.buffer.Text(), "one\r\ntwo");
  EXPECT_FALSE(host.buffer.CanUndo());
}

TEST(CaseTransforms, SelectionIsConvertedAndSelectedAgain) {
  MemoryToolHost host;
  host.buffer.SetText("abc def");
  host.buffer.SetSelection(4, 3);
  CaseCommand(host, CaseKind::Toggle);
  EXPECT_EQ(host.buffer.Text(), "abc DEF");
  EXPECT_EQ(host.buffer.SelStart(), 4);
  EXPECT_EQ(host.buffer.SelLength(), 3);
  // Nothing to change: the document is not marked.
  host.changed = 0;
  host.buffer.SetSelection(0, 1);
  CaseCommand(host, CaseKind::Lower);
  EXPECT_EQ(host.changed, 0);
}

TEST(CaseTransforms, MultiToSingleSelectsTheResultAndMarksTheDocument) {
  MemoryToolHost host;
  host.buffer.SetText("xH-e-l-l-oy");
  host.buffer.SetSelection(1, 9);
  MultiToSingleCommand(host, 2);
  EXPECT_EQ(host.buffer.Text(), "xHelloy");
  EXPECT_EQ(host.buffer.SelStart(), 1);
  EXPECT_EQ(host.buffer.SelLength(), 5);
  EXPECT_EQ(host.changed, 1);  // closing must ask to save
  EXPECT_EQ(host.bulkFaults, 0);
}

TEST(CaseTransforms, MultiToSingleWholeTextClampsTheCaret) {
  MemoryToolHost host;
  host.buffer.SetText("abcdefgh");
  host.buffer.SetSelection(7, 0);
  MultiToSingleCommand(host, 1);
  EXPECT_EQ(host.buffer.Text(), "bdfh");
  EXPECT_EQ(host.buffer.SelStart(), 4);  // the old place is past the end
  EXPECT_EQ(host.buffer.SelLength(), 0);
}

TEST(CaseTransforms, MultiToSingleSplittingABreakSelectsWhatWasInserted) {
  MemoryToolHost host;
  // B keeps a, LF, c: the lone LF becomes a whole break.
  host.buffer.SetText("a\r\nbc");
  host.buffer.SelectAll();
  MultiToSingleCommand(host, 2);
  EXPECT_EQ(host.buffer.Text(), "a\r\nc");
  EXPECT_EQ(host.buffer.SelStart(), 0);
  EXPECT_EQ(host.buffer.SelLength(), 4);
  // The caret never stands inside a break.
  host.buffer.SetText("ab\r\ncd");
  host.buffer.SetSelection(4, 0);
  MultiToSingleCommand(host, 2);  // a, CR, c: "a" CR LF "c"
  EXPECT_EQ(host.buffer.Text(), "a\r\nc");
  EXPECT_NE(host.buffer.SelStart(), 2);
}

TEST(CaseTransforms, CenterWithSpaces) {
  MemoryToolHost host;
  host.buffer.SetText("   abc");
  host.buffer.SelectAll();
  CenterSpaceCommand(host);
  EXPECT_EQ(host.buffer.Text(), " abc ");
  EXPECT_EQ(host.changed, 1);

  host.changed = 0;
  host.buffer.SetText("abc");
  host.buffer.SelectAll();
  CenterSpaceCommand(host);
  EXPECT_EQ(host.buffer.Text(), "abc");
  EXPECT_EQ(host.changed, 0);
  host.buffer.SetSelection(1, 0);
  host.buffer.SetText("  x  ");
  CenterSpaceCommand(host);  // nothing selected: nothing happens
  EXPECT_EQ(host.buffer.Text(), "  x  ");
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
