// Words for the caret: what a double-click selects, where Ctrl+Right and
// Ctrl+Left (and their Backspace/Delete forms) stop.
//
// Characters fall into classes: line breaks, blanks (space, tab), letters
// (the `letter set` of whole-word search) and everything else (digits,
// punctuation, other bytes). A word is a run of one class within a line;
// a line break is a stop of its own and never part of a word.
#pragma once

#include "editor/MemoryBuffer.h"

namespace ql {

enum class CharClass { Break, Blank, Letter, Other };
CharClass ClassOf(unsigned char c);

// The run a double-click at pos selects: the class of the character at pos
// (at the end of a line, of the one before it), within the line. An empty
// line gives [pos, pos).
void WordAt(const MemoryBuffer& doc, Offset pos, Offset& start, Offset& end);
// Ctrl+Right: past the run at pos and the blanks after it; at the end of a
// line, to the start of the next one.
Offset NextWordStart(const MemoryBuffer& doc, Offset pos);
// Ctrl+Left: back over blanks, then to the start of the run before; at the
// start of a line, to the end of the previous one.
Offset PreviousWordStart(const MemoryBuffer& doc, Offset pos);

}  // namespace ql
