// Color arithmetic on 0x00BBGGRR values and their hexadecimal text forms.
#include "common/FuncLib.h"

#include <algorithm>
#include <cstdio>

namespace ql {

namespace {

int Red(Color c) { return static_cast<int>(c & 0xFF); }
int Green(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

Color MakeColor(int r, int g, int b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}

// At least two upper-case hexadecimal digits.
std::string Hex2(long long v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02llX", v);
  return buf;
}

// A plain decimal number, optionally signed with '+', blanks around it
// allowed. Negative numbers and anything else are refused.
bool ReadChannel(const std::string& text, long long& value) {
  std::size_t i = 0;
  std::size_t end = text.size();
  while (i < end && text[i] == ' ') ++i;
  while (end > i && text[end - 1] == ' ') --end;
  if (i < end && text[i] == '+') ++i;
  if (i == end) return false;
  value = 0;
  for (; i < end; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 0xFFFFFFFFLL) return false;  // far out of range; stop before overflow
  }
  return true;
}

}  // namespace

std::string SwapHexRGB(const std::string& s) {
  if (s.size() != 6) return std::string(1, '\0');
  return s.substr(4, 2) + s.substr(2, 2) + s.substr(0, 2);
}

bool ColorToHexParts(Color color, std::string& r, std::string& g, std::string& b) {
  r = Hex2(Red(color));
  g = Hex2(Green(color));
  b = Hex2(Blue(color));
  return true;
}

bool ParseRGBTriplet(const std::string& s, std::string& r, std::string& g, std::string& b) {
  const std::size_t c1 = s.find(',');
  if (c1 == std::string::npos) return false;
  const std::size_t c2 = s.find(',', c1 + 1);
  if (c2 == std::string::npos) return false;
  long long rv, gv, bv;
  if (!ReadChannel(s.substr(0, c1), rv) || !ReadChannel(s.substr(c1 + 1, c2 - c1 - 1), gv) ||
      !ReadChannel(s.substr(c2 + 1), bv))
    return false;
  r = Hex2(rv);
  g = Hex2(gv);
  b = Hex2(bv);
  return rv < 256 && gv < 256 && bv < 256;
}

Color InvertColor(Color color) {
  // Only the three channels take part, so a stray top byte cannot wrap the
  // result into something that is no color.
  return 0xFFFFFFu - (color & 0xFFFFFFu);
}

Color BlendColors(Color c1, Color c2, std::uint16_t amount) {
  auto mix = [amount](int a, int b) {
    long long v = a + (static_cast<long long>(b - a) * amount) / 256;
    if (v < 0) v = 0;
    if (v > 255) v = 255;
    return static_cast<int>(v);
  };
  return MakeColor(mix(Red(c1), Red(c2)), mix(Green(c1), Green(c2)), mix(Blue(c1), Blue(c2)));
}

Color GrayColor(Color color) {
  const int gray = (Red(color) + Green(color) + Blue(color)) / 3;
  return MakeColor(gray, gray, gray);
}

}  // namespace ql

namespace ql {

std::optional<Color> ParseHexRGB(const std::string& text, std::size_t minDigits) {
  const std::size_t from = !text.empty() && text[0] == '#' ? 1 : 0;
  const std::size_t digits = text.size() - from;
  if (digits < std::max<std::size_t>(minDigits, 1) || digits > 6) return std::nullopt;
  Color rgb = 0;
  for (std::size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else return std::nullopt;
    rgb = rgb << 4 | static_cast<Color>(v);
  }
  return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

}  // namespace ql
