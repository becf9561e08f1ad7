#include "editor/MemoryBuffer.h"

#include <algorithm>
#include <cstring>

namespace ql {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Grows [lo, hi) (current offsets, lo < 0 when empty) to cover a change of
// [pos, pos + removed) into inserted bytes, moving it with the text.
void Cover(Offset& lo, Offset& hi, Offset pos, Offset removed, Offset inserted) {
  if (lo < 0) {
    lo = pos;
    hi = pos + inserted;
    return;
  }
  const auto map = [&](Offset x) {
    if (x <= pos) return x;
    if (x >= pos + removed) return x - removed + inserted;
    return pos + inserted;
  };
  lo = std::min(map(lo), pos);
  hi = std::max(map(hi), pos + inserted);
}

// Text with only LF breaks, each written as CR LF into out; starts holds
// 0, the start after each LF and nothing else, and is moved with the text.
void WidenLf(const char* src, std::size_t n, std::vector<Offset>& starts, std::string& out) {
  const std::size_t breaks = starts.size() - 1;
  out.clear();
  out.reserve(n + breaks + GapBuffer::Room(n + breaks));
  std::size_t from = 0;
  for (std::size_t k = 1; k <= breaks; ++k) {
    const std::size_t lf = static_cast<std::size_t>(starts[k]) - 1;
    out.append(src + from, lf - from);
    out += "\r\n";
    from = lf + 1;
    starts[k] += static_cast<Offset>(k);
  }
  out.append(src + from, n - from);
}

// The same in place, from the back, when the string has the capacity.
void WidenLfInPlace(std::string& text, std::vector<Offset>& starts) {
  const std::size_t n = text.size();
  const std::size_t breaks = starts.size() - 1;
  text.resize(n + breaks);
  char* const p = &text[0];
  std::size_t end = n;  // old bytes [lf + 1, end) still to move
  for (std::size_t k = breaks; k >= 1; --k) {
    const std::size_t lf = static_cast<std::size_t>(starts[k]) - 1;
    std::memmove(p + lf + 1 + k, p + lf + 1, end - lf - 1);
    p[lf + k] = '\n';
    p[lf + k - 1] = '\r';
    end = lf;
    starts[k] += static_cast<Offset>(k);
  }
}

// Room for the line index of text (its entries plus a gap for the first
// edits): counting first is a quick pass and spares a second array while
// the starts are collected or adopted.
std::size_t CountStarts(const std::string& text) {
  return static_cast<std::size_t>(ScanBreaks(text.data(), text.size()).lfs) + 2 + 1024;
}

}  // namespace

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

std::string MemoryBuffer::Apply(Offset pos, Offset length, std::string&& text) {
  const Offset firstLine = lines_.LineOf(pos);
  const Offset removedBreaks = length > 0 ? lines_.LineOf(pos + length) - firstLine : 0;
  const Offset inserted = static_cast<Offset>(text.size());
  std::string removed;
  Offset insertedBreaks = 0;
  if (pos == 0 && length == TextLength() && length + inserted > kWholeText) {
    // A whole-text tool: the old storage goes to the caller, the new text
    // becomes the storage; only the line starts are looked for.
    std::vector<Offset> entries = std::move(knownStarts_);
    if (entries.empty()) {
      entries.reserve(CountStarts(text));
      entries.push_back(0);
      ScanBreaks(text.data(), text.size(), entries);
    }
    insertedBreaks = static_cast<Offset>(entries.size()) - 1;
    entries.push_back(inserted);
    removed = text_.Release();
    if (text.capacity() < text.size() + GapBuffer::Room(text.size()) / 2) text.reserve(text.size() + GapBuffer::Room(text.size()));
    text_.Adopt(std::move(text));
    lines_.AssignEntries(std::move(entries));
  } else {
    removed = Copy(pos, length);
    lines_.Erase(pos, length);
    text_.Erase(static_cast<std::size_t>(pos), static_cast<std::size_t>(length));
    lines_.Insert(pos, text);
    text_.Insert(static_cast<std::size_t>(pos), text.data(), text.size());
    insertedBreaks = inserted > 0 ? lines_.LineOf(pos + inserted) - firstLine : 0;
  }
  knownStarts_.clear();
  // Anchor and caret move with the text around them.
  const auto map = [&](Offset x) {
    if (x < pos) return x;
    if (x >= pos + length) return x - length + inserted;
    return pos;
  };
  anchor_ = map(anchor_);
  caret_ = map(caret_);
  for (BufferListener* l : listeners_)
    l->TextReplaced(pos, length, inserted, firstLine, removedBreaks, insertedBreaks);
  return removed;
}

void MemoryBuffer::Record(Offset pos, Offset length, std::string&& text) {
  if (length == 0 && text.empty()) return;  // nothing to undo either
  const Offset inserted = static_cast<Offset>(text.size());
  Push(Edit{pos, Apply(pos, length, std::move(text)), inserted});
}

void MemoryBuffer::Push(Edit&& edit) {
  redo_.clear();
  typingOpen_ = false;
  if (editDepth_ > 0 && stepOpen_ && !undo_.empty()) {
    undo_.back().edits.push_back(std::move(edit));
  } else {
    undo_.push_back(Step{});
    undo_.back().edits.push_back(std::move(edit));
    stepOpen_ = editDepth_ > 0;
  }
}

void MemoryBuffer::SetSel(Offset anchor, Offset caret) {
  if (typingOpen_ && (anchor != caret || caret != typingEnd_)) typingOpen_ = false;
  anchor_ = anchor;
  caret_ = caret;
  NotifySelection();
}

void MemoryBuffer::NotifySelection() {
  for (BufferListener* l : listeners_) l->SelectionChanged();
}

std::string MemoryBuffer::Text() const { return Copy(0, TextLength()); }

void MemoryBuffer::SetText(const std::string& text) {
  const Offset oldLength = TextLength(), oldBreaks = lines_.Lines() - 1;
  std::vector<Offset> entries{0};
  const BreakScan scan = ScanBreaks(text.data(), text.size(), entries);
  std::string normal;
  if (scan.crs == scan.lfs && scan.lfAfterCr) {
    normal.reserve(text.size() + GapBuffer::Room(text.size()));
    normal.assign(text);
  } else if (scan.crs == 0) {
    WidenLf(text.data(), text.size(), entries, normal);
  } else {
    normal = NormalizeLineBreaks(text);
    entries.assign(1, 0);
    ScanBreaks(normal.data(), normal.size(), entries);
  }
  entries.push_back(static_cast<Offset>(normal.size()));
  lines_.AssignEntries(std::move(entries));
  Adopt(std::move(normal), oldLength, oldBreaks);
}

void MemoryBuffer::SetText(std::string&& text) {
  const Offset oldLength = TextLength(), oldBreaks = lines_.Lines() - 1;
  std::vector<Offset> entries;
  entries.reserve(CountStarts(text));
  entries.push_back(0);
  const BreakScan scan = ScanBreaks(text.data(), text.size(), entries);
  if (scan.crs == scan.lfs && scan.lfAfterCr) {
    // already ours
  } else if (scan.crs == 0) {
    const std::size_t need = text.size() + static_cast<std::size_t>(scan.lfs);
    if (text.capacity() >= need) {
      WidenLfInPlace(text, entries);
    } else {
      std::string wide;
      WidenLf(text.data(), text.size(), entries, wide);
      text.swap(wide);
    }
  } else {
    text = NormalizeLineBreaks(text);
    entries.assign(1, 0);
    ScanBreaks(text.data(), text.size(), entries);
  }
  entries.push_back(static_cast<Offset>(text.size()));
  lines_.AssignEntries(std::move(entries));
  Adopt(std::move(text), oldLength, oldBreaks);
}

void MemoryBuffer::Adopt(std::string&& normal, Offset oldLength, Offset oldBreaks) {
  text_.Adopt(std::move(normal));
  anchor_ = caret_ = 0;
  undo_.clear();
  redo_.clear();
  stepOpen_ = typingOpen_ = false;
  for (BufferListener* l : listeners_)
    l->TextReplaced(0, oldLength, TextLength(), 0, oldBreaks, lines_.Lines() - 1);
  NotifySelection();
}

Offset MemoryBuffer::LineCount() const {
  const Offset lines = lines_.Lines();
  const bool lastEmpty = lines_.LineStart(lines - 1) == TextLength();
  return lastEmpty ? lines - 1 : lines;
}

std::string MemoryBuffer::Line(Offset index) const {
  if (index < 0 || index >= lines_.Lines()) return "";
  const Offset start = lines_.LineStart(index);
  return Copy(start, LineEnd(index) - start);
}

// Every line a caret can stand on has an offset: the counted lines, plus the
// empty line after a final break or of an empty document.
Offset MemoryBuffer::LineToOffset(Offset index) const {
  if (index < 0 || index >= lines_.Lines()) return -1;
  return lines_.LineStart(index);
}

Offset MemoryBuffer::OffsetToLine(Offset offset) const { return lines_.LineOf(Snap(offset)); }

Offset MemoryBuffer::LineStart(Offset line) const {
  return lines_.LineStart(std::clamp<Offset>(line, 0, lines_.Lines()));
}

Offset MemoryBuffer::LineEnd(Offset line) const {
  line = std::clamp<Offset>(line, 0, lines_.Lines() - 1);
  const Offset next = lines_.LineStart(line + 1);
  return line + 1 < lines_.Lines() ? next - 2 : next;
}

char MemoryBuffer::CharAt(Offset pos) const {
  return pos >= 0 && pos < TextLength() ? text_[static_cast<std::size_t>(pos)] : '\0';
}

const char* MemoryBuffer::Range(Offset pos, Offset length) {
  pos = std::clamp<Offset>(pos, 0, TextLength());
  length = std::clamp<Offset>(length, 0, TextLength() - pos);
  return text_.Contiguous(static_cast<std::size_t>(pos), static_cast<std::size_t>(length));
}

const char* MemoryBuffer::RangeIfContiguous(Offset pos, Offset length) const {
  pos = std::clamp<Offset>(pos, 0, TextLength());
  length = std::clamp<Offset>(length, 0, TextLength() - pos);
  return text_.TryContiguous(static_cast<std::size_t>(pos), static_cast<std::size_t>(length));
}

Offset MemoryBuffer::CopyRange(Offset pos, Offset length, char* out) const {
  pos = std::clamp<Offset>(pos, 0, TextLength());
  length = std::clamp<Offset>(length, 0, TextLength() - pos);
  text_.CopyOut(static_cast<std::size_t>(pos), static_cast<std::size_t>(length), out);
  return length;
}

void MemoryBuffer::AppendRange(Offset pos, Offset length, std::string& out) const {
  pos = std::clamp<Offset>(pos, 0, TextLength());
  length = std::clamp<Offset>(length, 0, TextLength() - pos);
  text_.AppendTo(out, static_cast<std::size_t>(pos), static_cast<std::size_t>(length));
}

std::string MemoryBuffer::TextRange(Offset pos, Offset length) const {
  pos = std::clamp<Offset>(pos, 0, TextLength());
  length = std::clamp<Offset>(length, 0, TextLength() - pos);
  return Copy(pos, length);
}

// The end is counted from the clamped start; both ends are then clamped and
// snapped on their own. A negative length selects nothing.
void MemoryBuffer::SetSelection(Offset start, Offset length) {
  const Offset length0 = TextLength();
  start = std::clamp<Offset>(start, 0, length0);
  const Offset end = length <= 0 ? start : (length > length0 - start ? length0 : start + length);
  SetSel(Snap(start), Snap(end));
}

void MemoryBuffer::SetAnchorCaret(Offset anchor, Offset caret) { SetSel(Snap(anchor), Snap(caret)); }

std::string MemoryBuffer::SelText() const { return Copy(SelStart(), SelLength()); }

// New text with CR LF breaks only. A big text that is already so is
// copied once with room for later edits (it may become the storage itself);
// with starts given its line starts are collected on the way.
std::string MemoryBuffer::Normal(const std::string& text, std::vector<Offset>* starts) {
  std::string out;
  if (!Take(text, starts)) return NormalizeLineBreaks(text);
  if (static_cast<Offset>(text.size()) > kWholeText) out.reserve(text.size() + GapBuffer::Room(text.size()));
  out.assign(text);
  return out;
}

bool MemoryBuffer::Take(const std::string& text, std::vector<Offset>* starts) {
  BreakScan scan;
  if (starts) {
    starts->assign(1, 0);
    starts->reserve(CountStarts(text));
    scan = ScanBreaks(text.data(), text.size(), *starts);
  } else {
    scan = ScanBreaks(text.data(), text.size());
  }
  const bool normal = scan.crs == scan.lfs && scan.lfAfterCr;
  if (!normal && starts) starts->clear();
  return normal;
}

void MemoryBuffer::ReplaceSelection(const std::string& text) {
  const Offset pos = SelStart();
  const bool whole = pos == 0 && SelLength() == TextLength() && static_cast<Offset>(text.size()) > kWholeText;
  std::string normal = Normal(text, whole ? &knownStarts_ : nullptr);
  Replace(std::move(normal));
}

void MemoryBuffer::ReplaceSelection(std::string&& text) {
  const bool whole = SelStart() == 0 && SelLength() == TextLength() && static_cast<Offset>(text.size()) > kWholeText;
  if (!Take(text, whole ? &knownStarts_ : nullptr)) text = NormalizeLineBreaks(text);
  Replace(std::move(text));
}

void MemoryBuffer::Replace(std::string&& normal) {
  const Offset pos = SelStart();
  const Offset end = pos + static_cast<Offset>(normal.size());
  if (SelLength() == 0 && normal.empty()) {
    knownStarts_.clear();
    return;
  }
  Record(pos, SelLength(), std::move(normal));
  SetSel(end, end);
}

void MemoryBuffer::ReplaceRange(Offset pos, Offset length, const std::string& text) {
  pos = Snap(pos);
  const Offset end = std::max(pos, Snap(pos + std::max<Offset>(length, 0)));
  Record(pos, end - pos, Normal(text));
  NotifySelection();
}

void MemoryBuffer::TypeText(const std::string& text, bool overwrite) {
  std::string typed = NormalizeLineBreaks(text);
  if (typed.empty()) return;
  const Offset pos = SelStart();
  Offset length = SelLength();
  bool join = typingOpen_ && length == 0 && caret_ == typingEnd_ && !undo_.empty() &&
              undo_.back().edits.size() == 1 &&
              undo_.back().edits.back().pos + undo_.back().edits.back().length == pos;
  if (join && IsBlank(typed[0]) && !lastTypedBlank_) join = false;  // a word ends here
  if (overwrite && length == 0) {
    // One character replaced per typed one, up to the end of the line.
    Offset chars = 0;
    for (char c : typed) chars += (c != '\r' && c != '\n');
    const Offset lineEnd = LineEnd(lines_.LineOf(pos));
    length = std::min(chars, lineEnd - pos);
  }
  const Offset size = static_cast<Offset>(typed.size());
  const bool lastBlank = IsBlank(typed.back());
  std::string removed = Apply(pos, length, std::move(typed));
  redo_.clear();
  if (join) {
    Edit& e = undo_.back().edits.back();
    e.saved += removed;
    e.length += size;
  } else if (editDepth_ > 0 && stepOpen_ && !undo_.empty()) {
    undo_.back().edits.push_back(Edit{pos, std::move(removed), size});
  } else {
    undo_.push_back(Step{});
    undo_.back().edits.push_back(Edit{pos, std::move(removed), size});
    stepOpen_ = editDepth_ > 0;
  }
  const Offset end = pos + size;
  typingOpen_ = false;
  SetSel(end, end);
  typingOpen_ = editDepth_ == 0;
  typingEnd_ = end;
  lastTypedBlank_ = lastBlank;
}

void MemoryBuffer::BeginEdit() {
  if (editDepth_++ == 0) stepOpen_ = false;
  typingOpen_ = false;
}

void MemoryBuffer::EndEdit() {
  if (editDepth_ > 0 && --editDepth_ == 0) stepOpen_ = false;
}

void MemoryBuffer::Swap(Step& step, bool backward, Offset& lo, Offset& hi) {
  lo = hi = -1;
  const std::size_t n = step.edits.size();
  for (std::size_t k = 0; k < n; ++k) {
    Edit& e = step.edits[backward ? n - 1 - k : k];
    const Offset restored = static_cast<Offset>(e.saved.size());
    std::string current = Apply(e.pos, e.length, std::move(e.saved));
    Cover(lo, hi, e.pos, e.length, restored);
    e.saved = std::move(current);
    e.length = restored;
  }
}

void MemoryBuffer::Undo() {
  if (undo_.empty() || editDepth_ > 0) return;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  typingOpen_ = false;
  Offset lo, hi;
  Swap(step, true, lo, hi);
  redo_.push_back(std::move(step));
  SetSel(lo, hi);
}

void MemoryBuffer::Redo() {
  if (redo_.empty() || editDepth_ > 0) return;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  typingOpen_ = false;
  Offset lo, hi;
  Swap(step, false, lo, hi);
  undo_.push_back(std::move(step));
  SetSel(hi, hi);
}

void MemoryBuffer::ClearUndo() {
  undo_.clear();
  redo_.clear();
  stepOpen_ = typingOpen_ = false;
}

void MemoryBuffer::SelectAll() { SetSel(0, TextLength()); }

bool MemoryBuffer::MapSelection(const ByteMap& map) {
  for (int c = 0; c < 256; ++c) {
    const bool isBreak = c == '\r' || c == '\n';
    const bool toBreak = map.table[c] == '\r' || map.table[c] == '\n';
    if (isBreak != toBreak || (isBreak && map.table[c] != c)) return EditorBuffer::MapSelection(map);
  }
  const Offset pos = SelStart(), length = SelLength();
  if (length == 0) return false;
  std::string old = Copy(pos, length);  // for undo
  const auto u = static_cast<std::size_t>(pos), n = static_cast<std::size_t>(length);
  text_.ForEachRun(u, n, [&](char* p, std::size_t k) {
    if (map.run) {
      map.run(p, k);
    } else {
      for (std::size_t i = 0; i < k; ++i) p[i] = static_cast<char>(map.table[static_cast<unsigned char>(p[i])]);
    }
  });
  bool changed = false;
  std::size_t done = 0;
  text_.ForEachRun(u, n, [&](char* p, std::size_t k) {
    changed = changed || std::memcmp(p, old.data() + done, k) != 0;
    done += k;
  });
  if (!changed) return false;
  const Offset firstLine = lines_.LineOf(pos);
  const Offset breaks = lines_.LineOf(pos + length) - firstLine;
  knownStarts_.clear();
  Push(Edit{pos, std::move(old), length});
  for (BufferListener* l : listeners_) l->TextReplaced(pos, length, length, firstLine, breaks, breaks);
  NotifySelection();
  return true;
}

// The selection's end, whichever way it was made (the caret panels' rule).
CaretPosition MemoryBuffer::Caret() const {
  const Offset end = std::max(anchor_, caret_);
  const Offset line = lines_.LineOf(end);
  return {line, end - lines_.LineStart(line)};
}

void MemoryBuffer::AddListener(BufferListener* listener) {
  if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
    listeners_.push_back(listener);
}

void MemoryBuffer::RemoveListener(BufferListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

}  // namespace ql
