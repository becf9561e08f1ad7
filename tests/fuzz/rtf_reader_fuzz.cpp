// libFuzzer target for the rich text reader of HTML tag coloring. Whatever
// the bytes, reading them ends; what it accepts has runs that cover its
// text in order. The same bytes taken as a text (line breaks made CR LF,
// byte 0 left out, as a document holds them) come back unchanged through
// the writer and the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "functions/RichText.h"

namespace {

void CheckRuns(const ql::RtfDocument& doc) {
  std::int64_t at = 0;
  int last = -1;
  for (const ql::RtfRun& r : doc.runs) {
    if (r.start != at || r.length <= 0 || r.color < 0 || r.color > 2 || r.color == last) std::abort();
    at += r.length;
    last = r.color;
  }
  if (at != static_cast<std::int64_t>(doc.text.size())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  if (const auto doc = ql::ReadRtf(input)) CheckRuns(*doc);

  std::string text = "<";
  for (std::size_t i = 0; i < size; ++i) {
    const char c = input[i];
    if (c == '\0') continue;
    if (c == '\r' || c == '\n') {
      text += "\r\n";
      if (c == '\r' && i + 1 < size && input[i + 1] == '\n') ++i;
      continue;
    }
    text += c;
  }
  const std::string rtf = ql::HtmlTagsToRtf(text, {0x0000FF, 0xFF0000, 0x008000}, input.substr(0, 16),
                                            1 + static_cast<int>(size % 40));
  const auto back = ql::ReadRtf(rtf);
  if (!back || back->text != text) std::abort();
  CheckRuns(*back);
  return 0;
}
