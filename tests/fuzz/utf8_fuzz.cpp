// libFuzzer target for the UTF-8 detector: whatever the bytes, they are
// either converted so that writing them back as UTF-8 gives them again, or
// left exactly as they came.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string bytes = input;
  const ql::Utf8Scan scan = ql::Utf8ToCp1252InPlace(bytes);
  if (scan.result == ql::Utf8Scan::Converted) {
    if (ql::Cp1252ToUtf8(bytes, scan.bom) != input) std::abort();
    if (static_cast<std::int64_t>(bytes.size()) + ql::Utf8ExtraBytes(bytes) + (scan.bom ? 3 : 0) !=
        static_cast<std::int64_t>(size))
      std::abort();
  } else {
    if (bytes != input) std::abort();
    if (scan.result != ql::Utf8Scan::Plain && scan.offset >= size) std::abort();
    (void)ql::Utf8ScanReason(scan);
  }
  return 0;
}
