#include "editor/qt/EditorAccessible.h"

#include <QAccessible>
#include <algorithm>
#include <climits>

#include "common/FuncLib.h"
#include "editor/qt/EditorView.h"

namespace ql {

namespace {

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("ql::EditorView") && object && object->isWidgetType())
    if (auto* view = qobject_cast<EditorView*>(object)) return new EditorAccessible(view);
  return nullptr;
}

int ToInt(Offset v) { return static_cast<int>(std::clamp<Offset>(v, 0, INT_MAX)); }

}  // namespace

EditorAccessible::EditorAccessible(EditorView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

void EditorAccessible::Install() {
  static bool done = false;
  if (done) return;
  done = true;
  QAccessible::installFactory(Factory);
}

EditorView* EditorAccessible::View() const { return static_cast<EditorView*>(widget()); }

void* EditorAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

QString EditorAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) return text(0, characterCount());
  if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return QStringLiteral("Text");
  return QAccessibleWidget::text(t);
}

QAccessible::State EditorAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.editable = !View()->IsReadOnly();
  s.readOnly = View()->IsReadOnly();
  s.multiLine = true;
  s.selectableText = true;
  return s;
}

void EditorAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || View()->SelLength() == 0) return;
  *startOffset = ToInt(View()->SelStart());
  *endOffset = ToInt(View()->SelStart() + View()->SelLength());
}

int EditorAccessible::selectionCount() const { return View()->SelLength() ? 1 : 0; }

void EditorAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void EditorAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex == 0) View()->SetSelection(View()->CaretOffset(), 0);
}

void EditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex == 0) View()->SetAnchorCaret(startOffset, endOffset);
}

int EditorAccessible::cursorPosition() const { return ToInt(View()->CaretOffset()); }

void EditorAccessible::setCursorPosition(int position) { View()->SetSelection(position, 0); }

QString EditorAccessible::text(int startOffset, int endOffset) const {
  if (endOffset < startOffset) return {};
  return View()->DisplayString(startOffset, Offset(endOffset) - startOffset);
}

int EditorAccessible::characterCount() const { return ToInt(View()->TextLength()); }

void EditorAccessible::Unit(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const {
  const EditorView* v = View();
  const Offset n = v->TextLength();
  const Offset at = std::clamp<Offset>(offset, 0, n);
  switch (type) {
    case QAccessible::CharBoundary: {
      Offset e = std::min(n, at + 1);
      if (at < n && v->Document().CharAt(at) == '\r') e = std::min(n, at + 2);  // a break is one unit
      *start = ToInt(at);
      *end = ToInt(e);
      return;
    }
    case QAccessible::WordBoundary: {
      const MemoryBuffer& d = v->Document();
      Offset s = at, e = at;
      const auto letter = [&](Offset p) { return IsLetter(static_cast<unsigned char>(d.CharAt(p))); };
      if (at < n && letter(at)) {
        while (s > 0 && letter(s - 1)) --s;
        while (e < n && letter(e)) ++e;
      } else {
        while (s > 0 && !letter(s - 1)) --s;
        while (e < n && !letter(e)) ++e;
      }
      *start = ToInt(s);
      *end = ToInt(e);
      return;
    }
    case QAccessible::NoBoundary:
      *start = 0;
      *end = ToInt(n);
      return;
    default: {  // lines (sentences and paragraphs are lines here too)
      const Offset line = v->OffsetToLine(at);
      const Offset next = v->LineToOffset(line + 1);
      *start = ToInt(v->LineToOffset(line));
      *end = ToInt(next < 0 ? n : next);  // with its line break
      return;
    }
  }
}

QString EditorAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                       int* startOffset, int* endOffset) const {
  Unit(offset, boundaryType, startOffset, endOffset);
  return text(*startOffset, *endOffset);
}

QString EditorAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const {
  int s = 0, e = 0;
  Unit(offset, boundaryType, &s, &e);
  if (s <= 0) {
    *startOffset = *endOffset = -1;
    return {};
  }
  // The unit that ends where this one starts (a break counts as one step back).
  int back = s - 1;
  if (back > 0 && View()->Document().CharAt(back) == '\n') --back;
  return textAtOffset(back, boundaryType, startOffset, endOffset);
}

QString EditorAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int* startOffset, int* endOffset) const {
  int s = 0, e = 0;
  Unit(offset, boundaryType, &s, &e);
  if (e >= characterCount()) {
    *startOffset = *endOffset = -1;
    return {};
  }
  return textAtOffset(e, boundaryType, startOffset, endOffset);
}

QRect EditorAccessible::characterRect(int offset) const {
  const EditorView* v = View();
  const QPoint p = v->PointOfOffset(offset);
  const Offset at = std::clamp<Offset>(offset, 0, v->TextLength());
  qreal w = v->Glyphs()[' '].advance;
  if (at < v->TextLength() && v->Document().CharAt(at) != '\r') {
    const unsigned char b = static_cast<unsigned char>(v->Document().CharAt(at));
    const qreal x = v->XOfOffset(at);
    w = v->Glyphs().Next(x, b) - x;
  }
  const QRect local(p.x(), p.y(), std::max(1, qRound(w)), qRound(v->LineHeight()));
  return QRect(v->viewport()->mapToGlobal(local.topLeft()), local.size());
}

int EditorAccessible::offsetAtPoint(const QPoint& point) const {
  const EditorView* v = View();
  const QPoint local = v->viewport()->mapFromGlobal(point);
  if (!v->viewport()->rect().contains(local)) return -1;
  return ToInt(v->OffsetAt(local));
}

void EditorAccessible::scrollToSubstring(int startIndex, int endIndex) {
  EditorView* v = View();
  const Offset anchor = v->Anchor(), caret = v->CaretOffset();
  // Show the end, then the start, without moving the selection for good.
  v->SetAnchorCaret(endIndex, endIndex);
  v->ScrollToCaret();
  v->SetAnchorCaret(startIndex, startIndex);
  v->ScrollToCaret();
  v->SetAnchorCaret(anchor, caret);
}

QString EditorAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  const EditorView* v = View();
  *startOffset = offset;
  *endOffset = std::min(characterCount(), offset + 1);
  const QFont f = v->EditorFont();
  return QStringLiteral("font-family:\"%1\";font-size:%2pt;").arg(f.family()).arg(f.pointSize());
}

}  // namespace ql
