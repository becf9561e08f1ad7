// The window's half of every text tool's host: the document, the busy
// bracket, the modified mark and message boxes. Each tool's host adds what
// its own interface asks for on top.
#pragma once

#include <string>

#include "app/qt/MainQuillora.h"
#include "platform/qt/MessageBox.h"

namespace ql {

template <class Host>
class WindowToolHostOf : public Host {
 public:
  explicit WindowToolHostOf(TFormQuillora& form) : form_(form) {}
  EditorBuffer& Buffer() override { return form_.Buffer(); }
  void BeginBulk() override { form_.SetEditorBusy(1, false); }
  void EndBulk() override {
    form_.SetEditorBusy(2, false);
    form_.RESelChange();  // the counts in the status bar follow the new text
  }
  void TextChanged() override { form_.REChange(); }
  int Message(const std::string& text, const std::string& caption, unsigned flags) override {
    return MsgBox(text, caption, flags);
  }

 protected:
  TFormQuillora& form_;
};

}  // namespace ql
