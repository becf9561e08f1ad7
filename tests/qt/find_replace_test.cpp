// The Find/Replace dialog on the real window, offscreen, with scripted
// answers for the message boxes and the confirmation dialog.
#include <QAction>
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
#include "tools/qt/FindReplaceDialog.h"

using namespace ql;

namespace {


}  // namespace

class FindReplaceTest : public QObject {
  Q_OBJECT

  MemoryStore store_;
  std::unique_ptr<TFormQuillora> form_;

  TFormFindReplace* Open() {
    form_->FindRep_Open();
    return form_->FindReplaceDialog();
  }

 private slots:
  void init() {
    store_ = MemoryStore();
    form_ = std::make_unique<TFormQuillora>(store_, std::vector<std::string>{});
    form_->Start();
  }
  void cleanup() {
    form_->SetModified(false);
    form_.reset();
  }

  void buttonsFollowTheFindTextAndTheOrigin() {
    form_->Buffer().SetText("one two");
    TFormFindReplace* d = Open();
    QVERIFY(d->isVisible());
    QVERIFY(!d->Find_Btn->isEnabled());
    QVERIFY(!d->Selection_Radio->isEnabled());  // no selection in the editor
    d->Find_Combo->setEditText("two");
    QVERIFY(d->Find_Btn->isEnabled() && d->ReplaceAll_Btn->isEnabled());
    d->hide();
    form_->Buffer().SetSelection(0, 3);
    d = Open();
    QCOMPARE(d->Find_Combo->currentText(), QString("one"));  // the selection
    d->Selection_Radio->click();
    QVERIFY(!d->Replace_Btn->isEnabled() && !d->ReplaceAll_Btn->isEnabled());
    QVERIFY(d->Find_Btn->isEnabled());
    d->Find_Combo->setEditText("on");
    QVERIFY(d->Replace_Btn->isEnabled());  // whichever ran last decides
  }

  void findFromStartSwitchesToFromCursor() {
    form_->Buffer().SetText("cat x cat y cat");
    form_->Buffer().SetSelection(14, 0);
    TFormFindReplace* d = Open();
    d->Find_Combo->setEditText("cat");
    d->FromStart_Radio->click();
    d->Find_Btn->click();
    QVERIFY(!d->isVisible());
    QCOMPARE(form_->Buffer().SelStart(), Offset(0));
    QCOMPARE(form_->Buffer().SelLength(), Offset(3));
    QVERIFY(form_->Action("FindNext1")->isEnabled());
    QVERIFY(form_->Action("FindNext2")->isEnabled());
    d = Open();
    QVERIFY(d->FromCursor_Radio->isChecked());
    d->Find_Btn->click();
    QCOMPARE(form_->Buffer().SelStart(), Offset(6));
    form_->FindNext_Cmd();  // F3
    QCOMPARE(form_->Buffer().SelStart(), Offset(12));
    form_->FindNext2_MouseMove();
    QCOMPARE(form_->Action("FindNext2")->toolTip(),
             QString("Find the next search string (F3):\n\n\"cat\""));
    QCOMPARE(form_->Action("FindNext2")->statusTip(), QString("Find the next search string (F3)"));
  }

  void findAllCountsOverlapsAndStaysOpen() {
    form_->Buffer().SetText("aaaa");
    TFormFindReplace* d = Open();
    d->Find_Combo->setEditText("aa");
    d->FromStart_Radio->click();
    ScriptedBoxes boxes;
    d->FindAll_Btn->click();
    QCOMPARE(boxes.Texts(), std::vector<std::string>{"The string \"aa\" was found 3 times."});
    QVERIFY(d->isVisible());
    QVERIFY(d->FromStart_Radio->isChecked());  // Find All keeps the origin
  }

  void promptedReplaceAllAnsweredYes() {
    form_->Buffer().SetText("aaa");
    TFormFindReplace* d = Open();
    d->Find_Combo->setEditText("a");
    d->Replace_Combo->setEditText("aa");
    int asked = 0;
    form_->SetConfirmHandler([&](const std::string& f, const std::string& r, bool all) {
      ++asked;
      return f == "a" && r == "aa" && all ? ConfirmAnswer::Yes : ConfirmAnswer::Closed;
    });
    ScriptedBoxes boxes;
    d->ReplaceAll_Btn->click();
    QCOMPARE(asked, 3);
    QCOMPARE(form_->EditorText(), std::string("aaaaaa"));
    QCOMPARE(boxes.Texts().back(), std::string("The string: \"a\" was replaced by \"aa\" 3 times."));
    QVERIFY(form_->Modified());
    QVERIFY(!d->isVisible());
  }

  void singleConfirmedReplaceMarksModified() {
    form_->Buffer().SetText("x old y");
    form_->SetModified(false);
    TFormFindReplace* d = Open();
    d->Find_Combo->setEditText("old");
    d->Replace_Combo->setEditText("new");
    d->FromStart_Radio->click();
    form_->SetConfirmHandler([](const std::string&, const std::string&, bool) { return ConfirmAnswer::Yes; });
    d->Replace_Btn->click();
    QCOMPARE(form_->EditorText(), std::string("x new y"));
    QVERIFY(form_->Modified());
  }

  void multiLineSelectionGoesToTheHistoryWithCr() {
    form_->Buffer().SetText("ab\r\ncd");
    form_->Buffer().SelectAll();
    TFormFindReplace* d = Open();
    ScriptedBoxes boxes;
    d->FindAll_Btn->click();
    QVERIFY(!form_->Lists().FindHistory.empty() || d->Find_Combo->count() > 0);
    QCOMPARE(d->Find_Combo->itemText(0).toStdString(), std::string("ab\rcd"));
    d->hide();
    QCOMPARE(form_->Lists().FindHistory.front(), std::string("ab\rcd"));
  }
};

QTEST_MAIN(FindReplaceTest)
#include "find_replace_test.moc"
