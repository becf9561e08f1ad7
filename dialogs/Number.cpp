#include "dialogs/Number.h"

#include <charconv>

namespace ql {

namespace {

template <typename T>
std::optional<T> ParseWhole(const char* first, const char* last, int base) {
  if (first == last) return std::nullopt;
  T value{};
  const auto [end, ec] = std::from_chars(first, last, value, base);
  if (ec != std::errc() || end != last) return std::nullopt;
  return value;
}

template <typename T>
std::string Format(T value, int base) {
  char buf[72];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, base);
  (void)ec;  // 72 characters hold every 64-bit value in every base used here
  return std::string(buf, end);
}

}  // namespace

const char* NumBaseName(NumBase base) {
  switch (base) {
    case NumBase::Hex: return "Hexadecimal";
    case NumBase::Dec: return "Decimal";
    case NumBase::Oct: return "Octal";
    case NumBase::Bin: return "Binary";
  }
  return "";
}

int NumMaxLength(NumBase base) {
  switch (base) {
    case NumBase::Hex: return 17;
    case NumBase::Dec: return 21;
    case NumBase::Oct: return 23;
    case NumBase::Bin: return 65;
  }
  return 0;
}

bool NumLegalChar(NumBase base, char c) {
  switch (base) {
    case NumBase::Hex:
      return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    case NumBase::Dec: return (c >= '0' && c <= '9') || c == '+' || c == '-';
    case NumBase::Oct: return c >= '0' && c <= '7';
    case NumBase::Bin: return c == '0' || c == '1';
  }
  return false;
}

std::size_t FirstIllegalChar(NumBase base, const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!NumLegalChar(base, text[i])) return i + 1;
  return 0;
}

std::optional<std::uint64_t> ReadNumber(NumBase base, const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  switch (base) {
    case NumBase::Dec: {
      // from_chars takes no '+'; one in front of a digit is allowed here.
      if (first != last && *first == '+') {
        ++first;
        if (first == last || *first < '0' || *first > '9') return std::nullopt;
      }
      const auto v = ParseWhole<std::int64_t>(first, last, 10);
      if (!v) return std::nullopt;
      return static_cast<std::uint64_t>(*v);
    }
    case NumBase::Hex:
      // More than 16 significant digits do not fit: out of range.
      return ParseWhole<std::uint64_t>(first, last, 16);
    case NumBase::Oct:
      // 21 digits reach 2^63-1; longer text is refused whatever it holds.
      if (text.size() >= 22) return std::nullopt;
      return ParseWhole<std::uint64_t>(first, last, 8);
    case NumBase::Bin:
      // Only the last 64 digits count.
      if (text.size() > 64) first = last - 64;
      return ParseWhole<std::uint64_t>(first, last, 2);
  }
  return std::nullopt;
}

std::string WriteNumber(NumBase base, std::uint64_t bits) {
  switch (base) {
    case NumBase::Dec: return Format(static_cast<std::int64_t>(bits), 10);
    case NumBase::Hex: {
      std::string s = Format(bits, 16);
      for (char& c : s)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
      return s;
    }
    case NumBase::Oct: return Format(bits, 8);
    case NumBase::Bin: return Format(bits, 2);
  }
  return {};
}

NumChange ChangeBox(NumBase base, const std::string& text, bool convert) {
  NumChange out;
  if (const std::size_t bad = FirstIllegalChar(base, text)) {
    out.error = true;
    out.offending = text[bad - 1];
    return out;
  }
  if (text.empty()) {
    out.error = true;
    return out;
  }
  if (!convert) return out;
  out.value = ReadNumber(base, text);
  if (!out.value) {
    out.error = true;
    return out;
  }
  for (int i = 0; i < kNumBoxes; ++i)
    if (i != static_cast<int>(base)) out.write[i] = WriteNumber(static_cast<NumBase>(i), *out.value);
  return out;
}

std::string NumErrorText(NumBase base, const std::string& text, std::optional<char> offending) {
  const std::string name = NumBaseName(base);
  if (offending) return "'" + std::string(1, *offending) + "' not allowed in a " + name + " value!";
  if (!text.empty()) return name + " overflow, underflow or error occured!";
  return "No " + name + " value to convert from!";
}

std::string NumSizeText(std::size_t n) {
  const char* size = n <= 8 ? "Byte (8-bit)"
                     : n <= 16 ? "Word (16-bit)"
                     : n <= 32 ? "Long (32-bit)"
                     : n <= 64 ? "Int64 (64-bit)"
                               : "";
  return "Size: " + std::to_string(n) + "\t\tRequied: " + size;
}

std::optional<std::uint64_t> StepDecimal(const std::string& decimalText, int step) {
  if (decimalText.empty() || FirstIllegalChar(NumBase::Dec, decimalText) != 0) return std::nullopt;
  const auto v = ReadNumber(NumBase::Dec, decimalText);
  if (!v) return std::nullopt;
  // Unsigned: 2^63-1 + 1 wraps to -2^63 without overflow.
  return step >= 0 ? *v + 1u : *v - 1u;
}

std::string NumHintText(const std::string& text) {
  return "Contents:  " + text + "\r\nLength:  " + std::to_string(text.size());
}

std::string NumTypeInfo(NumBase base) {
  switch (base) {
    case NumBase::Dec:
      return "Decimal:  (64 bit)\r\nPositiv range:  (0..2^63-1)\r\nNegativ range:  (-2^63..-1)\r\n\r\n"
             "Max length:  20 (21)\r\nLegal characters:  (0..9, -, +)";
    case NumBase::Hex:
      return "Hexadecimal:  (64 bit)\r\nPositiv range:  (0..7FFFFFFFFFFFFFFF)\r\n"
             "Negativ range:  (8000000000000000..FFFFFFFFFFFFFFFF)\r\n\r\n"
             "Max length:  16 (17)\r\nLegal characters:  (0..9, A..F)";
    case NumBase::Oct:
      return "Octal:  (64 bit)\r\nPositiv range:  (0..777777777777777777777)\r\n"
             "Negativ range:  (1777777777777777777777..1000000000000000000000)\r\n\r\n"
             "Max length:  22 (23)\r\nLegal characters:  (0..7)\r\n\r\n"
             "ERRORS!: Can't convert from negative numbers!";
    case NumBase::Bin:
      return "Binary:  (64 bit)\r\nRange:  (Either 0 or 1 within a length of 64)\r\n\r\n"
             "Max length:  64 (65)\r\nLegal characters:  (0, 1)\r\n\r\n"
             "ERRORS!: Can't convert from negative numbers!";
  }
  return {};
}

}  // namespace ql
