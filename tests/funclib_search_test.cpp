// Search, count and replace: the documented cases, and a comparison with a
// straightforward splice-in-place version of the scan on random input.
#include "common/FuncLib.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using ql::Pos;

struct ReplaceCase {
  const char* name;
  std::string s, oldText, newText;
  Pos start;
  bool caseSensitive, wholeWord;
  std::string expected;
  Pos count;
};

// The random comparison below reaches every rule; these rows name them.
TEST(ReplaceAllEx, DocumentedCases) {
  const ReplaceCase cases[] = {
      {"inserted text is not searched again", "aaa", "a", "aa", 1, true, false, "aaaaaa", 3},
      {"whole word: digits do not join a word", "cat catalog cat1", "cat", "dog", 1, true, true,
       "dog catalog dog1", 2},
      {"whole word: accented letters join", "\xE0" "cat cat\xC0 cat", "cat", "X", 1, true, true,
       "\xE0" "cat cat\xC0 X", 1},
      {"whole word: sharp s is no letter", "\xDF" "cat", "cat", "X", 1, true, true, "\xDF" "X", 1},
      {"case-insensitive with 1252 pairs", "\xE9t\xE9 \xC9T\xC9", "\xC9T\xC9", "x", 1, false, false,
       "x x", 2},
      {"start position skips earlier matches", "ab ab ab", "ab", "X", 3, true, false, "ab X X", 2},
      {"empty old text changes nothing", "abc", "", "X", 1, true, false, "abc", 0},
      // The second "-" follows the inserted letter and so is inside a word.
      {"whole word sees the inserted text", "--", "-", "a", 1, true, true, "a-", 1},
  };
  for (const auto& c : cases) {
    std::string s = c.s;
    EXPECT_EQ(ql::ReplaceAllEx(s, c.oldText, c.newText, c.start, c.caseSensitive, c.wholeWord),
              c.count)
        << c.name;
    EXPECT_EQ(s, c.expected) << c.name;
    if (c.caseSensitive && !c.wholeWord) {
      s = c.s;
      EXPECT_EQ(ql::ReplaceAll(s, c.oldText, c.newText, c.start), c.count) << c.name;
      EXPECT_EQ(s, c.expected) << c.name;
    }
  }
}

TEST(CountAndFind, DocumentedCases) {
  struct Case {
    std::string s, sub;
    Pos start;
    bool caseSensitive, wholeWord;
    Pos count, found;
  } const cases[] = {
      {"aaaa", "aa", 1, true, false, 3, 1},  // overlaps count
      {"aAaA", "Aa", 1, false, false, 3, 1},
      {"aAaA", "Aa", 1, true, false, 1, 2},
      {"cat catalog cat1 _cat", "cat", 1, true, true, 3, 1},
      {"catalog cat", "cat", 1, true, true, 1, 9},
      {"\xFF" "x \x9F" "X x", "X", 1, false, true, 1, 7},  // y and Y with diaeresis are letters
      {"abcd", "", 2, true, false, 3, 2},  // empty text: every position from the start
      {"abcd", "", -3, true, true, 4, 1},
      {"abcd", "", 5, true, false, 0, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ql::CountMatches(c.s, c.sub, c.start, c.caseSensitive, c.wholeWord), c.count)
        << "'" << c.s << "' / '" << c.sub << "' from " << c.start;
    EXPECT_EQ(ql::FindMatch(c.s, c.sub, c.start, c.caseSensitive, c.wholeWord), c.found)
        << "'" << c.s << "' / '" << c.sub << "' from " << c.start;
  }
}

TEST(CharSetScans, FindAndCount) {
  ql::CharSet digits;
  for (char c = '0'; c <= '9'; ++c) digits.set(static_cast<unsigned char>(c));
  ql::CharSet high;
  high.set(0xE9);
  EXPECT_EQ(ql::FindCharOf(digits, "ab1c2", 1), 3);
  EXPECT_EQ(ql::FindCharOf(digits, "ab1c2", 4), 5);
  EXPECT_EQ(ql::FindCharOf(digits, "ab1c2", 6), -1);
  EXPECT_EQ(ql::FindCharOf(digits, "abc", 1), -1);
  EXPECT_EQ(ql::FindCharOf(high, "caf\xE9", 1), 4);  // bytes above 127 are not signed
  EXPECT_EQ(ql::CountCharsOf(digits, "1a2b3", 1), 3);
  EXPECT_EQ(ql::CountCharsOf(digits, "1a2b3", 2), 2);
  EXPECT_EQ(ql::CountCharsOf(digits, "1a2b3", 9), 0);
}

TEST(CharsToLineBreaks, EachCharacterBecomesCrLf) {
  EXPECT_EQ(ql::CharsToLineBreaks("a;b,c;", ";,"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(ql::CharsToLineBreaks("abc", ""), "abc");
}

// ---- the scan done the slow, literal way ----

enum class Op { Replace, Count, Find };

Pos NaiveScan(Op op, std::string& s, const std::string& sub, const std::string& newText, Pos startPos,
              bool caseSensitive, bool wholeWord) {
  if (op == Op::Replace && sub.empty()) return 0;
  Pos pos = startPos < 1 ? 1 : startPos;
  if (sub.empty()) {
    const auto len = static_cast<Pos>(s.size());
    if (op == Op::Find) return pos <= len ? pos : -1;
    return pos <= len ? len - pos + 1 : 0;
  }
  std::string work = caseSensitive ? s : ql::AnsiUpperStr(s);
  const std::string needle = caseSensitive ? sub : ql::AnsiUpperStr(sub);
  const auto m = needle.size();
  Pos count = 0;
  while (pos <= static_cast<Pos>(s.size())) {
    const auto i = static_cast<std::size_t>(pos - 1);
    if (i + m > work.size() || work.compare(i, m, needle) != 0) {
      ++pos;
      continue;
    }
    if (wholeWord) {
      const bool letterBefore = i > 0 && ql::IsLetter(static_cast<unsigned char>(work[i - 1]));
      const bool letterAfter = i + m < work.size() && ql::IsLetter(static_cast<unsigned char>(work[i + m]));
      if (letterBefore || letterAfter) {
        ++pos;
        continue;
      }
    }
    switch (op) {
      case Op::Find:
        return pos;
      case Op::Count:
        ++count;
        ++pos;
        break;
      case Op::Replace:
        s.erase(i, m);
        s.insert(i, newText);
        work.erase(i, m);
        work.insert(i, newText);
        ++count;
        pos += static_cast<Pos>(newText.size());
        break;
    }
  }
  return op == Op::Find ? -1 : count;
}

TEST(SearchScan, MatchesLiteralScanOnRandomInput) {
  // Letters of both cases (ASCII and 1252), a non-letter high byte, a digit,
  // an underscore and a blank.
  const std::string alphabet = "aAbB\xC0\xE0\x9F\xFF\xDF" "1_ ";
  std::mt19937 rng(20240611);
  auto pick = [&](std::size_t maxLen) {
    std::string out(std::uniform_int_distribution<std::size_t>(0, maxLen)(rng), ' ');
    for (char& c : out) c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
    return out;
  };
  for (int round = 0; round < 5000; ++round) {
    const std::string s = pick(24);
    std::string sub = pick(3);
    if (round % 3 == 0 && !s.empty()) {  // often a piece of the text itself
      const auto at = std::uniform_int_distribution<std::size_t>(0, s.size() - 1)(rng);
      sub = s.substr(at, std::uniform_int_distribution<std::size_t>(1, 3)(rng));
    }
    const std::string newText = pick(3);
    const Pos start = std::uniform_int_distribution<Pos>(-2, static_cast<Pos>(s.size()) + 3)(rng);
    const bool caseSensitive = rng() % 2 == 0;
    const bool wholeWord = rng() % 2 == 0;
    SCOPED_TRACE("s='" + s + "' sub='" + sub + "' new='" + newText + "' start=" + std::to_string(start) +
                 " cs=" + std::to_string(caseSensitive) + " ww=" + std::to_string(wholeWord));

    std::string expectedText = s;
    const Pos expectedCount =
        NaiveScan(Op::Replace, expectedText, sub, newText, start, caseSensitive, wholeWord);
    std::string actual = s;
    ASSERT_EQ(ql::ReplaceAllEx(actual, sub, newText, start, caseSensitive, wholeWord), expectedCount);
    ASSERT_EQ(actual, expectedText);

    if (caseSensitive && !wholeWord) {
      std::string plain = s;
      ASSERT_EQ(ql::ReplaceAll(plain, sub, newText, start), expectedCount);
      ASSERT_EQ(plain, expectedText);
    }

    std::string scratch = s;
    ASSERT_EQ(ql::CountMatches(s, sub, start, caseSensitive, wholeWord),
              NaiveScan(Op::Count, scratch, sub, newText, start, caseSensitive, wholeWord));
    ASSERT_EQ(ql::FindMatch(s, sub, start, caseSensitive, wholeWord),
              NaiveScan(Op::Find, scratch, sub, newText, start, caseSensitive, wholeWord));
  }
}

TEST(SearchScan, LargeTextStaysFast) {
  // A splice-in-place scan needs minutes here; the linear one milliseconds.
  std::string s;
  for (int i = 0; i < 200000; ++i) s += "a Old b ";
  std::string copy = s;
  EXPECT_EQ(ql::ReplaceAll(copy, "Old", "Newer", 1), 200000);
  EXPECT_EQ(copy.size(), s.size() + 2 * 200000);
  EXPECT_EQ(ql::CountMatches(s, "old", 1, false, true), 200000);
  const Pos from = static_cast<Pos>(s.size()) - 20;
  EXPECT_EQ(ql::FindMatch(s, "b a Old b", from, true, false),
            static_cast<Pos>(s.find("b a Old b", static_cast<std::size_t>(from - 1))) + 1);
}

TEST(SearchScan, LongTextsAgreeWithStringFind) {
  // Texts past the internal window size, with matches across window edges,
  // and a first byte so common that the candidate search changes strategy.
  std::mt19937 rng(99);
  for (const std::size_t size : {std::size_t{70000}, std::size_t{300000}}) {
    std::string s(size, 'a');
    for (std::size_t at : {std::size_t{65533}, std::size_t{65536} * 3 - 2, size - 5}) {
      if (at + 5 <= size) s.replace(at, 5, "aXyZb");
    }
    for (int i = 0; i < 50; ++i) s[rng() % size] = 'x';  // stray x: false candidates for "xyz"
    const std::string upper = ql::AnsiUpperStr(s);
    for (const std::string sub : {"AXYZB", "aXyZb", "xyz", "ab", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaab"}) {
      Pos expected = 0;
      const std::string folded = ql::AnsiUpperStr(sub);
      for (std::size_t at = upper.find(folded); at != std::string::npos; at = upper.find(folded, at + 1)) ++expected;
      EXPECT_EQ(ql::CountMatches(s, sub, 1, false, false), expected) << sub << " in " << size;
      const std::size_t first = upper.find(folded, 100);
      EXPECT_EQ(ql::FindMatch(s, sub, 101, false, false),
                first == std::string::npos ? -1 : static_cast<Pos>(first) + 1)
          << sub << " in " << size;
      Pos exact = 0;
      for (std::size_t at = s.find(sub); at != std::string::npos; at = s.find(sub, at + 1)) ++exact;
      EXPECT_EQ(ql::CountMatches(s, sub, 1, true, false), exact) << sub << " in " << size;
    }
  }
}

}  // namespace
