// The window's side of the utility dialogs: each command opens its window;
// the run dialog gets the document's name and the run history through a
// host, the about box reaches the window only through AboutHost.
#include <QMenu>
#include <QMenuBar>

#include "app/WindowLogic.h"
#include "app/qt/MainQuillora.h"
#include "common/FuncLib.h"
#include "dialogs/qt/AboutDialog.h"
#include "dialogs/qt/AssociateDialog.h"
#include "dialogs/qt/FileInfoDialog.h"
#include "dialogs/qt/NumberDialog.h"
#include "dialogs/qt/RunDialog.h"
#include "platform/qt/Look.h"

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

class WindowAboutHost : public AboutHost {
 public:
  WindowAboutHost(TFormQuillora& form, const Store& store) : form_(form), store_(store) {}
  const Store& Settings() const override { return store_; }
  double RunDays() const override { return form_.RunDays(); }
  void RevealHiddenMenu() override { form_.RevealHiddenMenu(); }

 private:
  TFormQuillora& form_;
  const Store& store_;
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

double TFormQuillora::RunDays() const {
  return runClock_.isValid() ? MSecsToDays(runClock_.elapsed()) : 0.0;
}

void TFormQuillora::Associate_Open() {
  TFormAssociate dialog(this, store_, options_.BoxBackColor, options_.BoxTextColor);
  ExecModal(dialog);
}

void TFormQuillora::About_Open() {
  WindowAboutHost host(*this, store_);
  TFormAbout dialog(this, host, ProgramIcon());
  ExecModal(dialog);
}

void TFormQuillora::RevealHiddenMenu() {
  QMenu* hidden = findChild<QMenu*>("NonVisable");
  if (hidden && !menuBar()->actions().contains(hidden->menuAction())) menuBar()->addMenu(hidden);
}

}  // namespace ql
