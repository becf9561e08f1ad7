// An in-memory window for the text tools: remembers the bracket, the
// modified mark and the boxes shown, and answers boxes with OK.
#pragma once

#include <string>
#include <vector>

#include "editor/MemoryBuffer.h"
#include "tools/TextToolHost.h"

namespace ql {

struct ShownBox {
  std::string text, caption;
  unsigned flags;
};

class MemoryToolHost : public TextToolHost {
 public:
  MemoryBuffer buffer;
  std::vector<ShownBox> boxes;
  int changed = 0;
  int bulkDepth = 0;
  int bulkFaults = 0;

  EditorBuffer& Buffer() override { return buffer; }
  void BeginBulk() override {
    if (bulkDepth++ != 0) ++bulkFaults;
  }
  void EndBulk() override {
    if (--bulkDepth != 0) ++bulkFaults;
  }
  void TextChanged() override { ++changed; }
  int Message(const std::string& text, const std::string& caption, unsigned flags) override {
    boxes.push_back({text, caption, flags});
    return 1;
  }
};

}  // namespace ql
