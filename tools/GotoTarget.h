// "Goto...": where the caret goes for a line, a character offset or a
// percentage of the lines, and what the dialog shows when it opens.
#pragma once

#include <cstdint>
#include <string>

#include "editor/EditorBuffer.h"
#include "tools/TextToolHost.h"

namespace ql {

enum class GotoKind { Line = 1, Char = 2, Percent = 3 };

struct GotoStart {
  Offset line = 1;     // 1-based line of the selection's end
  Offset offset = 0;   // the selection start
  Offset percent = 0;  // that line's share of the lines
  Offset lines = 0;    // the editor's line count
  Offset length = 0;   // characters, a line break counting two
};
GotoStart GotoOpening(const EditorBuffer& buffer);

// OK may be pressed: nothing but digits, '+' and '-' (empty is fine too).
bool GotoTextValid(const std::string& text);
// The number typed, with an optional sign; throws ConvertError ("'x' is
// not a valid integer value") for anything else or a number out of range.
std::int64_t GotoNumber(const std::string& text);

struct GotoSelection {
  Offset start = 0;
  Offset length = 0;
};
// The target, kept inside the text: lines 1..L+1, offsets 0..length,
// percentages 0..100.
GotoSelection GotoTarget(const EditorBuffer& buffer, GotoKind kind, std::int64_t value);

// False, after the "No Place To Go!" box, when there is no text.
bool GotoAllowed(TextToolHost& host);
// Moves there and scrolls it into view; a number that cannot be read is
// reported and nothing moves.
void GotoCommand(TextToolHost& host, GotoKind kind, const std::string& text);

}  // namespace ql
