// Windows-1252 and code page 437 tables with fast whole-string conversion.
// Both sets are the identity below 0x80; each keeps 128 upper codes.
#include "common/Codepage.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace ql {

namespace {

// Windows-1252 0x80-0x9F; the five codes the set leaves open keep the C1
// control of the same number so that every byte has a character of its own.
// 0xA0-0xFF equal Latin-1.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

// Code page 437 0x80-0xFF: accented letters, box drawing, Greek and maths.
const char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

struct Utf8Seq {
  char bytes[4];  // the fourth is padding for four-byte stores
  unsigned len;
};

// Everything one code page needs, built once: bytes to UTF-16 and UTF-8,
// and the whole Basic Multilingual Plane back to bytes.
struct CodepageTables {
  std::array<char16_t, 256> toUnicode{};
  std::array<Utf8Seq, 256> toUtf8{};
  std::unique_ptr<std::int16_t[]> fromUnicode{new std::int16_t[0x10000]};

  explicit CodepageTables(Codepage cp) {
    for (int b = 0; b < 256; ++b) {
      char16_t u = static_cast<char16_t>(b);
      if (cp == Codepage::Cp1252 && b >= 0x80 && b < 0xA0) u = kCp1252High[b - 0x80];
      if (cp == Codepage::Cp437 && b >= 0x80) u = kCp437High[b - 0x80];
      toUnicode[b] = u;
      Utf8Seq& seq = toUtf8[b];
      if (u < 0x80) {
        seq = {{static_cast<char>(u), 0, 0, 0}, 1};
      } else if (u < 0x800) {
        seq = {{static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F)), 0, 0}, 2};
      } else {
        seq = {{static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                static_cast<char>(0x80 | (u & 0x3F)), 0},
               3};
      }
    }
    for (int u = 0; u < 0x10000; ++u) fromUnicode[u] = -1;
    for (int b = 0; b < 256; ++b) fromUnicode[toUnicode[b]] = static_cast<std::int16_t>(b);
  }
};

const CodepageTables& TablesFor(Codepage cp) {
  static const CodepageTables cp1252(Codepage::Cp1252);
  static const CodepageTables cp437(Codepage::Cp437);
  return cp == Codepage::Cp1252 ? cp1252 : cp437;
}

char ByteOrQuestion(const CodepageTables& t, char32_t ch) {
  if (ch >= 0x10000) return '?';
  const std::int16_t b = t.fromUnicode[ch];
  return b < 0 ? '?' : static_cast<char>(b);
}

// Length of the run of bytes below 0x80 at the start of [p, end).
std::size_t AsciiRun(const unsigned char* p, const unsigned char* end) {
  const unsigned char* start = p;
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & 0x8080808080808080ULL) break;
    p += 8;
  }
  while (p < end && *p < 0x80) ++p;
  return static_cast<std::size_t>(p - start);
}

// One Unicode character from UTF-8 at p; advances p. Malformed input gives
// U+FFFD (never a byte of either set) for one byte.
char32_t NextUtf8(const unsigned char*& p, const unsigned char* end) {
  const unsigned char lead = *p++;
  if (lead < 0x80) return lead;
  int extra;
  char32_t ch;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    ch = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    ch = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    ch = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  if (end - p < extra) return 0xFFFD;
  for (int i = 0; i < extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0xFFFD;
    ch = (ch << 6) | (p[i] & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are malformed.
  if ((extra == 2 && ch < 0x800) || (extra == 3 && (ch < 0x10000 || ch > 0x10FFFF)) ||
      (ch >= 0xD800 && ch <= 0xDFFF))
    return 0xFFFD;
  p += extra;
  return ch;
}

}  // namespace

char16_t ByteToUnicode(Codepage cp, unsigned char byte) { return TablesFor(cp).toUnicode[byte]; }

int UnicodeToByte(Codepage cp, char32_t ch) {
  if (ch >= 0x10000) return -1;
  return TablesFor(cp).fromUnicode[ch];
}

std::u16string DecodeToUtf16(Codepage cp, std::string_view bytes) {
  const CodepageTables& t = TablesFor(cp);
  std::u16string out(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) out[i] = t.toUnicode[static_cast<unsigned char>(bytes[i])];
  return out;
}

std::string EncodeFromUtf16(Codepage cp, std::u16string_view text) {
  const CodepageTables& t = TablesFor(cp);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    // A surrogate pair is one character outside both sets.
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF)
      ++i;
    out += ByteOrQuestion(t, u);
  }
  return out;
}

void AppendDecodedUtf8(Codepage cp, std::string_view bytes, std::string& out) {
  const CodepageTables& t = TablesFor(cp);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  // Blocks are converted into a small buffer that stays in cache and then
  // appended: no sizing pass and no zero-filling of the result. Sixteen
  // plain ASCII bytes are copied at once; otherwise each character is stored
  // as four bytes and the pointer moves by its real length, which keeps the
  // loop free of branches.
  constexpr std::size_t kBlock = 16384;
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  char buffer[kBlock * 3 + 4];
  auto put = [&t](char* o, unsigned char b) {
    const Utf8Seq& seq = t.toUtf8[b];
    std::memcpy(o, seq.bytes, 4);
    return o + seq.len;
  };
  out.reserve(out.size() + bytes.size() + bytes.size() / 2 + 16);
  while (p < end) {
    const unsigned char* blockEnd = end - p > static_cast<std::ptrdiff_t>(kBlock) ? p + kBlock : end;
    char* o = buffer;
    while (blockEnd - p >= 16) {
      std::uint64_t lo, hi;
      std::memcpy(&lo, p, 8);
      std::memcpy(&hi, p + 8, 8);
      if (((lo | hi) & kHighBits) == 0) {
        std::memcpy(o, p, 16);
        o += 16;
      } else {
        for (int k = 0; k < 16; ++k) o = put(o, p[k]);
      }
      p += 16;
    }
    for (; p < blockEnd; ++p) o = put(o, *p);
    out.append(buffer, static_cast<std::size_t>(o - buffer));
  }
}

std::string DecodeToUtf8(Codepage cp, std::string_view bytes) {
  std::string out;
  AppendDecodedUtf8(cp, bytes, out);
  return out;
}

std::string EncodeFromUtf8(Codepage cp, std::string_view utf8) {
  const CodepageTables& t = TablesFor(cp);
  std::string out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const std::size_t run = AsciiRun(p, end);
    out.append(reinterpret_cast<const char*>(p), run);
    p += run;
    if (p < end) out += ByteOrQuestion(t, NextUtf8(p, end));
  }
  return out;
}

namespace {

// Best fit for a character the other set lacks: a letter loses its accent,
// typographic marks become their plain forms, box drawing becomes - | +,
// shades and blocks #. Anything else becomes '?'.
char32_t BestFit(char32_t u) {
  if (u >= 0x2500 && u <= 0x257F) {
    if (u == 0x2500 || u == 0x2550) return '-';
    if (u == 0x2502 || u == 0x2551) return '|';
    return '+';
  }
  if (u >= 0x2580 && u <= 0x25A0) return '#';
  static const struct { char16_t from; char to; } kFits[] = {
      {0x20AC, 'E'}, {0x201A, ','}, {0x201E, '"'}, {0x2026, '.'}, {0x2020, '+'}, {0x2021, '+'},
      {0x02C6, '^'}, {0x2030, '%'}, {0x0160, 'S'}, {0x2039, '<'}, {0x0152, 'O'}, {0x017D, 'Z'},
      {0x2018, '\''}, {0x2019, '\''}, {0x201C, '"'}, {0x201D, '"'}, {0x2022, '*'}, {0x2013, '-'},
      {0x2014, '-'}, {0x02DC, '~'}, {0x2122, 'T'}, {0x0161, 's'}, {0x203A, '>'}, {0x0153, 'o'},
      {0x017E, 'z'}, {0x0178, 'Y'}, {0x00A6, '|'}, {0x00A8, '"'}, {0x00A9, 'c'}, {0x00AE, 'r'},
      {0x00AF, '-'}, {0x00B3, '3'}, {0x00B4, '\''}, {0x00B8, ','}, {0x00B9, '1'}, {0x00C0, 'A'},
      {0x00C1, 'A'}, {0x00C2, 'A'}, {0x00C3, 'A'}, {0x00C8, 'E'}, {0x00CA, 'E'}, {0x00CB, 'E'},
      {0x00CC, 'I'}, {0x00CD, 'I'}, {0x00CE, 'I'}, {0x00CF, 'I'}, {0x00D0, 'D'}, {0x00D2, 'O'},
      {0x00D3, 'O'}, {0x00D4, 'O'}, {0x00D5, 'O'}, {0x00D7, 'x'}, {0x00D8, 'O'}, {0x00D9, 'U'},
      {0x00DA, 'U'}, {0x00DB, 'U'}, {0x00DD, 'Y'}, {0x00E3, 'a'}, {0x00F0, 'd'}, {0x00F5, 'o'},
      {0x00F8, 'o'}, {0x00FD, 'y'}, {0x20A7, 'P'}, {0x2310, '-'}, {0x03B1, 'a'}, {0x0393, 'G'},
      {0x03C0, 'p'}, {0x03A3, 'S'}, {0x03C3, 's'}, {0x03C4, 't'}, {0x03A6, 'F'}, {0x0398, 'T'},
      {0x03A9, 'O'}, {0x03B4, 'd'}, {0x221E, '8'}, {0x03C6, 'f'}, {0x03B5, 'e'}, {0x2229, 'n'},
      {0x2261, '='}, {0x2265, '>'}, {0x2264, '<'}, {0x2320, '|'}, {0x2321, '|'}, {0x2248, '~'},
      {0x2219, '.'}, {0x221A, 'v'}, {0x207F, 'n'},
  };
  for (const auto& f : kFits)
    if (f.from == u) return static_cast<unsigned char>(f.to);
  return '?';
}

// One table per direction, byte to byte through Unicode with the best fit.
struct RecodeTable {
  std::array<char, 256> map{};
  RecodeTable(Codepage fromSet, Codepage toSet) {
    const CodepageTables& from = TablesFor(fromSet);
    const CodepageTables& to = TablesFor(toSet);
    for (int b = 0; b < 256; ++b) {
      const char16_t u = from.toUnicode[b];
      const std::int16_t direct = to.fromUnicode[u];
      map[b] = direct >= 0 ? static_cast<char>(direct) : ByteOrQuestion(to, BestFit(u));
    }
  }
};

std::string Recode(std::string_view text, const RecodeTable& table) {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = table.map[static_cast<unsigned char>(text[i])];
  return out;
}

}  // namespace

std::string AnsiToOem(std::string_view ansi) {
  static const RecodeTable table(Codepage::Cp1252, Codepage::Cp437);
  return Recode(ansi, table);
}

std::string OemToAnsi(std::string_view oem) {
  static const RecodeTable table(Codepage::Cp437, Codepage::Cp1252);
  return Recode(oem, table);
}

}  // namespace ql
