// Windows-1252 letter set and case maps, and the whole-string case tools
// built on them. Tables are built once; every lookup is one array read.
#include "common/FuncLib.h"

#include <array>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ql {

namespace {

struct CaseTables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
  std::array<unsigned char, 256> toggle{};
  std::array<bool, 256> letter{};
  std::array<bool, 256> isUpper{};
  std::array<bool, 256> isLower{};

  CaseTables() {
    for (int c = 0; c < 256; ++c) {
      upper[c] = static_cast<unsigned char>(c);
      lower[c] = static_cast<unsigned char>(c);
    }
    auto pair = [this](int up, int low) {
      upper[low] = static_cast<unsigned char>(up);
      lower[up] = static_cast<unsigned char>(low);
      letter[up] = letter[low] = true;
      isUpper[up] = true;
      isLower[low] = true;
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    pair(138, 154);  // S caron
    pair(140, 156);  // OE ligature
    pair(159, 255);  // Y diaeresis
    for (int c = 192; c <= 214; ++c) pair(c, c + 32);
    for (int c = 216; c <= 222; ++c) pair(c, c + 32);
    for (int c = 0; c < 256; ++c)
      toggle[c] = isUpper[c] ? lower[c] : isLower[c] ? upper[c] : static_cast<unsigned char>(c);
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

}  // namespace

bool IsLetter(unsigned char c) { return Tables().letter[c]; }
bool IsUpperLetter(unsigned char c) { return Tables().isUpper[c]; }
bool IsLowerLetter(unsigned char c) { return Tables().isLower[c]; }
unsigned char AnsiUpper(unsigned char c) { return Tables().upper[c]; }
unsigned char AnsiLower(unsigned char c) { return Tables().lower[c]; }

namespace {

// A case map as disjoint code ranges with the amount each one moves by;
// every other code maps to itself. Matches the tables above (the test
// compares them on every byte).
struct Shift {
  unsigned char low, high;
  signed char delta;
};
constexpr Shift kUpper[] = {{'a', 'z', -32}, {154, 154, -16}, {156, 156, -16},
                            {255, 255, -96}, {224, 246, -32}, {248, 254, -32}};
constexpr Shift kLower[] = {{'A', 'Z', 32}, {138, 138, 16}, {140, 140, 16},
                            {159, 159, 96}, {192, 214, 32}, {216, 222, 32}};
constexpr Shift kToggle[] = {{'a', 'z', -32}, {154, 154, -16}, {156, 156, -16},
                             {255, 255, -96}, {224, 246, -32}, {248, 254, -32},
                             {'A', 'Z', 32},  {138, 138, 16},  {140, 140, 16},
                             {159, 159, 96},  {192, 214, 32},  {216, 222, 32}};

template <std::size_t N>
void MapBytes(char* p, std::size_t n, const Shift (&shifts)[N], const std::array<unsigned char, 256>& table) {
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: each range adds its amount where a byte lies
  // within it (v - low <= high - low, unsigned; a single code is one compare).
  __m128i low[N], span[N], delta[N];
  for (std::size_t r = 0; r < N; ++r) {
    low[r] = _mm_set1_epi8(static_cast<char>(shifts[r].low));
    span[r] = _mm_set1_epi8(static_cast<char>(shifts[r].high - shifts[r].low));
    delta[r] = _mm_set1_epi8(shifts[r].delta);
  }
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    __m128i add = _mm_setzero_si128();
    for (std::size_t r = 0; r < N; ++r) {
      __m128i in;
      if (shifts[r].low == shifts[r].high) {
        in = _mm_cmpeq_epi8(v, low[r]);
      } else {
        const __m128i off = _mm_sub_epi8(v, low[r]);
        in = _mm_cmpeq_epi8(_mm_min_epu8(off, span[r]), off);
      }
      add = _mm_or_si128(add, _mm_and_si128(in, delta[r]));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), _mm_add_epi8(v, add));
  }
#else
  (void)shifts;
#endif
  for (; i < n; ++i) p[i] = static_cast<char>(table[static_cast<unsigned char>(p[i])]);
}

}  // namespace

void AnsiUpperBytes(char* p, std::size_t n) { MapBytes(p, n, kUpper, Tables().upper); }
void AnsiLowerBytes(char* p, std::size_t n) { MapBytes(p, n, kLower, Tables().lower); }
void ToggleCaseBytes(char* p, std::size_t n) { MapBytes(p, n, kToggle, Tables().toggle); }
const unsigned char* AnsiUpperTable() { return Tables().upper.data(); }
const unsigned char* AnsiLowerTable() { return Tables().lower.data(); }
const unsigned char* ToggleCaseTable() { return Tables().toggle.data(); }

std::string AnsiUpperStr(std::string s) {
  AnsiUpperBytes(s.data(), s.size());
  return s;
}

std::string AnsiLowerStr(std::string s) {
  AnsiLowerBytes(s.data(), s.size());
  return s;
}

std::string ToggleCaseStr(std::string s) {
  ToggleCaseBytes(s.data(), s.size());
  return s;
}

std::string TitleCaseStr(std::string s) {
  const CaseTables& t = Tables();
  s = AnsiLowerStr(std::move(s));
  bool wordStart = true;
  for (char& ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (!t.letter[c]) {
      wordStart = true;
    } else if (wordStart) {
      ch = static_cast<char>(t.upper[c]);
      wordStart = false;
    }
  }
  return s;
}

}  // namespace ql
