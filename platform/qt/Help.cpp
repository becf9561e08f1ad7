#include "platform/qt/Help.h"

#include <QMessageBox>
#include <QPushButton>

#include "common/FuncLib.h"
#include "platform/DataPaths.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/OwnerWindow.h"
#include "platform/qt/Shell.h"

namespace ql {

namespace {
std::string& HelpFileOverride() {
  static std::string path;
  return path;
}
std::function<void(int)>& Handler() {
  static std::function<void(int)> handler;
  return handler;
}
}  // namespace

std::string HelpFileName() {
  if (!HelpFileOverride().empty()) return HelpFileOverride();
  return ProgramDataDir(ProgramPath(), IsExistingFile) + "/quillora.hlp";
}

void SetHelpFileName(const std::string& path) { HelpFileOverride() = path; }

void SetHelpHandler(std::function<void(int)> handler) { Handler() = std::move(handler); }

void ShowHelpTopic(int context) {
  if (context == 0) return;
  const std::string file = HelpFileName();
  if (!IsExistingFile(file) || !Handler()) {
    MsgBox("Cannot find the help file:\n\"" + file + "\"", "Help", 48);
    return;
  }
  Handler()(context);
}

void InfoWithHelp(const std::string& text, int helpContext) {
  if (MsgBoxHookActive()) {  // tests answer boxes without showing them
    MsgBox(text, "Information", 64);
    return;
  }
  QMessageBox box(QMessageBox::Information, "Information", QString::fromUtf8(text.c_str()),
                  QMessageBox::Ok, OwnerWindow());
  QPushButton* help = box.addButton(QMessageBox::Help);
  // Help opens the topic and leaves the box up, as a help button does.
  help->disconnect();
  QObject::connect(help, &QPushButton::clicked, &box, [helpContext] { ShowHelpTopic(helpContext); });
  ReserveCaptionWidth(box, "Information");
  box.exec();
}

}  // namespace ql
