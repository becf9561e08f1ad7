// libFuzzer target for the help file: any file parses, and every topic
// turns into HTML whose size stays in proportion to the file (a placeholder
// is never expanded inside what it inserted).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/HelpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const auto topics = ql::ParseHelpFile(input);
  std::size_t total = 0;
  for (const auto& [number, topic] : topics) {
    const std::string html = ql::HelpTopicHtml(topic, topics, "<p>keys</p>");
    total += html.size();
  }
  // Escaping and links multiply a byte by a bounded amount; titles of linked
  // topics are inserted once per link.
  if (total > 64 * (size + 64) * (topics.size() + 1)) std::abort();
  return 0;
}
