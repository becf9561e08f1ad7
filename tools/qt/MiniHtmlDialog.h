// "Minimize HTML code": the minifier's two options; Minimize runs it on the
// document and closes the dialog.
#pragma once

#include <QDialog>

#include "tools/HtmlMini.h"

class QCheckBox;
class QPushButton;

namespace ql {

class TFormMiniHtml : public QDialog {
  Q_OBJECT

 public:
  TFormMiniHtml(QWidget* parent, HtmlToolHost& host);

  void Mini_Cmd();

  QCheckBox* CrLfToSpace_Chk = nullptr;
  QCheckBox* DelSpace_Chk = nullptr;
  QPushButton* Mini_Btn = nullptr;
  QPushButton* Cancel_Btn = nullptr;

 private:
  HtmlToolHost& host_;
};

}  // namespace ql
