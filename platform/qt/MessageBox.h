// The program's message box: a modal box over the owner window with the
// buttons and icon the flag word asks for, answering with the code of the
// button pressed (see platform/MsgBoxCodes.h). Text and caption are UTF-8.
#pragma once

#include <functional>
#include <string>

#include "platform/qt/OwnerWindow.h"

namespace ql {

int MsgBox(const std::string& text, const std::string& caption, unsigned flags);

// Tests answer boxes through a hook: while one is set, MsgBox shows nothing
// and returns what the hook returns. An empty function removes it.
using MsgBoxHook = std::function<int(const std::string& text, const std::string& caption, unsigned flags)>;
void SetMsgBoxHook(MsgBoxHook hook);
bool MsgBoxHookActive();

}  // namespace ql
