#include "editor/WordMotion.h"

#include <algorithm>

#include "common/FuncLib.h"

namespace ql {

CharClass ClassOf(unsigned char c) {
  if (c == '\r' || c == '\n') return CharClass::Break;
  if (c == ' ' || c == '\t') return CharClass::Blank;
  return IsLetter(c) ? CharClass::Letter : CharClass::Other;
}

namespace {

CharClass At(const MemoryBuffer& doc, Offset pos) { return ClassOf(static_cast<unsigned char>(doc.CharAt(pos))); }

}  // namespace

void WordAt(const MemoryBuffer& doc, Offset pos, Offset& start, Offset& end) {
  pos = std::clamp<Offset>(pos, 0, doc.TextLength());
  const Offset line = doc.OffsetToLine(pos);
  const Offset lineStart = doc.LineStart(line), lineEnd = doc.LineEnd(line);
  pos = std::min(pos, lineEnd);
  start = end = pos;
  if (lineStart == lineEnd) return;
  const Offset probe = pos < lineEnd ? pos : pos - 1;
  const CharClass kind = At(doc, probe);
  start = probe;
  end = probe + 1;
  while (start > lineStart && At(doc, start - 1) == kind) --start;
  while (end < lineEnd && At(doc, end) == kind) ++end;
}

Offset NextWordStart(const MemoryBuffer& doc, Offset pos) {
  pos = std::clamp<Offset>(pos, 0, doc.TextLength());
  const Offset line = doc.OffsetToLine(pos);
  const Offset lineEnd = doc.LineEnd(line);
  if (pos >= lineEnd) return line + 1 < doc.PhysicalLines() ? doc.LineStart(line + 1) : doc.TextLength();
  const CharClass kind = At(doc, pos);
  if (kind != CharClass::Blank)
    while (pos < lineEnd && At(doc, pos) == kind) ++pos;
  while (pos < lineEnd && At(doc, pos) == CharClass::Blank) ++pos;
  return pos;
}

Offset PreviousWordStart(const MemoryBuffer& doc, Offset pos) {
  pos = std::clamp<Offset>(pos, 0, doc.TextLength());
  const Offset line = doc.OffsetToLine(pos);
  const Offset lineStart = doc.LineStart(line);
  pos = std::min(pos, doc.LineEnd(line));
  if (pos <= lineStart) return line > 0 ? doc.LineEnd(line - 1) : 0;
  while (pos > lineStart && At(doc, pos - 1) == CharClass::Blank) --pos;
  if (pos == lineStart) return pos;
  const CharClass kind = At(doc, pos - 1);
  while (pos > lineStart && At(doc, pos - 1) == kind) --pos;
  return pos;
}

}  // namespace ql
