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
  enum Kind { Command, Toggle, Theme, Separator };
  const char* menu;      // "File", "View", "Options", or "NonVisable/<submenu>" (shortcuts only)
  const char* name;      // the item's name, e.g. "Close1"
  const char* caption;
  const char* shortcut;  // portable key text, "" for none
  const char* hint;      // status-bar hint, "" for none
  Kind kind;
  void (TFormQuillora::*handler)();  // Command
  int tag;                           // Toggle: the option; Theme: the theme index
};

// Builds menus and actions on the window; returns the actions by item name.
QHash<QString, QAction*> BuildCommands(TFormQuillora& form);

}  // namespace ql
