// The window's side of the utility dialogs: each command opens its window.
#include "app/qt/MainQuillora.h"
#include "dialogs/qt/NumberDialog.h"

namespace ql {

void TFormQuillora::NumConvert_Open() {
  TFormNumber dialog(this);
  ExecModal(dialog);
}

}  // namespace ql
