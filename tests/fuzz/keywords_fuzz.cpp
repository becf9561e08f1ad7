// libFuzzer target for keyword lists and keyword coloring. The input is a
// keyword list file, a zero byte and the text to color (without the zero
// byte the list is colored over itself). The entries are what lies between
// the separators, and the spans are exactly the whole-word, case-blind
// matches a plain scan from the left finds, sorted by start.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/FuncLib.h"
#include "functions/Coloring.h"

namespace {

bool Separator(char c) { return c == ',' || c == '.' || c == '\r' || c == '\n'; }

bool SameIgnoringCase(const std::string& text, std::size_t at, const std::string& word) {
  for (std::size_t k = 0; k < word.size(); ++k)
    if (ql::AnsiUpper(static_cast<unsigned char>(text[at + k])) != ql::AnsiUpper(static_cast<unsigned char>(word[k])))
      return false;
  return true;
}

bool LetterAt(const std::string& text, std::size_t i) {
  return i < text.size() && ql::IsLetter(static_cast<unsigned char>(text[i]));
}

// The matches of one keyword found the slow way: each position in turn,
// going on after a match.
void SlowMatches(const std::string& text, const std::string& word, std::vector<std::int64_t>& out) {
  const std::size_t m = word.size();
  for (std::size_t i = 0; i + m <= text.size();) {
    if (SameIgnoringCase(text, i, word) && !(i > 0 && LetterAt(text, i - 1)) && !LetterAt(text, i + m)) {
      out.push_back(static_cast<std::int64_t>(i));
      i += m;
    } else {
      ++i;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  const std::string file = input.substr(0, zero);
  std::string text = zero == std::string::npos ? input : input.substr(zero + 1);

  const std::vector<std::string> words = ql::ParseKeywordList(file);
  std::string joined, expected;
  for (const std::string& w : words) {
    if (w.empty() || std::any_of(w.begin(), w.end(), Separator)) std::abort();
    joined += w + "\n";
    expected += w;
  }
  // The entries are the file without its separators, in order.
  std::string stripped;
  for (char c : file)
    if (!Separator(c)) stripped += c;
  if (stripped != expected) std::abort();
  if (ql::ParseKeywordList(joined) != words) std::abort();

  // A text longer than the search's folding window now and then, with the
  // fuzzed part across the window's edge.
  if (!text.empty() && file.size() <= 256 && (static_cast<unsigned char>(text[0]) & 0xF0) == 0xF0) {
    const std::size_t lead = (std::size_t(1) << 16) - (static_cast<unsigned char>(text[0]) & 0x0F) * 3;
    text = std::string(lead, 'x') + " " + text;
  }
  const std::uint32_t color = 0x123456;
  const std::vector<ql::ColorSpan> spans = ql::KeywordSpans(text, words, color);
  std::vector<std::int64_t> slow;
  std::vector<std::pair<std::int64_t, std::int64_t>> want, got;
  for (const std::string& w : words) {
    slow.clear();
    SlowMatches(text, w, slow);
    for (std::int64_t at : slow) want.emplace_back(at, static_cast<std::int64_t>(w.size()));
  }
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const ql::ColorSpan& s = spans[i];
    if (s.color != color || s.length <= 0 || s.start < 0 ||
        s.start + s.length > static_cast<std::int64_t>(text.size()))
      std::abort();
    if (i > 0 && spans[i - 1].start > s.start) std::abort();
    got.emplace_back(s.start, s.length);
  }
  std::sort(want.begin(), want.end());
  std::sort(got.begin(), got.end());
  if (want != got) std::abort();

  // Label lines: whole lines that begin with ':', inside the text.
  for (const ql::ColorSpan& s : ql::LabelLineSpans(text, color)) {
    const auto start = static_cast<std::size_t>(s.start), len = static_cast<std::size_t>(s.length);
    if (s.start < 0 || s.length <= 0 || start + len > text.size() || text[start] != ':') std::abort();
    if (start > 0 && (start < 2 || text.compare(start - 2, 2, "\r\n") != 0)) std::abort();
    if (start + len != text.size() && text.compare(start + len, 2, "\r\n") != 0) std::abort();
    if (text.substr(start, len).find("\r\n") != std::string::npos) std::abort();
  }
  return 0;
}
