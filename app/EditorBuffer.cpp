#include "app/EditorBuffer.h"

namespace ql {

std::string NormalizeLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 64 + 2);
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    // Copy the run up to the next CR or LF in one go.
    const char* q = p;
    while (q < end && *q != '\r' && *q != '\n') ++q;
    out.append(p, q);
    if (q == end) break;
    out += "\r\n";
    // CR LF is one break; a lone CR or LF is one too.
    p = (*q == '\r' && q + 1 < end && q[1] == '\n') ? q + 2 : q + 1;
  }
  return out;
}

}  // namespace ql
