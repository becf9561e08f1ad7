// The "Confirm" box of a prompted replacement: the two texts and the
// buttons Yes, No and, for Replace All, No to All and Yes to All, in that
// order. Esc or closing the box answers Closed (the occurrence is offered
// again), never one of the buttons.
#pragma once

#include <QDialog>
#include <string>

#include "tools/FindReplace.h"

class QPushButton;

namespace ql {

class ConfirmReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  // Texts Windows-1252; owner: the window the box stands above.
  ConfirmReplaceDialog(const std::string& findText, const std::string& replaceText, bool all,
                       QWidget* owner);

  // Shows the box modally and returns the answer.
  ConfirmAnswer Ask();
  ConfirmAnswer Answer() const { return answer_; }

  QPushButton* Yes_Btn = nullptr;
  QPushButton* No_Btn = nullptr;
  QPushButton* NoToAll_Btn = nullptr;  // only for Replace All
  QPushButton* YesToAll_Btn = nullptr;

 private:
  void Choose(ConfirmAnswer answer);

  ConfirmAnswer answer_ = ConfirmAnswer::Closed;
};

}  // namespace ql
