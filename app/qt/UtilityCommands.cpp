// The window's side of the utility dialogs: each command opens its window;
// the run dialog gets the document's name and the run history through a host.
#include "app/qt/MainQuillora.h"
#include "app/WindowLogic.h"
#include "dialogs/qt/FileInfoDialog.h"
#include "dialogs/qt/NumberDialog.h"
#include "dialogs/qt/RunDialog.h"

namespace ql {

namespace {

class WindowRunHost : public RunHost {
 public:
  explicit WindowRunHost(TFormQuillora& form) : form_(form) {}
  std::string DocFileName() const override { return form_.DocFileName(); }
  std::vector<std::string>& RunList() override { return form_.Lists().RunList; }
  bool SaveDocumentFirst() override {
    form_.SaveFileAs_Cmd();
    return DocumentHasFile(form_.DocFileName());
  }

 private:
  TFormQuillora& form_;
};

}  // namespace

void TFormQuillora::NumConvert_Open() {
  TFormNumber dialog(this);
  ExecModal(dialog);
}

void TFormQuillora::Run_Open() {
  WindowRunHost host(*this);
  TFormRun dialog(this, host, options_.BoxBackColor, options_.BoxTextColor);
  ExecModal(dialog);
}

void TFormQuillora::FileInfo_Open() {
  if (!DocumentHasFile(docFileName_)) {
    FileError(1, docFileName_);
    return;
  }
  TFormFileInfo dialog(this, docFileName_);
  ExecModal(dialog);
}

}  // namespace ql
