// The document's file as other programs and interrupted saves leave it,
// through the real window, offscreen: a change on disk asks before a save
// overwrites it and offers a reload when the window becomes active; copies
// of an interrupted save are reported on open and cleared by the next save;
// read-only files and folders as an ordinary user.
//
// When the tests run as root, readOnlyPathsAsAnotherUser runs this program
// again as uid/gid 65534 (setpriv) for that one test: write permission
// means nothing to root.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/qt/MainQuillora.h"
#include "platform/Store.h"
#include "platform/qt/MessageBox.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

namespace {

ino_t InodeOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

void Activate(QWidget* w) {
  QEvent e(QEvent::WindowActivate);
  QApplication::sendEvent(w, &e);
  QCoreApplication::processEvents();
}

pid_t DeadPid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

}  // namespace

class DiskFileTest : public QObject, private WindowFixture {
  Q_OBJECT

  QTemporaryDir cache_;

  void Edit(const std::string& text) {
    form->Buffer().SetText(text);
    form->SetModified(true);
  }

 private slots:
  void initTestCase() { qputenv("XDG_CACHE_HOME", QFile::encodeName(cache_.path())); }
  void init() { Start(); }
  void cleanup() { Stop(); }

  void changeOnDiskAsksBeforeSaving_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("rewritten") << "rewritten";
    QTest::newRow("time only") << "time only";
    QTest::newRow("replaced by another file") << "replaced";
  }
  void changeOnDiskAsksBeforeSaving() {
    QFETCH(QString, how);
    QVERIFY(WriteFile(P("a.txt"), "one\n"));
    Open("a.txt");
    Edit("mine\r\n");
    QByteArray theirs = "one\n";
    if (how == "rewritten") {
      theirs = "another program's\n";
      QVERIFY(WriteFile(P("a.txt"), theirs));
    } else if (how == "time only") {
      const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 7}};
      QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(P("a.txt")).constData(), times, 0), 0);
    } else {
      theirs = "two\n";  // same size, another file renamed over it
      QVERIFY(WriteFile(P("b.txt"), theirs));
      QCOMPARE(::rename(QFile::encodeName(P("b.txt")).constData(), QFile::encodeName(P("a.txt")).constData()), 0);
    }
    {
      ScriptedBoxes no({7}, 7);
      form->SaveFile_Cmd();
      const std::string text = "The following file was changed by another program since it was opened or saved:\n\"" +
                               S("a.txt") + "\"\n\nDo you want to overwrite it?";
      QCOMPARE(no.seen, (std::vector<Box>{{text, "File changed on disk!", 52}}));
      QCOMPARE(FileBytes(P("a.txt")), theirs);  // No keeps their file
      QVERIFY(form->Modified());
      Activate(form.get());  // told once is enough
      QCOMPARE(no.seen.size(), size_t(1));
    }
    {
      ScriptedBoxes yes({6}, 7);
      form->SaveFile_Cmd();
      QCOMPARE(yes.seen.size(), size_t(1));
      QCOMPARE(FileBytes(P("a.txt")), QByteArray("mine\n"));
      QVERIFY(!form->Modified());
    }
    // Our own save is no change: the next one asks nothing.
    ScriptedBoxes none({}, 7);
    Edit("mine again\r\n");
    form->SaveFile_Cmd();
    QCOMPARE(none.seen.size(), size_t(0));
    QCOMPARE(FileBytes(P("a.txt")), QByteArray("mine again\n"));
  }

  void changeNoticedWhenTheWindowBecomesActive_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::newRow("unmodified, reload") << false << 6;
    QTest::newRow("unmodified, keep") << false << 7;
    QTest::newRow("modified, reload") << true << 6;
    QTest::newRow("modified, keep") << true << 7;
  }
  void changeNoticedWhenTheWindowBecomesActive() {
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QVERIFY(WriteFile(P("a.txt"), "one\n"));
    Open("a.txt");
    if (modified) Edit("typed\r\n");
    const std::string before = form->EditorText();
    {
      ScriptedBoxes none({}, 7);
      Activate(form.get());  // nothing changed: nothing asked
      QCOMPARE(none.seen.size(), size_t(0));
    }
    QVERIFY(WriteFile(P("a.txt"), "changed elsewhere\n"));
    ScriptedBoxes boxes({answer}, 7);
    Activate(form.get());
    const std::string start = "The following file was changed by another program:\n\"" + S("a.txt") + "\"\n\n";
    const std::string question =
        modified ? "Do you want to reload it and lose your changes?" : "Do you want to reload it?";
    QCOMPARE(boxes.seen, (std::vector<Box>{{start + question, "File changed on disk!", modified ? 52u : 36u}}));
    if (answer == 6) {
      QCOMPARE(form->EditorText(), std::string("changed elsewhere\r\n"));
      QVERIFY(!form->Modified());
      QCOMPARE(form->StatusText(0), std::string("Reloaded: \"a.txt\""));
    } else {
      QCOMPARE(form->EditorText(), before);  // never replaced without a Yes
      QCOMPARE(form->Modified(), modified);
      QCOMPARE(FileBytes(P("a.txt")), QByteArray("changed elsewhere\n"));
      // Asked once per change; the save still asks.
      Activate(form.get());
      QCOMPARE(boxes.seen.size(), size_t(1));
      form->SetModified(true);
      form->SaveFile_Cmd();
      QCOMPARE(boxes.seen.size(), size_t(2));
      QCOMPARE(boxes.seen[1].text.rfind("The following file was changed by another program since", 0), size_t(0));
      QCOMPARE(FileBytes(P("a.txt")), QByteArray("changed elsewhere\n"));
    }
  }

  void deletedOnDiskIsReported() {
    QVERIFY(WriteFile(P("a.txt"), "one\n"));
    Open("a.txt");
    QVERIFY(QFile::remove(P("a.txt")));
    ScriptedBoxes boxes({}, 1);
    Activate(form.get());
    const std::string text = "The following file was deleted or moved by another program:\n\"" + S("a.txt") +
                             "\"\n\nThe text is kept; save it with Save As.";
    QCOMPARE(boxes.seen, (std::vector<Box>{{text, "File deleted on disk!", 48}}));
    QCOMPARE(form->EditorText(), std::string("one\r\n"));
    QVERIFY(form->Modified());  // closing now asks to save it
    Activate(form.get());
    QCOMPARE(boxes.seen.size(), size_t(1));
    // Back again (another program restored it): offered for reload.
    QVERIFY(WriteFile(P("a.txt"), "restored\n"));
    Activate(form.get());
    QCOMPARE(boxes.seen.size(), size_t(2));
    QCOMPARE(boxes.seen[1].caption, std::string("File changed on disk!"));
  }

  void interruptedSaveReportedOnOpenAndClearedBySave() {
    const QString dead = QString::number(DeadPid());
    QVERIFY(WriteFile(P("a.txt"), "whole\n"));
    const QString copy = ".a.txt.quillora-save-" + dead + ".k3Xq9Z";
    QVERIFY(WriteFile(P(copy), "half of a new"));
    const QStringList foreign = {
        ".a.txt.quillora-save-1.k3Xq9Z",       // pid 1 runs: not interrupted
        ".b.txt.quillora-save-" + dead + ".k3Xq9Z",  // another file's
        ".a.txt.quillora-save-" + dead,        // not our pattern
        ".a.txt.swp", "a.txt~",
    };
    for (const QString& f : foreign) QVERIFY(WriteFile(P(f), "not ours"));
    {
      ScriptedBoxes boxes({}, 1);
      Open("a.txt");
      QCOMPARE(form->DocFileName(), S("a.txt"));
      const std::string text = "A save of the following file was interrupted:\n\"" + S("a.txt") +
                               "\"\n\nThe copy it left behind:\n\"" + S(copy) +
                               "\"\n\nCompare it with the file; the next save of the file removes it.";
      QCOMPARE(boxes.seen, (std::vector<Box>{{text, "Interrupted save!", 48}}));
    }
    ScriptedBoxes none({}, 7);
    Edit("saved\r\n");
    form->SaveFile_Cmd();
    QCOMPARE(none.seen.size(), size_t(0));
    QCOMPARE(FileBytes(P("a.txt")), QByteArray("saved\n"));
    QVERIFY(!QFile::exists(P(copy)));
    for (const QString& f : foreign) QVERIFY2(QFile::exists(P(f)), qPrintable(f));
    Open("a.txt");  // nothing left to report
    QCOMPARE(none.seen.size(), size_t(0));
  }

  void readOnlyPathsAsAnotherUser() {
    if (geteuid() == 0) {
      // Again as uid/gid 65534, this test only; the copy of the program is
      // where that user can run it.
      QTemporaryDir run;
      QVERIFY(run.isValid());
      QVERIFY(QFile::setPermissions(run.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                    QFileDevice::ExeOther));
      const QString exe = run.path() + "/disk_file_test";
      QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), exe));
      const QString home = run.path() + "/home";
      QVERIFY(QDir().mkdir(home));
      QCOMPARE(::chown(QFile::encodeName(home).constData(), 65534, 65534), 0);
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("HOME", home);
      env.insert("XDG_CACHE_HOME", home + "/cache");
      env.insert("XDG_CONFIG_HOME", home + "/config");
      env.insert("XDG_RUNTIME_DIR", home);
      env.insert("QT_QPA_PLATFORM", "offscreen");
      QProcess p;
      p.setProcessEnvironment(env);
      p.setWorkingDirectory(home);
      p.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "--", exe,
                          "readOnlyPathsAsAnotherUser"});
      QVERIFY2(p.waitForStarted(), "setpriv (util-linux) is needed to test as an ordinary user");
      QVERIFY2(p.waitForFinished(120000), "the run as another user did not end");
      const QByteArray out = p.readAllStandardOutput() + p.readAllStandardError();
      QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, out.constData());
      QVERIFY2(out.contains("PASS   : DiskFileTest::readOnlyPathsAsAnotherUser"), out.constData());
      return;
    }

    // A read-only file: FileError 4, and No keeps the document modified.
    QVERIFY(WriteFile(P("ro.txt"), "old\n"));
    QVERIFY(QFile::setPermissions(P("ro.txt"), QFileDevice::ReadOwner | QFileDevice::ReadOther));
    Open("ro.txt");
    Edit("new\r\n");
    {
      ScriptedBoxes boxes({7}, 7);
      form->SaveFile_Cmd();
      const std::string text =
          "The following file is readonly:\n\"" + S("ro.txt") + "\"\n\nDo you want to save it somewhere else?";
      QCOMPARE(boxes.seen, (std::vector<Box>{{text, "File is readonly!", 52}}));
      QCOMPARE(FileBytes(P("ro.txt")), QByteArray("old\n"));
      QVERIFY(form->Modified());
    }
    // FileError 5: deleting it.
    {
      ScriptedBoxes boxes({6}, 7);
      form->DeleteFile_Cmd();
      QCOMPARE(boxes.seen.size(), size_t(2));
      const Box refused{"Couldn't delete the following file, it's readonly:\n\"" + S("ro.txt") + "\"",
                        "Couldn't delete!", 16};
      QCOMPARE(boxes.seen[1], refused);
      QVERIFY(QFile::exists(P("ro.txt")));
      QCOMPARE(form->DocFileName(), S("ro.txt"));
      QCOMPARE(form->EditorText(), std::string("new\r\n"));
    }

    // A writable file in a read-only folder is saved, in place.
    QVERIFY(QDir().mkdir(P("folder")));
    QVERIFY(WriteFile(P("folder/w.txt"), "old\n"));
    const ino_t inode = InodeOf(P("folder/w.txt"));
    QVERIFY(QFile::setPermissions(P("folder"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    form->SetModified(false);
    Open("folder/w.txt");
    Edit("new\r\n");
    {
      ScriptedBoxes none({}, 7);
      form->SaveFile_Cmd();
      QCOMPARE(none.seen.size(), size_t(0));
    }
    QVERIFY(!form->Modified());
    QCOMPARE(FileBytes(P("folder/w.txt")), QByteArray("new\n"));
    QCOMPARE(InodeOf(P("folder/w.txt")), inode);
    QCOMPARE(form->StatusText(0), std::string("Saved: \"w.txt\""));
    QCOMPARE(QDir(P("folder")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"w.txt"});
    QVERIFY(QFile::setPermissions(P("folder"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner));
  }
};

QTEST_MAIN(DiskFileTest)
#include "disk_file_test.moc"
