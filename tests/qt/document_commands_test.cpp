// The document's file commands where they guard the user's text: an
// untitled document next to a file called "Untitled", reading as binary,
// commands that arrive while another one runs, the recent list's path,
// handing a document to the desktop, the rename dialog and the ".LOG" stamp.
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <map>

#include "app/WindowLogic.h"
#include "app/qt/MainQuillora.h"
#include "editor/qt/EditorView.h"
#include "platform/Store.h"
#include "platform/qt/MessageBox.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

namespace {

// What the stand-in opener was given, without its working folder.
QStringList OpenerArguments(const QString& dump) { return Dumped(dump).mid(1); }

QStringList CaptionsOf(const ScriptedBoxes& boxes) {
  QStringList out;
  for (const std::string& c : boxes.Captions()) out << QString::fromStdString(c);
  return out;
}

using Command = void (TFormQuillora::*)();

}  // namespace

class DocumentCommandsTest : public QObject, private WindowFixture {
  Q_OBJECT

  QString bin_;        // holds the stand-in xdg-open
  QString emptyBin_;   // a PATH without any opener
  QByteArray oldPath_;

 private slots:
  void initTestCase() {
    oldPath_ = qgetenv("PATH");
    bin_ = P("bin");
    emptyBin_ = P("nobin");
    QVERIFY(InstallOpener(bin_) && QDir().mkpath(emptyBin_));
  }
  void init() {
    qputenv("PATH", oldPath_);
    Start();
  }
  void cleanup() {
    SetMsgBoxHook(nullptr);
    Stop();
    qputenv("PATH", oldPath_);
  }

  // ---- a file called "Untitled" in the working folder ----

  void untitledNeverMeansTheFileCalledSo_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("revert") << "Revert" << QList<int>{6}
                            << QStringList{"Revert Current File?", "Couldn't revert!"};
    QTest::newRow("read as binary") << "ReadNonTxtFile" << QList<int>{6} << QStringList{"File doesn't exist!"};
    QTest::newRow("execute") << "ExecFileDef" << QList<int>{} << QStringList{"File doesn't exist!"};
    QTest::newRow("rename") << "RenMoveFile" << QList<int>{} << QStringList{"File doesn't exist!"};
    QTest::newRow("delete") << "DeleteFile" << QList<int>{6}
                            << QStringList{"Delete file!?", "File doesn't exist!"};
    QTest::newRow("file information") << "FileInfo" << QList<int>{} << QStringList{"File doesn't exist!"};
    QTest::newRow("instance command 2") << "Command2" << QList<int>{} << QStringList{};
  }
  void untitledNeverMeansTheFileCalledSo() {
    QFETCH(QString, command);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, captions);
    const std::map<QString, Command> commands = {
        {"Revert", &TFormQuillora::Revert_Cmd},       {"ReadNonTxtFile", &TFormQuillora::ReadNonTxtFile_Cmd},
        {"ExecFileDef", &TFormQuillora::ExecFileDef_Cmd}, {"RenMoveFile", &TFormQuillora::RenMoveFile_Cmd},
        {"DeleteFile", &TFormQuillora::DeleteFile_Cmd}, {"FileInfo", &TFormQuillora::FileInfo_Open}};

    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QVERIFY(WriteFile(P("Untitled"), "somebody else's file\n"));
    const QString dump = P("opened");
    UseOpener(bin_, dump, 0);
    dialogAnswer = {S("renamed.txt")};
    form->Editor()->ReplaceSelection("typed, never saved");
    QVERIFY(form->Modified());

    form->MenuFile_Popup();
    for (const char* name : {"ReadAsBinFile1", "Revert1", "FileInfo1", "RenMovFile1", "DeleteFile1", "ExecFileDef1"})
      QVERIFY2(!form->Action(name)->isEnabled(), name);

    ScriptedBoxes boxes(std::vector<int>(answers.begin(), answers.end()), 7);
    if (command == "Command2") {
      QCOMPARE(HandleInstanceCommand(2, *form), 1LL);
      QTest::qWait(200);
    } else {
      (form.get()->*commands.at(command))();
      QTest::qWait(200);  // a late report of the opener would come in here
    }
    QDir::setCurrent(old);

    QCOMPARE(CaptionsOf(boxes), captions);
    QCOMPARE(form->EditorText(), std::string("typed, never saved"));
    QCOMPARE(form->DocFileName(), std::string("Untitled"));
    QVERIFY(form->Modified());
    QCOMPARE(FileBytes(P("Untitled")), QByteArray("somebody else's file\n"));
    QVERIFY(!QFile::exists(P("renamed.txt")));
    QVERIFY(!QFile::exists(dump));
  }

  // ---- read as binary ----

  void readAsBinaryAsksToSaveTypedTextFirst() {
    const QByteArray bytes("abc\0def", 7);
    QVERIFY(WriteFile(P("nul.txt"), bytes));
    {
      ScriptedBoxes no({7}, 7);  // not as binary now
      Open("nul.txt");
    }
    QCOMPARE(form->EditorText(), std::string("abc"));
    form->Editor()->ReplaceSelection("typed ");
    const std::string typed = form->EditorText();

    {
      ScriptedBoxes cancel({2}, 7);
      form->ReadNonTxtFile_Cmd();
      QCOMPARE(cancel.Captions(), std::vector<std::string>{"Do you wanna save first?"});
      QCOMPARE(cancel.seen[0].flags, 35u);
    }
    QCOMPARE(form->EditorText(), typed);
    QVERIFY(form->Modified());

    {
      ScriptedBoxes yes({6}, 7);  // saved, then read as binary
      form->ReadNonTxtFile_Cmd();
    }
    QCOMPARE(FileBytes(P("nul.txt")), QByteArray::fromStdString(typed));
    QCOMPARE(form->EditorText(), typed);
    QVERIFY(!form->Modified());

    QVERIFY(WriteFile(P("nul.txt"), bytes));
    form->Editor()->ReplaceSelection("more");
    {
      ScriptedBoxes no({7}, 7);  // given up knowingly
      form->ReadNonTxtFile_Cmd();
    }
    QCOMPARE(form->EditorText(), std::string("abc\x0B" "def"));
  }

  // ---- commands that arrive while another one runs ----

  void nothingSavesOrReplacesTheDocumentDuringAnOpen() {
    const QByteArray bytes("abc\0def", 7);
    QVERIFY(WriteFile(P("cut.txt"), bytes));
    QVERIFY(WriteFile(P("dropped.txt"), "dropped"));
    const QString dump = P("opened-later");
    UseOpener(bin_, dump, 0);
    form->Editor()->ReplaceSelection("draft");  // modified: command 3 would save
    bool dumpDuringPrompt = true;
    QByteArray fileDuringPrompt;
    std::vector<std::string> captions;
    SetMsgBoxHook([&](const std::string&, const std::string& caption, unsigned) {
      captions.push_back(caption);
      if (caption != "Length Nonequal To Filesize") return 7;
      // Another process asks for a save and an execute, and files are dropped.
      HandleInstanceCommand(3, *form);
      HandleInstanceCommand(2, *form);
      HandleInstanceCommand(3, *form);
      QTest::qWait(100);  // the box's own event loop
      emit form->Editor()->filesDropped({P("dropped.txt")});
      QTest::qWait(200);
      fileDuringPrompt = FileBytes(P("cut.txt"));
      dumpDuringPrompt = QFile::exists(dump);
      return 7;
    });
    Open("cut.txt");
    QCOMPARE(fileDuringPrompt, bytes);
    QVERIFY(!dumpDuringPrompt);
    QCOMPARE(form->DocFileName(), S("cut.txt"));
    // Then they run, in order, on the document there is by then.
    QTRY_VERIFY(QFile::exists(dump));
    QCOMPARE(OpenerArguments(dump), QStringList{P("cut.txt")});
    QTRY_COMPARE(form->DocFileName(), S("dropped.txt"));
    QCOMPARE(FileBytes(P("cut.txt")), bytes);  // the new document was not modified: no save
    SetMsgBoxHook(nullptr);
    QCOMPARE(captions, std::vector<std::string>({"Do you wanna save first?", "Length Nonequal To Filesize"}));
  }

  void aSaveAskedForDuringSaveAsWaitsForIt() {
    QVERIFY(WriteFile(P("mine.txt"), "old"));
    Open("mine.txt");
    form->Buffer().SetText("new text");
    form->SetModified(true);
    // The Save As dialog is up when another process asks for a save.
    QByteArray fileDuringDialog;
    form->SetFileDialogHandler([&](const std::string&, const std::string&) {
      HandleInstanceCommand(3, *form);
      QTest::qWait(200);
      fileDuringDialog = FileBytes(P("mine.txt"));
      return std::vector<std::string>{S("copy.txt")};
    });
    form->SaveFileAs_Cmd();
    QCOMPARE(fileDuringDialog, QByteArray("old"));
    QCOMPARE(form->DocFileName(), S("copy.txt"));
    QTest::qWait(100);
    QCOMPARE(FileBytes(P("mine.txt")), QByteArray("old"));  // not modified any more: nothing to save
  }

  void aCommandChosenWhileABigFileLoadsRunsAfterwards() {
    QVERIFY(WriteFile(P("big.txt"), BigText()));
    Open("big.txt");
    QVERIFY(form->LoadingDocument());
    form->Action("New1")->trigger();
    QCOMPARE(form->DocFileName(), std::string("Untitled"));  // still loading
    QTRY_VERIFY_WITH_TIMEOUT(!form->LoadingDocument(), 60000);
    QTRY_COMPARE(form->StatusText(0), std::string("New file"));
    QCOMPARE(form->DocFileName(), std::string("Untitled"));
    QCOMPARE(form->Buffer().TextLength(), Offset(0));
  }

  void closingWhileABigFileLoadsWaitsForIt() {
    QVERIFY(WriteFile(P("big.log"), ".LOG\n" + BigText()));  // opens modified: closing asks
    Open("big.log");
    QVERIFY(form->LoadingDocument());
    ScriptedBoxes boxes({2}, 2);  // Cancel in the exit prompt
    QVERIFY(!form->close());
    QVERIFY(boxes.seen.empty());
    QTRY_VERIFY_WITH_TIMEOUT(!form->LoadingDocument(), 60000);
    QTRY_COMPARE(boxes.Captions(), std::vector<std::string>{"Save before quiting?"});
    QVERIFY(boxes.seen[0].text.find(S("big.log")) != std::string::npos);  // about the new document
    QVERIFY(form->isVisible());
  }

  // ---- the recent list ----

  void recentItemOpensTheEntryClickedEvenAfterASaveAs() {
    for (const char* name : {"a.txt", "b.txt"}) QVERIFY(WriteFile(P(name), name));
    Open("a.txt");
    Open("b.txt");
    form->NewFile_Cmd();
    QCOMPARE(form->Lists().RecentList[1], S("a.txt"));

    // By index: the prompt's Save As puts c.txt on top, moving a.txt down.
    form->Editor()->ReplaceSelection("unsaved");
    dialogAnswer = {S("c.txt")};
    {
      ScriptedBoxes yes({6}, 7);
      form->OpenRecent_Cmd(1);
    }
    QCOMPARE(FileBytes(P("c.txt")), QByteArray("unsaved"));
    QCOMPARE(form->DocFileName(), S("a.txt"));

    // By the menu: the item for b.txt, with the same kind of Save As.
    form->NewFile_Cmd();
    form->Editor()->ReplaceSelection("more");
    QMenu* menu = form->findChild<QMenu*>("RecentFiles1");
    form->BuildRecentMenu(menu);
    QAction* item = nullptr;
    for (QAction* a : menu->actions())
      if (a->text().endsWith("/b.txt")) item = a;
    QVERIFY(item);
    dialogAnswer = {S("d.txt")};
    ScriptedBoxes yes({6}, 7);
    item->trigger();
    QCOMPARE(form->DocFileName(), S("b.txt"));
  }

  // ---- execute: the desktop opens the document ----

  void executeHandsTheDocumentToTheDesktop_data() {
    QTest::addColumn<bool>("executable");
    QTest::addColumn<int>("openerExit");  // -1: no opener installed
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("executable script") << true << 0 << QStringList{};
    QTest::newRow("plain text") << false << 0 << QStringList{};
    QTest::newRow("no application for the type") << false << 3 << QStringList{"Error executing file!"};
    QTest::newRow("application failed") << false << 4 << QStringList{"Error executing file!"};
    QTest::newRow("file gone meanwhile") << false << 2 << QStringList{"File doesn't exist!"};
    QTest::newRow("no opener at all") << true << -1 << QStringList{"Error executing file!"};
  }
  void executeHandsTheDocumentToTheDesktop() {
    QFETCH(bool, executable);
    QFETCH(int, openerExit);
    QFETCH(QStringList, captions);
    const QString marker = P("ran");
    QFile::remove(marker);
    const QString doc = P("run me.sh");
    QVERIFY(WriteFile(doc, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n"));
    if (executable)
      QVERIFY(QFile::setPermissions(doc, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    Open("run me.sh");
    const QString dump = P("opened");
    UseOpener(bin_, dump, openerExit < 0 ? 0 : openerExit);
    if (openerExit < 0) qputenv("PATH", QFile::encodeName(emptyBin_));

    ScriptedBoxes boxes({}, 1);
    form->ExecFileDef_Cmd();
    if (openerExit >= 0) {
      QTRY_VERIFY(QFile::exists(dump));
      QCOMPARE(OpenerArguments(dump), QStringList{doc});
    }
    if (!captions.isEmpty()) QTRY_VERIFY(!boxes.seen.empty());
    QTest::qWait(300);
    QCOMPARE(CaptionsOf(boxes), captions);
    QVERIFY(!QFile::exists(marker));  // never run as a program
    QCOMPARE(form->DocFileName(), doc.toStdString());

    // The instance command takes the same way.
    if (openerExit == 0) {
      QFile::remove(dump);
      QCOMPARE(HandleInstanceCommand(2, *form), 1LL);
      QTRY_VERIFY(QFile::exists(dump));
      QCOMPARE(OpenerArguments(dump), QStringList{doc});
      QTest::qWait(200);
      QVERIFY(!QFile::exists(marker));
    }
  }

  // ---- the rename dialog ----

  void renameDialogPreselectsTheName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("selected");
    QTest::newRow("extension") << "notes.txt" << "notes";
    QTest::newRow("two dots") << "report.final.txt" << "report.final";
    QTest::newRow("hidden file") << ".profile" << ".profile";
    QTest::newRow("no extension") << "README" << "README";
    QTest::newRow("non-ASCII") << QString::fromUtf8("caf\xC3\xA9 menu.txt") << QString::fromUtf8("caf\xC3\xA9 menu");
  }
  void renameDialogPreselectsTheName() {
    QFETCH(QString, name);
    QFETCH(QString, selected);
    QVERIFY(WriteFile(P(name), "x"));
    QVERIFY(WriteFile(P("taken.txt"), "t"));
    Open(name);
    form->SetFileDialogHandler(nullptr);  // the real dialog
    QString seenText, seenSelection;
    bool asksBeforeOverwriting = true;
    QTimer poll;
    poll.setInterval(20);
    int rounds = 0;
    connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible() || ++rounds < 5) return;  // let it settle
      poll.stop();
      auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
      QVERIFY(edit);
      seenText = edit->text();
      seenSelection = edit->selectedText();
      asksBeforeOverwriting = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
      if (asksBeforeOverwriting || !seenText.endsWith(".txt")) {
        dialog->reject();
        return;
      }
      // Typing replaces the selection: an existing name is refused with our own box.
      QTest::keyClicks(edit, "taken");
      QTest::keyClick(edit, Qt::Key_Return);
    });
    poll.start();
    ScriptedBoxes boxes({}, 1);
    form->RenMoveFile_Cmd();
    QCOMPARE(seenText, name);
    QCOMPARE(seenSelection, selected);
    QVERIFY(!asksBeforeOverwriting);
    if (name.endsWith(".txt")) {
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"Couldn't rename!"});
      QCOMPARE(FileBytes(P("taken.txt")), QByteArray("t"));
      QCOMPARE(form->DocFileName(), S(name));
    }
  }

  // ---- the ".LOG" time stamp ----

  void logStampHasNoTimeZone() {
    QVERIFY(WriteFile(P("diary.log"), ".LOG\r\n"));
    const QDateTime before = QDateTime::currentDateTime();
    Open("diary.log");
    const QDateTime after = QDateTime::currentDateTime();
    const QString text = QString::fromStdString(form->EditorText());
    QVERIFY(text.startsWith(".LOG\r\n") && text.endsWith("\r\n"));
    const QString stamp = text.mid(6, text.size() - 8);
    const QLocale locale;
    const QString date = locale.toString(before.date(), QLocale::ShortFormat);
    QVERIFY2(stamp.startsWith(date + " "), qPrintable(stamp));
    const QString time = stamp.mid(date.size() + 1);
    const QString zone = before.timeZoneAbbreviation();
    QVERIFY2(!time.endsWith(zone) && !time.contains(before.timeZone().id()), qPrintable(time));
    const QString format = QString::fromStdString(WithoutTimeZone(locale.timeFormat(QLocale::LongFormat).toStdString()));
    QVERIFY2(time == locale.toString(before.time(), format) || time == locale.toString(after.time(), format),
             qPrintable(time));
    form->SetModified(false);
  }
};

QTEST_MAIN(DocumentCommandsTest)
#include "document_commands_test.moc"
