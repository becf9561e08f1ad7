// Editing through the real widget, offscreen: the buffer's offset rules,
// the modified state, caret panels, auto indent, clipboard and drops.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "../buffer_cases.h"
#include "editor/qt/EditorView.h"
#include "app/qt/MainQuillora.h"
#include "platform/Store.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

namespace {

// Synthetic drops are not delivered without a real drag; call the handler.
struct DropAccess : EditorView {
  static void Drop(EditorView* w, QDropEvent* e) { (w->*(&DropAccess::dropEvent))(e); }
};

void SetClipboard(QMimeData* data) { QGuiApplication::clipboard()->setMimeData(data); }

void SetClipboardFile(const QString& path) {
  auto* files = new QMimeData;
  files->setUrls({QUrl::fromLocalFile(path)});
  SetClipboard(files);
}

void SetClipboardImage() {
  auto* image = new QMimeData;
  image->setImageData(QImage(4, 4, QImage::Format_RGB32));
  SetClipboard(image);
}

}  // namespace

class EditorTest : public QObject, private WindowFixture {
  Q_OBJECT

  EditorBuffer& B() { return form->Buffer(); }
  EditorView* E() { return form->Editor(); }
  // The caret's status panels: line, column, place in the text, offset.
  QStringList CaretPanels() {
    QStringList out;
    for (int panel = 1; panel <= 4; ++panel) out << QString::fromStdString(form->StatusText(panel));
    return out;
  }

 private slots:
  void init() { Start(); }
  void cleanup() { Stop(); }

  void bufferOffsetRules() {
    const auto failures = RunBufferCases([]() -> std::unique_ptr<EditorBuffer> {
      return std::make_unique<EditorView>();
    }, 3000);
    for (const std::string& f : failures) qWarning("%s", f.c_str());
    QCOMPARE(failures.size(), size_t(0));
  }

  void caretPanelsFollowTheCaret() {
    // empty, at start-up
    QCOMPARE(CaretPanels(), (QStringList{"Line: 1", "Col: 1", "0.00%", "Pos: 0"}));
    B().SetText("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nhello");
    B().SetSelection(B().TextLength() - 2, 0);
    QCOMPARE(CaretPanels(), (QStringList{"Line: 8", "Col: 4", "87.50%", "Pos: 24"}));
    QCOMPARE(form->StatusText(0), std::string("\"26\" characters on \"8\" lines"));
  }

  void typingMarksModifiedOnce() {
    QVERIFY(!form->Modified());
    QTest::keyClicks(E(), "ab");
    QVERIFY(form->Modified());
    QCOMPARE(form->windowTitle(), QString("Quillora  <Untitled> *"));
    QTest::keyClicks(E(), "c");
    QCOMPARE(form->windowTitle(), QString("Quillora  <Untitled> *"));
  }

  void lookChangesDoNotMarkModified() {
    B().SetText("text");
    form->SetModified(false);
    form->SetEditorFont("Terminal", 9);
    form->SetEditorColors(0x000080, 0xFFFFFF);
    form->ThemeSelect(2);
    form->FontChange_Cmd(3);
    form->Action("WordWrapOpt")->trigger();
    QVERIFY(!form->Modified());
    QCOMPARE(form->Options().FontNameScreen, std::string("Terminal"));
    QCOMPARE(form->Options().FontSizeScreen, 9);
    QCOMPARE(B().DefaultAttributes().fontName, std::string("Terminal"));
  }

  void terminalFontShowsTheBytesAsNfoArt() {
    B().SetText("\xC4\xB3 x");
    form->SetModified(false);
    form->FontChange_Cmd(3);  // Terminal
    QCOMPARE(E()->DisplayString(0, B().TextLength()), QString::fromUtf8("\xE2\x94\x80\xE2\x94\x82 x"));  // box lines
    QCOMPARE(form->EditorText(), std::string("\xC4\xB3 x"));
    QTest::keyClick(E(), Qt::Key_End);
    QTest::sendKeyEvent(QTest::Click, E(), Qt::Key_unknown, QString(QChar(0x2550)), Qt::NoModifier);
    QCOMPARE(form->EditorText(), std::string("\xC4\xB3 x\xCD"));  // typed in the same set
    form->FontChange_Cmd(1);  // Courier New
    QCOMPARE(E()->DisplayString(0, B().TextLength()), QString::fromUtf8("\xC3\x84\xC2\xB3 x\xC3\x8D"));
    QCOMPARE(form->EditorText(), std::string("\xC4\xB3 x\xCD"));
  }

  void enterKeysInsertOrdinaryBreaks() {
    QTest::keyClicks(E(), "a");
    QTest::keyClick(E(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(E(), "b");
    QTest::keyClick(E(), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClicks(E(), "c");
    QCOMPARE(form->EditorText(), std::string("a\r\nb\r\nc"));
    QCOMPARE(B().LineCount(), Offset(3));
  }

  // The indent rule itself is in the status tests; here the key and the option.
  void autoIndent() {
    struct Case {
      std::string text;
      Offset caret;
      std::string want;
    };
    const Case cases[] = {
        {"\t  abc", 1, "\t\r\n\t  abc"},  // only what lies left of the caret
        {"x\r\n\t y", 7, "x\r\n\t y\r\n\t "},
    };
    form->Action("AutoIndentOpt")->trigger();
    for (const Case& c : cases) {
      B().SetText(c.text);
      B().SetSelection(c.caret, 0);
      QTest::keyClick(E(), Qt::Key_Return);
      QCOMPARE(form->EditorText(), c.want);
    }
    form->Action("AutoIndentOpt")->trigger();
    B().SetText("  x");
    B().SetSelection(3, 0);
    QTest::keyClick(E(), Qt::Key_Return);
    QCOMPARE(form->EditorText(), std::string("  x\r\n"));
  }

  void selectionInPanelZero() {
    struct Case {
      std::string text;
      Offset start, length;
      std::string want;
    };
    const Case cases[] = {
        {"a\tb", 1, 1, "1 character selected: \"\t\"  ASCII: #9  Hex: 0x09  Binary: 00001001"},
        {"A", 0, 1, "1 character selected: \"A\"  ASCII: #65  Hex: 0x41  Binary: 01000001"},
        {"x\x80", 1, 1, "1 character selected: \"\xE2\x82\xAC\"  ASCII: #128  Hex: 0x80  Binary: 10000000"},
        {"ab\r\ncd", 2, 2, "\"2\" characters selected"},
        {"abcdef", 1, 4, "\"4\" characters selected"},
    };
    for (const Case& c : cases) {
      B().SetText(c.text);
      B().SetSelection(c.start, c.length);
      QCOMPARE(form->StatusText(0), c.want);
    }
  }

  void everyByteSurvivesTypingAndPaste() {
    std::string all;
    for (int b = 1; b < 256; ++b)
      if (b != '\r' && b != '\n') all += static_cast<char>(b);
    SetClipboard(new QMimeData);
    QGuiApplication::clipboard()->setText(ToQString(all));
    form->Paste_Cmd();
    QCOMPARE(form->EditorText(), all);
    B().SetText("");
    for (const QChar c : {QChar(0x20AC), QChar(0x0178), QChar(0x4E2D)})
      QTest::sendKeyEvent(QTest::Click, E(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    // No byte for the last one: refused with a word in the status bar.
    QCOMPARE(form->EditorText(), std::string("\x80\x9F"));
    QVERIFY(form->StatusText(0).find("cannot be written") != std::string::npos);
  }

  void pasteReportsInsertedLength() {
    B().SetText("xy");
    B().SetSelection(1, 0);
    QGuiApplication::clipboard()->setText("one\ntwo");
    form->Paste_Cmd();
    QCOMPARE(form->EditorText(), std::string("xone\r\ntwoy"));
    QCOMPARE(form->StatusText(0),
             std::string("\"10\" characters on \"2\" lines   (8 characters inserted!)"));
  }

  void bitmapAndOtherClipboards() {
    B().SetText("keep");
    B().SelectAll();
    SetClipboardImage();
    form->Paste_Cmd();
    QCOMPARE(form->StatusText(0), std::string("Cannot insert a bitmap into the text!"));
    QCOMPARE(form->EditorText(), std::string("keep"));

    auto* other = new QMimeData;
    other->setData("application/x-thing", "1");
    SetClipboard(other);
    form->Paste_Cmd();
    QCOMPARE(form->StatusText(0),
             std::string("Of the 1 format(s) in the clipboard none of them is in text format!"));

    SetClipboard(new QMimeData);
    form->Paste_Cmd();
    QCOMPARE(form->StatusText(0), std::string("The clipboard is empty!"));
    QCOMPARE(form->EditorText(), std::string("keep"));
  }

  void pasteFileList() {
    const QString path = P("in file.txt");
    QVERIFY(WriteFile(path, "from\r\nfile\x1Atail"));
    B().SetText("[sel]");
    B().SetSelection(1, 3);
    SetClipboardFile(path);
    {
      ScriptedBoxes no({}, 7);
      form->Paste_Cmd();
      QCOMPARE(no.Captions(), std::vector<std::string>{"Insert text from file"});
      QCOMPARE(form->EditorText(), std::string("[sel]"));
    }
    {
      ScriptedBoxes yes({}, 6);
      form->Paste_Cmd();
      QCOMPARE(form->EditorText(), std::string("[from\r\nfile]"));
    }
    // A file that cannot be read replaces nothing.
    B().SetText("[sel]");
    B().SetSelection(1, 3);
    SetClipboardFile(P("missing.txt"));
    ScriptedBoxes yes({}, 6);
    form->Paste_Cmd();
    QCOMPARE(form->EditorText(), std::string("[sel]"));
    QCOMPARE(yes.Captions().size(), size_t(2));
  }

  // Shift+Insert and the middle button go through the same paste rules as Ctrl+V.
  void everyPasteRouteKeepsTheRules() {
    // A name longer than 255 characters is taken whole.
    QString deep = dir.path();
    while (deep.size() < 300) deep += "/a-folder-with-a-long-name";
    QVERIFY(QDir().mkpath(deep));
    const QString path = deep + "/in.txt";
    QVERIFY(WriteFile(path, "from file"));
    B().SetText("[]");
    B().SetSelection(1, 0);
    SetClipboardFile(path);
    {
      ScriptedBoxes yes({}, 6);
      QTest::keyClick(E(), Qt::Key_Insert, Qt::ShiftModifier);
      QCOMPARE(yes.Captions(), std::vector<std::string>{"Insert text from file"});
      QVERIFY(yes.Texts()[0].find(path.toStdString()) != std::string::npos);
    }
    QCOMPARE(form->EditorText(), std::string("[from file]"));  // not opened as a document

    SetClipboardImage();
    QTest::keyClick(E(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(form->StatusText(0), std::string("Cannot insert a bitmap into the text!"));

    if (!QGuiApplication::clipboard()->supportsSelection()) return;  // no primary selection here
    QGuiApplication::clipboard()->setText("mid", QClipboard::Selection);
    QTest::mouseClick(E()->viewport(), Qt::MiddleButton, Qt::NoModifier, E()->PointOfOffset(0) + QPoint(1, 3));
    QCOMPARE(form->EditorText(), std::string("mid[from file]"));
  }

  void pasteButtonPreview() {
    QGuiApplication::clipboard()->setText(QString(300, 'x'));
    form->Paste3_MouseMove();
    const QString tip = form->Action("Paste3")->toolTip();
    QVERIFY(tip.startsWith("Paste from clipboard (Ctrl+V)\nPreview of clipboard (1..255):\n\n\""));
    QVERIFY(tip.endsWith(QString(255, 'x') + "...\""));
    QCOMPARE(form->Action("Paste3")->statusTip(), QString("Paste from clipboard (Ctrl+V)"));
  }

  void droppedFilesOpenAndTextIsNormalised() {
    const QString path = P("dropped.txt");
    QVERIFY(WriteFile(path, "dropped text"));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(path)});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    DropAccess::Drop(E(), &drop);
    QCOMPARE(form->DocFileName(), path.toStdString());
    QCOMPARE(form->EditorText(), std::string("dropped text"));
    QCOMPARE(form->StatusText(0), std::string("Dropped: \"dropped.txt\""));

    B().SetText("");
    QMimeData text;
    text.setText(QString("a\rb") + QChar(0x2028) + "c\r\nd" + QChar(0x20AC));
    QDropEvent dropText(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    DropAccess::Drop(E(), &dropText);
    QCOMPARE(form->EditorText(), std::string("a\r\nb\r\nc\r\nd\x80"));
  }

  void cutCopyUndo() {
    B().SetText("hello world");
    B().SetSelection(0, 6);
    form->Cut_Cmd();
    QCOMPARE(form->EditorText(), std::string("world"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("hello "));
    QVERIFY(B().CanUndo());
    form->Undo_Cmd();
    QCOMPARE(form->EditorText(), std::string("hello world"));
    B().SetSelection(6, 5);
    form->Copy_Cmd();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("world"));
    form->Delete_Cmd();
    QCOMPARE(form->EditorText(), std::string("hello "));
    form->SelectAll_Cmd();
    QCOMPARE(B().SelLength(), Offset(6));
  }

  void busyBracketRestoresAClampedSelection() {
    B().SetText("hello world");
    form->SetModified(false);
    B().SetSelection(6, 5);
    {
      EditorBusy busy(*form, true);
      QVERIFY(form->EditorIsBusy());
      B().SetText("hi");
    }
    QVERIFY(!form->EditorIsBusy());
    QCOMPARE(B().SelStart(), Offset(2));
    QCOMPARE(B().SelLength(), Offset(0));
    QVERIFY(!form->Modified());  // the change handler was detached
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void ctrlUpAndDown() {
    B().SetText("one\r\ntwo\r\nthree");
    B().SetSelection(6, 0);
    form->CtrlDown_Cmd();
    QCOMPARE(B().SelStart(), Offset(10));
    form->CtrlDown_Cmd();  // last line: start of that line
    QCOMPARE(B().SelStart(), Offset(10));
    form->CtrlUp_Cmd();
    QCOMPARE(B().SelStart(), Offset(5));
    form->CtrlUp_Cmd();
    form->CtrlUp_Cmd();
    QCOMPARE(B().SelStart(), Offset(0));
  }

  void tabStopsInPoints() {
    QCOMPARE(B().TabStopPoints(), 48.0);
    QCOMPARE(E()->Glyphs().TabStop(), 48.0 * E()->logicalDpiX() / 72.0);
  }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
