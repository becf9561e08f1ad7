// The command map as a user meets it: captions, shortcuts and hints of
// every item, access keys, enabling rules, and the window's own commands.
#include <QAction>
#include <QFontDialog>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <optional>

#include "editor/qt/EditorView.h"
#include "app/qt/HelpWindow.h"
#include "app/qt/CommandTable.h"
#include "app/qt/MainQuillora.h"
#include "platform/Store.h"
#include "platform/qt/Help.h"
#include "platform/qt/Look.h"
#include "platform/qt/MessageBox.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

namespace {

// The whole command map as the menus must show it, typos included, in
// display order: place, name, caption, shortcut, hint. Place is the chain of
// menu titles (" > " between), a pop-up menu's name or "ToolBar1". A name "-"
// is a separator; a caption of nullptr is not shown (tool buttons); a row
// whose name starts with "[" is a submenu, named by what follows.
struct Row {
  const char* place;
  const char* name;
  const char* caption;
  const char* shortcut;
  const char* hint;
};

const Row kMap[] = {
    {"&File", "New1", "&New", "Ctrl+N", ""},
    {"&File", "Open1", "&Open File(s)...", "Ctrl+O", "Open an existing file (Ctrl+O)"},
    {"&File", "OpenInCopy1", "Open in new cop&y of Quillora...", "Shift+Ctrl+O", "Open a file in a new copy of Quillora (Shift+Ctrl+O)"},
    {"&File", "[RecentFiles1", "&Recent opened files", "", "Shows the recent opened files"},
    {"&File", "Save1", "&Save File", "Ctrl+S", "Save to current file (Ctrl+S)"},
    {"&File", "SaveAs1", "Save File &As...", "F12", "Save to a specific or new file (F12)"},
    {"&File", "-", "", "", ""},
    {"&File", "ReadAsBinFile1", "Read fi&le as a Binary file", "Ctrl+B", ""},
    {"&File", "ReopenBytes1", "Reopen as 8-&bit bytes", "", "Reads the file again byte for byte, without UTF-8 decoding"},
    {"&File", "ReopenUtf81", "Reopen as &UTF-8", "", "Reads the file again as UTF-8 and saves it as UTF-8"},
    {"&File", "-", "", "", ""},
    {"&File", "ExecFileDef1", "E&xecute file with default association...", "Ctrl+F9", "Executes the file as if you double-clicked it (Ctrl+F9)"},
    {"&File", "Revert1", "Re&vert file to last save", "Ctrl+R", "Revert to last saved point (Ctrl+R)"},
    {"&File", "FileInfo1", "&File Information...", "Alt+Return", "Info on the current file, almost the same as file properties (Alt+Enter)"},
    {"&File", "RenMovFile1", "R&ename/Move file...", "Shift+F2", "Renames/Moves the current file to an other filename/path (Shift+F2)"},
    {"&File", "DeleteFile1", "Delete file!", "", "WARNING: Deletes the file!!!"},
    {"&File", "-", "", "", ""},
    {"&File", "Print1", "&Print...", "Ctrl+P", "Print the current text (Ctrl+P)"},
    {"&File", "PrintSetup1", "Pr&inter setup...", "Shift+Ctrl+P", "Printer setup (Shift+Ctrl+P)"},
    {"&File", "-", "", "", ""},
    {"&File", "Close1", "&Close Quillora", "Alt+Q", "Close Quillora (Alt+Q)"},
    {"&File > &Recent opened files", "-", "", "", ""},
    {"&File > &Recent opened files", "RemoveObsolete1", "&Remove obsolete", "", "Removes all obsolete files from the recent menu (The ones not enabled)"},
    {"&File > &Recent opened files", "ClearRecent1", "&Clear recent list", "", "Clear resent list"},

    {"&Edit", "Undo1", "&Undo", "Ctrl+Z", "Undo (Ctrl+Z)"},
    {"&Edit", "-", "", "", ""},
    {"&Edit", "Cut1", "Cu&t", "Ctrl+X", "Cut selection (Ctrl+X)"},
    {"&Edit", "Copy1", "&Copy", "Ctrl+C", "Copy selection (Ctrl+C)"},
    {"&Edit", "Paste1", "&Paste", "Ctrl+V", "Paste from clipboard (Ctrl+V)"},
    {"&Edit", "-", "", "", ""},
    {"&Edit", "Delete1", "&Delete\tDel", "", "Delete the selected text (Del)"},
    {"&Edit", "SelectAll1", "Select &All", "Ctrl+A", "Salect all the text (Ctrl+A)"},
    {"&Edit", "-", "", "", ""},
    {"&Edit", "CenterSpace1", "C&enter with spaces", "", ""},
    {"&Edit", "[Insert1", "&Insert", "", "Insert 'time,date or misc chars' into the current file"},
    {"&Edit", "[Convert1", "C&onvert", "", "Convert the current text"},
    {"&Edit > &Insert", "DateTime1", "&Date / Time...", "F5", "Inserts current Date & Time (F5)"},
    {"&Edit > &Insert", "-", "", "", ""},
    {"&Edit > &Insert", "FileName1", "&Filenames...", "", "Inserts the selected filenames into the text"},
    {"&Edit > &Insert", "FileName83_1", "&8.3 filenames...", "", "Inserts the selected filenames into the text in 8.3 format"},
    {"&Edit > &Insert", "FNameRelative1", "F&ilenames relative to current dir...", "", ""},
    {"&Edit > &Insert", "-", "", "", ""},
    {"&Edit > &Insert", "TextFromFile1", "&Text from file...", "", ""},
    {"&Edit > &Insert", "-", "", "", ""},
    {"&Edit > &Insert", "AsciiChars1", "&ASCII characters...", "", "Insert one ASCII character in to the text"},
    {"&Edit > &Insert", "VisibleAsciiChars1", "&Visable ASCII characters (32..255)", "", "Inserts all visable ASCII charecters"},
    {"&Edit > C&onvert", "UpperCase1", "&UPPER CASE", "Shift+Alt+1", "Convert to UPPERCASE"},
    {"&Edit > C&onvert", "LowerCase1", "&lower case", "Shift+Alt+2", "Convert to lowercase"},
    {"&Edit > C&onvert", "TitleCase1", "&Title Case", "Shift+Alt+3", ""},
    {"&Edit > C&onvert", "ToggleCase1", "tO&GGLE cASE", "Shift+Alt+4", "Toggle to inverted case"},
    {"&Edit > C&onvert", "-", "", "", ""},
    {"&Edit > C&onvert", "AnsiToOem1", "&ANSI to OEM", "Shift+Alt+5", "Converts from ANSI to OEM"},
    {"&Edit > C&onvert", "OemToAnsi1", "&OEM to ANSI", "Shift+Alt+6", "Converts from OEM to ANSI"},
    {"&Edit > C&onvert", "-", "", "", ""},
    {"&Edit > C&onvert", "MultiToSingleA1", "Multi to Single Character A", "", ""},
    {"&Edit > C&onvert", "MultiToSingleB1", "Multi to Single Character B", "", ""},

    {"&Search", "FindRep1", "&Find/Replace...", "Ctrl+F", "Find a 'String' in the text or replace it with another (Ctrl+F)"},
    {"&Search", "FindNext1", "Find &next", "F3", "Find the next search string (F3)"},
    {"&Search", "-", "", "", ""},
    {"&Search", "GotoDialog1", "&Go to dialog...", "Ctrl+G", "Go to dialog (Ctrl+G)"},

    {"Hype&r Text", "InsHexColor1", "Insert/Edit Hex &color code...", "", ""},
    {"Hype&r Text", "-", "", "", ""},
    {"Hype&r Text", "HtmlWizard1", "HTML &Wizard...", "", ""},
    {"Hype&r Text", "PageAnalyzer1", "Page &Analyzer...", "", ""},
    {"Hype&r Text", "CheckHtmlSyntax1", "Check HTML &syntax...", "", ""},
    {"Hype&r Text", "MiniHtml1", "&Minimize HTML code...", "", ""},
    {"Hype&r Text", "RemHtmlTag1", "&Remove HTML tags", "", ""},

    {"F&unctions", "CountWords1", "&Text Analyze...", "F7", "Analyzes words and characters in all the text or selected (F7)"},
    {"F&unctions", "-", "", "", ""},
    {"F&unctions", "SortLines1", "&Sort all lines in text", "", "Sorts the lines in alphabetical order"},
    {"F&unctions", "DumpHex1", "&Dump Hexadecimal", "", "Dump Hexadecimal data"},
    {"F&unctions", "-", "", "", ""},
    {"F&unctions", "Functions1", "&Misc functions dialog...", "F8", "Opens a box with different functions (F8)"},
    {"F&unctions", "[MiscFunctions1", "Misc &functions", "", ""},
    {"F&unctions > Misc &functions", "StandardColoring1", "Standard coloring...", "Shift+Ctrl+1", ""},
    {"F&unctions > Misc &functions", "HtmlColoring1", "HTML tag coloring...", "Shift+Ctrl+2", ""},
    {"F&unctions > Misc &functions", "KeywordColoring1", "Key word list coloring...", "Shift+Ctrl+3", ""},
    {"F&unctions > Misc &functions", "Rot131", "Encrypt/Decrypt: ROT 13...", "Shift+Ctrl+4", ""},
    {"F&unctions > Misc &functions", "Backward1", "Encrypt/Decrypt: Backward...", "Shift+Ctrl+5", ""},
    {"F&unctions > Misc &functions", "[Binary1", "Encrypt/Decrypt: Binary", "", ""},
    {"F&unctions > Misc &functions", "[Hexadecimal1", "Encrypt/Decrypt: Hexadecimal", "", ""},
    {"F&unctions > Misc &functions > Encrypt/Decrypt: Binary", "EncryptBinary1", "Encrypt Binary...", "", ""},
    {"F&unctions > Misc &functions > Encrypt/Decrypt: Binary", "DecryptBinary1", "Decrypt Binary...", "", ""},
    {"F&unctions > Misc &functions > Encrypt/Decrypt: Hexadecimal", "EncryptHex1", "Encrypt Hexadecimal...", "", ""},
    {"F&unctions > Misc &functions > Encrypt/Decrypt: Hexadecimal", "DecryptHex1", "Decrypt Hexadecimal...", "", ""},

    {"&Tools", "NumConvert1", "Number Converter v1.36...", "Shift+F6", "Number convertion"},
    {"&Tools", "-", "", "", ""},
    {"&Tools", "CharMap1", "MS &Character map...", "Shift+F7", "MS Charecter map"},
    {"&Tools", "Calculator1", "MS C&alculator...", "Shift+F8", "MS Calculator"},
    {"&Tools", "-", "", "", ""},
    {"&Tools", "Run1", "Run!...", "F9", ""},

    {"&Options", "Config1", "&Configuration...", "F2", "Quillora configuration (F2)"},
    {"&Options", "Associate1", "&Association options...", "F4", "Option to associate files with Quillora (F4)"},
    {"&Options", "-", "", "", ""},
    {"&Options", "ChangeScreenFont1", "Change &screen font...", "F6", "Change the screen font (F6)"},
    {"&Options", "ChangePrintFont1", "Change &print font...", "Ctrl+F6", "Changes the font to print with (Ctrl+F6)"},
    {"&Options", "-", "", "", ""},
    {"&Options", "SaveSettings1", "&Save settings", "Ctrl+E", "Save the current settings (Ctrl+E)"},

    {"&View", "ToolBarOpt", "&ToolBar visible", "Ctrl+Alt+T", ""},
    {"&View", "StatusBarOpt", "&StatusBar visible", "Ctrl+Alt+S", ""},
    {"&View", "FullPathOpt", "&Full path in TitleBar", "Ctrl+Alt+P", ""},
    {"&View", "-", "", "", ""},
    {"&View", "PrevWndSize1", "&Use previous window size", "Ctrl+U", "Uses the last window sizes (Insteed of maximized) (Ctrl+U)"},
    {"&View", "-", "", "", ""},
    {"&View", "OpenQuillora1", "Open new copy of &Quillora...", "Ctrl+F12", "Will open a new copy of Quillora (Ctrl+F12)"},
    {"&View", "-", "", "", ""},
    {"&View", "MinimizeToTray1", "&Minimize Quillora to tray...", "F11", ""},

    {"&Help", "HelpContents1", "&Help contents...", "Shift+F1", "Help contents (Shift+F1)"},
    {"&Help", "Credits1", "&Credits, FAQ and bug list...", "", "Credits, FAQ and bug list"},
    {"&Help", "History1", "&The history of Quillora...", "", "The history of Quillora"},
    {"&Help", "Shortcuts1", "&Quilloras shortcuts...", "", "Quilloras shortcuts"},
    {"&Help", "-", "", "", ""},
    {"&Help", "About1", "&About Quillora...", "F1", "About Quillora (F1)"},

    {"//NonVisable// > Options", "WordWrapOpt", "WordWrap", "Ctrl+W", ""},
    {"//NonVisable// > Options", "SaveAutoOpt", "Save settings Automatic", "", ""},
    {"//NonVisable// > Options", "DefRecentIconOpt", "Default icon in recent list", "", ""},
    {"//NonVisable// > Options", "AutoIndentOpt", "Auto Indent", "Ctrl+Alt+A", ""},
    {"//NonVisable// > Options", "PromptBinaryOpt", "Prompt to load as binary if filesize <> chars", "", ""},
    {"//NonVisable// > Options", "ChangeNfoFontOpt", "Change if more than 10 NFO chars", "", ""},
    {"//NonVisable// > Color themes", "Theme0", "System/Notepad", "Ctrl+0", ""},
    {"//NonVisable// > Color themes", "-", "", "", ""},
    {"//NonVisable// > Color themes", "Theme1", "Deep Reef", "Ctrl+1", ""},
    {"//NonVisable// > Color themes", "Theme2", "Ember Deck", "Ctrl+2", ""},
    {"//NonVisable// > Color themes", "Theme3", "Black lime", "Ctrl+3", ""},
    {"//NonVisable// > Color themes", "Theme4", "MS DOS", "Ctrl+4", ""},
    {"//NonVisable// > Color themes", "Theme5", "The Void", "Ctrl+5", ""},
    {"//NonVisable// > Other", "RecentListPopup1", "Recent list popup", "Ctrl+Return", ""},
    {"//NonVisable// > Other", "ToolListPopup1", "Tool list popup", "Ctrl+Space", ""},
    {"//NonVisable// > Other", "RClickMenuPopup1", "Right-click menu popup", "Alt+F10", ""},
    {"//NonVisable// > Other", "CtrlUp1", "Ctrl UP", "Ctrl+Up", ""},
    {"//NonVisable// > Other", "CtrlDown1", "Ctrl DOWN", "Ctrl+Down", ""},
    {"//NonVisable// > Other", "Refresh1", "Refresh", "Ctrl+F5", ""},

    // Pop-up menu 1 repeats the Edit menu; twins show the key, the Edit menu owns it.
    {"PopupMenu1", "Undo2", "&Undo", "=Ctrl+Z", "Undo (Ctrl+Z)"},
    {"PopupMenu1", "-", "", "", ""},
    {"PopupMenu1", "Cut2", "Cu&t", "=Ctrl+X", "Cut selection (Ctrl+X)"},
    {"PopupMenu1", "Copy2", "&Copy", "=Ctrl+C", "Copy selection (Ctrl+C)"},
    {"PopupMenu1", "Paste2", "&Paste", "=Ctrl+V", "Paste from clipboard (Ctrl+V)"},
    {"PopupMenu1", "-", "", "", ""},
    {"PopupMenu1", "Delete2", "&Delete\tDel", "", "Delete the selected text (Del)"},
    {"PopupMenu1", "SelectAll2", "Select &All", "=Ctrl+A", "Salect all the text (Ctrl+A)"},
    {"PopupMenu1", "-", "", "", ""},
    {"PopupMenu1", "CenterSpace2", "C&enter with spaces", "", ""},
    {"PopupMenu1", "[Insert2", "&Insert", "", "Insert 'time,date or misc chars' into the current file"},
    {"PopupMenu1", "[Convert2", "C&onvert", "", "Convert the current text"},
    {"PopupMenu1 > &Insert", "DateTime2", "&Date / Time...", "=F5", "Inserts current Date & Time (Ctrl+F5)"},
    {"PopupMenu1 > &Insert", "-", "", "", ""},
    {"PopupMenu1 > &Insert", "FileName2", "&Filenames...", "", "Inserts the selected filenames into the text"},
    {"PopupMenu1 > &Insert", "FileName83_2", "&8.3 filenames...", "", "Inserts the selected filenames into the text in 8.3 format"},
    {"PopupMenu1 > &Insert", "FNameRelative2", "F&ilenames relative to current dir...", "", ""},
    {"PopupMenu1 > &Insert", "-", "", "", ""},
    {"PopupMenu1 > &Insert", "TextFromFile2", "&Text from file...", "", ""},
    {"PopupMenu1 > &Insert", "-", "", "", ""},
    {"PopupMenu1 > &Insert", "AsciiChars2", "&ASCII characters...", "", "Insert one ASCII character in to the text"},
    {"PopupMenu1 > &Insert", "VisibleAsciiChars2", "&Visable ASCII characters (32..255)", "", "Inserts all visable ASCII charecters"},
    {"PopupMenu1 > C&onvert", "UpperCase2", "&UPPER CASE", "=Shift+Alt+1", "Convert to UPPERCASE"},
    {"PopupMenu1 > C&onvert", "LowerCase2", "&lower case", "=Shift+Alt+2", "Convert to lowercase"},
    {"PopupMenu1 > C&onvert", "TitleCase2", "&Title Case", "=Shift+Alt+3", ""},
    {"PopupMenu1 > C&onvert", "ToggleCase2", "tO&GGLE cASE", "=Shift+Alt+4", "Toggle to inverted case"},
    {"PopupMenu1 > C&onvert", "-", "", "", ""},
    {"PopupMenu1 > C&onvert", "AnsiToOem2", "&ANSI to OEM", "=Shift+Alt+5", "Converts from ANSI to OEM"},
    {"PopupMenu1 > C&onvert", "OemToAnsi2", "&OEM to ANSI", "=Shift+Alt+6", "Converts from OEM to ANSI"},
    {"PopupMenu1 > C&onvert", "-", "", "", ""},
    {"PopupMenu1 > C&onvert", "MultiToSingleA2", "Multi to Single Character A", "", ""},
    {"PopupMenu1 > C&onvert", "MultiToSingleB2", "Multi to Single Character B", "", ""},

    {"PopupMenu2", "-", "", "", ""},
    {"PopupMenu2", "RemoveObsolete2", "&Remove obsolete", "", "Removes all obsolete files from the recent menu (The ones not enabled)"},
    {"PopupMenu2", "ClearRecent2", "&Clear recent list", "", "Clear resent list"},

    {"PopupMenu3", "ExecFileDef2", "E&xecute file with default association...", "=Ctrl+F9", "Executes the file as if you double-clicked it (Ctrl+9)"},
    {"PopupMenu3", "Revert2", "Re&vert file to last save", "=Ctrl+R", "Revert to last saved point (Ctrl+R)"},
    {"PopupMenu3", "FileInfo3", "&File info...", "=Alt+Return", "Info on the current file, almost the same as file properties (Alt+Enter)"},
    {"PopupMenu3", "RenMovFile2", "R&ename/Move file...", "=Shift+F2", "Renames/Moves the current file to an other filename/path (Shift+F2)"},
    {"PopupMenu3", "DeleteFile2", "Delete file!", "", "WARNING: Deletes the file!!!"},
    {"PopupMenu3", "-", "", "", ""},
    {"PopupMenu3", "StandardColoring2", "Standard coloring...", "=Shift+Ctrl+1", ""},
    {"PopupMenu3", "HtmlColoring2", "HTML tag coloring...", "=Shift+Ctrl+2", ""},
    {"PopupMenu3", "KeywordColoring2", "DOS batch tag coloring...", "=Shift+Ctrl+3", ""},
    {"PopupMenu3", "Rot132", "Encrypt/Decrypt: ROT 13...", "=Shift+Ctrl+4", ""},
    {"PopupMenu3", "Backward2", "Encrypt/Decrypt: Backward...", "=Shift+Ctrl+5", ""},
    {"PopupMenu3", "[Binary2", "Encrypt/Decrypt: Binary", "", ""},
    {"PopupMenu3", "[Hexadecimal2", "Encrypt/Decrypt: Hexadecimal", "", ""},
    {"PopupMenu3 > Encrypt/Decrypt: Binary", "EncryptBinary2", "Encrypt Binary...", "", ""},
    {"PopupMenu3 > Encrypt/Decrypt: Binary", "DecryptBinary2", "Decrypt Binary...", "", ""},
    {"PopupMenu3 > Encrypt/Decrypt: Hexadecimal", "EncryptHex2", "Encrypt Hexadecimal...", "", ""},
    {"PopupMenu3 > Encrypt/Decrypt: Hexadecimal", "DecryptHex2", "Decrypt Hexadecimal...", "", ""},

    {"PopupMenu4", "FontCourier1", "&Courier New  10pt", "", ""},
    {"PopupMenu4", "FontFixedsys1", "&Fixedsys  9pt", "", ""},
    {"PopupMenu4", "FontTerminal1", "Terminal  9pt", "", ""},
    {"PopupMenu4", "FontDefault1", "&Default Windows font", "", ""},

    {"PopupMenu5", "Restore1", "&Restore Quillora", "", ""},
    {"PopupMenu5", "-", "", "", ""},
    {"PopupMenu5", "Close2", "Close Quillora", "", ""},

    {"ToolBar1", "New2", nullptr, "", "Create a 'New File' (Ctrl+N)"},
    {"ToolBar1", "Open2", nullptr, "", "Opens an existing file (Ctrl+O)"},
    {"ToolBar1", "Save2", nullptr, "", "Saves the current file (Ctrl+S)"},
    {"ToolBar1", "SaveAs2", nullptr, "", "Save the text to a specific file (F12)"},
    {"ToolBar1", "-", "", "", ""},
    {"ToolBar1", "FileInfo2", nullptr, "", "File Info (Alt+Enter)|Info on the current file, almost the same as file properties (Alt+Enter)"},
    {"ToolBar1", "-", "", "", ""},
    {"ToolBar1", "Undo3", nullptr, "", "Undo (Ctrl+Z)"},
    {"ToolBar1", "Cut3", nullptr, "", "Cut selected text (Ctrl+X)"},
    {"ToolBar1", "Copy3", nullptr, "", "Copy selected text (Ctrl+C)"},
    {"ToolBar1", "Paste3", nullptr, "", "Paste from clipboard (Ctrl+V)"},
    {"ToolBar1", "-", "", "", ""},
    {"ToolBar1", "FindRep2", nullptr, "", "Find a 'String' in the text or replace it with another (Ctrl+F)"},
    {"ToolBar1", "FindNext2", nullptr, "", "Find the next search string (F3)"},
    {"ToolBar1", "-", "", "", ""},
    {"ToolBar1", "CountWordsChar2", nullptr, "", "Analyzes words and characters in all the text or selected (F7)"},
    {"ToolBar1", "Goto2", nullptr, "", "Go to dialog (Ctrl+G)"},
    {"ToolBar1", "MiscFunc2", nullptr, "", "Misc functions (F8)|Opens a box with different functions (F8)"},
    {"ToolBar1", "-", "", "", ""},
    {"ToolBar1", "Config2", nullptr, "", "Program configuration (F2)"},
    {"ToolBar1", "ScreenFont2", nullptr, "", "Change font (F6)"},
    {"ToolBar1", "-", "", "", ""},
    {"ToolBar1", "About2", nullptr, "", "About Quillora (F1)"},
    {"ToolBar1", "HelpContents2", nullptr, "", "Help contents (Shift+F1)"},
    {"ToolBar1", "-", "", "", ""},
};

// Disabled when the window first shows, whatever is built.
const char* const kOffAtStart[] = {"Save1", "Save2", "FileInfo2", "Undo3", "Cut3", "Copy3",
                                   "FindNext1", "FindNext2", "Undo2", "Cut2", "Copy2", "Delete2",
                                   "ExecFileDef2", "Revert2", "FileInfo3", "RenMovFile2", "DeleteFile2"};

// Where an action or submenu sits: menu titles from the top, or the
// pop-up menu's name.
QString TitleOf(QMenu* menu) {
  return menu->title().isEmpty() ? menu->objectName() : menu->title();
}
QString PlaceOf(QMenu* menu) {
  QString place = TitleOf(menu);
  for (auto* m = qobject_cast<QMenu*>(menu->parentWidget()); m; m = qobject_cast<QMenu*>(m->parentWidget()))
    place = TitleOf(m) + " > " + place;
  return place;
}

QChar AccessKey(const QString& caption) {
  for (int i = 0; i + 1 < caption.size(); ++i)
    if (caption[i] == '&') {
      if (caption[i + 1] != '&') return caption[i + 1].toLower();
      ++i;
    }
  return QChar();
}

}  // namespace

class CommandsTest : public QObject, private WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallFontSubstitutes(); }  // as the program does at start
  void init() {
    Start([](Store& s) {
      s.WriteString("\\Software\\Norvane Productions\\Quillora\\Options", "Window", "0");
    });
  }
  void cleanup() { Stop(); }

  void everyRowOfTheCommandMapIsShownAsGiven() {
    QHash<QString, QStringList> expectedOrder;
    QSet<QString> names;
    for (const Row& row : kMap) {
      const QString name = row.name;
      const QString place = row.place;
      if (name == "-") {
        expectedOrder[place] << "-";
        continue;
      }
      if (name.startsWith('[')) {
        auto* sub = form->findChild<QMenu*>(name.mid(1));
        QVERIFY2(sub, row.name);
        QCOMPARE(sub->title(), QString::fromUtf8(row.caption));
        QCOMPARE(sub->menuAction()->statusTip(), QString(row.hint));
        QCOMPARE(PlaceOf(sub), place + " > " + sub->title());
        expectedOrder[place] << row.caption;
        names.insert(name.mid(1));
        continue;
      }
      names.insert(name);
      QAction* a = form->Action(name);
      QVERIFY2(a, row.name);
      expectedOrder[place] << name;
      QString shortcut = row.shortcut;
      const bool twin = shortcut.startsWith('=');
      if (twin) shortcut.remove(0, 1);
      if (row.caption) {
        const QString shown = twin ? "\t" + QKeySequence(shortcut).toString(QKeySequence::NativeText) : "";
        QVERIFY2(a->text() == QString::fromUtf8(row.caption) + shown, row.name);
      }
      // A twin shows the key; only its main item owns it.
      QVERIFY2(a->shortcut() == (twin ? QKeySequence() : QKeySequence(shortcut)), row.name);
      const QString hint = row.hint;
      QVERIFY2(a->statusTip() == (hint.contains('|') ? hint.section('|', 1) : hint), row.name);
      if (!hint.isEmpty()) QVERIFY2(a->toolTip() == hint.section('|', 0, 0), row.name);
    }

    // The order of each menu, separators included.
    for (auto it = expectedOrder.begin(); it != expectedOrder.end(); ++it) {
      QList<QAction*> actions;
      if (it.key() == "ToolBar1") {
        actions = form->findChild<QToolBar*>("ToolBar1")->actions();
      } else {
        QMenu* menu = nullptr;
        for (QMenu* m : form->findChildren<QMenu*>())
          if (PlaceOf(m) == it.key()) menu = m;
        QVERIFY2(menu, qPrintable(it.key()));
        actions = menu->actions();
      }
      QStringList shown;
      for (QAction* a : actions)
        shown << (a->isSeparator() ? QString("-") : a->menu() ? a->menu()->title() : a->objectName());
      QCOMPARE(shown, it.value());
    }

    // Nothing in the window's map that the table does not know.
    for (const CommandDef& c : Commands())
      if (c.kind != CommandDef::Separator)
        QVERIFY2(names.contains(QString::fromStdString(c.name)), c.name.c_str());

    for (const char* name : kOffAtStart) QVERIFY2(!form->Action(name)->isEnabled(), name);
    QVERIFY(!form->Action("CheckHtmlSyntax1")->isVisible());
    QVERIFY(!form->menuBar()->actions().contains(form->findChild<QMenu*>("NonVisable")->menuAction()));
    // Check marks hold the stored options, here their defaults.
    for (const char* name : {"WordWrapOpt", "SaveAutoOpt", "PromptBinaryOpt", "ToolBarOpt", "StatusBarOpt",
                             "DefRecentIconOpt", "ChangeNfoFontOpt"})
      QVERIFY2(form->Action(name)->isCheckable() && form->Action(name)->isChecked(), name);
    for (const char* name : {"FullPathOpt", "AutoIndentOpt"})
      QVERIFY2(form->Action(name)->isCheckable() && !form->Action(name)->isChecked(), name);
  }

  void everyThemeSetsItsColors_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<uint>("back");
    QTest::addColumn<uint>("text");
    QTest::addColumn<uint>("boxBack");
    QTest::addColumn<uint>("boxText");
    QTest::newRow("System/Notepad") << 0 << 0x80000005u << 0x80000008u << 0x80000005u << 0x80000008u;
    QTest::newRow("Deep Reef") << 1 << 0x804000u << 0xF0CAA6u << 0x5A3200u << 0xF0CAA6u;
    QTest::newRow("Ember Deck") << 2 << 0x41491Eu << 0xFFFF19u << 0x41491Eu << 0xFFFF19u;
    QTest::newRow("Black lime") << 3 << 0x000000u << 0x00FF00u << 0x000000u << 0x00FF00u;
    QTest::newRow("MS DOS") << 4 << 0x000000u << 0xC0C0C0u << 0x000000u << 0xC0C0C0u;
    QTest::newRow("The Void") << 5 << 0x000080u << 0x0080FFu << 0x0000AEu << 0xFFFFFFu;
  }
  void everyThemeSetsItsColors() {
    QFETCH(int, key);
    QFETCH(uint, back);
    QFETCH(uint, text);
    QFETCH(uint, boxBack);
    QFETCH(uint, boxText);
    // Start from colors and a font no theme has.
    AppOptions& o = form->Options();
    o.BackColor = o.TextColor = o.BoxBackColor = o.BoxTextColor = 0x123456;
    form->SetEditorColors(o.BackColor, o.TextColor);
    o.FontNameScreen = "DejaVu Sans";
    o.FontSizeScreen = 14;
    form->SetEditorFont(o.FontNameScreen, o.FontSizeScreen);
    form->Buffer().SetText("some text to colour");
    form->SetModified(false);
    form->Buffer().SetSelection(5, 4);

    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form->Editor(), Qt::Key(Qt::Key_0 + key), Qt::ControlModifier);

    QCOMPARE(o.BackColor, ColorRef(back));
    QCOMPARE(o.TextColor, ColorRef(text));
    QCOMPARE(o.BoxBackColor, ColorRef(boxBack));
    QCOMPARE(o.BoxTextColor, ColorRef(boxText));
    const QPalette system = QApplication::palette();
    QCOMPARE(form->Editor()->palette().color(QPalette::Base), ToQColor(back, system));
    QCOMPARE(form->Editor()->palette().color(QPalette::Text), ToQColor(text, system));
    // Shown in Courier New 10 until the next start; the stored font stays.
    QCOMPARE(form->Editor()->font().family(), QString("Courier New"));
    QCOMPARE(form->Editor()->font().pointSize(), 10);
    QCOMPARE(o.FontNameScreen, std::string("DejaVu Sans"));
    QCOMPARE(o.FontSizeScreen, 14);
    QCOMPARE(form->Buffer().SelStart(), Offset(5));
    QCOMPARE(form->Buffer().SelLength(), Offset(4));
    QVERIFY(!form->Modified());
  }

  void f1InAMenuShowsTheItemsTopicOrItsMenus_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("topic");
    QTest::newRow("item with a context") << "MenuOptions" << "Config1" << 91;
    QTest::newRow("item without one") << "MenuOptions" << "ChangeScreenFont1" << 90;
    QTest::newRow("File item") << "MenuFile" << "New1" << 30;
    QTest::newRow("submenu item") << "Insert1" << "DateTime1" << 40;
    QTest::newRow("recent submenu") << "RecentFiles1" << "ClearRecent1" << 30;
    QTest::newRow("Help item") << "MenuHelp" << "Credits1" << 110;
    // Pop-up menus show the topic of the menu their items come from.
    QTest::newRow("editor's menu") << "PopupMenu1" << "Cut2" << 40;
    QTest::newRow("editor's Insert") << "Insert2" << "FileName2" << 40;
    QTest::newRow("Open drop-down") << "PopupMenu2" << "ClearRecent2" << 30;
    QTest::newRow("tool list, file item") << "PopupMenu3" << "Revert2" << 30;
    QTest::newRow("tool list, function") << "PopupMenu3" << "Rot132" << 70;
    QTest::newRow("tool list, binary") << "Binary2" << "EncryptBinary2" << 70;
    QTest::newRow("font drop-down") << "PopupMenu4" << "FontCourier1" << 90;
    QTest::newRow("tray menu") << "PopupMenu5" << "Close2" << 100;
  }
  void f1InAMenuShowsTheItemsTopicOrItsMenus() {
    QFETCH(QString, menu);
    QFETCH(QString, item);
    QFETCH(int, topic);
    SetHelpFileName(QL_HELP_FILE);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QMenu* m = form->findChild<QMenu*>(menu);
    QVERIFY(m);
    m->popup(form->mapToGlobal(QPoint(20, 20)));
    QTRY_VERIFY(m->isVisible());
    QAction* a = form->Action(item);
    a->setEnabled(true);  // a disabled item cannot be highlighted
    // F1 is also the about box's key; in a menu, help wins.
    form->Action("About1")->setEnabled(true);
    int aboutShown = 0;
    connect(form->Action("About1"), &QAction::triggered, this, [&] { ++aboutShown; });
    m->setActiveAction(a);
    QCOMPARE(m->activeAction(), a);
    QTest::keyClick(m, Qt::Key_F1);
    HelpWindow* help = HelpWindow::Instance(form.get());
    QTRY_VERIFY(help->isVisible());
    QCOMPARE(help->CurrentTopic(), topic);
    QCOMPARE(aboutShown, 0);
    help->close();
    m->close();
  }

  void screenFontDialogStartsOnTheFaceShown() {
    QCOMPARE(form->Options().FontNameScreen, std::string("Courier New"));
    const QFontInfo shown(form->Editor()->font());
    QVERIFY(shown.fixedPitch());
    QString start;
    bool startItalic = true;
    std::optional<QFont> choice;  // none: OK alone
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible()) return;
      poll.stop();
      start = dialog->currentFont().family();
      startItalic = dialog->currentFont().italic();
      if (choice) dialog->setCurrentFont(*choice);
      dialog->accept();
    });
    poll.start();
    form->ChangeScreenFont_Open();
    QCOMPARE(start, shown.family());
    QVERIFY(!startItalic);  // the face's upright style, not its first one
    // OK alone: the stored name and the monospaced face stay.
    QCOMPARE(form->Options().FontNameScreen, std::string("Courier New"));
    QCOMPARE(form->Options().FontSizeScreen, 10);
    QVERIFY(QFontInfo(form->Editor()->font()).fixedPitch());

    choice = QFont("DejaVu Sans", 14);
    poll.start();
    form->Action("ChangeScreenFont1")->trigger();
    QCOMPARE(form->Options().FontNameScreen, std::string("DejaVu Sans"));
    QCOMPARE(form->Options().FontSizeScreen, 14);
    QCOMPARE(QFontInfo(form->Editor()->font()).family(), QString("DejaVu Sans"));
  }

  void replaceAllRefreshesTheCountsInTheStatusBar() {
    form->Buffer().SetText("one two one\r\none");
    form->RESelChange();
    QCOMPARE(form->StatusText(0), std::string("\"16\" characters on \"2\" lines"));
    SearchState& state = form->Search().State();
    state.findText = "one";
    state.replaceText = "1";
    state.prompt = false;
    ScriptedBoxes boxes({}, 1);
    form->Search().Press(SearchButton::ReplaceAll, SearchOrigin::FromStart);
    QCOMPARE(form->EditorText(), std::string("1 two 1\r\n1"));
    QVERIFY2(form->StatusText(0).find("\"10\" characters") != std::string::npos, form->StatusText(0).c_str());
  }

  void menuBarInTheGivenOrder() {
    QStringList captions;
    for (QAction* a : form->menuBar()->actions()) captions << a->text();
    QCOMPARE(captions, QStringList({"&File", "&Edit", "&Search", "Hype&r Text", "F&unctions",
                                    "&Tools", "&Options", "&View", "&Help"}));
  }

  void accessKeysAndShortcutsAreUnique() {
    // Change &screen font and &Save settings share their key in the Options menu.
    const QSet<QString> allowed = {"MenuOptions/s"};
    for (QMenu* menu : form->findChildren<QMenu*>()) {
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
    for (QAction* a : form->findChildren<QAction*>()) {
      if (a->shortcut().isEmpty()) continue;
      const QString keys = a->shortcut().toString();
      QVERIFY2(!owner.contains(keys), qPrintable(keys + ": " + owner.value(keys) + " and " + a->objectName()));
      owner.insert(keys, a->objectName());
    }
    // Twins show the key without owning it.
    QVERIFY(form->Action("Undo2")->shortcut().isEmpty());
    QVERIFY(form->Action("Undo2")->text().endsWith("\tCtrl+Z"));
  }

  void untitledDocumentDisablesTheFileItems() {
    form->MenuFile_Popup();
    for (const char* name : {"ReadAsBinFile1", "ReopenBytes1", "ReopenUtf81", "Revert1", "FileInfo1",
                             "FileInfo2", "RenMovFile1", "DeleteFile1", "ExecFileDef1"})
      QVERIFY2(!form->Action(name)->isEnabled(), name);
    // The tool list copies those states.
    form->PopupMenu3_Popup();
    for (const char* name : {"ExecFileDef2", "Revert2", "FileInfo3", "RenMovFile2", "DeleteFile2"})
      QVERIFY2(!form->Action(name)->isEnabled(), name);
  }

  void fileItemsFollowTheDocumentAtOnce() {
    QVERIFY(WriteFile(P("doc.txt"), "x"));
    form->ProcessDocument(TFormQuillora::dmOpen, "Opened:", S("doc.txt"));
    // Without opening the menu: the shortcut must work right away.
    QVERIFY(form->Action("Revert1")->isEnabled());
    QVERIFY(form->Action("ExecFileDef1")->isEnabled());
    QVERIFY(form->Action("FileInfo1")->isEnabled());
    QVERIFY(form->Action("FileInfo2")->isEnabled());
    form->PopupMenu3_Popup();
    QVERIFY(form->Action("Revert2")->isEnabled());
  }

  void toolsNeedTheirPrograms() {
    const QString bin = P("tools");
    QVERIFY(QDir().mkpath(bin));
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toLocal8Bit());
    form->MenuTools_Popup();
    QVERIFY(!form->Action("CharMap1")->isEnabled());
    QVERIFY(!form->Action("Calculator1")->isEnabled());
    const QString calc = bin + "/galculator";
    QVERIFY(WriteFile(calc, "#!/bin/sh\n"));
    QVERIFY(QFile::setPermissions(calc, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    form->MenuTools_Popup();
    QVERIFY(form->Action("Calculator1")->isEnabled());
    QVERIFY(!form->Action("CharMap1")->isEnabled());
    qputenv("PATH", oldPath);
  }

  void shortcutsReachTheirCommands() {
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    {
      ScriptedBoxes boxes;  // Shift+Ctrl+3 on an empty editor
      QTest::keyClick(form->Editor(), Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
      QCOMPARE(boxes.Captions(), std::vector<std::string>{"No text!"});
      QCOMPARE(boxes.Texts(), std::vector<std::string>{"There is no text to perform the function at!"});
    }
    // A hidden item's shortcut works.
    QVERIFY(form->Options().Checked(Check::WordWrapOpt));
    QTest::keyClick(form->Editor(), Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!form->Options().Checked(Check::WordWrapOpt));
    // F1 belongs to the about box, Shift+F1 to the help contents.
    QCOMPARE(form->Action("About1")->shortcut(), QKeySequence("F1"));
    SetHelpFileName(QL_HELP_FILE);
    QTest::keyClick(form->Editor(), Qt::Key_F1, Qt::ShiftModifier);
    HelpWindow* help = HelpWindow::Instance(form.get());
    QTRY_VERIFY(help->isVisible());
    QCOMPARE(help->CurrentTopic(), 1);
    help->close();
  }

  void smallWindowCommands() {
    ScriptedBoxes boxes;
    form->Action("CheckHtmlSyntax1")->trigger();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Not yet!"});
    QCOMPARE(boxes.Texts(), std::vector<std::string>{"Comming soon!"});
    form->Buffer().SetText("some text");
    form->Function_Choice(4);  // ROT 13
    QCOMPARE(form->EditorText(), std::string("fbzr grkg"));
    form->Function_Choice(7);  // no function has this tag
    QCOMPARE(form->EditorText(), std::string("fbzr grkg"));
    form->ToolList_Popup();
    QTRY_VERIFY(form->PopupMenu(3)->isVisible());
    form->PopupMenu(3)->close();
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
