// Document files through the real window, offscreen: open, save, revert,
// rename, delete, the command line and the recent menus.
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "app/SettingsIO.h"
#include "editor/qt/EditorView.h"
#include "app/qt/MainQuillora.h"
#include "platform/Store.h"
#include "platform/qt/MessageBox.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

class FileCommandsTest : public QObject, private WindowFixture {
  Q_OBJECT

  std::vector<std::vector<std::string>> started_;

 private slots:
  void init() {
    Start();
    form->SetInstanceStarter(
        [this](const std::vector<std::string>& p, const std::string&) { started_.push_back(p); });
    started_.clear();
  }
  void cleanup() { Stop(); }

  void openThenSaveGivesTheSameBytes_data() {
    QTest::addColumn<QByteArray>("breakBytes");
    QTest::addColumn<bool>("finalBreak");
    for (const char* b : {"\r\n", "\n", "\r"})
      for (bool final : {false, true})
        QTest::newRow(QByteArray(b).toHex() + (final ? " final" : "")) << QByteArray(b) << final;
  }
  void openThenSaveGivesTheSameBytes() {
    QFETCH(QByteArray, breakBytes);
    QFETCH(bool, finalBreak);
    QByteArray bytes;
    for (int b = 1; b < 256; ++b) {
      if (b == 26 || b == '\r' || b == '\n') continue;
      bytes += char(b);
      if (b % 40 == 0) bytes += breakBytes;
    }
    if (finalBreak) bytes += breakBytes;
    QVERIFY(WriteFile(P("round.txt"), bytes));
    Open("round.txt");
    QCOMPARE(form->DocFileName(), S("round.txt"));
    QVERIFY(!form->Modified());
    form->Editor()->ReplaceSelection("");  // nothing typed: still the file's bytes
    form->SetModified(true);
    form->SaveFile_Cmd();
    QVERIFY(!form->Modified());
    QCOMPARE(FileBytes(P("round.txt")), bytes);
  }

  void mixedLineEndsAreSavedInTheFirstStyle() {
    QVERIFY(WriteFile(P("mixed.txt"), "a\nb\r\nc\n"));
    Open("mixed.txt");
    QVERIFY(form->StatusText(0).find("mixed line ends") != std::string::npos);
    form->SetModified(true);
    form->SaveFile_Cmd();
    QCOMPARE(FileBytes(P("mixed.txt")), QByteArray("a\nb\nc\n"));
  }

  void zeroByteAndCtrlZRaiseTheLengthPrompt() {
    QVERIFY(WriteFile(P("zero.txt"), QByteArray("abc\0def", 7)));
    {
      ScriptedBoxes boxes({7}, 7);
      Open("zero.txt");
      QCOMPARE(form->EditorText(), std::string("abc"));
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"Length Nonequal To Filesize"});
      QVERIFY(boxes.seen[0].text.find("3 characters in text.\n7 bytes in file.") == 0);
    }
    {
      ScriptedBoxes boxes({6}, 7);  // read as binary
      Open("zero.txt");
      QCOMPARE(form->EditorText(), std::string("abc\x0B" "def"));
      QVERIFY(!form->Modified());
    }
    QVERIFY(WriteFile(P("ctrlz.txt"), "ab\x1A" "cd"));
    ScriptedBoxes boxes({7}, 7);
    Open("ctrlz.txt");
    QCOMPARE(form->EditorText(), std::string("ab"));
    QCOMPARE(boxes.seen.size(), size_t(1));
    QVERIFY(WriteFile(P("empty.txt"), ""));
    Open("empty.txt");
    QCOMPARE(boxes.seen.size(), size_t(1));  // a zero-byte file opens quietly
    QCOMPARE(form->DocFileName(), S("empty.txt"));
  }

  void logFilesGetATimeStamp() {
    QVERIFY(WriteFile(P("a.log"), ".LOG\r\nfirst\r\n"));
    Open("a.log");
    QVERIFY(form->Modified());
    const std::string text = form->EditorText();
    QVERIFY(text.size() > 14 && text.compare(0, 13, ".LOG\r\nfirst\r\n") == 0);
    QCOMPARE(text.substr(text.size() - 2), std::string("\r\n"));
    QCOMPARE(form->Buffer().SelStart(), form->Buffer().TextLength());
    form->SetModified(false);
    QVERIFY(WriteFile(P("b.log"), ".log\r\nfirst\r\n"));
    Open("b.log");
    QCOMPARE(form->EditorText(), std::string(".log\r\nfirst\r\n"));
    QVERIFY(!form->Modified());
    // Revert restores the selection and adds no stamp.
    form->Buffer().SetSelection(1, 2);
    QVERIFY(WriteFile(P("b.log"), ".LOG\r\nsecond\r\n"));
    ScriptedBoxes yes({6}, 7);
    form->Revert_Cmd();
    QCOMPARE(form->EditorText(), std::string(".LOG\r\nsecond\r\n"));
    QCOMPARE(form->Buffer().SelStart(), Offset(1));
    QCOMPARE(form->Buffer().SelLength(), Offset(2));
  }

  void nfoCharactersChooseTheTerminalFont() {
    QVERIFY(WriteFile(P("art.nfo"), QByteArray(10, char(0xDB))));
    Open("art.nfo");
    QCOMPARE(form->Editor()->font().family(), QString("Terminal"));
    QVERIFY(WriteFile(P("nine.nfo"), QByteArray(9, char(0xDB))));
    Open("nine.nfo");
    QCOMPARE(form->Editor()->font().family(), QString("Courier New"));
  }

  void saveFailureKeepsTheOldFile() {
    QVERIFY(WriteFile(P("keep.txt"), "old contents"));
    Open("keep.txt");
    form->Buffer().SetText(std::string(5000, 'x'));
    form->SetModified(true);
    // A full disk: writes beyond 100 bytes fail.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    ScriptedBoxes boxes({}, 7);
    form->SaveFile_Cmd();
    setrlimit(RLIMIT_FSIZE, &old);
    QCOMPARE(FileBytes(P("keep.txt")), QByteArray("old contents"));
    QVERIFY(form->Modified());
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Couldn't save!"});
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden).size(), 0);

    // Save As to a place that cannot be written keeps the old name.
    dialogAnswer = {S("no-such-dir/new.txt")};
    form->SaveFileAs_Cmd();
    QCOMPARE(form->DocFileName(), S("keep.txt"));
    QVERIFY(form->Modified());
  }

  void saveThroughASymlinkKeepsTheLink() {
    QVERIFY(WriteFile(P("target.txt"), "before\n"));
    QVERIFY(QFile::link(P("target.txt"), P("link.txt")));
    Open("link.txt");
    form->Buffer().SetText("after\r\n");
    form->SetModified(true);
    form->SaveFile_Cmd();
    QVERIFY(QFileInfo(P("link.txt")).isSymLink());
    QCOMPARE(FileBytes(P("target.txt")), QByteArray("after\n"));
  }

  void renameOntoAnExistingName() {
    QVERIFY(WriteFile(P("one.txt"), "1"));
    QVERIFY(WriteFile(P("two.txt"), "2"));
    Open("one.txt");
    dialogAnswer = {S("two.txt")};
    ScriptedBoxes boxes({}, 7);
    form->RenMoveFile_Cmd();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Couldn't rename!"});
    QVERIFY(boxes.seen[0].text.find(S("one.txt")) < boxes.seen[0].text.find(S("two.txt")));
    dialogAnswer = {S("three.txt")};
    form->RenMoveFile_Cmd();
    QCOMPARE(form->DocFileName(), S("three.txt"));
    QCOMPARE(FileBytes(P("three.txt")), QByteArray("1"));
    QCOMPARE(form->Lists().RecentList.front(), S("three.txt"));
  }

  void deleteDiscardsOnlyAfterTheFileIsGone() {
    QVERIFY(WriteFile(P("gone.txt"), "bye"));
    Open("gone.txt");
    ScriptedBoxes boxes({6}, 7);
    form->DeleteFile_Cmd();
    QVERIFY(!QFile::exists(P("gone.txt")));
    QCOMPARE(form->DocFileName(), std::string("Untitled"));
    QCOMPARE(form->StatusText(0), std::string("New file"));
  }

  void onlyRegularFilesOpen() {
    QVERIFY(QDir().mkdir(P("folder.txt")));
    ScriptedBoxes boxes({}, 7);
    Open("folder.txt");
    QCOMPARE(form->DocFileName(), std::string("Untitled"));
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"File doesn't exist!"});
    form->FilesDropped({P("folder.txt")});
    QCOMPARE(form->DocFileName(), std::string("Untitled"));
  }

  void commandLineCreateRule() {
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
      ScriptedBoxes boxes({6}, 7);
      TFormQuillora other(store, {"fresh.txt"});
      other.Start();
      QCOMPARE(boxes.seen[0].caption, std::string("File doesn't exist!"));
      QVERIFY(QFile::exists(P("fresh.txt")));
      QCOMPARE(FileBytes(P("fresh.txt")), QByteArray());
      QCOMPARE(other.Lists().RecentList.front(), S("fresh.txt"));
      QCOMPARE(other.StatusText(0), std::string("Created: \"fresh.txt\""));
    }
    {
      ScriptedBoxes boxes({6}, 7);
      TFormQuillora other(store, {"sub/fresh.txt"});
      other.Start();
      QCOMPARE(boxes.seen.size(), size_t(2));
      QCOMPARE(boxes.seen[1].caption, std::string("Illegal filename!"));
      QCOMPARE(other.DocFileName(), std::string("Untitled"));
    }
    QDir::setCurrent(old);
  }

  void recentListAndMenus() {
    QVERIFY(WriteFile(P("a.txt"), "a"));
    QVERIFY(WriteFile(P("A.TXT"), "A"));
    QVERIFY(WriteFile(P("R&D notes.txt"), QByteArray(1536, 'k')));
    Open("a.txt");
    Open("R&D notes.txt");
    Open("A.TXT");
    const auto& list = form->Lists().RecentList;
    QCOMPARE(list[0], S("A.TXT"));
    QCOMPARE(list[1], S("R&D notes.txt"));
    QCOMPARE(list[2], S("a.txt"));  // a different file here
    QCOMPARE(list.size(), size_t(12));

    QMenu* menu = form->findChild<QMenu*>("RecentFiles1");
    form->BuildRecentMenu(menu);
    const QList<QAction*> items = menu->actions();
    QCOMPARE(items.size(), 2 + 3);  // the open document is not offered
    QCOMPARE(items[0]->text(), "&0  " + P("R&&D notes.txt"));
    QCOMPARE(items[0]->statusTip(), QString("File: \"R&D notes.txt\"     Size: 1.5000 kb"));
    QCOMPARE(items[1]->text(), "&1  " + P("a.txt"));

    QFile::remove(P("a.txt"));
    form->BuildRecentMenu(menu);
    QVERIFY(!menu->actions()[1]->isEnabled());
    QCOMPARE(menu->actions()[1]->statusTip(), "File not found: \"" + P("a.txt") + "\"");
    form->RemoveObsolete_Cmd();
    QCOMPARE(form->Lists().RecentList[2], std::string());

    form->ClearRecent_Cmd();
    form->BuildRecentMenu(menu);
    QCOMPARE(menu->actions().size(), 1 + 3);
    QCOMPARE(menu->actions()[0]->text(), QString("No files"));
    QVERIFY(!menu->actions()[0]->isEnabled());
  }

  void bigFilesLoadInTheBackground() {
    const QByteArray big = BigText();
    QVERIFY(WriteFile(P("big.txt"), big));
    Open("big.txt");
    QVERIFY(form->LoadingDocument());
    QTRY_VERIFY_WITH_TIMEOUT(!form->LoadingDocument(), 60000);
    QCOMPARE(form->DocFileName(), S("big.txt"));
    QCOMPARE(form->Buffer().LineCount(), Offset(200000));
    QCOMPARE(form->Buffer().TextLength(), Offset(big.size() + 200000));
    QVERIFY(!form->Modified());
    form->Editor()->ReplaceSelection("x");  // the new document's changes are tracked
    QVERIFY(form->Modified());
  }

  // A file bigger than the memory the program may take: an error box, the
  // current document untouched, the program still running.
  void aFileLargerThanMemoryKeepsTheDocument() {
    form->Buffer().SetText("kept");
    form->SetModified(true);
    const std::int64_t fileSize = std::int64_t(600) << 20;
    {
      QFile f(P("huge.txt"));
      QVERIFY(f.open(QIODevice::WriteOnly));
      QVERIFY(f.resize(fileSize));  // sparse: costs no disk
    }
#ifdef QL_SANITIZED
    QSKIP("the address sanitizer reserves more address space than the limit leaves");
#endif
    // Address space for what the process has now plus a little, not for the file.
    std::int64_t vmKb = 0;
    QFile status("/proc/self/status");
    QVERIFY(status.open(QIODevice::ReadOnly));
    for (const QByteArray& line : status.readAll().split('\n'))
      if (line.startsWith("VmSize:")) vmKb = line.mid(7).trimmed().split(' ').front().toLongLong();
    QVERIFY(vmKb > 0);
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_AS, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = static_cast<rlim_t>(vmKb * 1024 + (std::int64_t(300) << 20));
    QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
    ScriptedBoxes boxes({}, 1);
    dialogAnswer = {S("huge.txt")};
    form->SetModified(false);
    form->OpenFile_Cmd();
    QTRY_VERIFY_WITH_TIMEOUT(!form->LoadingDocument(), 60000);
    setrlimit(RLIMIT_AS, &old);
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Couldn't open!"});
    QVERIFY(boxes.Texts()[0].find("not enough memory") != std::string::npos);
    QCOMPARE(form->EditorText(), std::string("kept"));
    QVERIFY(form->DocFileName() != S("huge.txt"));
  }

  void furtherFilesGoToNewInstances() {
    QVERIFY(WriteFile(P("1.txt"), "1"));
    QVERIFY(WriteFile(P("2 two.txt"), "2"));
    QVERIFY(WriteFile(P("3.txt"), "3"));
    form->FilesDropped({P("1.txt"), P("2 two.txt"), P("3.txt")});
    QCOMPARE(form->DocFileName(), S("1.txt"));
    QCOMPARE(started_.size(), size_t(2));
    QCOMPARE(started_[0], std::vector<std::string>{S("2 two.txt")});
    // Cancel in the save prompt opens none.
    form->SetModified(true);
    ScriptedBoxes cancel({2}, 7);
    form->FilesDropped({P("2 two.txt"), P("3.txt")});
    QCOMPARE(form->DocFileName(), S("1.txt"));
    QCOMPARE(started_.size(), size_t(2));
  }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
