#include "tools/GotoTarget.h"

#include <algorithm>
#include <limits>

#include "common/FuncLib.h"

namespace ql {

GotoStart GotoOpening(const EditorBuffer& b) {
  GotoStart s;
  const Offset caretLine = b.Caret().line;
  s.lines = b.LineCount();
  s.line = caretLine + 1;
  s.offset = b.SelStart();
  s.percent = s.lines > 0 ? caretLine * 100 / s.lines : 0;
  s.length = b.TextLength();
  return s;
}

bool GotoTextValid(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-'; });
}

std::int64_t GotoNumber(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) throw ConvertError(text);
  // Accumulated as a negative number so that the lowest value fits too.
  std::int64_t value = 0;
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') throw ConvertError(text);
    const int digit = c - '0';
    if (value < (kMin + digit) / 10) throw ConvertError(text);
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == kMin) throw ConvertError(text);
    value = -value;
  }
  return value;
}

namespace {

// Start of a 0-based line; the line after the last one ends at the text's end.
Offset StartOfLine(const EditorBuffer& b, Offset index) {
  const Offset offset = b.LineToOffset(index);
  return offset < 0 ? b.TextLength() : offset;
}

}  // namespace

GotoSelection GotoTarget(const EditorBuffer& b, GotoKind kind, std::int64_t value) {
  const Offset lines = b.LineCount();
  switch (kind) {
    case GotoKind::Line: {
      const std::int64_t line = std::clamp<std::int64_t>(value, 1, lines + 1);
      return {StartOfLine(b, line - 1), 0};
    }
    case GotoKind::Char: {
      const Offset offset = std::clamp<std::int64_t>(value, 0, b.TextLength());
      return {offset, offset < b.TextLength() ? 1 : 0};
    }
    case GotoKind::Percent: {
      // Clamped first, so the product stays far inside 64 bits.
      const std::int64_t percent = std::clamp<std::int64_t>(value, 0, 100);
      return {StartOfLine(b, percent * lines / 100), 0};
    }
  }
  return {b.SelStart(), 0};
}

bool GotoAllowed(TextToolHost& host) {
  if (host.Buffer().TextLength() > 0) return true;
  host.Message("Hey you! There is no place to go!\nThere is no text in the editor!", "No Place To Go!",
               16);
  return false;
}

void GotoCommand(TextToolHost& host, GotoKind kind, const std::string& text) {
  std::int64_t value = 0;
  try {
    value = GotoNumber(text);
  } catch (const ConvertError& e) {
    host.Message(e.what(), "Quillora", 16);
    return;
  }
  EditorBuffer& b = host.Buffer();
  const GotoSelection target = GotoTarget(b, kind, value);
  b.SetSelection(target.start, target.length);
  b.ScrollToCaret();
}

}  // namespace ql
