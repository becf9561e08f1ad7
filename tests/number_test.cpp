// The number converter's reading, writing and status texts, and the whole
// converter against an independent formatter on random 64-bit values.
#include <gtest/gtest.h>

#include <bitset>
#include <iomanip>
#include <random>
#include <sstream>

#include "dialogs/Number.h"

using namespace ql;

namespace {

struct TypedCase {
  NumBase base;
  std::string typed, hex, dec, oct, bin;
};

std::string Expect(const TypedCase& c, int box) {
  const std::string* texts[] = {&c.hex, &c.dec, &c.oct, &c.bin};
  return *texts[box];
}

}  // namespace

TEST(NumberConverter, TypingConvertsIntoTheOtherBoxes) {
  const TypedCase cases[] = {
      {NumBase::Dec, "255", "FF", "255", "377", "11111111"},
      {NumBase::Dec, "256", "100", "256", "400", "100000000"},
      {NumBase::Dec, "-1", "FFFFFFFFFFFFFFFF", "-1", "1777777777777777777777", std::string(64, '1')},
      {NumBase::Dec, "+5", "5", "+5", "5", "101"},
      {NumBase::Dec, "-9223372036854775808", "8000000000000000", "", "1000000000000000000000",
       "1" + std::string(63, '0')},
      {NumBase::Hex, "8000000000000000", "", "-9223372036854775808", "1000000000000000000000",
       "1" + std::string(63, '0')},
      {NumBase::Hex, "00ff", "", "255", "377", "11111111"},
      {NumBase::Hex, "0", "", "0", "0", "0"},
      {NumBase::Oct, "777777777777777777777", "7FFFFFFFFFFFFFFF", "9223372036854775807", "",
       std::string(63, '1')},
      {NumBase::Oct, "000000000000000000001", "1", "1", "", "1"},
      {NumBase::Bin, "1" + std::string(64, '0'), "0", "0", "0", ""},
      {NumBase::Bin, "1010", "A", "10", "12", ""},
  };
  for (const TypedCase& c : cases) {
    SCOPED_TRACE(c.typed);
    const NumChange r = ChangeBox(c.base, c.typed, true);
    ASSERT_FALSE(r.error);
    for (int box = 0; box < kNumBoxes; ++box) {
      if (box == static_cast<int>(c.base)) {
        EXPECT_FALSE(r.write[box]) << "the typed box is never rewritten";
      } else {
        ASSERT_TRUE(r.write[box]);
        EXPECT_EQ(*r.write[box], Expect(c, box));
      }
    }
  }
}

TEST(NumberConverter, FailuresAndTheirMessages) {
  struct Case {
    NumBase base;
    std::string text;
    std::string message;
  } cases[] = {
      {NumBase::Dec, "9223372036854775808", "Decimal overflow, underflow or error occured!"},
      {NumBase::Dec, "-9223372036854775809", "Decimal overflow, underflow or error occured!"},
      {NumBase::Dec, "5-", "Decimal overflow, underflow or error occured!"},
      {NumBase::Dec, "+-5", "Decimal overflow, underflow or error occured!"},
      {NumBase::Dec, "-", "Decimal overflow, underflow or error occured!"},
      {NumBase::Dec, "+", "Decimal overflow, underflow or error occured!"},
      {NumBase::Oct, "0000000000000000000001", "Octal overflow, underflow or error occured!"},
      {NumBase::Hex, "10000000000000000", "Hexadecimal overflow, underflow or error occured!"},
      {NumBase::Hex, "G", "'G' not allowed in a Hexadecimal value!"},
      {NumBase::Hex, "", "No Hexadecimal value to convert from!"},
      {NumBase::Oct, "78", "'8' not allowed in a Octal value!"},
      {NumBase::Bin, "102", "'2' not allowed in a Binary value!"},
      {NumBase::Dec, "1x", "'x' not allowed in a Decimal value!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const NumChange r = ChangeBox(c.base, c.text, true);
    EXPECT_TRUE(r.error);
    for (const auto& w : r.write) EXPECT_FALSE(w) << "the other boxes keep what they showed";
    EXPECT_EQ(NumErrorText(c.base, c.text, r.offending), c.message);
  }
}

TEST(NumberConverter, WrittenBoxesOnlyValidate) {
  const NumChange r = ChangeBox(NumBase::Dec, "9223372036854775808", false);
  EXPECT_FALSE(r.error);  // a box the program wrote is not read again
  EXPECT_FALSE(r.value);
  EXPECT_TRUE(ChangeBox(NumBase::Bin, "", false).error);
}

TEST(NumberConverter, SizeClasses) {
  const std::pair<std::size_t, const char*> cases[] = {
      {1, "Size: 1\t\tRequied: Byte (8-bit)"},      {8, "Size: 8\t\tRequied: Byte (8-bit)"},
      {9, "Size: 9\t\tRequied: Word (16-bit)"},     {16, "Size: 16\t\tRequied: Word (16-bit)"},
      {17, "Size: 17\t\tRequied: Long (32-bit)"},   {33, "Size: 33\t\tRequied: Int64 (64-bit)"},
      {64, "Size: 64\t\tRequied: Int64 (64-bit)"},  {65, "Size: 65\t\tRequied: "},
  };
  for (const auto& [n, text] : cases) EXPECT_EQ(NumSizeText(n), text);
}

TEST(NumberConverter, PageUpAndDownWrapAround) {
  EXPECT_EQ(StepDecimal("9223372036854775807", 1), std::uint64_t(1) << 63);
  EXPECT_EQ(WriteNumber(NumBase::Dec, *StepDecimal("9223372036854775807", 1)), "-9223372036854775808");
  EXPECT_EQ(WriteNumber(NumBase::Dec, *StepDecimal("-9223372036854775808", -1)), "9223372036854775807");
  EXPECT_EQ(WriteNumber(NumBase::Dec, *StepDecimal("+0", -1)), "-1");
  EXPECT_FALSE(StepDecimal("", 1));
  EXPECT_FALSE(StepDecimal("1x", 1));
  EXPECT_FALSE(StepDecimal("1-", 1));
}

TEST(NumberConverter, HintAndTypeInformation) {
  EXPECT_EQ(NumHintText("FF"), "Contents:  FF\r\nLength:  2");
  EXPECT_NE(NumTypeInfo(NumBase::Oct).find("ERRORS!: Can't convert from negative numbers!"),
            std::string::npos);
  EXPECT_EQ(NumTypeInfo(NumBase::Dec).rfind("Decimal:  (64 bit)\r\n", 0), 0u);
}

// Reference texts from iostreams and bitset, nothing shared with the converter.
TEST(NumberConverter, AgreesWithAnIndependentReferenceOnRandomValues) {
  std::mt19937_64 random(20261207);
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t bits = random();
    if (i % 4 == 1) bits >>= random() % 64;  // short values too
    const auto value = static_cast<std::int64_t>(bits);
    std::ostringstream dec, hex, oct;
    dec << value;
    hex << std::uppercase << std::hex << bits;
    oct << std::oct << bits;
    std::string bin = std::bitset<64>(bits).to_string();
    bin.erase(0, std::min(bin.find('1'), bin.size() - 1));
    const std::string ref[] = {hex.str(), dec.str(), oct.str(), bin};
    for (int from = 0; from < kNumBoxes; ++from) {
      const NumChange r = ChangeBox(static_cast<NumBase>(from), ref[from], true);
      if (from == static_cast<int>(NumBase::Oct) && ref[from].size() >= 22) {
        ASSERT_TRUE(r.error) << ref[from];  // 22 octal digits are always refused
        continue;
      }
      ASSERT_FALSE(r.error) << ref[from];
      ASSERT_EQ(*r.value, bits) << ref[from];
      for (int to = 0; to < kNumBoxes; ++to) {
        if (to != from) {
          ASSERT_EQ(*r.write[to], ref[to]) << ref[from];
        }
      }
    }
  }
}
