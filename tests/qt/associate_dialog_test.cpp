// "Association options" against a fake home (HOME, XDG_CONFIG_HOME and
// XDG_DATA_HOME in a temporary folder), checked with xdg-mime as well.
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <sys/stat.h>

#include "WindowFixture.h"
#include "TestSupport.h"
#include "dialogs/qt/AssociateDialog.h"
#include "platform/Store.h"
#include "platform/qt/QtSettingsStore.h"

using namespace ql;

namespace {

const QByteArray kOriginal =
    "# mine\n"
    "[Default Applications]\n"
    "text/plain=oldeditor.desktop\n"
    "text/html=oldeditor.desktop\n"
    "\n"
    "[Added Associations]\n"
    "image/png=viewer.desktop;\n";

}  // namespace

class AssociateDialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString home_, config_, data_;

  QString List() const { return config_ + "/mimeapps.list"; }

  // What the desktop's own tool says the default is.
  QString XdgDefault(const QString& mime) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "DESKTOP_SESSION",
                          "XDG_CONFIG_DIRS"})
      env.remove(v);
    p.setProcessEnvironment(env);
    p.start("xdg-mime", {"query", "default", mime});
    if (!p.waitForFinished(20000)) return "<xdg-mime hung>";
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
  }

  static void Check(QListWidget* list, int row) { list->item(row)->setCheckState(Qt::Checked); }
  // Ticks the text files and runs `command` on them.
  static void RunOnText(TFormAssociate& d, QRadioButton* command) {
    Check(d.Type1_ChkBox, 8);
    command->setChecked(true);
    d.DoCmd_Btn->click();
  }

  static QString Cell(TFormAssociate& d, const QString& ext, int column) {
    for (int i = 0; i < d.ListView1->topLevelItemCount(); ++i)
      if (d.ListView1->topLevelItem(i)->text(0) == ext) return d.ListView1->topLevelItem(i)->text(column);
    return "<no row>";
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    home_ = dir_.path() + "/home";
    config_ = home_ + "/.config";
    data_ = home_ + "/.local/share";
    QVERIFY(QDir().mkpath(config_));
    QVERIFY(QDir().mkpath(data_ + "/applications"));
    qputenv("HOME", home_.toUtf8());
    qputenv("XDG_CONFIG_HOME", config_.toUtf8());
    qputenv("XDG_DATA_HOME", data_.toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("XDG_CONFIG_DIRS");
    // The editor the user had: a desktop entry xdg-mime can resolve.
    QVERIFY(WriteFile(data_ + "/applications/oldeditor.desktop",
                      "[Desktop Entry]\nType=Application\nName=Old\nExec=/bin/cat %F\n"));
    QVERIFY(!QStandardPaths::findExecutable("xdg-mime").isEmpty());  // scripts/deps.sh installs xdg-utils
  }

  void init() {
    QFile::remove(List());
    QVERIFY(WriteFile(List(), kOriginal));
  }

  void textsAndPages() {
    MemoryStore store;
    TFormAssociate d(nullptr, store, 0x80000005, 0x80000008);
    QCOMPARE(d.windowTitle(), QString("Association options"));
    QCOMPARE(d.Type1_ChkBox->count(), 12);
    QCOMPARE(d.Type1_ChkBox->item(8)->text(), QString("Text files  (*.txt)"));
    QCOMPARE(d.Type2_ChkBox->item(1)->text(), QString("HTML file (*.htm;*.html)"));
    QCOMPARE(d.ListView1->topLevelItemCount(), 12);
    QCOMPARE(Cell(d, "txt", 2), QString("text/plain"));
    QCOMPARE(Cell(d, "txt", 1), QString("No"));
    QCOMPARE(Cell(d, "txt", 4), QString("oldeditor.desktop"));
    QCOMPARE(Cell(d, "diz", 2), QString("text/x-quillora-diz"));  // no type known for it
    d.PageCtrl->setCurrentIndex(1);
    QCOMPARE(d.ListView1->topLevelItemCount(), 4);  // bat, htm, html, reg
    QCOMPARE(d.ListView1->topLevelItem(2)->text(0), QString("html"));
    QCOMPARE(d.ListView1->topLevelItem(2)->text(2), QString("text/html"));
    d.CheckSelection(true);
    for (int i = 0; i < d.Type2_ChkBox->count(); ++i) QCOMPARE(d.Type2_ChkBox->item(i)->checkState(), Qt::Checked);
    d.SelNone_Btn->click();
    QCOMPARE(d.Type2_ChkBox->item(0)->checkState(), Qt::Unchecked);
  }

  void missingCommandOrFileIsExplainedAndWritesNothing() {
    MemoryStore store;
    TFormAssociate d(nullptr, store, 0x80000005, 0x80000008);
    ScriptedBoxes boxes;
    Check(d.Type1_ChkBox, 8);
    d.DoCmd_Btn->click();
    d.Type1_ChkBox->item(8)->setCheckState(Qt::Unchecked);
    d.AssoDefault1_Radio->setChecked(true);
    d.DoCmd_Btn->click();
    QCOMPARE(boxes.seen.size(), std::size_t(2));
    QCOMPARE(boxes.seen[0].text, std::string("Please select a command!"));
    const Box noFiles{"Select one or more files in the \"File handler\",\nand THEN click \"Do Cmd\"!",
                      "Information", 64};
    QCOMPARE(boxes.seen[1], noFiles);
    QCOMPARE(FileBytes(List()), kOriginal);
    QVERIFY(!QFile::exists(data_ + "/applications/quillora.desktop"));
    QVERIFY(!store.KeyExists("\\Software"));
  }

  void associateAndRestoreAsTheDesktopSeesIt() {
    QCOMPARE(XdgDefault("text/plain"), QString("oldeditor.desktop"));
    QtSettingsStore store;  // the program's own settings file, in the fake home
    TFormAssociate d(nullptr, store, 0x80000005, 0x80000008);
    ScriptedBoxes boxes;
    RunOnText(d, d.AssoDefault1_Radio);
    QVERIFY2(boxes.seen.empty(), boxes.seen.empty() ? "" : boxes.seen[0].text.c_str());
    QCOMPARE(XdgDefault("text/plain"), QString("quillora.desktop"));
    // The backup is on disk before the list changed.
    QCOMPARE(QtSettingsStore().ReadString(BackupKey("text/plain"), "RevertToOld"),
             std::optional<std::string>("=oldeditor.desktop"));
    QCOMPARE(XdgDefault("text/html"), QString("oldeditor.desktop"));  // not chosen, not touched
    QCOMPARE(Cell(d, "txt", 1), QString("Default"));
    QCOMPARE(Cell(d, "txt", 4), QString("quillora.desktop"));

    // Again: the first backup stays, so the restore still finds the old editor.
    d.DoCmd_Btn->click();
    d.UnAsso1_Radio->setChecked(true);
    d.DoCmd_Btn->click();
    QVERIFY(boxes.seen.empty());
    QCOMPARE(XdgDefault("text/plain"), QString("oldeditor.desktop"));
    QCOMPARE(FileBytes(List()), kOriginal);
    QCOMPARE(Cell(d, "txt", 1), QString("No"));
    QVERIFY(!QtSettingsStore().KeyExists(kAssociationsKey));
  }

  void rightClickOnTheSystemPage() {
    MemoryStore store;
    TFormAssociate d(nullptr, store, 0x80000005, 0x80000008);
    ScriptedBoxes boxes;
    d.PageCtrl->setCurrentIndex(1);
    Check(d.Type2_ChkBox, 1);  // htm and html: one type
    d.AssoRight2_Radio->setChecked(true);
    d.DoCmd_Btn->click();
    QVERIFY(boxes.seen.empty());
    QCOMPARE(XdgDefault("text/html"), QString("oldeditor.desktop"));
    QCOMPARE(Cell(d, "htm", 1), QString("Right-click"));
    QCOMPARE(Cell(d, "html", 1), QString("Right-click"));
    QVERIFY(FileBytes(List()).contains("text/html=quillora.desktop;\n"));
    d.UnAsso2_Radio->setChecked(true);
    d.DoCmd_Btn->click();
    QCOMPARE(FileBytes(List()), kOriginal);
  }

  void templatesComeAndGo() {
    MemoryStore store;
    TFormAssociate d(nullptr, store, 0x80000005, 0x80000008);
    ScriptedBoxes boxes;
    RunOnText(d, d.AddShellNew1_Radio);
    QVERIFY(QFile::exists(home_ + "/Templates/Text file.txt"));
    QCOMPARE(Cell(d, "txt", 3), QString("Yes"));
    d.DelShellNew1_Radio->setChecked(true);
    d.DoCmd_Btn->click();
    QVERIFY(!QFile::exists(home_ + "/Templates/Text file.txt"));
    QCOMPARE(Cell(d, "txt", 3), QString("No"));
    QVERIFY(boxes.seen.empty());
  }

  void aTemplatesFolderSetToHomeIsNone() {
    QVERIFY(WriteFile(config_ + "/user-dirs.dirs", "XDG_TEMPLATES_DIR=\"$HOME/\"\n"));
    MemoryStore store;
    TFormAssociate d(nullptr, store, 0x80000005, 0x80000008);
    ScriptedBoxes boxes;
    RunOnText(d, d.AddShellNew1_Radio);
    QFile::remove(config_ + "/user-dirs.dirs");
    QCOMPARE(boxes.seen.size(), std::size_t(1));
    QCOMPARE(boxes.seen[0].text, std::string("No Templates folder is set for this user."));
    QVERIFY(!QFile::exists(home_ + "/Text file.txt"));
  }

  void aReadOnlyListIsReported() {
    QVERIFY(QFile::setPermissions(List(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    MemoryStore store;
    TFormAssociate d(nullptr, store, 0x80000005, 0x80000008);
    ScriptedBoxes boxes;
    RunOnText(d, d.AssoDefault1_Radio);
    QCOMPARE(boxes.seen.size(), std::size_t(1));
    QVERIFY(boxes.seen[0].text.find("is read-only") != std::string::npos);
    QCOMPARE(boxes.seen[0].flags, 48u);
    QCOMPARE(XdgDefault("text/plain"), QString("oldeditor.desktop"));
    QFile::setPermissions(List(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  }

  void theMenuItemOpensTheDialog() {
    WindowFixture w;
    w.Start();
    QAction* item = w.form->Action("Associate1");
    QVERIFY(item->isEnabled());
    QCOMPARE(item->shortcut(), QKeySequence("F4"));
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<TFormAssociate*>(QApplication::activeModalWidget());
      seen = d != nullptr;
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    item->trigger();
    QVERIFY(seen);
    w.Stop();
  }
};

QTEST_MAIN(AssociateDialogTest)
#include "associate_dialog_test.moc"
