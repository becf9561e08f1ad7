#include "editor/LineIndex.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ql {

// 64 bytes at a time: two compares per 16 bytes, and only blocks that hold
// a break cost more than that.
BreakScan ScanBreaks(const char* text, std::size_t size, std::vector<std::int64_t>& starts) {
  BreakScan scan;
  std::size_t i = 0;
  const auto lf = [&](std::size_t at) {
    ++scan.lfs;
    if (at == 0 || text[at - 1] != '\r') scan.lfAfterCr = false;
    starts.push_back(static_cast<std::int64_t>(at + 1));
  };
#if defined(__SSE2__)
  const __m128i vlf = _mm_set1_epi8('\n'), vcr = _mm_set1_epi8('\r');
  for (; i + 64 <= size; i += 64) {
    std::uint64_t lfMask = 0, crMask = 0;
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 16 * k));
      lfMask |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, vlf)))) << (16 * k);
      crMask |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, vcr)))) << (16 * k);
    }
    if (crMask) scan.crs += __builtin_popcountll(crMask);
    while (lfMask) {
      lf(i + static_cast<std::size_t>(__builtin_ctzll(lfMask)));
      lfMask &= lfMask - 1;
    }
  }
#endif
  for (; i < size; ++i) {
    if (text[i] == '\r') ++scan.crs;
    else if (text[i] == '\n') lf(i);
  }
  return scan;
}

namespace {

// Offsets just after each LF of text, counted from base.
std::vector<LineIndex::Offset> StartsAfterBreaks(std::string_view text, LineIndex::Offset base) {
  std::vector<LineIndex::Offset> starts;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  for (const char* p = begin; p < end;) {
    const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    if (!lf) break;
    p = static_cast<const char*>(lf) + 1;
    starts.push_back(base + (p - begin));
  }
  return starts;
}

}  // namespace

LineIndex::LineIndex() { Assign({}); }

void LineIndex::Assign(std::string_view text) {
  std::vector<Offset> entries{0};
  ScanBreaks(text.data(), text.size(), entries);
  entries.push_back(static_cast<Offset>(text.size()));
  AssignEntries(std::move(entries));
}

void LineIndex::AssignEntries(std::vector<Offset>&& entries) {
  assert(!entries.empty() && entries.front() == 0);
  const std::size_t n = entries.size();
  if (entries.capacity() > n + n / 4 + 1024) {  // do not keep a doubling's slack for good
    std::vector<Offset> tight;
    tight.reserve(n + n / 16 + 16);
    tight.assign(entries.begin(), entries.end());
    entries.swap(tight);
  }
  starts_.Adopt(std::move(entries));
  step_ = 0;
  stepLength_ = 0;
}

LineIndex::Offset LineIndex::LineOf(Offset pos) const {
  pos = std::clamp<Offset>(pos, 0, Length());
  // Largest line whose start is <= pos; line 0 starts at 0.
  Offset lo = 0, hi = Lines() - 1;
  while (lo < hi) {
    const Offset mid = lo + (hi - lo + 1) / 2;
    if (Entry(mid) <= pos)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

void LineIndex::Insert(Offset pos, std::string_view text) {
  if (text.empty()) return;
  assert(pos >= 0 && pos <= Length());
  const Offset line = LineOf(pos);
  ShiftAfter(line, static_cast<Offset>(text.size()));
  const std::vector<Offset> added = StartsAfterBreaks(text, pos);
  InsertEntries(line + 1, added.data(), added.size());
}

void LineIndex::Erase(Offset pos, Offset length) {
  if (length <= 0) return;
  assert(pos >= 0 && pos + length <= Length());
  const Offset first = LineOf(pos);
  const Offset last = LineOf(pos + length);
  // The lines starting inside (pos, pos + length] lost their breaks.
  EraseEntries(first + 1, last - first);
  ShiftAfter(first, -length);
}

void LineIndex::ShiftAfter(Offset entry, Offset delta) {
  if (delta == 0) return;
  if (stepLength_ != 0)
    MoveStepTo(entry);
  else
    step_ = entry;  // nothing pending: the step may jump for free
  stepLength_ += delta;
}

void LineIndex::MoveStepTo(Offset entry) {
  if (entry > step_) {
    for (Offset i = step_ + 1; i <= entry; ++i) starts_[static_cast<std::size_t>(i)] += stepLength_;
    stepped_ += static_cast<std::uint64_t>(entry - step_);
  } else {
    for (Offset i = entry + 1; i <= step_; ++i) starts_[static_cast<std::size_t>(i)] -= stepLength_;
    stepped_ += static_cast<std::uint64_t>(step_ - entry);
  }
  step_ = entry;
}

// Only called right after ShiftAfter(at - 1, ...), so the new entries lie
// past the step and are stored without its pending length.
void LineIndex::InsertEntries(Offset at, const Offset* values, std::size_t count) {
  assert(at > step_);
  std::vector<Offset> stored(values, values + count);
  for (Offset& v : stored) v -= stepLength_;
  starts_.Insert(static_cast<std::size_t>(at), stored.data(), count);
}

void LineIndex::EraseEntries(Offset at, Offset count) {
  if (count <= 0) return;
  if (step_ >= at) step_ = std::max(at - 1, step_ - count);
  starts_.Erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
}

}  // namespace ql
