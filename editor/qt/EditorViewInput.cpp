// Input: keys, the mouse, the input method, the context menu, the clipboard
// keys and drag and drop.
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QStyleHints>
#include <QUrl>

#include "common/FuncLib.h"
#include "editor/WordMotion.h"
#include "editor/qt/EditorView.h"

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

// The word a double-click (or a drag by words) means at a boundary the
// click snapped to: just after a word, that word rather than what follows.
void WordUnder(const MemoryBuffer& doc, Offset at, Offset& start, Offset& end) {
  const auto letter = [&](Offset p) { return IsLetter(static_cast<unsigned char>(doc.CharAt(p))); };
  if (at > 0 && letter(at - 1) && !(at < doc.TextLength() && letter(at))) --at;
  WordAt(doc, at, start, end);
}

}  // namespace

QStringList LocalFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

// ---- keys ----

bool EditorView::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (IsEditCommandKey(k)) {
      e->ignore();  // let the window's command have it
      return true;
    }
    // Plain typing and editing keys are ours, whatever shortcuts exist.
    const Qt::KeyboardModifiers mods = k->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (mods == Qt::NoModifier && (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab || IsEnter(k) ||
                                   k->key() == Qt::Key_Backspace || (!k->text().isEmpty() && k->text()[0].isPrint()))) {
      e->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(e);
}

bool EditorView::MovementKey(QKeyEvent* e) {
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  const Offset n = doc_->TextLength();
  Offset to = CaretOffset();
  bool keepGoal = false;
  const Offset row = RowOfOffset(CaretOffset());
  Offset rowStart, rowEnd;
  RowRange(row, rowStart, rowEnd);
  auto toRow = [&](Offset target) {
    target = std::clamp<Offset>(target, 0, RowCount() - 1);
    if (goalX_ < 0) goalX_ = XOfOffset(CaretOffset());
    Offset s, en;
    RowRange(target, s, en);
    keepGoal = true;
    return measure_.OffsetAtX(*doc_, table_, s, en, goalX_, true, nullptr);
  };
  switch (e->key()) {
    case Qt::Key_Left:
      if (!shift && !ctrl && Anchor() != CaretOffset()) {
        to = std::min(Anchor(), CaretOffset());
        break;
      }
      to = ctrl ? PreviousWordStart(*doc_, CaretOffset()) : (CaretOffset() >= 2 && ByteAt(CaretOffset() - 1) == '\n' ? CaretOffset() - 2 : std::max<Offset>(0, CaretOffset() - 1));
      break;
    case Qt::Key_Right:
      if (!shift && !ctrl && Anchor() != CaretOffset()) {
        to = std::max(Anchor(), CaretOffset());
        break;
      }
      to = ctrl ? NextWordStart(*doc_, CaretOffset()) : (CaretOffset() < n && ByteAt(CaretOffset()) == '\r' ? CaretOffset() + 2 : std::min(n, CaretOffset() + 1));
      break;
    case Qt::Key_Up:
      if (ctrl) return false;  // the window's line scrolling
      to = row == 0 ? 0 : toRow(row - 1);
      if (row == 0) keepGoal = false;
      break;
    case Qt::Key_Down:
      if (ctrl) return false;
      to = row + 1 >= RowCount() ? n : toRow(row + 1);
      if (row + 1 >= RowCount()) keepGoal = false;
      break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      const Offset page = std::max<Offset>(1, VisibleRows() - 1);
      const Offset delta = e->key() == Qt::Key_PageUp ? -page : page;
      ScrollRowsTo(TopRow() + delta);
      to = toRow(row + delta);
      break;
    }
    case Qt::Key_Home:
      to = ctrl ? 0 : rowStart;
      break;
    case Qt::Key_End:
      to = ctrl ? n : rowEnd;
      break;
    default:
      return false;
  }
  MoveCaret(to, shift, keepGoal);
  if (shift) CopySelectionToPrimary();
  return true;
}

bool EditorView::EditingKey(QKeyEvent* e) {
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  const Offset n = doc_->TextLength();
  switch (e->key()) {
    case Qt::Key_Backspace:
      if (Anchor() == CaretOffset()) {
        if (CaretOffset() == 0) return true;
        const Offset from = ctrl ? PreviousWordStart(*doc_, CaretOffset())
                                 : (CaretOffset() >= 2 && ByteAt(CaretOffset() - 1) == '\n' ? CaretOffset() - 2 : CaretOffset() - 1);
        SetAnchorCaret(CaretOffset(), from);
      }
      UserEdit("");
      return true;
    case Qt::Key_Delete:
      if (Anchor() == CaretOffset()) {
        if (CaretOffset() >= n) return true;
        const Offset to = ctrl ? NextWordStart(*doc_, CaretOffset()) : (ByteAt(CaretOffset()) == '\r' ? CaretOffset() + 2 : CaretOffset() + 1);
        SetAnchorCaret(CaretOffset(), to);
      }
      UserEdit("");
      return true;
    case Qt::Key_Insert:
      if (e->modifiers() != Qt::NoModifier) return false;
      SetOverwrite(!overwrite_);
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      if (ctrl) return false;
      InsertTyped(QStringLiteral("\t"));
      return true;
    default:
      break;
  }
  if (IsEnter(e) && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    // Shift+Enter and keypad Enter are ordinary line breaks here.
    if (readOnly_) {
      QApplication::beep();
      return true;
    }
    if (!(enterHandler && enterHandler())) Type("\r\n");
    return true;
  }
  return false;
}

void EditorView::keyPressEvent(QKeyEvent* e) {
  e->accept();
  if (e->key() == Qt::Key_Delete) emit deleteKey();
  // The clipboard keys the window did not take (Shift+Insert, Ctrl+Insert,
  // Shift+Delete, or a view without a window).
  if (e->matches(QKeySequence::Paste)) {
    emit pasteRequested(false);
    return;
  }
  if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Cut)) {
    if (doc_->SelLength() == 0) return;
    QGuiApplication::clipboard()->setText(DisplayString(doc_->SelStart(), doc_->SelLength()));
    if (e->matches(QKeySequence::Cut)) UserEdit("");
    return;
  }
  if (e->matches(QKeySequence::Undo)) {
    if (!readOnly_) Undo();
    return;
  }
  if (e->matches(QKeySequence::Redo) ||
      (e->key() == Qt::Key_Y && e->modifiers() == Qt::ControlModifier)) {
    if (!readOnly_) Redo();
    return;
  }
  if (e->matches(QKeySequence::SelectAll)) {
    SelectAll();
    return;
  }
  if (MovementKey(e) || EditingKey(e)) return;
  const QString typed = e->text();
  if (!typed.isEmpty() && typed.at(0).isPrint() &&
      !(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
    InsertTyped(typed);
    return;
  }
  e->ignore();
  QAbstractScrollArea::keyPressEvent(e);
}

void EditorView::keyReleaseEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Delete) emit deleteKey();
  QAbstractScrollArea::keyReleaseEvent(e);
}

void EditorView::InsertTyped(const QString& text) {
  if (readOnly_) {
    QApplication::beep();
    return;
  }
  std::string bytes;
  if (!ToBytes(text, bytes)) {
    QApplication::beep();
    emit inputRefused(QStringLiteral("The character \"%1\" cannot be written in this text (Windows-1252)").arg(text));
    return;
  }
  Type(bytes);  // overwrite as set; typing joins words for undo
}

void EditorView::inputMethodEvent(QInputMethodEvent* e) {
  if (!e->commitString().isEmpty()) InsertTyped(e->commitString());
  e->accept();
}

QVariant EditorView::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return !readOnly_;
    case Qt::ImCursorRectangle:
      return CaretRect();
    case Qt::ImFont:
      return font_;
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: {
      const Offset at = query == Qt::ImCursorPosition ? CaretOffset() : Anchor();
      Offset s, en;
      RowRange(RowOfOffset(CaretOffset()), s, en);
      return static_cast<int>(std::clamp<Offset>(at - std::max(s, CaretOffset() - 512), 0, 1024));
    }
    case Qt::ImSurroundingText: {
      Offset s, en;
      RowRange(RowOfOffset(CaretOffset()), s, en);
      const Offset from = std::max(s, CaretOffset() - 512);
      return DisplayString(from, std::min(en, CaretOffset() + 512) - from);
    }
    case Qt::ImCurrentSelection:
      return DisplayString(doc_->SelStart(), std::min<Offset>(doc_->SelLength(), 4096));
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

// ---- mouse ----

void EditorView::CopySelectionToPrimary() {
  QClipboard* c = QGuiApplication::clipboard();
  if (!c->supportsSelection() || doc_->SelLength() == 0) return;
  // A huge selection is offered only up to a sane size.
  c->setText(DisplayString(doc_->SelStart(), std::min<Offset>(doc_->SelLength(), Offset(64) << 20)),
             QClipboard::Selection);
}

void EditorView::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  const Offset at = OffsetAt(e->position().toPoint());
  if (e->button() == Qt::MiddleButton) {
    MoveCaret(at, false);
    emit pasteRequested(true);
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  pressPos_ = e->position().toPoint();
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  const bool triple = now - lastDoubleClick_ < QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
                      (pressPos_ - lastDoubleClickPos_).manhattanLength() < QGuiApplication::styleHints()->startDragDistance();
  if (triple) {
    // The whole line with its break.
    const Offset line = doc_->OffsetToLine(at);
    const Offset s = doc_->LineToOffset(line);
    const Offset next = doc_->LineToOffset(line + 1);
    dragUnit_ = DragUnit::Line;
    dragOriginStart_ = s;
    dragOriginEnd_ = next < 0 ? doc_->TextLength() : next;
    SetAnchorCaret(dragOriginStart_, dragOriginEnd_);
    lastDoubleClick_ = 0;
    return;
  }
  const Offset selStart = doc_->SelStart(), selEnd = selStart + doc_->SelLength();
  if (!(e->modifiers() & Qt::ShiftModifier) && selStart != selEnd && at >= selStart && at < selEnd) {
    dragUnit_ = DragUnit::Drag;  // may become a drag of the selected text
    return;
  }
  dragUnit_ = DragUnit::Char;
  MoveCaret(at, e->modifiers() & Qt::ShiftModifier);
}

void EditorView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    mousePressEvent(e);
    return;
  }
  const Offset at = OffsetAt(e->position().toPoint());
  // A word by the letter set, or a run of blanks or of other signs.
  Offset s, en;
  WordUnder(*doc_, at, s, en);
  dragUnit_ = DragUnit::Word;
  dragOriginStart_ = s;
  dragOriginEnd_ = en;
  SetAnchorCaret(s, en);
  lastDoubleClick_ = QDateTime::currentMSecsSinceEpoch();
  lastDoubleClickPos_ = e->position().toPoint();
  CopySelectionToPrimary();
}

void EditorView::mouseMoveEvent(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton) || dragUnit_ == DragUnit::None) return;
  const QPoint pos = e->position().toPoint();
  if (dragUnit_ == DragUnit::Drag) {
    if ((pos - pressPos_).manhattanLength() < QApplication::startDragDistance()) return;
    dragUnit_ = DragUnit::None;
    auto* data = new QMimeData;
    data->setText(DisplayString(doc_->SelStart(), doc_->SelLength()));
    QDrag* drag = new QDrag(this);
    drag->setMimeData(data);
    const Offset start = doc_->SelStart(), length = doc_->SelLength();
    const Qt::DropAction action = drag->exec(readOnly_ ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // Moved to another program: take it out here. A move inside this view was done by the drop.
    if (action == Qt::MoveAction && drag->target() != viewport() && drag->target() != this && !readOnly_) {
      SetSelection(start, length);
      UserEdit("");
    }
    return;
  }
  // Past the edges: scroll along.
  if (pos.y() < 0) ScrollRowsTo(TopRow() - 1);
  if (pos.y() > viewport()->height()) ScrollRowsTo(TopRow() + 1);
  Offset at = OffsetAt(pos);
  if (dragUnit_ == DragUnit::Char) {
    MoveCaret(at, true);
    return;
  }
  if (dragUnit_ == DragUnit::Word) {
    // Extend by whole words from the double-clicked one.
    Offset wordStart, wordEnd;
    WordUnder(*doc_, at, wordStart, wordEnd);
    if (at < dragOriginStart_) at = wordStart;
    else if (at > dragOriginEnd_) at = wordEnd;
  } else {  // lines
    const Offset line = doc_->OffsetToLine(at);
    if (at < dragOriginStart_) at = doc_->LineToOffset(line);
    else {
      const Offset next = doc_->LineToOffset(line + 1);
      at = next < 0 ? doc_->TextLength() : next;
    }
  }
  if (at < dragOriginStart_) SetAnchorCaret(dragOriginEnd_, at);
  else SetAnchorCaret(dragOriginStart_, std::max(at, dragOriginEnd_));
  ScrollToCaret();
}

void EditorView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    if (dragUnit_ == DragUnit::Drag) MoveCaret(OffsetAt(e->position().toPoint()), false);  // a click, no drag
    dragUnit_ = DragUnit::None;
    CopySelectionToPrimary();
  }
}

void EditorView::wheelEvent(QWheelEvent* e) { QAbstractScrollArea::wheelEvent(e); }

void EditorView::contextMenuEvent(QContextMenuEvent* e) {
  e->accept();
  emit contextMenuAtCaret();
}

// ---- drag and drop ----

void EditorView::dragEnterEvent(QDragEnterEvent* e) {
  if (!LocalFiles(e->mimeData()).isEmpty() || (e->mimeData()->hasText() && !readOnly_))
    e->acceptProposedAction();
  else
    e->ignore();
}

void EditorView::dragMoveEvent(QDragMoveEvent* e) {
  if (!LocalFiles(e->mimeData()).isEmpty()) {
    e->acceptProposedAction();
    return;
  }
  if (!e->mimeData()->hasText() || readOnly_) {
    e->ignore();
    return;
  }
  dropCaret_ = OffsetAt(e->position().toPoint());
  // Inside this view a plain drag moves, Ctrl copies.
  if (e->source() == this) e->setDropAction(e->modifiers() & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction);
  else e->acceptProposedAction();
  e->accept();
  viewport()->update();
}

void EditorView::dragLeaveEvent(QDragLeaveEvent*) {
  dropCaret_ = -1;
  viewport()->update();
}

void EditorView::dropEvent(QDropEvent* e) {
  dropCaret_ = -1;
  viewport()->update();
  const QStringList files = LocalFiles(e->mimeData());
  if (!files.isEmpty()) {
    e->acceptProposedAction();
    emit filesDropped(files);
    return;
  }
  if (!e->mimeData()->hasText() || readOnly_) return;
  Offset at = OffsetAt(e->position().toPoint());
  std::string bytes;
  if (!ToBytes(e->mimeData()->text(), bytes)) {
    // Characters the text cannot hold become '?', as a paste does.
    bytes.clear();
    const QString t = e->mimeData()->text();
    for (const QChar c : t) {
      std::string one;
      bytes += ToBytes(QString(c), one) ? one : std::string("?");
    }
  }
  const Offset selStart = doc_->SelStart(), selLength = doc_->SelLength();
  const bool moveHere = e->source() == this && e->dropAction() == Qt::MoveAction;
  if (moveHere) {
    if (at >= selStart && at <= selStart + selLength) {  // onto itself: nothing moves
      e->setDropAction(Qt::CopyAction);
      e->accept();
      return;
    }
    SetSelection(selStart, selLength);
    UserEdit("");
    if (at > selStart) at -= selLength;
  }
  SetSelection(at, 0);
  UserEdit(bytes);
  SetSelection(at, static_cast<Offset>(bytes.size()));
  e->setDropAction(moveHere ? Qt::MoveAction : e->proposedAction());
  e->accept();
}

}  // namespace ql
