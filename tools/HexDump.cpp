#include "tools/HexDump.h"

#include <array>
#include <cstring>

#include "common/FuncLib.h"
#include "tools/Insertions.h"  // ReadTextFile

namespace ql {

namespace {

constexpr std::size_t kPerLine = 16;
constexpr std::size_t kField = 51;                // 16 x "XX " + 3 group blanks
constexpr std::size_t kText = 8 + 3 + kField + 3;  // where the characters start
constexpr std::size_t kFullLine = kText + kPerLine + 2;

struct Tables {
  std::array<char, 512> pairs;   // two upper-case digits per byte value
  std::array<char, 256> shown;   // the byte in the character column
  Tables() {
    const char* digits = "0123456789ABCDEF";
    for (int c = 0; c < 256; ++c) {
      pairs[2 * c] = digits[c >> 4];
      pairs[2 * c + 1] = digits[c & 15];
      shown[c] = (c == 0 || c == 9 || c == 10 || c == 13) ? '.' : static_cast<char>(c);
    }
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

// Column of byte j's pair within a line.
constexpr std::size_t PairColumn(std::size_t j) { return 11 + 3 * j + j / 4; }

// Writes the offset's digits, at least 8; returns how many.
std::size_t WriteOffset(char* out, std::uint64_t offset) {
  std::size_t width = 8;
  while (width < 16 && (offset >> (4 * width)) != 0) ++width;
  const char* digits = "0123456789ABCDEF";
  for (std::size_t i = 0; i < width; ++i) out[width - 1 - i] = digits[(offset >> (4 * i)) & 15];
  return width;
}

// One line of `count` bytes (1..16) at `offset`, appended to `out`.
void AppendLine(std::string& out, char* line, const unsigned char* bytes, std::size_t count,
                std::uint64_t offset) {
  const Tables& t = T();
  char wide[16];
  const std::size_t width = WriteOffset(wide, offset);
  if (width == 8) std::memcpy(line, wide, 8);
  for (std::size_t j = 0; j < count; ++j) {
    std::memcpy(line + PairColumn(j), &t.pairs[2 * bytes[j]], 2);
    line[kText + j] = t.shown[bytes[j]];
  }
  line[kText + count] = '\r';
  line[kText + count + 1] = '\n';
  if (width == 8) {
    out.append(line, kText + count + 2);
  } else {  // beyond 4 GiB the offset takes more digits
    out.append(wide, width);
    out.append(line + 8, kText + count + 2 - 8);
  }
}

}  // namespace

std::string HexDump(const std::string& text, const TProgressProc& progress) {
  const std::size_t n = text.size();
  std::string out;
  if (n == 0) return out;
  const std::size_t full = n / kPerLine, rest = n % kPerLine;
  out.reserve(full * kFullLine + (rest ? kText + rest + 2 : 0) + 64);
  ProgressTicker ticker(progress, 2 * static_cast<std::uint64_t>(n));
  char line[kFullLine];
  std::memset(line, ' ', sizeof line);
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < full; ++i) {
    const std::uint64_t offset = i * kPerLine;
    ticker.Step(2 * offset + 1);
    AppendLine(out, line, bytes + offset, kPerLine, offset);
  }
  if (rest) {
    const std::uint64_t offset = full * kPerLine;
    ticker.Step(2 * offset + 1);
    std::memset(line, ' ', sizeof line);  // missing pairs stay blank
    AppendLine(out, line, bytes + offset, rest, offset);
  }
  return out;
}

void DumpHexCommand(TextJobHost& host) {
  host.ShowStatus("Dumping hexadecimal...");
  // Asked before the progress window opens, which would stand over the box.
  bool fromFile = false;
  if (host.Modified())
    fromFile = host.Message("Read file from disk insteed of the changed text?", "Read from disk?",
                            36) == 6;
  JobProgress window(host, "Dumping hexadecimal...");
  EditorBuffer& b = host.Buffer();
  const std::string before = b.Text();
  std::string source;
  if (fromFile) {
    // A file that is not there or cannot be read is no empty source: the
    // text would be lost for nothing.
    const std::string name = host.DocFileName();
    ReadResult result = host.HasFile() ? ReadTextFile(name, source) : ReadResult::Missing;
    if (result != ReadResult::Ok) {
      if (!host.HasFile())
        host.Message("The text has never been saved, so there is no file to read!",
                     "File doesn't exist!", 16);
      else if (result == ReadResult::Missing)
        host.Message("The file doesn't exist!\n\"" + name + "\"", "File doesn't exist!", 16);
      else
        host.Message("The file couldn't be read!\n\"" + name + "\"", "Couldn't read file!", 16);
      host.ShowStatus("Hexadecimal dump not done!");
      return;
    }
  }
  const std::string dump = HexDump(fromFile ? source : before, host.Progress());
  {
    BulkScope bulk(host);
    ReplaceWholeText(host, before, dump);
  }
  host.Completed();
  host.ShowStatus("Hexadecimal dump complete!");
}

}  // namespace ql
