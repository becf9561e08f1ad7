// Throughput of the text routines on a whole file, the way a command-line
// peer would do the same job:
//   bench_text replace OLD NEW IN OUT   ReplaceAll from position 1
//   bench_text count SUB IN             CountMatches, case-sensitive; prints the count
//   bench_text decode IN OUT            Windows-1252 to UTF-8
//   bench_text utf8open IN OUT          a UTF-8 file as a document opens it: detected
//                                       and turned into Windows-1252 in place
//   bench_text utf8save IN OUT          Windows-1252 text saved as a UTF-8 file
// Timings go to stderr: read, operation, write and total milliseconds.
#include "bench/BenchSupport.h"
#include "common/Codepage.h"
#include "common/FuncLib.h"
#include "common/Utf8.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

using namespace bench;

int Usage() {
  std::fprintf(stderr,
               "usage: bench_text replace OLD NEW IN OUT\n"
               "       bench_text count SUB IN\n"
               "       bench_text decode IN OUT\n"
               "       bench_text utf8open IN OUT\n"
               "       bench_text utf8save IN OUT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string mode = argv[1];
  const char* in = nullptr;
  const char* out = nullptr;
  if (mode == "replace" && argc == 6) {
    in = argv[4];
    out = argv[5];
  } else if (mode == "count" && argc == 4) {
    in = argv[3];
  } else if ((mode == "decode" || mode == "utf8open" || mode == "utf8save") && argc == 4) {
    in = argv[2];
    out = argv[3];
  } else {
    return Usage();
  }

  const auto start = Clock::now();
  std::string text;
  if (!ReadWhole(in, text)) {
    std::fprintf(stderr, "cannot read %s\n", in);
    return 1;
  }
  const double readMs = MsSince(start);

  const auto opStart = Clock::now();
  std::string result;
  long long count = 0;
  if (mode == "replace") {
    count = ql::ReplaceAll(text, argv[2], argv[3], 1);
    result.swap(text);
  } else if (mode == "count") {
    count = ql::CountMatches(text, argv[2], 1, true, false);
  } else if (mode == "utf8open") {
    const ql::Utf8Scan scan = ql::Utf8ToCp1252InPlace(text);
    if (scan.result != ql::Utf8Scan::Converted) {
      std::fprintf(stderr, "not taken as UTF-8: %s\n", ql::Utf8ScanReason(scan).c_str());
      return 1;
    }
    result.swap(text);
  } else if (mode == "utf8save") {
    result = ql::Cp1252ToUtf8(text, false);
  } else {
    result = ql::DecodeToUtf8(ql::Codepage::Cp1252, text);
  }
  const double opMs = MsSince(opStart);

  const auto writeStart = Clock::now();
  if (out && !WriteWhole(out, result)) {
    std::fprintf(stderr, "cannot write %s\n", out);
    return 1;
  }
  if (mode == "count") std::printf("%lld\n", count);
  const double writeMs = MsSince(writeStart);

  std::fprintf(stderr, "read_ms=%.1f op_ms=%.1f write_ms=%.1f total_ms=%.1f bytes=%zu count=%lld\n", readMs,
               opMs, writeMs, MsSince(start), mode == "count" ? text.size() : result.size(), count);
  return 0;
}
