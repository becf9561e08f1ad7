// Writes a reproducible Windows-1252 text of about the given size: lines of
// words ending in CR LF, "Old" sprinkled in (alone and inside words), and
// accented letters, quotes and dashes from the 0x80-0xFF range. The five
// codes Windows-1252 leaves open never appear, so iconv can read the text.
//   bench_gen OUT MEGABYTES
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const kWords[] = {
    "the", "of", "and", "to", "in", "is", "that", "for", "it", "as", "was", "with", "be", "by",
    "on", "not", "he", "this", "are", "or", "his", "from", "at", "which", "but", "have", "an",
    "had", "they", "you", "were", "their", "one", "all", "we", "can", "her", "has", "there",
    "been", "if", "more", "when", "will", "would", "who", "so", "no", "editor", "window", "file",
    "text", "line", "search", "replace", "colour", "format", "program", "settings", "2024",
    "42", "3.14", "x86", "C:\\Temp", "<b>", "</b>", "e-mail", "(note)", "[1]", "etc.",
    // Windows-1252 above 0x7F
    "caf\xE9", "na\xEFve", "Stra\xDF" "e", "\x80" "10", "\x93quoted\x94", "\x96", "\x85",
    "\x9C" "uvre", "\xC5ngstr\xF6m", "se\xF1or", "Z\xFCrich", "\xA9" "2024", "\xBD", "\xD7",
    "fa\xE7" "ade", "\x8A" "koda", "\x9F" "es", "\x91single\x92", "\x95", "\x99", "\x97", "\xBFqu\xE9?",
    "\xFE" "orn", "\xD0" "\xF0", "\xA0", "\x89", "\x84low\x93", "\x8Eiva", "\x9E" "ena",
};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

const char* const kOldForms[] = {"Old", "Old", "Old", "Oldham", "Olden", "bOld", "Old,", "\"Old\""};

struct Rng {
  std::uint64_t state;
  std::uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::uint32_t>(state);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_gen OUT MEGABYTES\n");
    return 2;
  }
  const std::size_t target = static_cast<std::size_t>(std::atof(argv[2]) * 1024 * 1024);
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  Rng rng{0x9E3779B97F4A7C15ULL};
  std::string block;
  std::size_t written = 0;
  while (written < target) {
    block.clear();
    while (block.size() < (1u << 20)) {
      const int words = 4 + rng.Below(12);
      for (int w = 0; w < words; ++w) {
        if (w) block += ' ';
        block += rng.Below(14) == 0 ? kOldForms[rng.Below(8)] : kWords[rng.Below(kWordCount)];
      }
      block += rng.Below(9) == 0 ? ".\r\n\r\n" : ".\r\n";
    }
    if (written + block.size() > target) {
      // End on a whole line.
      std::size_t cut = target - written;
      const std::size_t nl = block.rfind('\n', cut);
      cut = nl == std::string::npos ? cut : nl + 1;
      block.resize(cut);
      if (block.empty()) break;
    }
    std::fwrite(block.data(), 1, block.size(), f);
    written += block.size();
  }
  std::fclose(f);
  std::printf("%zu\n", written);
  return 0;
}
