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

using namespace ql;

namespace {


// Synthetic drops are not delivered without a real drag; call the handler.
struct DropAccess : EditorView {
  static void Drop(EditorView* w, QDropEvent* e) { (w->*(&DropAccess::dropEvent))(e); }
};

void SetClipboard(QMimeData* data) { QGuiApplication::clipboard()->setMimeData(data); }


}  // namespace

class EditorTest : public QObject {
  Q_OBJECT

  MemoryStore store_;
  std::unique_ptr<TFormQuillora> form_;

  EditorBuffer& B() { return form_->Buffer(); }
  EditorView* E() { return form_->Editor(); }

 private slots:
  void init() {
    store_ = MemoryStore();
    form_ = std::make_unique<TFormQuillora>(store_, std::vector<std::string>{});
    form_->SetInstanceStarter([](const std::vector<std::string>&, const std::string&) {});
    form_->Start();
  }
  void cleanup() {
    form_->SetModified(false);
    form_.reset();
  }

  void bufferOffsetRules() {
    const auto failures = RunBufferCases([]() -> std::unique_ptr<EditorBuffer> {
      return std::make_unique<EditorView>();
    }, 3000);
    for (const std::string& f : failures) qWarning("%s", f.c_str());
    QCOMPARE(failures.size(), size_t(0));
  }

  void caretPanelsFollowTheCaret() {
    QCOMPARE(form_->StatusText(1), std::string("Line: 1"));  // empty, at start-up
    QCOMPARE(form_->StatusText(2), std::string("Col: 1"));
    QCOMPARE(form_->StatusText(3), std::string("0.00%"));
    QCOMPARE(form_->StatusText(4), std::string("Pos: 0"));
    B().SetText("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nhello");
    B().SetSelection(B().TextLength() - 2, 0);
    QCOMPARE(form_->StatusText(1), std::string("Line: 8"));
    QCOMPARE(form_->StatusText(2), std::string("Col: 4"));
    QCOMPARE(form_->StatusText(3), std::string("87.50%"));
    QCOMPARE(form_->StatusText(4), std::string("Pos: 24"));
    QCOMPARE(form_->StatusText(0), std::string("\"26\" characters on \"8\" lines"));
  }

  void typingMarksModifiedOnce() {
    QVERIFY(!form_->Modified());
    QTest::keyClicks(E(), "ab");
    QVERIFY(form_->Modified());
    QCOMPARE(form_->windowTitle(), QString("Quillora  <Untitled> *"));
    QTest::keyClicks(E(), "c");
    QCOMPARE(form_->windowTitle(), QString("Quillora  <Untitled> *"));
  }

  void lookChangesDoNotMarkModified() {
    B().SetText("text");
    form_->SetModified(false);
    form_->SetEditorFont("Terminal", 9);
    form_->SetEditorColors(0x000080, 0xFFFFFF);
    form_->ThemeSelect(2);
    form_->FontChange_Cmd(3);
    form_->Action("WordWrapOpt")->trigger();
    QVERIFY(!form_->Modified());
    QCOMPARE(form_->Options().FontNameScreen, std::string("Terminal"));
    QCOMPARE(form_->Options().FontSizeScreen, 9);
    QCOMPARE(B().DefaultAttributes().fontName, std::string("Terminal"));
  }

  void terminalFontShowsTheBytesAsNfoArt() {
    B().SetText("\xC4\xB3 x");
    form_->SetModified(false);
    form_->FontChange_Cmd(3);  // Terminal
    QCOMPARE(E()->DisplayString(0, B().TextLength()), QString::fromUtf8("\xE2\x94\x80\xE2\x94\x82 x"));  // box lines
    QCOMPARE(form_->EditorText(), std::string("\xC4\xB3 x"));
    QTest::keyClick(E(), Qt::Key_End);
    QTest::sendKeyEvent(QTest::Click, E(), Qt::Key_unknown, QString(QChar(0x2550)), Qt::NoModifier);
    QCOMPARE(form_->EditorText(), std::string("\xC4\xB3 x\xCD"));  // typed in the same set
    form_->FontChange_Cmd(1);  // Courier New
    QCOMPARE(E()->DisplayString(0, B().TextLength()), QString::fromUtf8("\xC3\x84\xC2\xB3 x\xC3\x8D"));
    QCOMPARE(form_->EditorText(), std::string("\xC4\xB3 x\xCD"));
  }

  void enterKeysInsertOrdinaryBreaks() {
    QTest::keyClicks(E(), "a");
    QTest::keyClick(E(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(E(), "b");
    QTest::keyClick(E(), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClicks(E(), "c");
    QCOMPARE(form_->EditorText(), std::string("a\r\nb\r\nc"));
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
    form_->Action("AutoIndentOpt")->trigger();
    for (const Case& c : cases) {
      B().SetText(c.text);
      B().SetSelection(c.caret, 0);
      QTest::keyClick(E(), Qt::Key_Return);
      QCOMPARE(form_->EditorText(), c.want);
    }
    form_->Action("AutoIndentOpt")->trigger();
    B().SetText("  x");
    B().SetSelection(3, 0);
    QTest::keyClick(E(), Qt::Key_Return);
    QCOMPARE(form_->EditorText(), std::string("  x\r\n"));
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
      QCOMPARE(form_->StatusText(0), c.want);
    }
  }

  void everyByteSurvivesTypingAndPaste() {
    std::string all;
    for (int b = 1; b < 256; ++b)
      if (b != '\r' && b != '\n') all += static_cast<char>(b);
    SetClipboard(new QMimeData);
    QGuiApplication::clipboard()->setText(ToQString(all));
    form_->Paste_Cmd();
    QCOMPARE(form_->EditorText(), all);
    B().SetText("");
    for (const QChar c : {QChar(0x20AC), QChar(0x0178), QChar(0x4E2D)})
      QTest::sendKeyEvent(QTest::Click, E(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    // No byte for the last one: refused with a word in the status bar.
    QCOMPARE(form_->EditorText(), std::string("\x80\x9F"));
    QVERIFY(form_->StatusText(0).find("cannot be written") != std::string::npos);
  }

  void pasteReportsInsertedLength() {
    B().SetText("xy");
    B().SetSelection(1, 0);
    QGuiApplication::clipboard()->setText("one\ntwo");
    form_->Paste_Cmd();
    QCOMPARE(form_->EditorText(), std::string("xone\r\ntwoy"));
    QCOMPARE(form_->StatusText(0),
             std::string("\"10\" characters on \"2\" lines   (8 characters inserted!)"));
  }

  void bitmapAndOtherClipboards() {
    B().SetText("keep");
    B().SelectAll();
    auto* image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    SetClipboard(image);
    form_->Paste_Cmd();
    QCOMPARE(form_->StatusText(0), std::string("Cannot insert a bitmap into the text!"));
    QCOMPARE(form_->EditorText(), std::string("keep"));

    auto* other = new QMimeData;
    other->setData("application/x-thing", "1");
    SetClipboard(other);
    form_->Paste_Cmd();
    QCOMPARE(form_->StatusText(0),
             std::string("Of the 1 format(s) in the clipboard none of them is in text format!"));

    SetClipboard(new QMimeData);
    form_->Paste_Cmd();
    QCOMPARE(form_->StatusText(0), std::string("The clipboard is empty!"));
    QCOMPARE(form_->EditorText(), std::string("keep"));
  }

  void pasteFileList() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/in file.txt";
    QVERIFY(WriteFile(path, "from\r\nfile\x1Atail"));
    B().SetText("[sel]");
    B().SetSelection(1, 3);
    auto* files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile(path)});
    SetClipboard(files);
    {
      ScriptedBoxes no({}, 7);
      form_->Paste_Cmd();
      QCOMPARE(no.Captions(), std::vector<std::string>{"Insert text from file"});
      QCOMPARE(form_->EditorText(), std::string("[sel]"));
    }
    {
      ScriptedBoxes yes({}, 6);
      form_->Paste_Cmd();
      QCOMPARE(form_->EditorText(), std::string("[from\r\nfile]"));
    }
    // A file that cannot be read replaces nothing.
    B().SetText("[sel]");
    B().SetSelection(1, 3);
    files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile(dir.path() + "/missing.txt")});
    SetClipboard(files);
    ScriptedBoxes yes({}, 6);
    form_->Paste_Cmd();
    QCOMPARE(form_->EditorText(), std::string("[sel]"));
    QCOMPARE(yes.Captions().size(), size_t(2));
  }

  // Shift+Insert and the middle button go through the same paste rules as Ctrl+V.
  void everyPasteRouteKeepsTheRules() {
    QTemporaryDir dir;
    // A name longer than 255 characters is taken whole.
    QString deep = dir.path();
    while (deep.size() < 300) deep += "/a-folder-with-a-long-name";
    QVERIFY(QDir().mkpath(deep));
    const QString path = deep + "/in.txt";
    QVERIFY(WriteFile(path, "from file"));
    B().SetText("[]");
    B().SetSelection(1, 0);
    auto* files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile(path)});
    SetClipboard(files);
    {
      ScriptedBoxes yes({}, 6);
      QTest::keyClick(E(), Qt::Key_Insert, Qt::ShiftModifier);
      QCOMPARE(yes.Captions(), std::vector<std::string>{"Insert text from file"});
      QVERIFY(yes.Texts()[0].find(path.toStdString()) != std::string::npos);
    }
    QCOMPARE(form_->EditorText(), std::string("[from file]"));  // not opened as a document

    auto* image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    SetClipboard(image);
    QTest::keyClick(E(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(form_->StatusText(0), std::string("Cannot insert a bitmap into the text!"));

    if (!QGuiApplication::clipboard()->supportsSelection()) return;  // no primary selection here
    QGuiApplication::clipboard()->setText("mid", QClipboard::Selection);
    QTest::mouseClick(E()->viewport(), Qt::MiddleButton, Qt::NoModifier, E()->PointOfOffset(0) + QPoint(1, 3));
    QCOMPARE(form_->EditorText(), std::string("mid[from file]"));
  }

  void pasteButtonPreview() {
    QGuiApplication::clipboard()->setText(QString(300, 'x'));
    form_->Paste3_MouseMove();
    const QString tip = form_->Action("Paste3")->toolTip();
    QVERIFY(tip.startsWith("Paste from clipboard (Ctrl+V)\nPreview of clipboard (1..255):\n\n\""));
    QVERIFY(tip.endsWith(QString(255, 'x') + "...\""));
    QCOMPARE(form_->Action("Paste3")->statusTip(), QString("Paste from clipboard (Ctrl+V)"));
  }

  void droppedFilesOpenAndTextIsNormalised() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/dropped.txt";
    QVERIFY(WriteFile(path, "dropped text"));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(path)});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    DropAccess::Drop(E(), &drop);
    QCOMPARE(form_->DocFileName(), path.toStdString());
    QCOMPARE(form_->EditorText(), std::string("dropped text"));
    QCOMPARE(form_->StatusText(0), std::string("Dropped: \"dropped.txt\""));

    B().SetText("");
    QMimeData text;
    text.setText(QString("a\rb") + QChar(0x2028) + "c\r\nd" + QChar(0x20AC));
    QDropEvent dropText(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    DropAccess::Drop(E(), &dropText);
    QCOMPARE(form_->EditorText(), std::string("a\r\nb\r\nc\r\nd\x80"));
  }

  void cutCopyUndo() {
    B().SetText("hello world");
    B().SetSelection(0, 6);
    form_->Cut_Cmd();
    QCOMPARE(form_->EditorText(), std::string("world"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("hello "));
    QVERIFY(B().CanUndo());
    form_->Undo_Cmd();
    QCOMPARE(form_->EditorText(), std::string("hello world"));
    B().SetSelection(6, 5);
    form_->Copy_Cmd();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("world"));
    form_->Delete_Cmd();
    QCOMPARE(form_->EditorText(), std::string("hello "));
    form_->SelectAll_Cmd();
    QCOMPARE(B().SelLength(), Offset(6));
  }

  void busyBracketRestoresAClampedSelection() {
    B().SetText("hello world");
    form_->SetModified(false);
    B().SetSelection(6, 5);
    {
      EditorBusy busy(*form_, true);
      QVERIFY(form_->EditorIsBusy());
      B().SetText("hi");
    }
    QVERIFY(!form_->EditorIsBusy());
    QCOMPARE(B().SelStart(), Offset(2));
    QCOMPARE(B().SelLength(), Offset(0));
    QVERIFY(!form_->Modified());  // the change handler was detached
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void ctrlUpAndDown() {
    B().SetText("one\r\ntwo\r\nthree");
    B().SetSelection(6, 0);
    form_->CtrlDown_Cmd();
    QCOMPARE(B().SelStart(), Offset(10));
    form_->CtrlDown_Cmd();  // last line: start of that line
    QCOMPARE(B().SelStart(), Offset(10));
    form_->CtrlUp_Cmd();
    QCOMPARE(B().SelStart(), Offset(5));
    form_->CtrlUp_Cmd();
    form_->CtrlUp_Cmd();
    QCOMPARE(B().SelStart(), Offset(0));
  }

  void tabStopsInPoints() {
    QCOMPARE(B().TabStopPoints(), 48.0);
    QCOMPARE(E()->Glyphs().TabStop(), 48.0 * E()->logicalDpiX() / 72.0);
  }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
