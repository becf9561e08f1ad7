// The main window's command map as data: every menu item, hidden shortcut,
// pop-up item and tool button is one row, built into QActions by
// BuildCommands. A row without a handler belongs to a tool that is not
// built yet: it is shown with its caption, shortcut and hint but stays
// disabled; giving the row its handler is what switches it on.
#pragma once

#include <QHash>
#include <QString>
#include <vector>

class QAction;
class QMenu;

namespace ql {

class TFormQuillora;

struct CommandDef {
  enum Kind { Command, Tagged, Toggle, Theme, Separator, Submenu };
  // Where the row goes: a main menu ("File", "Edit", "Search", "HyperText",
  // "Functions", "Tools", "Options", "View", "Help"), the hidden menu
  // ("NonVisable/<submenu>": never shown, its shortcuts work), a pop-up menu
  // ("PopupMenu<n>"), the tool bar ("ToolBar1"), or the name of a Submenu row.
  std::string menu;
  std::string name;      // the item's name, e.g. "Close1"
  std::string caption;
  std::string shortcut;  // portable key text, "" for none
  std::string hint;      // "tooltip|status" or one text for both
  Kind kind = Command;
  void (TFormQuillora::*handler)() = nullptr;     // Command
  void (TFormQuillora::*tagged)(int) = nullptr;   // Tagged
  int tag = 0;            // Tagged: passed on; Toggle: the option (-1 none); Theme: the index
  bool enabled = true;    // at start
  bool visible = true;
  int helpContext = 0;
  std::string icon;       // icon theme name (tool buttons)
  // A twin shows its main item's shortcut but does not own the key.
  bool twin = false;
  // Saves or replaces the document: waits while another such command runs.
  bool document = false;

  CommandDef& Off() { enabled = false; return *this; }
  CommandDef& Hidden() { visible = false; return *this; }
  CommandDef& Context(int c) { helpContext = c; return *this; }
  CommandDef& Icon(const char* i) { icon = i; return *this; }
  CommandDef& Twin() { twin = true; return *this; }
  CommandDef& Document() { document = true; return *this; }
  // Built: the command has its handler and can run.
  bool Built() const;
};

// The whole map, in display order.
const std::vector<CommandDef>& Commands();

struct MenuDef {
  const char* key;
  const char* caption;
  const char* name;
  int helpContext;
};
const std::vector<MenuDef>& MainMenus();

// Builds menus, tool bar and actions on the window; returns the actions by item name.
QHash<QString, QAction*> BuildCommands(TFormQuillora& form);

}  // namespace ql
