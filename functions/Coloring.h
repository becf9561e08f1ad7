// The coloring engines: which ranges of the text get which of the three
// colors. They work on the text's own lines (CR LF), also under word wrap,
// where the rows on screen are only a matter of the view.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ql {

struct ColorSpan {
  std::int64_t start = 0;
  std::int64_t length = 0;
  std::uint32_t color = 0;  // 0x00BBGGRR
};

// Standard coloring over a text laid in the tags color: the part after the
// first "=" and whole "[section]" lines in the definition color, comment
// lines (";" or "//" first) in the text color.
std::vector<ColorSpan> StandardColorSpans(const std::string& text, std::uint32_t textColor,
                                          std::uint32_t defColor);

// The entries of a keyword list file: every ",", "." and line break ends
// one; blanks are kept; empty entries are left out.
std::vector<std::string> ParseKeywordList(const std::string& fileText);
// Whole-word matches of the keywords, ignoring case, in the tags color,
// sorted by start.
std::vector<ColorSpan> KeywordSpans(const std::string& text, const std::vector<std::string>& keywords,
                                    std::uint32_t tagColor);
// Label lines (":" first) in the definition color.
std::vector<ColorSpan> LabelLineSpans(const std::string& text, std::uint32_t defColor);

struct KeywordList {
  std::string name;  // the file name without its extension
  std::string path;
};
// The "*.kwl" files of the folders (any letter case), sorted by name
// ignoring case; a list in a later folder stands in for one of the same
// name in an earlier folder.
std::vector<KeywordList> FindKeywordLists(const std::vector<std::string>& folders);

}  // namespace ql
