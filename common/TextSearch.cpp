// Search, count and replace over 8-bit text, plus the character-set scans.
//
// All four search routines follow one scan: from the start position, each
// position either holds the search text or not; whole-word search rejects a
// match touching a letter on either side; counting moves on by one
// character (overlaps count), replacing moves past the inserted text (which
// is never searched again). Here that scan runs in linear time:
// replacements are appended to a fresh output instead of being spliced in.
// Candidates come from memchr/memcmp (memmem when the first byte is common),
// over the text or over upper-cased windows of it.
#include "common/FuncLib.h"

#include <algorithm>
#include <cstring>

namespace ql {

namespace {

constexpr std::size_t kNone = std::string::npos;

// 0-based index of a 1-based start position; below 1 counts as 1.
std::size_t StartIndex(Pos startPos) {
  return startPos < 1 ? 0 : static_cast<std::size_t>(startPos - 1);
}

// Next occurrence of the search text in the text, or in its upper-cased
// form for a case-insensitive search. The folded form is made one window at
// a time, so a search that ends early never folds the whole text.
class Finder {
 public:
  Finder(const std::string& text, const std::string& needle, bool caseSensitive)
      : text_(text), caseSensitive_(caseSensitive),
        needle_(caseSensitive ? needle : AnsiUpperStr(needle)) {}

  // First index >= from where the needle starts, or kNone.
  std::size_t Next(std::size_t from) {
    const std::size_t m = needle_.size();
    const std::size_t size = text_.size();
    if (caseSensitive_) return Search(text_.data(), size, from, 0);
    while (from <= size && m <= size - from) {
      if (from < winStart_ || from + m > winEnd_) Fold(from);
      const std::size_t hit = Search(window_.data(), window_.size(), from - winStart_, winStart_);
      if (hit != kNone) return winStart_ + hit;
      if (winEnd_ == size) break;
      from = winEnd_ - m + 1;  // the next window still sees matches across the edge
    }
    return kNone;
  }

 private:
  static constexpr std::size_t kWindow = 1 << 16;

  void Fold(std::size_t from) {
    const std::size_t want = std::max(kWindow, 4 * needle_.size());
    winStart_ = from;
    winEnd_ = std::min(text_.size(), from + want);
    window_.assign(text_, winStart_, winEnd_ - winStart_);
    for (char& c : window_) c = static_cast<char>(AnsiUpper(static_cast<unsigned char>(c)));
  }

  // First start >= from in hay[0, len) where the needle fits. Candidates
  // come from memchr on the first byte, which is fastest on text; should
  // they keep failing (a very common first byte), memmem takes over, whose
  // worst case stays linear. `origin` places hay in the whole text.
  std::size_t Search(const char* hay, std::size_t len, std::size_t from, std::size_t origin) {
    const std::size_t m = needle_.size();
    if (from > len || m > len - from) return kNone;
    const char* const lastStart = hay + (len - m);
    const char* p = hay + from;
    if (m == 1) {
      const void* hit = std::memchr(p, needle_[0], len - from);
      return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - hay) : kNone;
    }
    while (!useMemmem_) {
      p = static_cast<const char*>(std::memchr(p, needle_[0], static_cast<std::size_t>(lastStart - p) + 1));
      if (!p) return kNone;
      if (std::memcmp(p + 1, needle_.data() + 1, m - 1) == 0) return static_cast<std::size_t>(p - hay);
      ++p;
      if (++falseHits_ > 1024 + (origin + static_cast<std::size_t>(p - hay)) / 64) useMemmem_ = true;
      if (p > lastStart) return kNone;
    }
    const void* hit = ::memmem(p, static_cast<std::size_t>(hay + len - p), needle_.data(), m);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - hay) : kNone;
  }

  const std::string& text_;
  const bool caseSensitive_;
  const std::string needle_;
  std::string window_;
  std::size_t winStart_ = 0;
  std::size_t winEnd_ = 0;
  std::size_t falseHits_ = 0;
  bool useMemmem_ = false;
};

// Whole-word test: `before` is the character in front of the match (-1 at
// the start of the text); the one after is read from the text itself.
bool WordBounded(const std::string& s, std::size_t pos, std::size_t len, int before) {
  if (before >= 0 && IsLetter(static_cast<unsigned char>(before))) return false;
  const std::size_t end = pos + len;
  return end >= s.size() || !IsLetter(static_cast<unsigned char>(s[end]));
}

int CharBefore(const std::string& s, std::size_t pos) {
  return pos == 0 ? -1 : static_cast<unsigned char>(s[pos - 1]);
}

}  // namespace

Pos ReplaceAllEx(std::string& s, const std::string& oldText, const std::string& newText, Pos startPos,
                 bool caseSensitive, bool wholeWord) {
  const std::size_t from = StartIndex(startPos);
  if (oldText.empty() || from >= s.size()) return 0;

  Finder finder(s, oldText, caseSensitive);
  const std::size_t m = oldText.size();
  std::size_t hit = finder.Next(from);
  if (hit == kNone) return 0;

  std::string out;
  out.reserve(newText.size() <= m ? s.size() : s.size() + s.size() / 8);
  std::size_t copied = 0;  // s[0, copied) is already in out
  Pos count = 0;
  while (hit != kNone) {
    if (wholeWord) {
      // Right behind a replacement the character in front is the end of
      // the inserted text, which now lives only in out.
      int before;
      if (hit > copied)
        before = static_cast<unsigned char>(s[hit - 1]);
      else
        before = out.empty() ? -1 : static_cast<unsigned char>(out.back());
      if (!WordBounded(s, hit, m, before)) {
        hit = finder.Next(hit + 1);
        continue;
      }
    }
    out.append(s, copied, hit - copied);
    out += newText;
    copied = hit + m;
    ++count;
    hit = finder.Next(copied);
  }
  if (count == 0) return 0;
  out.append(s, copied, std::string::npos);
  s.swap(out);
  return count;
}

Pos ReplaceAll(std::string& s, const std::string& oldText, const std::string& newText, Pos startPos) {
  return ReplaceAllEx(s, oldText, newText, startPos, true, false);
}

Pos CountMatches(const std::string& s, const std::string& sub, Pos startPos, bool caseSensitive,
                 bool wholeWord) {
  const std::size_t from = StartIndex(startPos);
  if (from >= s.size()) return 0;
  // An empty search text matches at every position.
  if (sub.empty()) return static_cast<Pos>(s.size() - from);

  Finder finder(s, sub, caseSensitive);
  Pos count = 0;
  for (std::size_t hit = finder.Next(from); hit != kNone; hit = finder.Next(hit + 1)) {
    if (!wholeWord || WordBounded(s, hit, sub.size(), CharBefore(s, hit))) ++count;
  }
  return count;
}

Pos FindMatch(const std::string& s, const std::string& sub, Pos startPos, bool caseSensitive,
              bool wholeWord) {
  const std::size_t from = StartIndex(startPos);
  if (from >= s.size()) return -1;
  if (sub.empty()) return static_cast<Pos>(from + 1);

  Finder finder(s, sub, caseSensitive);
  for (std::size_t hit = finder.Next(from); hit != kNone; hit = finder.Next(hit + 1)) {
    if (!wholeWord || WordBounded(s, hit, sub.size(), CharBefore(s, hit)))
      return static_cast<Pos>(hit + 1);
  }
  return -1;
}

Pos FindCharOf(const CharSet& chars, const std::string& s, Pos startPos) {
  for (std::size_t i = StartIndex(startPos); i < s.size(); ++i) {
    if (chars.test(static_cast<unsigned char>(s[i]))) return static_cast<Pos>(i + 1);
  }
  return -1;
}

Pos CountCharsOf(const CharSet& chars, const std::string& s, Pos startPos) {
  Pos count = 0;
  for (std::size_t i = StartIndex(startPos); i < s.size(); ++i) {
    if (chars.test(static_cast<unsigned char>(s[i]))) ++count;
  }
  return count;
}

std::string CharsToLineBreaks(std::string s, const std::string& chars) {
  for (char ch : chars) ReplaceAll(s, std::string(1, ch), "\r\n", 1);
  return s;
}

}  // namespace ql
