#include "app/qt/CommandTable.h"

#include <QAction>
#include <QIcon>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/EditorStatus.h"
#include "app/qt/MainQuillora.h"

namespace ql {

namespace {

using F = TFormQuillora;
constexpr auto C = CommandDef::Command;
constexpr auto G = CommandDef::Tagged;
constexpr auto T = CommandDef::Toggle;
constexpr auto H = CommandDef::Theme;
constexpr auto S = CommandDef::Separator;
constexpr auto M = CommandDef::Submenu;
constexpr int Opt(Check c) { return static_cast<int>(c); }

// clang-format off
const CommandDef kCommands[] = {
    {"File", "New1", "&New", "Ctrl+N", "", C, &F::NewFile_Cmd, 0},
    {"File", "Open1", "&Open File(s)...", "Ctrl+O", "Open an existing file (Ctrl+O)", C, &F::OpenFile_Cmd, 0},
    {"File", "OpenInCopy1", "Open in new cop&y of Quillora...", "Shift+Ctrl+O", "Open a file in a new copy of Quillora (Shift+Ctrl+O)", C, &F::OpenInCopy_Cmd, 0},
    {"File", "RecentFiles1", "&Recent opened files", "", "Shows the recent opened files", M, nullptr, 0},
    {"File", "Save1", "&Save File", "Ctrl+S", "Save to current file (Ctrl+S)", C, &F::SaveFile_Cmd, 0},
    {"File", "SaveAs1", "Save File &As...", "F12", "Save to a specific or new file (F12)", C, &F::SaveFileAs_Cmd, 0},
    {"File", "", "", "", "", S, nullptr, 0},
    {"File", "ReadAsBinFile1", "Read fi&le as a Binary file", "Ctrl+B", "", C, &F::ReadNonTxtFile_Cmd, 0},
    {"File", "", "", "", "", S, nullptr, 0},
    {"File", "ExecFileDef1", "E&xecute file with default association...", "Ctrl+F9", "Executes the file as if you double-clicked it (Ctrl+F9)", C, &F::ExecFileDef_Cmd, 0},
    {"File", "Revert1", "Re&vert file to last save", "Ctrl+R", "Revert to last saved point (Ctrl+R)", C, &F::Revert_Cmd, 0},
    // Stays disabled until the file-information dialog exists.
    {"File", "FileInfo1", "&File Information...", "Alt+Return", "Info on the current file, almost the same as file properties (Alt+Enter)", C, &F::FileInfo_Open, 0, nullptr, false},
    {"File", "RenMovFile1", "R&ename/Move file...", "Shift+F2", "Renames/Moves the current file to an other filename/path (Shift+F2)", C, &F::RenMoveFile_Cmd, 0},
    {"File", "DeleteFile1", "Delete file!", "", "WARNING: Deletes the file!!!", C, &F::DeleteFile_Cmd, 0},
    {"File", "", "", "", "", S, nullptr, 0},
    {"File", "Close1", "&Close Quillora", "Alt+Q", "Close Quillora (Alt+Q)", C, &F::Close_Cmd, 0},

    {"RecentFiles1", "", "", "", "", S, nullptr, 0},
    {"RecentFiles1", "RemoveObsolete1", "&Remove obsolete", "", "Removes all obsolete files from the recent menu (The ones not enabled)", C, &F::RemoveObsolete_Cmd, 0},
    {"RecentFiles1", "ClearRecent1", "&Clear recent list", "", "Clear resent list", C, &F::ClearRecent_Cmd, 0},
    {"PopupMenu2", "", "", "", "", S, nullptr, 0},
    {"PopupMenu2", "RemoveObsolete2", "&Remove obsolete", "", "Removes all obsolete files from the recent menu (The ones not enabled)", C, &F::RemoveObsolete_Cmd, 0},
    {"PopupMenu2", "ClearRecent2", "&Clear recent list", "", "Clear resent list", C, &F::ClearRecent_Cmd, 0},

    {"Edit", "Undo1", "&Undo", "Ctrl+Z", "Undo (Ctrl+Z)", C, &F::Undo_Cmd, 0},
    {"Edit", "", "", "", "", S, nullptr, 0},
    {"Edit", "Cut1", "Cu&t", "Ctrl+X", "Cut selection (Ctrl+X)", C, &F::Cut_Cmd, 0},
    {"Edit", "Copy1", "&Copy", "Ctrl+C", "Copy selection (Ctrl+C)", C, &F::Copy_Cmd, 0},
    {"Edit", "Paste1", "&Paste", "Ctrl+V", "Paste from clipboard (Ctrl+V)", C, &F::Paste_Cmd, 0},
    {"Edit", "", "", "", "", S, nullptr, 0},
    {"Edit", "Delete1", "&Delete\tDel", "", "Delete the selected text (Del)", C, &F::Delete_Cmd, 0},
    {"Edit", "SelectAll1", "Select &All", "Ctrl+A", "Salect all the text (Ctrl+A)", C, &F::SelectAll_Cmd, 0},

    {"Options", "ChangeScreenFont1", "Change &screen font...", "F6", "Change the screen font (F6)", C, &F::ChangeScreenFont_Open, 0},
    {"Options", "ChangePrintFont1", "Change &print font...", "Ctrl+F6", "Changes the font to print with (Ctrl+F6)", C, &F::ChangePrintFont_Open, 0},
    {"Options", "", "", "", "", S, nullptr, 0},
    {"Options", "SaveSettings1", "&Save settings", "Ctrl+E", "Save the current settings (Ctrl+E)", C, &F::SaveSettings_Cmd, 0},

    {"View", "ToolBarOpt", "&ToolBar visible", "Ctrl+Alt+T", "", T, nullptr, Opt(Check::ToolBarOpt)},
    {"View", "StatusBarOpt", "&StatusBar visible", "Ctrl+Alt+S", "", T, nullptr, Opt(Check::StatusBarOpt)},
    {"View", "FullPathOpt", "&Full path in TitleBar", "Ctrl+Alt+P", "", T, nullptr, Opt(Check::FullPathOpt)},
    {"View", "", "", "", "", S, nullptr, 0},
    {"View", "PrevWndSize1", "&Use previous window size", "Ctrl+U", "Uses the last window sizes (Insteed of maximized) (Ctrl+U)", C, &F::PrevWndSize_Cmd, 0},
    {"View", "", "", "", "", S, nullptr, 0},
    {"View", "OpenQuillora1", "Open new copy of &Quillora...", "Ctrl+F12", "Will open a new copy of Quillora (Ctrl+F12)", C, &F::OpenQuillora_Cmd, 0},

    {"NonVisable/Options", "WordWrapOpt", "WordWrap", "Ctrl+W", "", T, nullptr, Opt(Check::WordWrapOpt)},
    {"NonVisable/Options", "SaveAutoOpt", "Save settings Automatic", "", "", T, nullptr, Opt(Check::SaveAutoOpt)},
    {"NonVisable/Options", "DefRecentIconOpt", "Default icon in recent list", "", "", T, nullptr, Opt(Check::DefRecentIconOpt)},
    {"NonVisable/Options", "AutoIndentOpt", "Auto Indent", "Ctrl+Alt+A", "", T, nullptr, Opt(Check::AutoIndentOpt)},
    // Changed only by the configuration dialog: no toggle handler.
    {"NonVisable/Options", "PromptBinaryOpt", "Prompt to load as binary if filesize <> chars", "", "", T, nullptr, -1},
    {"NonVisable/Options", "ChangeNfoFontOpt", "Change if more than 10 NFO chars", "", "", T, nullptr, -1},
    {"NonVisable/Color themes", "Theme0", "System/Notepad", "Ctrl+0", "", H, nullptr, 0},
    {"NonVisable/Color themes", "", "", "", "", S, nullptr, 0},
    {"NonVisable/Color themes", "Theme1", "Deep Reef", "Ctrl+1", "", H, nullptr, 1},
    {"NonVisable/Color themes", "Theme2", "Ember Deck", "Ctrl+2", "", H, nullptr, 2},
    {"NonVisable/Color themes", "Theme3", "Black lime", "Ctrl+3", "", H, nullptr, 3},
    {"NonVisable/Color themes", "Theme4", "MS DOS", "Ctrl+4", "", H, nullptr, 4},
    {"NonVisable/Color themes", "Theme5", "The Void", "Ctrl+5", "", H, nullptr, 5},
    {"NonVisable/Other", "RecentListPopup1", "Recent list popup", "Ctrl+Return", "", C, &F::RecentList_Popup, 0},
    {"NonVisable/Other", "RClickMenuPopup1", "Right-click menu popup", "Alt+F10", "", C, &F::RClickMenu_Popup, 0},
    {"NonVisable/Other", "CtrlUp1", "Ctrl UP", "Ctrl+Up", "", C, &F::CtrlUp_Cmd, 0},
    {"NonVisable/Other", "CtrlDown1", "Ctrl DOWN", "Ctrl+Down", "", C, &F::CtrlDown_Cmd, 0},
    {"NonVisable/Other", "Refresh1", "Refresh", "Ctrl+F5", "", C, &F::Refresh_Cmd, 0},

    {"PopupMenu1", "Undo2", "&Undo", "Ctrl+Z", "Undo (Ctrl+Z)", C, &F::Undo_Cmd, 0, nullptr, false},
    {"PopupMenu1", "", "", "", "", S, nullptr, 0},
    {"PopupMenu1", "Cut2", "Cu&t", "Ctrl+X", "Cut selection (Ctrl+X)", C, &F::Cut_Cmd, 0, nullptr, false},
    {"PopupMenu1", "Copy2", "&Copy", "Ctrl+C", "Copy selection (Ctrl+C)", C, &F::Copy_Cmd, 0, nullptr, false},
    {"PopupMenu1", "Paste2", "&Paste", "Ctrl+V", "Paste from clipboard (Ctrl+V)", C, &F::Paste_Cmd, 0},
    {"PopupMenu1", "", "", "", "", S, nullptr, 0},
    {"PopupMenu1", "Delete2", "&Delete\tDel", "", "Delete the selected text (Del)", C, &F::Delete_Cmd, 0, nullptr, false},
    {"PopupMenu1", "SelectAll2", "Select &All", "Ctrl+A", "Salect all the text (Ctrl+A)", C, &F::SelectAll_Cmd, 0},

    {"PopupMenu4", "FontCourier1", "&Courier New  10pt", "", "", G, nullptr, 1, &F::FontChange_Cmd},
    {"PopupMenu4", "FontFixedsys1", "&Fixedsys  9pt", "", "", G, nullptr, 2, &F::FontChange_Cmd},
    {"PopupMenu4", "FontTerminal1", "Terminal  9pt", "", "", G, nullptr, 3, &F::FontChange_Cmd},
    {"PopupMenu4", "FontDefault1", "&Default Windows font", "", "", G, nullptr, 4, &F::FontChange_Cmd},

    {"ToolBar1", "New2", "New", "", "Create a 'New File' (Ctrl+N)", C, &F::NewFile_Cmd, 0, nullptr, true, "document-new"},
    {"ToolBar1", "Open2", "Open", "", "Opens an existing file (Ctrl+O)", C, &F::OpenFile_Cmd, 0, nullptr, true, "document-open"},
    {"ToolBar1", "Save2", "Save", "", "Saves the current file (Ctrl+S)", C, &F::SaveFile_Cmd, 0, nullptr, false, "document-save"},
    {"ToolBar1", "SaveAs2", "Save as", "", "Save the text to a specific file (F12)", C, &F::SaveFileAs_Cmd, 0, nullptr, true, "document-save-as"},
    {"ToolBar1", "", "", "", "", S, nullptr, 0},
    {"ToolBar1", "FileInfo2", "Info", "", "File Info (Alt+Enter)|Info on the current file, almost the same as file properties (Alt+Enter)", C, &F::FileInfo_Open, 0, nullptr, false, "document-properties"},
    {"ToolBar1", "", "", "", "", S, nullptr, 0},
    {"ToolBar1", "Undo3", "Undo", "", "Undo (Ctrl+Z)", C, &F::Undo_Cmd, 0, nullptr, false, "edit-undo"},
    {"ToolBar1", "Cut3", "Cut", "", "Cut selected text (Ctrl+X)", C, &F::Cut_Cmd, 0, nullptr, false, "edit-cut"},
    {"ToolBar1", "Copy3", "Copy", "", "Copy selected text (Ctrl+C)", C, &F::Copy_Cmd, 0, nullptr, false, "edit-copy"},
    {"ToolBar1", "Paste3", "Paste", "", "Paste from clipboard (Ctrl+V)", C, &F::Paste_Cmd, 0, nullptr, true, "edit-paste"},
    {"ToolBar1", "", "", "", "", S, nullptr, 0},
    {"ToolBar1", "ScreenFont2", "Font", "", "Change font (F6)", C, &F::ChangeScreenFont_Open, 0, nullptr, true, "preferences-desktop-font"},
};
// clang-format on

struct MenuDef {
  const char* key;
  const char* caption;
  const char* name;
};
// Main menu order; menus without items yet are not shown.
const MenuDef kMenus[] = {
    {"File", "&File", "MenuFile"},          {"Edit", "&Edit", "MenuEdit"},
    {"Search", "&Search", "MenuSearch"},    {"HyperText", "Hype&r Text", "MenuHtml"},
    {"Functions", "F&unctions", "MenuFunc"}, {"Tools", "&Tools", "MenuTools"},
    {"Options", "&Options", "MenuOptions"}, {"View", "&View", "MenuView"},
    {"Help", "&Help", "MenuHelp"},
};

void Connect(TFormQuillora& form, QAction* a, const CommandDef& c) {
  switch (c.kind) {
    case CommandDef::Command:
      QObject::connect(a, &QAction::triggered, &form, c.handler);
      break;
    case CommandDef::Tagged: {
      const auto handler = c.tagged;
      const int tag = c.tag;
      QObject::connect(a, &QAction::triggered, &form, [&form, handler, tag] { (form.*handler)(tag); });
      break;
    }
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

}  // namespace

QHash<QString, QAction*> BuildCommands(TFormQuillora& form) {
  QHash<QString, QAction*> actions;
  QHash<QString, QMenu*> menus;
  for (const MenuDef& m : kMenus) {
    bool used = false;
    for (const CommandDef& c : kCommands) used = used || QString(c.menu) == m.key;
    if (!used) continue;
    QMenu* menu = form.menuBar()->addMenu(m.caption);
    menu->setObjectName(m.name);
    menus.insert(m.key, menu);
  }
  // The hidden menu is never shown; its shortcuts work and its check marks hold options.
  QMenu* hidden = new QMenu("//NonVisable//", &form);
  hidden->setObjectName("NonVisable");
  QToolBar* toolBar = form.findChild<QToolBar*>("ToolBar1");

  for (const CommandDef& c : kCommands) {
    const QString key = c.menu;
    const bool isHidden = key.startsWith("NonVisable/");
    const bool isPopup = key.startsWith("PopupMenu");
    const bool isTool = key == "ToolBar1";
    QMenu* menu = menus.value(key);
    if (!menu && !isTool) {
      menu = isHidden ? hidden->addMenu(key.section('/', 1)) : new QMenu(&form);
      if (isPopup) menu->setObjectName(key);
      menus.insert(key, menu);
    }
    if (c.kind == CommandDef::Submenu) {
      QMenu* sub = menu->addMenu(c.caption);
      sub->setObjectName(c.name);
      sub->menuAction()->setStatusTip(c.hint);
      menus.insert(c.name, sub);
      continue;
    }
    if (c.kind == CommandDef::Separator) {
      if (isTool)
        toolBar->addSeparator();
      else
        menu->addSeparator();
      continue;
    }
    QAction* a = new QAction(c.caption, &form);
    a->setObjectName(c.name);
    a->setEnabled(c.enabled);
    if (*c.shortcut) {
      a->setShortcut(QKeySequence(c.shortcut));
      // Pop-up twins show the shortcut; the main-menu item owns it.
      if (isPopup) a->setShortcutContext(Qt::WidgetShortcut);
    }
    if (*c.hint) {
      const Hint hint = SplitHint(c.hint);
      a->setToolTip(QString::fromUtf8(hint.tooltip.c_str()));
      a->setStatusTip(QString::fromUtf8(hint.status.c_str()));
    }
    if (isTool) {
      a->setIcon(QIcon::fromTheme(c.icon));
      toolBar->addAction(a);
    } else {
      menu->addAction(a);
    }
    if (isHidden) form.addAction(a);  // keeps the shortcut alive
    Connect(form, a, c);
    actions.insert(c.name, a);
  }
  return actions;
}

}  // namespace ql
