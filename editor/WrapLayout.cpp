#include "editor/WrapLayout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace ql {

namespace {

// Sums of advances carry rounding; a row that fits to the last bit fits.
constexpr double kSlack = 1e-7;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

namespace {

// The break once the character at misfit does not fit: a blank hangs,
// else after the last blank before it (lastTab: the last tab passed, -1 if
// none; spaces after it are looked for backwards), else before it.
Offset BreakAt(const char* line, Offset start, Offset misfit, Offset lastTab) {
  if (line[misfit] == ' ' || line[misfit] == '\t') return misfit + 1;
  for (Offset k = misfit; k-- > std::max(start, lastTab + 1);)
    if (line[k] == ' ') return k + 1;
  return lastTab >= 0 ? lastTab + 1 : misfit;
}

// One width for nearly every byte: runs of common bytes are divisions, the
// odd bytes between them (tabs always) are measured one by one; they are
// found with memchr when the tab is the only one.
Offset RunRow(const char* line, Offset length, Offset start, const WidthTable& table, double width) {
  const double limit = width + kSlack;
  const double advance = table.CommonAdvance();
  const bool onlyTabs = table.UniformAdvance() > 0;
  const auto nextOdd = [&](Offset from, Offset to) {
    if (onlyTabs) {
      const void* tab = std::memchr(line + from, '\t', static_cast<std::size_t>(to - from));
      return tab ? static_cast<const char*>(tab) - line : to;
    }
    while (from < to && !table.Odd(static_cast<unsigned char>(line[from]))) ++from;
    return from;
  };
  Offset i = start, lastTab = -1;
  // The first character always goes in.
  double x = table.After(static_cast<unsigned char>(line[i]), 0);
  if (line[i] == '\t') lastTab = i;
  ++i;
  while (i < length) {
    const double room = std::floor((limit - x) / advance);
    const Offset fit = room <= 0 ? 0 : static_cast<Offset>(std::min(room, 4.0e18));
    const Offset end = fit < length - i ? i + fit : length;  // first common byte that would not fit
    const Offset odd = nextOdd(i, end);
    x += static_cast<double>(odd - i) * advance;
    i = odd;
    if (i >= length) return length;
    const auto c = static_cast<unsigned char>(line[i]);
    if (i == end && !table.Odd(c)) return BreakAt(line, start, i, lastTab);
    const double next = table.After(c, x);
    if (next > limit) return BreakAt(line, start, i, lastTab);
    x = next;
    if (c == '\t') lastTab = i;
    ++i;
  }
  return length;
}

}  // namespace

Offset NextRowStart(const char* line, Offset length, Offset start, const WidthTable& table, double width) {
  if (start >= length) return length;
  if (table.CommonAdvance() > 0) return RunRow(line, length, start, table, width);
  double x = 0;
  Offset i = start, lastBlank = -1;
  for (; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    const double next = table.After(c, x);
    if (next > width + kSlack && i > start) break;
    if (c == ' ' || c == '\t') lastBlank = i;
    x = next;
  }
  if (i >= length) return length;
  if (IsBlank(line[i])) return i + 1;  // hangs at the end of the row
  if (lastBlank >= 0) return lastBlank + 1;
  return i;
}

std::vector<Offset> WrapRows(const char* line, Offset length, const WidthTable& table, double width) {
  std::vector<Offset> rows{0};
  if (width <= 0) return rows;
  for (Offset r = NextRowStart(line, length, 0, table, width); r < length;
       r = NextRowStart(line, length, r, table, width))
    rows.push_back(r);
  return rows;
}

// ---- WrapIndex ----

WrapIndex::WrapIndex(MemoryBuffer& doc) : doc_(doc) {
  doc_.AddListener(this);
  Reset();
}

WrapIndex::~WrapIndex() { doc_.RemoveListener(this); }

void WrapIndex::SetLayout(const WidthTable& table, double width) {
  Forget();
  table_ = table;
  width_ = width;
  double sum = 0, widest = 0;
  for (int c = 32; c < 127; ++c) sum += table.Advance(static_cast<unsigned char>(c));
  for (int c = 0; c < 256; ++c)
    if (c != '\t') widest = std::max(widest, table.Advance(static_cast<unsigned char>(c)));
  meanAdvance_ = std::max(sum / 95, 1e-3);
  widestAdvance_ = widest;
  Reset();
}

std::uint32_t WrapIndex::Estimate(Offset length) const {
  if (width_ <= 0 || length <= 0) return 1;
  const double rows = std::ceil(static_cast<double>(length) * meanAdvance_ / width_);
  return static_cast<std::uint32_t>(std::clamp(rows, 1.0, 4.0e9));
}

void WrapIndex::Reset() {
  blocks_.clear();
  long_.clear();
  pendingLines_ = 0;
  cursor_ = 0;
  const Offset lines = doc_.PhysicalLines();
  for (Offset first = 0; first < lines; first += kBlockLines) {
    Block blk;
    blk.lazyLines = std::min(kBlockLines, lines - first);
    const Offset bytes = doc_.LineStart(first + blk.lazyLines) - doc_.LineStart(first);
    blk.rowSum = Wrapping() ? std::max<Offset>(blk.lazyLines, Estimate(bytes)) : blk.lazyLines;
    if (Wrapping()) blk.pendingCount = blk.lazyLines;
    pendingLines_ += blk.pendingCount;
    blocks_.push_back(std::move(blk));
  }
  if (blocks_.empty()) blocks_.push_back(Block{});
  linesDirty_ = rowsDirty_ = true;
}

void WrapIndex::Materialise(std::size_t block) const {
  Block& blk = blocks_[block];
  if (blk.lazyLines == 0) return;
  if (linesDirty_) RefreshPrefix();
  const Offset first = blockFirstLine_[block], count = blk.lazyLines, lines = doc_.PhysicalLines();
  blk.rows.resize(static_cast<std::size_t>(count));
  blk.pending.assign(static_cast<std::size_t>(count), Wrapping() ? 1 : 0);
  blk.rowSum = 0;
  Offset start = doc_.LineStart(first);
  for (Offset k = 0; k < count; ++k) {
    const Offset next = doc_.LineStart(first + k + 1);
    const Offset end = first + k + 1 < lines ? next - 2 : next;
    const std::uint32_t rows = Wrapping() ? Estimate(end - start) : 1;
    blk.rows[static_cast<std::size_t>(k)] = rows;
    blk.rowSum += rows;
    start = next;
  }
  blk.lazyLines = 0;
  rowsDirty_ = true;
}

void WrapIndex::RefreshPrefix() const {
  blockFirstLine_.resize(blocks_.size());
  blockFirstRow_.resize(blocks_.size());
  Offset line = 0, row = 0;
  for (std::size_t b = 0; b < blocks_.size(); ++b) {
    blockFirstLine_[b] = line;
    blockFirstRow_[b] = row;
    line += LinesOf(blocks_[b]);
    row += blocks_[b].rowSum;
  }
  linesDirty_ = rowsDirty_ = false;
}

void WrapIndex::Locate(Offset line, std::size_t& block, std::size_t& index) const {
  if (linesDirty_) RefreshPrefix();
  const auto it = std::upper_bound(blockFirstLine_.begin(), blockFirstLine_.end(), line);
  block = it == blockFirstLine_.begin() ? 0 : static_cast<std::size_t>(it - blockFirstLine_.begin() - 1);
  // Empty blocks share their first line with the next one.
  while (block + 1 < blocks_.size() && line - blockFirstLine_[block] >= LinesOf(blocks_[block])) ++block;
  index = static_cast<std::size_t>(line - blockFirstLine_[block]);
  Materialise(block);
}

Offset WrapIndex::RowCount() const {
  Offset rows = 0;
  for (const Block& b : blocks_) rows += b.rowSum;
  return rows;
}

Offset WrapIndex::RowsOfLine(Offset line) const {
  if (line < 0 || line >= doc_.PhysicalLines()) return 0;
  std::size_t b, i;
  Locate(line, b, i);
  return blocks_[b].rows[i];
}

bool WrapIndex::LineExact(Offset line) const {
  if (line < 0 || line >= doc_.PhysicalLines()) return false;
  std::size_t b, i;
  Locate(line, b, i);
  return !blocks_[b].pending[i];
}

Offset WrapIndex::FirstRowOfLine(Offset line) const {
  line = std::clamp<Offset>(line, 0, doc_.PhysicalLines());
  std::size_t b, i;
  if (line == doc_.PhysicalLines()) return RowCount();
  Locate(line, b, i);
  if (rowsDirty_) RefreshPrefix();
  Offset row = blockFirstRow_[b];
  const Block& blk = blocks_[b];
  for (std::size_t k = 0; k < i; ++k) row += blk.rows[k];
  return row;
}

void WrapIndex::SetRowsAt(std::size_t b, std::size_t i, Offset rows, bool exact) {
  Block& blk = blocks_[b];
  const std::uint32_t value = static_cast<std::uint32_t>(std::clamp<Offset>(rows, 1, std::numeric_limits<std::uint32_t>::max()));
  blk.rowSum += static_cast<Offset>(value) - static_cast<Offset>(blk.rows[i]);
  blk.rows[i] = value;
  const bool wasPending = blk.pending[i] != 0;
  if (wasPending && exact) {
    --blk.pendingCount;
    --pendingLines_;
  } else if (!wasPending && !exact) {
    ++blk.pendingCount;
    ++pendingLines_;
  }
  blk.pending[i] = exact ? 0 : 1;
  rowsDirty_ = true;
}

void WrapIndex::SetRows(Offset line, Offset rows, bool exact) {
  std::size_t b, i;
  Locate(line, b, i);
  SetRowsAt(b, i, rows, exact);
}

Offset WrapIndex::LayOut(Offset line, Offset budget) {
  const Offset start = doc_.LineStart(line), length = doc_.LineEnd(line) - start;
  if (length > kLongLine && Wrapping()) {
    LongLine& ll = long_[line];
    const Offset before = ll.nextStart;
    StepLong(line, ll, std::max<Offset>(budget, 4096));
    return ll.nextStart - before + 16;
  }
  SetRows(line, ShortRows(start, length), true);
  return length + 16;
}

const char* WrapIndex::Bytes(Offset pos, Offset length) {
  if (const char* p = doc_.RangeIfContiguous(pos, length)) return p;
  scratch_.resize(static_cast<std::size_t>(length));
  doc_.CopyRange(pos, length, &scratch_[0]);
  return scratch_.data();
}

Offset WrapIndex::NextRow(Offset lineStart, Offset length, Offset r) {
  Offset want = 64 * 1024;
  for (;;) {
    want = std::min(want, length - r);
    if (window_.lineStart != lineStart || r < window_.from || r + want > window_.from + window_.size) {
      window_.lineStart = lineStart;
      window_.from = r;
      window_.size = std::min(length - r, std::max<Offset>(want, 1 << 20));
      const char* p = doc_.RangeIfContiguous(lineStart + r, window_.size);
      if (!p) {
        window_.copy.resize(static_cast<std::size_t>(window_.size));
        doc_.CopyRange(lineStart + r, window_.size, &window_.copy[0]);
        p = window_.copy.data();
      }
      window_.bytes = p;
    }
    const Offset avail = window_.from + window_.size - r;
    const Offset n = NextRowStart(window_.bytes + (r - window_.from), avail, 0, table_, width_);
    // A row that ran to the window's end may go on past it.
    if (n < avail || r + avail >= length) return r + n;
    want = avail * 2;
  }
}

Offset WrapIndex::ShortRows(Offset start, Offset length) {
  if (!Wrapping() || length == 0) return 1;
  const char* p = Bytes(start, length);
  // Most lines fit whole: no row to look for.
  if (static_cast<double>(length) * widestAdvance_ <= width_ && !std::memchr(p, '\t', static_cast<std::size_t>(length)))
    return 1;
  Offset rows = 0;
  for (Offset r = 0; r < length; r = NextRowStart(p, length, r, table_, width_)) ++rows;
  return rows;
}

void WrapIndex::StepLong(Offset line, LongLine& ll, Offset budget) {
  const Offset start = doc_.LineStart(line), length = doc_.LineEnd(line) - start;
  Offset r = ll.nextStart;
  const Offset limit = r + budget;
  while (r < length && r < limit) {
    r = NextRow(start, length, r);
    ++ll.rowsDone;
    if (r < length && ll.rowsDone % kCheckpointRows == 0) ll.checkpoints.push_back(r);
  }
  ll.nextStart = r;
  if (r >= length)
    SetRows(line, ll.rowsDone, true);
  else
    SetRows(line, ll.rowsDone + Estimate(length - r), false);
}

void WrapIndex::LayOutLongUntilRow(Offset line, LongLine& ll, Offset row) {
  const Offset length = doc_.LineEnd(line) - doc_.LineStart(line);
  while (ll.nextStart < length && ll.rowsDone <= row) StepLong(line, ll, 1 << 18);
}

void WrapIndex::LayOutLongUntilOffset(Offset line, LongLine& ll, Offset relPos) {
  const Offset length = doc_.LineEnd(line) - doc_.LineStart(line);
  while (ll.nextStart < length && ll.nextStart <= relPos)
    StepLong(line, ll, std::min<Offset>(1 << 20, relPos - ll.nextStart + 4096));
}

bool WrapIndex::ComputeSome(Offset budgetBytes) {
  Forget();
  Offset spent = 0;
  const Offset lines = doc_.PhysicalLines();
  for (std::size_t scanned = 0; pendingLines_ > 0 && scanned <= blocks_.size() && spent < budgetBytes;) {
    if (cursor_ >= blocks_.size()) cursor_ = 0;
    Block& blk = blocks_[cursor_];
    if (blk.pendingCount == 0) {
      ++cursor_;
      ++scanned;
      continue;
    }
    if (linesDirty_) RefreshPrefix();
    const Offset firstLine = blockFirstLine_[cursor_];
    if (blk.lazyLines > 0) {  // about to be counted: one row each meanwhile
      const Offset n = blk.lazyLines;
      blk.rows.assign(static_cast<std::size_t>(n), 1);
      blk.pending.assign(static_cast<std::size_t>(n), 1);
      blk.rowSum = n;
      blk.lazyLines = 0;
      rowsDirty_ = true;
    }
    // Lines that fit whole need no look at their bytes when the block has
    // no tab at all.
    const Offset blockStart = doc_.LineStart(firstLine);
    const Offset blockBytes = doc_.LineStart(firstLine + static_cast<Offset>(blk.rows.size())) - blockStart;
    const bool noTabs = blockBytes <= 4 * kLongLine &&
                        !std::memchr(Bytes(blockStart, blockBytes), '\t', static_cast<std::size_t>(blockBytes));
    Offset start = blockStart;
    for (std::size_t i = 0; i < blk.rows.size() && spent < budgetBytes; ++i) {
      const Offset line = firstLine + static_cast<Offset>(i);
      const Offset next = doc_.LineStart(line + 1);
      const Offset length = (line + 1 < lines ? next - 2 : next) - start;
      if (blk.pending[i]) {
        if (length > kLongLine) {
          spent += LayOut(line, budgetBytes - spent);
        } else {
          const bool fits = noTabs && static_cast<double>(length) * widestAdvance_ <= width_;
          SetRowsAt(cursor_, i, fits ? 1 : ShortRows(start, length), true);
          spent += length + 16;
        }
      }
      start = next;
    }
    if (spent < budgetBytes) {  // the block is done
      ++cursor_;
      ++scanned;
    }
  }
  return Complete();
}

WrapIndex::Row WrapIndex::LineOfRow(Offset row) const {
  std::size_t b = 0;
  for (;;) {  // a lazy block found gets its lines, which may move the row
    if (linesDirty_ || rowsDirty_) RefreshPrefix();
    row = std::clamp<Offset>(row, 0, std::max<Offset>(RowCount() - 1, 0));
    const auto it = std::upper_bound(blockFirstRow_.begin(), blockFirstRow_.end(), row);
    b = it == blockFirstRow_.begin() ? 0 : static_cast<std::size_t>(it - blockFirstRow_.begin() - 1);
    while (b > 0 && LinesOf(blocks_[b]) == 0) --b;
    if (blocks_[b].lazyLines == 0) break;
    Materialise(b);
  }
  const Block& blk = blocks_[b];
  Offset remain = row - blockFirstRow_[b];
  std::size_t i = 0;
  while (i + 1 < blk.rows.size() && remain >= static_cast<Offset>(blk.rows[i])) remain -= blk.rows[i++];
  Row out;
  out.line = blockFirstLine_[b] + static_cast<Offset>(i);
  out.rowInLine = std::min<Offset>(remain, static_cast<Offset>(blk.rows[i]) - 1);
  return out;
}

std::vector<WrapIndex::Row> WrapIndex::RowsOfLineFrom(Offset line, Offset rowInLine, Offset count) {
  Forget();
  std::vector<Row> out;
  if (line < 0 || line >= doc_.PhysicalLines() || count <= 0) return out;
  const Offset start = doc_.LineStart(line), length = doc_.LineEnd(line) - start;
  rowInLine = std::max<Offset>(rowInLine, 0);
  if (!Wrapping() || length == 0) {
    out.push_back(Row{line, 0, start, start + length});
    return out;
  }
  Offset r = 0, index = 0;
  if (length > kLongLine) {
    LongLine& ll = long_[line];
    LayOutLongUntilRow(line, ll, rowInLine + count);
    if (ll.nextStart >= length) rowInLine = std::min(rowInLine, ll.rowsDone - 1);
    const std::size_t k = std::min(static_cast<std::size_t>(rowInLine / kCheckpointRows), ll.checkpoints.size() - 1);
    r = ll.checkpoints[k];
    index = static_cast<Offset>(k) * kCheckpointRows;
  } else if (!LineExact(line)) {
    LayOut(line, 0);
  }
  if (length <= kLongLine) rowInLine = std::min(rowInLine, RowsOfLine(line) - 1);
  while (r < length && static_cast<Offset>(out.size()) < count) {
    const Offset next = NextRow(start, length, r);
    if (index >= rowInLine) out.push_back(Row{line, index, start + r, start + next});
    r = next;
    ++index;
  }
  return out;
}

std::vector<WrapIndex::Row> WrapIndex::Rows(Offset firstRow, Offset count) {
  std::vector<Row> out;
  if (count <= 0) return out;
  const Row first = LineOfRow(firstRow);
  Offset line = first.line, rowInLine = first.rowInLine;
  const Offset lines = doc_.PhysicalLines();
  while (line < lines && static_cast<Offset>(out.size()) < count) {
    std::vector<Row> part = RowsOfLineFrom(line, rowInLine, count - static_cast<Offset>(out.size()));
    out.insert(out.end(), part.begin(), part.end());
    ++line;
    rowInLine = 0;
  }
  return out;
}

WrapIndex::Row WrapIndex::RowOfOffset(Offset pos) {
  Forget();
  const Offset line = doc_.OffsetToLine(pos);
  const Offset start = doc_.LineStart(line), length = doc_.LineEnd(line) - start;
  const Offset rel = std::clamp<Offset>(pos - start, 0, length);
  if (!Wrapping() || length == 0) return Row{line, 0, start, start + length};
  Offset r = 0, index = 0;
  if (length > kLongLine) {
    LongLine& ll = long_[line];
    LayOutLongUntilOffset(line, ll, rel);
    // The last checkpoint at or before rel.
    const auto it = std::upper_bound(ll.checkpoints.begin(), ll.checkpoints.end(), rel);
    const std::size_t k = static_cast<std::size_t>(it - ll.checkpoints.begin() - 1);
    r = ll.checkpoints[k];
    index = static_cast<Offset>(k) * kCheckpointRows;
  } else if (!LineExact(line)) {
    LayOut(line, 0);
  }
  for (;;) {
    const Offset next = NextRow(start, length, r);
    if (rel < next || next >= length) return Row{line, index, start + r, start + next};
    r = next;
    ++index;
  }
}

void WrapIndex::ReplaceLinesAt(Offset at, Offset removeCount, Offset insertCount) {
  if (at == 0 && removeCount >= TotalLines()) {  // a whole new text
    std::map<Offset, LongLine> keep;
    keep.swap(long_);
    Reset();
    long_.swap(keep);
    return;
  }
  std::size_t b = 0, i = 0;
  if (at > 0 || !blocks_.empty()) {
    if (blocks_.empty()) blocks_.push_back(Block{});
    if (at >= TotalLines()) {
      b = blocks_.size() - 1;
      Materialise(b);
      i = blocks_[b].rows.size();
    } else {
      Locate(at, b, i);
    }
  }
  // Take the old entries out.
  for (std::size_t bb = b, ii = i; removeCount > 0 && bb < blocks_.size(); ++bb, ii = 0) {
    Materialise(bb);
    Block& blk = blocks_[bb];
    const std::size_t n = std::min(static_cast<std::size_t>(removeCount), blk.rows.size() - ii);
    for (std::size_t k = ii; k < ii + n; ++k) {
      blk.rowSum -= blk.rows[k];
      if (blk.pending[k]) {
        --blk.pendingCount;
        --pendingLines_;
      }
    }
    blk.rows.erase(blk.rows.begin() + static_cast<std::ptrdiff_t>(ii), blk.rows.begin() + static_cast<std::ptrdiff_t>(ii + n));
    blk.pending.erase(blk.pending.begin() + static_cast<std::ptrdiff_t>(ii),
                      blk.pending.begin() + static_cast<std::ptrdiff_t>(ii + n));
    removeCount -= static_cast<Offset>(n);
  }
  // The new lines, estimated (or exact: one row each without wrapping).
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(insertCount));
  std::vector<std::uint8_t> pending(static_cast<std::size_t>(insertCount), Wrapping() ? 1 : 0);
  Offset sum = 0;
  Offset lineStart = insertCount > 0 ? doc_.LineStart(at) : 0;
  for (Offset k = 0; k < insertCount; ++k) {
    const Offset next = doc_.LineStart(at + k + 1);
    const Offset end = at + k + 1 < doc_.PhysicalLines() ? next - 2 : next;
    rows[static_cast<std::size_t>(k)] = Wrapping() ? Estimate(end - lineStart) : 1;
    sum += rows[static_cast<std::size_t>(k)];
    lineStart = next;
  }
  Block& blk = blocks_[b];
  blk.rows.insert(blk.rows.begin() + static_cast<std::ptrdiff_t>(i), rows.begin(), rows.end());
  blk.pending.insert(blk.pending.begin() + static_cast<std::ptrdiff_t>(i), pending.begin(), pending.end());
  blk.rowSum += sum;
  if (Wrapping()) {
    blk.pendingCount += insertCount;
    pendingLines_ += insertCount;
  }
  // Keep blocks between empty and twice their size.
  if (static_cast<Offset>(blk.rows.size()) > 2 * kBlockLines) {
    std::vector<Block> parts;
    for (std::size_t from = 0; from < blk.rows.size(); from += kBlockLines) {
      const std::size_t to = std::min(blk.rows.size(), from + static_cast<std::size_t>(kBlockLines));
      Block part;
      part.rows.assign(blk.rows.begin() + static_cast<std::ptrdiff_t>(from), blk.rows.begin() + static_cast<std::ptrdiff_t>(to));
      part.pending.assign(blk.pending.begin() + static_cast<std::ptrdiff_t>(from),
                          blk.pending.begin() + static_cast<std::ptrdiff_t>(to));
      for (std::size_t k = 0; k < part.rows.size(); ++k) {
        part.rowSum += part.rows[k];
        part.pendingCount += part.pending[k];
      }
      parts.push_back(std::move(part));
    }
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b), std::make_move_iterator(parts.begin()),
                   std::make_move_iterator(parts.end()));
  }
  blocks_.erase(std::remove_if(blocks_.begin(), blocks_.end(), [](const Block& x) { return LinesOf(x) == 0; }),
                blocks_.end());
  if (blocks_.empty()) blocks_.push_back(Block{});
  cursor_ = 0;
  linesDirty_ = rowsDirty_ = true;
}

Offset WrapIndex::TotalLines() const {
  Offset lines = 0;
  for (const Block& b : blocks_) lines += LinesOf(b);
  return lines;
}

void WrapIndex::TextReplaced(Offset pos, Offset, Offset, Offset firstLine, Offset removedBreaks,
                             Offset insertedBreaks) {
  ForgetAll();
  // The part of a long first line before the edit keeps its rows: a row
  // start depends only on the bytes up to it.
  LongLine keep;
  bool kept = false;
  const auto found = long_.find(firstLine);
  if (found != long_.end()) {
    const Offset rel = pos - doc_.LineStart(firstLine);
    keep = std::move(found->second);
    while (keep.checkpoints.size() > 1 && keep.checkpoints.back() >= rel) keep.checkpoints.pop_back();
    keep.nextStart = keep.checkpoints.back();
    keep.rowsDone = static_cast<Offset>(keep.checkpoints.size() - 1) * kCheckpointRows;
    kept = true;
  }
  const Offset shift = insertedBreaks - removedBreaks;
  std::map<Offset, LongLine> moved;
  for (auto& [line, ll] : long_) {
    if (line < firstLine)
      moved.emplace(line, std::move(ll));
    else if (line > firstLine + removedBreaks)
      moved.emplace(line + shift, std::move(ll));
  }
  long_.swap(moved);
  ReplaceLinesAt(firstLine, removedBreaks + 1, insertedBreaks + 1);
  if (kept && Wrapping() && doc_.LineEnd(firstLine) - doc_.LineStart(firstLine) > kLongLine) {
    const Offset length = doc_.LineEnd(firstLine) - doc_.LineStart(firstLine);
    SetRows(firstLine, keep.rowsDone + Estimate(length - keep.nextStart), false);
    long_[firstLine] = std::move(keep);
  }
}

}  // namespace ql
