// The text functions: transforms, batch insertion and the commands that run
// them on the document.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "functions/BatchInsert.h"
#include "functions/TextFunctions.h"
#include "functions/Transforms.h"
#include "text_function_host.h"

namespace ql {
namespace {

std::string AllBytes() {
  std::string s;
  for (int c = 1; c < 256; ++c) s += static_cast<char>(c);
  return s;
}

TEST(Transforms, KnownResults) {
  struct Case {
    const char* name;
    std::function<std::string(const std::string&, const TProgressProc&)> fn;
    std::string in, out;
  } cases[] = {
      {"rot13", Rot13Text, "Hello, World! 123 \xE9", "Uryyb, Jbeyq! 123 \xE9"},
      {"backward", BackwardText, "ab\r\ncd", "dc\r\nba"},
      {"backward odd", BackwardText, "abc\r\n", "\r\ncba"},
      {"backward one", BackwardText, "x", "x"},
      {"binary A", TextToBinary, "A", "01000001"},
      {"binary high", TextToBinary, "\xFF\x01", "1111111100000001"},
      {"unbinary 10", BinaryToText, "0100000101", std::string("A\x01")},
      {"unbinary 9", BinaryToText, "010000010", "A"},
      {"unbinary 1", BinaryToText, "1", ""},
      {"unbinary 2", BinaryToText, "11", "\x03"},
      {"hex crlf", TextToHex, "\r\n", "0D0A"},
      {"hex high", TextToHex, "A\xFF", "41FF"},
      {"unhex", HexToText, "4a4B", "JK"},
      {"unhex odd", HexToText, "414", "A"},
      {"unhex 1", HexToText, "4", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.fn(c.in, {}), c.out) << c.name;
}

TEST(Transforms, InversesGiveTheTextBack) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    std::string s;
    const int n = static_cast<int>(rng() % 300);
    for (int i = 0; i < n; ++i) {
      // Line breaks only as CR LF, as the document holds them.
      if (rng() % 10 == 0) s += "\r\n";
      else {
        const char c = static_cast<char>(1 + rng() % 255);
        s += c == '\r' || c == '\n' ? 'x' : c;
      }
    }
    EXPECT_EQ(Rot13Text(Rot13Text(s)), s);
    EXPECT_EQ(BackwardText(BackwardText(s)), s);
    EXPECT_EQ(BinaryToText(TextToBinary(s)), s);
    EXPECT_EQ(HexToText(TextToHex(s)), s);
    EXPECT_EQ(BitShiftText(BitShiftText(s, "31872465", true), "31872465", false), s);
  }
  const std::string all = AllBytes();
  const std::string rot = Rot13Text(all);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(all[i]);
    const char base = c >= 'a' && c <= 'z' ? 'a' : c >= 'A' && c <= 'Z' ? 'A' : 0;
    const char want = base ? static_cast<char>(base + (c - base + 13) % 26) : all[i];
    EXPECT_EQ(rot[i], want) << int(c);
  }
}

TEST(Transforms, ProgressReportsEachPercentOnceUpToAHundred) {
  const std::string big(3 << 20, 'a');
  std::vector<int> seen;
  const TProgressProc record = [&](int p) { seen.push_back(p); };
  const std::function<std::string(const std::string&, const TProgressProc&)> fns[] = {
      Rot13Text, BackwardText, TextToHex, TextToBinary};
  for (const auto& fn : fns) {
    seen.clear();
    fn(big, record);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
    EXPECT_LE(seen.size(), 100u);
    for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i - 1], seen[i]);
  }
}

TEST(Transforms, DigitChecksAndBitOrder) {
  EXPECT_TRUE(AllBinaryDigits(""));
  EXPECT_TRUE(AllBinaryDigits("0110"));
  EXPECT_FALSE(AllBinaryDigits("012"));
  EXPECT_TRUE(AllHexDigits("09afAF"));
  EXPECT_FALSE(AllHexDigits("0g"));
  struct Case {
    const char* order;
    int result;
  } cases[] = {{"12345678", 0}, {"87654321", 0}, {"12345677", 7}, {"1234567", 8},
               {"11234567", 1}, {"123456789", -1}, {"1234567x8", -1}, {"", 1}};
  for (const Case& c : cases) EXPECT_EQ(CheckBitOrder(c.order), c.result) << c.order;
  EXPECT_EQ(BitShiftText("A", "12345678", true), "A");
  EXPECT_EQ(BitShiftText("A", "87654321", true), "\x82");
  EXPECT_EQ(BitShiftText("\x82", "87654321", false), "A");
  // Output bit 1 is input bit 2: 0x40 (bit 2 set) becomes 0x80.
  EXPECT_EQ(BitShiftText("\x40", "21345678", true), "\x80");
}

TEST(BatchInsert, FormatLine) {
  struct Case {
    const char* line;
    long long n;
    int width;
    const char* format;
    std::string out;
  } cases[] = {
      {"text", 1, 2, "%M. %L", " 1. text"},
      {"text", 10, 2, "%M. %L", "10. text"},
      {"x", 7, 1, "&169; %N", "\xA9 7"},
      {"x", 1, 1, "&65;&66;", "AB"},
      {"x", 1, 1, "100%%", "100%"},
      {"x", 3, 1, "%n-%l", "3-x"},
      {"50% off", 1, 1, "%L", "50% off"},
      {"x", 1, 1, "%X%L", "Xx"},
      {"x", 1, 1, "&+;&-;&;&a1;%L", "&+;&-;&;&a1;x"},
      {"x", 1, 1, "&321;", "A"},         // low 8 bits of 321
      {"x", 1, 1, "&99999999999;x", "&99999999999;x"},
      {"x", 1, 1, "a&b", "a&b"},
      {"%N", 5, 1, "%L", "%N"},         // the line's own text is not expanded
      {"&65;", 5, 1, "%L", "&65;"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatInsertLine(c.line, c.n, c.width, c.format), c.out) << c.format;
}

TEST(BatchInsert, RangesAndOptions) {
  std::vector<std::string> lines = {"a", "", "  b\t", "c", "   "};
  BatchOptions o;
  o.format = "[%L]";
  o.fromIndex = 1;
  o.toIndex = 10;  // beyond the list: left out
  o.onlyWithText = true;
  o.trimLeft = true;
  o.trimRight = true;
  BatchInsert(lines, o);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "", "[b]", "[c]", "[]"}));
  std::vector<std::string> same = {"a"};
  o.fromIndex = 2;
  o.toIndex = 1;
  BatchInsert(same, o);
  EXPECT_EQ(same, std::vector<std::string>{"a"});
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd\r\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
  EXPECT_EQ(JoinLines({"a", "b"}), "a\r\nb\r\n");
}

// ---- commands ----

// A command as a table row: the host and whether it works on the selection.
using Command = void (*)(TextFunctionHost&, bool selected);

template <DigitBase base, bool encrypt>
void Digits(TextFunctionHost& h, bool selected) {
  DigitTextCommand(h, base, selected, encrypt);
}

TEST(TextFunctionCommands, WriteBackSelectAndMarkModified) {
  struct Case {
    const char* name;
    std::string text;
    Offset selStart, selLength;
    bool selected;
    Command run;
    std::string result;
    Offset newStart, newLength;
  } const cases[] = {
      {"rot13 all", "Abc xyz", 1, 2, false, Rot13Command, "Nop klm", 1, 2},
      {"rot13 selection", "Abc xyz", 4, 3, true, Rot13Command, "Abc klm", 4, 3},
      {"backward all", "ab\r\ncd", 0, 0, false, BackwardCommand, "dc\r\nba", 0, 0},
      {"hex selection", "xZy", 1, 1, true, Digits<DigitBase::Hex, true>, "x5Ay", 1, 2},
      {"hex all, lengths clamped", "AZ", 1, 1, false, Digits<DigitBase::Hex, true>, "415A", 1, 2},
      {"unhex all", "4a4B", 0, 4, false, Digits<DigitBase::Hex, false>, "JK", 0, 2},
      {"unhex to a lone CR", "410D42", 0, 6, true, Digits<DigitBase::Hex, false>, "A\r\nB", 0, 4},
      {"binary selection", "zA", 1, 1, true, Digits<DigitBase::Binary, true>, "z01000001", 1, 8},
      {"unbinary all", "0100000101", 0, 10, false, Digits<DigitBase::Binary, false>,
       std::string("A\x01"), 0, 1},
      {"bit shift", "AA", 0, 1, true,
       [](TextFunctionHost& h, bool selected) { BitShiftCommand(h, selected, true, "87654321"); },
       "\x82" "A", 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFunctionHost host;
    host.buffer.SetText(c.text);
    host.buffer.SetSelection(c.selStart, c.selLength);
    c.run(host, c.selected);
    EXPECT_EQ(host.buffer.Text(), c.result);
    EXPECT_EQ(host.buffer.SelStart(), c.newStart);
    EXPECT_EQ(host.buffer.SelLength(), c.newLength);
    EXPECT_EQ(host.changed, 1);
    EXPECT_EQ(host.bulkDepth, 0);
    EXPECT_EQ(host.bulkFaults, 0);
    EXPECT_EQ(host.progressOpen, 0);
    EXPECT_TRUE(host.boxes.empty()) << host.Captions();
    host.buffer.Undo();  // one step takes it back
    EXPECT_EQ(host.buffer.Text(), c.text);
  }
}

TEST(TextFunctionCommands, RefusalsLeaveTheTextAlone) {
  struct Case {
    const char* name;
    std::string text;
    bool selected;
    Command run;
    std::vector<int> answers;
    const char* caption;
    unsigned flags;
  } const cases[] = {
      {"hex of hex digits, No", "ABC", false, Digits<DigitBase::Hex, true>, {7},
       "Hexadeciaml encryption warning!", 4 | 48},
      {"binary of binary digits, No", "0101", false, Digits<DigitBase::Binary, true>, {7},
       "Binary encryption warning!", 4 | 48},
      {"empty selection asks too", "text", true, Digits<DigitBase::Binary, true>, {7},
       "Binary encryption warning!", 4 | 48},
      {"unhex of letters", "4G", false, Digits<DigitBase::Hex, false>, {},
       "Hexadecimal decryption error!", 16},
      {"unbinary of 2", "012", false, Digits<DigitBase::Binary, false>, {}, "Binary decryption error!", 16},
      {"hex 00", "4100", false, Digits<DigitBase::Hex, false>, {}, "Character 0 in result!", 16},
      {"binary 00000000", "00000000", false, Digits<DigitBase::Binary, false>, {},
       "Character 0 in result!", 16},
      {"entity &0;", "a\r\nb\r\n", false,
       [](TextFunctionHost& h, bool) {
         BatchOptions o;
         o.format = "&0;%L";
         o.toIndex = 1;
         BatchInsertCommand(h, o);
       },
       {}, "Character 0 in result!", 16},
      {"bit order 12345677", "A", false,
       [](TextFunctionHost& h, bool selected) { BitShiftCommand(h, selected, true, "12345677"); }, {},
       "Bit Order Error!", 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFunctionHost host;
    host.answers = c.answers;
    host.buffer.SetText(c.text);
    c.run(host, c.selected);
    EXPECT_EQ(host.buffer.Text(), c.text);
    EXPECT_EQ(host.changed, 0);
    EXPECT_EQ(host.bulkDepth, 0);
    EXPECT_EQ(host.progressOpen, 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].caption, c.caption);
    EXPECT_EQ(host.boxes[0].flags, c.flags);
  }
  MemoryFunctionHost host;
  host.buffer.SetText("A");
  BitShiftCommand(host, false, true, "1234567");
  EXPECT_EQ(host.boxes.at(0).text, "There is an error in the bit order!\r\nError was character \"#8\"");
}

TEST(TextFunctionCommands, BatchInsertEndsWithLineBreakAndClampsLines) {
  MemoryFunctionHost host;
  host.buffer.SetText("one\r\ntwo");
  BatchOptions o;
  o.format = "%M. %L";
  o.fromIndex = 5;  // remembered from a longer text
  o.toIndex = 9;
  BatchInsertCommand(host, o);
  EXPECT_EQ(host.buffer.Text(), "one\r\n2. two\r\n");
  o.fromIndex = 0;
  o.toIndex = 1;
  host.buffer.SetText("a\r\nb");
  BatchInsertCommand(host, o);
  EXPECT_EQ(host.buffer.Text(), "1. a\r\n2. b\r\n");
  EXPECT_EQ(host.status.back(), "Batch Inserting done");
  EXPECT_EQ(host.sounds, 2);
  EXPECT_EQ(host.progressOpen, 0);
}

TEST(TextFunctionCommands, CheckFunctionResult) {
  struct Case {
    const char* name;
    std::string before, now;
    int answer;
    Pos position;  // 0: no question
    std::string after;
  } cases[] = {
      {"equal", "abc", "abc", 6, 0, "abc"},
      {"differs, No", "abc", "abX", 7, 3, "abc"},
      {"differs, Yes", "abc", "abX", 6, 3, "abX"},
      {"lost tail", "abc\r\n", "abc", 7, 4, "abc\r\n"},
      {"extra line break", "abc", "abc\r\n", 7, 4, "abc"},
  };
  for (const Case& c : cases) {
    MemoryFunctionHost host;
    host.answers = {c.answer};
    host.buffer.SetText(c.now);
    const bool kept = CheckFunctionResult(host, c.before);
    EXPECT_EQ(host.buffer.Text(), c.after) << c.name;
    if (c.position == 0) {
      EXPECT_TRUE(host.boxes.empty()) << c.name;
      EXPECT_TRUE(kept);
      continue;
    }
    ASSERT_EQ(host.boxes.size(), 1u) << c.name;
    EXPECT_EQ(host.boxes[0].caption, "Function error!");
    EXPECT_EQ(host.boxes[0].flags, 4u | 16u);
    EXPECT_EQ(host.boxes[0].text, "An error happened at character position \"" + std::to_string(c.position) +
                                      "\" while doing the function!\r\n\r\nUse the result of the function anyway?");
    EXPECT_EQ(kept, c.answer == 6) << c.name;
  }
}

}  // namespace
}  // namespace ql
