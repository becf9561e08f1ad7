#include "app/PrintLayout.h"

#include <algorithm>
#include <cmath>

#include "app/RecentList.h"
#include "common/FuncLib.h"

namespace ql {

std::string PrintJobTitle(const std::string& docFileName, std::int64_t fileSize) {
  return ExtractFileName(docFileName) + "  (" + FormatKb(fileSize) + " kb)";
}

std::vector<PrintedLine> PrintedLines(std::string_view text) {
  std::vector<PrintedLine> lines(2);  // the two line feeds at the top
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t br = text.find("\r\n", start);
    if (br == std::string_view::npos) {
      lines.push_back({start, text.size() - start});
      break;
    }
    lines.push_back({start, br - start});
    start = br + 2;
  }
  return lines;
}

std::vector<PrintPage> Paginate(std::size_t lineCount, double lineHeight, double pageHeight) {
  std::size_t perPage = 1;
  if (lineHeight > 0 && pageHeight > lineHeight) {
    const double fit = std::floor(pageHeight / lineHeight);
    perPage = fit >= static_cast<double>(lineCount) ? std::max<std::size_t>(lineCount, 1)
                                                    : static_cast<std::size_t>(fit);
  }
  std::vector<PrintPage> pages;
  pages.reserve(lineCount / perPage + 1);
  for (std::size_t first = 0; first < lineCount; first += perPage)
    pages.push_back({first, std::min(perPage, lineCount - first)});
  return pages;
}

std::vector<PlacedByte> PlaceLine(std::string_view line, const WidthTable& widths, double x0,
                                  double maxX) {
  std::vector<PlacedByte> placed;
  double x = 0;  // from x0, so the stops fall where the editor has them
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (x0 + x >= maxX) break;
    if (c != '\t' && c != ' ') placed.push_back({i, x0 + x});
    x = widths.After(c, x);
  }
  return placed;
}

}  // namespace ql
