#include "tools/qt/MiniHtmlDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

TFormMiniHtml::TFormMiniHtml(QWidget* parent, HtmlToolHost& host)
    : QDialog(parent, Qt::Tool | Qt::WindowCloseButtonHint), host_(host) {
  setObjectName("FormMiniHtml");
  setWindowTitle("Minimize HTML code");
  CrLfToSpace_Chk = new QCheckBox("Replace new line (CR/LF) with space ($20)");
  CrLfToSpace_Chk->setObjectName("CrLfToSpace_Chk");
  CrLfToSpace_Chk->setChecked(true);
  DelSpace_Chk = new QCheckBox("Delete spaces or tabs standing in groups");
  DelSpace_Chk->setObjectName("DelSpace_Chk");
  DelSpace_Chk->setChecked(true);
  Mini_Btn = new QPushButton("&Minimize");
  Mini_Btn->setObjectName("Mini_Btn");
  Mini_Btn->setDefault(true);
  Cancel_Btn = new QPushButton("&Cancel");
  Cancel_Btn->setObjectName("Cancel_Btn");
  connect(Mini_Btn, &QPushButton::clicked, this, &TFormMiniHtml::Mini_Cmd);
  connect(Cancel_Btn, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Mini_Btn);
  buttons->addWidget(Cancel_Btn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CrLfToSpace_Chk);
  layout->addWidget(DelSpace_Chk);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormMiniHtml::Mini_Cmd() {
  MiniHtmlCommand(host_, CrLfToSpace_Chk->isChecked(), DelSpace_Chk->isChecked());
  accept();
}

}  // namespace ql
