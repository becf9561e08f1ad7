// Our own tables for the two 8-bit character sets the program speaks:
// Windows-1252 (ANSI, the document text) and code page 437 (OEM).
// Every one of the 256 codes maps to a distinct Unicode character and back,
// so text survives a trip through the Unicode widgets byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace ql {

enum class Codepage { Cp1252, Cp437 };

char16_t ByteToUnicode(Codepage cp, unsigned char byte);
// The byte for a Unicode character, or -1 when the character set has none.
int UnicodeToByte(Codepage cp, char32_t ch);

// Whole strings. Characters with no byte in the set become '?'.
std::u16string DecodeToUtf16(Codepage cp, std::string_view bytes);
std::string EncodeFromUtf16(Codepage cp, std::u16string_view text);
std::string DecodeToUtf8(Codepage cp, std::string_view bytes);
void AppendDecodedUtf8(Codepage cp, std::string_view bytes, std::string& out);
std::string EncodeFromUtf8(Codepage cp, std::string_view utf8);

// ANSI <-> OEM conversion of 8-bit text (byte to byte through Unicode).
std::string AnsiToOem(std::string_view ansi);
std::string OemToAnsi(std::string_view oem);

}  // namespace ql
