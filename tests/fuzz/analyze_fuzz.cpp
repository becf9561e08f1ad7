// libFuzzer target for the page analyzer's parser: whatever the page, every
// anchor lies inside the text, starts at an "<A" followed by white space,
// comes after the one before, and its name and location are pieces of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dialogs/Analyze.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto n = static_cast<std::int64_t>(size);
  std::int64_t previous = -1;
  for (const ql::PageAnchor& a : ql::FindAnchors(text)) {
    if (a.start <= previous || a.start < 0 || a.start + 3 > n || a.end < a.start || a.end > n) std::abort();
    if (text[a.start] != '<' || (text[a.start + 1] | 0x20) != 'a') std::abort();
    if (a.name.size() > static_cast<std::size_t>(a.end - a.start)) std::abort();
    if (a.location.size() > static_cast<std::size_t>(a.end - a.start) ||
        text.find(a.location, static_cast<std::size_t>(a.start)) == std::string::npos)
      std::abort();
    previous = a.start;
    (void)ql::LinkKindOf(a.location);
    (void)ql::LocalLinkPath("/nowhere/page.htm", a.location);
  }
  if (const auto title = ql::FindTitle(text))
    if (title->size() > size || text.find(*title) == std::string::npos) std::abort();
  return 0;
}
