// UTF-8 files in a Windows-1252 document: a file is taken as UTF-8 only
// when that loses nothing, i.e. it is valid UTF-8 and every character of
// it has a Windows-1252 code; then the text is the Windows-1252 bytes and a
// save writes the same UTF-8 again. Anything else stays raw bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ql {

// What is wrong with bytes that are not UTF-8.
enum class Utf8Fault {
  None,
  StrayByte,     // a continuation byte without a lead, or a byte never used (F8-FF)
  CutShort,      // a lead byte whose continuation bytes are missing
  Overlong,      // a character written with more bytes than it needs
  Surrogate,     // U+D800-U+DFFF, which UTF-8 never holds
  TooLarge,      // beyond U+10FFFF
  TruncatedEnd,  // the file ends inside a character
};

struct Utf8Scan {
  enum Result {
    Converted,  // UTF-8 of Windows-1252 characters: the bytes now hold Windows-1252
    Plain,      // no multi-byte sequence and no byte-order mark: nothing to convert
    Invalid,    // not UTF-8 (bytes unchanged)
    Outside,    // UTF-8 holding a character Windows-1252 lacks (bytes unchanged)
  };
  Result result = Plain;
  bool bom = false;          // starts with EF BB BF (Converted: taken off the text)
  std::size_t offset = 0;    // Invalid, Outside: where the first offending sequence starts
  Utf8Fault fault = Utf8Fault::None;  // Invalid
  char32_t character = 0;    // Outside: the character
};

// One pass over the bytes, converting in place (the text only gets
// shorter). Unless the result is Converted the bytes are as they came.
Utf8Scan Utf8ToCp1252InPlace(std::string& bytes);

// Windows-1252 text written as UTF-8, appended to out (a byte-order mark
// first when bom is set).
void AppendCp1252AsUtf8(std::string_view text, bool bom, std::string& out);
std::string Cp1252ToUtf8(std::string_view text, bool bom);
// Bytes the text takes as UTF-8 beyond its length as 8-bit text.
std::int64_t Utf8ExtraBytes(std::string_view text);

// Why the bytes were not taken as UTF-8, for the status bar; empty for Converted and Plain.
std::string Utf8ScanReason(const Utf8Scan& scan);

// A character for messages: itself in double quotes and its code, e.g. "€" (U+20AC).
std::string DescribeCharacter(char32_t ch);
// The first character of UTF-16 text that Windows-1252 lacks (a surrogate
// pair counts as one); none: returns false.
bool FirstOutsideCp1252(std::u16string_view text, char32_t& ch);

}  // namespace ql
