// The document file's encoding on the window: reopening as 8-bit bytes or
// as UTF-8, the check marks that show which one it is, and the guard that
// keeps characters a UTF-8 document could not save out of it.
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

#include "app/WindowLogic.h"
#include "app/qt/MainQuillora.h"
#include "common/FuncLib.h"
#include "common/Utf8.h"
#include "editor/qt/EditorView.h"
#include "platform/qt/MessageBox.h"

namespace ql {

std::string TFormQuillora::EncodingStatusNote() const {
  return encoding_.kind == TextEncoding::Utf8 ? "  (" + EncodingName(encoding_) + ")" : std::string();
}

void TFormQuillora::UpdateEncodingItems() {
  const bool utf8 = encoding_.kind == TextEncoding::Utf8;
  for (const char* name : {"ReopenBytes1", "ReopenUtf81"}) {
    QAction* a = Action(name);
    if (!a) continue;
    a->setCheckable(true);
    a->setChecked(utf8 == (name == std::string("ReopenUtf81")));
  }
}

void TFormQuillora::ReopenAs(EncodingChoice choice, const std::string& history) {
  DocumentScope scope(*this);
  if (!DocumentHasFile(docFileName_)) {
    FileError(1, docFileName_);
    UpdateEncodingItems();  // a click on a check item toggles it
    return;
  }
  if (!AskSaveChanges("Save your work?")) {
    UpdateEncodingItems();
    return;
  }
  encodingChoice_ = choice;
  ProcessDocument(dmRevert, history, docFileName_);
  encodingChoice_ = EncodingChoice::Detect;  // also when the read did not start
  UpdateEncodingItems();
}

void TFormQuillora::ReopenAsBytes_Cmd() { ReopenAs(EncodingChoice::Bytes, "Reopened as 8-bit bytes:"); }

void TFormQuillora::ReopenAsUtf8_Cmd() { ReopenAs(EncodingChoice::Utf8, "Reopened as UTF-8:"); }

bool TFormQuillora::RefuseForeignText(const QString& text, bool fromClipboard) {
  if (encoding_.kind != TextEncoding::Utf8) return false;  // 8-bit: the '?' rule stays
  char32_t ch = 0;
  const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                  static_cast<std::size_t>(text.size()));
  if (!FirstOutsideCp1252(units, ch)) return false;
  const MessageBoxText box = RefusedCharacterText(ch, fromClipboard);
  MsgBox(box.text, box.caption, box.flags);
  return true;
}

// Every way text reaches the editor other than the paste commands: keys,
// input methods and drops.
bool TFormQuillora::GuardTextInput(QObject* watched, QEvent* event) {
  if (encoding_.kind != TextEncoding::Utf8 || !RichEdit1 || RichEdit1->IsReadOnly()) return false;
  if (watched != RichEdit1 && watched != RichEdit1->viewport()) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      const QString typed = static_cast<QKeyEvent*>(event)->text();
      return !typed.isEmpty() && typed.at(0).isPrint() && RefuseForeignText(typed, false);
    }
    case QEvent::InputMethod:
      return RefuseForeignText(static_cast<QInputMethodEvent*>(event)->commitString(), false);
    case QEvent::Drop: {
      const QMimeData* data = static_cast<QDropEvent*>(event)->mimeData();
      if (!data || data->hasUrls() || !data->hasText() || !RefuseForeignText(data->text(), false))
        return false;
      event->ignore();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace ql
