// Plain text on the system clipboard as the rest of the program sees it:
// Windows-1252 bytes with CR LF line breaks.
#pragma once

#include <string>

namespace ql {

// Mode 0 gets the clipboard's text, up to its first NUL, with every bare LF
// turned into CR LF. Mode 1 puts text (up to its first NUL, CR LF as LF) on
// the clipboard and returns an empty string. A string of one NUL stands for
// "no text": no clipboard, no text on it, or an unknown mode.
std::string ClipboardText(int mode, const std::string& text);

}  // namespace ql
