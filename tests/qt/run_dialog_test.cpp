// "Run!": the arguments a program really gets, what is remembered, every
// failure told and never remembered, the history and its drop-down in step.
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "dialogs/Run.h"
#include "dialogs/qt/RunDialog.h"
#include "platform/qt/QtText.h"
#include "TestSupport.h"

using namespace ql;

namespace {

const QString kDumper = QStringLiteral(QL_TEST_HELPER_DIR "/argv_dump");
const std::string kSep(1, kRunSeparator);

struct TestHost : RunHost {
  std::string doc = "Untitled";
  std::vector<std::string> list;
  std::string savesAs;  // what "saving first" names the document; "" = cancelled
  int saves = 0;
  std::string DocFileName() const override { return doc; }
  std::vector<std::string>& RunList() override { return list; }
  bool SaveDocumentFirst() override {
    ++saves;
    if (!savesAs.empty()) doc = savesAs;
    return !savesAs.empty();
  }
};

QStringList Items(const QComboBox* c) {
  QStringList out;
  for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
  return out;
}

// The three boxes: file, parameters, initial folder.
QStringList Fields(const TFormRun& d) {
  return {d.FileName_Combo->currentText(), d.Param_Edit->text(), d.InitialDir_Edit->text()};
}

}  // namespace

class RunDialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  QByteArray oldPath_;
  QList<QUrl> opened_;

  QString P(const QString& name) const { return tmp_.path() + "/" + name; }
  void Type(TFormRun& d, const QString& file, const QString& params, const QString& folder) {
    d.FileName_Combo->setEditText(file);
    d.Param_Edit->setText(params);
    d.InitialDir_Edit->setText(folder);
  }

 public slots:
  void Opened(const QUrl& url) { opened_ << url; }

 private slots:
  void initTestCase() {
    oldPath_ = qgetenv("PATH");
    QVERIFY(InstallOpener(P("bin")));
    QDesktopServices::setUrlHandler("https", this, "Opened");
  }
  void cleanupTestCase() { QDesktopServices::unsetUrlHandler("https"); }
  void init() { opened_.clear(); }
  void cleanup() { qputenv("PATH", oldPath_); }

  void splitsAsSplitCommandDoes_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "a b\tc";
    QTest::newRow("quoted blanks") << "\"/home/me/my file.txt\" -x";
    QTest::newRow("glued quotes") << "pre\"fix mid\"post";
    QTest::newRow("empty pair") << "a \"\" b";
    QTest::newRow("triple quotes") << "say \"\"\"hi\"\"\" \"a \"\"\" b\"";
    QTest::newRow("four and five") << "\"\"\"\" x \"\"\"\"\"y";
    QTest::newRow("unterminated") << "\"open end";
    QTest::newRow("trailing quote") << "end\"";
    QTest::newRow("shell characters") << "$HOME;rm -rf x|y&z>w `id` 'q' \\";
    QTest::newRow("placeholders") << "\"%F%\" %D%x %%";
    QTest::newRow("line breaks") << "a\nb\r\nc\vd\fe";
    QTest::newRow("unicode blanks") << QString::fromUtf8("a\xC2\xA0" "b\xE2\x80\x83" "c\xE3\x80\x80" "d\xE2\x80\xA8" "e\xC2\x85" "f\xE2\x80\x8B" "g");
    QTest::newRow("accents") << QString::fromUtf8("caf\xC3\xA9 \"na\xC3\xAFve quote\"");
  }
  void splitsAsSplitCommandDoes() {
    QFETCH(QString, text);
    QStringList ours;
    for (const std::string& a : SplitArguments(QToPath(text))) ours << PathToQ(a);
    QCOMPARE(ours, QProcess::splitCommand(text));
  }

  void opensWithTheLastRun() {
    TestHost host;
    {
      TFormRun empty(nullptr, host, 0x00FFFF, 0x0000FF);
      QCOMPARE(empty.windowTitle(), QString("Run!"));
      QCOMPARE(empty.FileName_Combo->count(), 0);
      QCOMPARE(Fields(empty), (QStringList{"", "\"%F%\"", "%D%"}));
      QCOMPARE(empty.Param_Edit->palette().color(QPalette::Base), QColor(255, 255, 0));
      QCOMPARE(empty.Param_Edit->palette().color(QPalette::Text), QColor(255, 0, 0));
      QVERIFY(empty.Run_Btn->isDefault());
    }
    host.list = {"/bin/a" + kSep + "-x" + kSep + "/tmp" + kSep, "b" + kSep + "-y" + kSep,
                 "only a name", "/bin/a" + kSep + "-z" + kSep + "" + kSep};
    TFormRun d(nullptr, host, 0x80000005, 0x80000008);
    QCOMPARE(Items(d.FileName_Combo), (QStringList{"/bin/a", "b", "only a name", "/bin/a"}));
    QCOMPARE(Fields(d), (QStringList{"/bin/a", "-x", "/tmp"}));
    // A missing field leaves its box as it is.
    d.FileName_ComboChange(1);
    QCOMPARE(Fields(d), (QStringList{"b", "-y", "/tmp"}));
    d.FileName_ComboChange(2);
    QCOMPARE(Fields(d), (QStringList{"only a name", "-y", "/tmp"}));
    // The same file twice in the list: each item brings its own entry.
    d.FileName_ComboChange(3);
    QCOMPARE(Fields(d), (QStringList{"/bin/a", "-z", ""}));
  }

  void programGetsItsArgumentsAndIsRemembered() {
    TestHost host;
    QVERIFY(QDir().mkpath(P("my docs")));
    host.doc = QToPath(P("my docs/a \"b\" $c; %D%.txt"));
    TFormRun d(nullptr, host, 0x80000005, 0x80000008);
    const QString out = P("dump1");
    ScriptedBoxes boxes;
    Type(d, kDumper, "\"" + out + "\" \"%F%\" %d% \"x;y $HOME\" %%F%", "%D%");
    d.Run_Cmd();
    QCOMPARE(boxes.Texts(), std::vector<std::string>{});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 5000);
    QCOMPARE(Dumped(out), (QStringList{QDir(P("my docs")).canonicalPath(), PathToQ(host.doc),
                                         P("my docs/"), "x;y $HOME", "%F%"}));
    // Remembered as typed; the dialog stays with it on top.
    const std::string entry = RunEntry({QToPath(kDumper), QToPath("\"" + out + "\" \"%F%\" %d% \"x;y $HOME\" %%F%"), "%D%"});
    QCOMPARE(host.list, std::vector<std::string>{entry});
    QCOMPARE(Items(d.FileName_Combo), QStringList{kDumper});
    QCOMPARE(d.FileName_Combo->currentText(), kDumper);

    // Same again: one entry. Other parameters: two entries, two items.
    d.Run_Cmd();
    QCOMPARE(host.list.size(), std::size_t(1));
    d.Param_Edit->setText("\"" + P("dump2") + "\"");
    d.Run_Cmd();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(P("dump2")), 5000);
    QCOMPARE(host.list.size(), std::size_t(2));
    QCOMPARE(Items(d.FileName_Combo), (QStringList{kDumper, kDumper}));
    d.FileName_ComboChange(1);
    QCOMPARE(d.Param_Edit->text(), "\"" + out + "\" \"%F%\" %d% \"x;y $HOME\" %%F%");
    // Letter case counts in file names.
    d.FileName_Combo->setEditText("/bin/TRUE");
    d.Run_Cmd();
    QCOMPARE(boxes.Texts(), std::vector<std::string>{"The file was not found!"});
    QCOMPARE(host.list.size(), std::size_t(2));
  }

  void failuresAreToldAndNotRemembered_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("params");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("text");
    const QString plain = P("plain.txt");
    QTest::newRow("empty name") << "" << "" << "" << "There is no program or file to run!\nType its name or choose it with Browse.";
    QTest::newRow("blank name") << "  " << "" << "" << "There is no program or file to run!\nType its name or choose it with Browse.";
    QTest::newRow("missing path") << P("no/such/prog") << "" << "" << "The file was not found!";
    QTest::newRow("missing name") << "no-such-program-quillora" << "" << "" << "The file was not found!";
    QTest::newRow("missing folder") << "/bin/true" << "" << P("gone") << QString("The initial folder was not found!\n\"%1\"").arg(P("gone"));
    QTest::newRow("not a program, parameters") << plain << "-x" << "" << "\"" + plain + "\"\nis not a program: it opens with its default program, which takes no parameters.\nEmpty the parameters to open it.";
    QTest::newRow("invalid program") << P("garbage") << "" << "" << "Invalid file!";
    QTest::newRow("address, parameters") << "https://example.org/" << "x" << "" << "\"https://example.org/\"\nis not a program: it opens with its default program, which takes no parameters.\nEmpty the parameters to open it.";
  }
  void failuresAreToldAndNotRemembered() {
    QFETCH(QString, file);
    QFETCH(QString, params);
    QFETCH(QString, folder);
    QFETCH(QString, text);
    QVERIFY(WriteFile(P("plain.txt"), "text\n"));
    QVERIFY(WriteFile(P("garbage"), "\x01\x02 no program\n"));
    QVERIFY(QFile::setPermissions(P("garbage"), QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner));
    TestHost host;
    host.doc = QToPath(P("plain.txt"));
    host.list = {"old" + kSep + kSep + kSep};
    TFormRun d(nullptr, host, 0x80000005, 0x80000008);
    Type(d, file, params, folder);
    ScriptedBoxes boxes;
    d.Run_Cmd();
    QCOMPARE(boxes.seen, (std::vector<Box>{{QToUtf8(text), "An Error Occured!", 16}}));
    QCOMPARE(host.list, std::vector<std::string>{"old" + kSep + kSep + kSep});
    QVERIFY(opened_.isEmpty());
  }

  void documentsGoToTheirProgram() {
    TestHost host;
    QVERIFY(WriteFile(P("page.htm"), "<p>\n"));
    TFormRun d(nullptr, host, 0x80000005, 0x80000008);
    ScriptedBoxes boxes;
    // Nothing opens this type: told, not remembered.
    UseOpener(P("bin"), P("opened"), 3);
    Type(d, P("page.htm"), "", "");
    d.Run_Cmd();
    QTRY_COMPARE_WITH_TIMEOUT(d.Pending(), 0, 5000);
    QCOMPARE(boxes.Texts(), std::vector<std::string>{"File is not associated!"});
    QVERIFY(host.list.empty());
    QCOMPARE(Dumped(P("opened")).mid(1), QStringList{P("page.htm")});
    // Opened: remembered.
    UseOpener(P("bin"), P("opened"), 0);
    d.Run_Cmd();
    QTRY_COMPARE_WITH_TIMEOUT(d.Pending(), 0, 5000);
    QCOMPARE(boxes.seen.size(), std::size_t(1));
    QCOMPARE(host.list, std::vector<std::string>{RunEntry({QToPath(P("page.htm")), "", ""})});
    // An address goes to the browser.
    Type(d, "https://example.org/a?b=1", "", "%D%");
    d.Run_Cmd();
    QCOMPARE(opened_, QList<QUrl>{QUrl("https://example.org/a?b=1")});
    QCOMPARE(host.list.size(), std::size_t(2));
    QCOMPARE(d.FileName_Combo->itemText(0), QString("https://example.org/a?b=1"));
  }

  void untitledDocumentIsSavedFirst() {
    TestHost host;
    TFormRun d(nullptr, host, 0x80000005, 0x80000008);
    const QString out = P("dump3");
    QFile::remove(out);
    Type(d, kDumper, "\"" + out + "\" %F%", "");
    {
      ScriptedBoxes no({7});
      d.Run_Cmd();
      QCOMPARE(no.Captions(), std::vector<std::string>{"Run!"});
      QCOMPARE(no.seen[0].flags, 36u);
    }
    QCOMPARE(host.saves, 0);
    {
      ScriptedBoxes yes({6});
      d.Run_Cmd();  // the save is cancelled
    }
    QCOMPARE(host.saves, 1);
    QTest::qWait(100);
    QVERIFY(!QFileInfo::exists(out));
    QVERIFY(host.list.empty());
    host.savesAs = QToPath(P("saved.txt"));
    {
      ScriptedBoxes yes({6});
      d.Run_Cmd();
      QCOMPARE(yes.Captions(), std::vector<std::string>{"Run!"});
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 5000);
    QCOMPARE(Dumped(out).mid(1), QStringList{P("saved.txt")});
    // %%F% names no file: nothing to ask.
    host.doc = "Untitled";
    Type(d, "/bin/true", "%%F% %D%", "");
    ScriptedBoxes none;
    d.Run_Cmd();
    QVERIFY(none.seen.empty());
    QCOMPARE(host.list.front(), RunEntry({"/bin/true", "%%F% %D%", ""}));
  }

  void enterRunsAndEscapeCloses() {
    TestHost host;
    host.doc = QToPath(P("doc.txt"));
    TFormRun d(nullptr, host, 0x80000005, 0x80000008);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    const QString out = P("dump4");
    Type(d, kDumper, "\"" + out + "\" %F%", "");
    d.Param_Edit->setFocus();
    QTest::keyClick(d.Param_Edit, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 5000);
    QCOMPARE(Dumped(out).mid(1), QStringList{P("doc.txt")});
    QVERIFY(d.isVisible());  // the dialog stays for the next run
    QTest::keyClick(d.FileName_Combo, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
  }

  void browseAndClear() {
    TestHost host;
    host.list = {"/bin/true" + kSep + "a" + kSep + "b" + kSep, "/bin/false" + kSep + kSep + kSep};
    TFormRun d(nullptr, host, 0x80000005, 0x80000008);
    std::string asked;
    d.SetChooser([&](const std::string& start) {
      asked = start;
      return QToPath(P("tools/prog"));
    });
    d.InitialDir_Edit->setText("");
    d.Browse_Cmd();
    QCOMPARE(d.FileName_Combo->currentText(), P("tools/prog"));
    QCOMPARE(d.InitialDir_Edit->text(), P("tools/"));
    d.SetChooser([](const std::string&) { return std::string(); });
    d.Browse_Cmd();  // cancelled
    QCOMPARE(d.FileName_Combo->currentText(), P("tools/prog"));

    {
      ScriptedBoxes no({7});
      d.Clear_Cmd();
      QCOMPARE(no.Texts(), std::vector<std::string>{"Are you sure you want to clear the entire run list?"});
      QCOMPARE(no.Captions(), std::vector<std::string>{"Clear RunList"});
    }
    QCOMPARE(host.list.size(), std::size_t(2));
    QCOMPARE(d.FileName_Combo->count(), 2);
    ScriptedBoxes yes({6});
    d.Clear_Cmd();
    QVERIFY(host.list.empty());
    QCOMPARE(d.FileName_Combo->count(), 0);
    QCOMPARE(d.FileName_Combo->currentText(), P("tools/prog"));
    QCOMPARE(d.InitialDir_Edit->text(), P("tools/"));
  }
};

QTEST_MAIN(RunDialogTest)
#include "run_dialog_test.moc"
