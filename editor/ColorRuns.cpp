#include "editor/ColorRuns.h"

#include <algorithm>

namespace ql {

namespace {

bool Same(const CharAttributes& a, const CharAttributes& b) {
  return a.color == b.color && a.fontSize == b.fontSize && a.fontName == b.fontName;
}

}  // namespace

std::uint32_t ColorRuns::StyleOf(const CharAttributes& attributes) {
  for (std::size_t i = styles_.size(); i-- > 0;)
    if (Same(styles_[i], attributes)) return static_cast<std::uint32_t>(i);
  styles_.push_back(attributes);
  return static_cast<std::uint32_t>(styles_.size() - 1);
}

ColorRuns::Stored ColorRuns::Get(std::size_t i) const {
  Stored r = runs_[i];
  if (i >= step_) {
    r.start += delta_;
    r.end += delta_;
  }
  return r;
}

void ColorRuns::Settle(std::size_t to) {
  to = std::min(to, runs_.size());
  for (std::size_t i = step_; i < to; ++i) {
    runs_[i].start += delta_;
    runs_[i].end += delta_;
  }
  for (std::size_t i = to; i < step_ && i < runs_.size(); ++i) {
    runs_[i].start -= delta_;
    runs_[i].end -= delta_;
  }
  step_ = to;
  if (step_ >= runs_.size()) delta_ = 0;  // nothing left pending
}

std::size_t ColorRuns::FirstEndingAfter(Offset pos) const {
  std::size_t lo = 0, hi = runs_.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (Get(mid).end <= pos)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

void ColorRuns::MergeAround(std::size_t from, std::size_t to) {
  to = std::min(to, runs_.size());
  if (from >= to) return;
  std::size_t out = from;
  for (std::size_t i = from + 1; i < to; ++i) {
    if (runs_[i].start == runs_[out].end && runs_[i].style == runs_[out].style)
      runs_[out].end = runs_[i].end;
    else
      runs_[++out] = runs_[i];
  }
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(out + 1), runs_.begin() + static_cast<std::ptrdiff_t>(to));
  if (step_ >= to) step_ -= to - (out + 1);
}

void ColorRuns::Modify(Offset pos, Offset length,
                       const std::function<CharAttributes(const CharAttributes&)>& change) {
  if (length <= 0) return;
  Settle(runs_.size());  // every run at its real place
  pos = std::max<Offset>(pos, 0);
  const Offset end = pos + length;
  const std::uint32_t gapStyle = StyleOf(change(default_));
  const std::size_t first = FirstEndingAfter(pos);
  std::vector<Stored> replacement;
  Offset at = pos;
  std::size_t j = first;
  Stored right{0, 0, 0};
  for (; j < runs_.size() && runs_[j].start < end; ++j) {
    const Stored r = runs_[j];
    if (r.start < pos) replacement.push_back(Stored{r.start, pos, r.style});
    if (r.end > end) right = Stored{end, r.end, r.style};
    const Offset s = std::max(r.start, pos), e = std::min(r.end, end);
    if (at < s) replacement.push_back(Stored{at, s, gapStyle});
    const CharAttributes changed = change(Style(r.style));
    replacement.push_back(Stored{s, e, StyleOf(changed)});
    at = e;
  }
  if (at < end) replacement.push_back(Stored{at, end, gapStyle});
  if (right.end > right.start) replacement.push_back(right);
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first), runs_.begin() + static_cast<std::ptrdiff_t>(j));
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(first), replacement.begin(), replacement.end());
  step_ = runs_.size();
  MergeAround(first > 0 ? first - 1 : 0, first + replacement.size() + 1);
  step_ = runs_.size();
}

void ColorRuns::Set(Offset pos, Offset length, const CharAttributes& attributes) {
  Modify(pos, length, [&](const CharAttributes&) { return attributes; });
}

void ColorRuns::SetColor(Offset pos, Offset length, std::uint32_t color) {
  Modify(pos, length, [&](const CharAttributes& a) {
    CharAttributes out = a;
    out.color = color;
    return out;
  });
}

void ColorRuns::SetFont(Offset pos, Offset length, const std::string& name, int size) {
  Modify(pos, length, [&](const CharAttributes& a) {
    CharAttributes out = a;
    out.fontName = name;
    out.fontSize = size;
    return out;
  });
}

CharAttributes ColorRuns::At(Offset pos) const {
  const std::size_t i = FirstEndingAfter(pos);
  return i < runs_.size() && Get(i).start <= pos ? Style(runs_[i].style) : default_;
}

ColorRuns::RangeAttributes ColorRuns::Read(Offset pos, Offset length) const {
  RangeAttributes out;
  out.value = At(pos);
  if (length <= 0) return out;
  const Offset end = pos + length;
  const auto note = [&](const CharAttributes& a) {
    out.sameColor = out.sameColor && a.color == out.value.color;
    out.sameFontName = out.sameFontName && a.fontName == out.value.fontName;
    out.sameFontSize = out.sameFontSize && a.fontSize == out.value.fontSize;
  };
  Offset at = pos;
  for (std::size_t i = FirstEndingAfter(pos); i < runs_.size() && Get(i).start < end; ++i) {
    const Stored r = Get(i);
    if (at < r.start) note(default_);
    note(Style(r.style));
    at = r.end;
  }
  if (at < end) note(default_);
  return out;
}

std::vector<ColorRuns::Run> ColorRuns::RunsIn(Offset pos, Offset length) const {
  std::vector<Run> out;
  const Offset end = pos + length;
  for (std::size_t i = FirstEndingAfter(pos); i < runs_.size() && Get(i).start < end; ++i) {
    const Stored r = Get(i);
    out.push_back(Run{std::max(r.start, pos), std::min(r.end, end), Style(r.style)});
  }
  return out;
}

// Only the runs the edit touches are looked at; the ones after it take the
// change of length as a pending shift (see step_), so typing into a text of
// millions of runs costs no more than into one of a few.
void ColorRuns::TextReplaced(Offset pos, Offset removedLength, Offset insertedLength, Offset, Offset, Offset) {
  const Offset removedEnd = pos + removedLength;
  const auto cut = [&](Offset x) {
    if (x <= pos) return x;
    return x >= removedEnd ? x - removedLength : pos;
  };
  const std::size_t first = FirstEndingAfter(pos > 0 ? pos - 1 : 0);
  std::size_t last = first;  // runs from here on start after the removed text: a pure shift
  while (last < runs_.size() && Get(last).start < removedEnd) ++last;
  Settle(last);
  std::size_t out = first;
  for (std::size_t i = first; i < last; ++i) {
    Stored r = runs_[i];
    r.start = cut(r.start);
    r.end = cut(r.end);
    if (r.end <= r.start) continue;  // deleted with its text
    // Text inserted inside a run or at its end joins it; elsewhere it
    // pushes the run on.
    if (r.start < pos && r.end >= pos)
      r.end += insertedLength;
    else if (r.start >= pos)
      r.start += insertedLength, r.end += insertedLength;
    runs_[out++] = r;
  }
  if (out < last)
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(out), runs_.begin() + static_cast<std::ptrdiff_t>(last));
  step_ = out;
  delta_ += insertedLength - removedLength;
  if (step_ >= runs_.size()) delta_ = 0;
  // Runs brought together by a deletion may join.
  Settle(std::max(step_, std::min(first + 2, runs_.size())));
  MergeAround(first > 0 ? first - 1 : 0, std::min(first + 2, step_));
}

}  // namespace ql
