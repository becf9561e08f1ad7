// The one door through which every command reaches the document.
//
// Text crosses it as 8-bit Windows-1252 bytes. Offsets are 0-based and count
// a line break as two characters (CR LF), always: the document holds no
// other line break, so SetText turns a lone CR or LF into CR LF. An offset
// that falls between the CR and the LF of a break is moved back to the CR.
// Lines are numbered from 0; the last line is not counted when it is empty,
// so an empty document has 0 lines and "abc" CR LF has 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/FuncLib.h"  // NormalizeLineBreaks

namespace ql {

using Offset = std::int64_t;

struct CaretPosition {
  Offset line = 0;    // 0-based line of the selection's end
  Offset column = 0;  // characters from the start of that line
  bool operator==(const CaretPosition& o) const { return line == o.line && column == o.column; }
};

struct CharAttributes {
  std::string fontName;
  int fontSize = 10;        // points
  std::uint32_t color = 0;  // 0x00BBGGRR or a system color
};

// A byte-for-byte map: table[c] is what byte c becomes; run, when given,
// does the same to a run of bytes, faster.
struct ByteMap {
  const unsigned char* table;
  void (*run)(char* bytes, std::size_t n) = nullptr;
};

class EditorBuffer {
 public:
  virtual ~EditorBuffer() = default;

  // Whole text. SetText starts a new history: nothing to undo afterwards.
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual Offset TextLength() const = 0;

  // Lines (see the rule above). Line(i) is without its line break; an index
  // out of range gives "". LineToOffset and OffsetToLine work on every line
  // the caret can stand on, i.e. (line breaks + 1) of them, the last possibly
  // empty and uncounted: index 0 of an empty text is offset 0, the index
  // just after a final line break is the text length, any further index -1.
  virtual Offset LineCount() const = 0;
  virtual std::string Line(Offset index) const = 0;
  virtual Offset LineToOffset(Offset index) const = 0;
  virtual Offset OffsetToLine(Offset offset) const = 0;

  // Selection. Values are clamped to the text.
  virtual Offset SelStart() const = 0;
  virtual Offset SelLength() const = 0;
  virtual void SetSelection(Offset start, Offset length) = 0;
  virtual std::string SelText() const = 0;
  // One undoable step; the caret ends after the new text. Lone CR or LF in
  // the new text become CR LF.
  virtual void ReplaceSelection(const std::string& text) = 0;
  virtual void SelectAll() = 0;
  // Maps every selected byte as one undoable step and keeps the selection
  // (were a line break made or unmade, it covers the new text). Records
  // nothing and returns false when no byte changed.
  virtual bool MapSelection(const ByteMap& map);
  virtual CaretPosition Caret() const = 0;
  virtual void ScrollToCaret() = 0;

  virtual bool CanUndo() const = 0;
  virtual void Undo() = 0;
  virtual void ClearUndo() = 0;

  virtual CharAttributes DefaultAttributes() const = 0;
  virtual void SetDefaultAttributes(const CharAttributes& attributes) = 0;
  // Distance between tab stops, in points.
  virtual double TabStopPoints() const = 0;
  virtual void SetTabStopPoints(double points) = 0;

  // Conveniences over the primitives above.
  void SetSelStart(Offset start) { SetSelection(start, 0); }
  void SetSelLength(Offset length) { SetSelection(SelStart(), length); }
};

inline bool EditorBuffer::MapSelection(const ByteMap& map) {
  const Offset start = SelStart();
  std::string text = SelText();
  bool changed = false;
  for (char& ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    changed |= map.table[c] != c;
    ch = static_cast<char>(map.table[c]);
  }
  if (!changed) return false;
  ReplaceSelection(text);
  SetSelection(start, SelStart() - start);
  return true;
}

}  // namespace ql
