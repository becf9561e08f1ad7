// The editor's events and look: change and selection handlers, caret
// panels, the busy bracket, fonts, colors and auto indent.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/EditorStatus.h"
#include "editor/qt/EditorView.h"
#include "app/qt/MainQuillora.h"
#include "platform/qt/Look.h"

namespace ql {

void TFormQuillora::ConnectEditor() {
  // Only a change of the characters counts; the view reports nothing else.
  connect(RichEdit1, &EditorView::textChanged, this, [this] {
    if (!busy_ && !quiet_) REChange();
  });
  connect(RichEdit1, &EditorView::selectionChanged, this, [this] {
    if (!busy_) RESelChange();
  });
  connect(RichEdit1, &EditorView::deleteKey, this, [this] {
    if (!busy_) RESelChange();
  });
  connect(RichEdit1, &EditorView::contextMenuAtCaret, this, &TFormQuillora::REContextPopup);
  connect(RichEdit1, &EditorView::filesDropped, this, [this](const QStringList& files) {
    RunDocumentCommand("", [this, files] { FilesDropped(files); });
  });
  // Every paste route keeps the paste rules: Shift+Insert like Ctrl+V, the
  // middle button from the primary selection (text only).
  connect(RichEdit1, &EditorView::pasteRequested, this, [this](bool primary) {
    if (primary)
      PastePrimary_Cmd();
    else
      Paste_Cmd();
  });
  connect(RichEdit1, &EditorView::inputRefused, this,
          [this](const QString& message) { ShowStatus(0, message.toStdString()); });
  RichEdit1->enterHandler = [this] { return AutoIndentEnter(); };
  if (QMenu* file = findChild<QMenu*>("MenuFile"))
    connect(file, &QMenu::aboutToShow, this, &TFormQuillora::MenuFile_Popup);
  if (QMenu* tools = findChild<QMenu*>("MenuTools"))
    connect(tools, &QMenu::aboutToShow, this, &TFormQuillora::MenuTools_Popup);
  if (QMenu* list = PopupMenu(3))
    connect(list, &QMenu::aboutToShow, this, &TFormQuillora::PopupMenu3_Popup);
  if (QMenu* edit = findChild<QMenu*>("MenuEdit"))
    connect(edit, &QMenu::aboutToShow, this, &TFormQuillora::UpdateEditItems);
}

void TFormQuillora::UpdateEditItems() {
  // Kept current on every change too: a disabled item's shortcut never fires.
  const bool selected = buffer_->SelLength() != 0;
  const bool undo = buffer_->CanUndo();
  for (const char* name : {"Undo1", "Undo2", "Undo3"}) Action(name)->setEnabled(undo);
  for (const char* name : {"Cut1", "Cut2", "Cut3", "Copy1", "Copy2", "Copy3", "Delete1", "Delete2"})
    Action(name)->setEnabled(selected);
}

QMenu* TFormQuillora::PopupMenu(int number) const {
  return findChild<QMenu*>(QString("PopupMenu%1").arg(number));
}

void TFormQuillora::BuildToolBar() {
  QAction* font = Action("ScreenFont2");
  if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(font))) {
    button->setMenu(PopupMenu(4));
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
  if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(Action("Open2")))) {
    button->setMenu(PopupMenu(2));
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
  for (QMenu* recent : {findChild<QMenu*>("RecentFiles1"), PopupMenu(2)})
    if (recent) connect(recent, &QMenu::aboutToShow, this, [this, recent] { BuildRecentMenu(recent); });
  QAction* paste = Action("Paste3");
  if (QWidget* button = ToolBar1->widgetForAction(paste)) {
    button->setAttribute(Qt::WA_Hover);
    button->installEventFilter(this);
  }
}

void TFormQuillora::REChange() {
  if (Modified()) return;
  Action("Revert1")->setEnabled(docFileName_ != kUntitled);
  SetModified(true);
  UpdateEditItems();
}

void TFormQuillora::RESelChange() {
  UpdateCaretStatus();
  UpdateEditItems();
  ShowStatus(0, SelectionStatus(*buffer_));
}

void TFormQuillora::UpdateCaretStatus() {
  if (!options_.Checked(Check::StatusBarOpt)) return;
  const std::array<std::string, 4> texts = CaretPanels(*buffer_);
  for (int i = 0; i < 4; ++i) ShowStatus(i + 1, texts[i]);
}

void TFormQuillora::SetEditorBusy(int mode, bool keepSelection) {
  const bool ending = mode == 2;
  RichEdit1->setUpdatesEnabled(ending);
  RichEdit1->SetPainting(ending);
  if (!ending) {
    FlushRecovery();  // a whole-text tool may take long
    if (!busy_) QApplication::setOverrideCursor(Qt::WaitCursor);
    busy_ = true;
    if (keepSelection) {
      savedSelStart_ = buffer_->SelStart();
      savedSelLength_ = buffer_->SelLength();
    }
    return;
  }
  if (!busy_) return;  // not open: nothing to close
  busy_ = false;
  // A restored selection must fit the text as it is now.
  if (keepSelection) buffer_->SetSelection(savedSelStart_, savedSelLength_);
  QApplication::restoreOverrideCursor();
  RichEdit1->setFocus();
}

void TFormQuillora::SetEditorFont(const std::string& name, int size) {
  // Showing the same bytes in another character set is no change of the text.
  ++quiet_;
  CharAttributes a = buffer_->DefaultAttributes();
  a.fontName = name;
  a.fontSize = size;
  buffer_->SetDefaultAttributes(a);
  --quiet_;
}

void TFormQuillora::SetEditorColors(ColorRef back, ColorRef text) {
  const QPalette system = QApplication::palette();
  RichEdit1->SetColors(ToQColor(back, system), ToQColor(text, system));
  CharAttributes a = buffer_->DefaultAttributes();
  a.color = text;
  buffer_->SetDefaultAttributes(a);
}

bool TFormQuillora::AutoIndentEnter() {
  if (!options_.Checked(Check::AutoIndentOpt)) return false;
  const CaretPosition caret = buffer_->Caret();
  buffer_->ReplaceSelection(AutoIndentInsertion(buffer_->Line(caret.line), caret.column));
  return true;
}

}  // namespace ql
