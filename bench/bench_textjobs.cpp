// Throughput of the whole-text jobs on a file:
//   bench_textjobs dump IN OUT    the hexadecimal dump
//   bench_textjobs count IN       the text analyzer's figures (words and
//                                 characters printed as "words chars")
//   bench_textjobs sort IN OUT    sort all lines
// Each job runs with a progress procedure, as the window gives it one.
// Timings go to stderr: read, operation, write and total milliseconds.
#include "bench/BenchSupport.h"
#include "tools/HexDump.h"
#include "tools/SortLines.h"
#include "tools/TextStats.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
  using namespace bench;
  const std::string mode = argc > 1 ? argv[1] : "";
  if (!((mode == "count" && argc == 3) || ((mode == "dump" || mode == "sort") && argc == 4))) {
    std::fprintf(stderr, "usage: bench_textjobs dump|sort IN OUT | count IN\n");
    return 2;
  }
  const auto start = Clock::now();
  std::string text;
  if (!bench::ReadMapped(argv[2], text)) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 1;
  }
  const double readMs = MsSince(start);
  int ticks = 0;
  const ql::TProgressProc progress = [&ticks](int) { ++ticks; };
  const auto opStart = Clock::now();
  std::string result;
  if (mode == "dump") {
    result = ql::HexDump(text, progress);
  } else if (mode == "sort") {
    result = ql::SortedLines(text, progress);
  } else {
    const ql::TextStats s = ql::AnalyzeText(text, std::string(), 0);
    result = std::to_string(s.totalWords) + " " + std::to_string(s.totalChars) + "\n";
  }
  const double opMs = MsSince(opStart);
  const auto writeStart = Clock::now();
  if (mode == "count") {
    std::fputs(result.c_str(), stdout);
  } else if (!WriteWhole(argv[3], result)) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  const double writeMs = MsSince(writeStart);
  std::fprintf(stderr, "read_ms=%.1f op_ms=%.1f write_ms=%.1f total_ms=%.1f bytes=%zu ticks=%d\n", readMs,
               opMs, writeMs, MsSince(start), result.size(), ticks);
  return 0;
}
