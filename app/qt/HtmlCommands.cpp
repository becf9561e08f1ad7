// The window's side of the HTML tools: short handlers that hand the
// document to the tools through small host interfaces.
#include <QFileDialog>

#include "app/qt/MainQuillora.h"
#include "app/qt/WindowToolHost.h"
#include "app/qt/TextToolCommands.h"
#include "dialogs/qt/AnalyzeDialog.h"
#include "dialogs/qt/ColorPickDialog.h"
#include "dialogs/qt/HtmlWizDialog.h"
#include "editor/qt/EditorView.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "tools/Insertions.h"
#include "tools/qt/MiniHtmlDialog.h"

namespace ql {

namespace {

class WindowHtmlHost : public WindowToolHostOf<HtmlToolHost> {
 public:
  using WindowToolHostOf::WindowToolHostOf;
  void ShowStatus(const std::string& text) override { form_.ShowStatus(0, text); }
  void PlayCompletionSound() override { form_.PlayCompletionSound(form_.Options().MsgBeep); }

};

class WindowWizardHost : public HtmlWizardHost {
 public:
  WindowWizardHost(TFormQuillora& form, std::function<std::int64_t(std::int64_t)> pick)
      : form_(form), pick_(std::move(pick)) {}
  std::string DocFileName() override { return form_.DocFileName(); }
  bool DocumentOnDisk() override {
    return DocumentHasFile(form_.DocFileName()) && IsExistingFile(form_.DocFileName());
  }
  void SaveAs() override { form_.SaveFileAs_Cmd(); }
  std::int64_t PickColor(std::int64_t initial) override { return pick_(initial); }
  std::string ChoosePicture(const std::string& folder) override { return form_.AskPicture(folder); }
  std::uint32_t BoxBackColor() override { return form_.Options().BoxBackColor; }
  std::uint32_t BoxTextColor() override { return form_.Options().BoxTextColor; }

 private:
  TFormQuillora& form_;
  std::function<std::int64_t(std::int64_t)> pick_;
};

}  // namespace

std::string TFormQuillora::AskPicture(const std::string& folder) {
  if (fileDialog_) {
    const std::vector<std::string> chosen = fileDialog_("picture", folder);
    return chosen.empty() ? std::string() : chosen.front();
  }
  QFileDialog dialog(this, "Open picture", PathToQ(folder.empty() ? dialogDir_ : folder));
  dialog.setNameFilters({"Pictures (*.gif *.jpg *.jpeg *.png *.bmp *.webp *.svg)", "All files (*)"});
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  return QToPath(dialog.selectedFiles().front());
}

void TFormQuillora::HtmlWizard_Open() {
  WindowWizardHost host(*this, [this](std::int64_t c) {
    return AskColor(this, store_, c, "");
  });
  TFormHtmlWiz dialog(this, host);
  if (ExecModal(dialog) != QDialog::Accepted) return;
  WindowHtmlHost tools(*this);
  InsertText(tools, dialog.PageText());
}

void TFormQuillora::AnalyzePage_Cmd() {
  AnalyzeInput input{docFileName_, buffer_->Text(), buffer_->LineCount(), options_.BoxBackColor,
                     options_.BoxTextColor, [this](std::int64_t start, std::int64_t length) {
                       buffer_->SetSelection(start, length);
                       buffer_->ScrollToCaret();
                     }};
  TFormAnalyze dialog(this, std::move(input));
  ExecModal(dialog);
}

void TFormQuillora::MiniHtml_Cmd() {
  WindowHtmlHost host(*this);
  TFormMiniHtml dialog(this, host);
  ExecModal(dialog);
}

void TFormQuillora::RemHtmlTag_Cmd() {
  WindowHtmlHost host(*this);
  RemHtmlTagCommand(host);
}

}  // namespace ql
