#include "dialogs/qt/RunDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/Help.h"
#include "platform/qt/Look.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Shell.h"

namespace ql {

namespace {

int Show(const RunMessage& m) { return MsgBox(m.text, m.caption, m.flags); }

std::string ChooseFile(QWidget* parent, const std::string& start) {
  QFileDialog dialog(parent, "Select executeable", PathToQ(start));
  // Programs here carry no extension: everything is offered first.
  dialog.setNameFilters({"All files (*)", "Scripts (*.sh *.py *.pl *.rb)"});
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  return QToPath(dialog.selectedFiles().front());
}

}  // namespace

TFormRun::TFormRun(QWidget* parent, RunHost& host, std::uint32_t boxBack, std::uint32_t boxText)
    : QDialog(parent, Qt::Tool | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint), host_(host) {
  setObjectName("FormRun");
  setWindowTitle("Run!");
  FileName_Combo = new QComboBox;
  FileName_Combo->setObjectName("FileName_Combo");
  FileName_Combo->setEditable(true);
  FileName_Combo->setInsertPolicy(QComboBox::NoInsert);
  FileName_Combo->setMaxVisibleItems(12);
  Param_Edit = new QLineEdit(kRunDefaultParams);
  Param_Edit->setObjectName("Param_Edit");
  InitialDir_Edit = new QLineEdit(kRunDefaultFolder);
  InitialDir_Edit->setObjectName("InitialDir_Edit");
  for (QWidget* box : std::initializer_list<QWidget*>{FileName_Combo, Param_Edit, InitialDir_Edit}) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, ToQColor(boxBack, QApplication::palette()));
    p.setColor(QPalette::Text, ToQColor(boxText, QApplication::palette()));
    box->setPalette(p);
  }
  FileName_Combo->lineEdit()->setPalette(FileName_Combo->palette());
  FileName_Combo->setToolTip("Program, file or web address to run");
  Param_Edit->setToolTip("%F% = the document's file, %D% = its folder, %% = %");

  const auto button = [this](const char* caption, const char* name) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  Browse_Btn = button("&Browse", "Browse_Btn");
  Run_Btn = button("&Run!", "Run_Btn");
  Run_Btn->setDefault(true);
  Close_Btn = button("&Close", "Close_Btn");
  Help_Btn = button("&Help", "Help_Btn");
  Clear_Btn = button("Cl&ear", "Clear_Btn");

  auto* grid = new QGridLayout;
  const auto label = [](const char* caption, QWidget* buddy) {
    auto* l = new QLabel(caption);
    l->setBuddy(buddy);
    return l;
  };
  grid->addWidget(label("Filename:", FileName_Combo), 0, 0);
  grid->addWidget(FileName_Combo, 0, 1);
  grid->addWidget(Browse_Btn, 0, 2);
  grid->addWidget(label("Parameters:", Param_Edit), 1, 0);
  grid->addWidget(Param_Edit, 1, 1, 1, 2);
  grid->addWidget(label("Initial dir:", InitialDir_Edit), 2, 0);
  grid->addWidget(InitialDir_Edit, 2, 1, 1, 2);
  grid->setColumnStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Clear_Btn);
  buttons->addWidget(Help_Btn);
  buttons->addStretch(1);
  buttons->addWidget(Run_Btn);
  buttons->addWidget(Close_Btn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  setMinimumWidth(460);

  connect(Browse_Btn, &QPushButton::clicked, this, &TFormRun::Browse_Cmd);
  connect(Run_Btn, &QPushButton::clicked, this, &TFormRun::Run_Cmd);
  connect(Close_Btn, &QPushButton::clicked, this, &QDialog::reject);
  connect(Help_Btn, &QPushButton::clicked, this, &TFormRun::Help_BtnClick);
  connect(Clear_Btn, &QPushButton::clicked, this, &TFormRun::Clear_Cmd);
  connect(FileName_Combo, qOverload<int>(&QComboBox::activated), this, &TFormRun::FileName_ComboChange);

  // Opens with the last run's file, parameters and folder.
  FillCombo();
  if (FileName_Combo->count() > 0) FileName_ComboChange(0);
}

void TFormRun::FillCombo() {
  QStringList items;
  for (const std::string& item : RunComboItems(host_.RunList())) items << PathToQ(item);
  const QString text = FileName_Combo->currentText();
  QSignalBlocker block(FileName_Combo);
  FileName_Combo->clear();
  FileName_Combo->addItems(items);
  FileName_Combo->setCurrentIndex(items.isEmpty() ? -1 : 0);
  if (items.isEmpty()) FileName_Combo->setEditText(text);
}

void TFormRun::FileName_ComboChange(int index) {
  const std::vector<std::string>& list = host_.RunList();
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return;
  const std::vector<std::string> fields = RunEntryFields(list[static_cast<std::size_t>(index)]);
  {
    QSignalBlocker block(FileName_Combo);
    FileName_Combo->setCurrentIndex(index);
    if (fields.size() > 0) FileName_Combo->setEditText(PathToQ(fields[0]));
  }
  if (fields.size() > 1) Param_Edit->setText(PathToQ(fields[1]));
  if (fields.size() > 2) InitialDir_Edit->setText(PathToQ(fields[2]));
}

void TFormRun::Browse_Cmd() {
  const std::string folder = ExpandPlaceholders(QToPath(InitialDir_Edit->text()), host_.DocFileName());
  const std::string file = chooser_ ? chooser_(folder) : ChooseFile(this, folder);
  if (file.empty()) return;
  FileName_Combo->setEditText(PathToQ(file));
  if (InitialDir_Edit->text().isEmpty()) InitialDir_Edit->setText(PathToQ(DocumentFolder(file)));
}

RunFields TFormRun::Typed() const {
  return {QToPath(FileName_Combo->currentText()), QToPath(Param_Edit->text()),
          QToPath(InitialDir_Edit->text())};
}

void TFormRun::Run_Cmd() {
  const RunFields typed = Typed();
  if (BlankText(typed.file)) {
    Show(EmptyNameMessage());
    return;
  }
  // %F% of a document never saved would name no file at all.
  if (RunUsesFileName(typed) && host_.DocFileName() == "Untitled") {
    if (Show(SaveFirstMessage()) != 6 || !host_.SaveDocumentFirst()) return;
  }
  const RunCommand command = PlanRun(typed, host_.DocFileName());
  const ShellTarget target = ResolveShellTarget(command.file, command.folder);
  switch (target.kind) {
    case ShellTarget::Missing:
      Finish(target.result, typed, command);
      return;
    case ShellTarget::Program:
      Finish(LaunchDetached(target.path, command.args, command.folder), typed, command);
      return;
    case ShellTarget::Document:
    case ShellTarget::Address:
      break;
  }
  // Documents and addresses go to the desktop, which passes nothing on.
  if (!command.args.empty()) {
    Show(ParamsRefusedMessage(command.file));
    return;
  }
  ++pending_;
  QPointer<TFormRun> self(this);
  OpenTarget(target, [self, typed, command](int result) {
    if (!self) {  // closed meanwhile: a failure is still told
      if (result <= 32) Show(RunResultMessage(result, command));
      return;
    }
    --self->pending_;
    self->Finish(result, typed, command);
  });
}

void TFormRun::Finish(int result, const RunFields& typed, const RunCommand& command) {
  if (result <= 32) {
    Show(RunResultMessage(result, command));
    return;
  }
  // The boxes as typed, placeholders and all, are what is remembered.
  AddRunHistory(host_.RunList(), RunEntry(typed));
  FillCombo();
}

void TFormRun::Clear_Cmd() {
  if (Show(ClearListMessage()) != 6) return;
  host_.RunList().clear();
  const QString text = FileName_Combo->currentText();
  QSignalBlocker block(FileName_Combo);
  FileName_Combo->clear();
  FileName_Combo->setEditText(text);
}

void TFormRun::Help_BtnClick() { ShowHelpTopic(80); }

}  // namespace ql
