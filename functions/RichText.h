// The rich text of HTML tag coloring: our writer of its exact text, and our
// reader of exactly the subset the writer produces (header with one font
// and a three-entry color table; \plain \f0 \fsN \cfN \tab \par, the
// escapes \\ \{ \}, raw 8-bit bytes). The document never touches a file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "functions/Progress.h"

namespace ql {

using RtfColor = std::uint32_t;  // 0x00BBGGRR

// The font name as it may stand in the font table: without control
// characters and without the characters that end or open a group or tag.
std::string RtfFontName(const std::string& name);
// The two header lines, each ending in CR LF.
std::string RtfHeader(const std::string& fontName, const std::array<RtfColor, 3>& colors);
// "\plain\f0\fs" + 2 * size + "\cf" + index + " ".
std::string RtfColorSwitch(int index, int fontSize);
// Backslash and braces escaped, a tab as "\tab ", CR LF followed by "\par ".
std::string RtfEscape(const std::string& text);

// The whole document: header, then the escaped text with color switches
// around tags (index 1) and attribute values (index 2), the rest index 0.
// Empty when the text holds no "<".
std::string HtmlTagsToRtf(const std::string& text, const std::array<RtfColor, 3>& colors,
                          const std::string& fontName, int fontSize,
                          const TProgressProc& progress = {});

struct RtfRun {
  std::int64_t start = 0;
  std::int64_t length = 0;
  int color = 0;  // index into the color table
};

struct RtfDocument {
  std::string text;  // CR LF line breaks
  std::string fontName;
  int fontSize = 0;  // points, from the first \fs
  std::array<RtfColor, 3> colors{};
  std::vector<RtfRun> runs;  // cover the text in order, neighbours differ
};

// Nothing when the document is not of the subset.
std::optional<RtfDocument> ReadRtf(const std::string& rtf);

}  // namespace ql
