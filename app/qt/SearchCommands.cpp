// The window's side of find and replace: the dialog, F3, the Find Next
// button's hint, the confirmation dialog and the engine's host.
#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QToolBar>

#include "editor/qt/EditorView.h"
#include "app/qt/MainQuillora.h"
#include "app/qt/WindowSearchHost.h"
#include "common/Codepage.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/OwnerWindow.h"
#include "platform/qt/QtText.h"
#include "tools/qt/FindReplaceDialog.h"

namespace ql {

namespace {

const char* const kFindNextHint = "Find the next search string (F3)";

ConfirmAnswer AskConfirm(const std::string& find, const std::string& replace, bool all) {
  QMessageBox box(QMessageBox::Question, "Confirm",
                  QString("Replace: \"%1\"\nWith: \"%2\"").arg(ToQString(find), ToQString(replace)),
                  QMessageBox::NoButton, OwnerWindow());
  box.setTextFormat(Qt::PlainText);
  QPushButton* yes = box.addButton("&Yes", QMessageBox::YesRole);
  QPushButton* no = box.addButton("&No", QMessageBox::NoRole);
  QPushButton* noAll = all ? box.addButton("N&o to All", QMessageBox::RejectRole) : nullptr;
  QPushButton* yesAll = all ? box.addButton("Yes to &All", QMessageBox::AcceptRole) : nullptr;
  box.setDefaultButton(yes);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == yes) return ConfirmAnswer::Yes;
  if (clicked == no) return ConfirmAnswer::No;
  if (noAll && clicked == noAll) return ConfirmAnswer::NoToAll;
  if (yesAll && clicked == yesAll) return ConfirmAnswer::YesToAll;
  return ConfirmAnswer::Closed;
}

}  // namespace

ConfirmAnswer WindowSearchHost::Confirm(const std::string& find, const std::string& replace,
                                       bool all) {
  return form_.confirm_ ? form_.confirm_(find, replace, all) : AskConfirm(find, replace, all);
}

void TFormQuillora::CreateSearch() {
  searchHost_ = std::make_unique<WindowSearchHost>(*this);
  search_ = std::make_unique<SearchEngine>(*searchHost_);
  if (QWidget* button = ToolBar1->widgetForAction(Action("FindNext2"))) {
    button->setAttribute(Qt::WA_Hover);
    button->installEventFilter(this);
  }
}

TFormFindReplace* TFormQuillora::FindReplaceDialog() const { return findReplace_; }

void TFormQuillora::FindRep_Open() {
  if (!findReplace_) findReplace_ = new TFormFindReplace(*this);
  findReplace_->show();
  findReplace_->raise();
  findReplace_->activateWindow();
}

void TFormQuillora::EnableFindNext(bool on) {
  Action("FindNext1")->setEnabled(on);
  Action("FindNext2")->setEnabled(on);
}

void TFormQuillora::FindNext_Cmd() {
  if (search_->State().findText.empty()) return;
  search_->FindNext();
}

void TFormQuillora::FindNext2_MouseMove() {
  QAction* a = Action("FindNext2");
  const std::string& find = search_->State().findText;
  a->setStatusTip(kFindNextHint);
  a->setToolTip(find.empty() ? QString(kFindNextHint)
                             : QString(kFindNextHint) + ":\n\n\"" + ToQString(find) + "\"");
}

}  // namespace ql
