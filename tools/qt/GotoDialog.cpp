#include "tools/qt/GotoDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/qt/Look.h"
#include "platform/qt/QtText.h"

namespace ql {

TFormGoto::TFormGoto(QWidget* parent, const GotoStart& start, std::uint32_t boxBack,
                     std::uint32_t boxText)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName("FormGoto");
  setWindowTitle("Goto...");
  const char* captions[3] = {"&Line", "C&haracter", "&Percent"};
  const char* radioNames[3] = {"Line_Radio", "Char_Radio", "Percent_Radio"};
  const char* editNames[3] = {"Line_Edit", "Char_Edit", "Percent_Edit"};
  const char* labelNames[3] = {"Line_Label", "Char_Label", "Percent_Label"};
  const QString values[3] = {QString::number(start.line), QString::number(start.offset),
                             QString::number(start.percent)};
  const QString limits[3] = {"/ " + QString::number(start.lines), "/ " + QString::number(start.length),
                             "/ 100"};
  QPalette box;
  box.setColor(QPalette::Base, ToQColor(boxBack, QApplication::palette()));
  box.setColor(QPalette::Text, ToQColor(boxText, QApplication::palette()));
  auto* grid = new QGridLayout;
  for (int i = 0; i < 3; ++i) {
    const int tag = i + 1;
    radios_[i] = new QRadioButton(captions[i]);
    radios_[i]->setObjectName(radioNames[i]);
    connect(radios_[i], &QRadioButton::clicked, this, [this, tag] { Type_Change(tag); });
    edits_[i] = new QLineEdit(values[i]);
    edits_[i]->setObjectName(editNames[i]);
    QPalette p = edits_[i]->palette();
    p.setColor(QPalette::Base, box.color(QPalette::Base));
    p.setColor(QPalette::Text, box.color(QPalette::Text));
    edits_[i]->setPalette(p);
    edits_[i]->installEventFilter(this);
    connect(edits_[i], &QLineEdit::textChanged, this, [this, tag] { Edits_Change(tag); });
    labels_[i] = new QLabel(limits[i]);
    labels_[i]->setObjectName(labelNames[i]);
    grid->addWidget(radios_[i], i, 0);
    grid->addWidget(edits_[i], i, 1);
    grid->addWidget(labels_[i], i, 2);
  }
  radios_[0]->setChecked(true);
  grid->setColumnMinimumWidth(1, 120);

  auto* buttons = new QDialogButtonBox;
  Ok_Btn = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
  Ok_Btn->setObjectName("Ok_Btn");
  Ok_Btn->setDefault(true);
  Cancel_Btn = buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  Cancel_Btn->setObjectName("Cancel_Btn");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  edits_[0]->setFocus();
  edits_[0]->selectAll();
}

GotoKind TFormGoto::Kind() const {
  for (int i = 0; i < 3; ++i)
    if (radios_[i]->isChecked()) return static_cast<GotoKind>(i + 1);
  return GotoKind::Line;
}

std::string TFormGoto::TargetText() const { return FromQString(edits_[Index(Kind())]->text()); }

void TFormGoto::Type_Change(int tag) {
  edits_[tag - 1]->setFocus();
  Edits_Enter(tag);
}

void TFormGoto::Edits_Change(int tag) {
  Ok_Btn->setEnabled(GotoTextValid(FromQString(edits_[tag - 1]->text())));
}

void TFormGoto::Edits_Enter(int tag) {
  radios_[tag - 1]->setChecked(true);
  Edits_Change(tag);
}

bool TFormGoto::Edits_KeyDown(int tag, int key) {
  int next;
  if (key == Qt::Key_Up)
    next = tag == 1 ? 3 : tag - 1;  // line -> percent -> character -> line
  else if (key == Qt::Key_Down)
    next = tag == 3 ? 1 : tag + 1;
  else
    return false;
  edits_[next - 1]->setFocus();
  Edits_Enter(next);
  return true;
}

int TFormGoto::TagOf(QObject* object) const {
  for (int i = 0; i < 3; ++i)
    if (edits_[i] == object) return i + 1;
  return 0;
}

bool TFormGoto::eventFilter(QObject* watched, QEvent* event) {
  const int tag = TagOf(watched);
  if (tag) {
    if (event->type() == QEvent::FocusIn) Edits_Enter(tag);
    if (event->type() == QEvent::KeyPress &&
        Edits_KeyDown(tag, static_cast<QKeyEvent*>(event)->key()))
      return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ql
