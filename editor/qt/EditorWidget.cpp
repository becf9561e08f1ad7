#include "editor/qt/EditorWidget.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocument>
#include <QUrl>

#include "common/FuncLib.h"


namespace ql {

namespace {

bool IsEnter(const QKeyEvent* e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }

// Keys the window's Edit commands handle, so that they behave the same from
// the keyboard, the menus and the tool bar.
bool IsEditCommandKey(const QKeyEvent* e) {
  return e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Cut) ||
         e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Undo) ||
         e->matches(QKeySequence::SelectAll);
}

}  // namespace

EditorWidget::EditorWidget(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName("RichEdit1");
  setAcceptDrops(true);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  setTabChangesFocus(false);
}

QString EditorWidget::Normalize(const QString& text) const {
  QString out;
  out.reserve(text.size());
  const QChar* p = text.constData();
  const QChar* end = p + text.size();
  for (; p < end; ++p) {
    const char16_t c = p->unicode();
    if (c == '\r') {
      out += QChar('\n');
      if (p + 1 < end && p[1] == QChar('\n')) ++p;
    } else if (c == '\n' || c == 0x2028 || c == 0x2029) {
      out += QChar('\n');
    } else if (p->isHighSurrogate() && p + 1 < end && p[1].isLowSurrogate()) {
      out += QChar('?');  // one character outside the document's set
      ++p;
    } else {
      out += UnicodeToByte(codepage_, c) >= 0 ? *p : QChar('?');
    }
  }
  return out;
}

QString EditorWidget::ToWidgetText(Codepage cp, const std::string& text) {
  const std::u16string u = DecodeToUtf16(cp, NormalizeLineBreaks(text, "\n"));
  return QString(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
}

void EditorWidget::AdoptDocument(QTextDocument* document, Codepage cp) {
  // The control deletes the document it made itself; one we handed it
  // earlier is ours to delete.
  QTextDocument* old = this->document();
  const bool ours = old && old != document && old->parent() == this;
  document->setParent(this);
  codepage_ = cp;
  setDocument(document);
  if (ours) old->deleteLater();
}

bool EditorWidget::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride && IsEditCommandKey(static_cast<QKeyEvent*>(e))) {
    e->ignore();  // let the window's command have it
    return true;
  }
  return QPlainTextEdit::event(e);
}

void EditorWidget::keyPressEvent(QKeyEvent* e) {
  if (IsEnter(e) && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    // Shift+Enter and keypad Enter are ordinary line breaks here.
    if (!(enterHandler && enterHandler())) textCursor().insertText(QStringLiteral("\n"));
    ensureCursorVisible();
    e->accept();
    return;
  }
  if (e->key() == Qt::Key_Delete) emit deleteKey();
  const QString typed = e->text();
  if (!typed.isEmpty() && typed.at(0).isPrint() && Normalize(typed) != typed) {
    textCursor().insertText(Normalize(typed));
    e->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(e);
}

void EditorWidget::keyReleaseEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Delete) emit deleteKey();
  QPlainTextEdit::keyReleaseEvent(e);
}

void EditorWidget::inputMethodEvent(QInputMethodEvent* e) {
  const QString committed = Normalize(e->commitString());
  if (committed != e->commitString()) {
    QInputMethodEvent fixed(e->preeditString(), e->attributes());
    fixed.setCommitString(committed, e->replacementStart(), e->replacementLength());
    QPlainTextEdit::inputMethodEvent(&fixed);
    return;
  }
  QPlainTextEdit::inputMethodEvent(e);
}

void EditorWidget::contextMenuEvent(QContextMenuEvent* e) {
  e->accept();
  emit contextMenuAtCaret();
}

QStringList LocalFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

bool EditorWidget::canInsertFromMimeData(const QMimeData* source) const {
  return !LocalFiles(source).isEmpty() || source->hasText();
}

void EditorWidget::insertFromMimeData(const QMimeData* source) {
  const QStringList files = LocalFiles(source);
  if (!files.isEmpty()) {
    emit filesDropped(files);
    return;
  }
  if (source->hasText()) textCursor().insertText(Normalize(source->text()));
}

void EditorWidget::dragEnterEvent(QDragEnterEvent* e) {
  if (!LocalFiles(e->mimeData()).isEmpty()) {
    e->acceptProposedAction();
    return;
  }
  QPlainTextEdit::dragEnterEvent(e);
}

void EditorWidget::dragMoveEvent(QDragMoveEvent* e) {
  if (!LocalFiles(e->mimeData()).isEmpty()) {
    e->acceptProposedAction();
    return;
  }
  QPlainTextEdit::dragMoveEvent(e);
}

void EditorWidget::dropEvent(QDropEvent* e) {
  const QStringList files = LocalFiles(e->mimeData());
  if (!files.isEmpty()) {
    e->acceptProposedAction();
    emit filesDropped(files);
    return;
  }
  QPlainTextEdit::dropEvent(e);  // text: through insertFromMimeData
}

}  // namespace ql
