#include "editor/MemoryBuffer.h"

#include <algorithm>

namespace ql {

MemoryBuffer::MemoryBuffer() = default;

Offset MemoryBuffer::Snap(Offset offset) const {
  offset = std::clamp<Offset>(offset, 0, TextLength());
  // The document holds no lone CR, so a CR before offset means a split break.
  if (offset > 0 && offset < TextLength() && text_[static_cast<std::size_t>(offset - 1)] == '\r')
    --offset;
  return offset;
}

std::string MemoryBuffer::Copy(Offset pos, Offset length) const {
  std::string out;
  out.reserve(static_cast<std::size_t>(length));
  text_.AppendTo(out, static_cast<std::size_t>(pos), static_cast<std::size_t>(length));
  return out;
}

void MemoryBuffer::Replace(Offset pos, Offset length, const std::string& text) {
  lines_.Erase(pos, length);
  text_.Erase(static_cast<std::size_t>(pos), static_cast<std::size_t>(length));
  lines_.Insert(pos, text);
  text_.Insert(static_cast<std::size_t>(pos), text.data(), text.size());
}

std::string MemoryBuffer::Text() const { return Copy(0, TextLength()); }

void MemoryBuffer::SetText(const std::string& text) {
  const std::string normal = NormalizeLineBreaks(text);
  text_.Assign(normal.data(), normal.size());
  lines_.Assign(normal);
  selStart_ = selEnd_ = 0;
  undo_.clear();
}

Offset MemoryBuffer::LineCount() const {
  const Offset lines = lines_.Lines();
  const bool lastEmpty = lines_.LineStart(lines - 1) == TextLength();
  return lastEmpty ? lines - 1 : lines;
}

std::string MemoryBuffer::Line(Offset index) const {
  if (index < 0 || index >= lines_.Lines()) return "";
  const Offset start = lines_.LineStart(index);
  Offset end = lines_.LineStart(index + 1);
  if (index + 1 < lines_.Lines()) end -= 2;  // not the break
  return Copy(start, end - start);
}

// Every line a caret can stand on has an offset: the counted lines, plus the
// empty line after a final break or of an empty document.
Offset MemoryBuffer::LineToOffset(Offset index) const {
  if (index < 0 || index >= lines_.Lines()) return -1;
  return lines_.LineStart(index);
}

Offset MemoryBuffer::OffsetToLine(Offset offset) const { return lines_.LineOf(Snap(offset)); }

// The end is counted from the clamped start; both ends are then clamped and
// snapped on their own. A negative length selects nothing.
void MemoryBuffer::SetSelection(Offset start, Offset length) {
  const Offset length0 = TextLength();
  start = std::clamp<Offset>(start, 0, length0);
  const Offset end = length <= 0 ? start : (length > length0 - start ? length0 : start + length);
  selStart_ = Snap(start);
  selEnd_ = Snap(end);
}

std::string MemoryBuffer::SelText() const { return Copy(selStart_, selEnd_ - selStart_); }

void MemoryBuffer::ReplaceSelection(const std::string& text) {
  Edit edit{selStart_, SelText(), NormalizeLineBreaks(text)};
  if (edit.removed.empty() && edit.inserted.empty()) return;  // nothing to undo either
  Replace(edit.pos, static_cast<Offset>(edit.removed.size()), edit.inserted);
  selStart_ = selEnd_ = edit.pos + static_cast<Offset>(edit.inserted.size());
  undo_.push_back(std::move(edit));
}

void MemoryBuffer::SelectAll() {
  selStart_ = 0;
  selEnd_ = TextLength();
}

CaretPosition MemoryBuffer::Caret() const {
  const Offset line = lines_.LineOf(selEnd_);
  return {line, selEnd_ - lines_.LineStart(line)};
}

void MemoryBuffer::Undo() {
  if (undo_.empty()) return;
  const Edit edit = std::move(undo_.back());
  undo_.pop_back();
  Replace(edit.pos, static_cast<Offset>(edit.inserted.size()), edit.removed);
  selStart_ = edit.pos;
  selEnd_ = edit.pos + static_cast<Offset>(edit.removed.size());
}

}  // namespace ql
