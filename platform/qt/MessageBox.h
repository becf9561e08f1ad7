// The program's message box: a modal box over the owner window with the
// buttons and icon the flag word asks for, answering with the code of the
// button pressed (see platform/MsgBoxCodes.h). Text and caption are UTF-8.
#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <string>

#include "platform/qt/OwnerWindow.h"

class QMessageBox;

namespace ql {

int MsgBox(const std::string& text, const std::string& caption, unsigned flags);

// The width a box needs to show `caption` whole in its title bar, and the
// step that gives it that width (for the program's other boxes too).
int CaptionRoom(const QString& caption, const QFont& font);
void ReserveCaptionWidth(QMessageBox& box, const std::string& caption);

// Tests answer boxes through a hook: while one is set, MsgBox shows nothing
// and returns what the hook returns. An empty function removes it.
using MsgBoxHook = std::function<int(const std::string& text, const std::string& caption, unsigned flags)>;
void SetMsgBoxHook(MsgBoxHook hook);
bool MsgBoxHookActive();

}  // namespace ql
