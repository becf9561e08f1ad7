// The search engine's and the Find/Replace dialog's host: the document, the
// histories and the user, through the window.
#pragma once

#include "app/qt/MainQuillora.h"
#include "tools/FindReplace.h"
#include "tools/qt/FindReplaceDialog.h"

namespace ql {

class WindowSearchHost : public SearchHost, public FindReplaceDialogHost {
 public:
  explicit WindowSearchHost(TFormQuillora& form) : form_(form) {}

  // SearchHost
  EditorBuffer& Buffer() override { return form_.Buffer(); }
  void BeginBulk() override { form_.SetEditorBusy(1, false); }
  void EndBulk() override {
    form_.SetEditorBusy(2, false);
    form_.RESelChange();  // the counts in the status bar follow the new text
  }
  bool InBulk() const override { return form_.EditorIsBusy(); }
  void TextChanged() override { form_.REChange(); }
  int Message(const std::string& text, const std::string& caption, unsigned flags) override;
  ConfirmAnswer Confirm(const std::string& find, const std::string& replace, bool all) override;

  // FindReplaceDialogHost
  QWidget* HostWindow() override { return &form_; }
  SearchEngine& Search() override { return form_.Search(); }
  const std::vector<std::string>& History(bool replace) const override {
    return replace ? form_.Lists().ReplaceHistory : form_.Lists().FindHistory;
  }
  void AddToHistory(bool replace, const std::string& text) override;
  void EnableFindNext(bool on) override { form_.EnableFindNext(on); }
  std::uint32_t BoxBackColor() const override { return form_.Options().BoxBackColor; }
  std::uint32_t BoxTextColor() const override { return form_.Options().BoxTextColor; }

 private:
  TFormQuillora& form_;
};

}  // namespace ql
