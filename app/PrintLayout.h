// What a print job puts on paper, decided without a printer: the job's
// title, the printed lines (two blank lines, then every line of the text
// after four blanks), where the pages break, and where each byte of a line
// lands with tabs expanded to the tab stops.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/WidthTable.h"

namespace ql {

// The job title: file name, two blanks and the size in kilobytes,
// "a.txt  (2.0000 kb)". fileSize is -1 for a document without a file.
std::string PrintJobTitle(const std::string& docFileName, std::int64_t fileSize);

// The blanks before every line of text.
constexpr int kPrintIndent = 4;

// A printed line: a stretch of the text (CR LF breaks), without its break.
// The two blank lines at the top are empty stretches.
struct PrintedLine {
  std::size_t start = 0;
  std::size_t length = 0;
  bool operator==(const PrintedLine& o) const { return start == o.start && length == o.length; }
};
// Lines as the editor has them: an empty text has none, and a text ending
// in a line break has no empty line after it.
std::vector<PrintedLine> PrintedLines(std::string_view text);

// Pages as [first, first + count) of the printed lines: as many whole lines
// as fit the page height, at least one per page. No lines: no pages.
struct PrintPage {
  std::size_t first = 0;
  std::size_t count = 0;
  bool operator==(const PrintPage& o) const { return first == o.first && count == o.count; }
};
std::vector<PrintPage> Paginate(std::size_t lineCount, double lineHeight, double pageHeight);

// Where the bytes of one line are drawn: x of each byte that shows, from x0
// (the text after the indent), with tabs moving to the next stop measured
// from x0. Tabs and blanks draw nothing; a byte that would start at or past
// maxX and everything after it is left off (lines are not wrapped).
struct PlacedByte {
  std::size_t index = 0;  // within the line
  double x = 0;
  bool operator==(const PlacedByte& o) const { return index == o.index && x == o.x; }
};
std::vector<PlacedByte> PlaceLine(std::string_view line, const WidthTable& widths, double x0,
                                  double maxX);

}  // namespace ql
