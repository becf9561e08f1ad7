// The window's side of the utility dialogs: each command opens its window;
// the about box reaches the window only through AboutHost.
#include <QMenu>
#include <QMenuBar>

#include "app/qt/MainQuillora.h"
#include "common/FuncLib.h"
#include "dialogs/qt/AboutDialog.h"
#include "dialogs/qt/AssociateDialog.h"
#include "dialogs/qt/NumberDialog.h"
#include "platform/qt/Look.h"

namespace ql {

namespace {

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
