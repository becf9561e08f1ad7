#include "functions/BatchInsert.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace ql {

namespace {

// Every `from` becomes `to`, left to right, inserted text never rescanned.
std::string ReplaceEvery(const std::string& s, const std::string& from, const std::string& to) {
  std::string out;
  out.reserve(s.size());
  std::size_t at = 0;
  for (std::size_t hit; (hit = s.find(from, at)) != std::string::npos; at = hit + from.size()) {
    out.append(s, at, hit - at);
    out += to;
  }
  out.append(s, at, std::string::npos);
  return out;
}

// The same for a two-character placeholder "%x", either letter case.
std::string ReplacePlaceholder(const std::string& s, char letter, const std::string& to) {
  std::string out;
  out.reserve(s.size() + to.size());
  const char upper = letter, lower = static_cast<char>(letter - 'A' + 'a');
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 1 < s.size() && (s[i + 1] == upper || s[i + 1] == lower)) {
      out += to;
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

// The entity's number, when its text is a whole number in the integer range.
bool EntityValue(const std::string& t, int& value) {
  if (t.empty()) return false;
  std::size_t i = t[0] == '+' || t[0] == '-' ? 1 : 0;
  if (i == t.size() || t.size() - i > 10) return false;
  for (std::size_t k = i; k < t.size(); ++k)
    if (t[k] < '0' || t[k] > '9') return false;
  const long long v = std::strtoll(t.c_str(), nullptr, 10);
  if (v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

bool OnlySignsAndDigits(const std::string& t) {
  for (char c : t)
    if (c != '+' && c != '-' && (c < '0' || c > '9')) return false;
  return true;
}

std::string ExpandEntities(std::string r) {
  std::size_t from = 0;
  while (true) {
    const std::size_t amp = r.find('&', from);
    if (amp == std::string::npos) break;
    from = amp + 1;
    const std::size_t semi = r.find(';', amp + 1);
    if (semi == std::string::npos) continue;
    const std::string t = r.substr(amp + 1, semi - amp - 1);
    int value = 0;
    // Text of signs and digits that is no number is left as it is.
    if (!OnlySignsAndDigits(t) || !EntityValue(t, value)) continue;
    const std::string entity = "&" + t + ";";
    const std::string ch(1, static_cast<char>(value & 0xFF));
    // Every occurrence, also those before this one.
    std::string before = ReplaceEvery(r.substr(0, amp), entity, ch);
    const std::size_t resume = before.size() + 1;
    r = before + ch + ReplaceEvery(r.substr(semi + 1), entity, ch);
    from = resume;
  }
  return r;
}

bool Blank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

std::string FormatInsertLine(const std::string& line, long long lineNo, int width,
                             const std::string& format) {
  const std::string n = std::to_string(lineNo);
  std::string m = n;
  if (static_cast<int>(m.size()) < width) m.insert(0, static_cast<std::size_t>(width) - m.size(), ' ');
  std::string r = ReplaceEvery(format, "%%", "\r\n");
  const std::string l = ReplaceEvery(line, "%", "\r\n");
  r = ExpandEntities(std::move(r));
  r = ReplacePlaceholder(r, 'L', l);
  r = ReplacePlaceholder(r, 'N', n);
  r = ReplacePlaceholder(r, 'M', m);
  r = ReplaceEvery(r, "%", "");
  return ReplaceEvery(r, "\r\n", "%");
}

void BatchInsert(std::vector<std::string>& lines, const BatchOptions& o, const TProgressProc& progress) {
  if (o.toIndex < o.fromIndex) return;
  const int width = static_cast<int>(std::to_string(o.toIndex + 1).size());
  const long long last = std::min<long long>(o.toIndex, static_cast<long long>(lines.size()) - 1);
  const long long first = std::max<long long>(o.fromIndex, 0);
  if (last < first) return;
  ProgressTicker ticker(progress, static_cast<std::uint64_t>(last - first + 1));
  for (long long i = first; i <= last; ++i) {
    ticker.Step(static_cast<std::uint64_t>(i - first));
    std::string& line = lines[static_cast<std::size_t>(i)];
    if (o.onlyWithText && line.empty()) continue;
    if (o.trimLeft) {
      std::size_t k = 0;
      while (k < line.size() && Blank(line[k])) ++k;
      line.erase(0, k);
    }
    if (o.trimRight) {
      std::size_t k = line.size();
      while (k > 0 && Blank(line[k - 1])) --k;
      line.resize(k);
    }
    line = FormatInsertLine(line, i + 1, width, o.format);
  }
  ticker.Step(static_cast<std::uint64_t>(last - first + 1));
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text, start, i - start);
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text, start, std::string::npos);
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& l : lines) size += l.size() + 2;
  std::string out;
  out.reserve(size);
  for (const std::string& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

}  // namespace ql
