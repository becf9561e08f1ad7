#include "tools/TextJobHost.h"

namespace ql {

bool ReplaceWholeText(TextToolHost& host, const std::string& before, const std::string& text) {
  if (text == before) return false;
  EditorBuffer& b = host.Buffer();
  b.SelectAll();
  b.ReplaceSelection(text);
  b.SetSelection(0, 0);
  host.TextChanged();
  return true;
}

}  // namespace ql
