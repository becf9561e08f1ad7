// The figures of the text analyzer: words and characters of the whole text
// and of the selection, character classes and the frequency of each byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ql {

struct TextStats {
  bool selected = false;  // the classes cover the selection, else the whole text
  std::int64_t totalWords = 0, totalChars = 0;
  std::int64_t selWords = 0, selChars = 0;
  std::int64_t lines = 0;
  std::int64_t bit7 = 0, bit8 = 0, control = 0, nfo = 0, digits = 0, upper = 0, lower = 0;
  std::array<std::int64_t, 256> frequency{};  // by Windows-1252 byte, 0..255
};

// Words as the program counts them: 0 for an empty text, else 1 plus every
// character other than space and CR that follows a space or a CR.
std::int64_t FastCountWords(const char* text, std::size_t length);

// The occurrences of each byte value.
std::array<std::int64_t, 256> ByteFrequency(const char* text, std::size_t length);

// Everything the dialog shows; `lines` is the editor's line count.
TextStats AnalyzeText(const std::string& whole, const std::string& selection, std::int64_t lines);

// "#065:  12": the code as three digits, a colon, two spaces, the count.
std::string FrequencyItem(int code, std::int64_t count);

// The codes of the IBM PC shading, line and block characters text art uses.
bool IsNfoCode(int code);

}  // namespace ql
