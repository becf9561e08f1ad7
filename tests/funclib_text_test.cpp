// Case maps, string helpers, numbers in other bases and color arithmetic.
#include "common/FuncLib.h"

#include <gtest/gtest.h>

namespace {

using ql::Color;
using ql::Pos;

// ---- letter set and case maps ----

// Every byte: the 1252 letters, and each upper letter's lower partner 32
// above it, but 16 above for 138 and 140 and 96 for 159 (Y with diaeresis).
TEST(CaseMap, LettersAndPairs) {
  auto isUpper = [](int c) {
    return (c >= 65 && c <= 90) || c == 138 || c == 140 || c == 159 || (c >= 192 && c <= 214) ||
           (c >= 216 && c <= 222);
  };
  auto isLower = [](int c) {
    return (c >= 97 && c <= 122) || c == 154 || c == 156 || (c >= 224 && c <= 246) || c >= 248;
  };
  auto lowerOf = [](int c) { return c == 159 ? 255 : c == 138 || c == 140 ? c + 16 : c + 32; };
  auto upperOf = [](int c) { return c == 255 ? 159 : c == 154 || c == 156 ? c - 16 : c - 32; };
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    EXPECT_EQ(ql::IsUpperLetter(b), isUpper(c)) << c;
    EXPECT_EQ(ql::IsLowerLetter(b), isLower(c)) << c;
    EXPECT_EQ(ql::IsLetter(b), isUpper(c) || isLower(c)) << c;
    EXPECT_EQ(ql::AnsiLower(b), isUpper(c) ? lowerOf(c) : c) << c;
    EXPECT_EQ(ql::AnsiUpper(b), isLower(c) ? upperOf(c) : c) << c;
  }
  EXPECT_EQ(ql::AnsiUpperStr("ma\xEF" "s \xFF\xDF"), "MA\xCF" "S \x9F\xDF");
  EXPECT_EQ(ql::AnsiLowerStr("\x8A\xC0Z\xD7"), "\x9A\xE0z\xD7");
}

TEST(CaseTools, ToggleAndTitle) {
  const std::pair<std::string, std::string> toggle[] = {
      {"aBc 1_", "AbC 1_"}, {"\xE0\xC0\x9F\xFF\xDF", "\xC0\xE0\xFF\x9F\xDF"}, {"", ""}};
  for (const auto& [in, out] : toggle) EXPECT_EQ(ql::ToggleCaseStr(in), out) << in;

  const std::pair<std::string, std::string> title[] = {
      {"hELLO wORLD", "Hello World"},
      {"3rd", "3Rd"},          // a digit is no letter
      {"don't", "Don'T"},      // neither is an apostrophe
      {"\xE9t\xC9", "\xC9t\xE9"},
      {"a\xDF" "b", "A\xDF" "B"},  // sharp s ends a word
      {"", ""},
  };
  for (const auto& [in, out] : title) EXPECT_EQ(ql::TitleCaseStr(in), out) << in;
}

// ---- strings ----

TEST(Strings, CountWords) {
  const std::pair<std::string, Pos> cases[] = {
      {"", 0}, {"  a", 2}, {"a\tb", 1}, {"a\r\nb", 2}, {"one two  three", 3}, {"a\rb", 2},
      {"a,b", 1}, {" ", 1},
  };
  for (const auto& [s, n] : cases) EXPECT_EQ(ql::CountWords(s), n) << "'" << s << "'";
}

TEST(Strings, OrdinalSuffix) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {1, "st"}, {2, "nd"}, {3, "rd"}, {4, "th"}, {11, "th"}, {12, "th"}, {13, "th"}, {21, "st"},
      {22, "nd"}, {103, "rd"}, {111, "th"}, {112, "th"}, {113, "th"}, {0, "th"},
  };
  for (const auto& [n, suffix] : cases) EXPECT_EQ(ql::OrdinalSuffix(n, false), suffix) << n;
  EXPECT_EQ(ql::OrdinalSuffix(11, true), "11th");
  EXPECT_EQ(ql::OrdinalSuffix(21, true), "21st");
  EXPECT_EQ(ql::OrdinalSuffix(112, true), "112th");
}

TEST(Strings, CenterTrimmed) {
  const std::pair<std::string, std::string> cases[] = {
      {"  ab   ", "  ab  "},  // odd difference: one shorter
      {"ab", "ab"},
      {"\t\r\nab\x01", "  ab  "},
      {"   ", "  "},
      {"", ""},
      {"a b ", "a b"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ql::CenterTrimmed(in), out) << "'" << in << "'";
}

TEST(Strings, PaddingAndRepeat) {
  EXPECT_EQ(ql::RepeatChar('x', 3), "xxx");
  EXPECT_EQ(ql::RepeatChar('x', 0), "");
  EXPECT_EQ(ql::RepeatChar('x', -2), "");
  EXPECT_EQ(ql::FitToWidth("abc", 5, '.'), "abc..");
  EXPECT_EQ(ql::FitToWidth("abcdef", 3, '.'), "abc");
  EXPECT_EQ(ql::FitToWidth("abc", 3, '.'), "abc");
  EXPECT_EQ(ql::FitToWidth("abc", -1, '.'), "");
  EXPECT_EQ(ql::IntToStrPad(42, 5, '0'), "00042");
  EXPECT_EQ(ql::IntToStrPad(12345, 3, '0'), "12345");
  EXPECT_EQ(ql::IntToStrPad(-7, 4, ' '), "  -7");
}

TEST(Strings, FirstDifferenceAndQuotes) {
  EXPECT_EQ(ql::FirstDifference("abc", "abd"), 3);
  EXPECT_EQ(ql::FirstDifference("ab", "abc"), -2);
  EXPECT_EQ(ql::FirstDifference("abc", "ab"), -1);
  EXPECT_EQ(ql::FirstDifference("abc", "abc"), 0);
  EXPECT_EQ(ql::FirstDifference("", "a"), -2);
  EXPECT_EQ(ql::FirstDifference("xbc", "abc"), 1);

  EXPECT_EQ(ql::AddQuotes(""), "");
  EXPECT_EQ(ql::AddQuotes("a b"), "\"a b\"");
  EXPECT_EQ(ql::AddQuotes("\"a b\""), "\"a b\"");
  EXPECT_EQ(ql::AddQuotes("\"a b"), "\"\"a b\"");
  EXPECT_DOUBLE_EQ(ql::MSecsToDays(43200000), 0.5);
}

// ---- numbers ----

TEST(Numbers, IntToBin) {
  struct Case {
    std::int64_t value;
    int digits;
    const char* expected;
  } const cases[] = {
      {5, -1, "101"}, {5, 0, "0101"}, {5, 8, "00000101"}, {0, -1, "0"}, {0, 0, "0000"},
      {255, 4, "11111111"},  // never shortened
      {256, -1, "100000000"},
      {-1, -1, "1111111111111111111111111111111111111111111111111111111111111111"},
  };
  for (const auto& c : cases) EXPECT_EQ(ql::IntToBin(c.value, c.digits), c.expected) << c.value << "/" << c.digits;
}

TEST(Numbers, BinToInt) {
  EXPECT_EQ(ql::BinToInt("101"), 5);
  EXPECT_EQ(ql::BinToInt(""), 0);
  EXPECT_EQ(ql::BinToInt("1x1"), 5);  // other characters are 0 digits
  EXPECT_EQ(ql::BinToInt("1" + std::string(63, '0')), INT64_MIN);
  EXPECT_EQ(ql::BinToInt("1" + std::string(64, '0')), 0);  // only the last 64 digits count
  EXPECT_EQ(ql::BinToInt(std::string(64, '1')), -1);
}

TEST(Numbers, OctalBothWays) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {8, "10"}, {0, "0"}, {7, "7"}, {255, "377"}, {INT64_MAX, "777777777777777777777"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(ql::IntToOct(value), text);
    EXPECT_EQ(ql::OctToInt(text), value);
  }
  EXPECT_EQ(ql::IntToOct(-1), "1" + std::string(21, '7'));
  EXPECT_EQ(ql::OctToInt(""), 0);
  EXPECT_EQ(ql::OctToInt("19"), 17);  // each character read as a decimal digit
}

TEST(Numbers, OctToIntRefusesWhatDoesNotFit) {
  const std::string bad[] = {
      std::string(21, '0') + "1",  // 22 characters, even with leading zeros
      "1" + std::string(21, '0'),
      "9" + std::string(20, '0'),  // 9 * 8^20 overflows
      "12a",
      "-1",
      " 1",
  };
  for (const auto& s : bad) EXPECT_THROW(ql::OctToInt(s), ql::ConvertError) << s;
  try {
    ql::OctToInt("8x");
    FAIL() << "no error";
  } catch (const ql::ConvertError& e) {
    EXPECT_STREQ(e.what(), "'8x' is not a valid integer value");
  }
}

TEST(Numbers, HexToDecStr) {
  struct Case {
    const char* hex;
    int minDigits;
    const char* expected;
  } const cases[] = {
      {"FF", 0, "255"}, {"ff", 0, "255"}, {"FF", 5, "00255"}, {"0", 0, "0"},
      {"7FFFFFFFFFFFFFFF", 0, "9223372036854775807"},
      {"8000000000000000", 0, "-9223372036854775808"},
      {"FFFFFFFFFFFFFFFF", 0, "-1"},
      {"0000FFFFFFFFFFFFFFFF", 0, "-1"},  // leading zeros are not significant
  };
  for (const auto& c : cases) EXPECT_EQ(ql::HexToDecStr(c.hex, c.minDigits), c.expected) << c.hex;
  for (const char* bad : {"", "G", "1 ", "$FF", "10000000000000000", "-1"})
    EXPECT_THROW(ql::HexToDecStr(bad, 0), ql::ConvertError) << bad;
}

// ---- colors ----

TEST(Colors, HexForms) {
  EXPECT_EQ(ql::SwapHexRGB("112233"), "332211");
  EXPECT_EQ(ql::SwapHexRGB(ql::SwapHexRGB("A1B2C3")), "A1B2C3");
  EXPECT_EQ(ql::SwapHexRGB("12345"), std::string(1, '\0'));
  EXPECT_EQ(ql::SwapHexRGB(""), std::string(1, '\0'));

  std::string r, g, b;
  EXPECT_TRUE(ql::ColorToHexParts(0x00C0FF0A, r, g, b));
  EXPECT_EQ(r + g + b, "0AFFC0");
}

TEST(Colors, ParseRGBTriplet) {
  struct Case {
    const char* text;
    bool ok;
    const char* hex;  // R+G+B when ok
  } const cases[] = {
      {"255,128,0", true, "FF8000"},
      {"1,2,3", true, "010203"},
      {" 10, 20 ,30 ", true, "0A141E"},
      {"256,0,0", false, nullptr},
      {"-1,0,0", false, nullptr},  // negative numbers are refused
      {"0,-255,0", false, nullptr},
      {"1,2", false, nullptr},
      {"1,2,3,4", false, nullptr},
      {"a,2,3", false, nullptr},
      {",,", false, nullptr},
      {"99999999999999999999,0,0", false, nullptr},
  };
  for (const auto& c : cases) {
    std::string r = "?", g = "?", b = "?";
    EXPECT_EQ(ql::ParseRGBTriplet(c.text, r, g, b), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(r + g + b, c.hex) << c.text;
    }
  }
}

TEST(Colors, Arithmetic) {
  EXPECT_EQ(ql::InvertColor(0x000000), 0xFFFFFFu);
  EXPECT_EQ(ql::InvertColor(0x102030), 0xEFDFCFu);
  EXPECT_EQ(ql::InvertColor(0x80000005) >> 24, 0u);  // never leaves the color range

  EXPECT_EQ(ql::GrayColor(0x00030201), 0x00020202u);
  EXPECT_EQ(ql::GrayColor(0x00FFFFFF), 0x00FFFFFFu);

  const Color red = 0x0000FF, blue = 0xFF0000, black = 0;
  EXPECT_EQ(ql::BlendColors(black, red, 128), 0x00007Fu);  // halfway, truncated
  EXPECT_EQ(ql::BlendColors(red, blue, 0), red);
  EXPECT_EQ(ql::BlendColors(red, blue, 256), blue);
  EXPECT_EQ(ql::BlendColors(red, black, 128), 0x000080u);  // 255 - 127.5, truncated toward zero
  EXPECT_EQ(ql::BlendColors(0x00FFFFFF, 0, 1), 0x00FFFFFFu);
}

TEST(Colors, BlendKeepsEachChannelInItsByte) {
  // Amounts beyond 256 overshoot; each channel is held to 0..255 instead of
  // spilling into its neighbour.
  EXPECT_EQ(ql::BlendColors(0x000080, 0x0000FF, 1024), 0x0000FFu);
  EXPECT_EQ(ql::BlendColors(0x0080FF, 0x000000, 1024), 0x000000u);
  EXPECT_EQ(ql::BlendColors(0x204060, 0x604020, 512), 0xA04000u);
  EXPECT_EQ(ql::BlendColors(0x80FF00, 0x00FF80, 65535) >> 24, 0u);
}

}  // namespace
