// The search engine's and the Find/Replace dialog's host: the document, the
// histories and the user, through the window.
#pragma once

#include "app/qt/MainQuillora.h"
#include "app/qt/WindowToolHost.h"
#include "tools/FindReplace.h"
#include "tools/qt/FindReplaceDialog.h"

namespace ql {

// The document, busy bracket and modified mark come from the tools' common
// half; message boxes are owned by the Find/Replace window while it shows.
class WindowSearchHost : public WindowToolHostOf<SearchHost>, public FindReplaceDialogHost {
 public:
  using WindowToolHostOf::WindowToolHostOf;

  // SearchHost
  bool InBulk() const override { return form_.EditorIsBusy(); }
  int Message(const std::string& text, const std::string& caption, unsigned flags) override;
  ConfirmAnswer Confirm(const std::string& find, const std::string& replace, bool all) override;

  // Both interfaces ask for the document.
  EditorBuffer& Buffer() override { return WindowToolHostOf::Buffer(); }

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
};

}  // namespace ql
