#include "editor/qt/LineMeasure.h"

#include <algorithm>

namespace ql {

qreal Measure(const GlyphTable& t, const char* p, std::size_t n, qreal x) {
  for (std::size_t i = 0; i < n; ++i) x = t.Next(x, static_cast<unsigned char>(p[i]));
  return x;
}

void LineMeasure::Edited(Offset pos) {
  if (start_ < 0) return;
  if (pos < start_) {
    Reset();
    return;
  }
  // Marks at or before pos stay right; the rest are walked again when needed.
  const std::size_t keep = static_cast<std::size_t>((pos - start_) / kStretch) + 1;
  if (marks_.size() > keep) marks_.resize(keep);
}

void LineMeasure::Prepare(Offset start) {
  if (start_ == start) return;
  start_ = start;
  marks_.assign(1, 0.0);
}

void LineMeasure::ExtendTo(const MemoryBuffer& doc, const GlyphTable& t, Offset end, Offset pos,
                           qreal x) {
  scratch_.resize(kStretch);
  while (true) {
    const Offset at = start_ + static_cast<Offset>(marks_.size() - 1) * kStretch;
    if (at + kStretch > end) return;  // the last, partial stretch has no mark after it
    if (x < 0 ? at + kStretch > pos : marks_.back() > x) return;
    doc.CopyRange(at, kStretch, scratch_.data());
    marks_.push_back(Measure(t, scratch_.data(), kStretch, marks_.back()));
  }
}

qreal LineMeasure::XAt(const MemoryBuffer& doc, const GlyphTable& t, Offset start, Offset end,
                       Offset pos) {
  pos = std::clamp(pos, start, end);
  if (end - start <= kStretch) {
    scratch_.resize(static_cast<std::size_t>(pos - start));
    doc.CopyRange(start, pos - start, scratch_.data());
    return Measure(t, scratch_.data(), scratch_.size(), 0);
  }
  Prepare(start);
  ExtendTo(doc, t, end, pos, -1);
  const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>((pos - start) / kStretch),
                                              marks_.size() - 1);
  const Offset at = start + static_cast<Offset>(i) * kStretch;
  scratch_.resize(static_cast<std::size_t>(pos - at));
  doc.CopyRange(at, pos - at, scratch_.data());
  return Measure(t, scratch_.data(), scratch_.size(), marks_[i]);
}

Offset LineMeasure::OffsetAtX(const MemoryBuffer& doc, const GlyphTable& t, Offset start,
                              Offset end, qreal x, bool nearest, qreal* xOut) {
  Offset from = start;
  qreal fromX = 0;
  if (end - start > kStretch) {
    Prepare(start);
    ExtendTo(doc, t, end, end, x);
    // The last mark at or left of x.
    const auto it = std::upper_bound(marks_.begin(), marks_.end(), x);
    const std::size_t i = it == marks_.begin() ? 0 : static_cast<std::size_t>(it - marks_.begin() - 1);
    from = start + static_cast<Offset>(i) * kStretch;
    fromX = marks_[i];
  }
  const Offset n = std::min<Offset>(end - from, kStretch);
  scratch_.resize(static_cast<std::size_t>(n));
  doc.CopyRange(from, n, scratch_.data());
  qreal cx = fromX;
  for (Offset i = 0; i < n; ++i) {
    const qreal next = t.Next(cx, static_cast<unsigned char>(scratch_[static_cast<std::size_t>(i)]));
    const bool inside = nearest ? x < (cx + next) / 2 : x < next;
    if (inside) {
      if (xOut) *xOut = cx;
      return from + i;
    }
    cx = next;
  }
  if (xOut) *xOut = cx;
  return from + n;
}

}  // namespace ql
