// The command map as a user meets it: captions, shortcuts and hints of
// every item, access keys, enabling rules, and the window's own commands.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "editor/qt/EditorView.h"
#include "app/qt/HelpWindow.h"
#include "app/qt/MainQuillora.h"
#include "platform/Store.h"
#include "platform/qt/Help.h"
#include "platform/qt/MessageBox.h"
#include "TestSupport.h"

using namespace ql;

namespace {

struct Item {
  const char* name;
  const char* caption;
  const char* shortcut;
  const char* hint;  // "" when the item has none
};

// The items as the menus must show them, typos included.
const Item kItems[] = {
    {"New1", "&New", "Ctrl+N", ""},
    {"Open1", "&Open File(s)...", "Ctrl+O", "Open an existing file (Ctrl+O)"},
    {"OpenInCopy1", "Open in new cop&y of Quillora...", "Ctrl+Shift+O", "Open a file in a new copy of Quillora (Shift+Ctrl+O)"},
    {"Save1", "&Save File", "Ctrl+S", "Save to current file (Ctrl+S)"},
    {"SaveAs1", "Save File &As...", "F12", "Save to a specific or new file (F12)"},
    {"ReadAsBinFile1", "Read fi&le as a Binary file", "Ctrl+B", ""},
    {"ExecFileDef1", "E&xecute file with default association...", "Ctrl+F9", "Executes the file as if you double-clicked it (Ctrl+F9)"},
    {"Revert1", "Re&vert file to last save", "Ctrl+R", "Revert to last saved point (Ctrl+R)"},
    {"FileInfo1", "&File Information...", "Alt+Return", "Info on the current file, almost the same as file properties (Alt+Enter)"},
    {"RenMovFile1", "R&ename/Move file...", "Shift+F2", "Renames/Moves the current file to an other filename/path (Shift+F2)"},
    {"DeleteFile1", "Delete file!", "", "WARNING: Deletes the file!!!"},
    {"Print1", "&Print...", "Ctrl+P", "Print the current text (Ctrl+P)"},
    {"PrintSetup1", "Pr&inter setup...", "Ctrl+Shift+P", "Printer setup (Shift+Ctrl+P)"},
    {"Close1", "&Close Quillora", "Alt+Q", "Close Quillora (Alt+Q)"},
    {"RemoveObsolete1", "&Remove obsolete", "", "Removes all obsolete files from the recent menu (The ones not enabled)"},
    {"ClearRecent1", "&Clear recent list", "", "Clear resent list"},
    {"Undo1", "&Undo", "Ctrl+Z", "Undo (Ctrl+Z)"},
    {"Cut1", "Cu&t", "Ctrl+X", "Cut selection (Ctrl+X)"},
    {"Copy1", "&Copy", "Ctrl+C", "Copy selection (Ctrl+C)"},
    {"Paste1", "&Paste", "Ctrl+V", "Paste from clipboard (Ctrl+V)"},
    {"Delete1", "&Delete\tDel", "", "Delete the selected text (Del)"},
    {"SelectAll1", "Select &All", "Ctrl+A", "Salect all the text (Ctrl+A)"},
    {"CenterSpace1", "C&enter with spaces", "", ""},
    {"DateTime1", "&Date / Time...", "F5", "Inserts current Date & Time (F5)"},
    {"FileName1", "&Filenames...", "", "Inserts the selected filenames into the text"},
    {"VisibleAsciiChars1", "&Visable ASCII characters (32..255)", "", "Inserts all visable ASCII charecters"},
    {"UpperCase1", "&UPPER CASE", "Shift+Alt+1", "Convert to UPPERCASE"},
    {"ToggleCase1", "tO&GGLE cASE", "Shift+Alt+4", "Toggle to inverted case"},
    {"OemToAnsi1", "&OEM to ANSI", "Shift+Alt+6", "Converts from OEM to ANSI"},
    {"MultiToSingleB1", "Multi to Single Character B", "", ""},
    {"FindRep1", "&Find/Replace...", "Ctrl+F", "Find a 'String' in the text or replace it with another (Ctrl+F)"},
    {"FindNext1", "Find &next", "F3", "Find the next search string (F3)"},
    {"GotoDialog1", "&Go to dialog...", "Ctrl+G", "Go to dialog (Ctrl+G)"},
    {"InsHexColor1", "Insert/Edit Hex &color code...", "", ""},
    {"CheckHtmlSyntax1", "Check HTML &syntax...", "", ""},
    {"RemHtmlTag1", "&Remove HTML tags", "", ""},
    {"CountWords1", "&Text Analyze...", "F7", "Analyzes words and characters in all the text or selected (F7)"},
    {"DumpHex1", "&Dump Hexadecimal", "", "Dump Hexadecimal data"},
    {"Functions1", "&Misc functions dialog...", "F8", "Opens a box with different functions (F8)"},
    {"KeywordColoring1", "Key word list coloring...", "Ctrl+Shift+3", ""},
    {"DecryptHex1", "Decrypt Hexadecimal...", "", ""},
    {"NumConvert1", "Number Converter v1.36...", "Shift+F6", "Number convertion"},
    {"CharMap1", "MS &Character map...", "Shift+F7", "MS Charecter map"},
    {"Calculator1", "MS C&alculator...", "Shift+F8", "MS Calculator"},
    {"Run1", "Run!...", "F9", ""},
    {"Config1", "&Configuration...", "F2", "Quillora configuration (F2)"},
    {"Associate1", "&Association options...", "F4", "Option to associate files with Quillora (F4)"},
    {"ChangeScreenFont1", "Change &screen font...", "F6", "Change the screen font (F6)"},
    {"ChangePrintFont1", "Change &print font...", "Ctrl+F6", "Changes the font to print with (Ctrl+F6)"},
    {"SaveSettings1", "&Save settings", "Ctrl+E", "Save the current settings (Ctrl+E)"},
    {"ToolBarOpt", "&ToolBar visible", "Ctrl+Alt+T", ""},
    {"FullPathOpt", "&Full path in TitleBar", "Ctrl+Alt+P", ""},
    {"PrevWndSize1", "&Use previous window size", "Ctrl+U", "Uses the last window sizes (Insteed of maximized) (Ctrl+U)"},
    {"OpenQuillora1", "Open new copy of &Quillora...", "Ctrl+F12", "Will open a new copy of Quillora (Ctrl+F12)"},
    {"MinimizeToTray1", "&Minimize Quillora to tray...", "F11", ""},
    {"HelpContents1", "&Help contents...", "Shift+F1", "Help contents (Shift+F1)"},
    {"Shortcuts1", "&Quilloras shortcuts...", "", "Quilloras shortcuts"},
    {"About1", "&About Quillora...", "F1", "About Quillora (F1)"},
    {"WordWrapOpt", "WordWrap", "Ctrl+W", ""},
    {"AutoIndentOpt", "Auto Indent", "Ctrl+Alt+A", ""},
    {"PromptBinaryOpt", "Prompt to load as binary if filesize <> chars", "", ""},
    {"Theme5", "The Void", "Ctrl+5", ""},
    {"RecentListPopup1", "Recent list popup", "Ctrl+Return", ""},
    {"ToolListPopup1", "Tool list popup", "Ctrl+Space", ""},
    {"RClickMenuPopup1", "Right-click menu popup", "Alt+F10", ""},
    {"Refresh1", "Refresh", "Ctrl+F5", ""},
    {"FontFixedsys1", "&Fixedsys  9pt", "", ""},
    {"FontDefault1", "&Default Windows font", "", ""},
    {"Restore1", "&Restore Quillora", "", ""},
    {"Close2", "Close Quillora", "", ""},
};

// Tool buttons: hint split into tooltip and status text.
const Item kButtons[] = {
    {"New2", "", "", "Create a 'New File' (Ctrl+N)"},
    {"FileInfo2", "", "", "File Info (Alt+Enter)|Info on the current file, almost the same as file properties (Alt+Enter)"},
    {"Cut3", "", "", "Cut selected text (Ctrl+X)"},
    {"FindNext2", "", "", "Find the next search string (F3)"},
    {"MiscFunc2", "", "", "Misc functions (F8)|Opens a box with different functions (F8)"},
    {"Config2", "", "", "Program configuration (F2)"},
    {"HelpContents2", "", "", "Help contents (Shift+F1)"},
};

QChar AccessKey(const QString& caption) {
  for (int i = 0; i + 1 < caption.size(); ++i)
    if (caption[i] == '&') {
      if (caption[i + 1] != '&') return caption[i + 1].toLower();
      ++i;
    }
  return QChar();
}


}  // namespace

class CommandsTest : public QObject {
  Q_OBJECT

  MemoryStore store_;
  std::unique_ptr<TFormQuillora> form_;

 private slots:
  void init() {
    store_ = MemoryStore();
    store_.WriteString("\\Software\\Norvane Productions\\Quillora\\Options", "Window", "0");
    form_ = std::make_unique<TFormQuillora>(store_, std::vector<std::string>{});
    form_->Start();
  }
  void cleanup() {
    form_->SetModified(false);
    form_.reset();
  }

  void everyItemHasItsCaptionShortcutAndHint() {
    for (const Item& item : kItems) {
      QAction* a = form_->Action(item.name);
      QVERIFY2(a, item.name);
      QCOMPARE(a->text(), QString::fromUtf8(item.caption));
      QCOMPARE(a->shortcut(), QKeySequence(QString(item.shortcut)));
      QCOMPARE(a->statusTip(), QString(item.hint));
    }
    for (const Item& b : kButtons) {
      QAction* a = form_->Action(b.name);
      QVERIFY2(a, b.name);
      const QString hint = b.hint;
      QCOMPARE(a->toolTip(), hint.section('|', 0, 0));
      QCOMPARE(a->statusTip(), hint.contains('|') ? hint.section('|', 1) : hint);
    }
    QVERIFY(!form_->Action("CheckHtmlSyntax1")->isVisible());
    QVERIFY(!form_->findChild<QMenu*>("NonVisable")->menuAction()->isVisible() ||
            !form_->menuBar()->actions().contains(form_->findChild<QMenu*>("NonVisable")->menuAction()));
  }

  void menuBarInTheGivenOrder() {
    QStringList captions;
    for (QAction* a : form_->menuBar()->actions()) captions << a->text();
    QCOMPARE(captions, QStringList({"&File", "&Edit", "&Search", "Hype&r Text", "F&unctions",
                                    "&Tools", "&Options", "&View", "&Help"}));
  }

  void accessKeysAndShortcutsAreUnique() {
    // Change &screen font and &Save settings share their key in the Options menu.
    const QSet<QString> allowed = {"MenuOptions/s"};
    for (QMenu* menu : form_->findChildren<QMenu*>()) {
      QHash<QChar, int> seen;
      for (QAction* a : menu->actions()) {
        if (!a->isVisible() || a->isSeparator()) continue;
        const QChar key = AccessKey(a->text());
        if (!key.isNull()) ++seen[key];
      }
      for (auto it = seen.begin(); it != seen.end(); ++it)
        if (it.value() > 1)
          QVERIFY2(allowed.contains(menu->objectName() + "/" + it.key()),
                   qPrintable(menu->objectName() + " repeats " + it.key()));
    }
    QHash<QString, QString> owner;
    for (QAction* a : form_->findChildren<QAction*>()) {
      if (a->shortcut().isEmpty()) continue;
      const QString keys = a->shortcut().toString();
      QVERIFY2(!owner.contains(keys), qPrintable(keys + ": " + owner.value(keys) + " and " + a->objectName()));
      owner.insert(keys, a->objectName());
    }
    // Twins show the key without owning it.
    QVERIFY(form_->Action("Undo2")->shortcut().isEmpty());
    QVERIFY(form_->Action("Undo2")->text().endsWith("\tCtrl+Z"));
  }

  void laterToolsAreVisibleButDisabled() {
    for (const char* name : {"GotoDialog1", "Config1", "About1", "UpperCase1",
                             "DateTime2", "FileInfo1", "FileInfo2", "Print1", "Run1"})
      QVERIFY2(!form_->Action(name)->isEnabled(), name);
  }

  void untitledDocumentDisablesTheFileItems() {
    form_->MenuFile_Popup();
    for (const char* name : {"ReadAsBinFile1", "Revert1", "FileInfo1", "FileInfo2", "RenMovFile1",
                             "DeleteFile1", "ExecFileDef1"})
      QVERIFY2(!form_->Action(name)->isEnabled(), name);
    // The tool list copies those states.
    form_->PopupMenu3_Popup();
    for (const char* name : {"ExecFileDef2", "Revert2", "FileInfo3", "RenMovFile2", "DeleteFile2"})
      QVERIFY2(!form_->Action(name)->isEnabled(), name);
  }

  void fileItemsFollowTheDocumentAtOnce() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/doc.txt";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    form_->ProcessDocument(TFormQuillora::dmOpen, "Opened:", path.toStdString());
    // Without opening the menu: the shortcut must work right away.
    QVERIFY(form_->Action("Revert1")->isEnabled());
    QVERIFY(form_->Action("ExecFileDef1")->isEnabled());
    QVERIFY(!form_->Action("FileInfo1")->isEnabled());  // its dialog is not built yet
    form_->PopupMenu3_Popup();
    QVERIFY(form_->Action("Revert2")->isEnabled());
  }

  void toolsNeedTheirPrograms() {
    QTemporaryDir dir;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    form_->MenuTools_Popup();
    QVERIFY(!form_->Action("CharMap1")->isEnabled());
    QVERIFY(!form_->Action("Calculator1")->isEnabled());
    QFile calc(dir.path() + "/galculator");
    QVERIFY(calc.open(QIODevice::WriteOnly));
    calc.write("#!/bin/sh\n");
    calc.close();
    calc.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    form_->MenuTools_Popup();
    QVERIFY(form_->Action("Calculator1")->isEnabled());
    QVERIFY(!form_->Action("CharMap1")->isEnabled());
    qputenv("PATH", oldPath);
  }

  void shortcutsReachTheirCommands() {
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    {
      ScriptedBoxes boxes;  // Shift+Ctrl+3 on an empty editor
      QTest::keyClick(form_->Editor(), Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"No text!"});
      QCOMPARE(boxes.Texts(), std::vector<std::string>{"There is no text to perform the function at!"});
    }
    // A hidden item's shortcut works.
    QVERIFY(form_->Options().Checked(Check::WordWrapOpt));
    QTest::keyClick(form_->Editor(), Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!form_->Options().Checked(Check::WordWrapOpt));
    // F1 belongs to the about box, Shift+F1 to the help contents.
    QCOMPARE(form_->Action("About1")->shortcut(), QKeySequence("F1"));
    SetHelpFileName(QL_HELP_FILE);
    QTest::keyClick(form_->Editor(), Qt::Key_F1, Qt::ShiftModifier);
    HelpWindow* help = HelpWindow::Instance(form_.get());
    QTRY_VERIFY(help->isVisible());
    QCOMPARE(help->CurrentTopic(), 1);
    help->close();
  }

  void smallWindowCommands() {
    ScriptedBoxes boxes;
    form_->Action("CheckHtmlSyntax1")->trigger();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Not yet!"});
    QCOMPARE(boxes.Texts(), std::vector<std::string>{"Comming soon!"});
    form_->Buffer().SetText("some text");
    form_->Function_Choice(4);
    QCOMPARE(boxes.Captions().size(), size_t(2));  // not silent
    form_->ToolList_Popup();
    QTRY_VERIFY(form_->PopupMenu(3)->isVisible());
    form_->PopupMenu(3)->close();
  }

  void helpTopicsForEveryContext() {
    SetHelpFileName(QL_HELP_FILE);
    HelpWindow help;
    for (int context : {1, 3, 5, 6, 30, 40, 50, 60, 70, 80, 90, 91, 92, 100, 110}) {
      QVERIFY(help.ShowTopic(context));
      QCOMPARE(help.CurrentTopic(), context);
    }
    help.ShowTopic(3);
    const QString shortcuts = help.CurrentHtml();
    QVERIFY(shortcuts.contains("Ctrl+Space"));
    QVERIFY(shortcuts.contains("Tool list popup"));
    QVERIFY(shortcuts.contains("Ctrl+Alt+T"));
  }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
