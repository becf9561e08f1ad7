// The text functions through the window: the menu items with their tags,
// the "Misc functions" dialog and its pages, and coloring on the edit
// control.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "app/qt/MainQuillora.h"
#include "app/qt/TextToolCommands.h"
#include "editor/qt/EditorView.h"
#include "functions/qt/FunctionsDialog.h"
#include "functions/qt/ProcessWindow.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

class FunctionsTest : public QObject, private WindowFixture {
  Q_OBJECT

  void Trigger(const char* name) {
    QAction* a = form->Action(name);
    QVERIFY2(a && a->isEnabled(), name);
    a->trigger();
  }
  TFormFunc* Dialog() { return form->findChild<TFormFunc*>("FormFunc"); }
  std::uint32_t ColorAt(Offset pos) { return form->Editor()->Colors().At(pos).color; }

  // Opens the dialog; `inside` runs while it is shown, then it closes.
  void WithDialog(const std::function<void(TFormFunc&)>& inside) {
    QTimer::singleShot(0, [this, inside] {
      TFormFunc* d = Dialog();
      QVERIFY(d && d->isVisible());
      inside(*d);
      d->reject();
    });
    Trigger("Functions1");
  }

 private slots:
  void init() {
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
    Start();
  }
  void cleanup() {
    SetColorPickHook(nullptr);
    Stop();
  }

  void menuItemsRunTheirFunctions() {
    struct Case {
      const char* item;
      const char* before;
      Offset selStart, selLength;
      const char* after;
      const char* status;
    } cases[] = {
        {"Rot131", "Hello", 0, 0, "Uryyb", "ROT 13 encryption/decryption done"},
        {"Rot132", "Hello", 1, 2, "Hrylo", "ROT 13 encryption/decryption done"},  // the pop-up twin
        {"Backward1", "ab\r\ncd", 0, 0, "dc\r\nba", "Backward text encryption/decryption done"},
        {"EncryptHex1", "A\r\n", 0, 0, "410D0A", "Hexadecimal text encryption done"},
        {"DecryptHex1", "4a4B", 0, 0, "JK", "Hexadecimal text decryption done"},
        {"EncryptBinary1", "xA", 1, 1, "x01000001", "Binary text encryption done"},
        {"DecryptBinary1", "0100000101", 0, 0, "A\x01", "Binary text decryption done"},
    };
    for (const Case& c : cases) {
      form->SetEditorText(c.before);
      form->SetModified(false);
      form->Buffer().SetSelection(c.selStart, c.selLength);
      ScriptedBoxes boxes;
      Trigger(c.item);
      QCOMPARE(form->EditorText(), std::string(c.after));
      QVERIFY2(boxes.seen.empty(), c.item);
      QVERIFY2(form->Modified(), c.item);
      QCOMPARE(form->StatusText(0), std::string(c.status));
      QVERIFY(!form->EditorIsBusy());
      QVERIFY(!ProcessShown());
      form->Buffer().Undo();
      QCOMPARE(form->EditorText(), std::string(c.before));
    }
  }

  void emptyTextAndRefusals() {
    form->SetEditorText("");
    {
      ScriptedBoxes boxes;
      Trigger("Rot131");
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"No text!"});
    }
    form->SetEditorText("0041");
    form->SetModified(false);
    {
      ScriptedBoxes boxes({7});  // No: leave the digits alone
      Trigger("EncryptHex1");
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"Hexadeciaml encryption warning!"});
      QCOMPARE(form->EditorText(), std::string("0041"));
    }
    {
      ScriptedBoxes boxes;
      Trigger("DecryptHex1");  // 00 is no character of a text
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"Character 0 in result!"});
      QCOMPARE(form->EditorText(), std::string("0041"));
      QVERIFY(!form->Modified());
    }
  }

  void htmlTagColoringColorsWithoutChangingTheText() {
    const std::string page = "<p class=\"a b\">x {\\rtf1} \t</p>\r\n";
    form->SetEditorText(page);
    form->SetModified(false);
    ScriptedBoxes boxes;
    Trigger("HtmlColoring1");
    QVERIFY(boxes.seen.empty());
    QCOMPARE(form->EditorText(), page);
    QVERIFY(!form->Modified());
    QCOMPARE(ColorAt(0), 0xFF0000u);   // "<" in the tags color (blue)
    QCOMPARE(ColorAt(9), 0x008000u);   // the quoted value (green)
    QCOMPARE(ColorAt(15), 0x0000FFu);  // the text (red)
    QCOMPARE(form->StatusText(0), std::string("The HTML tag coloring are done"));
  }

  void coloringUnderWordWrapFollowsTheTextsLines() {
    const std::string value(3000, 'v');
    form->SetEditorText("name=" + value + "\r\n[s]");
    form->Editor()->SetWordWrap(true);
    ScriptedBoxes boxes;
    Trigger("StandardColoring1");
    QVERIFY(boxes.seen.empty());
    QCOMPARE(ColorAt(0), 0xFF0000u);     // the key in the tags color
    QCOMPARE(ColorAt(5), 0x008000u);     // the value, on every row it wraps to
    QCOMPARE(ColorAt(3004), 0x008000u);
    QCOMPARE(ColorAt(3007), 0x008000u);  // the section line
    form->Editor()->SetWordWrap(false);
  }

  void keywordColoringUsesTheUsersPresets() {
    QVERIFY(QDir().mkpath(P("quillora/Presets")));
    QVERIFY(WriteFile(P("quillora/Presets/Shell.KWL"), "echo,set"));
    form->SetEditorText("ECHO hi\r\n:label");
    form->SetModified(false);
    ScriptedBoxes boxes;
    Trigger("KeywordColoring1");
    QVERIFY(boxes.seen.empty());
    QCOMPARE(ColorAt(0), 0xFF0000u);
    QCOMPARE(ColorAt(5), 0x0000FFu);
    QCOMPARE(ColorAt(9), 0x008000u);
    QVERIFY(!form->Modified());
    QCOMPARE(Dialog()->WordList_Combo->count(), 1);
    QCOMPARE(Dialog()->WordList_Combo->itemText(0), QString("Shell"));
    // Upper-casing changes the text, one step to undo, and marks it modified.
    form->SetEditorText("echo x");
    form->SetModified(false);
    WithDialog([](TFormFunc& d) {
      d.Main_PageCtrl->setCurrentWidget(d.Color_Sheet);
      d.KeyWords_Radio->setChecked(true);
      QVERIFY(d.UppercaseTag_Check->isEnabled());
      d.UppercaseTag_Check->setChecked(true);
      d.DoFunction();
      QVERIFY(d.Delay_Label->text().startsWith("Delay: "));
      d.UppercaseTag_Check->setChecked(false);
      d.Standard_Radio->setChecked(true);
    });
    QCOMPARE(form->EditorText(), std::string("ECHO x"));
    QVERIFY(form->Modified());
    form->Buffer().Undo();
    QCOMPARE(form->EditorText(), std::string("echo x"));
  }

  void noKeywordListIsReported() {
    QDir(P("quillora")).removeRecursively();
    form->SetEditorText("text");
    ScriptedBoxes boxes;
    Trigger("KeywordColoring1");
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"No KeyWord Lists!"});
  }

  void dialogPreparation() {
    QVERIFY(WriteFile(P("page.HTML"), "<b>a</b>\r\nb\r\nc\r\n"));
    Open("page.HTML");
    form->Buffer().SetSelection(0, 12);  // ends in the 2nd line
    WithDialog([](TFormFunc& d) {
      QVERIFY(d.HTML_Radio->isChecked());
      QVERIFY(d.SelText_Radio->isChecked());
      QCOMPARE(d.ToLine_Edit->value(), 2);
      QCOMPARE(d.ToLine_Edit->maximum(), 3);
      QVERIFY(!d.WordList_Combo->isEnabled());
      d.Main_PageCtrl->setCurrentWidget(d.Encrypt_Sheet);
      QVERIFY(!d.Enc_Radio->isEnabled());  // ROT 13 is its own inverse
      d.BitShift_Radio->setChecked(true);
      QVERIFY(d.Enc_Radio->isEnabled());
      QVERIFY(d.BitShift_Edit->isEnabled());
      d.EncRot13_Radio->setChecked(true);
      d.FromLine_Edit->setValue(3);
    });
    // A remembered start line is kept inside a shorter text.
    form->SetEditorText("one line");
    WithDialog([](TFormFunc& d) {
      QCOMPARE(d.FromLine_Edit->maximum(), 1);
      QCOMPARE(d.FromLine_Edit->value(), 1);
      QVERIFY(d.AllText_Radio->isChecked());
    });
  }

  void batchInsertFromTheDialog() {
    form->SetEditorText("a\r\n\r\nc");
    form->SetModified(false);
    WithDialog([](TFormFunc& d) {
      d.Main_PageCtrl->setCurrentWidget(d.BatchIns_Sheet);
      d.FromLine_Edit->setValue(1);
      d.ToLine_Edit->setValue(3);
      d.Format_Edit->setText("%M. %L");
      d.LineWithText_Check->setChecked(true);
      d.DoFunction();
    });
    QCOMPARE(form->EditorText(), std::string("1. a\r\n\r\n3. c\r\n"));
    QVERIFY(form->Modified());
  }

  void tooManyLinesHideTheBatchPage() {
    for (int lines : {32767, 32768}) {
      std::string text;
      for (int i = 0; i < lines; ++i) text += "x\r\n";
      Stop();
      Start();
      form->SetEditorText(text);
      ScriptedBoxes boxes;
      Trigger("Rot131");
      QCOMPARE(Dialog()->BatchPageShown(), lines == 32767);
      QCOMPARE(boxes.Captions().size(), lines == 32767 ? 0u : 1u);
      if (lines == 32768) {
        QCOMPARE(boxes.seen[0].caption, std::string("To many lines!"));
        Trigger("Rot131");  // not asked again
        QCOMPARE(boxes.seen.size(), 1u);
        QCOMPARE(Dialog()->Main_PageCtrl->count(), 2);
      }
    }
  }

  void swatchesPickDropAndHint() {
    form->SetEditorText("x");
    SetColorPickHook([](std::int64_t initial) { return initial == 0x0000FF ? 0x123456 : -1; });
    WithDialog([](TFormFunc& d) {
      d.Color_Change(1);
      QCOMPARE(d.TextColor_Panel->ColorValue(), 0x123456u);
      d.Color_Change(2);  // cancelled
      QCOMPARE(d.TagColor_Panel->ColorValue(), 0xFF0000u);
      TFormFunc::DropSwatch(d.TagColor_Panel, d.DefColor_Panel, true);
      QCOMPARE(d.DefColor_Panel->ColorValue(), 0xFF0000u);
      QCOMPARE(d.TagColor_Panel->ColorValue(), 0x008000u);
      TFormFunc::DropSwatch(d.TextColor_Panel, d.TagColor_Panel, false);
      QCOMPARE(d.TagColor_Panel->ColorValue(), 0x123456u);
      QCOMPARE(d.TextColor_Panel->ColorValue(), 0x123456u);
    });
    QCOMPARE(SwatchHint(0x0000FF), std::string("(Drag'n'Drop)\r\n\r\nHex:  0xFF0000\r\nRGB:  255;000;000;"));
    QCOMPARE(DelayText(62345), std::string("01:02:345"));
  }
};

QTEST_MAIN(FunctionsTest)
#include "functions_test.moc"
