// libFuzzer target for the number readers: the number converter's four
// boxes, the Goto number and the base conversions of the common library.
// Each reader agrees with a plain reading of its rules, nothing but
// ConvertError leaves a reader, and a value written out reads back the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "common/FuncLib.h"
#include "dialogs/Number.h"
#include "editor/MemoryBuffer.h"
#include "tools/GotoTarget.h"

namespace {

using U64 = std::uint64_t;
using I128 = __int128;

int Digit(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'A' && c <= 'Z') v = c - 'A' + 10;
  else if (c >= 'a' && c <= 'z') v = c - 'a' + 10;
  return v < base ? v : -1;
}

// Optional sign, then at least one digit, inside the signed 64-bit range.
std::optional<std::int64_t> SignedDecimal(const std::string& t, bool plusAllowed) {
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || (plusAllowed && t[i] == '+'))) negative = t[i++] == '-';
  if (i == t.size()) return std::nullopt;
  I128 v = 0;
  for (; i < t.size(); ++i) {
    const int d = Digit(t[i], 10);
    if (d < 0) return std::nullopt;
    v = v * 10 + d;
    if (v > (I128(1) << 63)) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<std::int64_t>::max() || v < std::numeric_limits<std::int64_t>::min())
    return std::nullopt;
  return static_cast<std::int64_t>(v);
}

// Up to 16 significant hexadecimal digits, leading zeros free.
std::optional<U64> Hexadecimal(const std::string& t) {
  if (t.empty()) return std::nullopt;
  U64 v = 0;
  int significant = 0;
  for (char c : t) {
    const int d = Digit(c, 16);
    if (d < 0) return std::nullopt;
    if (significant || d) ++significant;
    if (significant > 16) return std::nullopt;
    v = v << 4 | static_cast<U64>(d);
  }
  return v;
}

std::optional<U64> Reference(ql::NumBase base, const std::string& t) {
  switch (base) {
    case ql::NumBase::Dec: {
      const auto v = SignedDecimal(t, true);
      if (!v) return std::nullopt;
      return static_cast<U64>(*v);
    }
    case ql::NumBase::Hex: return Hexadecimal(t);
    case ql::NumBase::Oct: {
      if (t.empty() || t.size() > 21) return std::nullopt;
      U64 v = 0;
      for (char c : t) {
        const int d = Digit(c, 8);
        if (d < 0) return std::nullopt;
        v = v * 8 + static_cast<U64>(d);
      }
      return v;
    }
    case ql::NumBase::Bin: {
      if (t.empty()) return std::nullopt;
      U64 v = 0;
      for (char c : t) {
        const int d = Digit(c, 2);
        if (d < 0) return std::nullopt;
        v = v << 1 | static_cast<U64>(d);
      }
      return v;
    }
  }
  return std::nullopt;
}

void CheckConverter(const std::string& text, U64 bits) {
  for (int b = 0; b < ql::kNumBoxes; ++b) {
    const auto base = static_cast<ql::NumBase>(b);
    const std::size_t bad = ql::FirstIllegalChar(base, text);
    if (bad > text.size() || (bad && ql::NumLegalChar(base, text[bad - 1]))) std::abort();
    for (std::size_t i = 0; i + 1 < bad; ++i)
      if (!ql::NumLegalChar(base, text[i])) std::abort();
    const auto read = ql::ReadNumber(base, text);
    if (!bad && read != Reference(base, text)) std::abort();

    // A written value is short enough for its box and reads back, but for
    // an octal value with the top bit set, which the box cannot read.
    const std::string written = ql::WriteNumber(base, bits);
    if (written.empty() || written.size() >= static_cast<std::size_t>(ql::NumMaxLength(base)) ||
        ql::FirstIllegalChar(base, written))
      std::abort();
    const auto back = ql::ReadNumber(base, written);
    const bool octalTop = base == ql::NumBase::Oct && (bits >> 63);
    if (octalTop ? (back.has_value() || written.size() != 22 || written[0] != '1') : back != bits) std::abort();

    const ql::NumChange change = ql::ChangeBox(base, text, true);
    if (bad) {
      if (!change.error || change.offending != text[bad - 1] || change.value) std::abort();
    } else if (text.empty()) {
      if (!change.error || change.offending || change.value) std::abort();
    } else if (change.error != !read || change.value != read || change.offending) {
      std::abort();
    }
    for (int o = 0; o < ql::kNumBoxes; ++o) {
      const auto& w = change.write[static_cast<std::size_t>(o)];
      if (o == b || change.error) {
        if (w) std::abort();
        continue;
      }
      if (!w || *w != ql::WriteNumber(static_cast<ql::NumBase>(o), *change.value)) std::abort();
    }
    ql::NumErrorText(base, text, change.offending);
  }
  // Page Up and Page Down wrap around the 64-bit pattern.
  for (int step : {1, -1}) {
    const auto stepped = ql::StepDecimal(text, step);
    const auto read = ql::FirstIllegalChar(ql::NumBase::Dec, text) ? std::nullopt : ql::ReadNumber(ql::NumBase::Dec, text);
    if (stepped.has_value() != read.has_value()) std::abort();
    if (read && *stepped != *read + static_cast<U64>(static_cast<std::int64_t>(step))) std::abort();
  }
}

void CheckGoto(const std::string& text) {
  bool valid = !text.empty();
  for (char c : text) valid = valid && ((c >= '0' && c <= '9') || c == '+' || c == '-');
  if (ql::GotoTextValid(text) != (valid || text.empty())) std::abort();
  const auto want = SignedDecimal(text, true);
  try {
    const std::int64_t got = ql::GotoNumber(text);
    if (!want || *want != got) std::abort();
  } catch (const ql::ConvertError&) {
    if (want) std::abort();
  }
}

// The Goto target stays inside the text; a line or a percentage lands on
// the start of a line (or the very end), never between CR and LF.
void CheckGotoTarget(const std::string& text, std::int64_t value) {
  ql::MemoryBuffer buffer;
  buffer.SetText(text);
  const std::string t = buffer.Text();
  const auto length = static_cast<std::int64_t>(t.size());
  for (ql::GotoKind kind : {ql::GotoKind::Line, ql::GotoKind::Char, ql::GotoKind::Percent}) {
    const ql::GotoSelection s = ql::GotoTarget(buffer, kind, value);
    if (s.start < 0 || s.length < 0 || s.start + s.length > length) std::abort();
    const auto at = static_cast<std::size_t>(s.start);
    if (kind != ql::GotoKind::Char && s.start != 0 && s.start != length && t.compare(at - 2, 2, "\r\n") != 0)
      std::abort();
    if (kind == ql::GotoKind::Char && s.start != std::clamp<std::int64_t>(value, 0, length)) std::abort();
  }
}

void CheckCommon(const std::string& text, U64 bits) {
  const auto value = static_cast<std::int64_t>(bits);
  // Binary text: as few digits as needed, or at least as many as asked.
  const std::string bin = ql::IntToBin(value, -1);
  if (ql::BinToInt(bin) != value || bin.size() > 64 || (bin.size() > 1 && bin[0] != '1')) std::abort();
  const int width = static_cast<int>(bits % 80);
  const std::string padded = ql::IntToBin(value, width);
  if (padded.size() < static_cast<std::size_t>(width) || ql::BinToInt(padded) != value) std::abort();
  // Octal text reads back for the values it can hold.
  const std::string oct = ql::IntToOct(value);
  try {
    const std::int64_t back = ql::OctToInt(oct);
    if (value < 0 || back != value) std::abort();
  } catch (const ql::ConvertError&) {
    if (value >= 0) std::abort();
  }
  // Reading octal text: decimal digits weighted by powers of eight.
  std::optional<std::int64_t> octWant;
  if (text.size() < 22) {
    I128 sum = 0;
    octWant = 0;
    for (char c : text) {
      const int d = Digit(c, 10);
      if (d < 0 || (sum = sum * 8 + d) > std::numeric_limits<std::int64_t>::max()) {
        octWant.reset();
        break;
      }
    }
    if (octWant) octWant = static_cast<std::int64_t>(sum);
  }
  try {
    if (ql::OctToInt(text) != octWant) std::abort();
  } catch (const ql::ConvertError&) {
    if (octWant) std::abort();
  }
  // Hexadecimal to decimal text, zero-padded.
  const auto hex = Hexadecimal(text);
  try {
    const std::string dec = ql::HexToDecStr(text, width);
    if (!hex) std::abort();
    std::string want = std::to_string(static_cast<std::int64_t>(*hex));
    if (want.size() < static_cast<std::size_t>(width)) want.insert(0, static_cast<std::size_t>(width) - want.size(), '0');
    if (dec != want) std::abort();
  } catch (const ql::ConvertError&) {
    if (hex) std::abort();
  }
  // Colors: "#RRGGBB" with a minimum of digits, and "r,g,b".
  const std::size_t minDigits = bits % 8;
  const auto rgb = ql::ParseHexRGB(text, minDigits);
  const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
  const auto hexRgb = digits.size() <= 6 && digits.size() >= std::max<std::size_t>(minDigits, 1) ? Hexadecimal(digits) : std::nullopt;
  if (rgb.has_value() != hexRgb.has_value()) std::abort();
  if (rgb) {
    const U64 v = *hexRgb;
    if (*rgb != ((v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16)) std::abort();
    std::string r, g, b;
    ql::ColorToHexParts(*rgb, r, g, b);
    if (ql::ParseHexRGB(r + g + b, 6) != rgb || ql::SwapHexRGB(ql::SwapHexRGB(r + g + b)) != r + g + b) std::abort();
  }
  std::string r, g, b;
  if (ql::ParseRGBTriplet(text, r, g, b)) {
    if (r.size() != 2 || g.size() != 2 || b.size() != 2 || !ql::ParseHexRGB(r + g + b, 6)) std::abort();
  }
  if (ql::SwapHexRGB(text).size() != (text.size() == 6 ? 6u : 1u)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  U64 bits = 0;
  std::memcpy(&bits, data, size < 8 ? size : 8);
  CheckConverter(text, bits);
  CheckGoto(text);
  CheckGotoTarget(text, static_cast<std::int64_t>(bits));
  CheckGotoTarget(text, static_cast<std::int64_t>(bits % 203) - 50);
  CheckCommon(text, bits);
  return 0;
}
