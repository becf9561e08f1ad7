// The number converter without its window: one 64-bit value in decimal,
// hexadecimal, octal and binary text, the status line and the type
// information. All arithmetic is on the unsigned 64-bit pattern; the
// decimal box shows it as a signed number.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ql {

// Box order is the window's tab order.
enum class NumBase { Hex = 0, Dec = 1, Oct = 2, Bin = 3 };
constexpr int kNumBoxes = 4;

const char* NumBaseName(NumBase base);   // "Hexadecimal", "Decimal", "Octal", "Binary"
int NumMaxLength(NumBase base);          // 17, 21, 23, 65
bool NumLegalChar(NumBase base, char c);

// One-based position of the first character the box does not take, 0 if none.
std::size_t FirstIllegalChar(NumBase base, const std::string& text);

// The value the box's text stands for; nothing when it is malformed or out
// of range (a conversion failure).
std::optional<std::uint64_t> ReadNumber(NumBase base, const std::string& text);
std::string WriteNumber(NumBase base, std::uint64_t bits);

// The outcome of a change in one box: what the other boxes show (the
// changed box itself is never rewritten) and the status line.
struct NumChange {
  bool error = false;
  std::optional<char> offending;              // the character that is not allowed
  std::optional<std::uint64_t> value;         // read from the box, when it was
  std::array<std::optional<std::string>, kNumBoxes> write;  // new texts of the other boxes
};
// convert: the user typed in this box, so the others follow it.
NumChange ChangeBox(NumBase base, const std::string& text, bool convert);

// "'G' not allowed in a Hexadecimal value!", "Decimal overflow, underflow or
// error occured!", "No Octal value to convert from!".
std::string NumErrorText(NumBase base, const std::string& text, std::optional<char> offending);
// "Size: 8\t\tRequied: Byte (8-bit)" for a binary text of that length.
std::string NumSizeText(std::size_t binaryLength);
// Page Up (+1) and Page Down (-1) on the decimal box's text, wrapping
// around; nothing when the text cannot be read.
std::optional<std::uint64_t> StepDecimal(const std::string& decimalText, int step);
// "Contents:  ...\r\nLength:  n"
std::string NumHintText(const std::string& text);
// The "Type information" box's text for a label.
std::string NumTypeInfo(NumBase base);

}  // namespace ql
