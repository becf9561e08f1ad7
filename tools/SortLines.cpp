#include "tools/SortLines.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ql {

namespace {

// Primary weights order the characters, ignoring case and accents; the
// secondary weight tells an accented letter from its base letter.
struct Collation {
  unsigned char primary[256] = {};
  unsigned char secondary[256] = {};

  Collation() {
    // The base letter of each lower-case Windows-1252 letter above 127.
    char base[256] = {};
    for (int c = 'a'; c <= 'z'; ++c) base[c] = static_cast<char>(c);
    const struct { int from, to; char letter; } accented[] = {
        {0x83, 0x83, 'f'}, {0x9A, 0x9A, 's'}, {0x9C, 0x9C, 'o'}, {0x9E, 0x9E, 'z'},
        {0xDF, 0xDF, 's'}, {0xE0, 0xE6, 'a'}, {0xE7, 0xE7, 'c'}, {0xE8, 0xEB, 'e'},
        {0xEC, 0xEF, 'i'}, {0xF0, 0xF0, 'd'}, {0xF1, 0xF1, 'n'}, {0xF2, 0xF6, 'o'},
        {0xF8, 0xF8, 'o'}, {0xF9, 0xFC, 'u'}, {0xFD, 0xFD, 'y'}, {0xFF, 0xFF, 'y'}};
    for (const auto& r : accented)
      for (int c = r.from; c <= r.to; ++c) base[c] = r.letter;
    // Upper case to lower case.
    int lower[256];
    for (int c = 0; c < 256; ++c) lower[c] = c;
    for (int c = 'A'; c <= 'Z'; ++c) lower[c] = c + 32;
    for (int c = 0xC0; c <= 0xDE; ++c)
      if (c != 0xD7) lower[c] = c + 32;
    lower[0x8A] = 0x9A;
    lower[0x8C] = 0x9C;
    lower[0x8E] = 0x9E;
    lower[0x9F] = 0xFF;

    int rank = 1;
    auto isLetter = [&](int c) { return base[lower[c]] != 0 || lower[c] == 0xFE; };
    auto isDigit = [](int c) { return (c >= '0' && c <= '9') || c == 0xB2 || c == 0xB3 || c == 0xB9; };
    // Controls and the code points the code page leaves open.
    for (int c = 0; c < 32; ++c) primary[c] = static_cast<unsigned char>(rank++);
    for (int c : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) primary[c] = static_cast<unsigned char>(rank++);
    // Blanks: the no-break space sorts with the space.
    primary[0x20] = primary[0xA0] = static_cast<unsigned char>(rank++);
    secondary[0xA0] = 1;
    // Punctuation and symbols in code order.
    for (int c = 0x21; c < 256; ++c)
      if (!primary[c] && !isLetter(c) && !isDigit(c)) primary[c] = static_cast<unsigned char>(rank++);
    // Digits; superscripts with their digit.
    for (int d = '0'; d <= '9'; ++d) primary[d] = static_cast<unsigned char>(rank++);
    primary[0xB9] = primary[static_cast<int>('1')];
    primary[0xB2] = primary[static_cast<int>('2')];
    primary[0xB3] = primary[static_cast<int>('3')];
    secondary[0xB9] = 0xB9;
    secondary[0xB2] = 0xB2;
    secondary[0xB3] = 0xB3;
    // Letters a..z, then thorn.
    unsigned char letterRank[256] = {};
    for (int l = 'a'; l <= 'z'; ++l) letterRank[l] = static_cast<unsigned char>(rank++);
    const auto thorn = static_cast<unsigned char>(rank++);
    for (int c = 0; c < 256; ++c) {
      if (!isLetter(c)) continue;
      const int lc = lower[c];
      primary[c] = lc == 0xFE ? thorn : letterRank[static_cast<unsigned char>(base[lc])];
      secondary[c] = lc < 128 ? 0 : static_cast<unsigned char>(lc);
    }
  }
};

const Collation& C() {
  static const Collation collation;
  return collation;
}

// Compares from `start` on, where the lines are known to be equal before it.
int CompareFrom(const unsigned char* a, std::size_t na, const unsigned char* b, std::size_t nb,
                std::size_t start) {
  const Collation& c = C();
  const std::size_t n = std::min(na, nb);
  for (std::size_t i = start; i < n; ++i) {
    const int d = c.primary[a[i]] - c.primary[b[i]];
    if (d) return d;
  }
  if (na != nb) return na < nb ? -1 : 1;
  for (std::size_t i = 0; i < n; ++i) {
    const int d = c.secondary[a[i]] - c.secondary[b[i]];
    if (d) return d;
  }
  return 0;
}

// A line with the primary weights of its first 8 characters packed into
// one number, so most comparisons are one compare.
struct Item {
  std::uint64_t key;
  const unsigned char* text;
  std::size_t length;
};

std::uint64_t KeyOf(const unsigned char* p, std::size_t n) {
  const Collation& c = C();
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i) key = key << 8 | (i < n ? c.primary[p[i]] : 0);
  return key;
}

// Primary weights are never 0, so equal keys of lines shorter than 8 mean
// equal lengths too; the rest compares from the 9th character.
inline bool Less(const Item& x, const Item& y) {
  if (x.key != y.key) return x.key < y.key;
  return CompareFrom(x.text, x.length, y.text, y.length, 8) < 0;
}

// Bottom-up merge sort: stable, O(n log n) whatever the input, and it can
// tell how far it is.
void MergeSort(std::vector<Item>& items, const TProgressProc& progress) {
  const std::size_t n = items.size();
  constexpr std::size_t kRun = 32;
  std::size_t passes = 0;
  for (std::size_t w = kRun; w < n; w *= 2) ++passes;
  ProgressTicker ticker(progress, static_cast<std::uint64_t>(n) * (passes + 1));
  std::uint64_t done = 0;
  // Short runs by insertion.
  for (std::size_t from = 0; from < n; from += kRun) {
    const std::size_t to = std::min(n, from + kRun);
    for (std::size_t i = from + 1; i < to; ++i) {
      Item item = items[i];
      std::size_t j = i;
      for (; j > from && Less(item, items[j - 1]); --j) items[j] = items[j - 1];
      items[j] = item;
    }
    done += to - from;
    ticker.Step(done);
  }
  if (passes == 0) return;
  std::vector<Item> other(n);
  std::vector<Item>* src = &items;
  std::vector<Item>* dst = &other;
  for (std::size_t width = kRun; width < n; width *= 2) {
    Item* out = dst->data();
    const Item* in = src->data();
    for (std::size_t from = 0; from < n; from += 2 * width) {
      const std::size_t mid = std::min(n, from + width), to = std::min(n, from + 2 * width);
      std::size_t i = from, j = mid, k = from;
      while (i < mid && j < to) {
        // Ties take the left run's line first: stable.
        out[k++] = Less(in[j], in[i]) ? in[j++] : in[i++];
        ticker.Step(++done);
      }
      done += (mid - i) + (to - j);  // the tails, copied as they are
      while (i < mid) out[k++] = in[i++];
      while (j < to) out[k++] = in[j++];
      ticker.Step(done);
    }
    std::swap(src, dst);
  }
  if (src != &items) items.swap(*src);
}

}  // namespace

int CompareLines(std::string_view a, std::string_view b) {
  return CompareFrom(reinterpret_cast<const unsigned char*>(a.data()), a.size(),
                     reinterpret_cast<const unsigned char*>(b.data()), b.size(), 0);
}

std::string SortedLines(const std::string& text, const TProgressProc& progress) {
  std::vector<Item> items;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  items.reserve(n / 40 + 16);
  std::size_t start = 0;
  while (start < n) {
    const void* nl = std::memchr(p + start, '\n', n - start);
    const std::size_t end = nl ? static_cast<std::size_t>(static_cast<const unsigned char*>(nl) - p) : n;
    const std::size_t length = end - start - (end > start && p[end - 1] == '\r' ? 1 : 0);
    items.push_back({KeyOf(p + start, length), p + start, length});
    start = nl ? end + 1 : n;
  }
  MergeSort(items, progress);
  std::string out;
  out.reserve(n + 2);
  for (const Item& item : items) {
    out.append(reinterpret_cast<const char*>(item.text), item.length);
    out += "\r\n";
  }
  return out;
}

void SortLinesCommand(TextJobHost& host) {
  if (host.Message("It's recomended that you save you file before\nproceeding any further!"
                   "\n\nAre you sure you you want to continue?",
                   "Sort all lines in text", 52) != 6)
    return;
  host.ShowStatus("Sorting lines...");
  {
    JobProgress window(host, "Sorting lines...");
    BulkScope bulk(host);
    const std::string before = host.Buffer().Text();
    ReplaceWholeText(host, before, SortedLines(before, host.Progress()));
  }
  host.Completed();
  host.ShowStatus("All lines sorted");
}

}  // namespace ql
