#include "tools/TextStats.h"

#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ql {

namespace {

inline bool Separates(unsigned char c) { return c == ' ' || c == '\r'; }

}  // namespace

std::int64_t FastCountWords(const char* text, std::size_t length) {
  if (length == 0) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  std::int64_t words = 1;
  std::size_t i = 1;
#if defined(__SSE2__)
  // Sixteen characters at a time, each with the one before it.
  const __m128i space = _mm_set1_epi8(' '), cr = _mm_set1_epi8('\r');
  for (; i + 16 <= length; i += 16) {
    const __m128i cur = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
    const __m128i sepCur = _mm_or_si128(_mm_cmpeq_epi8(cur, space), _mm_cmpeq_epi8(cur, cr));
    const __m128i sepPrev = _mm_or_si128(_mm_cmpeq_epi8(prev, space), _mm_cmpeq_epi8(prev, cr));
    const unsigned starts = static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(sepCur, sepPrev)));
    words += __builtin_popcount(starts);
  }
#endif
  for (; i < length; ++i) words += Separates(p[i - 1]) && !Separates(p[i]);
  return words;
}

std::array<std::int64_t, 256> ByteFrequency(const char* text, std::size_t length) {
  // Four tables so that repeated bytes do not wait on one counter.
  std::uint32_t counts[4][256];
  std::memset(counts, 0, sizeof counts);
  std::array<std::int64_t, 256> total{};
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (length > 0) {
    // Flushed before a 32-bit counter could overflow.
    const std::size_t chunk = length < (std::size_t{1} << 30) ? length : (std::size_t{1} << 30);
    std::size_t i = 0;
    for (; i + 4 <= chunk; i += 4) {
      ++counts[0][p[i]];
      ++counts[1][p[i + 1]];
      ++counts[2][p[i + 2]];
      ++counts[3][p[i + 3]];
    }
    for (; i < chunk; ++i) ++counts[0][p[i]];
    for (int c = 0; c < 256; ++c) {
      total[c] += std::int64_t{counts[0][c]} + counts[1][c] + counts[2][c] + counts[3][c];
      counts[0][c] = counts[1][c] = counts[2][c] = counts[3][c] = 0;
    }
    p += chunk;
    length -= chunk;
  }
  return total;
}

bool IsNfoCode(int c) {
  return (c >= 176 && c <= 180) || (c >= 192 && c <= 197) || (c >= 217 && c <= 223) || c == 254;
}

TextStats AnalyzeText(const std::string& whole, const std::string& selection, std::int64_t lines) {
  TextStats s;
  s.selected = !selection.empty();
  s.totalWords = FastCountWords(whole.data(), whole.size());
  s.totalChars = static_cast<std::int64_t>(whole.size());
  s.selWords = FastCountWords(selection.data(), selection.size());
  s.selChars = static_cast<std::int64_t>(selection.size());
  s.lines = lines;
  const std::string& analysed = s.selected ? selection : whole;
  s.frequency = ByteFrequency(analysed.data(), analysed.size());
  for (int c = 0; c < 256; ++c) {
    const std::int64_t n = s.frequency[c];
    if (c < 32) s.control += n;
    if (c >= '0' && c <= '9') s.digits += n;
    if (c >= 'A' && c <= 'Z') s.upper += n;
    if (c >= 'a' && c <= 'z') s.lower += n;
    if (c < 128) s.bit7 += n;
    else s.bit8 += n;
    if (IsNfoCode(c)) s.nfo += n;
  }
  return s;
}

std::string FrequencyItem(int code, std::int64_t count) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "#%03d:  %lld", code, static_cast<long long>(count));
  return buffer;
}

}  // namespace ql
