// The main window's menu items as data: one row per item, built into
// QActions by BuildCommands. Later tools add rows, not connects.
#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;

namespace ql {

class TFormQuillora;

struct CommandDef {
  enum Kind { Command, Tagged, Toggle, Theme, Separator, Submenu };
  // "File", "Edit", "View", "Options" (main menu); "NonVisable/<submenu>"
  // (never shown, shortcuts only); "PopupMenu<n>" (pop-up menus, their
  // shortcuts only shown); "ToolBar1" (tool buttons); or the name of a
  // Submenu row above.
  const char* menu;
  const char* name;      // the item's name, e.g. "Close1"
  const char* caption;
  const char* shortcut;  // portable key text, "" for none
  const char* hint;      // status-bar hint, "" for none
  Kind kind;
  void (TFormQuillora::*handler)();  // Command
  int tag;  // Tagged: passed to the handler; Toggle: the option; Theme: the theme index
  void (TFormQuillora::*tagged)(int) = nullptr;  // Tagged
  bool enabled = true;                           // at start
  const char* icon = "";                         // tool buttons: icon theme name
};

// Builds menus and actions on the window; returns the actions by item name.
QHash<QString, QAction*> BuildCommands(TFormQuillora& form);

}  // namespace ql
