// libFuzzer target for the settings file check and the stored values: what
// the check keeps passes it again untouched, and every value read back from
// its stored form is stored the same way again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/SettingsIO.h"
#include "platform/SettingsFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const ql::SettingsFileScan scan = ql::ScanSettingsText(input);
  if (scan.oddLines > 0 && scan.verdict == ql::SettingsFileVerdict::Ok) {
    const ql::SettingsFileScan again = ql::ScanSettingsText(scan.kept);
    if (again.oddLines != 0) std::abort();
  }
  if (const auto n = ql::ParseStoredInt(input)) {
    if (ql::ParseStoredInt(std::to_string(*n)) != n) std::abort();
  }
  if (const auto t = ql::DecodeTime(input)) {
    const auto again = ql::DecodeTime(ql::EncodeTime(*t));
    if (!again || !(*again == *t || (*again != *again && *t != *t))) std::abort();
  }
  return 0;
}
