// "Dump Hexadecimal": the text (or its file) as a classic dump, one line of
// 16 bytes each: offset, four groups of pairs, the bytes as characters.
#pragma once

#include <string>

#include "functions/Progress.h"
#include "tools/TextJobHost.h"

namespace ql {

// Each line: 8 upper-case hex digits of the offset, three spaces, the 51
// columns of pairs (a blank after each, one more after every 4th), three
// spaces, the bytes with NUL, TAB, LF and CR shown as '.', then CR LF.
// Progress hears (2 x offset + 1) x 100 div (2 x length) per line.
std::string HexDump(const std::string& text, const TProgressProc& progress = {});

// The command: asks whether a changed document is dumped from its file;
// a file that cannot be read is reported and the text stays.
void DumpHexCommand(TextJobHost& host);

}  // namespace ql
