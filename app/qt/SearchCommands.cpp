// The window's side of find and replace: the dialog, F3, the Find Next
// button's hint, the confirmation dialog and the engine's host.
#include <QAction>
#include <QPointer>
#include <QToolBar>

#include "editor/qt/EditorWidget.h"
#include "app/qt/MainQuillora.h"
#include "editor/qt/QtEditorBuffer.h"
#include "app/qt/WindowSearchHost.h"
#include "common/Codepage.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/OwnerWindow.h"
#include "platform/qt/QtText.h"
#include "tools/qt/ConfirmReplaceDialog.h"
#include "tools/qt/FindReplaceDialog.h"

namespace ql {

namespace {

const char* const kFindNextHint = "Find the next search string (F3)";
constexpr std::size_t kHistoryMax = 12;

}  // namespace

// The search's questions and results stand above the topmost window: the
// always-on-top Find/Replace window while it is shown, else the main window.
QWidget* TFormQuillora::SearchOwner() {
  if (findReplace_ && findReplace_->isVisible()) return findReplace_;
  return this;
}

int WindowSearchHost::Message(const std::string& text, const std::string& caption, unsigned flags) {
  QPointer<QWidget> previous = OwnerWindow();
  SetOwnerWindow(form_.SearchOwner());
  const int answer = MsgBox(text, caption, flags);
  SetOwnerWindow(previous);
  return answer;
}

ConfirmAnswer WindowSearchHost::Confirm(const std::string& find, const std::string& replace,
                                       bool all) {
  if (form_.confirm_) return form_.confirm_(find, replace, all);
  ConfirmReplaceDialog box(find, replace, all, form_.SearchOwner());
  return box.Ask();
}

void WindowSearchHost::AddToHistory(bool replace, const std::string& text) {
  AppLists& lists = form_.Lists();
  ql::AddToHistory(replace ? lists.ReplaceHistory : lists.FindHistory, text, kHistoryMax);
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
  if (!findReplace_) findReplace_ = new TFormFindReplace(*searchHost_);
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
