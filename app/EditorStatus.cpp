#include "app/EditorStatus.h"

#include <cstdio>

#include "common/Codepage.h"
#include "common/FuncLib.h"

namespace ql {

namespace {

std::string Quoted(Offset n) { return "\"" + std::to_string(n) + "\""; }

std::string TextAndLines(const EditorBuffer& b) {
  return Quoted(b.TextLength()) + " characters on " + Quoted(b.LineCount()) + " lines";
}

const char* const kPasteBase = "Paste from clipboard (Ctrl+V)";
constexpr std::size_t kPreviewMax = 255;

}  // namespace

std::array<std::string, 4> CaretPanels(const EditorBuffer& b) {
  const CaretPosition caret = b.Caret();
  const Offset lines = b.LineCount();
  const double percent = lines > 0 ? static_cast<double>(caret.line) * 100.0 / lines : 0.0;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f%%", percent);
  return {"Line: " + std::to_string(caret.line + 1), "Col: " + std::to_string(caret.column + 1),
          buf, "Pos: " + std::to_string(b.SelStart())};
}

std::string SelectionStatus(const EditorBuffer& b) {
  const Offset length = b.SelLength();
  if (length == 0) return TextAndLines(b);
  if (length > 1) return Quoted(length) + " characters selected";
  const std::string ch = b.SelText();
  const unsigned char code = ch.empty() ? 0 : static_cast<unsigned char>(ch[0]);
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02X", code);
  return "1 character selected: \"" + DecodeToUtf8(Codepage::Cp1252, ch) + "\"  ASCII: #" +
         std::to_string(code) + "  Hex: 0x" + hex + "  Binary: " + IntToBin(code, 8);
}

std::string PastedStatus(const EditorBuffer& b, Offset pastedLength) {
  return TextAndLines(b) + "   (" + std::to_string(pastedLength) + " characters inserted!)";
}

std::string AutoIndentInsertion(const std::string& line, Offset column) {
  std::size_t indent = 0;
  while (indent < line.size() && (line[indent] == ' ' || line[indent] == '\t')) ++indent;
  if (column >= 0 && indent > static_cast<std::size_t>(column)) indent = static_cast<std::size_t>(column);
  return "\r\n" + line.substr(0, indent);
}

Hint PasteButtonHint(const std::string& text) {
  if (text.empty()) return {kPasteBase, kPasteBase};
  const std::string base = kPasteBase;
  std::string tip;
  if (text.size() <= kPreviewMax)
    tip = base + "\nContents of Clipboard:\n\n\"" + DecodeToUtf8(Codepage::Cp1252, text) + "\"";
  else
    tip = base + "\nPreview of clipboard (1..255):\n\n\"" +
          DecodeToUtf8(Codepage::Cp1252, text.substr(0, kPreviewMax)) + "...\"";
  return {tip, base};
}

Hint SplitHint(const std::string& hint) {
  const std::size_t bar = hint.find('|');
  if (bar == std::string::npos) return {hint, hint};
  return {hint.substr(0, bar), hint.substr(bar + 1)};
}

Offset LineStartAbove(const EditorBuffer& b) {
  const Offset line = b.Caret().line;
  return b.LineToOffset(line > 0 ? line - 1 : 0);
}

Offset LineStartBelow(const EditorBuffer& b) {
  const Offset line = b.Caret().line;
  const Offset below = b.LineToOffset(line + 1);
  return below >= 0 ? below : b.LineToOffset(line);
}

}  // namespace ql
