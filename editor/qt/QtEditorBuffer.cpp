#include "editor/qt/QtEditorBuffer.h"

#include "editor/qt/EditorWidget.h"
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

#include "common/Codepage.h"
#include "platform/qt/Look.h"

namespace ql {

namespace {

// Widget text (paragraph separators, raw characters) -> 8-bit, CR LF.
std::string FromWidgetText(Codepage cp, const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()) + static_cast<std::size_t>(text.size()) / 16);
  for (const QChar ch : text) {
    const char16_t c = ch.unicode();
    if (c == 0x2029 || c == '\n') {
      out += "\r\n";
    } else {
      const int b = UnicodeToByte(cp, c);
      out += static_cast<char>(b >= 0 ? b : '?');
    }
  }
  return out;
}

}  // namespace

QtEditorBuffer::QtEditorBuffer(EditorWidget* widget) : widget_(widget) {}

Offset QtEditorBuffer::ToOffset(int position) const {
  const QTextBlock block = widget_->document()->findBlock(position);
  return static_cast<Offset>(position) + (block.isValid() ? block.blockNumber() : 0);
}

int QtEditorBuffer::ToPosition(Offset offset) const {
  QTextDocument* doc = widget_->document();
  if (offset <= 0) return 0;
  // The last block whose start offset (position + number) is <= offset.
  int lo = 0, hi = doc->blockCount() - 1;
  while (lo < hi) {
    const int mid = lo + (hi - lo + 1) / 2;
    if (doc->findBlockByNumber(mid).position() + static_cast<Offset>(mid) <= offset)
      lo = mid;
    else
      hi = mid - 1;
  }
  const QTextBlock block = doc->findBlockByNumber(lo);
  const Offset column = offset - (block.position() + static_cast<Offset>(lo));
  // Between CR and LF, or past the end: back to the end of the line's text.
  return block.position() + static_cast<int>(std::min<Offset>(column, block.length() - 1));
}

std::string QtEditorBuffer::Text() const {
  return FromWidgetText(widget_->codepage(), widget_->document()->toRawText());
}

void QtEditorBuffer::SetText(const std::string& text) {
  widget_->setPlainText(EditorWidget::ToWidgetText(widget_->codepage(), text));
  widget_->document()->clearUndoRedoStacks();
}

Offset QtEditorBuffer::TextLength() const {
  const QTextDocument* doc = widget_->document();
  return static_cast<Offset>(doc->characterCount() - 1) + (doc->blockCount() - 1);
}

Offset QtEditorBuffer::LineCount() const {
  const QTextDocument* doc = widget_->document();
  const int blocks = doc->blockCount();
  return doc->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

std::string QtEditorBuffer::Line(Offset index) const {
  if (index < 0 || index >= LineCount()) return {};
  return FromWidgetText(widget_->codepage(),
                        widget_->document()->findBlockByNumber(static_cast<int>(index)).text());
}

Offset QtEditorBuffer::LineToOffset(Offset index) const {
  const QTextDocument* doc = widget_->document();
  if (index < 0 || index >= doc->blockCount()) return -1;
  return doc->findBlockByNumber(static_cast<int>(index)).position() + index;
}

Offset QtEditorBuffer::OffsetToLine(Offset offset) const {
  return widget_->document()->findBlock(ToPosition(offset)).blockNumber();
}

Offset QtEditorBuffer::SelStart() const { return ToOffset(widget_->textCursor().selectionStart()); }

Offset QtEditorBuffer::SelLength() const {
  const QTextCursor c = widget_->textCursor();
  return ToOffset(c.selectionEnd()) - ToOffset(c.selectionStart());
}

void QtEditorBuffer::SetSelection(Offset start, Offset length) {
  const Offset total = TextLength();
  start = std::clamp<Offset>(start, 0, total);
  const Offset end = std::clamp<Offset>(start + std::max<Offset>(length, 0), start, total);
  QTextCursor c = widget_->textCursor();
  c.setPosition(ToPosition(start));
  c.setPosition(ToPosition(end), QTextCursor::KeepAnchor);
  widget_->setTextCursor(c);
}

std::string QtEditorBuffer::SelText() const {
  return FromWidgetText(widget_->codepage(), widget_->textCursor().selectedText());
}

void QtEditorBuffer::ReplaceSelection(const std::string& text) {
  QTextCursor c = widget_->textCursor();
  c.beginEditBlock();
  c.insertText(EditorWidget::ToWidgetText(widget_->codepage(), text));
  c.endEditBlock();
  widget_->setTextCursor(c);
}

void QtEditorBuffer::SelectAll() { widget_->selectAll(); }

CaretPosition QtEditorBuffer::Caret() const {
  const QTextCursor c = widget_->textCursor();
  const QTextBlock block = widget_->document()->findBlock(c.selectionEnd());
  return {block.blockNumber(), c.selectionEnd() - block.position()};
}

void QtEditorBuffer::ScrollToCaret() { widget_->ensureCursorVisible(); }

bool QtEditorBuffer::CanUndo() const { return widget_->document()->isUndoAvailable(); }

void QtEditorBuffer::Undo() { widget_->undo(); }

void QtEditorBuffer::ClearUndo() { widget_->document()->clearUndoRedoStacks(); }

CharAttributes QtEditorBuffer::DefaultAttributes() const {
  const QFont f = widget_->font();
  return {f.family().toStdString(), f.pointSize(), color_};
}

void QtEditorBuffer::SetDefaultAttributes(const CharAttributes& a) {
  const Codepage wanted = a.fontName == "Terminal" ? Codepage::Cp437 : Codepage::Cp1252;
  if (wanted != widget_->codepage()) {
    // Same bytes, other glyphs: read them out in the old set, show them in the new.
    const Offset start = SelStart(), length = SelLength();
    const std::string bytes = Text();
    widget_->setCodepage(wanted);
    SetText(bytes);
    SetSelection(start, length);
  }
  widget_->setFont(EditorFont(a.fontName, a.fontSize));
  color_ = a.color;
  SetTabStopPoints(tabPoints_);
}

double QtEditorBuffer::TabStopPoints() const { return tabPoints_; }

void QtEditorBuffer::SetTabStopPoints(double points) {
  tabPoints_ = points;
  widget_->setTabStopDistance(points * widget_->logicalDpiX() / 72.0);
}

}  // namespace ql
