// The Insert commands' text: characters by code, the visible character
// block, file names in three forms, text from a file and hexadecimal color
// codes. Everything goes in at the caret, replacing the selection, as one
// undoable step.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/FuncLib.h"
#include "tools/TextToolHost.h"

namespace ql {

// ---- characters by code ----
extern const char* const kAsciiPrompt;   // the input box's initial text
struct AsciiStep {
  bool outOfRange = false;
  int value = 0;  // the code, or the item's 1-based number when out of range
};
struct AsciiPlan {
  std::vector<AsciiStep> steps;
  bool stopped = false;  // an item could not be read as a number
  std::optional<char> invalid;  // then: the first character not a digit, + or -
};
AsciiPlan PlanAsciiCodes(const std::string& input);
// Inserts the characters and shows the boxes; input as typed (Windows-1252).
void AsciiCharsCommand(TextToolHost& host, const std::string& input);

// The characters 32 to 255 in seven lines of 32.
std::string VisibleAsciiBlock();
void InsertText(TextToolHost& host, const std::string& text);

// ---- file names ----
enum class FileNameForm { Full, Short, Relative };
// The path relative to the document's folder with '/' and "../"; the full
// path when the document has no folder ("Untitled").
std::string RelativeFileName(const std::string& docFileName, const std::string& file);
// One line per file (CR LF after each), in the document's character set.
std::string FileNameLines(const std::vector<std::string>& files, FileNameForm form,
                          const std::string& docFileName);

// ---- text from a file ----
enum class ReadResult { Ok, Missing, Unreadable };
// The file's bytes up to the first Ctrl+Z.
ReadResult ReadTextFile(const std::string& path, std::string& text);
// Missing and unreadable files are reported; the selection then stays.
void TextFromFileCommand(TextToolHost& host, const std::string& path);

// ---- hexadecimal color codes ----
std::string HexColorCode(Color color);  // RRGGBB, upper case
// What a selection offers the color picker: 6 or 7 characters are edited
// (a leading '#' kept), else a new code is inserted with '#'.
struct HexColorStart {
  bool editing = false;
  bool hash = true;
  Color initial = 0;
};
HexColorStart ReadHexSelection(const std::string& selection);
// "RRGGBB" or "#RRGGBB" (either case) as a color.
std::optional<Color> ParseHexColor(const std::string& text);

}  // namespace ql
