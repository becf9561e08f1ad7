// Painting: the visible rows only, each from the bytes through the glyph
// table, handed to Qt as glyph runs of the visible slice.
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "editor/qt/EditorView.h"
#include "platform/qt/Look.h"

namespace ql {

namespace {

// Glyphs waiting to be drawn, one list per font, flushed in one color.
class RunBuilder {
 public:
  explicit RunBuilder(const GlyphTable& t) : table_(t), glyphs_(t.Fonts().size()), points_(t.Fonts().size()) {}

  void Add(unsigned char byte, qreal x, qreal baseline) {
    const GlyphTable::Entry& e = table_[byte];
    glyphs_[static_cast<std::size_t>(e.font)].push_back(e.glyph);
    points_[static_cast<std::size_t>(e.font)].push_back(QPointF(x, baseline));
  }

  void Flush(QPainter& p, const QColor& color) {
    p.setPen(color);
    for (std::size_t f = 0; f < glyphs_.size(); ++f) {
      if (glyphs_[f].isEmpty()) continue;
      QGlyphRun run;
      run.setRawFont(table_.Fonts()[f]);
      run.setGlyphIndexes(glyphs_[f]);
      run.setPositions(points_[f]);
      p.drawGlyphRun(QPointF(0, 0), run);
      glyphs_[f].clear();
      points_[f].clear();
    }
  }

 private:
  const GlyphTable& table_;
  std::vector<QList<quint32>> glyphs_;
  std::vector<QList<QPointF>> points_;
};

}  // namespace

void EditorView::paintEvent(QPaintEvent* e) {
  QPainter p(viewport());
  p.fillRect(e->rect(), back_);
  if (!painting_) return;
  const qreal lh = table_.LineHeight();
  const Offset top = TopRow();
  const Offset rows = RowCount();
  const Offset first = top + static_cast<Offset>(std::floor(e->rect().top() / lh));
  const Offset last = std::min(rows - 1, top + static_cast<Offset>(e->rect().bottom() / lh));
  const qreal left = horizontalScrollBar()->value();
  const qreal viewLeft = left + e->rect().left() - kMargin - table_.WidestAdvance();
  const qreal viewRight = left + e->rect().right() - kMargin + 1;
  for (Offset r = std::max<Offset>(first, top); r <= last; ++r)
    PaintRow(p, r, static_cast<qreal>(r - top) * lh, viewLeft, viewRight);

  // The caret, and where a drag would drop.
  if ((hasFocus() && caretOn_) || dropCaret_ >= 0) {
    const Offset at = dropCaret_ >= 0 ? dropCaret_ : doc_->CaretOffset();
    const QPoint pt = PointOfOffset(at);
    qreal w = 2;
    if (overwrite_ && dropCaret_ < 0 && at < doc_->TextLength() && ByteAt(at) != '\r')
      w = std::max<qreal>(2, table_.Next(XOfOffset(at), ByteAt(at)) - XOfOffset(at));
    QColor c = text_;
    if (w > 2) c.setAlpha(110);
    p.fillRect(QRectF(pt.x(), pt.y(), w, lh), c);
  }
}

void EditorView::PaintRow(QPainter& p, Offset row, qreal y, qreal viewLeft, qreal viewRight) {
  Offset start, end;
  RowRange(row, start, end);
  const qreal shift = kMargin - horizontalScrollBar()->value();
  const qreal baseline = y + table_.Ascent();
  const Offset selStart = doc_->SelStart(), selEnd = selStart + doc_->SelLength();
  const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
  const QColor highlightText = palette().color(QPalette::Active, QPalette::HighlightedText);

  // The first byte that reaches into view, and its x.
  qreal x = 0;
  Offset pos = start;
  if (viewLeft > 0) pos = measure_.OffsetAtX(*doc_, table_, start, end, viewLeft, false, &x);

  // Colors the coloring tools gave parts of the slice.
  const std::vector<ColorRuns::Run> colored =
      colors_.RunCount() ? colors_.RunsIn(pos, std::min<Offset>(end - pos, 8192)) : std::vector<ColorRuns::Run>();
  std::size_t runIndex = 0;
  const QPalette system = palette();
  auto colorAt = [&](Offset at) -> QColor {
    while (runIndex < colored.size() && colored[runIndex].end <= at) ++runIndex;
    if (runIndex < colored.size() && colored[runIndex].start <= at)
      return ToQColor(colored[runIndex].attributes.color, system);
    return text_;
  };

  RunBuilder runs(table_);
  char chunk[512];
  bool selected = pos >= selStart && pos < selEnd;
  QColor color = colorAt(pos);
  qreal selFrom = x;
  while (pos < end && x <= viewRight) {
    const Offset n = std::min<Offset>(end - pos, sizeof chunk);
    doc_->CopyRange(pos, n, chunk);
    for (Offset i = 0; i < n && x <= viewRight; ++i, ++pos) {
      const bool inSel = pos >= selStart && pos < selEnd;
      const QColor c = colored.empty() ? text_ : colorAt(pos);
      if (inSel != selected || c != color) {
        // Close the stretch drawn so far in its own color.
        if (selected) p.fillRect(QRectF(selFrom + shift, y, x - selFrom, table_.LineHeight()), highlight);
        runs.Flush(p, selected ? highlightText : color);
        selected = inSel;
        color = c;
        selFrom = x;
      }
      const unsigned char b = static_cast<unsigned char>(chunk[i]);
      const qreal next = table_.Next(x, b);
      if (b != '\t') runs.Add(b, x + shift, baseline);
      x = next;
    }
  }
  // A selected line break shows as a space's width after the line.
  const bool breakSelected = pos == end && end >= selStart && end < selEnd && end < doc_->TextLength() &&
                             !(wrap_ && end != doc_->LineEnd(doc_->OffsetToLine(end)));
  qreal selTo = x;
  if (selected && breakSelected) selTo += table_[' '].advance;
  if (selected)
    p.fillRect(QRectF(selFrom + shift, y, selTo - selFrom, table_.LineHeight()), highlight);
  else if (breakSelected)
    p.fillRect(QRectF(x + shift, y, table_[' '].advance, table_.LineHeight()), highlight);
  runs.Flush(p, selected ? highlightText : color);
}

}  // namespace ql
