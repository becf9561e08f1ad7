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

using namespace ql;

namespace {



QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}


}  // namespace

class FileCommandsTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  MemoryStore store_;
  std::unique_ptr<TFormQuillora> form_;
  std::vector<std::string> dialogAnswer_;
  std::vector<std::vector<std::string>> started_;

  QString P(const QString& name) const { return dir_.path() + "/" + name; }
  std::string S(const QString& name) const { return P(name).toStdString(); }

  void Open(const QString& name) {
    dialogAnswer_ = {S(name)};
    form_->OpenFile_Cmd();
  }

 private slots:
  void init() {
    store_ = MemoryStore();
    form_ = std::make_unique<TFormQuillora>(store_, std::vector<std::string>{});
    form_->SetInstanceStarter(
        [this](const std::vector<std::string>& p, const std::string&) { started_.push_back(p); });
    form_->SetFileDialogHandler(
        [this](const std::string&, const std::string&) { return dialogAnswer_; });
    form_->Start();
    started_.clear();
  }
  void cleanup() {
    form_->SetModified(false);
    form_.reset();
  }

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
    QCOMPARE(form_->DocFileName(), S("round.txt"));
    QVERIFY(!form_->Modified());
    form_->Editor()->ReplaceSelection("");  // nothing typed: still the file's bytes
    form_->SetModified(true);
    form_->SaveFile_Cmd();
    QVERIFY(!form_->Modified());
    QCOMPARE(ReadAll(P("round.txt")), bytes);
  }

  void mixedLineEndsAreSavedInTheFirstStyle() {
    QVERIFY(WriteFile(P("mixed.txt"), "a\nb\r\nc\n"));
    Open("mixed.txt");
    QVERIFY(form_->StatusText(0).find("mixed line ends") != std::string::npos);
    form_->SetModified(true);
    form_->SaveFile_Cmd();
    QCOMPARE(ReadAll(P("mixed.txt")), QByteArray("a\nb\nc\n"));
  }

  void zeroByteAndCtrlZRaiseTheLengthPrompt() {
    QVERIFY(WriteFile(P("zero.txt"), QByteArray("abc\0def", 7)));
    {
      ScriptedBoxes boxes({7}, 7);
      Open("zero.txt");
      QCOMPARE(form_->EditorText(), std::string("abc"));
      QCOMPARE(boxes.seen.size(), size_t(1));
      QCOMPARE(boxes.seen[0].caption, std::string("Length Nonequal To Filesize"));
      QVERIFY(boxes.seen[0].text.find("3 characters in text.\n7 bytes in file.") == 0);
    }
    {
      ScriptedBoxes boxes({6}, 7);  // read as binary
      Open("zero.txt");
      QCOMPARE(form_->EditorText(), std::string("abc\x0B" "def"));
      QVERIFY(!form_->Modified());
    }
    QVERIFY(WriteFile(P("ctrlz.txt"), "ab\x1A" "cd"));
    ScriptedBoxes boxes({7}, 7);
    Open("ctrlz.txt");
    QCOMPARE(form_->EditorText(), std::string("ab"));
    QCOMPARE(boxes.seen.size(), size_t(1));
    QVERIFY(WriteFile(P("empty.txt"), ""));
    Open("empty.txt");
    QCOMPARE(boxes.seen.size(), size_t(1));  // a zero-byte file opens quietly
    QCOMPARE(form_->DocFileName(), S("empty.txt"));
  }

  void logFilesGetATimeStamp() {
    QVERIFY(WriteFile(P("a.log"), ".LOG\r\nfirst\r\n"));
    Open("a.log");
    QVERIFY(form_->Modified());
    const std::string text = form_->EditorText();
    QVERIFY(text.size() > 14 && text.compare(0, 13, ".LOG\r\nfirst\r\n") == 0);
    QCOMPARE(text.substr(text.size() - 2), std::string("\r\n"));
    QCOMPARE(form_->Buffer().SelStart(), form_->Buffer().TextLength());
    form_->SetModified(false);
    QVERIFY(WriteFile(P("b.log"), ".log\r\nfirst\r\n"));
    Open("b.log");
    QCOMPARE(form_->EditorText(), std::string(".log\r\nfirst\r\n"));
    QVERIFY(!form_->Modified());
    // Revert restores the selection and adds no stamp.
    form_->Buffer().SetSelection(1, 2);
    QVERIFY(WriteFile(P("b.log"), ".LOG\r\nsecond\r\n"));
    ScriptedBoxes yes({6}, 7);
    form_->Revert_Cmd();
    QCOMPARE(form_->EditorText(), std::string(".LOG\r\nsecond\r\n"));
    QCOMPARE(form_->Buffer().SelStart(), Offset(1));
    QCOMPARE(form_->Buffer().SelLength(), Offset(2));
  }

  void nfoCharactersChooseTheTerminalFont() {
    QVERIFY(WriteFile(P("art.nfo"), QByteArray(10, char(0xDB))));
    Open("art.nfo");
    QCOMPARE(form_->Editor()->font().family(), QString("Terminal"));
    QVERIFY(WriteFile(P("nine.nfo"), QByteArray(9, char(0xDB))));
    Open("nine.nfo");
    QCOMPARE(form_->Editor()->font().family(), QString("Courier New"));
  }

  void saveFailureKeepsTheOldFile() {
    QVERIFY(WriteFile(P("keep.txt"), "old contents"));
    Open("keep.txt");
    form_->Buffer().SetText(std::string(5000, 'x'));
    form_->SetModified(true);
    // A full disk: writes beyond 100 bytes fail.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    ScriptedBoxes boxes({}, 7);
    form_->SaveFile_Cmd();
    setrlimit(RLIMIT_FSIZE, &old);
    QCOMPARE(ReadAll(P("keep.txt")), QByteArray("old contents"));
    QVERIFY(form_->Modified());
    QCOMPARE(boxes.seen.size(), size_t(1));
    QCOMPARE(boxes.seen[0].caption, std::string("Couldn't save!"));
    // No temporary file is left behind.
    QCOMPARE(QDir(dir_.path()).entryList({".*"}, QDir::Files | QDir::Hidden).size(), 0);

    // Save As to a place that cannot be written keeps the old name.
    dialogAnswer_ = {S("no-such-dir/new.txt")};
    form_->SaveFileAs_Cmd();
    QCOMPARE(form_->DocFileName(), S("keep.txt"));
    QVERIFY(form_->Modified());
  }

  void saveThroughASymlinkKeepsTheLink() {
    QVERIFY(WriteFile(P("target.txt"), "before\n"));
    QVERIFY(QFile::link(P("target.txt"), P("link.txt")));
    Open("link.txt");
    form_->Buffer().SetText("after\r\n");
    form_->SetModified(true);
    form_->SaveFile_Cmd();
    QVERIFY(QFileInfo(P("link.txt")).isSymLink());
    QCOMPARE(ReadAll(P("target.txt")), QByteArray("after\n"));
  }

  void renameOntoAnExistingName() {
    QVERIFY(WriteFile(P("one.txt"), "1"));
    QVERIFY(WriteFile(P("two.txt"), "2"));
    Open("one.txt");
    dialogAnswer_ = {S("two.txt")};
    ScriptedBoxes boxes({}, 7);
    form_->RenMoveFile_Cmd();
    QCOMPARE(boxes.seen.size(), size_t(1));
    QCOMPARE(boxes.seen[0].caption, std::string("Couldn't rename!"));
    QVERIFY(boxes.seen[0].text.find(S("one.txt")) < boxes.seen[0].text.find(S("two.txt")));
    dialogAnswer_ = {S("three.txt")};
    form_->RenMoveFile_Cmd();
    QCOMPARE(form_->DocFileName(), S("three.txt"));
    QCOMPARE(ReadAll(P("three.txt")), QByteArray("1"));
    QCOMPARE(form_->Lists().RecentList.front(), S("three.txt"));
  }

  void deleteDiscardsOnlyAfterTheFileIsGone() {
    QVERIFY(WriteFile(P("gone.txt"), "bye"));
    Open("gone.txt");
    ScriptedBoxes boxes({6}, 7);
    form_->DeleteFile_Cmd();
    QVERIFY(!QFile::exists(P("gone.txt")));
    QCOMPARE(form_->DocFileName(), std::string("Untitled"));
    QCOMPARE(form_->StatusText(0), std::string("New file"));
  }

  void onlyRegularFilesOpen() {
    QVERIFY(QDir().mkdir(P("folder.txt")));
    ScriptedBoxes boxes({}, 7);
    Open("folder.txt");
    QCOMPARE(form_->DocFileName(), std::string("Untitled"));
    QCOMPARE(boxes.seen.size(), size_t(1));
    QCOMPARE(boxes.seen[0].caption, std::string("File doesn't exist!"));
    form_->FilesDropped({P("folder.txt")});
    QCOMPARE(form_->DocFileName(), std::string("Untitled"));
  }

  void commandLineCreateRule() {
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    {
      ScriptedBoxes boxes({6}, 7);
      TFormQuillora form(store_, {"fresh.txt"});
      form.Start();
      QCOMPARE(boxes.seen[0].caption, std::string("File doesn't exist!"));
      QVERIFY(QFile::exists(P("fresh.txt")));
      QCOMPARE(ReadAll(P("fresh.txt")), QByteArray());
      QCOMPARE(form.Lists().RecentList.front(), S("fresh.txt"));
      QCOMPARE(form.StatusText(0), std::string("Created: \"fresh.txt\""));
    }
    {
      ScriptedBoxes boxes({6}, 7);
      TFormQuillora form(store_, {"sub/fresh.txt"});
      form.Start();
      QCOMPARE(boxes.seen.size(), size_t(2));
      QCOMPARE(boxes.seen[1].caption, std::string("Illegal filename!"));
      QCOMPARE(form.DocFileName(), std::string("Untitled"));
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
    const auto& list = form_->Lists().RecentList;
    QCOMPARE(list[0], S("A.TXT"));
    QCOMPARE(list[1], S("R&D notes.txt"));
    QCOMPARE(list[2], S("a.txt"));  // a different file here
    QCOMPARE(list.size(), size_t(12));

    QMenu* menu = form_->findChild<QMenu*>("RecentFiles1");
    form_->BuildRecentMenu(menu);
    const QList<QAction*> items = menu->actions();
    QCOMPARE(items.size(), 2 + 3);  // the open document is not offered
    QCOMPARE(items[0]->text(), "&0  " + P("R&&D notes.txt"));
    QCOMPARE(items[0]->statusTip(), QString("File: \"R&D notes.txt\"     Size: 1.5000 kb"));
    QCOMPARE(items[1]->text(), "&1  " + P("a.txt"));

    QFile::remove(P("a.txt"));
    form_->BuildRecentMenu(menu);
    QVERIFY(!menu->actions()[1]->isEnabled());
    QCOMPARE(menu->actions()[1]->statusTip(), "File not found: \"" + P("a.txt") + "\"");
    form_->RemoveObsolete_Cmd();
    QCOMPARE(form_->Lists().RecentList[2], std::string());

    form_->ClearRecent_Cmd();
    form_->BuildRecentMenu(menu);
    QCOMPARE(menu->actions().size(), 1 + 3);
    QCOMPARE(menu->actions()[0]->text(), QString("No files"));
    QVERIFY(!menu->actions()[0]->isEnabled());
  }

  void bigFilesLoadInTheBackground() {
    QByteArray big;
    for (int i = 0; i < 200000; ++i) big += "line of some text here\n";  // ~4.6 MB
    QVERIFY(WriteFile(P("big.txt"), big));
    Open("big.txt");
    QVERIFY(form_->LoadingDocument());
    QTRY_VERIFY_WITH_TIMEOUT(!form_->LoadingDocument(), 60000);
    QCOMPARE(form_->DocFileName(), S("big.txt"));
    QCOMPARE(form_->Buffer().LineCount(), Offset(200000));
    QCOMPARE(form_->Buffer().TextLength(), Offset(big.size() + 200000));
    QVERIFY(!form_->Modified());
    form_->Editor()->ReplaceSelection("x");  // the new document's changes are tracked
    QVERIFY(form_->Modified());
  }

  // A file bigger than the memory the program may take: an error box, the
  // current document untouched, the program still running.
  void aFileLargerThanMemoryKeepsTheDocument() {
    form_->Buffer().SetText("kept");
    form_->SetModified(true);
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
    dialogAnswer_ = {S("huge.txt")};
    form_->SetModified(false);
    form_->OpenFile_Cmd();
    QTRY_VERIFY_WITH_TIMEOUT(!form_->LoadingDocument(), 60000);
    setrlimit(RLIMIT_AS, &old);
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Couldn't open!"});
    QVERIFY(boxes.Texts()[0].find("not enough memory") != std::string::npos);
    QCOMPARE(form_->EditorText(), std::string("kept"));
    QVERIFY(form_->DocFileName() != S("huge.txt"));
  }

  void furtherFilesGoToNewInstances() {
    QVERIFY(WriteFile(P("1.txt"), "1"));
    QVERIFY(WriteFile(P("2 two.txt"), "2"));
    QVERIFY(WriteFile(P("3.txt"), "3"));
    form_->FilesDropped({P("1.txt"), P("2 two.txt"), P("3.txt")});
    QCOMPARE(form_->DocFileName(), S("1.txt"));
    QCOMPARE(started_.size(), size_t(2));
    QCOMPARE(started_[0], std::vector<std::string>{S("2 two.txt")});
    // Cancel in the save prompt opens none.
    form_->SetModified(true);
    ScriptedBoxes cancel({2}, 7);
    form_->FilesDropped({P("2 two.txt"), P("3.txt")});
    QCOMPARE(form_->DocFileName(), S("1.txt"));
    QCOMPARE(started_.size(), size_t(2));
  }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
