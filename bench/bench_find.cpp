// Find All and Replace All through the search engine on the in-memory
// document, the way the dialog runs them:
//   bench_find FILE
// loads FILE, counts "Old" (Find All, case-sensitive, from the start), then
// replaces every "Old" by "New" without prompting and writes the document
// to FILE.out. Prints one line of key=value figures for run.sh.
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "editor/MemoryBuffer.h"
#include "bench/BenchSupport.h"
#include "tools/FindReplace.h"

using namespace bench;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_find FILE\n");
    return 2;
  }
  const std::string path = argv[1];
  const auto start = Clock::now();
  std::string text;
  if (!ReadWhole(path, text)) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const double readMs = MsSince(start);

  ql::MemoryBuffer buffer;
  auto t = Clock::now();
  buffer.SetText(text);
  const double setMs = MsSince(t);
  std::string().swap(text);

  QuietHost host(buffer);
  const FindReplaceTimes run = RunFindAndReplace(host);

  t = Clock::now();
  if (!WriteWhole(path + ".out", buffer.Text())) {
    std::fprintf(stderr, "cannot write %s.out\n", path.c_str());
    return 1;
  }
  const double writeMs = MsSince(t);

  std::printf(
      "replace_ms=%.1f findall_ms=%.1f count=%lld replaced=%lld read_ms=%.1f set_ms=%.1f write_ms=%.1f "
      "total_ms=%.1f\n",
      run.replaceMs, run.findAllMs, run.count, run.replaced, readMs, setMs, writeMs, MsSince(start));
  return 0;
}
