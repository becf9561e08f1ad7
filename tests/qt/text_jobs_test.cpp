// Sorting, the hexadecimal dump, the text analyzer and go-to through the
// window's menu items and tool buttons.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "functions/qt/ProcessWindow.h"
#include "tools/HexDump.h"
#include "tools/qt/GotoDialog.h"
#include "tools/qt/WordCountDialog.h"

using namespace ql;

class TextJobsTest : public QObject {
  Q_OBJECT

  WindowFixture w_;

  void Trigger(const char* name) {
    QAction* a = w_.form->Action(name);
    QVERIFY2(a && a->isEnabled(), name);
    a->trigger();
  }
  // Runs `inspect` on the dialog once it is shown modally.
  template <class Dialog, class F>
  void WhenShown(F inspect) {
    QTimer::singleShot(0, [this, inspect] {
      Dialog* dialog = w_.form->findChild<Dialog*>();
      QVERIFY(dialog);
      inspect(dialog);
      if (dialog->isVisible()) dialog->reject();
    });
  }

 private slots:
  void init() { w_.Start(); }
  void cleanup() { w_.Stop(); }

  void sortAsksThenSortsInOneStep() {
    {
      ScriptedBoxes boxes({7});
      w_.form->SetEditorText("b\r\nA");
      w_.form->SetModified(false);
      Trigger("SortLines1");
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"Sort all lines in text"});
      QCOMPARE(w_.form->EditorText(), std::string("b\r\nA"));
      QVERIFY(!w_.form->Modified());
    }
    ScriptedBoxes boxes({6});
    w_.form->SetEditorText("b\r\nA\r\na\r\nC");
    Trigger("SortLines1");
    QCOMPARE(w_.form->EditorText(), std::string("A\r\na\r\nb\r\nC\r\n"));
    QVERIFY(w_.form->Modified());
    QVERIFY(!ProcessShown());
    QVERIFY(!w_.form->EditorIsBusy());
    w_.form->Buffer().Undo();
    QCOMPARE(w_.form->EditorText(), std::string("b\r\nA\r\na\r\nC"));
  }

  void sortTakesLogicalLinesUnderWordWrap() {
    w_.form->ToggleOption(Check::WordWrapOpt);
    std::string lng;
    for (int i = 0; i < 300; ++i) lng += "zz ";
    w_.form->SetEditorText(lng + "\r\nb");
    ScriptedBoxes boxes({6});
    Trigger("SortLines1");
    QCOMPARE(w_.form->EditorText(), "b\r\n" + lng + "\r\n");
  }

  void dumpOfAnUnchangedTextAsksNothing() {
    ScriptedBoxes boxes;
    w_.form->SetEditorText("Hello, world!\r\nAB");
    w_.form->SetModified(false);
    Trigger("DumpHex1");
    QVERIFY(boxes.seen.empty());
    QCOMPARE(w_.form->EditorText(), HexDump("Hello, world!\r\nAB"));
    QCOMPARE(w_.form->StatusText(0), std::string("Hexadecimal dump complete!"));
    QVERIFY(w_.form->Modified());
    QVERIFY(!ProcessShown());
  }

  void dumpOfAnUntitledFileIsReportedAndTheTextKept() {
    bool windowDuringQuestion = true;
    std::vector<std::string> captions;
    SetMsgBoxHook([&](const std::string&, const std::string& caption, unsigned) {
      if (captions.empty()) windowDuringQuestion = ProcessShown();
      captions.push_back(caption);
      return 6;
    });
    w_.form->SetEditorText("keep me");
    w_.form->SetModified(true);
    Trigger("DumpHex1");
    SetMsgBoxHook(nullptr);
    QCOMPARE(captions, (std::vector<std::string>{"Read from disk?", "File doesn't exist!"}));
    QVERIFY(!windowDuringQuestion);  // nothing stands over the question
    QCOMPARE(w_.form->EditorText(), std::string("keep me"));
    QVERIFY(!ProcessShown());
    QVERIFY(w_.form->StatusText(0) != "Hexadecimal dump complete!");
  }

  void dumpReadsTheFileOnYes() {
    QVERIFY(WriteFile(w_.P("doc.txt"), "AB"));
    w_.Open("doc.txt");
    w_.form->Buffer().SelectAll();
    w_.form->Buffer().ReplaceSelection("changed");
    w_.form->REChange();
    QVERIFY(w_.form->Modified());
    ScriptedBoxes boxes({6});
    Trigger("DumpHex1");
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Read from disk?"});
    QCOMPARE(w_.form->EditorText(), HexDump("AB"));
  }

  void analyzerShowsTheFigures() {
    w_.form->SetEditorText("one two");
    bool seen = false;
    WhenShown<TFormWordCount>([&](TFormWordCount* d) {
      seen = true;
      QCOMPARE(d->windowTitle(), QString("Word Count - All Text"));
      QCOMPARE(d->Pages()->count(), 2);
      QCOMPARE(d->Pages()->tabText(0), QString("&General"));
      QCOMPARE(d->Pages()->currentIndex(), 0);
      QCOMPARE(d->Value("TotWord_Panel"), QString("2"));
      QCOMPARE(d->Value("TotChar_Panel"), QString("7"));
      QCOMPARE(d->Value("SelWord_Panel"), QString("0"));
      QCOMPARE(d->Value("TotLines_Panel"), QString("1"));
      QCOMPARE(d->Value("SelLines_Panel"), QString("n/a"));
      QCOMPARE(d->Value("LoChar_Panel"), QString("6"));
      QCOMPARE(d->Value("Bit7Char_Panel"), QString("7"));
      QCOMPARE(d->List()->count(), 256);
      QCOMPARE(d->List()->item(111)->text(), QString("#111:  2"));  // 'o'
      QCOMPARE(d->List()->item(0)->text(), QString("#000:  0"));
      d->findChild<QPushButton*>("Close_Btn")->click();
    });
    Trigger("CountWords1");
    QVERIFY(seen);

    seen = false;
    w_.form->Buffer().SetSelection(4, 3);
    WhenShown<TFormWordCount>([&](TFormWordCount* d) {
      seen = true;
      QCOMPARE(d->windowTitle(), QString("Word Count - Selected Text"));
      QCOMPARE(d->Value("TotWord_Panel"), QString("2"));
      QCOMPARE(d->Value("SelChar_Panel"), QString("3"));
      QCOMPARE(d->Value("LoChar_Panel"), QString("3"));
      QCOMPARE(d->List()->item(111)->text(), QString("#111:  1"));
    });
    Trigger("CountWordsChar2");
    QVERIFY(seen);
  }

  void gotoOpensOnTheCaretAndMoves() {
    w_.form->SetEditorText("one\r\ntwo\r\nthree");
    w_.form->Buffer().SetSelection(6, 0);
    bool seen = false;
    WhenShown<TFormGoto>([&](TFormGoto* d) {
      seen = true;
      QCOMPARE(d->windowTitle(), QString("Goto..."));
      QCOMPARE(d->Edit(GotoKind::Line)->text(), QString("2"));
      QCOMPARE(d->Edit(GotoKind::Char)->text(), QString("6"));
      QCOMPARE(d->Edit(GotoKind::Percent)->text(), QString("33"));
      QCOMPARE(d->Label(GotoKind::Line)->text(), QString("/ 3"));
      QCOMPARE(d->Label(GotoKind::Char)->text(), QString("/ 15"));
      QCOMPARE(d->Label(GotoKind::Percent)->text(), QString("/ 100"));
      QVERIFY(d->Radio(GotoKind::Line)->isChecked());
      // A letter disables OK, taking it away enables it again.
      QTest::keyClicks(d->Edit(GotoKind::Line), "x");
      QVERIFY(!d->OkButton()->isEnabled());
      QTest::keyClick(d->Edit(GotoKind::Line), Qt::Key_Backspace);
      QVERIFY(d->OkButton()->isEnabled());
      // Up from the line edit goes to the percent edit, Down back.
      QTest::keyClick(d->Edit(GotoKind::Line), Qt::Key_Up);
      QVERIFY(d->Radio(GotoKind::Percent)->isChecked());
      QTest::keyClick(d->Edit(GotoKind::Percent), Qt::Key_Down);
      QVERIFY(d->Radio(GotoKind::Line)->isChecked());
      QTest::keyClick(d->Edit(GotoKind::Line), Qt::Key_Down);
      QVERIFY(d->Radio(GotoKind::Char)->isChecked());
      d->Radio(GotoKind::Line)->click();
      QVERIFY(d->Radio(GotoKind::Line)->isChecked());
      d->Edit(GotoKind::Line)->setText("3");
      d->OkButton()->click();
    });
    Trigger("GotoDialog1");
    QVERIFY(seen);
    QCOMPARE(w_.form->Buffer().SelStart(), Offset(10));
    QCOMPARE(w_.form->Buffer().SelLength(), Offset(0));

    // Character 0 selects the first character; a huge line goes to the end.
    WhenShown<TFormGoto>([](TFormGoto* d) {
      d->Radio(GotoKind::Char)->click();
      d->Edit(GotoKind::Char)->setText("0");
      d->OkButton()->click();
    });
    Trigger("Goto2");
    QCOMPARE(w_.form->Buffer().SelText(), std::string("o"));
    WhenShown<TFormGoto>([](TFormGoto* d) {
      d->Edit(GotoKind::Line)->setText("99999999999999");
      d->OkButton()->click();
    });
    Trigger("GotoDialog1");
    QCOMPARE(w_.form->Buffer().SelStart(), Offset(15));
  }

  void gotoReportsWhatItCannotRead() {
    w_.form->SetEditorText("one\r\ntwo");
    w_.form->Buffer().SetSelection(6, 0);
    ScriptedBoxes boxes;
    WhenShown<TFormGoto>([](TFormGoto* d) {
      d->Edit(GotoKind::Line)->setText("-");
      d->OkButton()->click();
    });
    Trigger("GotoDialog1");
    QCOMPARE(boxes.Texts(), std::vector<std::string>{"'-' is not a valid integer value"});
    QCOMPARE(w_.form->Buffer().SelStart(), Offset(6));
  }

  void gotoOnAnEmptyDocumentSaysSo() {
    w_.form->SetEditorText("");
    ScriptedBoxes boxes;
    Trigger("GotoDialog1");
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"No Place To Go!"});
    QVERIFY(!w_.form->findChild<TFormGoto*>());
  }
};

QTEST_MAIN(TextJobsTest)
#include "text_jobs_test.moc"
