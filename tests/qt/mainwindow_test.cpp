// The main window's life, offscreen, against an in-memory store.
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/SettingsIO.h"
#include "editor/qt/EditorView.h"
#include "app/qt/MainQuillora.h"
#include "platform/Store.h"
#include "platform/qt/MessageBox.h"
#include "TestSupport.h"

using namespace ql;

namespace {




void Put(MemoryStore& store, std::initializer_list<std::pair<const char*, const char*>> options) {
  for (const auto& [name, value] : options) store.WriteString(kOptionsKey, name, value);
}

struct Started {
  std::vector<std::vector<std::string>> params;
  std::vector<std::string> dirs;
  void Attach(TFormQuillora& f) {
    f.SetInstanceStarter([this](const std::vector<std::string>& p, const std::string& d) {
      params.push_back(p);
      dirs.push_back(d);
    });
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void newDocumentTitleAndStatus() {
    MemoryStore store;
    TFormQuillora form(store, {});
    form.Start();
    QCOMPARE(form.windowTitle(), QString("Quillora  <Untitled>"));
    QCOMPARE(form.ApplicationTitleText(), std::string("Norvane Quillora  <Untitled>"));
    QCOMPARE(form.StatusText(0), std::string("Quillora v1.81"));
    QCOMPARE(form.DocFileName(), std::string("Untitled"));

    form.Editor()->ReplaceSelection("x");
    QCOMPARE(form.windowTitle(), QString("Quillora  <Untitled> *"));
    QCOMPARE(form.ApplicationTitleText(), std::string("Norvane Quillora  <Untitled> *"));
    form.SetModified(false);
  }

  void firstRunWritesUsageOnceAndOpensNothing() {
    QTemporaryDir dir;
    const std::string file = (dir.path() + "/a.txt").toStdString();
    QVERIFY(WriteFile(QString::fromStdString(file), "hello"));

    MemoryStore store;
    ScriptedBoxes boxes;
    {
      TFormQuillora form(store, {"/FirstRun", file});
      Started started;
      started.Attach(form);
      form.Start();
      QCOMPARE(form.DocFileName(), std::string("Untitled"));
      QVERIFY(started.params.empty());
    }
    QCOMPARE(boxes.seen.size(), size_t(1));
    QCOMPARE(boxes.seen[0].caption, std::string("Quillora Info"));
    QCOMPARE(boxes.seen[0].flags, 64u);
    QVERIFY(boxes.seen[0].text.find("You have just installed \"Quillora v1.81\"") == 0);
    QCOMPARE(store.ReadString(kBaseKey, "OpenCounter"), std::optional<std::string>("1"));
    const auto installed = store.ReadString(kBaseKey, "InstallDate");
    QVERIFY(installed && installed->size() > 20);
    QVERIFY(store.ReadValue(kBaseKey, "OpenTimer"));

    // A second /FirstRun keeps the earlier values but shows the box again.
    store.WriteString(kBaseKey, "InstallDate", "earlier");
    {
      TFormQuillora form(store, {"/FirstRun"});
      form.Start();
    }
    QCOMPARE(boxes.seen.size(), size_t(2));
    QCOMPARE(store.ReadString(kBaseKey, "InstallDate"), std::optional<std::string>("earlier"));
  }

  void questionMarkShowsHelpAndOpensNothing() {
    MemoryStore store;
    ScriptedBoxes boxes;
    TFormQuillora form(store, {"/?", "a.txt"});
    Started started;
    started.Attach(form);
    form.Start();
    QCOMPARE(boxes.seen.size(), size_t(1));
    QCOMPARE(boxes.seen[0].text,
             std::string("Quillora doesn't support other\ncommand line parameters than filenames."));
    QCOMPARE(boxes.seen[0].flags, 64u);
    QCOMPARE(form.DocFileName(), std::string("Untitled"));
    QVERIFY(started.params.empty());
  }

  void fileArgumentsOpenFirstAndStartOthers() {
    QTemporaryDir dir;
    const std::string first = (dir.path() + "/first doc.txt").toStdString();
    QVERIFY(WriteFile(QString::fromStdString(first), "one\r\ntwo \x80\x9f\r\n"));

    MemoryStore store;
    TFormQuillora form(store, {first, "second \"quoted\".txt", "/?"});
    Started started;
    started.Attach(form);
    form.Start();
    QCOMPARE(form.DocFileName(), first);
    QCOMPARE(form.EditorText(), std::string("one\r\ntwo \x80\x9f\r\n"));
    QVERIFY(!form.Modified());
    // Windows-1252 bytes are no UTF-8: the status bar says so.
    QCOMPARE(form.StatusText(0), std::string("Opened from CommandLine: \"first doc.txt\"  (8-bit bytes: "
                                             "invalid UTF-8 at byte 10: a byte no character starts with)"));
    // Each further argument goes, as it is, to a copy of its own.
    QCOMPARE(started.params.size(), size_t(2));
    QCOMPARE(started.params[0], std::vector<std::string>{"second \"quoted\".txt"});
    QCOMPARE(started.params[1], std::vector<std::string>{"/?"});
    QCOMPARE(started.dirs[0], std::string());
  }

  void instanceCommandResults() {
    MemoryStore store;
    TFormQuillora form(store, {});
    form.Start();
    form.SetEditorText("one two\r\nthree\r\n");
    QCOMPARE(HandleInstanceCommand(10, form), 16LL);
    QCOMPARE(HandleInstanceCommand(11, form), 1LL);  // two lines, the empty last one not counted
    QCOMPARE(HandleInstanceCommand(12, form), 4LL);  // each line feed after CR starts a word
    QCOMPARE(HandleInstanceCommand(3, form), 1LL);  // not modified: nothing to save
    form.SetModified(false);
    QCOMPARE(HandleInstanceCommand(1, form), 1LL);
    QCOMPARE(form.StatusText(0), std::string("Settings saved to registry!"));
    QVERIFY(store.ReadValue(kOptionsKey, "TabSize"));
  }

  void saveSettingsNeverReportsAFailedWriteAsSaved() {
    MemoryStore store;
    TFormQuillora form(store, {});
    form.Start();
    store.SetFailWrites(true);
    form.SaveSettings_Cmd();
    QVERIFY(form.StatusText(0) != "Settings saved to registry!");
  }

  void cancelInExitPromptWritesNothing() {
    MemoryStore store;
    ScriptedBoxes boxes({}, 2);  // Cancel
    TFormQuillora form(store, {});
    form.Start();
    form.Editor()->ReplaceSelection("unsaved");
    QVERIFY(form.Modified());
    QVERIFY(!form.close());
    QCOMPARE(boxes.seen.size(), size_t(1));
    QCOMPARE(boxes.seen[0].caption, std::string("Save before quiting?"));
    QCOMPARE(boxes.seen[0].flags, 35u);
    QCOMPARE(store.FlushCount(), 0);
    QVERIFY(!store.KeyExists(kBaseKey));
    form.SetModified(false);
  }

  void closeWithoutAutoSaveUpdatesOnlyUsage() {
    MemoryStore store;
    WriteFirstRunValues(store, "then");
    Put(store, {{"SaveSettingsAuto", "0"}, {"TabSize", "24"}});
    TFormQuillora form(store, {});
    form.Start();
    form.Options().TabSize = 30;
    QVERIFY(form.close());
    QCOMPARE(store.ReadString(kBaseKey, "OpenCounter"), std::optional<std::string>("2"));
    QCOMPARE(store.ReadString(kOptionsKey, "TabSize"), std::optional<std::string>("24"));
  }

  void closeWithAutoSaveWritesOptions() {
    MemoryStore store;
    TFormQuillora form(store, {});
    form.Start();
    form.Options().TabSize = 30;
    QVERIFY(form.close());
    QCOMPARE(store.ReadString(kOptionsKey, "TabSize"), std::optional<std::string>("30"));
    QVERIFY(!store.ReadValue(kBaseKey, "OpenCounter"));  // only /FirstRun creates it
  }

  void yesWithFailedSaveKeepsWindowOpen() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/ro.txt";
    QVERIFY(WriteFile(path, "x"));
    MemoryStore store;
    TFormQuillora form(store, {path.toStdString()});
    form.SetInstanceStarter([](const std::vector<std::string>&, const std::string&) {});
    form.Start();
    form.Editor()->ReplaceSelection("changed ");
    // The file vanishes into a directory we cannot write: the save fails.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    ScriptedBoxes boxes({}, 6);  // Yes, save
    QVERIFY(!form.close());
    QVERIFY(form.Modified());
    QVERIFY(boxes.seen.size() >= 2);  // the question, then the failure
    form.SetModified(false);
  }

  void togglesReportAndApply() {
    MemoryStore store;
    TFormQuillora form(store, {});
    form.Start();
    form.Action("FullPathOpt")->trigger();
    QVERIFY(form.Options().Checked(Check::FullPathOpt));
    QVERIFY(form.Action("FullPathOpt")->isChecked());
    QCOMPARE(form.StatusText(0), std::string("Full path in TitleBar = true"));
    form.Action("WordWrapOpt")->trigger();
    QVERIFY(!form.Editor()->WordWrap());
    QCOMPARE(form.StatusText(0), std::string("WordWrap = false"));
    form.Action("StatusBarOpt")->trigger();
    QVERIFY(form.statusBar()->isHidden());
    form.Action("Theme3")->trigger();
    QCOMPARE(form.Options().BackColor, 0x000000u);
    QCOMPARE(form.Options().TextColor, 0x00FF00u);
    QCOMPARE(form.Editor()->palette().color(QPalette::Text), QColor(0, 255, 0));
    QCOMPARE(form.Options().FontNameScreen, std::string("Courier New"));
  }

  void placementRestoredOnReturnFromDialog() {
    MemoryStore store;
    Put(store, {{"Window", "0"}, {"MainTop", "40"}, {"MainLeft", "50"}, {"MainWidth", "500"}, {"MainHeight", "400"}});
    TFormQuillora form(store, {});
    form.Start();
    QCOMPARE(form.pos(), QPoint(50, 40));
    QCOMPARE(form.size(), QSize(500, 400));
    form.move(200, 220);
    QDialog dialog(&form);
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    form.ExecModal(dialog);
    QCOMPARE(form.pos(), QPoint(50, 40));
  }

  void placementClampedToScreen() {
    MemoryStore store;
    Put(store,
        {{"Window", "0"}, {"MainTop", "-5000"}, {"MainLeft", "90000"}, {"MainWidth", "300"}, {"MainHeight", "200"}});
    TFormQuillora form(store, {});
    form.Start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(QRect(form.pos(), form.size())));
  }

  void statusPanelWidthsFollowWindow() {
    MemoryStore store;
    Put(store, {{"Window", "0"}, {"MainWidth", "1000"}, {"MainHeight", "500"}});
    TFormQuillora form(store, {});
    form.Start();
    const int w = form.frameGeometry().width();
    auto* p0 = form.findChild<QLabel*>("StatusPanel0");
    auto* p1 = form.findChild<QLabel*>("StatusPanel1");
    QTRY_COMPARE(p0->width(), w * 55 / 100);
    QCOMPARE(p1->width(), w * 11 / 100);
  }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
