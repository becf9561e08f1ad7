// The Find/Replace dialog on the real window, offscreen, with scripted
// answers for the message boxes and the confirmation dialog.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "editor/qt/EditorView.h"
#include "app/qt/MainQuillora.h"
#include "platform/Store.h"
#include "platform/qt/MessageBox.h"
#include "TestSupport.h"
#include "WindowFixture.h"
#include "app/SettingsIO.h"
#include "platform/qt/OwnerWindow.h"
#include "tools/qt/ConfirmReplaceDialog.h"
#include "tools/qt/FindReplaceDialog.h"

using namespace ql;

namespace {

// Answers the real "Confirm" boxes as they come up, one action each (then
// "N&o to All"), and records what each showed.
class ConfirmScript {
 public:
  using Action = std::function<void(ConfirmReplaceDialog*)>;
  struct Seen {
    QStringList buttons;  // captions, left to right
    QWidget* owner = nullptr;
    QString title, text;
    Offset selStart = -1;
  };

  ConfirmScript(TFormQuillora& form, std::vector<Action> actions) : form(form), actions_(std::move(actions)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(5);
  }
  std::vector<Seen> seen;

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    auto* box = qobject_cast<ConfirmReplaceDialog*>(modal);
    if (!box) {
      // Some other box: not the one under test; record it and send it away.
      if (auto* other = qobject_cast<QDialog*>(modal); other && other->isVisible()) {
        seen.push_back({{"other box"}, other->parentWidget(), other->windowTitle(), {}, -1});
        other->reject();
      }
      return;
    }
    if (!box->isVisible() || box->property("answered").toBool()) return;
    box->setProperty("answered", true);
    Seen s;
    QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](QPushButton* a, QPushButton* b) { return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x(); });
    for (QPushButton* b : buttons) s.buttons << b->text();
    s.owner = box->parentWidget();
    s.title = box->windowTitle();
    if (auto* label = box->findChild<QLabel*>("Confirm_Text")) s.text = label->text();
    s.selStart = form.Buffer().SelStart();
    seen.push_back(s);
    if (next_ < actions_.size())
      actions_[next_++](box);
    else if (box->NoToAll_Btn)
      box->NoToAll_Btn->click();
    else
      box->No_Btn->click();
  }

  TFormQuillora& form;
  std::vector<Action> actions_;
  std::size_t next_ = 0;
  QTimer timer_;
};

void PressEsc(ConfirmReplaceDialog* box) { QTest::keyClick(box, Qt::Key_Escape); }
void CloseBox(ConfirmReplaceDialog* box) { box->close(); }
void PressNo(ConfirmReplaceDialog* box) { box->No_Btn->click(); }
void PressYes(ConfirmReplaceDialog* box) { box->Yes_Btn->click(); }

// Records message boxes with the window that owns them at the time.
class OwnedBoxes {
 public:
  OwnedBoxes() {
    SetMsgBoxHook([this](const std::string& text, const std::string& caption, unsigned) {
      seen.push_back({text, caption, OwnerWindow()});
      return 7;  // No to the wrap question
    });
  }
  ~OwnedBoxes() { SetMsgBoxHook(nullptr); }
  struct Seen {
    std::string text, caption;
    QWidget* owner;
  };
  std::vector<Seen> seen;
};

}  // namespace

class FindReplaceTest : public QObject, private WindowFixture {
  Q_OBJECT

  TFormFindReplace* OpenTool() {
    form->FindRep_Open();
    return form->FindReplaceDialog();
  }
  // Opened with both texts typed, searching from the start.
  TFormFindReplace* OpenTool(const QString& find, const QString& replace) {
    TFormFindReplace* d = OpenTool();
    d->Find_Combo->setEditText(find);
    d->Replace_Combo->setEditText(replace);
    d->FromStart_Radio->click();
    return d;
  }
  // The tool window active above the shown main window; null if either
  // never became active.
  TFormFindReplace* OpenToolActive() {
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get())) return nullptr;
    TFormFindReplace* d = OpenTool();
    d->activateWindow();
    return QTest::qWaitFor([d] { return QApplication::activeWindow() == d; }) ? d : nullptr;
  }

 private slots:
  void init() { Start(); }
  void cleanup() { Stop(); }

  void buttonsFollowTheFindTextAndTheOrigin() {
    form->Buffer().SetText("one two");
    TFormFindReplace* d = OpenTool();
    QVERIFY(d->isVisible());
    QVERIFY(!d->Find_Btn->isEnabled());
    QVERIFY(!d->Selection_Radio->isEnabled());  // no selection in the editor
    d->Find_Combo->setEditText("two");
    QVERIFY(d->Find_Btn->isEnabled() && d->ReplaceAll_Btn->isEnabled());
    d->hide();
    form->Buffer().SetSelection(0, 3);
    d = OpenTool();
    QCOMPARE(d->Find_Combo->currentText(), QString("one"));  // the selection
    d->Selection_Radio->click();
    QVERIFY(!d->Replace_Btn->isEnabled() && !d->ReplaceAll_Btn->isEnabled());
    QVERIFY(d->Find_Btn->isEnabled());
    d->Find_Combo->setEditText("on");
    QVERIFY(d->Replace_Btn->isEnabled());  // whichever ran last decides
  }

  void findFromStartSwitchesToFromCursor() {
    form->Buffer().SetText("cat x cat y cat");
    form->Buffer().SetSelection(14, 0);
    TFormFindReplace* d = OpenTool();
    d->Find_Combo->setEditText("cat");
    d->FromStart_Radio->click();
    d->Find_Btn->click();
    QVERIFY(!d->isVisible());
    QCOMPARE(form->Buffer().SelStart(), Offset(0));
    QCOMPARE(form->Buffer().SelLength(), Offset(3));
    QVERIFY(form->Action("FindNext1")->isEnabled());
    QVERIFY(form->Action("FindNext2")->isEnabled());
    d = OpenTool();
    QVERIFY(d->FromCursor_Radio->isChecked());
    d->Find_Btn->click();
    QCOMPARE(form->Buffer().SelStart(), Offset(6));
    form->FindNext_Cmd();  // F3
    QCOMPARE(form->Buffer().SelStart(), Offset(12));
    form->FindNext2_MouseMove();
    QCOMPARE(form->Action("FindNext2")->toolTip(),
             QString("Find the next search string (F3):\n\n\"cat\""));
    QCOMPARE(form->Action("FindNext2")->statusTip(), QString("Find the next search string (F3)"));
  }

  void findAllCountsOverlapsAndStaysOpen() {
    form->Buffer().SetText("aaaa");
    TFormFindReplace* d = OpenTool();
    d->Find_Combo->setEditText("aa");
    d->FromStart_Radio->click();
    ScriptedBoxes boxes;
    d->FindAll_Btn->click();
    QCOMPARE(boxes.Texts(), std::vector<std::string>{"The string \"aa\" was found 3 times."});
    QVERIFY(d->isVisible());
    QVERIFY(d->FromStart_Radio->isChecked());  // Find All keeps the origin
  }

  void promptedReplaceAllAnsweredYes() {
    form->Buffer().SetText("aaa");
    TFormFindReplace* d = OpenTool();
    d->Find_Combo->setEditText("a");
    d->Replace_Combo->setEditText("aa");
    int asked = 0;
    form->SetConfirmHandler([&](const std::string& f, const std::string& r, bool all) {
      ++asked;
      return f == "a" && r == "aa" && all ? ConfirmAnswer::Yes : ConfirmAnswer::Closed;
    });
    ScriptedBoxes boxes;
    d->ReplaceAll_Btn->click();
    QCOMPARE(asked, 3);
    QCOMPARE(form->EditorText(), std::string("aaaaaa"));
    QCOMPARE(boxes.Texts().back(), std::string("The string: \"a\" was replaced by \"aa\" 3 times."));
    QVERIFY(form->Modified());
    QVERIFY(!d->isVisible());
  }

  void singleConfirmedReplaceMarksModified() {
    form->Buffer().SetText("x old y");
    form->SetModified(false);
    TFormFindReplace* d = OpenTool("old", "new");
    form->SetConfirmHandler([](const std::string&, const std::string&, bool) { return ConfirmAnswer::Yes; });
    d->Replace_Btn->click();
    QCOMPARE(form->EditorText(), std::string("x new y"));
    QVERIFY(form->Modified());
  }

  // The real box: its buttons in order, Esc and the close button answer
  // "closed" (the same occurrence again), No goes on with the neighbour
  // right behind, and the box and the result stand above the tool window.
  void confirmBoxAnswersAndOwner() {
    form->Buffer().SetText("ababab");
    form->SetModified(false);
    TFormFindReplace* d = OpenTool("ab", "X");
    OwnedBoxes boxes;
    ConfirmScript script(*form, {PressEsc, CloseBox, PressNo, PressNo});
    d->ReplaceAll_Btn->click();
    const std::vector<Offset> offered = {0, 0, 0, 2, 4};
    QCOMPARE(script.seen.size(), offered.size());
    for (std::size_t i = 0; i < offered.size(); ++i) {
      const ConfirmScript::Seen& s = script.seen[i];
      QCOMPARE(s.selStart, offered[i]);
      QCOMPARE(s.buttons, QStringList({"&Yes", "&No", "N&o to All", "Yes to &All"}));
      QCOMPARE(s.owner, static_cast<QWidget*>(d));
      QCOMPARE(s.title, QString("Confirm"));
      QCOMPARE(s.text, QString("Replace: \"ab\"\nWith: \"X\""));
    }
    QCOMPARE(form->EditorText(), std::string("ababab"));
    QVERIFY(!form->Modified());  // nothing replaced
    QCOMPARE(boxes.seen.size(), std::size_t(1));
    QCOMPARE(boxes.seen[0].text, std::string("The string: \"ab\" was replaced by \"X\" 0 times."));
    QCOMPARE(boxes.seen[0].owner, static_cast<QWidget*>(d));
  }

  // Replace asks with Yes and No only; No leaves the caret just after the
  // occurrence, so the next Replace offers the neighbour; with the tool
  // window hidden, F3's boxes stand above the main window.
  void singleReplaceNoThenNeighbour() {
    form->Buffer().SetText("abab");
    TFormFindReplace* d = OpenTool("ab", "X");
    {
      OwnedBoxes boxes;
      ConfirmScript script(*form, {PressNo, PressYes});
      d->Replace_Btn->click();
      QCOMPARE(form->Buffer().SelStart(), Offset(2));
      d->Replace_Btn->click();
      QCOMPARE(script.seen.size(), std::size_t(2));
      QCOMPARE(script.seen[0].buttons, QStringList({"&Yes", "&No"}));
      QCOMPARE(script.seen[0].selStart, Offset(0));
      QCOMPARE(script.seen[1].selStart, Offset(2));
      QCOMPARE(form->EditorText(), std::string("abX"));
      QVERIFY(boxes.seen.empty());
    }
    d->Close_Btn->click();
    OwnedBoxes boxes;
    form->FindNext_Cmd();  // no further "ab": the count, then the wrap question
    QCOMPARE(boxes.seen.size(), std::size_t(2));
    for (const auto& b : boxes.seen) QCOMPARE(b.owner, static_cast<QWidget*>(form.get()));
  }

  // With the tool window active its access keys act on its own controls;
  // nothing reaches the main window's menu bar or shortcuts.
  void accessKeysStayInTheToolWindow() {
    struct Row {
      const char* name;
      std::vector<Qt::Key> keys;  // each with Alt
      std::function<bool(TFormFindReplace*)> done;
    };
    const std::vector<Row> rows = {
        {"Alt+E focuses the replace box", {Qt::Key_E}, [](TFormFindReplace* d) { return d->Replace_Combo->hasFocus(); }},
        {"Alt+N focuses the find box", {Qt::Key_E, Qt::Key_N}, [](TFormFindReplace* d) { return d->Find_Combo->hasFocus(); }},
        {"Alt+S ticks Case sensitive", {Qt::Key_S}, [](TFormFindReplace* d) { return d->Case_Chk->isChecked() && d->FromCursor_Radio->isChecked(); }},
        {"Alt+S again chooses From start", {Qt::Key_S, Qt::Key_S}, [](TFormFindReplace* d) { return d->Case_Chk->isChecked() && d->FromStart_Radio->isChecked(); }},
        {"Alt+W ticks whole words", {Qt::Key_W}, [](TFormFindReplace* d) { return d->WholeWord_Chk->isChecked(); }},
        {"Alt+P unticks Prompt", {Qt::Key_P}, [](TFormFindReplace* d) { return !d->Prompt_Chk->isChecked(); }},
        {"Alt+T chooses Within selection", {Qt::Key_T}, [](TFormFindReplace* d) { return d->Selection_Radio->isChecked(); }},
        {"Alt+S Alt+S Alt+O goes back to From cursor", {Qt::Key_S, Qt::Key_S, Qt::Key_O}, [](TFormFindReplace* d) { return d->FromCursor_Radio->isChecked(); }},
        {"Alt+F presses Find", {Qt::Key_F}, [this](TFormFindReplace* d) { return !d->isVisible() && form->Buffer().SelStart() == 13; }},
        {"Alt+X presses Find Next", {Qt::Key_X}, [this](TFormFindReplace* d) { return d->isVisible() && form->Buffer().SelStart() == 13; }},
        {"Alt+C closes", {Qt::Key_C}, [](TFormFindReplace* d) { return !d->isVisible(); }},
        {"Alt+H is nobody's here", {Qt::Key_H}, [](TFormFindReplace* d) { return d->isVisible() && d->Find_Combo->hasFocus(); }},
    };
    form->Buffer().SetText("one text two text");
    for (const Row& row : rows) {
      form->Buffer().SetSelection(4, 4);
      form->SetModified(false);
      TFormFindReplace* d = OpenToolActive();
      QVERIFY2(d, row.name);
      d->Case_Chk->setChecked(false);
      d->WholeWord_Chk->setChecked(false);
      d->Prompt_Chk->setChecked(true);
      d->FromCursor_Radio->setChecked(true);
      QVERIFY(d->Find_Combo->hasFocus());
      OwnedBoxes boxes;
      for (Qt::Key key : row.keys) QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
      QVERIFY2(row.done(d), row.name);
      QVERIFY2(!QApplication::activePopupWidget(), row.name);  // no main menu opened
      QVERIFY2(boxes.seen.empty(), row.name);
      QCOMPARE(form->EditorText(), std::string("one text two text"));
      d->hide();
    }
  }

  // Alt+E, then typing, then Ctrl+X on a check box: all in the tool window.
  void typingInTheToolWindowNeverEditsTheDocument() {
    form->Buffer().SetText("one text two");
    form->Buffer().SetSelection(4, 4);
    form->SetModified(false);
    TFormFindReplace* d = OpenToolActive();
    QVERIFY(d);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), "text");
    QCOMPARE(d->Replace_Combo->currentText(), QString("text"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);  // the box's own Select All
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::ControlModifier);  // and its own Cut
    QCOMPARE(d->Replace_Combo->currentText(), QString());
    d->WholeWord_Chk->setFocus();
    for (Qt::Key key : {Qt::Key_X, Qt::Key_V, Qt::Key_Z, Qt::Key_N})
      QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(form->EditorText(), std::string("one text two"));
    QVERIFY(!form->Modified());
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY(d->isVisible());

    // Enter still presses the default button, Esc still closes.
    d->Find_Combo->setFocus();
    d->Find_Combo->setEditText("two");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!d->isVisible());
    QCOMPARE(form->Buffer().SelStart(), Offset(9));
    d = OpenToolActive();
    QVERIFY(d);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!d->isVisible());
  }

  // What is typed is what is searched, whatever the history holds.
  void findBoxNeverCompletesFromTheHistory() {
    form->Lists().FindHistory = {"aa", "ab"};
    form->Buffer().SetText("a aa ab");
    form->Buffer().SetSelection(0, 0);
    TFormFindReplace* d = OpenToolActive();
    QVERIFY(d);
    QCOMPARE(d->Find_Combo->count(), 2);
    d->Find_Combo->clearEditText();
    QTest::keyClicks(d->Find_Combo->lineEdit(), "a");
    QCOMPARE(d->Find_Combo->currentText(), QString("a"));
    d->FromStart_Radio->click();
    ScriptedBoxes boxes;
    d->FindAll_Btn->click();
    QCOMPARE(boxes.Texts(), std::vector<std::string>{"The string \"a\" was found 4 times."});
  }

  // The histories are the window's lists at every moment, so settings
  // saved while the tool window is open (Ctrl+E, shutdown) hold them.
  void historiesSavedWhileTheToolWindowIsOpen() {
    form->Buffer().SetText("needle hay");
    TFormFindReplace* d = OpenTool();
    d->Find_Combo->setEditText("needle");
    d->Replace_Combo->setEditText("pin");
    ScriptedBoxes boxes({}, 7);
    d->FindAll_Btn->click();
    d->FromStart_Radio->click();
    d->Prompt_Chk->setChecked(false);
    d->Replace_Combo->setEditText("pin");
    d->Find_Combo->setEditText("hay");
    d->Replace_Btn->click();
    QVERIFY(d->isVisible());
    form->Action("SaveSettings1")->trigger();  // Ctrl+E
    QCOMPARE(store.ReadString(kFindKey, "Find0"), std::optional<std::string>("hay"));
    QCOMPARE(store.ReadString(kFindKey, "Find1"), std::optional<std::string>("needle"));
    QCOMPARE(store.ReadString(kFindKey, "Replace0"), std::optional<std::string>("pin"));

    d->Find_Combo->setEditText("last");
    d->FindAll_Btn->click();
    QVERIFY(d->isVisible());
    form->SetModified(false);
    QVERIFY(form->close());  // shutdown with the tool window open
    QCOMPARE(store.ReadString(kFindKey, "Find0"), std::optional<std::string>("last"));
    QCOMPARE(store.ReadString(kFindKey, "Find2"), std::optional<std::string>("needle"));
  }

  void multiLineSelectionGoesToTheHistoryWithCr() {
    form->Buffer().SetText("ab\r\ncd");
    form->Buffer().SelectAll();
    TFormFindReplace* d = OpenTool();
    ScriptedBoxes boxes;
    d->FindAll_Btn->click();
    QVERIFY(!form->Lists().FindHistory.empty() || d->Find_Combo->count() > 0);
    QCOMPARE(d->Find_Combo->itemText(0).toStdString(), std::string("ab\rcd"));
    d->hide();
    QCOMPARE(form->Lists().FindHistory.front(), std::string("ab\rcd"));
  }
};

QTEST_MAIN(FindReplaceTest)
#include "find_replace_test.moc"
