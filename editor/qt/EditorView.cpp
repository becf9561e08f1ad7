// The view's document side: the buffer interface, selection, scrolling and
// the geometry of rows, offsets and points.
#include "editor/qt/EditorView.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleHints>
#include <algorithm>

#include "editor/qt/EditorAccessible.h"
#include "platform/qt/Look.h"

namespace ql {

EditorView::EditorView(QWidget* parent)
    : QAbstractScrollArea(parent), doc_(std::make_unique<MemoryBuffer>()) {
  setObjectName("RichEdit1");
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  back_ = palette().color(QPalette::Base);
  text_ = palette().color(QPalette::Text);
  font_ = ql::EditorFont("Courier New", 10);
  EditorAccessible::Install();
  Attach();
  RebuildGlyphs();
}

EditorView::~EditorView() {
  for (BufferListener* l : extraListeners_) doc_->RemoveListener(l);
  doc_->RemoveListener(this);
  doc_->RemoveListener(&colors_);
  wrapIndex_.reset();
}

// The view, its color runs and its row index follow every change of the document.
void EditorView::Attach() {
  wrapIndex_.reset();  // made when wrapping needs it (Relayout)
  wrapDirty_ = true;
  colors_.Clear();
  doc_->AddListener(&colors_);
  doc_->AddListener(this);
  for (BufferListener* l : extraListeners_) doc_->AddListener(l);
}

void EditorView::AddDocumentListener(BufferListener* listener) {
  if (!listener || std::find(extraListeners_.begin(), extraListeners_.end(), listener) != extraListeners_.end())
    return;
  extraListeners_.push_back(listener);
  doc_->AddListener(listener);
}

void EditorView::RemoveDocumentListener(BufferListener* listener) {
  extraListeners_.erase(std::remove(extraListeners_.begin(), extraListeners_.end(), listener),
                        extraListeners_.end());
  doc_->RemoveListener(listener);
}

// ---- document and selection ----

void EditorView::TextReplaced(Offset pos, Offset, Offset, Offset firstLine, Offset,
                              Offset insertedBreaks) {
  textChanged_ = true;
  measure_.Edited(pos);
  // The longest line only grows here; a new text counts it again.
  for (Offset l = firstLine; l <= firstLine + insertedBreaks && l - firstLine < 1000; ++l)
    maxLineBytes_ = std::max(maxLineBytes_, doc_->LineEnd(l) - doc_->LineStart(l));
}

void EditorView::Changed(bool scrollToCaret) {
  const bool changed = textChanged_;
  textChanged_ = false;
  goalX_ = -1;
  // Lines an edit left with estimated rows are counted again in the background.
  if (wrap_ && wrapIndex_ && !wrapIndex_->Complete() && !counting_.isActive()) counting_.start(0, this);
  UpdateScrollBars();
  if (scrollToCaret) ScrollToCaret();
  RestartBlink();
  viewport()->update();
  if (changed) emit textChanged();
  shownAnchor_ = doc_->Anchor();
  shownCaret_ = doc_->CaretOffset();
  TellAccessibility();
  emit selectionChanged();
}

void EditorView::SetText(const std::string& text) { SetText(std::string(text)); }

void EditorView::SetText(std::string&& text) {
  doc_->SetText(std::move(text));
  measure_.Reset();
  RecountWidth();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  Relayout();
  Changed(false);
}

void EditorView::AdoptDocument(std::unique_ptr<MemoryBuffer> document) {
  const CharAttributes a = doc_->DefaultAttributes();
  const double tabs = doc_->TabStopPoints();
  for (BufferListener* l : extraListeners_) doc_->RemoveListener(l);
  doc_->RemoveListener(this);
  doc_->RemoveListener(&colors_);
  wrapIndex_.reset();
  const Offset oldLength = doc_->TextLength(), oldBreaks = doc_->PhysicalLines() - 1;
  doc_ = std::move(document);
  doc_->SetDefaultAttributes(a);
  doc_->SetTabStopPoints(tabs);
  doc_->ClearUndo();
  Attach();
  // The other listeners hear it as the whole text replaced.
  for (BufferListener* l : extraListeners_)
    l->TextReplaced(0, oldLength, doc_->TextLength(), 0, oldBreaks, doc_->PhysicalLines() - 1);
  measure_.Reset();
  RecountWidth();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  Relayout();
  textChanged_ = true;
  Changed(false);
}

void EditorView::SetSelection(Offset start, Offset length) {
  doc_->SetSelection(start, length);
  AfterSelectionMoved();
}

void EditorView::SetAnchorCaret(Offset anchor, Offset caret) {
  doc_->SetAnchorCaret(anchor, caret);
  AfterSelectionMoved(true);
}

void EditorView::SelectAll() {
  doc_->SelectAll();
  AfterSelectionMoved();
}

void EditorView::AfterSelectionMoved(bool keepGoalX) {
  if (!keepGoalX) goalX_ = -1;
  RestartBlink();
  viewport()->update();
  // Like a caret put back where it already stood: no news.
  if (doc_->Anchor() == shownAnchor_ && doc_->CaretOffset() == shownCaret_) return;
  shownAnchor_ = doc_->Anchor();
  shownCaret_ = doc_->CaretOffset();
  TellAccessibility();
  emit selectionChanged();
}

void EditorView::TellAccessibility() {
  if (!QAccessible::isActive()) return;
  QAccessibleTextCursorEvent moved(this, static_cast<int>(std::min<Offset>(doc_->CaretOffset(), INT32_MAX)));
  QAccessible::updateAccessibility(&moved);
}

void EditorView::ReplaceSelection(const std::string& text) {
  if (text.empty() && doc_->SelLength() == 0) return;  // no change at all
  doc_->ReplaceSelection(text);
  Changed();
}

bool EditorView::MapSelection(const ByteMap& map) {
  const bool changed = doc_->MapSelection(map);
  if (changed) Changed();
  return changed;
}

void EditorView::Type(const std::string& bytes) {
  doc_->TypeText(bytes, overwrite_);
  Changed();
}

void EditorView::EndEdit() {
  doc_->EndEdit();
  Changed();
}

void EditorView::Undo() {
  if (!doc_->CanUndo()) return;
  doc_->Undo();
  Changed();
}

void EditorView::Redo() {
  if (!doc_->CanRedo()) return;
  doc_->Redo();
  Changed();
}

bool EditorView::UserEdit(const std::string& bytes) {
  if (readOnly_) {
    QApplication::beep();
    return false;
  }
  if (bytes.empty() && doc_->SelLength() == 0) return false;
  ReplaceSelection(bytes);
  return true;
}

void EditorView::MoveCaret(Offset to, bool extend, bool keepGoalX) {
  SetAnchorCaret(extend ? doc_->Anchor() : to, to);
  if (!keepGoalX) goalX_ = -1;
  ScrollToCaret();
}

void EditorView::SetRangeColor(Offset pos, Offset length, std::uint32_t color) {
  colors_.SetColor(pos, length, color);
  viewport()->update();
}

ColorRuns::RangeAttributes EditorView::RangeAttributes(Offset pos, Offset length) const {
  return colors_.Read(pos, length);
}

// ---- look ----

void EditorView::SetDefaultAttributes(const CharAttributes& attributes) {
  doc_->SetDefaultAttributes(attributes);
  CharAttributes colorsDefault = colors_.Default();
  colorsDefault.fontName = attributes.fontName;
  colorsDefault.fontSize = attributes.fontSize;
  colors_.SetDefault(colorsDefault);
  font_ = ql::EditorFont(attributes.fontName, attributes.fontSize);
  setFont(font_);
  RebuildGlyphs();
}

void EditorView::SetTabStopPoints(double points) {
  doc_->SetTabStopPoints(points);
  RebuildGlyphs();
}

void EditorView::RebuildGlyphs() {
  // "Terminal" shows the bytes in code page 437: the same text, other pictures.
  const Codepage cp = doc_->DefaultAttributes().fontName == "Terminal" ? Codepage::Cp437
                                                                       : Codepage::Cp1252;
  const qreal tabPixels = doc_->TabStopPoints() * logicalDpiX() / 72.0;
  table_ = GlyphTable(font_, cp, tabPixels);
  measure_.Reset();
  wrapDirty_ = true;
  Relayout();
  UpdateScrollBars();
  viewport()->update();
}

void EditorView::SetColors(const QColor& back, const QColor& text) {
  back_ = back;
  text_ = text;
  QPalette p = palette();
  p.setColor(QPalette::Base, back);
  p.setColor(QPalette::Text, text);
  setPalette(p);
  viewport()->update();
}

void EditorView::SetWordWrap(bool on) {
  if (wrap_ == on) return;
  wrap_ = on;
  measure_.Reset();
  horizontalScrollBar()->setValue(0);
  Relayout();
  UpdateScrollBars();
  ScrollToCaret();
  viewport()->update();
}

// Rows again for the present width and font; the top line stays on top.
// Without wrap there is no row index at all (a row is a line).
void EditorView::Relayout() {
  QScrollBar* v = verticalScrollBar();
  if (!wrap_) {
    if (!wrapIndex_) return;
    const Offset topLine = wrapIndex_->LineOfRow(TopRow()).line;
    wrapIndex_.reset();
    counting_.stop();
    UpdateScrollBars();
    const QSignalBlocker quiet(v);
    v->setValue(static_cast<int>(topLine));
    return;
  }
  const double width = std::max<double>(viewport()->width() - 2 * kMargin, table_.WidestAdvance());
  if (wrapIndex_ && wrapIndex_->Width() == width && !wrapDirty_) return;
  WrapIndex::Row top{};
  if (wrapIndex_)
    top = wrapIndex_->LineOfRow(TopRow());
  else
    top.line = std::min<Offset>(TopRow(), doc_->PhysicalLines() - 1);
  if (!wrapIndex_) wrapIndex_ = std::make_unique<WrapIndex>(*doc_);
  wrapIndex_->SetLayout(table_.Widths(), width);
  wrapDirty_ = false;
  const Offset newTop =
      wrapIndex_->FirstRowOfLine(top.line) + std::min(top.rowInLine, wrapIndex_->RowsOfLine(top.line) - 1);
  UpdateScrollBars();
  {
    const QSignalBlocker quiet(v);
    v->setValue(static_cast<int>(newTop));
  }
  if (!wrapIndex_->Complete()) counting_.start(0, this);
}

void EditorView::KeepTopWhile(const std::function<void()>& change) {
  const WrapIndex::Row top = wrapIndex_->LineOfRow(TopRow());
  change();
  const Offset newTop =
      wrapIndex_->FirstRowOfLine(top.line) + std::min(top.rowInLine, wrapIndex_->RowsOfLine(top.line) - 1);
  UpdateScrollBars();
  const QSignalBlocker quiet(verticalScrollBar());
  verticalScrollBar()->setValue(static_cast<int>(newTop));
}

bool EditorView::CountRows(Offset bytes) {
  if (!wrap_ || !wrapIndex_) return true;
  bool done = false;
  KeepTopWhile([&] { done = wrapIndex_->ComputeSome(bytes); });
  return done;
}

void EditorView::SetOverwrite(bool on) {
  overwrite_ = on;
  viewport()->update();
}

void EditorView::SetPainting(bool on) {
  painting_ = on;
  if (on) {
    UpdateScrollBars();
    viewport()->update();
  }
}

void EditorView::RepaintNow() { viewport()->repaint(); }

// ---- rows ----

unsigned char EditorView::ByteAt(Offset pos) const { return static_cast<unsigned char>(doc_->CharAt(pos)); }

Offset EditorView::LineEndOf(Offset line) const { return doc_->LineEnd(line); }

Offset EditorView::RowCount() const {
  // Every line a caret can stand on, the empty last one included.
  return wrap_ ? wrapIndex_->RowCount() : doc_->PhysicalLines();
}

Offset EditorView::RowOfOffset(Offset offset) const {
  if (!wrap_) return doc_->OffsetToLine(offset);
  const WrapIndex::Row r = wrapIndex_->RowOfOffset(offset);
  return wrapIndex_->FirstRowOfLine(r.line) + r.rowInLine;
}

void EditorView::RowRange(Offset row, Offset& start, Offset& end) const {
  if (wrap_) {
    const std::vector<WrapIndex::Row> rows = wrapIndex_->Rows(row, 1);
    if (!rows.empty()) {
      start = rows[0].start;
      end = rows[0].end;
      return;
    }
    start = end = doc_->TextLength();
    return;
  }
  start = doc_->LineStart(row);
  end = doc_->LineEnd(row);
}

void EditorView::RecountWidth() {
  // The longest line in bytes, from the line starts alone (each read once).
  Offset longest = 0;
  const Offset lines = doc_->PhysicalLines();
  Offset start = 0;
  for (Offset l = 1; l < lines; ++l) {
    const Offset next = doc_->LineStart(l);
    longest = std::max(longest, next - start - 2);
    start = next;
  }
  maxLineBytes_ = std::max(longest, doc_->TextLength() - start);
}

Offset EditorView::TopRow() const { return verticalScrollBar()->value(); }

Offset EditorView::VisibleRows() const {
  return std::max<Offset>(1, static_cast<Offset>(viewport()->height() / table_.LineHeight()));
}

void EditorView::UpdateScrollBars() {
  if (!painting_) return;
  const Offset rows = RowCount();
  QScrollBar* v = verticalScrollBar();
  const Offset page = VisibleRows();
  {
    const QSignalBlocker quiet(v);  // a range change is no scroll of ours
    v->setRange(0, static_cast<int>(std::min<Offset>(std::max<Offset>(0, rows - 1), INT32_MAX)));
  }
  v->setPageStep(static_cast<int>(page));
  v->setSingleStep(1);
  QScrollBar* h = horizontalScrollBar();
  if (wrap_) {
    h->setRange(0, 0);
    return;
  }
  const qreal width = static_cast<qreal>(maxLineBytes_) * table_.AverageAdvance() + 2 * kMargin +
                      table_.WidestAdvance();
  const int w = viewport()->width();
  h->setRange(0, static_cast<int>(std::clamp<qreal>(width - w, 0, INT32_MAX / 2)));
  h->setPageStep(w);
  h->setSingleStep(static_cast<int>(std::max<qreal>(1, table_.AverageAdvance())));
}

Offset EditorView::ScrollRowsTo(Offset row) {
  QScrollBar* v = verticalScrollBar();
  v->setValue(static_cast<int>(std::clamp<Offset>(row, 0, v->maximum())));
  return v->value();
}

void EditorView::ScrollToCaret() {
  if (!painting_) return;
  const Offset caret = doc_->CaretOffset();
  const Offset row = RowOfOffset(caret);
  const Offset top = TopRow(), page = VisibleRows();
  if (row < top)
    ScrollRowsTo(row);
  else if (row >= top + page)
    ScrollRowsTo(row - page + 1);
  if (wrap_) return;
  QScrollBar* h = horizontalScrollBar();
  const qreal x = XOfOffset(caret);
  const int w = viewport()->width() - 2 * kMargin;
  if (x < h->value())
    h->setValue(static_cast<int>(std::max<qreal>(0, x - w / 4)));
  else if (x + table_.AverageAdvance() > h->value() + w) {
    if (x + w > h->maximum()) h->setMaximum(static_cast<int>(x + w));
    h->setValue(static_cast<int>(x - w * 3 / 4));
  }
}

// ---- geometry ----

qreal EditorView::XOfOffset(Offset offset) const {
  Offset start, end;
  RowRange(RowOfOffset(offset), start, end);
  return measure_.XAt(*doc_, table_, start, end, offset);
}

QPoint EditorView::PointOfOffset(Offset offset) const {
  const Offset row = RowOfOffset(offset);
  const qreal x = XOfOffset(offset) - horizontalScrollBar()->value() + kMargin;
  const qreal y = static_cast<qreal>(row - TopRow()) * table_.LineHeight();
  return QPoint(qRound(x), qRound(y));
}

QRect EditorView::CaretRect() const {
  const QPoint p = PointOfOffset(doc_->CaretOffset());
  return QRect(p.x(), p.y(), 2, static_cast<int>(table_.LineHeight()));
}

Offset EditorView::OffsetAt(const QPoint& point) const {
  Offset row = TopRow() + static_cast<Offset>(std::floor(point.y() / table_.LineHeight()));
  row = std::clamp<Offset>(row, 0, RowCount() - 1);
  Offset start, end;
  RowRange(row, start, end);
  const qreal x = point.x() - kMargin + horizontalScrollBar()->value();
  return measure_.OffsetAtX(*doc_, table_, start, end, x, true, nullptr);
}

QString EditorView::DisplayString(Offset pos, Offset length) const {
  pos = std::clamp<Offset>(pos, 0, doc_->TextLength());
  length = std::clamp<Offset>(length, 0, doc_->TextLength() - pos);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  doc_->CopyRange(pos, length, bytes.data());
  const std::u16string u = DecodeToUtf16(table_.CharacterSet(), bytes);
  return QString(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
}

bool EditorView::ToBytes(const QString& text, std::string& bytes) const {
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(text.size()));
  const Codepage cp = table_.CharacterSet();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    char32_t u = c.unicode();
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      u = QChar::surrogateToUcs4(c, text[i + 1]);
      ++i;
    }
    if (u == '\r' || u == '\n' || u == 0x2028 || u == 0x2029) {
      if (u == '\r' && i + 1 < text.size() && text[i + 1] == QChar('\n')) ++i;
      bytes += "\r\n";
      continue;
    }
    const int b = UnicodeToByte(cp, u);
    if (b <= 0) return false;
    bytes += static_cast<char>(b);
  }
  return true;
}

// ---- scrolling ----

void EditorView::scrollContentsBy(int, int) { viewport()->update(); }

void EditorView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  Relayout();
  UpdateScrollBars();
}

void EditorView::RestartBlink() {
  caretOn_ = true;
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  if (flash > 0 && hasFocus())
    blink_.start(flash / 2, this);
  else
    blink_.stop();
}

void EditorView::timerEvent(QTimerEvent* e) {
  if (e->timerId() == counting_.timerId()) {
    // Exact rows a slice at a time, so the window never waits for them.
    if (CountRows(Offset(4) << 20)) counting_.stop();
    UpdateScrollBars();
    return;
  }
  if (e->timerId() != blink_.timerId()) {
    QAbstractScrollArea::timerEvent(e);
    return;
  }
  caretOn_ = !caretOn_;
  viewport()->update(CaretRect().adjusted(-2, 0, table_.WidestAdvance() + 2, 0));
}

void EditorView::focusInEvent(QFocusEvent* e) {
  RestartBlink();
  viewport()->update();
  QAbstractScrollArea::focusInEvent(e);
}

void EditorView::focusOutEvent(QFocusEvent* e) {
  blink_.stop();
  viewport()->update();
  QAbstractScrollArea::focusOutEvent(e);
}

}  // namespace ql
