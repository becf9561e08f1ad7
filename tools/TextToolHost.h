// What the text tools need from the window: the document, the busy bracket,
// the modified mark and message boxes. Tests give them an in-memory host.
#pragma once

#include <string>

#include "editor/EditorBuffer.h"

namespace ql {

class TextToolHost {
 public:
  virtual ~TextToolHost() = default;
  virtual EditorBuffer& Buffer() = 0;
  virtual void BeginBulk() = 0;  // the editor-busy bracket, selection not kept
  virtual void EndBulk() = 0;
  virtual void TextChanged() = 0;  // marks the document modified
  // A message box (text and caption UTF-8); returns the answer code.
  virtual int Message(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

// Opens the bracket for a scope; it closes on every way out.
class BulkScope {
 public:
  explicit BulkScope(TextToolHost& host) : host_(host) { host_.BeginBulk(); }
  ~BulkScope() { host_.EndBulk(); }
  BulkScope(const BulkScope&) = delete;
  BulkScope& operator=(const BulkScope&) = delete;

 private:
  TextToolHost& host_;
};

}  // namespace ql
