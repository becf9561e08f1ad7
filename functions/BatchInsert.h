// Batch insertion of a numbered format into a range of lines.
#pragma once

#include <string>
#include <vector>

#include "functions/Progress.h"

namespace ql {

// The format for one line: %L the line, %N its number, %M the number padded
// with blanks to `width`, %% a percent sign, &n; the character of code n
// (low 8 bits); any other % is dropped. A % in the line's own text stays.
std::string FormatInsertLine(const std::string& line, long long lineNo, int width,
                             const std::string& format);

struct BatchOptions {
  std::string format = "%L";
  long long fromIndex = 0;  // 0-based, both ends included
  long long toIndex = 0;
  bool onlyWithText = false;
  bool trimLeft = false;
  bool trimRight = false;
};

// Rewrites lines fromIndex..toIndex in place; indexes beyond the list are
// left out. Nothing changes when toIndex < fromIndex.
void BatchInsert(std::vector<std::string>& lines, const BatchOptions& options,
                 const TProgressProc& progress = {});

// CR LF, a lone CR or a lone LF ends a line; a break at the very end adds no
// empty line.
std::vector<std::string> SplitLines(const std::string& text);
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace ql
