// The window that owns the program's message boxes and other platform
// dialogs: the main window once it exists, nobody before.
#pragma once

class QWidget;

namespace ql {

void SetOwnerWindow(QWidget* window);
// nullptr until set, and again once that window is destroyed.
QWidget* OwnerWindow();

}  // namespace ql
