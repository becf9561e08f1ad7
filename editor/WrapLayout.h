// Word wrap: where the rows of a line begin, and an index of the rows of the
// whole document.
//
// A row starts at x = 0 and takes characters while they fit in the width;
// the first one that does not fit ends it. If that character is a blank
// (space or tab) it still hangs at the end of the row; otherwise the row
// breaks after the last blank that fits, and when there is none, before the
// character that does not fit. A row holds at least one character. Lines
// are laid out without their CR LF, so a line break is never a row of its
// own; an empty line is one row.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "editor/MemoryBuffer.h"
#include "editor/WidthTable.h"

namespace ql {

// Where the row that starts at `start` of a line's bytes [line, line +
// length) ends: the start of the next row, or length.
Offset NextRowStart(const char* line, Offset length, Offset start, const WidthTable& table, double width);
// Every row start of a line: 0 first, one entry per row.
std::vector<Offset> WrapRows(const char* line, Offset length, const WidthTable& table, double width);

// Rows of every line of a document, kept current through the listener.
//
// Lines not yet laid out count an estimate (from their length) and are
// computed in bounded chunks by ComputeSome, or at once where the view asks
// for rows. Row numbers are therefore exact only once Complete(); the rows
// of a line already laid out are always exact. A line longer than 64 KiB is
// laid out piecewise with the start of every 128th row kept, so the rows
// around any offset are found by wrapping at most 128 rows (after the
// rows up to there were counted once); an edit keeps the part of the line
// before it.
class WrapIndex : public BufferListener {
 public:
  // Listens to doc until destroyed. Starts without wrapping.
  explicit WrapIndex(MemoryBuffer& doc);
  ~WrapIndex() override;
  WrapIndex(const WrapIndex&) = delete;
  WrapIndex& operator=(const WrapIndex&) = delete;

  // Width in pixels; zero or less turns wrapping off (one row per line).
  // Every line is laid out again.
  void SetLayout(const WidthTable& table, double width);
  bool Wrapping() const { return width_ > 0; }
  double Width() const { return width_; }

  // Lays out pending lines for about budgetBytes of text; true when every
  // line is exact.
  bool ComputeSome(Offset budgetBytes);
  bool Complete() const { return pendingLines_ == 0; }

  // Counts over physical lines (MemoryBuffer::PhysicalLines()).
  Offset RowCount() const;
  Offset RowsOfLine(Offset line) const;
  bool LineExact(Offset line) const;
  Offset FirstRowOfLine(Offset line) const;

  struct Row {
    Offset line = 0;
    Offset rowInLine = 0;
    Offset start = 0;  // absolute offsets; end stops before the line break
    Offset end = 0;
  };
  // The line and row-in-line of a row number (clamped to the rows).
  Row LineOfRow(Offset row) const;
  // Up to count rows from row number firstRow (clamped), laid out now where
  // needed: the rows to paint. May refine estimates of the lines it lays
  // out, which changes later row numbers until Complete().
  std::vector<Row> Rows(Offset firstRow, Offset count);
  // The rows of line starting with its row rowInLine, at most count.
  std::vector<Row> RowsOfLineFrom(Offset line, Offset rowInLine, Offset count);
  // The row holding pos; an offset on a row boundary belongs to the row it
  // starts, the end of a line to its last row.
  Row RowOfOffset(Offset pos);

  void TextReplaced(Offset pos, Offset removedLength, Offset insertedLength, Offset firstLine,
                    Offset removedBreaks, Offset insertedBreaks) override;

 private:
  static constexpr Offset kBlockLines = 1024;
  static constexpr Offset kLongLine = 64 * 1024;
  static constexpr Offset kCheckpointRows = 128;

  // A block of lines. A lazy block (straight after a new text or layout)
  // has no per-line entries yet, only an estimate for all its lines, so a
  // layout of millions of lines starts in O(blocks).
  struct Block {
    std::vector<std::uint32_t> rows;
    std::vector<std::uint8_t> pending;
    Offset rowSum = 0;
    Offset pendingCount = 0;
    Offset lazyLines = 0;  // lines of a lazy block, 0 otherwise
  };
  static Offset LinesOf(const Block& b) { return b.lazyLines > 0 ? b.lazyLines : static_cast<Offset>(b.rows.size()); }
  // Gives a lazy block its per-line estimates.
  void Materialise(std::size_t block) const;
  // A long line laid out piecewise: checkpoints[k] is the start of row
  // k * kCheckpointRows; rows before nextStart are counted in rowsDone.
  struct LongLine {
    std::vector<Offset> checkpoints{0};
    Offset nextStart = 0;
    Offset rowsDone = 0;
  };

  std::uint32_t Estimate(Offset length) const;
  void Reset();
  void Locate(Offset line, std::size_t& block, std::size_t& index) const;
  void RefreshPrefix() const;
  void SetRows(Offset line, Offset rows, bool exact);
  void SetRowsAt(std::size_t block, std::size_t index, Offset rows, bool exact);
  Offset TotalLines() const;
  // Lays out line completely (short) or for about budget bytes (long);
  // returns the bytes looked at.
  Offset LayOut(Offset line, Offset budget);
  Offset ShortRows(Offset start, Offset length);
  // Bytes of the document without moving its gap (copied when they
  // straddle it); valid until the next call.
  const char* Bytes(Offset pos, Offset length);
  // The start of the row after the one at r of a line, read through a
  // window of the line's bytes.
  Offset NextRow(Offset lineStart, Offset length, Offset r);
  // A window pointing into the document must not outlive a call (the
  // document may move its gap); a copied one holds until the text changes.
  void Forget() {
    if (window_.bytes != window_.copy.data()) window_.lineStart = -1;
  }
  void ForgetAll() { window_.lineStart = -1; }
  // For a long line: lay out until row `row` is known or the line is done.
  void LayOutLongUntilRow(Offset line, LongLine& ll, Offset row);
  void LayOutLongUntilOffset(Offset line, LongLine& ll, Offset relPos);
  void StepLong(Offset line, LongLine& ll, Offset budget);
  // Lines [at, at + removeCount) of the old text became [at, at + insertCount).
  void ReplaceLinesAt(Offset at, Offset removeCount, Offset insertCount);

  MemoryBuffer& doc_;
  WidthTable table_;
  double width_ = 0;
  double meanAdvance_ = 1;
  double widestAdvance_ = 1;
  mutable std::vector<Block> blocks_;
  Offset pendingLines_ = 0;
  std::size_t cursor_ = 0;  // block where ComputeSome looks first
  std::map<Offset, LongLine> long_;
  struct Window {
    Offset lineStart = -1;
    Offset from = 0;
    Offset size = 0;
    const char* bytes = nullptr;
    std::string copy;
  };
  Window window_;
  std::string scratch_;
  mutable bool linesDirty_ = true;  // block first lines need counting again
  mutable bool rowsDirty_ = true;   // block first rows do
  mutable std::vector<Offset> blockFirstLine_;
  mutable std::vector<Offset> blockFirstRow_;
};

}  // namespace ql
