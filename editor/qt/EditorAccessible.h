// What a screen reader gets from the edit control: Qt's accessible text
// interface over the document (text, caret, selection, lines). Offsets are
// the document's own (a line break counts two).
#pragma once

#include <QAccessibleWidget>

namespace ql {

class EditorView;

class EditorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit EditorAccessible(EditorView* view);

  // Makes Qt use this interface for every EditorView.
  static void Install();

  void* interface_cast(QAccessible::InterfaceType t) override;
  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;

  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                       int* endOffset) const override;
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                           int* endOffset) const override;
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                          int* endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 private:
  EditorView* View() const;
  // The unit around offset: a character, a word (by the letter set) or a line.
  void Unit(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const;
};

}  // namespace ql
