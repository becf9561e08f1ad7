// The document held in memory, without any window: the text in a gap buffer,
// its line starts in a LineIndex, a selection and an undo history.
//
// Every offset that comes in is clamped to the text and moved back from
// between a CR and its LF.
//
// Selection: an anchor and a caret; the caret may lie before the anchor (a
// backward selection). SelStart/SelLength give the ordered range and
// SetSelection(start, length) puts the caret at the end.
//
// History: each ReplaceSelection, ReplaceRange or typing group is one undo
// step; BeginEdit/EndEdit (nestable) gather every change between them into
// one step. Undo takes a step back and selects the text it brings back (a
// step of several edits selects the span they cover); Redo does it again
// and leaves the caret after it. A new edit forgets what could be redone.
//
// Listeners hear every change of the text (edits, undo, redo, SetText)
// right after the bytes and line starts are updated.
#pragma once

#include <string>
#include <vector>

#include "editor/EditorBuffer.h"
#include "editor/GapBuffer.h"
#include "editor/LineIndex.h"

namespace ql {

class BufferListener {
 public:
  virtual ~BufferListener() = default;
  // The bytes [pos, pos + removedLength) were replaced by insertedLength new
  // bytes. firstLine is the line holding pos; removedBreaks line breaks went
  // and insertedBreaks came, so lines after firstLine + removedBreaks now
  // sit insertedBreaks - removedBreaks further on. SetText reports the whole
  // old text replaced by the whole new one. Anchor and caret have already
  // moved with the text; where the edit finally puts them comes with the
  // SelectionChanged that follows.
  virtual void TextReplaced(Offset pos, Offset removedLength, Offset insertedLength, Offset firstLine,
                            Offset removedBreaks, Offset insertedBreaks) = 0;
  // The anchor or the caret moved (also after every edit).
  virtual void SelectionChanged() {}
};

class MemoryBuffer : public EditorBuffer {
 public:
  MemoryBuffer();

  std::string Text() const override;
  void SetText(const std::string& text) override;
  Offset TextLength() const override { return static_cast<Offset>(text_.Size()); }

  // Takes the text without copying it when it already has only CR LF breaks
  // (one vectorised pass checks that and finds the line starts); a text with
  // only LF breaks is widened in place; any other mix is normalised into a
  // new string. Starts a new history like SetText. Room for the first edits
  // is kept at the end: callers that read a file can reserve about
  // size + size / 64 + 64 KiB beforehand so nothing is moved.
  void SetText(std::string&& text);
  void Load(std::string bytes) { SetText(std::move(bytes)); }

  Offset LineCount() const override;
  std::string Line(Offset index) const override;
  Offset LineToOffset(Offset index) const override;
  Offset OffsetToLine(Offset offset) const override;

  // ---- raw access for painting ----
  // Physical lines: every line the caret can stand on, an empty last one too
  // (LineCount() + 1 when the text ends in a break or is empty).
  Offset PhysicalLines() const { return lines_.Lines(); }
  // Start of a physical line, and its end before the line break. Lines out
  // of range are clamped; LineStart(PhysicalLines()) is the text length.
  Offset LineStart(Offset line) const;
  Offset LineEnd(Offset line) const;
  // The byte at pos (0 outside the text).
  char CharAt(Offset pos) const;
  // A pointer to [pos, pos + length) as one contiguous run. When the range
  // straddles the gap the gap is moved out of the way first (cost: the
  // distance moved), so keep the result only until the next call or edit.
  const char* Range(Offset pos, Offset length);
  // The same without moving anything: null when the range straddles the
  // gap (then copy it). Valid until the next edit or Range call.
  const char* RangeIfContiguous(Offset pos, Offset length) const;
  // Copies [pos, pos + length) to out (clamped); returns the bytes copied.
  Offset CopyRange(Offset pos, Offset length, char* out) const;
  std::string TextRange(Offset pos, Offset length) const;
  // Appends [pos, pos + length) (clamped) to out, which may have its room reserved.
  void AppendRange(Offset pos, Offset length, std::string& out) const;

  // ---- selection ----
  Offset SelStart() const override { return std::min(anchor_, caret_); }
  Offset SelLength() const override { return std::max(anchor_, caret_) - SelStart(); }
  void SetSelection(Offset start, Offset length) override;
  // Both clamped and snapped; the caret may lie before the anchor.
  void SetAnchorCaret(Offset anchor, Offset caret);
  Offset Anchor() const { return anchor_; }
  Offset CaretOffset() const { return caret_; }
  std::string SelText() const override;
  void ReplaceSelection(const std::string& text) override;
  // The same taking the caller's string: a whole-text tool that built its
  // result can hand it over without a copy.
  void ReplaceSelection(std::string&& text);
  void SelectAll() override;
  // In place, and without looking for line starts again, when the map
  // neither makes nor unmakes a CR or LF.
  bool MapSelection(const ByteMap& map) override;
  // Line and column of the selection's end (not of a caret standing at the
  // start of a backward selection: see CaretOffset).
  CaretPosition Caret() const override;
  void ScrollToCaret() override {}  // nothing to scroll

  // ---- editing ----
  // Replaces [pos, pos + length) (clamped, snapped) as one undo step (or a
  // part of the open edit); anchor and caret move with the text around
  // them. Lone CR or LF in text become CR LF.
  void ReplaceRange(Offset pos, Offset length, const std::string& text);
  // Typed text at the caret: replaces the selection, or in overwrite mode
  // (empty selection) as many characters after the caret as it brings, but
  // never a line break. Consecutive typing joins one undo step until a
  // blank (space, tab, line break) follows a non-blank, the caret was moved
  // elsewhere, or another edit came between.
  void TypeText(const std::string& text, bool overwrite);
  // Gather every change until the matching EndEdit into one undo step.
  void BeginEdit();
  void EndEdit();
  bool InEdit() const { return editDepth_ > 0; }

  bool CanUndo() const override { return !undo_.empty(); }
  // Undo and Redo do nothing while an edit is open.
  void Undo() override;
  bool CanRedo() const { return !redo_.empty(); }
  void Redo();
  void ClearUndo() override;

  // Listeners are told in the order they were added; none may be added or
  // removed while one is being told. A listener must not outlive the buffer
  // or must remove itself first.
  void AddListener(BufferListener* listener);
  void RemoveListener(BufferListener* listener);

  CharAttributes DefaultAttributes() const override { return attributes_; }
  void SetDefaultAttributes(const CharAttributes& attributes) override { attributes_ = attributes; }
  double TabStopPoints() const override { return tabStopPoints_; }
  void SetTabStopPoints(double points) override { tabStopPoints_ = points; }

 private:
  // One replacement, holding only the side that is not in the document:
  // in the undo history the text it removed (the inserted text is at
  // [pos, pos + length)), in the redo history the text it inserted.
  struct Edit {
    Offset pos;
    std::string saved;
    Offset length;
  };
  struct Step {
    std::vector<Edit> edits;  // in the order they were made
  };

  // Above this many bytes a replacement of the whole text swaps storage.
  static constexpr Offset kWholeText = 1 << 20;

  static std::string Normal(const std::string& text, std::vector<Offset>* starts = nullptr);
  // Whether text has CR LF breaks only; collects its line starts if asked.
  static bool Take(const std::string& text, std::vector<Offset>* starts);
  void Replace(std::string&& normal);
  Offset Snap(Offset offset) const;
  std::string Copy(Offset pos, Offset length) const;
  // Changes the text and tells the listeners; returns the removed text. A
  // whole text replaced at once swaps storage instead of copying.
  std::string Apply(Offset pos, Offset length, std::string&& text);
  // Changes the text and records it in the open step (or a new one).
  void Record(Offset pos, Offset length, std::string&& text);
  // Puts a made edit into the open step (or a new one).
  void Push(Edit&& edit);
  // Undo or redo one step: each edit swaps its saved text with the document's.
  void Swap(Step& step, bool backward, Offset& lo, Offset& hi);
  void Adopt(std::string&& normal, Offset oldLength, Offset oldBreaks);
  void SetSel(Offset anchor, Offset caret);
  void NotifySelection();

  GapBuffer text_;
  LineIndex lines_;
  Offset anchor_ = 0;
  Offset caret_ = 0;
  std::vector<Step> undo_;
  std::vector<Step> redo_;
  int editDepth_ = 0;
  bool stepOpen_ = false;    // the last undo step still takes edits of the open edit
  bool typingOpen_ = false;  // the last undo step is a typing group that may grow
  Offset typingEnd_ = -1;    // where the caret stood after the last typed text
  bool lastTypedBlank_ = false;
  std::vector<BufferListener*> listeners_;
  std::vector<Offset> knownStarts_;  // line starts of the next whole text, when found already
  CharAttributes attributes_{"Courier New", 10, 0x80000008u};
  double tabStopPoints_ = 48;
};

}  // namespace ql
