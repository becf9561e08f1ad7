// Where each line of a CR LF text starts.
//
// Entry i is the offset of line i (0 for line 0, just after the LF of the
// i-th break otherwise); one more entry at the end holds the text length, so
// a text with k breaks has k + 1 lines (the last one possibly empty) and
// k + 2 entries. The entries live in a gap buffer, so adding or removing the
// k breaks of an edit moves only those k entries plus the distance from the
// previous edit.
//
// Shifting every later line by the edit's length would cost O(lines), so it
// is done lazily: entries after the "step" entry are stored without a
// pending delta, the step length. An edit moves the step to its own line,
// adjusting only the entries the step passes over, and adds its length to
// the delta. Editing in one region therefore costs O(k) amortised; a jump
// across the document pays once for the distance.
//
// The text itself is not kept here. The caller promises that every break is
// CR LF and that no edit starts or ends between a CR and its LF.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/GapBuffer.h"

namespace ql {

// What one pass over a text finds: the offset just after each LF (added to
// starts), how many CR and LF it holds, and whether every LF follows a CR.
// With crs == lfs and lfAfterCr the text has only CR LF breaks.
struct BreakScan {
  std::int64_t crs = 0;
  std::int64_t lfs = 0;
  bool lfAfterCr = true;
};
BreakScan ScanBreaks(const char* text, std::size_t size, std::vector<std::int64_t>& starts);
// The same without collecting the starts.
BreakScan ScanBreaks(const char* text, std::size_t size);

class LineIndex {
 public:
  using Offset = std::int64_t;

  LineIndex();  // an empty text: one empty line

  void Assign(std::string_view text);
  // Takes entries already found (see ScanBreaks): 0, the start after each
  // break, then the text length.
  void AssignEntries(std::vector<Offset>&& entries);
  void Insert(Offset pos, std::string_view text);
  void Erase(Offset pos, Offset length);

  Offset Length() const { return Entry(Lines()); }
  // Physical lines, counting an empty last line.
  Offset Lines() const { return static_cast<Offset>(starts_.Size()) - 1; }
  // 0 <= line <= Lines(); LineStart(Lines()) is the text length.
  Offset LineStart(Offset line) const { return Entry(line); }
  // The line holding pos (clamped to the text), by binary search; the end of
  // the text belongs to the last line.
  Offset LineOf(Offset pos) const;

  // Entries touched by step moves and gap moves so far: the work that must
  // not grow with the number of lines for a local edit.
  std::uint64_t Work() const { return stepped_ + starts_.MovedElements(); }

 private:
  Offset Entry(Offset i) const {
    return starts_[static_cast<std::size_t>(i)] + (i > step_ ? stepLength_ : 0);
  }
  void ShiftAfter(Offset entry, Offset delta);
  void MoveStepTo(Offset entry);
  void InsertEntries(Offset at, const Offset* values, std::size_t count);
  void EraseEntries(Offset at, Offset count);

  BasicGapBuffer<Offset> starts_;
  Offset step_ = 0;        // entries after this one lack stepLength_
  Offset stepLength_ = 0;
  std::uint64_t stepped_ = 0;
};

}  // namespace ql
