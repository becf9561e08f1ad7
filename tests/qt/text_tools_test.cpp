// The text tools through the window's menu items: the document changes in
// one undoable step, is marked modified and keeps its selection.
#include <QAction>
#include <QtTest>
#include <memory>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/qt/MainQuillora.h"
#include "app/qt/TextToolCommands.h"
#include "tools/qt/DateTimeDialog.h"
#include "platform/Store.h"
#include "TestSupport.h"

using namespace ql;

class TextToolsTest : public QObject {
  Q_OBJECT

  MemoryStore store_;
  std::unique_ptr<TFormQuillora> form_;

  void Trigger(const char* name) {
    QAction* a = form_->Action(name);
    QVERIFY2(a && a->isEnabled(), name);
    a->trigger();
  }

 private slots:
  void init() {
    store_ = MemoryStore();
    store_.WriteString("\\Software\\Norvane Productions\\Quillora\\Options", "Window", "0");
    form_ = std::make_unique<TFormQuillora>(store_, std::vector<std::string>{});
    form_->Start();
  }
  void cleanup() {
    SetTextInputHook(nullptr);
    SetColorPickHook(nullptr);
    form_->SetFileDialogHandler(nullptr);
    form_->SetModified(false);
    form_.reset();
  }

  void convertItemsWorkFromBothMenus() {
    struct Case {
      const char* action;
      const char* before;
      const char* after;
    } cases[] = {
        {"UpperCase1", "stra\xDF" "e", "STRA\xDF" "E"},
        {"LowerCase2", "ABC", "abc"},
        {"TitleCase1", "it's 2nd", "It'S 2Nd"},
        {"ToggleCase2", "Stra\xDF" "e", "sTRA\xDF" "E"},
        {"AnsiToOem1", "caf\xE9", "caf\x82"},
        {"OemToAnsi2", "caf\x82", "caf\xE9"},
        {"MultiToSingleA1", "-H-i", "Hi"},
        {"MultiToSingleB2", "H-e-l-l-o", "Hello"},
    };
    for (const Case& c : cases) {
      form_->SetEditorText(c.before);
      form_->SetModified(false);
      form_->Buffer().SetSelection(1, 0);
      Trigger(c.action);
      QCOMPARE(form_->EditorText(), std::string(c.after));
      QVERIFY2(form_->Modified(), c.action);
      QVERIFY2(!form_->EditorIsBusy(), c.action);
      form_->Buffer().Undo();  // one step takes it all back
      QCOMPARE(form_->EditorText(), std::string(c.before));
    }
  }

  void caseConversionKeepsTheSelection() {
    form_->SetEditorText("one two three");
    form_->Buffer().SetSelection(4, 3);
    Trigger("UpperCase1");
    QCOMPARE(form_->EditorText(), std::string("one TWO three"));
    QCOMPARE(form_->Buffer().SelStart(), Offset(4));
    QCOMPARE(form_->Buffer().SelLength(), Offset(3));
  }

  void centerWithSpacesNeedsASelection() {
    form_->SetEditorText("   abc");
    form_->SetModified(false);
    Trigger("CenterSpace1");
    QCOMPARE(form_->EditorText(), std::string("   abc"));
    QVERIFY(!form_->Modified());
    form_->Buffer().SelectAll();
    Trigger("CenterSpace2");
    QCOMPARE(form_->EditorText(), std::string(" abc "));
    QVERIFY(form_->Modified());
  }

  void asciiCharactersAskAndInsert() {
    ScriptedBoxes boxes;
    std::string caption, prompt, initial;
    SetTextInputHook([&](const std::string& c, const std::string& p, const std::string& i) {
      caption = c, prompt = p, initial = i;
      return std::optional<std::string>("72,300,105");
    });
    form_->SetEditorText("");
    form_->SetModified(false);
    Trigger("AsciiChars1");
    QCOMPARE(caption, std::string("Insert ASCII characters"));
    QCOMPARE(prompt, std::string("Write numbers of ASCII characters (0..255)"));
    QCOMPARE(initial, std::string("Separate with a non-number"));
    QCOMPARE(form_->EditorText(), std::string("Hi"));
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Not within range!"});
    QVERIFY(form_->Modified());
    SetTextInputHook([](const std::string&, const std::string&, const std::string&) {
      return std::optional<std::string>();
    });
    Trigger("AsciiChars2");  // cancelled
    QCOMPARE(form_->EditorText(), std::string("Hi"));
  }

  void visibleBlockAndFileNames() {
    form_->SetEditorText("");
    Trigger("VisibleAsciiChars1");
    QCOMPARE(form_->Buffer().TextLength(), Offset(224 + 12));
    QCOMPARE(form_->Buffer().LineCount(), Offset(7));

    form_->SetEditorText("");
    form_->SetFileDialogHandler([](const std::string&, const std::string&) {
      return std::vector<std::string>{"/tmp/a b/one.txt", "/tmp/two.txt"};
    });
    Trigger("FileName1");
    QCOMPARE(form_->EditorText(), std::string("/tmp/a b/one.txt\r\n/tmp/two.txt\r\n"));
    form_->SetEditorText("");
    Trigger("FNameRelative2");  // an unsaved document: full paths
    QCOMPARE(form_->EditorText(), std::string("/tmp/a b/one.txt\r\n/tmp/two.txt\r\n"));
    form_->SetFileDialogHandler([](const std::string&, const std::string&) {
      return std::vector<std::string>{};
    });
    form_->SetEditorText("keep");
    Trigger("FileName83_1");
    QCOMPARE(form_->EditorText(), std::string("keep"));
  }

  void textFromFileKeepsTheSelectionWhenItFails() {
    QTemporaryDir dir;
    const std::string good = (dir.path() + "/in.txt").toStdString();
    QVERIFY(WriteFile(QString::fromStdString(good), QByteArray("one\ntwo\x1A rest")));
    form_->SetEditorText("a SEL b");
    form_->Buffer().SetSelection(2, 3);
    form_->SetFileDialogHandler([&](const std::string&, const std::string&) {
      return std::vector<std::string>{good};
    });
    Trigger("TextFromFile1");
    QCOMPARE(form_->EditorText(), std::string("a one\r\ntwo b"));

    ScriptedBoxes boxes;
    form_->Buffer().SetSelection(0, 1);
    form_->SetFileDialogHandler([&](const std::string&, const std::string&) {
      return std::vector<std::string>{(dir.path() + "/none.txt").toStdString()};
    });
    Trigger("TextFromFile2");
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"File doesn't exist!"});
    QCOMPARE(form_->Buffer().SelLength(), Offset(1));
  }

  void hexColorCodes() {
    std::int64_t offered = -2;
    SetColorPickHook([&](std::int64_t initial) {
      offered = initial;
      return std::int64_t(0x563412);  // RRGGBB 123456
    });
    struct Case {
      const char* text;
      const char* after;
      std::int64_t initial;
    } cases[] = {
        {"#ff8000", "#123456", 0x0080FF},
        {"FF8000", "123456", 0x0080FF},
        {"ABCDEF1", "123456", 0},
        {"abc", "#123456", 0},
    };
    for (const Case& c : cases) {
      form_->SetEditorText(c.text);
      form_->Buffer().SelectAll();
      Trigger("InsHexColor1");
      QCOMPARE(form_->EditorText(), std::string(c.after));
      QCOMPARE(offered, c.initial);
    }
    SetColorPickHook([](std::int64_t) { return std::int64_t(-1); });
    form_->SetEditorText("#ff8000");
    form_->Buffer().SelectAll();
    Trigger("InsHexColor1");
    QCOMPARE(form_->EditorText(), std::string("#ff8000"));
  }

  void dateTimeDialogInsertsOnOk() {
    form_->SetEditorText("");
    QTimer::singleShot(0, [this] {
      auto* dialog = form_->findChild<TFormDateTime*>();
      QVERIFY(dialog);
      QVERIFY(dialog->CustomEdit()->text().contains("\", yyyy - HH:NN:SS:ZZZ AM/PM"));
      dialog->Radio(6)->click();
      dialog->CustomEdit()->setText("'Y:'yyyy");
      QCOMPARE(dialog->DateTimeFormat(), std::string("'Y:'yyyy"));
      dialog->UpdateDateTime_Cmd();
      QVERIFY(dialog->ExampleLabel()->text().endsWith("('Y:'yyyy)"));
      dialog->accept();
    });
    Trigger("DateTime1");
    QCOMPARE(form_->EditorText(), "Y:" + std::to_string(QDate::currentDate().year()));
    QTimer::singleShot(0, [this] { form_->findChild<TFormDateTime*>()->reject(); });
    Trigger("DateTime2");
    QCOMPARE(form_->EditorText(), "Y:" + std::to_string(QDate::currentDate().year()));
  }
};

QTEST_MAIN(TextToolsTest)
#include "text_tools_test.moc"
