// The edit control on its own, offscreen: key-by-key scripts against the
// pure document model, caret and selection geometry against the width
// table, word-wrap rows against a plain wrapper, the accessible text
// interface, color runs and what painting puts on screen.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QScrollBar>
#include <QtTest>
#include <random>

#include "editor/MemoryBuffer.h"
#include "editor/qt/EditorView.h"

using namespace ql;

namespace {

// Where a row starting at `from` ends, by the rule written out plainly:
// characters while they fit; a blank that does not fit still hangs on; else
// break after the last blank, or before the character when there is none.
std::vector<Offset> ReferenceRows(const std::string& line, const WidthTable& t, double width) {
  std::vector<Offset> rows{0};
  Offset from = 0;
  const Offset n = static_cast<Offset>(line.size());
  while (true) {
    double x = 0;
    Offset i = from, blank = -1;
    while (i < n) {
      const double next = t.After(static_cast<unsigned char>(line[i]), x);
      if (next > width + 1e-6 && i > from) break;
      if (line[i] == ' ' || line[i] == '\t') blank = i;
      x = next;
      ++i;
    }
    if (i >= n) break;
    from = (line[i] == ' ' || line[i] == '\t') ? i + 1 : (blank >= 0 ? blank + 1 : i);
    if (from >= n) break;
    rows.push_back(from);
  }
  return rows;
}

std::string RandomLine(std::mt19937& rng, int maxLength) {
  static const std::string pieces[] = {"a", "word", " ", "\t", "\xE9", "\xFF", "\x80", "MM", "  "};
  std::string s;
  const int parts = std::uniform_int_distribution<int>(0, maxLength)(rng);
  for (int i = 0; i < parts; ++i) s += pieces[std::uniform_int_distribution<int>(0, 8)(rng)];
  return s;
}

}  // namespace

class EditorViewTest : public QObject {
  Q_OBJECT

  std::unique_ptr<EditorView> view_;

  EditorView& V() { return *view_; }

 private slots:
  void init() {
    view_ = std::make_unique<EditorView>();
    view_->resize(500, 300);
    view_->show();
    view_->setFocus();
  }
  void cleanup() { view_.reset(); }

  // Random keys on the view; the same steps on the pure model by its own
  // rules; text, anchor, caret and history compared after every step.
  void keyScriptsFollowTheModel() {
    std::mt19937 rng(12);
    MemoryBuffer model;
    std::string clip = "p\r\nq";
    connect(&V(), &EditorView::pasteRequested, &V(), [&](bool) { V().ReplaceSelection(clip); });
    const auto left = [&](Offset c) {
      return c >= 2 && model.CharAt(c - 1) == '\n' ? c - 2 : std::max<Offset>(0, c - 1);
    };
    const auto right = [&](Offset c) {
      return c < model.TextLength() && model.CharAt(c) == '\r' ? c + 2 : std::min(model.TextLength(), c + 1);
    };
    for (int step = 0; step < 1500; ++step) {
      const int kind = std::uniform_int_distribution<int>(0, 11)(rng);
      const Offset a = model.Anchor(), c = model.CaretOffset();
      switch (kind) {
        case 0: case 1: case 2: {  // typing, a blank now and then
          const char ch = "ab \xE9x\t"[std::uniform_int_distribution<int>(0, 5)(rng)];
          const QString typed = QString(QChar(ch == '\xE9' ? 0xE9 : ch));
          if (ch == '\t')
            QTest::keyClick(&V(), Qt::Key_Tab);
          else
            QTest::sendKeyEvent(QTest::Click, &V(), Qt::Key_unknown, typed, Qt::NoModifier);
          model.TypeText(std::string(1, ch), false);
          break;
        }
        case 3:
          QTest::keyClick(&V(), Qt::Key_Return);
          model.TypeText("\r\n", false);
          break;
        case 4:
          QTest::keyClick(&V(), Qt::Key_Backspace);
          if (a == c) model.SetAnchorCaret(c, left(c));
          if (model.SelLength()) model.ReplaceSelection("");
          break;
        case 5:
          QTest::keyClick(&V(), Qt::Key_Delete);
          if (a == c) model.SetAnchorCaret(c, right(c));
          if (model.SelLength()) model.ReplaceSelection("");
          break;
        case 6:
          QTest::keyClick(&V(), Qt::Key_Left, Qt::ShiftModifier);
          model.SetAnchorCaret(a, left(c));
          break;
        case 7:
          QTest::keyClick(&V(), Qt::Key_Right, Qt::ShiftModifier);
          model.SetAnchorCaret(a, right(c));
          break;
        case 8:
          QTest::keyClick(&V(), Qt::Key_Home);
          model.SetAnchorCaret(model.LineStart(model.OffsetToLine(c)), model.LineStart(model.OffsetToLine(c)));
          break;
        case 9:
          QTest::keyClick(&V(), Qt::Key_Z, Qt::ControlModifier);
          model.Undo();
          break;
        case 10:
          QTest::keyClick(&V(), Qt::Key_Y, Qt::ControlModifier);
          model.Redo();
          break;
        case 11:
          QTest::keyClick(&V(), Qt::Key_Insert, Qt::ShiftModifier);  // paste route
          model.ReplaceSelection(clip);
          break;
      }
      if (V().Text() != model.Text() || V().Anchor() != model.Anchor() ||
          V().CaretOffset() != model.CaretOffset() || V().CanUndo() != model.CanUndo() ||
          V().CanRedo() != model.CanRedo()) {
        qWarning("step %d kind %d: view [%s] %lld-%lld, model [%s] %lld-%lld", step, kind,
                 V().Text().c_str(), (long long)V().Anchor(), (long long)V().CaretOffset(),
                 model.Text().c_str(), (long long)model.Anchor(), (long long)model.CaretOffset());
        QFAIL("the view left the model");
      }
    }
  }

  void wordsLinesAndPages() {
    V().SetText("one two, three\r\nfour");
    struct Case {
      Qt::Key key;
      Qt::KeyboardModifiers mods;
      Offset from, anchor, caret;
    };
    const Case cases[] = {
        {Qt::Key_Right, Qt::ControlModifier, 0, 4, 4},
        {Qt::Key_Right, Qt::ControlModifier, 4, 7, 7},     // "two"
        {Qt::Key_Right, Qt::ControlModifier, 7, 9, 9},     // ", "
        {Qt::Key_Right, Qt::ControlModifier, 14, 16, 16},  // over the break
        {Qt::Key_Left, Qt::ControlModifier, 16, 14, 14},
        {Qt::Key_Left, Qt::ControlModifier, 9, 7, 7},
        {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, 13, 13, 9},
        {Qt::Key_End, Qt::NoModifier, 2, 14, 14},
        {Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier, 2, 2, 20},
        {Qt::Key_Home, Qt::ControlModifier, 18, 0, 0},
        {Qt::Key_Down, Qt::NoModifier, 3, 19, 19},
        {Qt::Key_Up, Qt::ShiftModifier, 18, 18, 2},
        {Qt::Key_PageDown, Qt::NoModifier, 0, 20, 16},
    };
    for (const Case& c : cases) {
      V().SetSelection(c.from, 0);
      QTest::keyClick(&V(), c.key, c.mods);
      QCOMPARE(V().CaretOffset(), c.caret);
      if (c.key != Qt::Key_PageDown) QCOMPARE(V().Anchor(), c.anchor);
    }
    // Ctrl+Backspace and Ctrl+Delete take words.
    V().SetSelection(13, 0);
    QTest::keyClick(&V(), Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(V().Text(), std::string("one two, e\r\nfour"));
    V().SetSelection(0, 0);
    QTest::keyClick(&V(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(V().Text(), std::string("two, e\r\nfour"));
  }

  void overwriteAndReadOnly() {
    V().SetText("abc\r\nd");
    V().SetSelection(1, 0);
    QTest::keyClick(&V(), Qt::Key_Insert);
    QVERIFY(V().Overwrite());
    QTest::keyClicks(&V(), "XYZ");
    QCOMPARE(V().Text(), std::string("aXYZ\r\nd"));  // never the line break
    V().SetReadOnly(true);
    QTest::keyClicks(&V(), "q");
    QTest::keyClick(&V(), Qt::Key_Backspace);
    QCOMPARE(V().Text(), std::string("aXYZ\r\nd"));
  }

  void typingIsUndoneByWords() {
    QTest::keyClicks(&V(), "one two");
    QCOMPARE(V().Text(), std::string("one two"));
    V().Undo();
    QCOMPARE(V().Text(), std::string("one"));
    V().Undo();
    QCOMPARE(V().Text(), std::string(""));
    V().Redo();
    QCOMPARE(V().Text(), std::string("one"));
  }

  void refusedCharacter() {
    QSignalSpy refused(&V(), &EditorView::inputRefused);
    QTest::sendKeyEvent(QTest::Click, &V(), Qt::Key_unknown, QString(QChar(0x4E2D)), Qt::NoModifier);
    QInputMethodEvent commit;
    commit.setCommitString(QString(QChar(0x0161)) + QChar(0x3042));  // one fits, one does not
    QApplication::sendEvent(&V(), &commit);
    QCOMPARE(V().Text(), std::string(""));
    QCOMPARE(refused.count(), 2);
    QInputMethodEvent dead;  // a dead key's result arrives as a commit string
    dead.setCommitString(QString(QChar(0xE8)));
    QApplication::sendEvent(&V(), &dead);
    QCOMPARE(V().Text(), std::string("\xE8"));
  }

  // x of every column on lines with tabs and high bytes, both ways.
  void geometryFollowsTheWidthTable() {
    V().SetText(std::string("ab\tc\x80\xFF\t\t\xE9x\r\n\tA\xC4\xB3\tend"));
    const WidthTable& t = V().Glyphs().Widths();
    for (Offset line = 0; line < 2; ++line) {
      const std::string text = V().Line(line);
      const Offset start = V().LineToOffset(line);
      for (Offset col = 0; col <= static_cast<Offset>(text.size()); ++col) {
        const double want = t.XOfColumn(text.data(), static_cast<Offset>(text.size()), col);
        QCOMPARE(V().XOfOffset(start + col), want);
        const QPoint p = V().PointOfOffset(start + col);
        QCOMPARE(p.x(), qRound(want + V().Margin()));
        // A click just right of a column's left edge lands on it.
        QCOMPARE(V().OffsetAt(QPoint(p.x() + 1, p.y() + 2)), start + col);
      }
    }
    // A tab after exactly one stop's worth of text is a whole stop wide.
    const double stop = V().Glyphs().TabStop();
    std::string fill;
    while (t.EndX(fill.data(), static_cast<Offset>(fill.size())) < stop - 1e-6) fill += 'm';
    const double x = t.EndX(fill.data(), static_cast<Offset>(fill.size()));
    if (std::abs(x - stop) < 1e-6) {
      V().SetText(fill + "\tz");
      QVERIFY(V().XOfOffset(static_cast<Offset>(fill.size()) + 1) - x > stop - 1e-6);
    }
  }

  void longLinesScrollWithoutWalkingThemAgain() {
    std::string line(3'000'000, 'x');
    for (std::size_t i = 0; i < line.size(); i += 97) line[i] = '\t';
    V().SetText(line + "\r\nshort");
    const Offset mid = 1'500'001;
    V().SetSelection(mid, 0);
    V().ScrollToCaret();
    const QRect caret = V().CaretRect();
    QVERIFY(V().viewport()->rect().contains(caret.topLeft()));
    QCOMPARE(V().OffsetAt(caret.topLeft() + QPoint(1, 1)), mid);
    // Typing there moves only what follows.
    QTest::keyClicks(&V(), "ab");
    QCOMPARE(V().XOfOffset(mid + 2), V().Glyphs().Widths().XOfColumn(V().Line(0).data(), mid + 2, mid + 2));
  }

  void wrapRowsMatchAPlainWrapper() {
    std::mt19937 rng(5);
    std::string text;
    std::vector<std::string> lines;
    for (int i = 0; i < 60; ++i) {
      lines.push_back(RandomLine(rng, i % 10 == 0 ? 200 : 30));
      text += lines.back() + (i + 1 < 60 ? "\r\n" : "");
    }
    V().SetText(text);
    V().SetWordWrap(true);
    while (!V().CountRows(1 << 20)) {
    }
    QVERIFY(V().RowsExact());
    const double width = V().viewport()->width() - 2 * V().Margin();
    Offset row = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const Offset start = V().LineToOffset(static_cast<Offset>(i));
      for (Offset r : ReferenceRows(lines[i], V().Glyphs().Widths(), width)) {
        Offset s, e;
        V().RowRange(row++, s, e);
        QCOMPARE(s, start + r);
      }
    }
    QCOMPARE(V().RowCount(), row);
    // Narrower: rows again, and the caret's row found.
    V().resize(300, 300);
    while (!V().CountRows(1 << 20)) {
    }
    V().SetSelection(V().TextLength(), 0);
    Offset s, e;
    V().RowRange(V().RowOfOffset(V().TextLength()), s, e);
    QCOMPARE(e, V().TextLength());
  }

  void accessibleText() {
    V().SetText("first line\r\nsecond\r\nthird");
    V().SetAnchorCaret(14, 8);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&V());
    QVERIFY(a);
    QAccessibleTextInterface* t = a->textInterface();
    QVERIFY(t);
    QCOMPARE(t->characterCount(), 25);
    QCOMPARE(t->text(0, 5), QString("first"));
    QCOMPARE(t->cursorPosition(), 8);
    int s = 0, e = 0;
    QCOMPARE(t->selectionCount(), 1);
    t->selection(0, &s, &e);
    QCOMPARE(s, 8);
    QCOMPARE(e, 14);
    QCOMPARE(t->textAtOffset(14, QAccessible::LineBoundary, &s, &e), QString("second\r\n"));
    QCOMPARE(t->textAfterOffset(14, QAccessible::LineBoundary, &s, &e), QString("third"));
    QCOMPARE(t->textBeforeOffset(14, QAccessible::LineBoundary, &s, &e), QString("first line\r\n"));
    QCOMPARE(t->textAtOffset(2, QAccessible::WordBoundary, &s, &e), QString("first"));
    t->setSelection(0, 1, 3);
    QCOMPARE(V().SelText(), std::string("ir"));
    t->setCursorPosition(20);
    QCOMPARE(V().CaretOffset(), Offset(20));
    QCOMPARE(t->offsetAtPoint(t->characterRect(3).center()), 3);
    QVERIFY(a->state().multiLine);
  }

  void terminalIsADisplayMappingOnly() {
    QTest::keyClicks(&V(), "x");
    V().SetText("\xC4\xB3\xDA");
    QTest::keyClicks(&V(), "y");
    CharAttributes at = V().DefaultAttributes();
    at.fontName = "Terminal";
    V().SetDefaultAttributes(at);
    QCOMPARE(V().DisplayString(0, 3), QString::fromUtf8("y\xE2\x94\x80\xE2\x94\x82"));
    QCOMPARE(V().CharacterSet(), Codepage::Cp437);
    QVERIFY(V().CanUndo());  // nothing set again
    QCOMPARE(V().Text(), std::string("y\xC4\xB3\xDA"));
  }

  void colorRunsPaintAndStayOutOfTheText() {
    V().SetText("red green");
    V().SetRangeColor(0, 3, 0x0000FF);  // 0x00BBGGRR: red
    const ColorRuns::RangeAttributes a = V().RangeAttributes(0, 3);
    QCOMPARE(a.value.color, 0x0000FFu);
    QVERIFY(a.sameColor);
    QVERIFY(!V().RangeAttributes(2, 3).sameColor);
    QCOMPARE(V().RangeAttributes(4, 5).value.fontName, std::string("Courier New"));
    QCOMPARE(V().Text(), std::string("red green"));
    V().SetColors(Qt::white, Qt::black);
    const QImage shot = V().viewport()->grab().toImage();
    bool red = false, black = false;
    for (int x = 0; x < 120; ++x)
      for (int y = 0; y < 20; ++y) {
        const QColor c = shot.pixelColor(x, y);
        red |= c.red() > 150 && c.green() < 80 && c.blue() < 80;
        black |= c.red() < 60 && c.green() < 60 && c.blue() < 60;
      }
    QVERIFY(red);
    QVERIFY(black);
  }

  void selectionStaysVisibleWithoutFocus() {
    V().SetText("selected text");
    V().SetColors(Qt::white, Qt::black);
    V().SetSelection(0, 8);
    V().clearFocus();
    const QImage shot = V().viewport()->grab().toImage();
    const QColor highlight = V().palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(shot.pixelColor(V().Margin() + 1, 2), highlight);
  }

  void mouseSelects() {
    V().SetText("alpha beta\r\ngamma");
    const QPoint beta = V().PointOfOffset(7) + QPoint(1, 3);
    QTest::mouseDClick(V().viewport(), Qt::LeftButton, Qt::NoModifier, beta);
    QCOMPARE(V().SelText(), std::string("beta"));
    QTest::mouseClick(V().viewport(), Qt::LeftButton, Qt::NoModifier, V().PointOfOffset(1) + QPoint(1, 3));
    QCOMPARE(V().CaretOffset(), Offset(1));
    QTest::mouseClick(V().viewport(), Qt::LeftButton, Qt::ShiftModifier, V().PointOfOffset(14) + QPoint(1, 3));
    QCOMPARE(V().Anchor(), Offset(1));
    QCOMPARE(V().CaretOffset(), Offset(14));
    // Outside the selection a press starts a new one (inside it would drag the text).
    QTest::mouseClick(V().viewport(), Qt::LeftButton, Qt::NoModifier, V().PointOfOffset(16) + QPoint(1, 3));
    QTest::mousePress(V().viewport(), Qt::LeftButton, Qt::NoModifier, V().PointOfOffset(2) + QPoint(1, 3));
    QTest::mouseMove(V().viewport(), V().PointOfOffset(13) + QPoint(1, 3));
    QTest::mouseRelease(V().viewport(), Qt::LeftButton, Qt::NoModifier, V().PointOfOffset(13) + QPoint(1, 3));
    QCOMPARE(V().Anchor(), Offset(2));
    QCOMPARE(V().CaretOffset(), Offset(13));
    // A third click right after a double click takes the line with its break.
    QTest::mouseDClick(V().viewport(), Qt::LeftButton, Qt::NoModifier, beta);
    QTest::mousePress(V().viewport(), Qt::LeftButton, Qt::NoModifier, beta);
    QTest::mouseRelease(V().viewport(), Qt::LeftButton, Qt::NoModifier, beta);
    QCOMPARE(V().SelText(), std::string("alpha beta\r\n"));
    // A double-click snapped to just after a word means that word; on
    // other signs, their run.
    struct Click {
      const char* text;
      Offset at;
      const char* selected;
    };
    const Click clicks[] = {{"alpha beta", 5, "alpha"}, {"a == b", 3, "=="}};
    for (const Click& c : clicks) {
      V().SetText(c.text);
      QTest::mouseDClick(V().viewport(), Qt::LeftButton, Qt::NoModifier, V().PointOfOffset(c.at) + QPoint(0, 3));
      QCOMPARE(V().SelText(), std::string(c.selected));
    }
  }
};

QTEST_MAIN(EditorViewTest)
#include "editor_view_test.moc"
