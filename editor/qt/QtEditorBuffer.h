// The editor buffer over the plain-text widget. The widget counts a line
// break as one character (a block separator); the buffer counts CR LF as
// two, so an offset is the widget position plus the number of the block it
// lies in. Both directions go through the document's block index, never
// through the whole text, so they stay fast on very large documents.
#pragma once

#include <QTextCursor>

#include "editor/EditorBuffer.h"

namespace ql {

class EditorWidget;

class QtEditorBuffer : public EditorBuffer {
 public:
  explicit QtEditorBuffer(EditorWidget* widget);

  std::string Text() const override;
  void SetText(const std::string& text) override;
  Offset TextLength() const override;
  Offset LineCount() const override;
  std::string Line(Offset index) const override;
  Offset LineToOffset(Offset index) const override;
  Offset OffsetToLine(Offset offset) const override;
  Offset SelStart() const override;
  Offset SelLength() const override;
  void SetSelection(Offset start, Offset length) override;
  std::string SelText() const override;
  void ReplaceSelection(const std::string& text) override;
  void SelectAll() override;
  CaretPosition Caret() const override;
  void ScrollToCaret() override;
  bool CanUndo() const override;
  void Undo() override;
  void ClearUndo() override;
  CharAttributes DefaultAttributes() const override;
  void SetDefaultAttributes(const CharAttributes& attributes) override;
  double TabStopPoints() const override;
  void SetTabStopPoints(double points) override;

  // Widget position <-> buffer offset.
  Offset ToOffset(int position) const;
  int ToPosition(Offset offset) const;

 private:
  EditorWidget* widget_;
  std::uint32_t color_ = 0x80000008;
  double tabPoints_ = 48;
};

}  // namespace ql
