// UTF-8 <-> Windows-1252 for document files: one pass each way, plain ASCII
// sixteen bytes at a time, the conversion to Windows-1252 done in place.
#include "common/Utf8.h"

#include <cstring>
#include <memory>

#include "common/Codepage.h"

namespace ql {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

struct Utf8Seq {
  char bytes[4];  // the fourth is padding for four-byte stores
  unsigned len;
};

struct Tables {
  // The Windows-1252 code of each character of the Basic Multilingual
  // Plane, -1 for none (every other plane has none).
  std::unique_ptr<std::int16_t[]> fromUnicode{new std::int16_t[0x10000]};
  Utf8Seq toUtf8[256];

  Tables() {
    for (int u = 0; u < 0x10000; ++u) fromUnicode[u] = -1;
    for (int b = 0; b < 256; ++b) {
      const char16_t u = ByteToUnicode(Codepage::Cp1252, static_cast<unsigned char>(b));
      fromUnicode[u] = static_cast<std::int16_t>(b);
      Utf8Seq& seq = toUtf8[b];
      if (u < 0x80)
        seq = {{static_cast<char>(u), 0, 0, 0}, 1};
      else if (u < 0x800)
        seq = {{static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F)), 0, 0}, 2};
      else
        seq = {{static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                static_cast<char>(0x80 | (u & 0x3F)), 0},
               3};
    }
  }
};

const Tables& Cp1252() {
  static const Tables tables;
  return tables;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the run of bytes below 0x80 at the start of [p, p + n).
std::size_t AsciiRun(const unsigned char* p, std::size_t n) {
  std::size_t i = 0;
  for (; n - i >= 16; i += 16) {
    std::uint64_t lo, hi;
    std::memcpy(&lo, p + i, 8);
    std::memcpy(&hi, p + i + 8, 8);
    if ((lo | hi) & kHighBits) break;
  }
  while (i < n && p[i] < 0x80) ++i;
  return i;
}

struct Decoded {
  char32_t ch;
  Utf8Fault fault;
};

// The non-ASCII sequence at p, in full detail (the slow path: only the
// first sequence that stops the conversion comes here).
Decoded DecodeOne(const unsigned char* p, const unsigned char* end) {
  const unsigned char lead = *p;
  int extra;
  char32_t ch;
  if (lead < 0xC0 || lead >= 0xF8) return {0, Utf8Fault::StrayByte};
  if (lead < 0xE0) {
    extra = 1;
    ch = lead & 0x1F;
  } else if (lead < 0xF0) {
    extra = 2;
    ch = lead & 0x0F;
  } else {
    extra = 3;
    ch = lead & 0x07;
  }
  for (int i = 1; i <= extra; ++i) {
    if (p + i >= end) return {0, Utf8Fault::TruncatedEnd};
    if (!IsContinuation(p[i])) return {0, Utf8Fault::CutShort};
    ch = (ch << 6) | (p[i] & 0x3F);
  }
  static const char32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
  if (ch < kSmallest[extra]) return {ch, Utf8Fault::Overlong};
  if (ch > 0x10FFFF) return {ch, Utf8Fault::TooLarge};
  if (ch >= 0xD800 && ch <= 0xDFFF) return {ch, Utf8Fault::Surrogate};
  return {ch, Utf8Fault::None};
}

void AppendUtf8Of(char32_t ch, std::string& out) {
  if (ch < 0x80) {
    out += static_cast<char>(ch);
  } else if (ch < 0x800) {
    out += static_cast<char>(0xC0 | (ch >> 6));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    out += static_cast<char>(0xE0 | (ch >> 12));
    out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (ch >> 18));
    out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  }
}

const char* FaultText(Utf8Fault fault) {
  switch (fault) {
    case Utf8Fault::StrayByte: return "a byte no character starts with";
    case Utf8Fault::CutShort: return "a character cut short";
    case Utf8Fault::Overlong: return "an overlong form";
    case Utf8Fault::Surrogate: return "a surrogate code";
    case Utf8Fault::TooLarge: return "a code beyond U+10FFFF";
    case Utf8Fault::TruncatedEnd: break;
    case Utf8Fault::None: break;
  }
  return "";
}

}  // namespace

Utf8Scan Utf8ToCp1252InPlace(std::string& bytes) {
  Utf8Scan scan;
  const Tables& t = Cp1252();
  const std::size_t n = bytes.size();
  unsigned char* const p = reinterpret_cast<unsigned char*>(&bytes[0]);
  std::size_t r = 0;  // read position
  if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
    scan.bom = true;
    r = 3;
  } else {
    // Nothing moves before the first multi-byte sequence.
    r = AsciiRun(p, n);
    if (r == n) return scan;
  }
  std::size_t w = scan.bom ? 0 : r;  // write position, never past r
  while (r < n) {
    if (n - r >= 16) {
      std::uint64_t lo, hi;
      std::memcpy(&lo, p + r, 8);
      std::memcpy(&hi, p + r + 8, 8);
      const std::uint64_t highLo = lo & kHighBits, highHi = hi & kHighBits;
      // Bytes below the first one of 128 or more (words are little-endian).
      const std::size_t ascii = highLo   ? static_cast<std::size_t>(__builtin_ctzll(highLo)) / 8
                                : highHi ? 8 + static_cast<std::size_t>(__builtin_ctzll(highHi)) / 8
                                         : 16;
      if (r - w >= 16 || ascii == 16) {
        // Both words were read before either is stored, and with a gap of
        // 16 nothing unread is touched; bytes past the run are overwritten next.
        std::memcpy(p + w, &lo, 8);
        std::memcpy(p + w + 8, &hi, 8);
      } else if (w != r) {
        std::memmove(p + w, p + r, ascii);
      }
      r += ascii;
      w += ascii;
      if (ascii == 16) continue;
    }
    const unsigned char c = p[r];
    if (c < 0x80) {
      p[w++] = c;
      ++r;
      continue;
    }
    // Two- and three-byte forms of Windows-1252 characters: the usual case.
    if (c >= 0xC2 && c < 0xE0) {
      if (r + 1 < n && IsContinuation(p[r + 1])) {
        const int b = t.fromUnicode[((c & 0x1F) << 6) | (p[r + 1] & 0x3F)];
        if (b >= 0) {
          p[w++] = static_cast<unsigned char>(b);
          r += 2;
          continue;
        }
      }
    } else if (c >= 0xE0 && c < 0xF0) {
      if (r + 2 < n && IsContinuation(p[r + 1]) && IsContinuation(p[r + 2])) {
        const char32_t ch = (char32_t(c & 0x0F) << 12) | (char32_t(p[r + 1] & 0x3F) << 6) | (p[r + 2] & 0x3F);
        const int b = ch >= 0x800 ? t.fromUnicode[ch] : -1;  // below 0x800: overlong
        if (b >= 0) {
          p[w++] = static_cast<unsigned char>(b);
          r += 3;
          continue;
        }
      }
    }
    // Not convertible: say why and give the bytes back as they came.
    const Decoded d = DecodeOne(p + r, p + n);
    scan.offset = r;
    if (d.fault != Utf8Fault::None) {
      scan.result = Utf8Scan::Invalid;
      scan.fault = d.fault;
    } else {
      scan.result = Utf8Scan::Outside;
      scan.character = d.ch;
    }
    if (w != r) {
      // The converted part written as UTF-8 again is exactly what it was.
      std::string original;
      original.reserve(n);
      AppendCp1252AsUtf8(std::string_view(bytes.data(), w), scan.bom, original);
      original.append(bytes, r, std::string::npos);
      bytes.swap(original);
    }
    return scan;
  }
  bytes.resize(w);
  scan.result = Utf8Scan::Converted;
  return scan;
}

void AppendCp1252AsUtf8(std::string_view text, bool bom, std::string& out) {
  if (bom) out += "\xEF\xBB\xBF";
  AppendDecodedUtf8(Codepage::Cp1252, text, out);
}

std::string Cp1252ToUtf8(std::string_view text, bool bom) {
  std::string out;
  AppendCp1252AsUtf8(text, bom, out);
  return out;
}

std::int64_t Utf8ExtraBytes(std::string_view text) {
  const Tables& t = Cp1252();
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::int64_t extra = 0;
  std::size_t i = 0;
  while (i < n) {
    i += AsciiRun(p + i, n - i);
    if (i < n) extra += t.toUtf8[p[i++]].len - 1;
  }
  return extra;
}

std::string Utf8ScanReason(const Utf8Scan& scan) {
  const std::string at = " at byte " + std::to_string(scan.offset + 1);
  switch (scan.result) {
    case Utf8Scan::Invalid:
      if (scan.fault == Utf8Fault::TruncatedEnd) return "invalid UTF-8: the file ends inside a character";
      return "invalid UTF-8" + at + ": " + FaultText(scan.fault);
    case Utf8Scan::Outside:
      return "UTF-8 with " + DescribeCharacter(scan.character) + at + ", which Windows-1252 lacks";
    default:
      return {};
  }
}

std::string DescribeCharacter(char32_t ch) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string code;
  for (int shift = ch > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) code += kHex[(ch >> shift) & 0xF];
  // Controls and lone surrogates have nothing to show.
  const bool visible = ch >= 0x20 && !(ch >= 0x7F && ch < 0xA0) && !(ch >= 0xD800 && ch <= 0xDFFF);
  std::string out;
  if (visible) {
    out = "\"";
    AppendUtf8Of(ch, out);
    out += "\" ";
  }
  return out + "(U+" + code + ")";
}

bool FirstOutsideCp1252(std::u16string_view text, char32_t& ch) {
  const Tables& t = Cp1252();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDFFF) {
      ch = u;
      if (u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
        ch = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      return true;
    }
    if (t.fromUnicode[u] < 0) {
      ch = u;
      return true;
    }
  }
  return false;
}

}  // namespace ql
