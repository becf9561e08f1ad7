// "Sort all lines in text": the document's lines in alphabetical order,
// each followed by CR LF.
#pragma once

#include <string>
#include <string_view>

#include "functions/Progress.h"
#include "tools/TextJobHost.h"

namespace ql {

// Case-insensitive Windows-1252 collation: controls, blanks, punctuation
// and symbols, digits, then letters, an accented letter with its base
// letter (after it where the lines are otherwise equal). Negative, 0 or
// positive. Lines that differ only in case compare equal.
int CompareLines(std::string_view a, std::string_view b);

// The lines of `text` (CR LF breaks; a final empty line is no line), sorted
// stably in O(n log n), each followed by CR LF.
std::string SortedLines(const std::string& text, const TProgressProc& progress = {});

// The command: asks first, then sorts the whole document in one undoable step.
void SortLinesCommand(TextJobHost& host);

}  // namespace ql
