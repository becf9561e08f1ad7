// What the status bar says about the caret and the selection, the text the
// auto indent inserts, and the paste button's clipboard preview: pure rules
// over the editor buffer.
#pragma once

#include <array>
#include <string>

#include "editor/EditorBuffer.h"

namespace ql {

// Panels 1-4: "Line: n", "Col: n", "42.86%", "Pos: n".
std::array<std::string, 4> CaretPanels(const EditorBuffer& buffer);

// Panel 0 after a selection change (UTF-8).
std::string SelectionStatus(const EditorBuffer& buffer);
// Panel 0 after a paste of pastedLength characters.
std::string PastedStatus(const EditorBuffer& buffer, Offset pastedLength);

// What Enter inserts with auto indent on: CR LF and the line's leading
// blanks and tabs, never more of them than lie left of the caret.
std::string AutoIndentInsertion(const std::string& line, Offset column);

// The paste button's hint for the given clipboard text (Windows-1252; empty
// for none): the tooltip and the status-bar part.
struct Hint {
  std::string tooltip;
  std::string status;
};
Hint PasteButtonHint(const std::string& clipboardText);
// Splits "tooltip|status"; without "|", both are the whole hint.
Hint SplitHint(const std::string& hint);

// Where Ctrl+Up / Ctrl+Down put the caret: the start of the line above or below.
Offset LineStartAbove(const EditorBuffer& buffer);
Offset LineStartBelow(const EditorBuffer& buffer);

}  // namespace ql
