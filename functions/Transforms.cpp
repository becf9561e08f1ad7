#include "functions/Transforms.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace ql {

namespace {

// Work goes in slices so the progress costs one compare per slice.
constexpr std::size_t kSlice = 1 << 16;

using ByteTable = std::array<unsigned char, 256>;

// Value of a hexadecimal digit, -1 for anything else.
int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Maps every byte through `table` in place.
// Maps every byte in place, a slice at a time so progress can be shown.
template <class Map>
std::string MapEachByte(std::string s, const TProgressProc& progress, Map map) {
  const std::size_t n = s.size();
  auto* p = reinterpret_cast<unsigned char*>(&s[0]);
  ProgressTicker ticker(progress, n);
  for (std::size_t done = 0; done < n;) {
    const std::size_t end = done + kSlice < n ? done + kSlice : n;
    for (std::size_t i = done; i < end; ++i) p[i] = map(p[i]);
    done = end;
    ticker.Step(done);
  }
  return s;
}

std::string MapBytes(std::string s, const ByteTable& table, const TProgressProc& progress) {
  return MapEachByte(std::move(s), progress, [&table](unsigned char c) { return table[c]; });
}

// A big result asks for huge pages before its first touch: hundreds of MiB
// of fresh 4 KiB pages cost more in faults than the work itself.
void AdviseHugePages(std::string& buffer) {
  constexpr std::size_t kWorthIt = std::size_t(8) << 20;
  if (buffer.capacity() < kWorthIt) return;
  const long page = ::sysconf(_SC_PAGESIZE);
  if (page <= 0) return;
  const auto mask = static_cast<std::uintptr_t>(page) - 1;
  const auto first = reinterpret_cast<std::uintptr_t>(buffer.data());
  const std::uintptr_t from = (first + mask) & ~mask;
  const std::uintptr_t to = (first + buffer.capacity()) & ~mask;
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);  // advice only
}

// Builds a result `width` times as long by appending, one slice at a time,
// what `expand` writes for each input byte.
template <std::size_t width, typename Expand>
std::string Widen(const std::string& s, const TProgressProc& progress, Expand expand) {
  const std::size_t n = s.size();
  std::string out;
  out.reserve(n * width);
  AdviseHugePages(out);
  constexpr std::size_t kPiece = 4096;
  char piece[kPiece * width];
  const auto* in = reinterpret_cast<const unsigned char*>(s.data());
  ProgressTicker ticker(progress, n);
  for (std::size_t done = 0; done < n;) {
    const std::size_t end = done + kPiece < n ? done + kPiece : n;
    char* o = piece;
    for (std::size_t i = done; i < end; ++i, o += width) expand(in[i], o);
    out.append(piece, static_cast<std::size_t>(o - piece));
    done = end;
    ticker.Step(done);
  }
  return out;
}

}  // namespace

std::string Rot13Text(std::string s, const TProgressProc& progress) {
  // Arithmetic instead of a table, so the compiler can do 16 bytes at once:
  // folded to lower case, a..m move up 13 and n..z down 13; bytes of 128
  // and above fold to 0xA0.. and never match.
  return MapEachByte(std::move(s), progress, [](unsigned char c) {
    const unsigned char lower = c | 0x20;
    const unsigned char up = static_cast<unsigned char>(lower - 'a') < 13;
    const unsigned char down = static_cast<unsigned char>(lower - 'n') < 13;
    return static_cast<unsigned char>(c + 13 * up - 13 * down);
  });
}

std::string BackwardText(std::string s, const TProgressProc& progress) {
  // Swap the two ends inward; each byte also gets CR and LF exchanged.
  const auto flip = [](unsigned char c) -> unsigned char { return c == '\r' ? '\n' : c == '\n' ? '\r' : c; };
  const std::size_t n = s.size(), half = (n + 1) / 2;
  auto* p = reinterpret_cast<unsigned char*>(&s[0]);
  ProgressTicker ticker(progress, half);
  for (std::size_t done = 0; done < half;) {
    const std::size_t end = done + kSlice < half ? done + kSlice : half;
    for (std::size_t i = done; i < end; ++i) {
      const unsigned char a = p[i], b = p[n - 1 - i];
      p[i] = flip(b);
      p[n - 1 - i] = flip(a);
    }
    done = end;
    ticker.Step(done);
  }
  return s;
}

std::string TextToBinary(const std::string& s, const TProgressProc& progress) {
  // The eight digits of each byte, ready to copy.
  static const std::array<std::array<char, 8>, 256> digits = [] {
    std::array<std::array<char, 8>, 256> t{};
    for (int c = 0; c < 256; ++c)
      for (int b = 0; b < 8; ++b) t[c][b] = (c >> (7 - b)) & 1 ? '1' : '0';
    return t;
  }();
  return Widen<8>(s, progress, [](unsigned char c, char* o) { std::memcpy(o, digits[c].data(), 8); });
}

std::string BinaryToText(const std::string& s, const TProgressProc& progress) {
  const std::size_t n = s.size();
  if (n < 2) return std::string();
  // Groups start at 0, 8, 16, ... while at least two digits remain.
  const std::size_t groups = (n - 2) / 8 + 1;
  std::string out(groups, '\0');
  const char* in = s.data();
  ProgressTicker ticker(progress, groups);
  for (std::size_t done = 0; done < groups;) {
    const std::size_t end = done + kSlice < groups ? done + kSlice : groups;
    for (std::size_t g = done; g < end; ++g) {
      const std::size_t p = g * 8;
      const std::size_t len = n - p < 8 ? n - p : 8;
      unsigned v = 0;
      for (std::size_t k = 0; k < len; ++k) v = (v << 1) | (in[p + k] == '1' ? 1u : 0u);
      out[g] = static_cast<char>(v & 0xFF);
    }
    done = end;
    ticker.Step(done);
  }
  return out;
}

std::string TextToHex(const std::string& s, const TProgressProc& progress) {
  static const std::array<std::array<char, 2>, 256> pairs = [] {
    static const char kDigits[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = {kDigits[c >> 4], kDigits[c & 15]};
    return t;
  }();
  return Widen<2>(s, progress, [](unsigned char c, char* o) { std::memcpy(o, pairs[c].data(), 2); });
}

std::string HexToText(const std::string& s, const TProgressProc& progress) {
  static const std::array<unsigned char, 256> values = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
      const int v = HexValue(static_cast<unsigned char>(c));
      t[c] = static_cast<unsigned char>(v < 0 ? 0 : v);
    }
    return t;
  }();
  const std::size_t pairsCount = s.size() / 2;  // a last single digit is dropped
  std::string out(pairsCount, '\0');
  const auto* in = reinterpret_cast<const unsigned char*>(s.data());
  auto* o = reinterpret_cast<unsigned char*>(&out[0]);
  ProgressTicker ticker(progress, pairsCount);
  for (std::size_t done = 0; done < pairsCount;) {
    const std::size_t end = done + kSlice < pairsCount ? done + kSlice : pairsCount;
    for (std::size_t i = done; i < end; ++i)
      o[i] = static_cast<unsigned char>(values[in[2 * i]] << 4 | values[in[2 * i + 1]]);
    done = end;
    ticker.Step(done);
  }
  return out;
}

bool AllBinaryDigits(const std::string& s) {
  for (char c : s)
    if (c != '0' && c != '1') return false;
  return true;
}

bool AllHexDigits(const std::string& s) {
  for (char c : s)
    if (HexValue(static_cast<unsigned char>(c)) < 0) return false;
  return true;
}

int CheckBitOrder(const std::string& order) {
  for (char d = '1'; d <= '8'; ++d) {
    int count = 0;
    for (char c : order) count += c == d;
    if (count != 1) return d - '0';
  }
  if (order.size() != 8) return -1;
  for (char c : order)
    if (c != '+' && c != '-' && (c < '0' || c > '9')) return -1;
  return 0;
}

std::string BitShiftText(std::string s, const std::string& order, bool encrypt,
                         const TProgressProc& progress) {
  // Bit k counted from the most significant (k = 0 is bit 7).
  ByteTable table{};
  for (int c = 0; c < 256; ++c) {
    int out = 0;
    for (int k = 0; k < 8; ++k) {
      const int p = order[static_cast<std::size_t>(k)] - '1';
      // encrypt: output digit k = input digit p; decrypt: output digit p = input digit k
      const int from = encrypt ? p : k, to = encrypt ? k : p;
      if ((c >> (7 - from)) & 1) out |= 1 << (7 - to);
    }
    table[c] = static_cast<unsigned char>(out);
  }
  return MapBytes(std::move(s), table, progress);
}

}  // namespace ql
