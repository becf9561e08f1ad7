// The edit control: draws the document model straight from its bytes.
//
// Only the rows on screen are painted, each byte through the font's
// GlyphTable, and only the visible slice of a row is handed to Qt, so a
// line of millions of characters costs no more than a short one. The view
// is the window's EditorBuffer: every command edits through it, and it
// keeps the caret (the end that moves) and the anchor apart so that
// Shift+keys can select in both directions.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "editor/ColorRuns.h"
#include "editor/EditorBuffer.h"
#include "editor/MemoryBuffer.h"
#include "editor/WrapLayout.h"
#include "editor/qt/GlyphTable.h"
#include "editor/qt/LineMeasure.h"

class QMimeData;

namespace ql {

class EditorView : public QAbstractScrollArea, public EditorBuffer, private BufferListener {
  Q_OBJECT

 public:
  explicit EditorView(QWidget* parent = nullptr);
  ~EditorView() override;

  // ---- EditorBuffer ----
  std::string Text() const override { return doc_->Text(); }
  void SetText(const std::string& text) override;
  // The same without a copy of the text (a whole-text tool's result).
  void SetText(std::string&& text);
  Offset TextLength() const override { return doc_->TextLength(); }
  Offset LineCount() const override { return doc_->LineCount(); }
  std::string Line(Offset index) const override { return doc_->Line(index); }
  Offset LineToOffset(Offset index) const override { return doc_->LineToOffset(index); }
  Offset OffsetToLine(Offset offset) const override { return doc_->OffsetToLine(offset); }
  Offset SelStart() const override { return doc_->SelStart(); }
  Offset SelLength() const override { return doc_->SelLength(); }
  void SetSelection(Offset start, Offset length) override;
  std::string SelText() const override { return doc_->SelText(); }
  void ReplaceSelection(const std::string& text) override;
  void SelectAll() override;
  bool MapSelection(const ByteMap& map) override;
  CaretPosition Caret() const override { return doc_->Caret(); }
  void ScrollToCaret() override;
  bool CanUndo() const override { return doc_->CanUndo(); }
  void Undo() override;
  bool CanRedo() const { return doc_->CanRedo(); }
  void Redo();
  void ClearUndo() override { doc_->ClearUndo(); }
  CharAttributes DefaultAttributes() const override { return doc_->DefaultAttributes(); }
  void SetDefaultAttributes(const CharAttributes& attributes) override;
  double TabStopPoints() const override { return doc_->TabStopPoints(); }
  void SetTabStopPoints(double points) override;

  // ---- the document ----
  // Takes over a document read and indexed elsewhere (another thread): no
  // copy of the text, nothing to undo.
  void AdoptDocument(std::unique_ptr<MemoryBuffer> document);
  const MemoryBuffer& Document() const { return *doc_; }
  // Listeners of the document that follow it into an adopted one.
  void AddDocumentListener(BufferListener* listener);
  void RemoveDocumentListener(BufferListener* listener);
  Offset Anchor() const { return doc_->Anchor(); }
  Offset CaretOffset() const { return doc_->CaretOffset(); }
  // Anchor and caret apart; the caret is the end that moves and shows.
  void SetAnchorCaret(Offset anchor, Offset caret);
  // Typed text at the caret, grouped into words for undo (overwrite as set).
  void Type(const std::string& bytes);
  // Several edits as one undo step.
  void BeginEdit() { doc_->BeginEdit(); }
  void EndEdit();

  // ---- color runs (the coloring tools) ----
  void SetRangeColor(Offset pos, Offset length, std::uint32_t color);
  ColorRuns::RangeAttributes RangeAttributes(Offset pos, Offset length) const;
  const ColorRuns& Colors() const { return colors_; }

  // ---- look and behaviour ----
  void SetColors(const QColor& back, const QColor& text);
  QColor BackColor() const { return back_; }
  QColor TextColor() const { return text_; }
  QFont EditorFont() const { return font_; }
  // The character set the bytes are drawn in: code page 437 for "Terminal".
  Codepage CharacterSet() const { return table_.CharacterSet(); }
  const GlyphTable& Glyphs() const { return table_; }
  void SetWordWrap(bool on);
  bool WordWrap() const { return wrap_; }
  // Word wrap: every row counted exactly (done in the background).
  bool RowsExact() const { return !wrap_ || !wrapIndex_ || wrapIndex_->Complete(); }
  // Counts rows for about `bytes` of text now; true when all are exact.
  bool CountRows(Offset bytes);
  void SetReadOnly(bool on) { readOnly_ = on; }
  bool IsReadOnly() const { return readOnly_; }
  void SetOverwrite(bool on);
  bool Overwrite() const { return overwrite_; }
  // Line updates suspended (the busy bracket).
  void SetPainting(bool on);

  // Called for Enter; returns true when it inserted the line break itself.
  std::function<bool()> enterHandler;

  // ---- geometry (viewport coordinates) ----
  QRect CaretRect() const;
  // The x of an offset from its line's start (no scrolling, no margin).
  qreal XOfOffset(Offset offset) const;
  QPoint PointOfOffset(Offset offset) const;  // top left of the character cell
  Offset OffsetAt(const QPoint& viewportPoint) const;
  qreal LineHeight() const { return table_.LineHeight(); }
  int Margin() const { return kMargin; }
  Offset TopRow() const;
  Offset VisibleRows() const;
  // Rows: a line, or one piece of it under word wrap.
  Offset RowCount() const;
  Offset RowOfOffset(Offset offset) const;
  void RowRange(Offset row, Offset& start, Offset& end) const;

  // Text of a range as the screen shows it (through the display character set).
  QString DisplayString(Offset pos, Offset length) const;
  // Text typed or dropped: the byte for each character in the display set,
  // or false when one of them has none there.
  bool ToBytes(const QString& text, std::string& bytes) const;

  // Repaints the visible rows at once (benchmarks and Ctrl+F5).
  void RepaintNow();

 signals:
  void textChanged();
  void selectionChanged();
  void filesDropped(const QStringList& files);
  void contextMenuAtCaret();
  void deleteKey();
  // Paste keys and the middle button: the window's paste rules decide.
  void pasteRequested(bool primarySelection);
  // A character the document cannot hold was typed.
  void inputRefused(const QString& message);

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dragLeaveEvent(QDragLeaveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  static constexpr int kMargin = 2;

  // One user edit: replaces the selection, moves the caret after it.
  bool UserEdit(const std::string& bytes);
  // After any change of the text or selection: scroll bars, caret, signals.
  void Changed(bool scrollToCaret = true);
  void AfterSelectionMoved(bool keepGoalX = false);
  void TellAccessibility();
  void TextReplaced(Offset pos, Offset removedLength, Offset insertedLength, Offset firstLine,
                    Offset removedBreaks, Offset insertedBreaks) override;
  void Attach();
  void Relayout();
  void KeepTopWhile(const std::function<void()>& change);
  void MoveCaret(Offset to, bool extend, bool keepGoalX = false);
  void RebuildGlyphs();
  void UpdateScrollBars();
  void RecountWidth();
  void RestartBlink();
  void InsertTyped(const QString& text);
  void InsertFromMime(const QMimeData* data, Offset at);
  void CopySelectionToPrimary();
  void PaintRow(QPainter& p, Offset row, qreal y, qreal viewLeft, qreal viewRight);
  // Key handling by kind; each returns true when it took the key.
  bool MovementKey(QKeyEvent* e);
  bool EditingKey(QKeyEvent* e);
  Offset LineEndOf(Offset line) const;
  unsigned char ByteAt(Offset pos) const;
  Offset ScrollRowsTo(Offset row);

  std::unique_ptr<MemoryBuffer> doc_;
  std::vector<BufferListener*> extraListeners_;  // told after the view's own
  std::unique_ptr<WrapIndex> wrapIndex_;  // listens to doc_; only while wrapping
  ColorRuns colors_;                      // listens to doc_
  bool textChanged_ = false;              // since the last Changed()
  QBasicTimer counting_;                  // rows counted in the background
  bool wrapDirty_ = true;                 // a new font or tab width: lay out again
  GlyphTable table_;
  mutable LineMeasure measure_;
  QFont font_;
  QColor back_, text_;
  qreal goalX_ = -1;  // column kept by Up/Down
  Offset shownAnchor_ = 0, shownCaret_ = 0;  // as last reported
  bool wrap_ = false;
  bool readOnly_ = false;
  bool overwrite_ = false;
  bool caretOn_ = true;
  bool painting_ = true;
  QBasicTimer blink_;
  Offset maxLineBytes_ = 0;  // longest line seen, for the horizontal range
  // Mouse: selection by dragging, by words (double click) or lines (triple).
  enum class DragUnit { None, Char, Word, Line, Drag } dragUnit_ = DragUnit::None;
  Offset dragOriginStart_ = 0, dragOriginEnd_ = 0;
  QPoint pressPos_;
  qint64 lastDoubleClick_ = 0;
  QPoint lastDoubleClickPos_;
  Offset dropCaret_ = -1;  // where a drag would drop, drawn as a caret
};

// Local files named by a drop or a clipboard file list.
QStringList LocalFiles(const QMimeData* data);

}  // namespace ql
