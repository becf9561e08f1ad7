// x positions along one line, through the glyph table's advances and tab
// rule. A short line is simply summed; a long one (a 50 MB line is no
// exception here) keeps the x of every 4096th byte, so finding the bytes
// on screen or the x of the caret costs at most one such stretch once the
// line has been walked. An edit keeps the marks that lie before it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/MemoryBuffer.h"
#include "editor/qt/GlyphTable.h"

namespace ql {

class LineMeasure {
 public:
  static constexpr Offset kStretch = 4096;

  void Reset() {
    start_ = -1;
    marks_.clear();
  }
  void Edited(Offset pos);

  // x of pos in the row [start, end), counted from start.
  qreal XAt(const MemoryBuffer& doc, const GlyphTable& t, Offset start, Offset end, Offset pos);
  // The offset in [start, end] whose character holds x (nearest: the
  // boundary nearest to x instead), and the x where that offset begins.
  Offset OffsetAtX(const MemoryBuffer& doc, const GlyphTable& t, Offset start, Offset end, qreal x,
                   bool nearest, qreal* xOut);

 private:
  void Prepare(Offset start);
  // Marks up to the stretch holding pos (or up to x), walking from the last known.
  void ExtendTo(const MemoryBuffer& doc, const GlyphTable& t, Offset end, Offset pos, qreal x);

  Offset start_ = -1;
  std::vector<qreal> marks_;  // x at start_ + i * kStretch
  std::string scratch_;
};

// Sums a stretch of bytes from x.
qreal Measure(const GlyphTable& t, const char* p, std::size_t n, qreal x);

}  // namespace ql
