// libFuzzer target for the recovery journal reader: whatever the bytes, it
// stops at the first record that is not whole and right, keeps the caret
// inside the text, and reading just the whole records again gives the same
// text, complete.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/RecoveryJournal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ql::JournalContents c = ql::ReadJournal(bytes);
  if (c.goodBytes > size) std::abort();
  if (c.complete && c.usable && c.goodBytes != size) std::abort();
  if (!c.usable) return 0;
  const auto length = static_cast<std::int64_t>(c.text.size());
  if (c.anchor < 0 || c.anchor > length || c.caret < 0 || c.caret > length) std::abort();
  const ql::JournalContents again = ql::ReadJournal(bytes.substr(0, c.goodBytes));
  if (!again.usable || !again.complete || again.text != c.text || again.records != c.records) std::abort();
  return 0;
}
