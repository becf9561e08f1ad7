// The search engine's host: the document and the user, through the window.
#pragma once

#include "app/qt/MainQuillora.h"
#include "platform/qt/MessageBox.h"
#include "tools/FindReplace.h"

namespace ql {

// The engine reaches the document and the user through the window.
class WindowSearchHost : public SearchHost {
 public:
  explicit WindowSearchHost(TFormQuillora& form) : form_(form) {}
  EditorBuffer& Buffer() override { return form_.Buffer(); }
  void BeginBulk() override { form_.SetEditorBusy(1, false); }
  void EndBulk() override {
    form_.SetEditorBusy(2, false);
    form_.RESelChange();  // the counts in the status bar follow the new text
  }
  bool InBulk() const override { return form_.EditorIsBusy(); }
  void TextChanged() override { form_.REChange(); }
  int Message(const std::string& text, const std::string& caption, unsigned flags) override {
    return MsgBox(text, caption, flags);
  }
  ConfirmAnswer Confirm(const std::string& find, const std::string& replace, bool all) override;

 private:
  TFormQuillora& form_;
};

}  // namespace ql
