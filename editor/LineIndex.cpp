#include "editor/LineIndex.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QL_SCAN_X86 1
#endif

namespace ql {

namespace {

int Popcount(std::uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555ULL);
  x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

// What one block of 64 bytes adds, given where its LFs and CRs are.
template <bool kCollect>
inline void Take(BreakScan& scan, std::vector<std::int64_t>* starts, const char* text, std::size_t i,
                 std::uint64_t lfMask, std::uint64_t crMask, int crs, int lfs) {
  scan.crs += crs;
  // Every LF right after a CR: the CR mask shifted by one covers it (the
  // byte before the block is looked at on its own).
  const std::uint64_t crBefore = (crMask << 1) | (i > 0 && text[i - 1] == '\r' ? 1u : 0u);
  if (lfMask & ~crBefore) scan.lfAfterCr = false;
  if (kCollect) {
    while (lfMask) {
      starts->push_back(static_cast<std::int64_t>(i + static_cast<std::size_t>(__builtin_ctzll(lfMask)) + 1));
      lfMask &= lfMask - 1;
    }
  } else {
    scan.lfs += lfs;
  }
}

#if QL_SCAN_X86
// 64 bytes a step: two compares per 32 bytes; blocks without a break cost
// nothing more.
template <bool kCollect>
__attribute__((target("avx2,popcnt"))) std::size_t ScanAvx2(const char* text, std::size_t size, BreakScan& scan,
                                                            std::vector<std::int64_t>* starts) {
  const __m256i vlf = _mm256_set1_epi8('\n'), vcr = _mm256_set1_epi8('\r');
  std::size_t i = 0;
  for (; i + 64 <= size; i += 64) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 32));
    const std::uint64_t lf = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, vlf))) |
                             static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, vlf)))) << 32;
    const std::uint64_t cr = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, vcr))) |
                             static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, vcr)))) << 32;
    if ((lf | cr) == 0) continue;
    Take<kCollect>(scan, starts, text, i, lf, cr, static_cast<int>(_mm_popcnt_u64(cr)),
                   kCollect ? 0 : static_cast<int>(_mm_popcnt_u64(lf)));
  }
  return i;
}

template <bool kCollect>
std::size_t ScanSse2(const char* text, std::size_t size, BreakScan& scan, std::vector<std::int64_t>* starts) {
  const __m128i vlf = _mm_set1_epi8('\n'), vcr = _mm_set1_epi8('\r');
  std::size_t i = 0;
  for (; i + 64 <= size; i += 64) {
    std::uint64_t lf = 0, cr = 0;
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 16 * k));
      lf |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, vlf)))) << (16 * k);
      cr |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, vcr)))) << (16 * k);
    }
    if ((lf | cr) == 0) continue;
    Take<kCollect>(scan, starts, text, i, lf, cr, Popcount(cr), kCollect ? 0 : Popcount(lf));
  }
  return i;
}
#endif

template <bool kCollect>
BreakScan Scan(const char* text, std::size_t size, std::vector<std::int64_t>* starts) {
  BreakScan scan;
  std::size_t i = 0;
#if QL_SCAN_X86
  static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
  i = avx2 ? ScanAvx2<kCollect>(text, size, scan, starts) : ScanSse2<kCollect>(text, size, scan, starts);
#endif
  for (; i < size; ++i) {
    if (text[i] == '\r') {
      ++scan.crs;
    } else if (text[i] == '\n') {
      ++scan.lfs;
      if (i == 0 || text[i - 1] != '\r') scan.lfAfterCr = false;
      if (kCollect) starts->push_back(static_cast<std::int64_t>(i + 1));
    }
  }
  return scan;
}

}  // namespace

BreakScan ScanBreaks(const char* text, std::size_t size, std::vector<std::int64_t>& starts) {
  const std::size_t before = starts.size();
  BreakScan scan = Scan<true>(text, size, &starts);
  scan.lfs = static_cast<std::int64_t>(starts.size() - before);
  return scan;
}

BreakScan ScanBreaks(const char* text, std::size_t size) { return Scan<false>(text, size, nullptr); }

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
