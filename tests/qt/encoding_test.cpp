// UTF-8 files through the real window, offscreen: shown as their
// characters, saved back byte for byte, reopened either way, and kept free
// of characters they could not save.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "app/qt/MainQuillora.h"
#include "editor/qt/EditorView.h"
#include "platform/Store.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

namespace {

// é € “ ” as UTF-8 and as the document's Windows-1252.
const QByteArray kUtf8("caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D\n");
const std::string k1252("caf\xE9 \x80 \x93q\x94\r\n");

}  // namespace

class EncodingTest : public QObject, private WindowFixture {
  Q_OBJECT

  void SaveUnchanged() {
    form->SetModified(true);
    form->SaveFile_Cmd();
  }
  // A key that types one character (QTest only types ASCII).
  void Type(const char* utf8) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(utf8));
    QApplication::sendEvent(form->Editor(), &press);
  }
  bool IsUtf8() const { return form->DocumentEncoding().kind == TextEncoding::Utf8; }

 private slots:
  void init() { Start(); }
  void cleanup() { Stop(); }

  // Each file opens as UTF-8 or as bytes, says so, and saves back identical.
  void filesOpenAndSaveBackIdentical_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("document");  // the editor's text
    QTest::addColumn<QString>("status");
    QTest::newRow("accents, quotes, euro") << kUtf8 << QByteArray::fromStdString(k1252)
                                           << "Opened: \"f.txt\"  (UTF-8)";
    QTest::newRow("with byte-order mark") << "\xEF\xBB\xBF" + kUtf8 << QByteArray::fromStdString(k1252)
                                          << "Opened: \"f.txt\"  (UTF-8 with byte-order mark)";
    QTest::newRow("ascii") << QByteArray("plain\r\n") << QByteArray("plain\r\n") << "Opened: \"f.txt\"";
    QTest::newRow("latin-1") << QByteArray("caf\xE9\r\n") << QByteArray("caf\xE9\r\n")
                             << "Opened: \"f.txt\"  (8-bit bytes: invalid UTF-8 at byte 4: a character cut short)";
    QTest::newRow("cyrillic") << QByteArray("\xD0\x96\xC3\xA9\n") << QByteArray("\xD0\x96\xC3\xA9\r\n")
                              << QString::fromUtf8("Opened: \"f.txt\"  (8-bit bytes: UTF-8 with \"\xD0\x96\" "
                                                   "(U+0416) at byte 1, which Windows-1252 lacks)");
  }
  void filesOpenAndSaveBackIdentical() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, document);
    QFETCH(QString, status);
    QVERIFY(WriteFile(P("f.txt"), bytes));
    ScriptedBoxes boxes;
    Open("f.txt");
    QCOMPARE(QByteArray::fromStdString(form->EditorText()), document);
    QCOMPARE(QString::fromStdString(form->StatusText(0)), status);
    QVERIFY(boxes.seen.empty());  // a clean UTF-8 file raises no length prompt
    SaveUnchanged();
    QCOMPARE(FileBytes(P("f.txt")), bytes);
    QVERIFY(!form->Modified());
  }

  void bothNotesShow() {
    QVERIFY(WriteFile(P("m.txt"), "\xC3\xA9\n\r\n"));
    Open("m.txt");
    QCOMPARE(form->StatusText(0), std::string("Opened: \"m.txt\"  (UTF-8)  (mixed line ends: saved with LF)"));
  }

  void theWidgetShowsTheCharacters() {
    QVERIFY(WriteFile(P("u.txt"), kUtf8));
    Open("u.txt");
    QCOMPARE(form->Editor()->DisplayString(0, 10), QString::fromUtf8(kUtf8).left(10));
    QVERIFY(form->Action("ReopenUtf81")->isChecked());
    QVERIFY(!form->Action("ReopenBytes1")->isChecked());
  }

  void editsAreSavedAsUtf8() {
    QVERIFY(WriteFile(P("u.txt"), "\xEF\xBB\xBF" "x\xE2\x82\xAC\n"));
    Open("u.txt");
    form->Buffer().SetSelection(1, 0);
    form->Buffer().ReplaceSelection("\xE9");  // é
    form->SaveFile_Cmd();
    QCOMPARE(FileBytes(P("u.txt")), QByteArray("\xEF\xBB\xBF" "x\xC3\xA9\xE2\x82\xAC\n"));
    QCOMPARE(form->StatusText(0), std::string("Saved: \"u.txt\"  (UTF-8 with byte-order mark)"));
  }

  void reopenEitherWay() {
    QVERIFY(WriteFile(P("u.txt"), kUtf8));
    Open("u.txt");
    form->Action("ReopenBytes1")->trigger();
    QCOMPARE(QByteArray::fromStdString(form->EditorText()), QByteArray(kUtf8).replace("\n", "\r\n"));
    QVERIFY(!IsUtf8());
    QVERIFY(form->Action("ReopenBytes1")->isChecked());
    QCOMPARE(form->StatusText(0), std::string("Reopened as 8-bit bytes: \"u.txt\"  (8-bit bytes)"));
    SaveUnchanged();
    QCOMPARE(FileBytes(P("u.txt")), kUtf8);
    {
      ScriptedBoxes boxes({6});  // a revert reads the file as it was read
      form->Revert_Cmd();
    }
    QVERIFY(!IsUtf8());
    form->Action("ReopenUtf81")->trigger();
    QCOMPARE(form->EditorText(), k1252);
    QVERIFY(IsUtf8());

    // Plain ASCII becomes a UTF-8 document when asked.
    QVERIFY(WriteFile(P("a.txt"), "abc\n"));
    Open("a.txt");
    QVERIFY(!IsUtf8());
    form->ReopenAsUtf8_Cmd();
    QVERIFY(IsUtf8());
    form->Buffer().SetSelection(3, 0);
    form->Buffer().ReplaceSelection("\x80");
    form->SaveFile_Cmd();
    QCOMPARE(FileBytes(P("a.txt")), QByteArray("abc\xE2\x82\xAC\n"));
  }

  void reopenAsUtf8RefusesALossyFile() {
    const QByteArray cyrillic("\xD0\x96\n");
    QVERIFY(WriteFile(P("c.txt"), cyrillic));
    Open("c.txt");
    ScriptedBoxes boxes;
    form->ReopenAsUtf8_Cmd();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Not read as UTF-8!"});
    QVERIFY(boxes.seen[0].text.find("U+0416") != std::string::npos);
    QVERIFY(!IsUtf8());
    QVERIFY(!form->Action("ReopenUtf81")->isChecked());
    QCOMPARE(form->EditorText(), std::string("\xD0\x96\r\n"));
  }

  void binaryReadIsAlwaysRaw() {
    QVERIFY(WriteFile(P("u.txt"), kUtf8));
    Open("u.txt");
    QVERIFY(IsUtf8());
    form->ReadNonTxtFile_Cmd();
    QCOMPARE(QByteArray::fromStdString(form->EditorText()), QByteArray(kUtf8).replace("\n", "\r\n"));
    QVERIFY(!IsUtf8());
    SaveUnchanged();
    QCOMPARE(FileBytes(P("u.txt")), kUtf8);
  }

  void zeroByteLengthPromptCountsUtf8Bytes() {
    QVERIFY(WriteFile(P("z.txt"), QByteArray("\xC3\xA9\0abc", 6)));
    ScriptedBoxes boxes({6});  // read as binary
    Open("z.txt");
    QCOMPARE(boxes.seen.size(), size_t(1));
    QVERIFY(boxes.seen[0].text.find("2 characters in text.\n6 bytes in file.") == 0);
    QCOMPARE(form->EditorText(), std::string("\xC3\xA9\x0B" "abc"));
    QVERIFY(!IsUtf8());
  }

  void pasteKeepsWhatTheDocumentCanSave() {
    QVERIFY(WriteFile(P("u.txt"), kUtf8));
    Open("u.txt");
    form->Buffer().SetSelection(0, 0);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\xD0\x96!"));
    {
      ScriptedBoxes boxes;
      form->Paste_Cmd();
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"Character not in Windows-1252!"});
      QVERIFY(boxes.seen[0].text.find("\"\xD0\x96\" (U+0416)") != std::string::npos);
      QVERIFY(boxes.seen[0].text.find("UTF-8") != std::string::npos);
    }
    QCOMPARE(form->EditorText(), k1252);
    QVERIFY(!form->Modified());
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\xE2\x80\x94"));  // em dash: in the set
    form->Paste_Cmd();
    QCOMPARE(form->EditorText(), "\x97" + k1252);

    // An 8-bit document keeps the '?' rule.
    form->SetModified(false);
    QVERIFY(WriteFile(P("b.txt"), "x"));
    Open("b.txt");
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\xD0\x96"));
    ScriptedBoxes boxes;
    form->Buffer().SetSelection(1, 0);
    form->Paste_Cmd();
    QVERIFY(boxes.seen.empty());
    QCOMPARE(form->EditorText(), std::string("x?"));
  }

  void typingKeepsWhatTheDocumentCanSave() {
    QVERIFY(WriteFile(P("u.txt"), kUtf8));
    Open("u.txt");
    form->Buffer().SetSelection(0, 0);
    {
      ScriptedBoxes boxes;
      Type("\xE2\x86\x92");  // →
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"Character not in Windows-1252!"});
    }
    QCOMPARE(form->EditorText(), k1252);
    Type("\xC3\xBC");  // ü
    QCOMPARE(form->EditorText(), "\xFC" + k1252);
  }

  // Big files are read in the background: the same detection there.
  void bigUtf8FilesToo() {
    QByteArray big;
    for (int i = 0; i < 200000; ++i) big += "caf\xC3\xA9 \xE2\x82\xAC line\n";  // ~4.6 MB
    QVERIFY(WriteFile(P("big.txt"), big));
    Open("big.txt");
    QTRY_VERIFY_WITH_TIMEOUT(!form->LoadingDocument(), 60000);
    QVERIFY(IsUtf8());
    QCOMPARE(form->Buffer().LineCount(), Offset(200000));
    QCOMPARE(form->Buffer().TextLength(), Offset(200000 * 13));
    QCOMPARE(form->StatusText(0), std::string("Opened: \"big.txt\"  (UTF-8)"));
    SaveUnchanged();
    QCOMPARE(FileBytes(P("big.txt")), big);
  }

  void newDocumentsAreEightBit() {
    QVERIFY(WriteFile(P("u.txt"), kUtf8));
    Open("u.txt");
    form->NewFile_Cmd();
    QVERIFY(!IsUtf8());
    QVERIFY(form->Action("ReopenBytes1")->isChecked());
  }
};

QTEST_MAIN(EncodingTest)
#include "encoding_test.moc"
