// The view's document side: the buffer interface, selection, scrolling and
// the geometry of rows, offsets and points.
#include "editor/qt/EditorView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <algorithm>

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
  RebuildGlyphs();
}

EditorView::~EditorView() = default;

// ---- document and selection ----

void EditorView::SyncFromDocument() {
  anchor_ = doc_->SelStart();
  caret_ = anchor_ + doc_->SelLength();
}

void EditorView::SetText(const std::string& text) {
  doc_->SetText(text);
  measure_.Reset();
  SyncFromDocument();
  RecountWidth();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
  emit textChanged();
  emit selectionChanged();
}

void EditorView::AdoptDocument(std::unique_ptr<MemoryBuffer> document) {
  const CharAttributes a = doc_->DefaultAttributes();
  const double tabs = doc_->TabStopPoints();
  doc_ = std::move(document);
  doc_->SetDefaultAttributes(a);
  doc_->SetTabStopPoints(tabs);
  doc_->ClearUndo();
  measure_.Reset();
  SyncFromDocument();
  RecountWidth();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
  emit textChanged();
  emit selectionChanged();
}

void EditorView::SetSelection(Offset start, Offset length) {
  doc_->SetSelection(start, length);
  SyncFromDocument();
  AfterSelectionMoved();
}

void EditorView::SetAnchorCaret(Offset anchor, Offset caret) {
  // Let the document clamp and snap each end.
  doc_->SetSelection(anchor, 0);
  anchor = doc_->SelStart();
  doc_->SetSelection(caret, 0);
  caret = doc_->SelStart();
  doc_->SetSelection(std::min(anchor, caret), std::abs(caret - anchor));
  anchor_ = anchor;
  caret_ = caret;
  AfterSelectionMoved(true);
}

void EditorView::SelectAll() {
  doc_->SelectAll();
  SyncFromDocument();
  AfterSelectionMoved();
}

void EditorView::AfterSelectionMoved(bool keepGoalX) {
  if (!keepGoalX) goalX_ = -1;
  RestartBlink();
  viewport()->update();
  emit selectionChanged();
}

void EditorView::ReplaceSelection(const std::string& text) {
  if (text.empty() && doc_->SelLength() == 0) return;  // no change at all
  const Offset pos = doc_->SelStart(), removed = doc_->SelLength();
  const Offset before = doc_->TextLength();
  doc_->ReplaceSelection(text);
  SyncFromDocument();
  AfterEdit(pos, removed, doc_->TextLength() - before + removed);
}

void EditorView::Undo() {
  if (!doc_->CanUndo()) return;
  doc_->Undo();
  measure_.Reset();
  SyncFromDocument();
  RecountWidth();
  AfterEdit(doc_->SelStart(), 0, 0);
}

void EditorView::AfterEdit(Offset pos, Offset removed, Offset inserted) {
  (void)removed;
  measure_.Edited(pos);
  // The longest line only grows here; a new text counts it again.
  const Offset line = doc_->OffsetToLine(pos + inserted);
  const Offset first = doc_->OffsetToLine(pos);
  for (Offset l = first; l <= line && l - first < 1000; ++l)
    maxLineBytes_ = std::max(maxLineBytes_, LineEndOf(l) - doc_->LineToOffset(l));
  goalX_ = -1;
  UpdateScrollBars();
  ScrollToCaret();
  RestartBlink();
  viewport()->update();
  emit textChanged();
  emit selectionChanged();
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
  SetAnchorCaret(extend ? anchor_ : to, to);
  if (!keepGoalX) goalX_ = -1;
  ScrollToCaret();
}

// ---- look ----

void EditorView::SetDefaultAttributes(const CharAttributes& attributes) {
  doc_->SetDefaultAttributes(attributes);
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
  UpdateScrollBars();
  ScrollToCaret();
  viewport()->update();
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

unsigned char EditorView::ByteAt(Offset pos) const {
  return static_cast<unsigned char>(doc_->ByteAt(pos));
}

Offset EditorView::LineEndOf(Offset line) const {
  const Offset next = doc_->LineToOffset(line + 1);
  return next < 0 ? doc_->TextLength() : next - 2;
}

Offset EditorView::RowCount() const {
  // Every line a caret can stand on, the empty last one included.
  return doc_->OffsetToLine(doc_->TextLength()) + 1;
}

Offset EditorView::RowOfOffset(Offset offset) const { return doc_->OffsetToLine(offset); }

void EditorView::RowRange(Offset row, Offset& start, Offset& end) const {
  start = doc_->LineToOffset(row);
  if (start < 0) {
    start = end = doc_->TextLength();
    return;
  }
  end = LineEndOf(row);
}

void EditorView::RecountWidth() {
  // The longest line in bytes, from the line starts alone.
  Offset longest = 0;
  const Offset rows = RowCount();
  Offset prev = 0;
  for (Offset l = 1; l < rows; ++l) {
    const Offset s = doc_->LineToOffset(l);
    longest = std::max(longest, s - prev);
    prev = s;
  }
  maxLineBytes_ = std::max(longest, doc_->TextLength() - prev);
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
  v->setRange(0, static_cast<int>(std::min<Offset>(std::max<Offset>(0, rows - 1), INT32_MAX)));
  v->setPageStep(static_cast<int>(page));
  v->setSingleStep(1);
  QScrollBar* h = horizontalScrollBar();
  if (wrap_) {
    h->setRange(0, 0);
    return;
  }
  const qreal width = static_cast<qreal>(maxLineBytes_) * table_.WidestAdvance() + 2 * kMargin +
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
  const Offset row = RowOfOffset(caret_);
  const Offset top = TopRow(), page = VisibleRows();
  if (row < top)
    ScrollRowsTo(row);
  else if (row >= top + page)
    ScrollRowsTo(row - page + 1);
  if (wrap_) return;
  QScrollBar* h = horizontalScrollBar();
  const qreal x = XOfOffset(caret_);
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
  const QPoint p = PointOfOffset(caret_);
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
  doc_->CopyBytes(pos, length, bytes.data());
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
