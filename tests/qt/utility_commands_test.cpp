// F9 and Alt+Enter through the real window: the dialogs open from their
// menu items, the run history is the window's, saving first goes through
// the window's own Save As.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/qt/MainQuillora.h"
#include "editor/qt/EditorView.h"
#include "dialogs/Run.h"
#include "dialogs/qt/FileInfoDialog.h"
#include "dialogs/qt/RunDialog.h"
#include "platform/qt/QtText.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

class UtilityCommandsTest : public QObject, private WindowFixture {
  Q_OBJECT

  // Runs `inside` on the modal dialog `trigger` opens, then closes it.
  template <class Dialog>
  bool WithDialog(const std::function<void()>& trigger, const std::function<void(Dialog&)>& inside) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!d) return;
      seen = true;
      inside(*d);
      d->reject();
    });
    trigger();
    return seen;
  }

 private slots:
  void init() { Start(); }
  void cleanup() { Stop(); }

  void runFromTheToolsMenu() {
    QVERIFY(form->Action("Run1")->isEnabled());
    QCOMPARE(form->Action("Run1")->shortcut(), QKeySequence("F9"));
    form->Lists().RunList = {"/bin/false" + std::string(1, kRunSeparator) + "-q" + kRunSeparator + kRunSeparator};
    QVERIFY(WriteFile(P("doc.txt"), "text\n"));
    Open("doc.txt");
    QVERIFY(WithDialog<TFormRun>([&] { form->Action("Run1")->trigger(); }, [&](TFormRun& d) {
      QCOMPARE(d.FileName_Combo->currentText(), QString("/bin/false"));
      QCOMPARE(d.Param_Edit->text(), QString("-q"));
      d.FileName_Combo->setEditText("/bin/true");
      d.Param_Edit->setText("\"%F%\"");
      d.Run_Cmd();
    }));
    QCOMPARE(form->Lists().RunList.size(), std::size_t(2));
    QCOMPARE(form->Lists().RunList.front(), RunEntry({"/bin/true", "\"%F%\"", ""}));
  }

  void untitledIsSavedThroughTheWindow() {
    form->Editor()->ReplaceSelection("new text");
    dialogAnswer = {S("first.txt")};
    ScriptedBoxes yes({6});
    QVERIFY(WithDialog<TFormRun>([&] { form->Run_Open(); }, [&](TFormRun& d) {
      d.FileName_Combo->setEditText("/bin/true");
      d.Run_Cmd();
    }));
    QCOMPARE(yes.Captions(), std::vector<std::string>{"Run!"});
    QCOMPARE(form->DocFileName(), S("first.txt"));
    QVERIFY(!form->Modified());
    QCOMPARE(form->Lists().RunList.size(), std::size_t(1));
  }

  void fileInformationOfTheDocument() {
    QVERIFY(!form->Action("FileInfo1")->isEnabled());
    QVERIFY(!form->Action("FileInfo2")->isEnabled());
    QVERIFY(WriteFile(P("info.txt"), "1234"));
    Open("info.txt");
    for (const char* name : {"FileInfo1", "FileInfo2"}) {
      QVERIFY2(form->Action(name)->isEnabled(), name);
      QVERIFY(WithDialog<TFormFileInfo>([&] { form->Action(name)->trigger(); }, [&](TFormFileInfo& d) {
        QCOMPARE(d.windowTitle(), QString("info.txt"));
        QCOMPARE(d.SizeByte_Label->text(), QString("4 bytes"));
      }));
    }
    // Gone meanwhile: the missing-file box instead.
    QVERIFY(QFile::remove(P("info.txt")));
    ScriptedBoxes boxes;
    form->FileInfo_Open();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"File doesn't exist!"});
  }
};

QTEST_MAIN(UtilityCommandsTest)
#include "utility_commands_test.moc"
