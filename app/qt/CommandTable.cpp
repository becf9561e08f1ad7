#include "app/qt/CommandTable.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>

#include "app/EditorStatus.h"
#include "app/qt/Artwork.h"
#include "app/qt/MainQuillora.h"

namespace ql {

bool CommandDef::Built() const {
  switch (kind) {
    case Command: return handler != nullptr;
    case Tagged: return tagged != nullptr;
    default: return true;
  }
}

namespace {

using F = TFormQuillora;
using Handler = void (TFormQuillora::*)();
using TagHandler = void (TFormQuillora::*)(int);

CommandDef Row(const char* menu, const char* name, const char* caption, const char* shortcut,
               const char* hint, Handler handler) {
  CommandDef c;
  c.menu = menu;
  c.name = name;
  c.caption = caption;
  c.shortcut = shortcut;
  c.hint = hint;
  c.handler = handler;
  return c;
}
CommandDef Tagged(const char* menu, const char* name, const char* caption, const char* shortcut,
                  const char* hint, TagHandler handler, int tag) {
  CommandDef c = Row(menu, name, caption, shortcut, hint, nullptr);
  c.kind = CommandDef::Tagged;
  c.tagged = handler;
  c.tag = tag;
  return c;
}
CommandDef Toggle(const char* menu, const char* name, const char* caption, const char* shortcut,
                  int option) {
  CommandDef c = Row(menu, name, caption, shortcut, "", nullptr);
  c.kind = CommandDef::Toggle;
  c.tag = option;
  return c;
}
CommandDef Theme(const char* name, const char* caption, const char* shortcut, int index) {
  CommandDef c = Row("NonVisable/Color themes", name, caption, shortcut, "", nullptr);
  c.kind = CommandDef::Theme;
  c.tag = index;
  return c;
}
CommandDef Sep(const char* menu) {
  CommandDef c;
  c.menu = menu;
  c.kind = CommandDef::Separator;
  return c;
}
CommandDef Sub(const char* menu, const char* name, const char* caption, const char* hint = "") {
  CommandDef c = Row(menu, name, caption, "", hint, nullptr);
  c.kind = CommandDef::Submenu;
  return c;
}
int Opt(Check c) { return static_cast<int>(c); }

// The Insert and Convert submenus appear in the Edit menu and in the
// editor's pop-up menu; the pop-up copies are twins. n: "1" or "2".
void AddInsertAndConvert(std::vector<CommandDef>& t, const std::string& n, bool popup) {
  auto name = [&](const char* base) { return base + n; };
  auto twin = [&](CommandDef c) { return popup ? c.Twin() : c; };
  const std::string insert = "Insert" + n, convert = "Convert" + n;
  t.push_back(twin(Row(insert.c_str(), name("DateTime").c_str(), "&Date / Time...", "F5",
                       popup ? "Inserts current Date & Time (Ctrl+F5)" : "Inserts current Date & Time (F5)",
                       &F::DateTime_Open)));
  t.push_back(Sep(insert.c_str()));
  t.push_back(Row(insert.c_str(), name("FileName").c_str(), "&Filenames...", "", "Inserts the selected filenames into the text", &F::FileName_Cmd));
  t.push_back(Row(insert.c_str(), name("FileName83_").c_str(), "&8.3 filenames...", "", "Inserts the selected filenames into the text in 8.3 format", &F::FileName83_Cmd));
  t.push_back(Row(insert.c_str(), name("FNameRelative").c_str(), "F&ilenames relative to current dir...", "", "", &F::FNameRelative_Cmd));
  t.push_back(Sep(insert.c_str()));
  t.push_back(Row(insert.c_str(), name("TextFromFile").c_str(), "&Text from file...", "", "", &F::TextFromFile_Cmd));
  t.push_back(Sep(insert.c_str()));
  t.push_back(Row(insert.c_str(), name("AsciiChars").c_str(), "&ASCII characters...", "", "Insert one ASCII character in to the text", &F::AsciiChars_Cmd));
  t.push_back(Row(insert.c_str(), name("VisibleAsciiChars").c_str(), "&Visable ASCII characters (32..255)", "", "Inserts all visable ASCII charecters", &F::VisibleAsciiChars_Cmd));

  t.push_back(twin(Row(convert.c_str(), name("UpperCase").c_str(), "&UPPER CASE", "Shift+Alt+1", "Convert to UPPERCASE", &F::UpperCase_Cmd)));
  t.push_back(twin(Row(convert.c_str(), name("LowerCase").c_str(), "&lower case", "Shift+Alt+2", "Convert to lowercase", &F::LowerCase_Cmd)));
  t.push_back(twin(Row(convert.c_str(), name("TitleCase").c_str(), "&Title Case", "Shift+Alt+3", "", &F::TitleCase_Cmd)));
  t.push_back(twin(Row(convert.c_str(), name("ToggleCase").c_str(), "tO&GGLE cASE", "Shift+Alt+4", "Toggle to inverted case", &F::ToggleCase_Cmd)));
  t.push_back(Sep(convert.c_str()));
  t.push_back(twin(Row(convert.c_str(), name("AnsiToOem").c_str(), "&ANSI to OEM", "Shift+Alt+5", "Converts from ANSI to OEM", &F::AnsiToOem_Cmd)));
  t.push_back(twin(Row(convert.c_str(), name("OemToAnsi").c_str(), "&OEM to ANSI", "Shift+Alt+6", "Converts from OEM to ANSI", &F::OemToAnsi_Cmd)));
  t.push_back(Sep(convert.c_str()));
  t.push_back(Tagged(convert.c_str(), name("MultiToSingleA").c_str(), "Multi to Single Character A", "", "", &F::MultiToSingleChar_Cmd, 1));
  t.push_back(Tagged(convert.c_str(), name("MultiToSingleB").c_str(), "Multi to Single Character B", "", "", &F::MultiToSingleChar_Cmd, 2));
}

// The nine text functions, in the Functions menu's submenu and pop-up menu 3.
void AddFunctionChoices(std::vector<CommandDef>& t, const std::string& menu, const std::string& n,
                        bool popup) {
  const char* m = menu.c_str();
  auto row = [&](const char* sub, const char* base, const char* caption, const char* shortcut, int tag) {
    CommandDef c = Tagged(sub, (base + n).c_str(), caption, shortcut, "", &F::Function_Choice, tag);
    if (popup) c.Twin().Context(70);  // the Functions menu's topic, also in the tool list
    t.push_back(c);
  };
  row(m, "StandardColoring", "Standard coloring...", "Shift+Ctrl+1", 1);
  row(m, "HtmlColoring", "HTML tag coloring...", "Shift+Ctrl+2", 2);
  row(m, "KeywordColoring", popup ? "DOS batch tag coloring..." : "Key word list coloring...", "Shift+Ctrl+3", 3);
  row(m, "Rot13", "Encrypt/Decrypt: ROT 13...", "Shift+Ctrl+4", 4);
  row(m, "Backward", "Encrypt/Decrypt: Backward...", "Shift+Ctrl+5", 5);
  const std::string binary = "Binary" + n, hex = "Hexadecimal" + n;
  t.push_back(Sub(m, binary.c_str(), "Encrypt/Decrypt: Binary"));
  row(binary.c_str(), "EncryptBinary", "Encrypt Binary...", "", 10);
  row(binary.c_str(), "DecryptBinary", "Decrypt Binary...", "", 11);
  t.push_back(Sub(m, hex.c_str(), "Encrypt/Decrypt: Hexadecimal"));
  row(hex.c_str(), "EncryptHex", "Encrypt Hexadecimal...", "", 12);
  row(hex.c_str(), "DecryptHex", "Decrypt Hexadecimal...", "", 13);
}

std::vector<CommandDef> MakeCommands() {
  std::vector<CommandDef> t;
  // clang-format off
  // ---- File ----
  t.push_back(Row("File", "New1", "&New", "Ctrl+N", "", &F::NewFile_Cmd).Document());
  t.push_back(Row("File", "Open1", "&Open File(s)...", "Ctrl+O", "Open an existing file (Ctrl+O)", &F::OpenFile_Cmd).Document());
  t.push_back(Row("File", "OpenInCopy1", "Open in new cop&y of Quillora...", "Shift+Ctrl+O", "Open a file in a new copy of Quillora (Shift+Ctrl+O)", &F::OpenInCopy_Cmd));
  t.push_back(Sub("File", "RecentFiles1", "&Recent opened files", "Shows the recent opened files"));
  t.push_back(Row("File", "Save1", "&Save File", "Ctrl+S", "Save to current file (Ctrl+S)", &F::SaveFile_Cmd).Document());
  t.push_back(Row("File", "SaveAs1", "Save File &As...", "F12", "Save to a specific or new file (F12)", &F::SaveFileAs_Cmd).Document());
  t.push_back(Sep("File"));
  t.push_back(Row("File", "ReadAsBinFile1", "Read fi&le as a Binary file", "Ctrl+B", "", &F::ReadNonTxtFile_Cmd).Document());
  t.push_back(Row("File", "ReopenBytes1", "Reopen as 8-&bit bytes", "", "Reads the file again byte for byte, without UTF-8 decoding", &F::ReopenAsBytes_Cmd).Document());
  t.push_back(Row("File", "ReopenUtf81", "Reopen as &UTF-8", "", "Reads the file again as UTF-8 and saves it as UTF-8", &F::ReopenAsUtf8_Cmd).Document());
  t.push_back(Sep("File"));
  t.push_back(Row("File", "ExecFileDef1", "E&xecute file with default association...", "Ctrl+F9", "Executes the file as if you double-clicked it (Ctrl+F9)", &F::ExecFileDef_Cmd).Document());
  t.push_back(Row("File", "Revert1", "Re&vert file to last save", "Ctrl+R", "Revert to last saved point (Ctrl+R)", &F::Revert_Cmd).Document());
  t.push_back(Row("File", "FileInfo1", "&File Information...", "Alt+Return", "Info on the current file, almost the same as file properties (Alt+Enter)", nullptr));
  t.push_back(Row("File", "RenMovFile1", "R&ename/Move file...", "Shift+F2", "Renames/Moves the current file to an other filename/path (Shift+F2)", &F::RenMoveFile_Cmd).Document());
  t.push_back(Row("File", "DeleteFile1", "Delete file!", "", "WARNING: Deletes the file!!!", &F::DeleteFile_Cmd).Document());
  t.push_back(Sep("File"));
  t.push_back(Row("File", "Print1", "&Print...", "Ctrl+P", "Print the current text (Ctrl+P)", &F::Print_Cmd).Document());
  t.push_back(Row("File", "PrintSetup1", "Pr&inter setup...", "Shift+Ctrl+P", "Printer setup (Shift+Ctrl+P)", &F::PrintSetup_Cmd));
  t.push_back(Sep("File"));
  t.push_back(Row("File", "Close1", "&Close Quillora", "Alt+Q", "Close Quillora (Alt+Q)", &F::Close_Cmd));
  for (const char* m : {"RecentFiles1", "PopupMenu2"}) {
    const std::string n = m == std::string("RecentFiles1") ? "1" : "2";
    t.push_back(Sep(m));
    t.push_back(Row(m, ("RemoveObsolete" + n).c_str(), "&Remove obsolete", "", "Removes all obsolete files from the recent menu (The ones not enabled)", &F::RemoveObsolete_Cmd));
    t.push_back(Row(m, ("ClearRecent" + n).c_str(), "&Clear recent list", "", "Clear resent list", &F::ClearRecent_Cmd));
  }

  // ---- Edit ----
  t.push_back(Row("Edit", "Undo1", "&Undo", "Ctrl+Z", "Undo (Ctrl+Z)", &F::Undo_Cmd));
  t.push_back(Sep("Edit"));
  t.push_back(Row("Edit", "Cut1", "Cu&t", "Ctrl+X", "Cut selection (Ctrl+X)", &F::Cut_Cmd));
  t.push_back(Row("Edit", "Copy1", "&Copy", "Ctrl+C", "Copy selection (Ctrl+C)", &F::Copy_Cmd));
  t.push_back(Row("Edit", "Paste1", "&Paste", "Ctrl+V", "Paste from clipboard (Ctrl+V)", &F::Paste_Cmd));
  t.push_back(Sep("Edit"));
  t.push_back(Row("Edit", "Delete1", "&Delete\tDel", "", "Delete the selected text (Del)", &F::Delete_Cmd));
  t.push_back(Row("Edit", "SelectAll1", "Select &All", "Ctrl+A", "Salect all the text (Ctrl+A)", &F::SelectAll_Cmd));
  t.push_back(Sep("Edit"));
  t.push_back(Row("Edit", "CenterSpace1", "C&enter with spaces", "", "", &F::CenterSpace_Cmd));
  t.push_back(Sub("Edit", "Insert1", "&Insert", "Insert 'time,date or misc chars' into the current file"));
  t.push_back(Sub("Edit", "Convert1", "C&onvert", "Convert the current text"));
  AddInsertAndConvert(t, "1", false);

  // ---- Search ----
  t.push_back(Row("Search", "FindRep1", "&Find/Replace...", "Ctrl+F", "Find a 'String' in the text or replace it with another (Ctrl+F)", &F::FindRep_Open));
  t.push_back(Row("Search", "FindNext1", "Find &next", "F3", "Find the next search string (F3)", &F::FindNext_Cmd).Off());
  t.push_back(Sep("Search"));
  t.push_back(Row("Search", "GotoDialog1", "&Go to dialog...", "Ctrl+G", "Go to dialog (Ctrl+G)", nullptr));

  // ---- Hyper Text ----
  t.push_back(Row("HyperText", "InsHexColor1", "Insert/Edit Hex &color code...", "", "", &F::InsHexColor_Cmd));
  t.push_back(Sep("HyperText"));
  t.push_back(Row("HyperText", "HtmlWizard1", "HTML &Wizard...", "", "", nullptr));
  t.push_back(Row("HyperText", "AnalyzePage1", "Page &Analyzer...", "", "", nullptr));
  t.push_back(Row("HyperText", "CheckHtmlSyntax1", "Check HTML &syntax...", "", "", &F::CheckHtmlSyntax_Cmd).Hidden());
  t.push_back(Row("HyperText", "MiniHtml1", "&Minimize HTML code...", "", "", nullptr));
  t.push_back(Row("HyperText", "RemHtmlTag1", "&Remove HTML tags", "", "", nullptr));

  // ---- Functions ----
  t.push_back(Row("Functions", "CountWords1", "&Text Analyze...", "F7", "Analyzes words and characters in all the text or selected (F7)", nullptr));
  t.push_back(Sep("Functions"));
  t.push_back(Row("Functions", "SortLines1", "&Sort all lines in text", "", "Sorts the lines in alphabetical order", nullptr));
  t.push_back(Row("Functions", "DumpHex1", "&Dump Hexadecimal", "", "Dump Hexadecimal data", nullptr));
  t.push_back(Sep("Functions"));
  t.push_back(Row("Functions", "Functions1", "&Misc functions dialog...", "F8", "Opens a box with different functions (F8)", nullptr));
  t.push_back(Sub("Functions", "MiscFunctions1", "Misc &functions"));
  AddFunctionChoices(t, "MiscFunctions1", "1", false);

  // ---- Tools ----
  t.push_back(Row("Tools", "NumConvert1", "Number Converter v1.36...", "Shift+F6", "Number convertion", &F::NumConvert_Open));
  t.push_back(Sep("Tools"));
  t.push_back(Tagged("Tools", "CharMap1", "MS &Character map...", "Shift+F7", "MS Charecter map", &F::Tools_Open, 1));
  t.push_back(Tagged("Tools", "Calculator1", "MS C&alculator...", "Shift+F8", "MS Calculator", &F::Tools_Open, 2));
  t.push_back(Sep("Tools"));
  t.push_back(Row("Tools", "Run1", "Run!...", "F9", "", nullptr));

  // ---- Options ----
  t.push_back(Row("Options", "Config1", "&Configuration...", "F2", "Quillora configuration (F2)", &F::Config_Open).Context(91));
  t.push_back(Row("Options", "Associate1", "&Association options...", "F4", "Option to associate files with Quillora (F4)", nullptr).Context(92));
  t.push_back(Sep("Options"));
  t.push_back(Row("Options", "ChangeScreenFont1", "Change &screen font...", "F6", "Change the screen font (F6)", &F::ChangeScreenFont_Open));
  t.push_back(Row("Options", "ChangePrintFont1", "Change &print font...", "Ctrl+F6", "Changes the font to print with (Ctrl+F6)", &F::ChangePrintFont_Open));
  t.push_back(Sep("Options"));
  t.push_back(Row("Options", "SaveSettings1", "&Save settings", "Ctrl+E", "Save the current settings (Ctrl+E)", &F::SaveSettings_Cmd));

  // ---- View ----
  t.push_back(Toggle("View", "ToolBarOpt", "&ToolBar visible", "Ctrl+Alt+T", Opt(Check::ToolBarOpt)));
  t.push_back(Toggle("View", "StatusBarOpt", "&StatusBar visible", "Ctrl+Alt+S", Opt(Check::StatusBarOpt)));
  t.push_back(Toggle("View", "FullPathOpt", "&Full path in TitleBar", "Ctrl+Alt+P", Opt(Check::FullPathOpt)));
  t.push_back(Sep("View"));
  t.push_back(Row("View", "PrevWndSize1", "&Use previous window size", "Ctrl+U", "Uses the last window sizes (Insteed of maximized) (Ctrl+U)", &F::PrevWndSize_Cmd));
  t.push_back(Sep("View"));
  t.push_back(Row("View", "OpenQuillora1", "Open new copy of &Quillora...", "Ctrl+F12", "Will open a new copy of Quillora (Ctrl+F12)", &F::OpenQuillora_Cmd));
  t.push_back(Sep("View"));
  t.push_back(Row("View", "MinimizeToTray1", "&Minimize Quillora to tray...", "F11", "", &F::MinimizeToTray_Cmd));

  // ---- Help ----
  t.push_back(Tagged("Help", "HelpContents1", "&Help contents...", "Shift+F1", "Help contents (Shift+F1)", &F::Help_Open, 1));
  t.push_back(Tagged("Help", "Credits1", "&Credits, FAQ and bug list...", "", "Credits, FAQ and bug list", &F::Help_Open, 6));
  t.push_back(Tagged("Help", "History1", "&The history of Quillora...", "", "The history of Quillora", &F::Help_Open, 5));
  t.push_back(Tagged("Help", "Shortcuts1", "&Quilloras shortcuts...", "", "Quilloras shortcuts", &F::Help_Open, 3));
  t.push_back(Sep("Help"));
  t.push_back(Row("Help", "About1", "&About Quillora...", "F1", "About Quillora (F1)", nullptr));

  // ---- the hidden menu ----
  t.push_back(Toggle("NonVisable/Options", "WordWrapOpt", "WordWrap", "Ctrl+W", Opt(Check::WordWrapOpt)));
  t.push_back(Toggle("NonVisable/Options", "SaveAutoOpt", "Save settings Automatic", "", Opt(Check::SaveAutoOpt)));
  t.push_back(Toggle("NonVisable/Options", "DefRecentIconOpt", "Default icon in recent list", "", Opt(Check::DefRecentIconOpt)));
  t.push_back(Toggle("NonVisable/Options", "AutoIndentOpt", "Auto Indent", "Ctrl+Alt+A", Opt(Check::AutoIndentOpt)));
  // Changed only by the configuration dialog: no toggle handler.
  t.push_back(Toggle("NonVisable/Options", "PromptBinaryOpt", "Prompt to load as binary if filesize <> chars", "", -1));
  t.push_back(Toggle("NonVisable/Options", "ChangeNfoFontOpt", "Change if more than 10 NFO chars", "", -1));
  t.push_back(Theme("Theme0", "System/Notepad", "Ctrl+0", 0));
  t.push_back(Sep("NonVisable/Color themes"));
  t.push_back(Theme("Theme1", "Deep Reef", "Ctrl+1", 1));
  t.push_back(Theme("Theme2", "Ember Deck", "Ctrl+2", 2));
  t.push_back(Theme("Theme3", "Black lime", "Ctrl+3", 3));
  t.push_back(Theme("Theme4", "MS DOS", "Ctrl+4", 4));
  t.push_back(Theme("Theme5", "The Void", "Ctrl+5", 5));
  t.push_back(Row("NonVisable/Other", "RecentListPopup1", "Recent list popup", "Ctrl+Return", "", &F::RecentList_Popup));
  t.push_back(Row("NonVisable/Other", "ToolListPopup1", "Tool list popup", "Ctrl+Space", "", &F::ToolList_Popup));
  t.push_back(Row("NonVisable/Other", "RClickMenuPopup1", "Right-click menu popup", "Alt+F10", "", &F::RClickMenu_Popup));
  t.push_back(Row("NonVisable/Other", "CtrlUp1", "Ctrl UP", "Ctrl+Up", "", &F::CtrlUp_Cmd));
  t.push_back(Row("NonVisable/Other", "CtrlDown1", "Ctrl DOWN", "Ctrl+Down", "", &F::CtrlDown_Cmd));
  t.push_back(Row("NonVisable/Other", "Refresh1", "Refresh", "Ctrl+F5", "", &F::Refresh_Cmd));

  // ---- pop-up menu 1: the editor's context menu ----
  t.push_back(Row("PopupMenu1", "Undo2", "&Undo", "Ctrl+Z", "Undo (Ctrl+Z)", &F::Undo_Cmd).Off().Twin());
  t.push_back(Sep("PopupMenu1"));
  t.push_back(Row("PopupMenu1", "Cut2", "Cu&t", "Ctrl+X", "Cut selection (Ctrl+X)", &F::Cut_Cmd).Off().Twin());
  t.push_back(Row("PopupMenu1", "Copy2", "&Copy", "Ctrl+C", "Copy selection (Ctrl+C)", &F::Copy_Cmd).Off().Twin());
  t.push_back(Row("PopupMenu1", "Paste2", "&Paste", "Ctrl+V", "Paste from clipboard (Ctrl+V)", &F::Paste_Cmd).Twin());
  t.push_back(Sep("PopupMenu1"));
  t.push_back(Row("PopupMenu1", "Delete2", "&Delete\tDel", "", "Delete the selected text (Del)", &F::Delete_Cmd).Off());
  t.push_back(Row("PopupMenu1", "SelectAll2", "Select &All", "Ctrl+A", "Salect all the text (Ctrl+A)", &F::SelectAll_Cmd).Twin());
  t.push_back(Sep("PopupMenu1"));
  t.push_back(Row("PopupMenu1", "CenterSpace2", "C&enter with spaces", "", "", &F::CenterSpace_Cmd));
  t.push_back(Sub("PopupMenu1", "Insert2", "&Insert", "Insert 'time,date or misc chars' into the current file"));
  t.push_back(Sub("PopupMenu1", "Convert2", "C&onvert", "Convert the current text"));
  AddInsertAndConvert(t, "2", true);

  // ---- pop-up menu 3: the tool list ----
  t.push_back(Row("PopupMenu3", "ExecFileDef2", "E&xecute file with default association...", "Ctrl+F9", "Executes the file as if you double-clicked it (Ctrl+9)", &F::ExecFileDef_Cmd).Off().Twin().Document());
  t.push_back(Row("PopupMenu3", "Revert2", "Re&vert file to last save", "Ctrl+R", "Revert to last saved point (Ctrl+R)", &F::Revert_Cmd).Off().Twin().Document());
  t.push_back(Row("PopupMenu3", "FileInfo3", "&File info...", "Alt+Return", "Info on the current file, almost the same as file properties (Alt+Enter)", nullptr).Twin());
  t.push_back(Row("PopupMenu3", "RenMovFile2", "R&ename/Move file...", "Shift+F2", "Renames/Moves the current file to an other filename/path (Shift+F2)", &F::RenMoveFile_Cmd).Off().Twin().Document());
  t.push_back(Row("PopupMenu3", "DeleteFile2", "Delete file!", "", "WARNING: Deletes the file!!!", &F::DeleteFile_Cmd).Off().Document());
  t.push_back(Sep("PopupMenu3"));
  AddFunctionChoices(t, "PopupMenu3", "2", true);

  // ---- pop-up menu 4: the font button's drop-down ----
  t.push_back(Tagged("PopupMenu4", "FontCourier1", "&Courier New  10pt", "", "", &F::FontChange_Cmd, 1));
  t.push_back(Tagged("PopupMenu4", "FontFixedsys1", "&Fixedsys  9pt", "", "", &F::FontChange_Cmd, 2));
  t.push_back(Tagged("PopupMenu4", "FontTerminal1", "Terminal  9pt", "", "", &F::FontChange_Cmd, 3));
  t.push_back(Tagged("PopupMenu4", "FontDefault1", "&Default Windows font", "", "", &F::FontChange_Cmd, 4));

  // ---- pop-up menu 5: the tray icon's menu ----
  t.push_back(Row("PopupMenu5", "Restore1", "&Restore Quillora", "", "", &F::Restore_Cmd));
  t.push_back(Sep("PopupMenu5"));
  t.push_back(Row("PopupMenu5", "Close2", "Close Quillora", "", "", &F::Close_Cmd));

  // ---- the tool bar ----
  t.push_back(Row("ToolBar1", "New2", "New", "", "Create a 'New File' (Ctrl+N)", &F::NewFile_Cmd).Icon("document-new").Document());
  t.push_back(Row("ToolBar1", "Open2", "Open", "", "Opens an existing file (Ctrl+O)", &F::OpenFile_Cmd).Icon("document-open").Document());
  t.push_back(Row("ToolBar1", "Save2", "Save", "", "Saves the current file (Ctrl+S)", &F::SaveFile_Cmd).Off().Icon("document-save").Document());
  t.push_back(Row("ToolBar1", "SaveAs2", "Save as", "", "Save the text to a specific file (F12)", &F::SaveFileAs_Cmd).Icon("document-save-as").Document());
  t.push_back(Sep("ToolBar1"));
  t.push_back(Row("ToolBar1", "FileInfo2", "File info", "", "File Info (Alt+Enter)|Info on the current file, almost the same as file properties (Alt+Enter)", nullptr).Icon("document-properties"));
  t.push_back(Sep("ToolBar1"));
  t.push_back(Row("ToolBar1", "Undo3", "Undo", "", "Undo (Ctrl+Z)", &F::Undo_Cmd).Off().Icon("edit-undo"));
  t.push_back(Row("ToolBar1", "Cut3", "Cut", "", "Cut selected text (Ctrl+X)", &F::Cut_Cmd).Off().Icon("edit-cut"));
  t.push_back(Row("ToolBar1", "Copy3", "Copy", "", "Copy selected text (Ctrl+C)", &F::Copy_Cmd).Off().Icon("edit-copy"));
  t.push_back(Row("ToolBar1", "Paste3", "Paste", "", "Paste from clipboard (Ctrl+V)", &F::Paste_Cmd).Icon("edit-paste"));
  t.push_back(Sep("ToolBar1"));
  t.push_back(Row("ToolBar1", "FindRep2", "Find", "", "Find a 'String' in the text or replace it with another (Ctrl+F)", &F::FindRep_Open).Icon("edit-find"));
  t.push_back(Row("ToolBar1", "FindNext2", "Find next", "", "Find the next search string (F3)", &F::FindNext_Cmd).Off().Icon("go-down-search"));
  t.push_back(Sep("ToolBar1"));
  t.push_back(Row("ToolBar1", "CountWordsChar2", "Text analyze", "", "Analyzes words and characters in all the text or selected (F7)", nullptr).Icon("accessories-text-editor"));
  t.push_back(Row("ToolBar1", "Goto2", "Go to", "", "Go to dialog (Ctrl+G)", nullptr).Icon("go-jump"));
  t.push_back(Row("ToolBar1", "MiscFunc2", "Functions", "", "Misc functions (F8)|Opens a box with different functions (F8)", nullptr).Icon("system-run"));
  t.push_back(Sep("ToolBar1"));
  t.push_back(Row("ToolBar1", "Config2", "Configuration", "", "Program configuration (F2)", &F::Config_Open).Icon("preferences-system"));
  t.push_back(Row("ToolBar1", "ScreenFont2", "Font", "", "Change font (F6)", &F::ChangeScreenFont_Open).Icon("preferences-desktop-font"));
  t.push_back(Sep("ToolBar1"));
  t.push_back(Row("ToolBar1", "About2", "About", "", "About Quillora (F1)", nullptr).Icon("help-about"));
  t.push_back(Tagged("ToolBar1", "HelpContents2", "Help", "", "Help contents (Shift+F1)", &F::Help_Open, 1).Icon("help-contents"));
  t.push_back(Sep("ToolBar1"));
  // clang-format on
  return t;
}

void Connect(TFormQuillora& form, QAction* a, const CommandDef& c) {
  switch (c.kind) {
    case CommandDef::Command:
      if (c.handler && c.document) {
        const auto handler = c.handler;
        const std::string key = c.name;
        QObject::connect(a, &QAction::triggered, &form, [&form, handler, key] {
          form.RunDocumentCommand(key, [&form, handler] { (form.*handler)(); });
        });
      } else if (c.handler) {
        QObject::connect(a, &QAction::triggered, &form, c.handler);
      }
      break;
    case CommandDef::Tagged:
      if (c.tagged) {
        const auto handler = c.tagged;
        const int tag = c.tag;
        QObject::connect(a, &QAction::triggered, &form, [&form, handler, tag] { (form.*handler)(tag); });
      }
      break;
    case CommandDef::Toggle:
      a->setCheckable(true);
      if (c.tag >= 0) {
        const Check option = static_cast<Check>(c.tag);
        QObject::connect(a, &QAction::triggered, &form, [&form, option] { form.ToggleOption(option); });
      }
      break;
    case CommandDef::Theme: {
      const int theme = c.tag;
      QObject::connect(a, &QAction::triggered, &form, [&form, theme] { form.ThemeSelect(theme); });
      break;
    }
    case CommandDef::Separator:
    case CommandDef::Submenu:
      break;
  }
}

QString Q(const std::string& s) { return QString::fromUtf8(s.c_str()); }

// A pop-up menu's help topic: that of the main menu its items come from.
int PopupHelpContext(const QString& name) {
  static const QHash<QString, int> contexts = {{"PopupMenu1", 40}, {"PopupMenu2", 30}, {"PopupMenu3", 30},
                                               {"PopupMenu4", 90}, {"PopupMenu5", 100}};
  return contexts.value(name, 0);
}

}  // namespace

const std::vector<CommandDef>& Commands() {
  static const std::vector<CommandDef> commands = MakeCommands();
  return commands;
}

const std::vector<MenuDef>& MainMenus() {
  static const std::vector<MenuDef> menus = {
      {"File", "&File", "MenuFile", 30},          {"Edit", "&Edit", "MenuEdit", 40},
      {"Search", "&Search", "MenuSearch", 50},    {"HyperText", "Hype&r Text", "MenuHtml", 60},
      {"Functions", "F&unctions", "MenuFunc", 70}, {"Tools", "&Tools", "MenuTools", 80},
      {"Options", "&Options", "MenuOptions", 90}, {"View", "&View", "MenuView", 100},
      {"Help", "&Help", "MenuHelp", 110},
  };
  return menus;
}

QHash<QString, QAction*> BuildCommands(TFormQuillora& form) {
  QHash<QString, QAction*> actions;
  QHash<QString, QMenu*> menus;
  for (const MenuDef& m : MainMenus()) {
    QMenu* menu = form.menuBar()->addMenu(m.caption);
    menu->setObjectName(m.name);
    menu->menuAction()->setData(m.helpContext);
    menus.insert(m.key, menu);
  }
  // The hidden menu is never shown; its shortcuts work (its actions are the
  // window's too) and its check marks hold options.
  QMenu* hidden = new QMenu("//NonVisable//", &form);
  hidden->setObjectName("NonVisable");
  QToolBar* toolBar = form.findChild<QToolBar*>("ToolBar1");

  for (const CommandDef& c : Commands()) {
    const QString key = Q(c.menu);
    const bool isHidden = key.startsWith("NonVisable/");
    const bool isTool = key == "ToolBar1";
    QMenu* menu = menus.value(key);
    if (!menu && !isTool) {
      menu = isHidden ? hidden->addMenu(key.section('/', 1)) : new QMenu(&form);
      if (key.startsWith("PopupMenu")) {
        menu->setObjectName(key);
        menu->menuAction()->setData(PopupHelpContext(key));
      }
      menus.insert(key, menu);
    }
    if (c.kind == CommandDef::Submenu) {
      QMenu* sub = menu->addMenu(Q(c.caption));
      sub->setObjectName(Q(c.name));
      sub->menuAction()->setStatusTip(Q(c.hint));
      menus.insert(Q(c.name), sub);
      continue;
    }
    if (c.kind == CommandDef::Separator) {
      if (isTool)
        toolBar->addSeparator();
      else
        menu->addSeparator();
      continue;
    }
    QString caption = Q(c.caption);
    // A twin shows the key in its caption; only its main item owns it.
    if (c.twin && !c.shortcut.empty())
      caption += "\t" + QKeySequence(Q(c.shortcut)).toString(QKeySequence::NativeText);
    QAction* a = new QAction(caption, &form);
    a->setObjectName(Q(c.name));
    a->setEnabled(c.enabled && c.Built());
    a->setVisible(c.visible);
    a->setData(c.helpContext);
    if (!c.twin && !c.shortcut.empty()) a->setShortcut(QKeySequence(Q(c.shortcut)));
    if (!c.hint.empty()) {
      const Hint hint = SplitHint(c.hint);
      a->setToolTip(Q(hint.tooltip));
      a->setStatusTip(Q(hint.status));
    }
    if (isTool) {
      a->setIcon(ThemeIcon(c.icon));
      toolBar->addAction(a);
    } else {
      menu->addAction(a);
    }
    if (isHidden) form.addAction(a);  // keeps the shortcut alive
    Connect(form, a, c);
    actions.insert(Q(c.name), a);
  }
  return actions;
}

}  // namespace ql
