// Unsaved text through a kill: a helper window types a scripted sequence
// with its journal on and is killed with SIGKILL; a new window offers the
// journal back and recovers the text as of the last write, caret included.
// Also: the base file changed, deleted or replaced; torn journals; two
// instances at once; No and Discard; several journals; the journal removed
// on save, revert, new and "No" at closing; a full disk and an unusable
// folder turning journaling off with one message.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "app/JournalWriter.h"
#include "app/RecoveryFolder.h"
#include "app/qt/MainQuillora.h"
#include "app/qt/RecoveryKeeper.h"
#include "editor/qt/EditorView.h"
#include "platform/Store.h"
#include "TestSupport.h"

using namespace ql;

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// What the helper expects back: anchor, caret and the text.
struct Expected {
  Offset anchor = -1, caret = -1;
  std::string text;
};
Expected ReadExpected(const std::string& path) {
  Expected e;
  std::istringstream in(Slurp(path));
  in >> e.anchor >> e.caret;
  in.get();
  std::getline(in, e.text, '\0');
  return e;
}

// A typist helper process, killed on request.
struct Typist {
  QProcess process;
  std::string expected;
  bool Start(const std::string& folder, const std::string& owner, const std::string& out,
             const std::string& file = "") {
    expected = out;
    QStringList args{QString::fromStdString(folder), QString::fromStdString(owner), QString::fromStdString(out)};
    if (!file.empty()) args << QString::fromStdString(file);
    process.start(QL_TEST_HELPER_DIR "/journal_typist", args);
    if (!process.waitForStarted(10000)) return false;
    while (!process.canReadLine())
      if (!process.waitForReadyRead(20000)) return false;
    return process.readLine().trimmed() == "ready";
  }
  void Kill() {
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    process.waitForFinished(10000);
  }
  ~Typist() {
    if (process.state() != QProcess::NotRunning) Kill();
  }
};

std::string Owner(int n) { return "instance-" + std::to_string(getpid()) + "-" + std::to_string(1000 + n); }

}  // namespace

class RecoveryTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  MemoryStore store_;
  std::vector<std::pair<std::string, std::string>> started_;  // journal, dir
  int owners_ = 0;

  std::string Folder() const { return (dir_.path() + "/state/quillora/recovery").toStdString(); }
  std::string File(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }

  std::unique_ptr<TFormQuillora> Window() {
    auto form = std::make_unique<TFormQuillora>(store_, std::vector<std::string>{});
    form->SetInstanceStarter([](const std::vector<std::string>&, const std::string&) {});
    form->SetRecoveryStarter([this](const std::string& j, const std::string& d) { started_.emplace_back(j, d); });
    form->EnableRecovery(Folder(), Owner(++owners_));
    form->Start();
    return form;
  }
  std::vector<std::string> Journals() const { return ListJournals(Folder()); }
  bool StartTypist(Typist& t, const char* expected, const std::string& file = "") {
    return t.Start(Folder(), Owner(++owners_), File(expected), file);
  }
  // A typist killed at once: its journal is left for the next window.
  bool KilledTypist(const char* expected) {
    Typist t;
    if (!StartTypist(t, expected)) return false;
    t.Kill();
    return true;
  }
  static void Type(TFormQuillora& form, const std::string& text) {
    form.Editor()->Type(text);
    QCoreApplication::processEvents();
  }

 private slots:
  void init() {
    QDir(dir_.path()).removeRecursively();
    QDir().mkpath(dir_.path());
    started_.clear();
  }

  void killedTypistIsRecoveredAsOfItsLastWrite_data() {
    QTest::addColumn<QString>("base");  // the file the typist edits, and what happens to it
    QTest::newRow("untitled") << "untitled";
    QTest::newRow("file unchanged") << "same";
    QTest::newRow("file changed") << "changed";
    QTest::newRow("file deleted") << "deleted";
    QTest::newRow("file replaced") << "replaced";
  }
  void killedTypistIsRecoveredAsOfItsLastWrite() {
    QFETCH(QString, base);
    const std::string file = File("notes.txt");
    if (base != "untitled") QVERIFY(WriteFile(QString::fromStdString(file), "line one\nline two\n"));
    Typist typist;
    QVERIFY(StartTypist(typist, "expected", base == "untitled" ? "" : file));
    typist.Kill();
    const Expected want = ReadExpected(File("expected"));
    QVERIFY2(want.text.find(" end\r\nsecond tail") != std::string::npos, want.text.c_str());
    if (base == "changed") QVERIFY(WriteFile(QString::fromStdString(file), "someone else's\n"));
    if (base == "deleted") QVERIFY(QFile::remove(QString::fromStdString(file)));
    if (base == "replaced") {
      QVERIFY(WriteFile(QString::fromStdString(file + ".x"), "line one\nline two\n"));
      QVERIFY(::rename((file + ".x").c_str(), file.c_str()) == 0);
    }
    QCOMPARE(Journals().size(), size_t(1));

    auto form = Window();
    ScriptedBoxes boxes({6});
    form->StartRecovery("");
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Recover unsaved text?"});
    QCOMPARE(boxes.seen[0].flags, 35u);
    const std::string named = base == "untitled" ? "Untitled" : "\"" + file + "\"";
    QVERIFY2(boxes.seen[0].text.find(named + "  (last changed ") != std::string::npos, boxes.seen[0].text.c_str());
    QCOMPARE(form->EditorText(), want.text);  // " LOST" never reached the disk
    QCOMPARE(form->Editor()->Anchor(), want.anchor);
    QCOMPARE(form->Editor()->CaretOffset(), want.caret);
    QVERIFY(form->Modified());
    const bool same = base == "same";
    QCOMPARE(form->DocFileName(), same ? file : std::string("Untitled"));
    if (base == "untitled" || same) {
      QVERIFY2(form->StatusText(0).rfind("Recovered: ", 0) == 0, form->StatusText(0).c_str());
    } else {
      QVERIFY2(form->StatusText(0).find("Recovered as Untitled: \"" + file + "\"") == 0, form->StatusText(0).c_str());
    }
    // The recovered text is journaled again, under our name; the old journal is gone.
    form->Recovery()->Wait();
    QCOMPARE(Journals().size(), size_t(1));
    QCOMPARE(ParseJournalFileName(Journals()[0])->owner, form->Recovery()->Owner());
    if (same) {
      // Saved with the file's own line ends; the journal goes with the save.
      form->SaveFile_Cmd();
      QVERIFY(!form->Modified());
      QVERIFY(Slurp(file).find("end\nsecond tail") != std::string::npos);
      QVERIFY(Slurp(file).find('\r') == std::string::npos);
      form->Recovery()->Wait();
      QVERIFY(Journals().empty());
    }
    if (base == "changed") QCOMPARE(Slurp(file), std::string("someone else's\n"));
    form->SetModified(false);
  }

  void tornAndDamagedJournalsRecoverWhatCameBefore_data() {
    QTest::addColumn<int>("damage");  // 0 cut in the last record, 1 a flipped byte there
    QTest::newRow("torn tail") << 0;
    QTest::newRow("damaged record") << 1;
  }
  void tornAndDamagedJournalsRecoverWhatCameBefore() {
    QFETCH(int, damage);
    const std::string path = Folder() + "/" + JournalFileName("instance-999999-1", 1);
    {
      std::string error;
      QVERIFY(PrepareRecoveryFolder(Folder(), error));
      JournalWriter w;
      w.Replace(path, {DocumentRecord(JournalDocument{}), TextRecord("kept text"), CaretRecord(2, 4, 0)});
      w.Append(path, {EditRecord(0, 0, "lost ")});
      w.Wait();
    }
    std::string bytes = Slurp(path);
    if (damage == 0)
      bytes.resize(bytes.size() - 3);
    else
      bytes[bytes.size() - 6] ^= 1;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    auto form = Window();
    ScriptedBoxes boxes({6});
    form->StartRecovery("");
    QVERIFY(boxes.seen.size() == 1 && boxes.seen[0].text.find("cut short") != std::string::npos);
    QCOMPARE(form->EditorText(), std::string("kept text"));
    QCOMPARE(form->Editor()->CaretOffset(), Offset(4));
    QVERIFY(form->StatusText(0).find("journal cut short") != std::string::npos);
    form->SetModified(false);
  }

  void runningInstancesKeepTheirJournals() {
    Typist a, b;
    QVERIFY(StartTypist(a, "ea"));
    QVERIFY(StartTypist(b, "eb"));
    QCOMPARE(Journals().size(), size_t(2));
    {
      auto form = Window();
      ScriptedBoxes boxes({6});
      form->StartRecovery("");
      QCOMPARE(boxes.seen.size(), size_t(0));  // both still run: nothing offered
      QCOMPARE(form->EditorText(), std::string());
    }
    a.Kill();
    auto form = Window();
    ScriptedBoxes boxes({6});
    form->StartRecovery("");
    QCOMPARE(boxes.seen.size(), size_t(1));
    QCOMPARE(form->EditorText(), ReadExpected(File("ea")).text);
    form->Recovery()->Wait();
    // b's journal is untouched under b's name.
    std::vector<std::string> owners;
    for (const std::string& j : Journals()) owners.push_back(ParseJournalFileName(j)->owner);
    QCOMPARE(owners.size(), size_t(2));
    QVERIFY(std::find(owners.begin(), owners.end(), form->Recovery()->Owner()) != owners.end());
    b.Kill();
    form->SetModified(false);
  }

  void noKeepsJournalsDiscardRemovesThem() {
    QVERIFY(KilledTypist("e"));
    for (int answer : {7, 2}) {  // No, then Discard
      {
        auto form = Window();
        ScriptedBoxes boxes({answer});
        form->StartRecovery("");
        QCOMPARE(boxes.seen.size(), size_t(1));
        QCOMPARE(form->EditorText(), std::string());
        QVERIFY(!form->Modified());
      }
      QCOMPARE(Journals().size(), size_t(answer == 7 ? 1 : 0));  // after No: offered again at the next start
    }
  }

  void severalJournalsFirstHereOthersInNewInstances() {
    Typist a, b;
    QVERIFY(StartTypist(a, "ea"));
    QVERIFY(StartTypist(b, "eb"));
    a.Kill();
    b.Kill();
    auto form = Window();
    {
      ScriptedBoxes boxes({6});
      form->StartRecovery("");
      QCOMPARE(boxes.seen.size(), size_t(1));
    }
    QCOMPARE(started_.size(), size_t(1));
    const std::string here = form->EditorText();
    QVERIFY(here == ReadExpected(File("ea")).text || here == ReadExpected(File("eb")).text);
    // The new instance takes the handed journal over and recovers it unasked.
    auto other = Window();
    ScriptedBoxes none;
    other->StartRecovery(started_[0].first);
    QCOMPARE(none.seen.size(), size_t(0));
    QVERIFY(other->Modified());
    QCOMPARE(other->EditorText(), ReadExpected(File("ea")).text);  // both typists typed the same
    other->Recovery()->Wait();
    form->Recovery()->Wait();
    QCOMPARE(Journals().size(), size_t(2));
    form->SetModified(false);
    other->SetModified(false);
  }

  void modifiedWindowSendsTheFirstJournalToANewInstanceToo() {
    QVERIFY(KilledTypist("e"));
    auto form = Window();
    Type(*form, "mine");
    ScriptedBoxes boxes({6});
    form->StartRecovery("");
    QCOMPARE(form->EditorText(), std::string("mine"));
    QCOMPARE(started_.size(), size_t(1));
    form->SetModified(false);
  }

  void journalLastsExactlyWhileTextIsUnsaved() {
    const QString file = QString::fromStdString(File("doc.txt"));
    QVERIFY(WriteFile(file, "abc\n"));
    auto form = Window();
    form->ProcessDocument(TFormQuillora::dmOpen, "Opened:", file.toStdString());
    QVERIFY(Journals().empty());
    const auto dirty = [&] {
      Type(*form, "x");
      form->Recovery()->Wait();
      return Journals().size() == 1;
    };
    const auto gone = [&] {
      form->Recovery()->Wait();
      return Journals().empty();
    };
    QVERIFY(dirty());
    form->SaveFile_Cmd();
    QVERIFY(gone());
    QVERIFY(dirty());
    {
      ScriptedBoxes yes({6});
      form->Revert_Cmd();
    }
    QVERIFY(gone());
    QVERIFY(dirty());
    {
      ScriptedBoxes no({7});
      form->NewFile_Cmd();
    }
    QVERIFY(gone());
    QVERIFY(dirty());
    {
      ScriptedBoxes no({7});
      form->close();
    }
    QVERIFY(gone());
  }

  void fullDiskTurnsJournalingOffOnce() {
    auto form = Window();
    JournalWriter::SetSpaceLeftForTest(20);
    Type(*form, "abc");
    form->Recovery()->Wait();
    JournalWriter::SetSpaceLeftForTest(-1);
    QVERIFY2(form->StatusText(0).rfind("Recovery journal off: ", 0) == 0, form->StatusText(0).c_str());
    QVERIFY(Journals().empty());
    form->ShowStatus(0, "other");
    Type(*form, "def");
    form->Recovery()->Wait();
    QTest::qWait(50);
    QCOMPARE(form->StatusText(0).find("Recovery journal"), std::string::npos);
    QCOMPARE(form->EditorText(), std::string("abcdef"));
    const std::string file = File("saved.txt");
    form->SetFileDialogHandler([file](const std::string&, const std::string&) { return std::vector<std::string>{file}; });
    form->SaveFileAs_Cmd();
    QVERIFY(!form->Modified());
    QCOMPARE(Slurp(file), std::string("abcdef"));
  }

  void unusableFolderTurnsJournalingOff() {
    QVERIFY(WriteFile(dir_.path() + "/state", "a file where the folder would be"));
    auto form = std::make_unique<TFormQuillora>(store_, std::vector<std::string>{});
    form->EnableRecovery(Folder(), Owner(++owners_));
    form->Start();
    QVERIFY(!form->Recovery()->Enabled());
    // Said once the window is up (the first display writes panel 0 itself).
    form->StartRecovery("");
    QVERIFY2(form->StatusText(0).rfind("Recovery journal off: ", 0) == 0, form->StatusText(0).c_str());
    Type(*form, "abc");
    form->Recovery()->Wait();
    QCOMPARE(form->EditorText(), std::string("abc"));
    QVERIFY(form->Modified());
    form->SetModified(false);
  }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
