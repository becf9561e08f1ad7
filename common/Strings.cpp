// Small string helpers: padding, ordinals, centring, word counts, quoting.
#include "common/FuncLib.h"

#include <cstring>

namespace ql {

std::string RepeatChar(char ch, Pos count) {
  return count <= 0 ? std::string() : std::string(static_cast<std::size_t>(count), ch);
}

std::string FitToWidth(const std::string& s, Pos width, char padChar) {
  if (width < 0) return std::string();
  const auto w = static_cast<std::size_t>(width);
  if (w >= s.size()) return s + std::string(w - s.size(), padChar);
  return s.substr(0, w);
}

std::string IntToStrPad(std::int64_t n, Pos width, char padChar) {
  std::string digits = std::to_string(n);
  const auto len = static_cast<Pos>(digits.size());
  if (width > len) digits.insert(0, static_cast<std::size_t>(width - len), padChar);
  return digits;
}

std::string OrdinalSuffix(std::int64_t n, bool withNumber) {
  const char* suffix = "th";
  const std::int64_t tens = n % 100;
  if (tens != 11 && tens != 12 && tens != 13) {
    switch (n % 10) {
      case 1: suffix = "st"; break;
      case 2: suffix = "nd"; break;
      case 3: suffix = "rd"; break;
      default: break;
    }
  }
  return withNumber ? std::to_string(n) + suffix : std::string(suffix);
}

std::string CenterTrimmed(const std::string& s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t first = 0;
  std::size_t last = s.size();
  while (first < last && blank(s[first])) ++first;
  while (last > first && blank(s[last - 1])) --last;
  const std::size_t pad = (s.size() - (last - first)) / 2;
  std::string out(pad, ' ');
  out.append(s, first, last - first);
  out.append(pad, ' ');
  return out;
}

Pos CountWords(const std::string& s) {
  if (s.empty()) return 0;
  Pos words = 1;
  for (std::size_t i = 1; i < s.size(); ++i) {
    const char prev = s[i - 1];
    const char cur = s[i];
    if ((prev == ' ' || prev == '\r') && cur != ' ' && cur != '\r') ++words;
  }
  return words;
}

Pos FirstDifference(const std::string& a, const std::string& b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    if (a[i] != b[i]) return static_cast<Pos>(i + 1);
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -2 : -1;
}

std::string AddQuotes(const std::string& s) {
  if (s.empty() || (s.front() == '"' && s.back() == '"')) return s;
  return '"' + s + '"';
}

double MSecsToDays(std::int64_t milliseconds) {
  return static_cast<double>(milliseconds) / 86400000.0;
}

std::string NormalizeLineBreaks(const std::string& text, const std::string& lineBreak) {
  std::string out;
  out.reserve(text.size() + text.size() / 64 + 2);
  const char* p = text.data();
  const char* const end = p + text.size();
  // The next CR and the next LF, each found with memchr and kept until passed.
  const auto next = [end](const char* from, char c) {
    const void* hit = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return hit ? static_cast<const char*>(hit) : end;
  };
  const char* cr = next(p, '\r');
  const char* lf = next(p, '\n');
  while (p < end) {
    const char* q = cr < lf ? cr : lf;
    out.append(p, q);
    if (q == end) break;
    out += lineBreak;
    // CR LF is one break; a lone CR or LF is one too.
    p = (*q == '\r' && q + 1 < end && q[1] == '\n') ? q + 2 : q + 1;
    if (cr < p) cr = next(p, '\r');
    if (lf < p) lf = next(p, '\n');
  }
  return out;
}

}  // namespace ql
