// The Convert commands: case conversions through the Windows-1252 case maps,
// ANSI <-> OEM, "multi to single character" thinning and centring with
// spaces. The string functions are pure; the commands edit the document
// through the host, each in one undoable step.
#pragma once

#include <string>

#include "tools/TextToolHost.h"

namespace ql {

enum class CaseKind { Upper, Lower, Title, Toggle };

std::string ConvertCase(CaseKind kind, std::string text);
// tag 1 (A) keeps the 2nd, 4th, ... character; tag 2 (B) the 1st, 3rd, ...
std::string MultiToSingle(const std::string& text, int tag);

// The selected text, or the whole text when nothing is selected, converted;
// the same characters are selected afterwards (the caret back in place).
void CaseCommand(TextToolHost& host, CaseKind kind);
// toOem: ANSI to OEM, else OEM to ANSI. A selection is replaced and the
// caret ends after it; the whole text keeps the caret where it was.
void CharsetCommand(TextToolHost& host, bool toOem);
// Exactly the shortened text is selected afterwards when there was a
// selection; else the caret returns to its place (clamped to the text).
void MultiToSingleCommand(TextToolHost& host, int tag);
// The selection centred within its own width; nothing selected: no change.
void CenterSpaceCommand(TextToolHost& host);

}  // namespace ql
