// Small commands that live in the window: the tool list and context
// pop-ups, the external tools, help topics, and
// the enabling rules run when menus open.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QStandardPaths>

#include "editor/qt/EditorView.h"
#include "app/qt/HelpWindow.h"
#include "app/qt/MainQuillora.h"
#include "common/FuncLib.h"
#include "platform/qt/Help.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Shell.h"

namespace ql {

namespace {

// The desktop's own character map and calculator, first one installed.
std::string FindTool(int tag) {
  static const char* const charMaps[] = {"gucharmap", "gnome-characters", "kcharselect"};
  static const char* const calculators[] = {"gnome-calculator", "kcalc",     "galculator",
                                            "qalculate-gtk",    "qalculate-qt", "mate-calc",
                                            "xcalc"};
  const auto find = [](const auto& names) {
    for (const char* n : names) {
      const QString path = QStandardPaths::findExecutable(n);
      if (!path.isEmpty()) return QToPath(path);
    }
    return std::string();
  };
  return tag == 1 ? find(charMaps) : tag == 2 ? find(calculators) : std::string();
}

}  // namespace

void TFormQuillora::Close_Cmd() { close(); }

void TFormQuillora::CheckHtmlSyntax_Cmd() { MsgBox("Comming soon!", "Not yet!", 16); }

void TFormQuillora::Tools_Open(int tag) {
  const std::string program = FindTool(tag);
  if (!program.empty()) ShellExec(program, {}, "");
}

void TFormQuillora::Help_Open(int tag) { ShowHelpTopic(tag); }

void TFormQuillora::ToolList_Popup() {
  if (QMenu* menu = PopupMenu(3)) menu->popup(RichEdit1->mapToGlobal(QPoint(2, 2)));
}

void TFormQuillora::MenuTools_Popup() {
  Action("CharMap1")->setEnabled(!FindTool(1).empty());
  Action("Calculator1")->setEnabled(!FindTool(2).empty());
}

void TFormQuillora::PopupMenu3_Popup() {
  // Copies of the File menu's current states.
  const std::pair<const char*, const char*> twins[] = {{"ExecFileDef2", "ExecFileDef1"},
                                                       {"Revert2", "Revert1"},
                                                       {"FileInfo3", "FileInfo1"},
                                                       {"RenMovFile2", "RenMovFile1"},
                                                       {"DeleteFile2", "DeleteFile1"}};
  for (const auto& [copy, original] : twins) Action(copy)->setEnabled(Action(original)->isEnabled());
}

void TFormQuillora::InstallHelp() {
  SetHelpHandler([this](int context) {
    HelpWindow* help = HelpWindow::Instance(this);
    if (!help->ShowTopic(context)) {
      MsgBox("Cannot read the help file:\n\"" + HelpFileName() + "\"", "Help", 48);
      return;
    }
    help->show();
    help->raise();
  });
  // F1 in an open menu shows that item's or that menu's topic.
  for (QMenu* menu : findChildren<QMenu*>()) menu->installEventFilter(this);
}

bool TFormQuillora::MenuHelpKey(QObject* watched, QEvent* event) {
  auto* menu = qobject_cast<QMenu*>(watched);
  if (!menu || event->type() != QEvent::KeyPress ||
      static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
    return false;
  int context = menu->activeAction() ? menu->activeAction()->data().toInt() : 0;
  for (QMenu* m = menu; context == 0 && m; m = qobject_cast<QMenu*>(m->parentWidget()))
    context = m->menuAction()->data().toInt();
  ShowHelpTopic(context);
  return true;
}

}  // namespace ql
