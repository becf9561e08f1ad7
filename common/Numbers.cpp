// Numbers in binary, octal and hexadecimal text, as the number converter
// and the text functions read and write them.
#include "common/FuncLib.h"

namespace ql {

ConvertError::ConvertError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value") {}

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string IntToBin(std::int64_t value, int digits) {
  static const char* const kNibbles[16] = {"0000", "0001", "0010", "0011", "0100", "0101",
                                           "0110", "0111", "1000", "1001", "1010", "1011",
                                           "1100", "1101", "1110", "1111"};
  // Hexadecimal digits first (as few as needed, all 16 for a negative value),
  // then four binary digits for each.
  auto bits = static_cast<std::uint64_t>(value);
  int hexDigits = 1;
  while (hexDigits < 16 && (bits >> (4 * hexDigits)) != 0) ++hexDigits;
  std::string out;
  out.reserve(static_cast<std::size_t>(hexDigits) * 4);
  for (int i = hexDigits - 1; i >= 0; --i) out += kNibbles[(bits >> (4 * i)) & 0xF];

  if (digits > 0) {
    if (out.size() < static_cast<std::size_t>(digits))
      out.insert(0, static_cast<std::size_t>(digits) - out.size(), '0');
  } else if (digits == -1) {
    const std::size_t firstOne = out.find('1');
    out.erase(0, firstOne == std::string::npos ? out.size() - 1 : firstOne);
  }
  return out;
}

std::int64_t BinToInt(const std::string& s) {
  // Unsigned arithmetic: only the last 64 digits survive, as the shift drops
  // the leading ones.
  std::uint64_t value = 0;
  for (char c : s) value = (value << 1) | (c == '1' ? 1u : 0u);
  return static_cast<std::int64_t>(value);
}

std::string IntToOct(std::int64_t value) {
  const std::string bin = IntToBin(value, -1);
  std::string out;
  // The leftmost group takes what is left over from groups of three.
  std::size_t i = 0;
  std::size_t groupLen = bin.size() % 3 == 0 ? 3 : bin.size() % 3;
  while (i < bin.size()) {
    int digit = 0;
    for (std::size_t k = 0; k < groupLen; ++k) digit = digit * 2 + (bin[i + k] == '1' ? 1 : 0);
    out += static_cast<char>('0' + digit);
    i += groupLen;
    groupLen = 3;
  }
  return out;
}

std::int64_t OctToInt(const std::string& s) {
  // Weights run up to 8^20; a 22nd character would need 8^21, which does not
  // fit, so such text is refused whatever its digits.
  if (s.size() >= 22) throw ConvertError(s);
  std::int64_t sum = 0;
  std::int64_t weight = 1;
  for (std::size_t i = s.size(); i-- > 0;) {
    const char c = s[i];
    if (c < '0' || c > '9') throw ConvertError(s);
    std::int64_t term;
    if (__builtin_mul_overflow(weight, static_cast<std::int64_t>(c - '0'), &term) ||
        __builtin_add_overflow(sum, term, &sum))
      throw ConvertError(s);
    if (i > 0) weight *= 8;  // at most 8^20 for 21 characters
  }
  return sum;
}

std::string HexToDecStr(const std::string& hex, int minDigits) {
  // Up to 16 significant digits; the top bit of a 16-digit value is the sign.
  if (hex.empty()) throw ConvertError(hex);
  std::uint64_t value = 0;
  int significant = 0;
  for (char c : hex) {
    const int d = HexDigitValue(c);
    if (d < 0) throw ConvertError(hex);
    if (significant > 0 || d != 0) ++significant;
    if (significant > 16) throw ConvertError(hex);
    value = (value << 4) | static_cast<std::uint64_t>(d);
  }
  std::string out = std::to_string(static_cast<std::int64_t>(value));
  if (minDigits > 0 && out.size() < static_cast<std::size_t>(minDigits))
    out.insert(0, static_cast<std::size_t>(minDigits) - out.size(), '0');
  return out;
}

}  // namespace ql
