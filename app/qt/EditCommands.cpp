// The Edit commands, the clipboard paste rules, the font quick-menu and
// font dialogs, line scrolling and the editor's context menu.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDialog>
#include <QFontInfo>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QToolBar>
#include <unistd.h>

#include "app/EditorStatus.h"
#include "editor/qt/EditorView.h"
#include "app/qt/MainQuillora.h"
#include "common/FuncLib.h"
#include "platform/qt/Clipboard.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

// The clipboard's text, or empty when it has none.
std::string ClipboardTextOrEmpty() {
  const std::string text = ClipboardText(0, "");
  return text == std::string(1, '\0') ? std::string() : text;
}

}  // namespace

void TFormQuillora::Undo_Cmd() {
  buffer_->Undo();
  RichEdit1->viewport()->update();
}

void TFormQuillora::Copy_Cmd() { ClipboardText(1, buffer_->SelText()); }

void TFormQuillora::Cut_Cmd() {
  if (buffer_->SelLength() == 0) return;
  ClipboardText(1, buffer_->SelText());
  buffer_->ReplaceSelection("");
}

void TFormQuillora::Delete_Cmd() { buffer_->ReplaceSelection(""); }

void TFormQuillora::SelectAll_Cmd() { buffer_->SelectAll(); }

void TFormQuillora::Paste_Cmd() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || data->formats().isEmpty()) {
    ShowStatus(0, "The clipboard is empty!");
    return;
  }
  const QStringList files = LocalFiles(data);
  if (!files.isEmpty()) {
    const std::string name = QToPath(files.front());
    if (MsgBox("Are you sure you want insert the text from the file\n\"" + name + "\"",
               "Insert text from file", 68) != 6)
      return;
    if (!IsExistingFile(name) || access(name.c_str(), R_OK) != 0) {
      // Nothing is replaced by a file we cannot read.
      MsgBox("The file could not be read:\n\"" + name + "\"", "Insert text from file", 16);
      return;
    }
    buffer_->ReplaceSelection(LoadTextFile(name));
    return;
  }
  if (data->hasText()) {
    // A UTF-8 document refuses what it could not save; an 8-bit one gets '?'.
    if (RefuseForeignText(data->text(), true)) return;
    const std::string text = ClipboardTextOrEmpty();
    buffer_->ReplaceSelection(text);
    ShowStatus(0, PastedStatus(*buffer_, static_cast<Offset>(NormalizeLineBreaks(text).size())));
    return;
  }
  if (data->hasImage()) {
    ShowStatus(0, "Cannot insert a bitmap into the text!");
    return;
  }
  ShowStatus(0, "Of the " + std::to_string(data->formats().size()) +
                    " format(s) in the clipboard none of them is in text format!");
}

void TFormQuillora::PastePrimary_Cmd() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->supportsSelection()) return;
  const QMimeData* data = clipboard->mimeData(QClipboard::Selection);
  // Text only: a file list or a picture in the primary selection is not pasted.
  if (!data || !data->hasText() || !LocalFiles(data).isEmpty()) return;
  if (RefuseForeignText(data->text(), true)) return;  // as Paste_Cmd
  std::string text = FromQString(data->text());
  text = text.substr(0, text.find('\0'));
  buffer_->ReplaceSelection(text);
  ShowStatus(0, PastedStatus(*buffer_, static_cast<Offset>(NormalizeLineBreaks(text).size())));
}

void TFormQuillora::Paste3_MouseMove() {
  const Hint hint = PasteButtonHint(ClipboardTextOrEmpty());
  if (QAction* a = Action("Paste3")) {
    a->setToolTip(Utf8ToQ(hint.tooltip));
    a->setStatusTip(Utf8ToQ(hint.status));
  }
}

bool TFormQuillora::eventFilter(QObject* watched, QEvent* event) {
  if (MenuHelpKey(watched, event)) return true;
  if (GuardTextInput(watched, event)) return true;
  const bool hover = event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverMove;
  if (hover && watched == ToolBar1->widgetForAction(Action("Paste3"))) Paste3_MouseMove();
  if (hover && watched == ToolBar1->widgetForAction(Action("FindNext2"))) FindNext2_MouseMove();
  return QMainWindow::eventFilter(watched, event);
}

void TFormQuillora::FontChange_Cmd(int tag) {
  {
    EditorBusy busy(*this, true);
    buffer_->SelectAll();
    switch (tag) {
      case 1: SetEditorFont("Courier New", 10); break;
      case 2: SetEditorFont("Fixedsys", 9); break;
      case 3: SetEditorFont("Terminal", 9); break;
      case 4: {
        const QFont ui = QApplication::font();
        SetEditorFont(ui.family().toStdString(), ui.pointSize());
        break;
      }
      default: return;
    }
  }
  const CharAttributes a = buffer_->DefaultAttributes();
  options_.FontNameScreen = a.fontName;
  options_.FontSizeScreen = a.fontSize;
}

void TFormQuillora::ChangeScreenFont_Open() {
  // The dialog knows installed faces only: start it on the face the editor
  // really draws with ("Courier New" is shown through a substitute).
  const QFontInfo shown(RichEdit1->font());
  QFont start(shown.family(), shown.pointSize());
  start.setStyleName(shown.styleName());  // else the dialog may take the face's first style
  QFontDialog dialog(this);
  dialog.setCurrentFont(start);
  if (ExecModal(dialog) != QDialog::Accepted) return;
  const QFont chosen = dialog.selectedFont();
  // OK alone changes nothing; the stored name stays as it is.
  if (chosen.family() == start.family() && chosen.pointSize() == start.pointSize()) return;
  EditorBusy busy(*this, true);
  buffer_->SelectAll();
  options_.FontNameScreen = chosen.family().toStdString();
  options_.FontSizeScreen = chosen.pointSize() > 0 ? chosen.pointSize() : options_.FontSizeScreen;
  SetEditorFont(options_.FontNameScreen, options_.FontSizeScreen);
}

void TFormQuillora::ChangePrintFont_Open() {
  bool ok = false;
  const QFont start(QString::fromStdString(options_.FontNamePrint), options_.FontSizePrint);
  const QFont chosen = QFontDialog::getFont(&ok, start, this);
  if (!ok) return;
  options_.FontNamePrint = chosen.family().toStdString();
  if (chosen.pointSize() > 0) options_.FontSizePrint = chosen.pointSize();
}

void TFormQuillora::CtrlUp_Cmd() {
  RichEdit1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  buffer_->SetSelection(LineStartAbove(*buffer_), 0);
}

void TFormQuillora::CtrlDown_Cmd() {
  RichEdit1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  buffer_->SetSelection(LineStartBelow(*buffer_), 0);
}

void TFormQuillora::Refresh_Cmd() { RichEdit1->viewport()->repaint(); }

void TFormQuillora::REContextPopup() {
  QMenu* menu = PopupMenu(1);
  if (!menu) return;
  // Enabled like the Edit menu, and shown at the text caret.
  UpdateEditItems();
  menu->popup(RichEdit1->viewport()->mapToGlobal(RichEdit1->CaretRect().bottomLeft()));
}

void TFormQuillora::RClickMenu_Popup() { REContextPopup(); }

}  // namespace ql
