// The document held in memory, without any window: the text in a gap buffer,
// its line starts in a LineIndex, a selection and an undo history.
//
// Every offset that comes in is clamped to the text and moved back from
// between a CR and its LF. Undo takes back one ReplaceSelection and selects
// the text it brings back (so the caret ends after it); it cannot be redone.
#pragma once

#include <string>
#include <vector>

#include "editor/EditorBuffer.h"
#include "editor/GapBuffer.h"
#include "editor/LineIndex.h"

namespace ql {

class MemoryBuffer : public EditorBuffer {
 public:
  MemoryBuffer();

  std::string Text() const override;
  void SetText(const std::string& text) override;
  Offset TextLength() const override { return static_cast<Offset>(text_.Size()); }

  Offset LineCount() const override;
  std::string Line(Offset index) const override;
  Offset LineToOffset(Offset index) const override;
  Offset OffsetToLine(Offset offset) const override;

  Offset SelStart() const override { return selStart_; }
  Offset SelLength() const override { return selEnd_ - selStart_; }
  void SetSelection(Offset start, Offset length) override;
  std::string SelText() const override;
  void ReplaceSelection(const std::string& text) override;
  void SelectAll() override;
  CaretPosition Caret() const override;
  void ScrollToCaret() override {}  // nothing to scroll

  bool CanUndo() const override { return !undo_.empty(); }
  void Undo() override;
  void ClearUndo() override { undo_.clear(); }

  CharAttributes DefaultAttributes() const override { return attributes_; }
  void SetDefaultAttributes(const CharAttributes& attributes) override { attributes_ = attributes; }
  double TabStopPoints() const override { return tabStopPoints_; }
  void SetTabStopPoints(double points) override { tabStopPoints_ = points; }

  // Raw bytes for a view: [pos, pos + length) copied to dest, no checks.
  void CopyBytes(Offset pos, Offset length, char* dest) const {
    text_.CopyOut(static_cast<std::size_t>(pos), static_cast<std::size_t>(length), dest);
  }
  char ByteAt(Offset pos) const { return text_[static_cast<std::size_t>(pos)]; }

 private:
  struct Edit {
    Offset pos;
    std::string removed;
    std::string inserted;
  };

  Offset Snap(Offset offset) const;
  std::string Copy(Offset pos, Offset length) const;
  void Replace(Offset pos, Offset length, const std::string& text);

  GapBuffer text_;
  LineIndex lines_;
  Offset selStart_ = 0;
  Offset selEnd_ = 0;  // the caret
  std::vector<Edit> undo_;
  CharAttributes attributes_{"Courier New", 10, 0x80000008u};
  double tabStopPoints_ = 48;
};

}  // namespace ql
