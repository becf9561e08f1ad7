#include "app/qt/CommandTable.h"

#include <QAction>
#include <QMenuBar>
#include <QStatusBar>

#include "app/qt/MainQuillora.h"

namespace ql {

namespace {

using F = TFormQuillora;
constexpr auto C = CommandDef::Command;
constexpr auto T = CommandDef::Toggle;
constexpr auto H = CommandDef::Theme;
constexpr auto S = CommandDef::Separator;
int Opt(Check c) { return static_cast<int>(c); }

const CommandDef kCommands[] = {
    {"File", "Close1", "&Close Quillora", "Alt+Q", "Close Quillora (Alt+Q)", C, &F::Close_Cmd, 0},

    {"Options", "SaveSettings1", "&Save settings", "Ctrl+E", "Save the current settings (Ctrl+E)",
     C, &F::SaveSettings_Cmd, 0},

    {"View", "ToolBarOpt", "&ToolBar visible", "Ctrl+Alt+T", "", T, nullptr, Opt(Check::ToolBarOpt)},
    {"View", "StatusBarOpt", "&StatusBar visible", "Ctrl+Alt+S", "", T, nullptr,
     Opt(Check::StatusBarOpt)},
    {"View", "FullPathOpt", "&Full path in TitleBar", "Ctrl+Alt+P", "", T, nullptr,
     Opt(Check::FullPathOpt)},
    {"View", "", "", "", "", S, nullptr, 0},
    {"View", "PrevWndSize1", "&Use previous window size", "Ctrl+U",
     "Uses the last window sizes (Insteed of maximized) (Ctrl+U)", C, &F::PrevWndSize_Cmd, 0},
    {"View", "", "", "", "", S, nullptr, 0},
    {"View", "OpenQuillora1", "Open new copy of &Quillora...", "Ctrl+F12",
     "Will open a new copy of Quillora (Ctrl+F12)", C, &F::OpenQuillora_Cmd, 0},

    {"NonVisable/Options", "WordWrapOpt", "WordWrap", "Ctrl+W", "", T, nullptr,
     Opt(Check::WordWrapOpt)},
    {"NonVisable/Options", "SaveAutoOpt", "Save settings Automatic", "", "", T, nullptr,
     Opt(Check::SaveAutoOpt)},
    {"NonVisable/Options", "DefRecentIconOpt", "Default icon in recent list", "", "", T, nullptr,
     Opt(Check::DefRecentIconOpt)},
    {"NonVisable/Options", "AutoIndentOpt", "Auto Indent", "Ctrl+Alt+A", "", T, nullptr,
     Opt(Check::AutoIndentOpt)},
    // Changed only by the configuration dialog: no toggle handler.
    {"NonVisable/Options", "PromptBinaryOpt", "Prompt to load as binary if filesize <> chars", "",
     "", T, nullptr, -1},
    {"NonVisable/Options", "ChangeNfoFontOpt", "Change if more than 10 NFO chars", "", "", T,
     nullptr, -1},

    {"NonVisable/Color themes", "Theme0", "System/Notepad", "Ctrl+0", "", H, nullptr, 0},
    {"NonVisable/Color themes", "", "", "", "", S, nullptr, 0},
    {"NonVisable/Color themes", "Theme1", "Deep Reef", "Ctrl+1", "", H, nullptr, 1},
    {"NonVisable/Color themes", "Theme2", "Ember Deck", "Ctrl+2", "", H, nullptr, 2},
    {"NonVisable/Color themes", "Theme3", "Black lime", "Ctrl+3", "", H, nullptr, 3},
    {"NonVisable/Color themes", "Theme4", "MS DOS", "Ctrl+4", "", H, nullptr, 4},
    {"NonVisable/Color themes", "Theme5", "The Void", "Ctrl+5", "", H, nullptr, 5},
};

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

  for (const CommandDef& c : kCommands) {
    const QString key = c.menu;
    QMenu* menu = menus.value(key);
    if (!menu) {
      menu = hidden->addMenu(key.section('/', 1));
      menus.insert(key, menu);
    }
    if (c.kind == CommandDef::Separator) {
      menu->addSeparator();
      continue;
    }
    QAction* a = menu->addAction(c.caption);
    a->setObjectName(c.name);
    if (*c.shortcut) a->setShortcut(QKeySequence(c.shortcut));
    if (*c.hint) a->setStatusTip(c.hint);
    if (key.startsWith("NonVisable/")) form.addAction(a);  // keeps the shortcut alive
    switch (c.kind) {
      case CommandDef::Command:
        QObject::connect(a, &QAction::triggered, &form, c.handler);
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
        break;
    }
    actions.insert(c.name, a);
  }
  return actions;
}

}  // namespace ql
