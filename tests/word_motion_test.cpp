// Double-click words and Ctrl+arrow stops by the letter set.
#include <gtest/gtest.h>

#include <string>

#include "editor/MemoryBuffer.h"
#include "editor/WordMotion.h"
#include "tests/buffer_cases.h"

using namespace ql;
using buffer_cases::Show;

namespace {

TEST(WordMotion, DoubleClickWords) {
  struct Case {
    std::string text;
    Offset pos, start, end;
  };
  const Case cases[] = {
      {"hello world", 2, 0, 5},
      {"hello world", 5, 5, 6},         // on the blank: the blanks
      {"hello world", 11, 6, 11},       // the end of the line: the word before it
      {"caf\xE9 au lait", 1, 0, 4},     // 0xE9 is a letter
      {"x42y", 0, 0, 1},                // digits are not letters
      {"x42y", 1, 1, 3},
      {"a\x93quoted\x94", 3, 2, 8},     // curly quotes are not letters
      {"\x8Akoda \x9C", 0, 0, 5},       // nor are they missing from the set: S caron is one
      {"ab\r\ncd", 2, 0, 2},            // before the break: the word before, never the break
      {"ab\r\n\r\ncd", 4, 4, 4},        // an empty line selects nothing
      {"ab  \tcd", 3, 2, 5},
  };
  for (const Case& c : cases) {
    MemoryBuffer doc;
    doc.SetText(c.text);
    Offset start = -1, end = -1;
    WordAt(doc, c.pos, start, end);
    EXPECT_EQ(start, c.start) << Show(c.text) << " at " << c.pos;
    EXPECT_EQ(end, c.end) << Show(c.text) << " at " << c.pos;
  }
}

TEST(WordMotion, CtrlArrowStops) {
  struct Case {
    std::string text;
    std::vector<Offset> right;  // stops of Ctrl+Right from 0 to the end
  };
  const Case cases[] = {
      {"one two  three", {4, 9, 14}},
      {"a=42; b", {1, 6, 7}},                 // a punctuation run is one stop
      {"ab\r\ncd ef", {2, 4, 7, 9}},          // the end of a line is a stop
      {"  lead", {2, 6}},
      {"\xC0gal \xFC" "ber", {5, 9}},
      {"", {}},
  };
  for (const Case& c : cases) {
    MemoryBuffer doc;
    doc.SetText(c.text);
    std::vector<Offset> right;
    for (Offset p = 0; p < doc.TextLength();) {
      const Offset next = NextWordStart(doc, p);
      ASSERT_GT(next, p) << Show(c.text);
      right.push_back(next);
      p = next;
    }
    EXPECT_EQ(right, c.right) << Show(c.text);
    // Ctrl+Left walks back through the same stops (and 0), never between
    // a CR and its LF.
    std::vector<Offset> left;
    for (Offset p = doc.TextLength(); p > 0;) {
      const Offset prev = PreviousWordStart(doc, p);
      ASSERT_LT(prev, p) << Show(c.text);
      left.insert(left.begin(), prev);
      p = prev;
    }
    std::vector<Offset> want;
    if (!c.right.empty()) {
      want.push_back(0);
      want.insert(want.end(), c.right.begin(), c.right.end() - 1);
    }
    EXPECT_EQ(left, want) << Show(c.text);
  }
  MemoryBuffer doc;
  doc.SetText("ab");
  EXPECT_EQ(NextWordStart(doc, 99), 2);
  EXPECT_EQ(PreviousWordStart(doc, -5), 0);
}

}  // namespace
