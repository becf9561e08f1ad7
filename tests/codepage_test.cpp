// Windows-1252 and code page 437: every byte has its own character and
// comes back unchanged through UTF-16 and UTF-8; ANSI/OEM conversion.
#include "common/Codepage.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

using ql::Codepage;

std::string AllBytes() {
  std::string s;
  for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
  return s;
}

// Plain UTF-8 encoding of one BMP character, to check the fast decoder.
std::string Utf8Of(char16_t u) {
  std::string out;
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
  return out;
}

class CodepageTest : public ::testing::TestWithParam<Codepage> {};

TEST_P(CodepageTest, EveryByteHasItsOwnCharacter) {
  const Codepage cp = GetParam();
  std::set<char16_t> seen;
  for (int b = 0; b < 256; ++b) {
    const char16_t u = ql::ByteToUnicode(cp, static_cast<unsigned char>(b));
    EXPECT_TRUE(seen.insert(u).second) << "byte " << b << " shares U+" << std::hex << int(u);
    EXPECT_FALSE(u >= 0xD800 && u <= 0xDFFF) << b;
    EXPECT_EQ(ql::UnicodeToByte(cp, u), b);
    if (b < 0x80) {
      EXPECT_EQ(u, b) << "ASCII half is the identity";
    }
  }
}

TEST_P(CodepageTest, AllBytesSurviveBothRoundTrips) {
  const Codepage cp = GetParam();
  const std::string bytes = AllBytes();
  const std::u16string utf16 = ql::DecodeToUtf16(cp, bytes);
  ASSERT_EQ(utf16.size(), 256u);
  EXPECT_EQ(ql::EncodeFromUtf16(cp, utf16), bytes);

  const std::string utf8 = ql::DecodeToUtf8(cp, bytes);
  std::string expected;
  for (char16_t u : utf16) expected += Utf8Of(u);
  EXPECT_EQ(utf8, expected);
  EXPECT_EQ(ql::EncodeFromUtf8(cp, utf8), bytes);
}

TEST_P(CodepageTest, FastDecoderMatchesBytewiseOnRandomText) {
  const Codepage cp = GetParam();
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    // A few texts longer than the decoder's internal block.
    const int length = round % 50 == 0 ? 40000 + round : std::uniform_int_distribution<int>(0, 70)(rng);
    std::string text(static_cast<std::size_t>(length), ' ');
    const int highShare = std::uniform_int_distribution<int>(0, 100)(rng);  // long ASCII runs too
    for (char& c : text) {
      const bool high = std::uniform_int_distribution<int>(0, 99)(rng) < highShare;
      c = static_cast<char>(high ? std::uniform_int_distribution<int>(128, 255)(rng)
                                 : std::uniform_int_distribution<int>(0, 127)(rng));
    }
    std::string expected;
    for (char c : text) expected += Utf8Of(ql::ByteToUnicode(cp, static_cast<unsigned char>(c)));
    const std::string utf8 = ql::DecodeToUtf8(cp, text);
    ASSERT_EQ(utf8, expected) << "round " << round;
    ASSERT_EQ(ql::EncodeFromUtf8(cp, utf8), text) << "round " << round;
  }
}

TEST_P(CodepageTest, CharactersOutsideTheSetBecomeQuestionMarks) {
  const Codepage cp = GetParam();
  EXPECT_EQ(ql::UnicodeToByte(cp, U'\x4E2D'), -1);
  EXPECT_EQ(ql::UnicodeToByte(cp, U'\x1F600'), -1);
  EXPECT_EQ(ql::EncodeFromUtf16(cp, u"a\u4E2Db"), "a?b");
  EXPECT_EQ(ql::EncodeFromUtf16(cp, u"a\U0001F600b"), "a?b");  // one pair, one character
  EXPECT_EQ(ql::EncodeFromUtf16(cp, std::u16string(u"a\xD800" "b")), "a?b");  // lone surrogate
  EXPECT_EQ(ql::EncodeFromUtf8(cp, "a\xF0\x9F\x98\x80" "b"), "a?b");
  // Malformed UTF-8: each bad byte on its own.
  const std::pair<std::string, std::string> bad[] = {
      {"a\xC3", "a?"}, {"\xE2\x82", "??"}, {"\xC0\x80", "??"}, {"\xED\xA0\x80", "???"},
      {"\xFF" "z", "?z"}, {"\x80", "?"},
  };
  for (const auto& [in, out] : bad) EXPECT_EQ(ql::EncodeFromUtf8(cp, in), out);
}

INSTANTIATE_TEST_SUITE_P(BothSets, CodepageTest, ::testing::Values(Codepage::Cp1252, Codepage::Cp437),
                         [](const auto& info) {
                           return std::string(info.param == Codepage::Cp1252 ? "Cp1252" : "Cp437");
                         });

TEST(Codepage, KnownCharacters) {
  struct Case {
    Codepage cp;
    unsigned char byte;
    char16_t unicode;
  } const cases[] = {
      {Codepage::Cp1252, 0x80, 0x20AC}, {Codepage::Cp1252, 0x8A, 0x0160}, {Codepage::Cp1252, 0x99, 0x2122},
      {Codepage::Cp1252, 0x9F, 0x0178}, {Codepage::Cp1252, 0xA0, 0x00A0}, {Codepage::Cp1252, 0xFF, 0x00FF},
      // the five codes the set leaves open keep their own C1 controls
      {Codepage::Cp1252, 0x81, 0x0081}, {Codepage::Cp1252, 0x8D, 0x008D}, {Codepage::Cp1252, 0x8F, 0x008F},
      {Codepage::Cp1252, 0x90, 0x0090}, {Codepage::Cp1252, 0x9D, 0x009D},
      {Codepage::Cp437, 0x01, 0x0001}, {Codepage::Cp437, 0x7F, 0x007F}, {Codepage::Cp437, 0x80, 0x00C7},
      {Codepage::Cp437, 0x9E, 0x20A7}, {Codepage::Cp437, 0xB3, 0x2502}, {Codepage::Cp437, 0xC9, 0x2554},
      {Codepage::Cp437, 0xDB, 0x2588}, {Codepage::Cp437, 0xE1, 0x00DF}, {Codepage::Cp437, 0xE6, 0x00B5},
      {Codepage::Cp437, 0xFE, 0x25A0}, {Codepage::Cp437, 0xFF, 0x00A0},
  };
  for (const auto& c : cases) EXPECT_EQ(ql::ByteToUnicode(c.cp, c.byte), c.unicode) << int(c.byte);
}

TEST(Codepage, AnsiOemConversion) {
  EXPECT_EQ(ql::AnsiToOem("Caf\xE9 \xC4"), "Caf\x82 \x8E");
  EXPECT_EQ(ql::OemToAnsi("Caf\x82 \x8E"), "Caf\xE9 \xC4");
  // Best fit: no euro or S caron in 437, no box drawing or Greek in 1252.
  EXPECT_EQ(ql::AnsiToOem("\x80\x8A\xC0\x93\x94\x97\x81"), "ESA\"\"-?");
  EXPECT_EQ(ql::OemToAnsi("\xB3\xC9\xC4\xDB\xE3"), "|+-#p");
  // Control codes pass unchanged both ways, so breaks and tabs survive.
  const std::string controls("\t\r\n\x01\x1F\x7F", 6);
  EXPECT_EQ(ql::AnsiToOem(controls), controls);
  EXPECT_EQ(ql::OemToAnsi(controls), controls);
  EXPECT_EQ(ql::AnsiToOem(std::string("a\0b", 3)), std::string("a\0b", 3));
  const std::string all = AllBytes();
  const std::string oem = ql::AnsiToOem(all);
  const std::string back = ql::OemToAnsi(oem);
  for (int b = 0; b < 256; ++b) {
    // Every character both sets share comes back unchanged.
    if (ql::UnicodeToByte(Codepage::Cp437, ql::ByteToUnicode(Codepage::Cp1252, static_cast<unsigned char>(b))) >= 0) {
      EXPECT_EQ(static_cast<unsigned char>(back[b]), b) << "byte " << b;
    }
  }
}

}  // namespace
