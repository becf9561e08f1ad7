// Throughput of the Convert commands' string functions on a whole file:
//   bench_transforms upper|lower|toggle|title IN OUT
//   bench_transforms multiA|multiB IN OUT
// Timings go to stderr: read, operation, write and total milliseconds.
#include "bench/BenchSupport.h"
#include "tools/CaseTransforms.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
  using namespace bench;
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_transforms upper|lower|toggle|title|multiA|multiB IN OUT\n");
    return 2;
  }
  const std::string mode = argv[1];
  const auto start = Clock::now();
  std::string text;
  if (!bench::ReadMapped(argv[2], text)) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 1;
  }
  const double readMs = MsSince(start);
  const auto opStart = Clock::now();
  std::string result;
  if (mode == "upper") result = ql::ConvertCase(ql::CaseKind::Upper, std::move(text));
  else if (mode == "lower") result = ql::ConvertCase(ql::CaseKind::Lower, std::move(text));
  else if (mode == "toggle") result = ql::ConvertCase(ql::CaseKind::Toggle, std::move(text));
  else if (mode == "title") result = ql::ConvertCase(ql::CaseKind::Title, std::move(text));
  else if (mode == "multiA") result = ql::MultiToSingle(text, 1);
  else if (mode == "multiB") result = ql::MultiToSingle(text, 2);
  else return 2;
  const double opMs = MsSince(opStart);
  const auto writeStart = Clock::now();
  if (!WriteWhole(argv[3], result)) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  const double writeMs = MsSince(writeStart);
  std::fprintf(stderr, "read_ms=%.1f op_ms=%.1f write_ms=%.1f total_ms=%.1f bytes=%zu\n", readMs, opMs,
               writeMs, MsSince(start), result.size());
  return 0;
}
